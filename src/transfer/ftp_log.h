#pragma once
// The FTP log: "ftplog.log" in the program folder, code page 932, one line per transfer step.

#include "core/prompter.h"

#include <QDateTime>
#include <QString>

namespace kemnoa::transfer {

// The log file's path.
QString ftpLogPath();

// One line: date and time, a space, the Japanese weekday name, a TAB, the message, CR LF. The
// message is made printable (text::printable), so a value from a file or a server is one line.
QString ftpLogLine(const QDateTime& when, const QString& message);

// Appends one line (the file is created when missing, never truncated), then lets the user
// interface process pending events. False when the line could not be written.
bool MP_FtpLog(const QString& message, core::Prompter* prompter = nullptr);

} // namespace kemnoa::transfer
