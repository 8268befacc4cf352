#pragma once
// The master export ("マスタデータFTP送信"): the name-type, material and size masters written into a
// new Access file MST + yymmddhhmmss + .mdb and published on the FTP server, replacing every master
// file published before.
//
// Publishing order: the old "*MST*.mdb" entries are listed first, the new file is uploaded under
// the temporary name "TMST…" and renamed to its published name, and only then are the listed
// entries deleted. So the clients always find a master file on the server: a run that fails at
// the upload or the rename leaves the previous one in place.

#include "core/outcome.h"
#include "core/prompter.h"
#include "platform/db/connection.h"

#include <QDateTime>
#include <QString>

namespace kemnoa::masters {

// The run's timestamp: two-digit year, month, day, hour (00-23), minute, second.
QString masterTimestamp(const QDateTime& when);

// Writes the three masters, read through the work connection, into a new Access file at
// localPath. A failure has shown its message; the file is not written then.
core::Outcome MF_MstDbMake(core::Prompter& prompter, db::Connection& work, const QString& localPath);

// The whole export (cmdOk_Click): asks, builds the file in the program folder, publishes it and
// removes the local file on every way out. Progress lines go to the prompter's list and to the FTP
// log. Done after a complete run, DoneWithFailures when some old master file could not be
// deleted, Failed when the operator declined or the run stopped.
core::Outcome runMasterExport(core::Prompter& prompter, db::Connection& work,
                              const QDateTime& now = QDateTime::currentDateTime());

} // namespace kemnoa::masters
