#pragma once
// Database failures as kemnoa::Error, numbered like the ADO errors they stand for.

#include "platform/base/error.h"

class QSqlError;

namespace kemnoa::db {

namespace dberr {
inline constexpr long NoCurrentRecord = 3021;  // BOF or EOF is true, or the row was deleted
inline constexpr long NotUpdatable = 3251;     // the recordset does not support updating
inline constexpr long ItemNotFound = 3265;     // no column or parameter of that name
inline constexpr long ObjectClosed = 3704;     // the connection is not open
inline constexpr long ProviderNotFound = 3706; // unknown provider name
inline constexpr long RowNotFound = 3640;      // the row to write back is gone or changed
} // namespace dberr

// The error of a failed driver call: the database's description and its native number when
// that is a number (else the general database error number).
Error sqlError(const QSqlError& error);
[[noreturn]] void throwSqlError(const QSqlError& error);
[[noreturn]] void throwError(const QString& description, long number);

} // namespace kemnoa::db
