#pragma once
// Parsing of FTP directory listings: MLSD lines (RFC 3659) and LIST lines in the Unix "ls -l"
// and the DOS/IIS formats. Listings come from the server and are untrusted: a line that does
// not parse is skipped, never guessed at.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace kemnoa::ftp {

struct ListingEntry {
    QByteArray name; // raw bytes as sent, cut at the first NUL
    quint64 size = 0;
    QDateTime date; // fields as listed, time spec UTC so no conversion ever shifts them
    bool isDirectory = false;
};

// One MLSD line ("fact=value;...; name"). Nothing for the "." and ".." entries (cdir, pdir)
// and for lines that do not parse.
std::optional<ListingEntry> parseMlsdLine(const QByteArray& line);

// One LIST line in the Unix or DOS/IIS format. Unix lines without a year take currentYear.
// Nothing for "total" lines, "." and "..", and lines that do not parse.
std::optional<ListingEntry> parseListLine(const QByteArray& line, int currentYear);

// Splits a listing body into lines (CRLF or LF), dropping empty ones.
QList<QByteArray> listingLines(const QByteArray& body);

// Wildcard match of a file name: '*' any run of characters, '?' one character; letters compare
// without regard to case, as on the Windows servers the order files come from.
bool matchesPattern(const QString& name, const QString& pattern);

} // namespace kemnoa::ftp
