#include "platform/text/cp932.h"
#include "receiving/half_width.h"

#include <gtest/gtest.h>

using kemnoa::receiving::toHalfWidth;

namespace {

struct Case {
    const char* in;
    const char* out;
};

TEST(HalfWidth, ConvertsWideFormsAndKeepsTheRest) {
    const Case cases[] = {
        {"ＡＢＣ　ｘｙｚ０１２", "ABC xyz012"},
        {"綿１００％", "綿100%"},
        {"（ポリエステル）", "(ﾎﾟﾘｴｽﾃﾙ)"},
        {"ガギグゲゴ・ヴ", "ｶﾞｷﾞｸﾞｹﾞｺﾞ･ｳﾞ"},
        {"パピプペポ", "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
        {"ァィゥェォャュョッー", "ｧｨｩｪｫｬｭｮｯｰ"},
        {"「ヲン」。、", "｢ｦﾝ｣｡､"},
        {"ひらがな漢字ヰヱヵヶ", "ひらがな漢字ヰヱヵヶ"}, // no narrow form
        {"’”￥＼～", "'\"\\\\~"},
        {"already narrow ｶﾀｶﾅ 123", "already narrow ｶﾀｶﾅ 123"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toHalfWidth(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(HalfWidth, EveryFullWidthKatakanaOfCodePage932NarrowsToSingleBytes) {
    // Every katakana but these few has a narrow form, and must come out as single-byte code page 932
    // characters: one for a plain letter, two for a voiced or semi-voiced one.
    const QString noNarrowForm = QStringLiteral("ヮヰヱヵヶ");
    for (char16_t c = u'ァ'; c <= u'ヶ'; ++c) {
        const QString in(QChar{c});
        const QString out = toHalfWidth(in);
        if (noNarrowForm.contains(in)) {
            EXPECT_EQ(out, in) << int(c);
            continue;
        }
        EXPECT_NE(out, in) << int(c);
        bool lossless = true;
        const QByteArray bytes = kemnoa::text::toCp932(out, &lossless);
        EXPECT_TRUE(lossless) << int(c);
        EXPECT_TRUE(bytes.size() == 1 || bytes.size() == 2) << int(c);
        for (char b : bytes) // the half-width katakana block of code page 932
            EXPECT_TRUE(static_cast<uint8_t>(b) >= 0xA1 && static_cast<uint8_t>(b) <= 0xDF) << int(c);
    }
}

} // namespace
