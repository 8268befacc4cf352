#pragma once
// The table definitions of the four databases, one script per database and dialect, built into
// the library as resources (":/kemnoa/sql/<dialect>/<kind>.sql").

#include "platform/db/settings.h"

#include <QString>
#include <QStringList>

namespace kemnoa::db {

class Connection;

// The creation script of a database for a dialect.
QString schemaScript(Dialect dialect, DatabaseKind kind);
// The statements of a script: split at ";" outside quotes and comments, or at "GO" lines for
// SQL Server.
QStringList splitStatements(const QString& script, Dialect dialect);
// Creates the tables of the database that are missing; existing tables are left as they are.
void createSchema(Connection& connection, DatabaseKind kind);

// The spelling a table or column has in the definitions ("ORD_NO" for "ord_no"), the name
// itself when it is not defined there. PostgreSQL reports unquoted names in lower case.
QString canonicalName(const QString& name);
// The table names of a database as defined, in definition order.
QStringList schemaTables(DatabaseKind kind);

// Creates the database itself when it does not exist: a SQLite file (with its tables), or a
// database on a PostgreSQL or SQL Server server. Returns true when it was created.
bool ensureDatabase(const ConnectionSettings& settings);

} // namespace kemnoa::db
