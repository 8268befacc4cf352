#include "platform/jet/jet_structures.h"

#include "platform/jet/jet_error.h"
#include "platform/jet/jet_text.h"

namespace kemnoa::jet::format {

namespace {

// General (legacy) sort order codes of the printable ASCII characters 0x20..0x7e; 0 marks the
// apostrophe and hyphen, which have no plain code. Two-byte codes are given as 0x2bNN.
constexpr quint16 kGeneralCodes[95] = {
    0x07, 0x09, 0x0a, 0x0c, 0x0e, 0x10, 0x12,   0,      0x14,   0x16,   0x18,   0x2c, 0x1a, 0,
    0x1c, 0x1e, 0x36, 0x38, 0x3a, 0x3c, 0x3e,   0x40,   0x42,   0x44,   0x46,   0x48, 0x20, 0x22,
    0x2e, 0x30, 0x32, 0x24, 0x26, 0x4a, 0x4c,   0x4d,   0x4f,   0x51,   0x53,   0x55, 0x57, 0x59,
    0x5b, 0x5c, 0x5e, 0x60, 0x62, 0x64, 0x66,   0x68,   0x69,   0x6b,   0x6d,   0x6f, 0x71, 0x73,
    0x75, 0x76, 0x78, 0x27, 0x29, 0x2a, 0x2b02, 0x2b03, 0x2b07, 0x4a,   0x4c,   0x4d, 0x4f, 0x51,
    0x53, 0x55, 0x57, 0x59, 0x5b, 0x5c, 0x5e,   0x60,   0x62,   0x64,   0x66,   0x68, 0x69, 0x6b,
    0x6d, 0x6f, 0x71, 0x73, 0x75, 0x76, 0x78,   0x2b09, 0x2b0b, 0x2b0d, 0x2b0f,
};

quint16 codeOf(QChar c) {
    const char16_t u = c.unicode();
    return u >= 0x20 && u <= 0x7e ? kGeneralCodes[u - 0x20] : 0;
}

void appendBigEndian(QByteArray& out, quint64 v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((v >> (8 * i)) & 0xff));
}

} // namespace

bool isPlainIndexText(const QString& text) {
    for (QChar c : text)
        if (!codeOf(c))
            return false;
    return true;
}

QByteArray ascendingIndexKey(ColumnType type, const Value& value) {
    if (value.isNull())
        return QByteArray(1, '\0');
    QByteArray key(1, char(0x7f));
    switch (type) {
    case ColumnType::Byte:
        appendBigEndian(key, quint64(value.asInt64()) & 0xff, 1);
        return key;
    // Signed integers: big-endian with the sign bit flipped, so that bytes sort as numbers.
    case ColumnType::Integer:
        appendBigEndian(key, (quint64(value.asInt64()) & 0xffff) ^ 0x8000, 2);
        return key;
    case ColumnType::Long:
        appendBigEndian(key, (quint64(value.asInt64()) & 0xffffffff) ^ 0x80000000, 4);
        return key;
    case ColumnType::Text:
        if (!isPlainIndexText(value.asText()))
            break;
        for (QChar c : value.asText()) {
            const quint16 code = codeOf(c);
            appendBigEndian(key, code, code > 0xff ? 2 : 1);
        }
        key.append(char(0x01)); // end of the text codes
        key.append(char(0x00)); // no extra codes
        return key;
    default:
        break;
    }
    throw Error(QStringLiteral("索引のキーにできない値です (%1)。").arg(value.toText()),
                errnum::InvalidArgument);
}

namespace {

void append16(QByteArray& b, quint32 v) {
    b.append(char(v & 0xff));
    b.append(char((v >> 8) & 0xff));
}
void put32(QByteArray& b, qsizetype at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}
void appendName(QByteArray& b, const QString& name) {
    append16(b, quint32(name.size() * 2));
    b.append(encodeUcs2(name));
}

} // namespace

QByteArray columnPropertiesBlob(const std::vector<std::pair<QString, QStringList>>& columnProperties) {
    QStringList names;
    for (const auto& [column, props] : columnProperties)
        for (const QString& p : props)
            if (!names.contains(p))
                names << p;
    QByteArray blob("MR2", 4); // with its terminating zero
    // The list of property names.
    qsizetype start = blob.size();
    blob.append(QByteArray(4, '\0'));
    append16(blob, 0x0080);
    for (const QString& n : names)
        appendName(blob, n);
    put32(blob, start, quint32(blob.size() - start));
    // One block per column: its name, then each property as a Boolean True.
    for (const auto& [column, props] : columnProperties) {
        start = blob.size();
        blob.append(QByteArray(4, '\0'));
        append16(blob, 0x0001);
        const qsizetype nameStart = blob.size();
        blob.append(QByteArray(4, '\0'));
        appendName(blob, column);
        put32(blob, nameStart, quint32(blob.size() - nameStart));
        for (const QString& p : props) {
            append16(blob, 9);    // this entry's length
            blob.append(char(0)); // not a DDL property
            blob.append(char(ColumnType::Boolean));
            append16(blob, quint32(names.indexOf(p)));
            append16(blob, 1);
            blob.append(char(0xff)); // True
        }
        put32(blob, start, quint32(blob.size() - start));
    }
    return blob;
}

QByteArray databasePropertiesBlob() {
    const QStringList names{QStringLiteral("AccessVersion"), QStringLiteral("Build")};
    QByteArray blob("MR2", 4);
    qsizetype start = blob.size();
    blob.append(QByteArray(4, '\0'));
    append16(blob, 0x0080);
    for (const QString& n : names)
        appendName(blob, n);
    put32(blob, start, quint32(blob.size() - start));
    // One block for the object itself (type 0, an empty name).
    start = blob.size();
    blob.append(QByteArray(4, '\0'));
    append16(blob, 0x0000);
    const qsizetype nameStart = blob.size();
    blob.append(QByteArray(4, '\0'));
    appendName(blob, QString());
    put32(blob, nameStart, quint32(blob.size() - nameStart));
    const QByteArray version = encodeUcs2(QStringLiteral("08.50"));
    append16(blob, quint32(8 + version.size()));
    blob.append(char(0)); // not a DDL property
    blob.append(char(ColumnType::Text));
    append16(blob, 0);
    append16(blob, quint32(version.size()));
    blob.append(version);
    append16(blob, 12);
    blob.append(char(0));
    blob.append(char(ColumnType::Long));
    append16(blob, 1);
    append16(blob, 4);
    QByteArray build(4, '\0');
    put32(build, 0, 6620);
    blob.append(build);
    put32(blob, start, quint32(blob.size() - start));
    return blob;
}

} // namespace kemnoa::jet::format
