#include "receiving/half_width.h"

#include <array>

namespace kemnoa::receiving {
namespace {

constexpr char16_t kVoiced = u'\uFF9E';     // ﾞ
constexpr char16_t kSemiVoiced = u'\uFF9F'; // ﾟ

// Half-width forms of the katakana U+30A1 (ァ) to U+30F6 (ヶ); 0 where there is none.
// Voiced and semi-voiced kana are given by their base and resolved in narrowKana().
constexpr std::array<char16_t, 0x30F6 - 0x30A1 + 1> kKana = {
    u'ｧ', u'ｱ', u'ｨ', u'ｲ', u'ｩ', u'ｳ', u'ｪ', u'ｴ', u'ｫ', u'ｵ',       // ァアィイゥウェエォオ
    u'ｶ', u'ｶ', u'ｷ', u'ｷ', u'ｸ', u'ｸ', u'ｹ', u'ｹ', u'ｺ', u'ｺ',       // カガキギクグケゲコゴ
    u'ｻ', u'ｻ', u'ｼ', u'ｼ', u'ｽ', u'ｽ', u'ｾ', u'ｾ', u'ｿ', u'ｿ',       // サザシジスズセゼソゾ
    u'ﾀ', u'ﾀ', u'ﾁ', u'ﾁ', u'ｯ', u'ﾂ', u'ﾂ', u'ﾃ', u'ﾃ', u'ﾄ', u'ﾄ', // タダチヂッツヅテデトド
    u'ﾅ', u'ﾆ', u'ﾇ', u'ﾈ', u'ﾉ',                                     // ナニヌネノ
    u'ﾊ', u'ﾊ', u'ﾊ', u'ﾋ', u'ﾋ', u'ﾋ', u'ﾌ', u'ﾌ', u'ﾌ', u'ﾍ', u'ﾍ', u'ﾍ', // ハバパヒビピフブプヘベペ
    u'ﾎ', u'ﾎ', u'ﾎ',                                                       // ホボポ
    u'ﾏ', u'ﾐ', u'ﾑ', u'ﾒ', u'ﾓ',                                           // マミムメモ
    u'ｬ', u'ﾔ', u'ｭ', u'ﾕ', u'ｮ', u'ﾖ',                                     // ャヤュユョヨ
    u'ﾗ', u'ﾘ', u'ﾙ', u'ﾚ', u'ﾛ',                                           // ラリルレロ
    0,    u'ﾜ', 0,    0,    u'ｦ', u'ﾝ', u'ｳ', 0,    0,                      // ヮワヰヱヲンヴヵヶ
};

bool isVoiced(char16_t c) {
    switch (c) {
    case u'ガ':
    case u'ギ':
    case u'グ':
    case u'ゲ':
    case u'ゴ':
    case u'ザ':
    case u'ジ':
    case u'ズ':
    case u'ゼ':
    case u'ゾ':
    case u'ダ':
    case u'ヂ':
    case u'ヅ':
    case u'デ':
    case u'ド':
    case u'バ':
    case u'ビ':
    case u'ブ':
    case u'ベ':
    case u'ボ':
    case u'ヴ':
        return true;
    default:
        return false;
    }
}

bool isSemiVoiced(char16_t c) {
    return c == u'パ' || c == u'ピ' || c == u'プ' || c == u'ペ' || c == u'ポ';
}

// Appends the narrow form of a katakana; false when it has none.
bool narrowKana(char16_t c, QString& out) {
    if (c < 0x30A1 || c > 0x30F6)
        return false;
    const char16_t base = kKana[c - 0x30A1];
    if (base == 0)
        return false;
    out += QChar(base);
    if (isVoiced(c))
        out += QChar(kVoiced);
    else if (isSemiVoiced(c))
        out += QChar(kSemiVoiced);
    return true;
}

// The narrow form of a single full-width sign; 0 when there is none.
char16_t narrowSign(char16_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) // full-width ASCII
        return static_cast<char16_t>(c - 0xFF01 + 0x21);
    switch (c) {
    case u'\u3000':
        return u' ';
    case u'’':
        return u'\''; // the wide apostrophe of code page 932
    case u'”':
        return u'"'; // the wide double quote of code page 932
    case u'￥':
        return u'\\'; // 0x5C, the yen sign of code page 932
    case u'。':
        return u'｡';
    case u'「':
        return u'｢';
    case u'」':
        return u'｣';
    case u'、':
        return u'､';
    case u'・':
        return u'･';
    case u'ー':
        return u'ｰ';
    case u'゛':
        return kVoiced;
    case u'゜':
        return kSemiVoiced;
    default:
        return 0;
    }
}

} // namespace

QString toHalfWidth(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (const char16_t n = narrowSign(c)) {
            out += QChar(n);
            continue;
        }
        if (!narrowKana(c, out))
            out += qc;
    }
    return out;
}

} // namespace kemnoa::receiving
