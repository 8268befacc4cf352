#pragma once
// Runs a prepared SQLite statement through SQLite's own interface. Qt's binding looks every position
// up under a generated name and converts each value again, which is most of the cost of an insert
// of a hundred columns repeated for every order line.

#include <QSqlQuery>
#include <QVariantList>

struct sqlite3_stmt;

namespace kemnoa::db {

// The SQLite statement behind a prepared query, or nullptr for another driver.
sqlite3_stmt* sqliteStatement(const QSqlQuery& query);

// Binds the values (a null QString as empty text, an invalid or null value as Null, numbers as
// numbers) and runs the statement to its end; *affected gets the rows changed. Returns false, having
// done nothing, when a value is of a type only Qt's binding converts; throws Error when SQLite
// refuses the statement.
bool runSqlite(sqlite3_stmt* statement, const QVariantList& params, int* affected);

} // namespace kemnoa::db
