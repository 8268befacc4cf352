#include "platform/text/printable.h"

namespace kemnoa::text {
namespace {

bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

} // namespace

QString printable(const QString& text, qsizetype maxLength) {
    QString out = text.size() > maxLength ? text.left(maxLength) + QChar(0x2026) : text;
    // A cut between the halves of a surrogate pair would leave half a character.
    if (text.size() > maxLength && maxLength > 0 && out.at(maxLength - 1).isHighSurrogate())
        out.remove(maxLength - 1, 1);
    // A line break of a multi-line message reads as a space; it can no longer start a line.
    out.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar& c : out) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
        else if (isControl(c.unicode()))
            c = QLatin1Char('?');
    }
    return out;
}

} // namespace kemnoa::text
