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

ServerAddress splitServer(const QString& server) {
    ServerAddress a;
    QString s = server.trimmed();
    qsizetype sep = s.lastIndexOf(QLatin1Char(','));
    if (sep < 0 && s.count(QLatin1Char(':')) == 1)
        sep = s.indexOf(QLatin1Char(':'));
    if (sep >= 0) {
        bool ok = false;
        const int p = s.mid(sep + 1).trimmed().toInt(&ok);
        if (ok && p > 0 && p < 65536) {
            a.port = p;
            s = s.left(sep).trimmed();
        }
    }
    a.host = s;
    return a;
}

namespace {

// A value of an ODBC connection string, in braces when it holds characters of the syntax.
QString odbcValue(const QString& value) {
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{')) &&
        !value.contains(QLatin1Char('}')) && value.trimmed() == value)
        return value;
    QString v = value;
    v.replace(QStringLiteral("}"), QStringLiteral("}}"));
    return QLatin1Char('{') + v + QLatin1Char('}');
}

} // namespace

QString sqlServerConnectionString(const ConnectionSettings& settings) {
    const ServerAddress address = splitServer(settings.server);
    const QString driver = settings.odbcDriver.isEmpty() ? defaultOdbcDriver() : settings.odbcDriver;
    QString cs = QStringLiteral("DRIVER=") + odbcValue(driver) + QStringLiteral(";SERVER=") +
                 odbcValue(address.port > 0 ? address.host + QLatin1Char(',') + QString::number(address.port)
                                            : address.host) +
                 QStringLiteral(";DATABASE=") + odbcValue(settings.database) + QLatin1Char(';');
    if (settings.user.isEmpty())
        cs += QStringLiteral("Trusted_Connection=yes;");
    else
        cs += QStringLiteral("UID=") + odbcValue(settings.user) + QStringLiteral(";PWD=") +
              odbcValue(settings.password) + QLatin1Char(';');
    return cs;
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
