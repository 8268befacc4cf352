#pragma once
// Conversions between Unicode text and code page 932 (Shift_JIS as Windows writes it),
// the code page of the settings file, the FTP log, archive member names and byte-length measures.

#include <QByteArray>
#include <QString>
#include <optional>

namespace kemnoa::text {

// Encodes text to code page 932. A character the code page cannot hold becomes '?',
// as Windows does; *lossless is set to false when that happens.
QByteArray toCp932(const QString& text, bool* lossless = nullptr);

// Decodes code page 932 bytes. Bytes that are not valid code page 932 become U+FFFD.
QString fromCp932(const QByteArray& bytes);

// Decodes code page 932 bytes, or nothing when any byte sequence is invalid.
std::optional<QString> fromCp932Strict(const QByteArray& bytes);

// Number of bytes the text takes in code page 932 (a double-byte character counts 2).
qsizetype cp932Length(const QString& text);

} // namespace kemnoa::text
