#pragma once
// Text as Jet 4 stores it: UCS-2 little-endian, optionally in the compressed form that begins
// with FF FE and switches between one-byte (Latin-1) and two-byte runs at each 00 byte.

#include <QByteArray>
#include <QString>

namespace kemnoa::jet {

// Decodes a Jet 4 text value (either form).
QString decodeJet4Text(const char* data, qsizetype size);
inline QString decodeJet4Text(const QByteArray& b) {
    return decodeJet4Text(b.constData(), b.size());
}

// Encodes text as plain UCS-2 little-endian; characters beyond the basic plane stay as surrogate pairs.
QByteArray encodeUcs2(const QString& text);

} // namespace kemnoa::jet
