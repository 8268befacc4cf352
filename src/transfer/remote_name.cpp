#include "transfer/remote_name.h"

#include "platform/text/cp932.h"

namespace kemnoa::transfer {
namespace {
bool isControl(QChar c) {
    return c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0);
}
} // namespace

bool isSafeRemoteName(const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1String("..")))
        return false;
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return false; // Windows would drop them and write a different name
    for (QChar c : name) {
        if (isControl(c) || c == QChar::ReplacementCharacter || QStringLiteral("/\\:*?\"<>|").contains(c))
            return false;
    }
    bool lossless = true;
    const QByteArray bytes = text::toCp932(name, &lossless);
    return lossless && bytes.size() <= MaxRemoteNameBytes;
}

QString printableName(const QString& name) {
    QString out = name;
    for (QChar& c : out)
        if (isControl(c))
            c = QLatin1Char('?');
    return out;
}

} // namespace kemnoa::transfer
