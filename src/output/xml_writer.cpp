#include "output/xml_writer.h"

#include "platform/text/cp932.h"

#include <array>

namespace kemnoa::output {
namespace {

// Code page 932 characters that strict Shift-JIS decoders read as other characters (～ as 〜, ∥ as ‖,
// － as −, ￠￡￢ as ¢£¬).
bool mappedDifferently(char16_t c) {
    switch (c) {
    case 0xFF5E:
    case 0x2225:
    case 0xFF0D:
    case 0xFFE0:
    case 0xFFE1:
    case 0xFFE2:
        return true;
    default:
        return false;
    }
}

// The Shift-JIS bytes of a character, when every Shift-JIS reader decodes them back to it; none
// otherwise. Each character is looked up once per process, when first written.
class SharedBytes {
public:
    static SharedBytes& instance() {
        static SharedBytes table;
        return table;
    }
    // [0]: 0 when the character has no shared bytes, else the byte count (1 or 2); then the bytes.
    const std::array<unsigned char, 3>& of(char16_t c) {
        std::array<unsigned char, 3>& e = table_[c];
        if (e[0] == kUnknown)
            e = lookUp(c);
        return e;
    }

private:
    static constexpr unsigned char kUnknown = 0xFF;

    SharedBytes() : table_(65536, {kUnknown, 0, 0}) {}

    static std::array<unsigned char, 3> lookUp(char16_t c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            return {0, 0, 0};
        if (c < 0x80) {
            // ASCII reads alike, except "\" and "~" (yen sign and overline in JIS X 0201).
            if (c != '\\' && c != '~' && (c >= 0x20 || c == '\t' || c == '\n'))
                return {1, static_cast<unsigned char>(c), 0};
            return {0, 0, 0};
        }
        const QString ch(QChar{c});
        bool lossless = true;
        const QByteArray b = text::toCp932(ch, &lossless);
        if (!lossless || text::fromCp932(b) != ch)
            return {0, 0, 0}; // not in the code page, or only a best-fit look-alike
        if (b.size() == 1) {
            const auto u = static_cast<unsigned char>(b[0]);
            if (u >= 0xA1 && u <= 0xDF) // half-width katakana
                return {1, u, 0};
            return {0, 0, 0};
        }
        const auto lead = static_cast<unsigned char>(b[0]);
        const bool jisX0208 = (lead >= 0x81 && lead <= 0x84) || (lead >= 0x88 && lead <= 0x9F) ||
                              (lead >= 0xE0 && lead <= 0xEA);
        if (b.size() == 2 && jisX0208 && !mappedDifferently(c))
            return {2, lead, static_cast<unsigned char>(b[1])};
        return {0, 0, 0};
    }

    std::vector<std::array<unsigned char, 3>> table_;
};

bool allowedInXml(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

bool nameStart(char32_t c) {
    return (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
           (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool nameChar(char32_t c) {
    return nameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

QString codePoint(char32_t c) {
    return QStringLiteral("U+") + QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, u'0');
}

} // namespace

bool isWritableXmlName(const QString& name) {
    if (name.isEmpty())
        return false;
    SharedBytes& shared = SharedBytes::instance();
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (QChar::isSurrogate(c))
            return false; // outside the code page: would need a reference
        if (i == 0 ? !nameStart(c) : !nameChar(c))
            return false;
        if (shared.of(c)[0] == 0)
            return false;
    }
    return true;
}

QString firstCharacterXmlCannotHold(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate() || !allowedInXml(c.unicode()))
            return codePoint(c.unicode());
    }
    return {};
}

XmlWriter::XmlWriter() {
    out_.reserve(1 << 16);
    out_ += "<?xml version='1.0' encoding='SHIFT-JIS' standalone = 'yes'?>\r\n";
}

void XmlWriter::closeStartTag() {
    if (startTagOpen_) {
        out_ += '>';
        startTagOpen_ = false;
    }
}

QByteArray XmlWriter::nameBytes(const QString& name, const char* what) {
    auto it = names_.constFind(name);
    if (it != names_.constEnd())
        return *it;
    if (!isWritableXmlName(name))
        throw core::Error(QString::fromUtf8(what) + name, core::errnum::General);
    return *names_.insert(name, text::toCp932(name));
}

void XmlWriter::start(const QString& name, const XmlAttributes& attributes) {
    const QByteArray bytes = nameBytes(name, "XMLの要素名に使えない名前です: ");
    closeStartTag();
    out_ += '<';
    out_ += bytes;
    for (const auto& [attribute, value] : attributes) {
        out_ += ' ';
        out_ += nameBytes(attribute, "XMLの属性名に使えない名前です: ");
        out_ += "=\"";
        append(value, true);
        out_ += '"';
    }
    open_.push_back(bytes);
    startTagOpen_ = true;
}

void XmlWriter::text(const QString& value) {
    if (value.isEmpty())
        return;
    closeStartTag();
    append(value, false);
}

void XmlWriter::end() {
    if (open_.empty())
        throw core::Error(QStringLiteral("閉じる要素がありません。"), core::errnum::General);
    const QByteArray name = open_.back();
    open_.pop_back();
    if (startTagOpen_) {
        out_ += "/>";
        startTagOpen_ = false;
        return;
    }
    out_ += "</";
    out_ += name;
    out_ += '>';
}

void XmlWriter::element(const QString& name, const XmlAttributes& attributes, const QString& value) {
    start(name, attributes);
    text(value);
    end();
}

QByteArray XmlWriter::finish() {
    if (!open_.empty())
        throw core::Error(QStringLiteral("閉じていない要素があります: ") + text::fromCp932(open_.back()),
                          core::errnum::General);
    out_ += "\r\n";
    return out_;
}

void XmlWriter::append(const QString& value, bool attribute) {
    SharedBytes& shared = SharedBytes::instance();
    auto reference = [this](char32_t c) {
        out_ += "&#";
        out_ += QByteArray::number(static_cast<uint>(c));
        out_ += ';';
    };
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
            reference(QChar::surrogateToUcs4(c, value[i + 1].unicode()));
            ++i;
            continue;
        }
        if (QChar::isSurrogate(c) || !allowedInXml(c))
            throw core::Error(QStringLiteral("XMLに書けない文字(%1)があります。").arg(codePoint(c)),
                              core::errnum::General);
        switch (c) {
        case '&':
            out_ += "&amp;";
            continue;
        case '<':
            out_ += "&lt;";
            continue;
        case '>':
            out_ += "&gt;";
            continue;
        case '"':
            if (attribute) {
                out_ += "&quot;";
                continue;
            }
            break;
        case '\r': // a reference survives the parser's line-end normalisation
            reference(c);
            continue;
        case '\t':
        case '\n':
            if (attribute) { // attribute values normalise them to blanks
                reference(c);
                continue;
            }
            break;
        default:
            break;
        }
        const std::array<unsigned char, 3>& b = shared.of(c);
        if (b[0] == 0) {
            reference(c);
            continue;
        }
        out_ += static_cast<char>(b[1]);
        if (b[0] == 2)
            out_ += static_cast<char>(b[2]);
    }
}

} // namespace kemnoa::output
