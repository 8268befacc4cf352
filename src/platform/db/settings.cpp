#include "platform/db/settings.h"

#include <QDir>

namespace kemnoa::db {

bool dialectOfProvider(const QString& provider, Dialect* dialect) {
    const QString p = provider.trimmed().toUpper();
    Dialect d;
    if (p == QLatin1String("SQLITE") || p == QLatin1String("SQLITE3"))
        d = Dialect::SQLite;
    else if (p == QLatin1String("POSTGRESQL") || p == QLatin1String("POSTGRES") || p == QLatin1String("PSQL"))
        d = Dialect::PostgreSQL;
    else if (p.startsWith(QLatin1String("SQLOLEDB")) || p.startsWith(QLatin1String("SQLNCLI")) ||
             p.startsWith(QLatin1String("MSOLEDBSQL")))
        d = Dialect::SqlServer;
    else
        return false;
    if (dialect)
        *dialect = d;
    return true;
}

QString defaultOdbcDriver() {
    return QStringLiteral("ODBC Driver 18 for SQL Server");
}

QString kindName(DatabaseKind kind) {
    switch (kind) {
    case DatabaseKind::Work:
        return QStringLiteral("work");
    case DatabaseKind::Office:
        return QStringLiteral("office");
    case DatabaseKind::Po:
        return QStringLiteral("po");
    case DatabaseKind::Sk:
        return QStringLiteral("sk");
    }
    return QString();
}

QString sqliteFilePath(const ConnectionSettings& settings) {
    const QString name = settings.database.trimmed();
    if (name.isEmpty() || QDir::isAbsolutePath(name) || settings.baseFolder.isEmpty())
        return QDir::cleanPath(name);
    return QDir::cleanPath(QDir(settings.baseFolder).filePath(name));
}

} // namespace kemnoa::db
