#pragma once
// What a connection is opened with, and the SQL dialect its provider speaks.

#include <QString>

namespace kemnoa::db {

enum class Dialect { SQLite, PostgreSQL, SqlServer };

// The four databases of the system; each has its own schema.
enum class DatabaseKind { Work, Office, Po, Sk };

struct ConnectionSettings {
    QString provider; // "SQLite", "PostgreSQL" or a SQL Server OLE DB provider name (SQLOLEDB, SQLNCLI11,
                      // MSOLEDBSQL...)
    QString server;   // PostgreSQL/SQL Server: host, host:port (or host,port)
    QString database; // SQLite: file path; otherwise the database name
    QString user;
    QString password;
    int timeoutSeconds = 20;
    QString odbcDriver; // SQL Server: the ODBC driver name; empty for the default
    QString baseFolder; // SQLite: folder a relative file path is taken from
    // SQLite: a file that does not exist is created, with the tables of `kind`. Unset, opening a
    // missing file fails naming its path: only the database set-up (and tests) create files, so a
    // mistyped name is reported instead of quietly becoming an empty database.
    bool createIfMissing = false;
    DatabaseKind kind = DatabaseKind::Work;
};

// The dialect of a provider name; nothing for a provider this program does not know.
bool dialectOfProvider(const QString& provider, Dialect* dialect);

// The ODBC driver used for SQL Server when none is configured.
QString defaultOdbcDriver();

// A server text as host and port: "host", "host:port" or "host,port" with a port from 1 to 65535;
// without such a port the whole text is the host and the port is -1.
struct ServerAddress {
    QString host;
    int port = -1;
};
ServerAddress splitServer(const QString& server);

// The ODBC connection string of SQL Server settings. A value holding characters of the string's own
// syntax (";", braces, leading or trailing blanks) is put in braces, with "}" doubled.
QString sqlServerConnectionString(const ConnectionSettings& settings);

// "work", "office", "po", "sk".
QString kindName(DatabaseKind kind);
// The SQLite file path of the settings: relative paths are taken from baseFolder.
QString sqliteFilePath(const ConnectionSettings& settings);

} // namespace kemnoa::db
