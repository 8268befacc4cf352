#pragma once
// The four shared database connections by kind, opened by dbOpen and released by dbClose, and the
// fixed company values loaded from kem_setting.

#include "core/outcome.h"
#include "core/prompter.h"
#include "core/session.h"
#include "platform/db/connection.h"

namespace kemnoa::core {

// Connection kinds, the argument of dbOpen and dbClose.
inline constexpr qint32 KindWork = 1;
inline constexpr qint32 KindOffice = 2;
inline constexpr qint32 KindPo = 3;
inline constexpr qint32 KindSk = 4;

// The shared connections. Each object lives for the whole run; dbOpen reopens it in place, so a
// reference taken once stays valid (it is closed until dbOpen of its kind succeeds).
db::Connection& cnWork();
db::Connection& cnOffice();
db::Connection& cnPo();
db::Connection& cnSk();
// The connection of a kind, nullptr for a kind other than 1 to 4.
db::Connection* connectionOfKind(qint32 kind);

// The settings a kind is opened with: its session values and SQLite paths taken from the program
// folder. A SQLite file that does not exist is not created (kemnoa-cli init-db creates them).
db::ConnectionSettings connectionSettings(const DbSettings& settings, db::DatabaseKind kind);
db::ConnectionSettings connectionSettingsOfKind(qint32 kind);

// Opens the connection of the kind afresh (closing it first when open). Returns 0 on success,
// otherwise the error number, after showing the error text titled "dbOpen". A kind other than
// 1 to 4 does nothing and returns 0. A successful open of kind 1 adds 1 to WorkOpenCount.
qint32 dbOpen(qint32 kind, Prompter& prompter);
// Closes the connection of the kind: kinds 2 to 4 always, kind 1 only while WorkOpenCount is 1.
// Never reports an error.
void dbClose(qint32 kind);

// Loads FixedInfo from kem_setting over cnWork: Done (also for an empty table, which leaves FixedInfo
// empty), or Failed after showing the failure message. The desktop program's message has an empty
// detail when reading the table fails; with databaseReason the detail is the database's own text
// (the job runner's check, where the administrator needs it).
enum class FailureDetail { AsOnScreen, DatabaseReason };
Outcome MF_KoteiJohoSet(Prompter& prompter, FailureDetail detail = FailureDetail::AsOnScreen);

// Closes every shared connection (program end, tests); WorkOpenCount is left to the session.
void closeAllConnections();

} // namespace kemnoa::core
