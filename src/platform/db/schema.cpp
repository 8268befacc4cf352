#include "platform/db/schema.h"

#include "platform/db/connection.h"
#include "platform/db/db_error.h"
#include "platform/db/reader.h"
#include "platform/db/sql_text.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace kemnoa::db {

namespace {

QString dialectFolder(Dialect dialect) {
    switch (dialect) {
    case Dialect::SQLite:
        return QStringLiteral("sqlite");
    case Dialect::PostgreSQL:
        return QStringLiteral("postgresql");
    case Dialect::SqlServer:
        return QStringLiteral("sqlserver");
    }
    return QString();
}

// Table and column names of the SQLite definitions, which keep the names' own spelling.
struct Names {
    QHash<QString, QString> canonical; // lower case -> spelling
    QHash<int, QStringList> tables;    // kind -> tables in order
};

const Names& names() {
    static const Names n = [] {
        Names out;
        static const QRegularExpression table(QStringLiteral(R"(CREATE TABLE IF NOT EXISTS\s+(\w+)\s*\()"),
                                              QRegularExpression::CaseInsensitiveOption |
                                                  QRegularExpression::UseUnicodePropertiesOption);
        static const QRegularExpression column(QStringLiteral(R"(^\s+(\w+)\s+[A-Za-z])"),
                                               QRegularExpression::UseUnicodePropertiesOption);
        for (const DatabaseKind kind :
             {DatabaseKind::Work, DatabaseKind::Office, DatabaseKind::Po, DatabaseKind::Sk}) {
            const QString script = schemaScript(Dialect::SQLite, kind);
            for (const QString& line : script.split(QLatin1Char('\n'))) {
                const auto t = table.match(line);
                if (t.hasMatch()) {
                    out.canonical.insert(t.captured(1).toLower(), t.captured(1));
                    out.tables[static_cast<int>(kind)] << t.captured(1);
                    continue;
                }
                const auto c = column.match(line);
                if (c.hasMatch()) {
                    const QString word = c.captured(1);
                    const QString upper = word.toUpper();
                    if (upper == QLatin1String("PRIMARY") || upper == QLatin1String("UNIQUE") ||
                        upper == QLatin1String("CONSTRAINT"))
                        continue;
                    if (!out.canonical.contains(word.toLower()))
                        out.canonical.insert(word.toLower(), word);
                }
            }
        }
        return out;
    }();
    return n;
}

} // namespace

QString schemaScript(Dialect dialect, DatabaseKind kind) {
    QFile file(QStringLiteral(":/kemnoa/sql/%1/%2.sql").arg(dialectFolder(dialect), kindName(kind)));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QStringList splitStatements(const QString& script, Dialect dialect) {
    QStringList out;
    if (dialect == Dialect::SqlServer) {
        QString current;
        for (const QString& line : script.split(QLatin1Char('\n'))) {
            if (line.trimmed().compare(QLatin1String("GO"), Qt::CaseInsensitive) == 0) {
                if (!current.trimmed().isEmpty())
                    out << current.trimmed();
                current.clear();
            } else {
                current += line + QLatin1Char('\n');
            }
        }
        if (!current.trimmed().isEmpty())
            out << current.trimmed();
        return out;
    }
    QString current;
    bool inQuote = false;
    for (int i = 0; i < script.size(); ++i) {
        const QChar c = script.at(i);
        if (!inQuote && c == QLatin1Char('-') && i + 1 < script.size() &&
            script.at(i + 1) == QLatin1Char('-')) {
            while (i < script.size() && script.at(i) != QLatin1Char('\n'))
                ++i;
            current += QLatin1Char('\n');
            continue;
        }
        if (c == QLatin1Char('\''))
            inQuote = !inQuote;
        if (!inQuote && c == QLatin1Char(';')) {
            if (!current.trimmed().isEmpty())
                out << current.trimmed();
            current.clear();
            continue;
        }
        current += c;
    }
    if (!current.trimmed().isEmpty())
        out << current.trimmed();
    return out;
}

void createSchema(Connection& connection, DatabaseKind kind) {
    const QString script = schemaScript(connection.dialect(), kind);
    if (script.isEmpty())
        throwError(QStringLiteral("No table definitions for the %1 database.").arg(kindName(kind)),
                   errnum::FileNotFound);
    Transaction tx(connection);
    for (const QString& statement : splitStatements(script, connection.dialect()))
        connection.execute(statement);
    tx.commit();
}

QString canonicalName(const QString& name) {
    return names().canonical.value(name.toLower(), name);
}

QStringList schemaTables(DatabaseKind kind) {
    return names().tables.value(static_cast<int>(kind));
}

bool ensureDatabase(const ConnectionSettings& settings) {
    Dialect dialect;
    if (!dialectOfProvider(settings.provider, &dialect))
        return false;
    if (dialect == Dialect::SQLite) {
        if (sqliteFilePath(settings).isEmpty() || QFileInfo::exists(sqliteFilePath(settings)))
            return false;
        ConnectionSettings create = settings;
        create.createIfMissing = true;
        Connection c;
        c.open(create);
        return true;
    }
    ConnectionSettings admin = settings;
    admin.database = dialect == Dialect::PostgreSQL ? QStringLiteral("postgres") : QStringLiteral("master");
    Connection c;
    c.open(admin);
    if (dialect == Dialect::PostgreSQL) {
        Reader r = c.read(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"), {settings.database});
        if (!r.atEnd())
            return false;
        QString ident = settings.database;
        ident.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        c.execute(QStringLiteral("CREATE DATABASE \"%1\" ENCODING 'UTF8' TEMPLATE template0").arg(ident));
        return true;
    }
    Reader r = c.read(QStringLiteral("SELECT DB_ID(?)"), {settings.database});
    if (!r.atEnd() && !isNull(r.value(0)))
        return false;
    QString ident = settings.database;
    ident.replace(QLatin1Char(']'), QStringLiteral("]]"));
    c.execute(QStringLiteral("CREATE DATABASE [%1]").arg(ident));
    return true;
}

} // namespace kemnoa::db
