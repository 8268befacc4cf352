#pragma once
// MF_OpenRecordset: an updatable client-side recordset over a statement, whose rows the caller
// moves through, changes, adds and deletes.

#include "platform/db/connection.h"
#include "platform/db/recordset.h"

namespace kemnoa::core {

// Opens the statement on the connection; a failure throws core::Error for the caller to report.
db::Recordset MF_OpenRecordset(db::Connection& connection, const QString& statement);

} // namespace kemnoa::core
