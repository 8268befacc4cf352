#pragma once
// The listing entry last read by McWinFTP::FindFile / NextFile.

#include <QDateTime>
#include <QString>

namespace kemnoa::ftp {

// The attribute value of a directory entry.
inline constexpr qint32 FileAttributeDirectory = 16;

struct FTPFile {
    QString FileName;      // entry name, cut at the first NUL
    double FileSize = 0;   // bytes; a double holds every size up to 2^53 exactly
    QDateTime FileDate;    // last-write time as the listing gives it, no time-zone conversion
    qint32 FileType = 0;   // FileAttributeDirectory for a directory, otherwise 0
    bool SearchEnd = true; // true when there is no (further) entry
};

} // namespace kemnoa::ftp
