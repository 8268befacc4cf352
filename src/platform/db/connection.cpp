#include "platform/db/connection.h"

#include "platform/db/db_error.h"
#include "platform/db/reader.h"
#include "platform/db/recordset.h"
#include "platform/db/schema.h"
#include "platform/db/sql_text.h"
#include "platform/db/sqlite_binding.h"
#include "platform/db/statement_cache.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace kemnoa::db {

namespace {

QAtomicInt g_connectionCounter;

QString nextConnectionName() {
    return QStringLiteral("kemnoa-db-%1").arg(g_connectionCounter.fetchAndAddRelaxed(1) + 1);
}

void bindAll(QSqlQuery& query, const QVariantList& params) {
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& v = params.at(i);
        // Qt binds a null QString as SQL Null; an empty text must stay empty text.
        if (v.typeId() == QMetaType::QString && !v.isNull() && v.toString().isNull())
            query.bindValue(i, QString(QLatin1String("")));
        else
            query.bindValue(i, v);
    }
}

} // namespace

Connection::Connection() = default;

Connection::~Connection() {
    close();
}

QSqlDatabase Connection::database() const {
    return QSqlDatabase::database(name_, false);
}

bool Connection::isOpen() const {
    return !name_.isEmpty() && database().isOpen();
}

void Connection::requireOpen() const {
    if (!isOpen())
        throwError(QStringLiteral("Operation is not allowed when the object is closed."),
                   dberr::ObjectClosed);
}

void Connection::open(const ConnectionSettings& settings) {
    close();
    Dialect dialect;
    if (!dialectOfProvider(settings.provider, &dialect))
        throwError(QStringLiteral("Provider cannot be found. It may not be properly installed. (%1)")
                       .arg(settings.provider),
                   dberr::ProviderNotFound);
    const int timeout = settings.timeoutSeconds > 0 ? settings.timeoutSeconds : 20;
    const QString name = nextConnectionName();
    bool createdFile = false;
    {
        QSqlDatabase db;
        switch (dialect) {
        case Dialect::SQLite: {
            const QString path = sqliteFilePath(settings);
            if (path.isEmpty())
                throwError(QStringLiteral("No SQLite database file is named."), errnum::FileNotFound);
            if (!QFileInfo(path).absoluteDir().exists())
                throwError(QStringLiteral("The folder of the database file does not exist: %1").arg(path),
                           errnum::PathNotFound);
            if (!QFileInfo::exists(path)) {
                if (!settings.createIfMissing)
                    throwError(QStringLiteral("The database file does not exist: %1").arg(path),
                               errnum::FileNotFound);
                createdFile = true;
            }
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(timeout * 1000));
            break;
        }
        case Dialect::PostgreSQL: {
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            const ServerAddress address = splitServer(settings.server);
            db.setHostName(address.host);
            if (address.port > 0)
                db.setPort(address.port);
            db.setDatabaseName(settings.database);
            db.setUserName(settings.user);
            db.setPassword(settings.password);
            db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(timeout));
            break;
        }
        case Dialect::SqlServer: {
            db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
            db.setDatabaseName(sqlServerConnectionString(settings));
            db.setConnectOptions(
                QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1").arg(timeout));
            break;
        }
        }
        if (!db.isValid()) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throwError(QStringLiteral("Provider cannot be found. It may not be properly installed. (%1)")
                           .arg(settings.provider),
                       dberr::ProviderNotFound);
        }
        if (!db.open()) {
            const Error error = sqlError(db.lastError());
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw error;
        }
    }
    name_ = name;
    dialect_ = dialect;
    settings_ = settings;
    inTransaction_ = false;
    statements_ = std::make_shared<StatementCache>();
    try {
        if (dialect == Dialect::SQLite) {
            // Write-ahead logging: readers do not block the writer, and a commit needs one sync
            // instead of several, which is what makes an import of thousands of orders fast.
            QSqlQuery pragma(QSqlDatabase::database(name_, false));
            pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
            pragma.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
            if (createdFile)
                createSchema(*this, settings.kind);
            if (settings.kind == DatabaseKind::Office)
                attachDboAlias();
        } else if (dialect == Dialect::PostgreSQL) {
            // The office tables live in schema dbo, as on SQL Server; unqualified names find them too.
            execute(QStringLiteral("SET search_path TO public, dbo"));
        }
    } catch (...) {
        close();
        throw;
    }
}

// Statements written for SQL Server address the office tables as dbo.<table>; on SQLite the file
// is attached to itself under that schema name so that they resolve.
void Connection::attachDboAlias() {
    const QString path = sqliteFilePath(settings_);
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("ATTACH DATABASE ") + quote(path) + QStringLiteral(" AS dbo")))
        throwSqlError(q.lastError());
}

void Connection::close() noexcept {
    if (name_.isEmpty())
        return;
    statements_.reset(); // prepared statements end before their connection
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        if (db.isOpen()) {
            if (inTransaction_)
                db.rollback();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name_);
    name_.clear();
    inTransaction_ = false;
}

QString Connection::sql(const PerDialect& text) const {
    const QString* specific = nullptr;
    switch (dialect_) {
    case Dialect::SQLite:
        specific = &text.sqlite;
        break;
    case Dialect::PostgreSQL:
        specific = &text.postgresql;
        break;
    case Dialect::SqlServer:
        specific = &text.sqlServer;
        break;
    }
    return specific && !specific->isEmpty() ? *specific : text.standard;
}

int Connection::execute(const QString& sql, const QVariantList& params) {
    requireOpen();
    if (!params.isEmpty()) {
        PreparedStatement s = statements_->take(database(), sql);
        const int affected = runPrepared(*s.query, params); // a failure drops the statement
        statements_->give(std::move(s));
        return affected;
    }
    if (changesSchema(sql))
        statements_->clear();
    QSqlQuery q(database());
    if (!q.exec(sql))
        throwSqlError(q.lastError());
    return q.numRowsAffected();
}

void Connection::executeEach(const QString& sql, const std::vector<QVariantList>& rows) {
    requireOpen();
    if (rows.empty())
        return;
    PreparedStatement s = statements_->take(database(), sql);
    for (const QVariantList& row : rows)
        runPrepared(*s.query, row);
    statements_->give(std::move(s));
}

int Connection::runPrepared(QSqlQuery& query, const QVariantList& params) {
    int affected = 0;
    if (dialect_ == Dialect::SQLite)
        if (sqlite3_stmt* statement = sqliteStatement(query);
            statement && runSqlite(statement, params, &affected))
            return affected;
    bindAll(query, params);
    if (!query.exec())
        throwSqlError(query.lastError());
    return query.numRowsAffected();
}

Reader Connection::read(const QString& sql, const QVariantList& params) {
    requireOpen();
    if (!params.isEmpty()) {
        PreparedStatement s = statements_->take(database(), sql);
        s.query->setForwardOnly(true);
        bindAll(*s.query, params);
        if (!s.query->exec())
            throwSqlError(s.query->lastError());
        return Reader(std::move(s), dialect_, statements_);
    }
    auto q = std::make_unique<QSqlQuery>(database());
    q->setForwardOnly(true);
    bool ok;
    if (params.isEmpty()) {
        ok = q->exec(sql);
    } else {
        ok = q->prepare(sql);
        if (ok) {
            bindAll(*q, params);
            ok = q->exec();
        }
    }
    if (!ok)
        throwSqlError(q->lastError());
    return Reader(std::move(q), dialect_);
}

Recordset Connection::openStatic(const QString& sql, const QVariantList& params) {
    requireOpen();
    return Recordset(*this, sql, params, false);
}

Recordset Connection::openRecordset(const QString& sql, const QVariantList& params) {
    requireOpen();
    return Recordset(*this, sql, params, true);
}

void Connection::beginTransaction() {
    requireOpen();
    QSqlDatabase db = database();
    if (!db.transaction())
        throwSqlError(db.lastError());
    inTransaction_ = true;
}

void Connection::commit() {
    requireOpen();
    QSqlDatabase db = database();
    if (!db.commit())
        throwSqlError(db.lastError());
    inTransaction_ = false;
}

void Connection::rollback() {
    requireOpen();
    QSqlDatabase db = database();
    inTransaction_ = false;
    if (!db.rollback())
        throwSqlError(db.lastError());
}

QStringList Connection::tables() const {
    requireOpen();
    if (dialect_ == Dialect::PostgreSQL) {
        // Every user schema (the office tables live in dbo), without the schema name.
        QSqlQuery q(database());
        if (!q.exec(QStringLiteral("SELECT table_name FROM information_schema.tables "
                                   "WHERE table_type = 'BASE TABLE' AND table_schema NOT IN "
                                   "('pg_catalog', 'information_schema') ORDER BY table_name")))
            throwSqlError(q.lastError());
        QStringList names;
        while (q.next())
            names << canonicalName(q.value(0).toString());
        return names;
    }
    return database().tables(QSql::Tables);
}

bool Connection::hasTable(const QString& name) const {
    return tables().contains(name, Qt::CaseInsensitive);
}

void Connection::setStatementTimeout(int seconds) {
    if (dialect_ != Dialect::PostgreSQL)
        return;
    execute(QStringLiteral("SET statement_timeout = %1").arg(qMax(0, seconds) * 1000));
}

Transaction::Transaction(Connection& connection) : connection_(connection) {
    connection_.beginTransaction();
}

Transaction::~Transaction() {
    if (!active_)
        return;
    try {
        connection_.rollback();
    } catch (...) {
        // Rolling back on the way out of a failure must not throw over it.
    }
}

void Transaction::commit() {
    if (!active_)
        return;
    connection_.commit();
    active_ = false;
}

void Transaction::rollback() {
    if (!active_)
        return;
    active_ = false;
    connection_.rollback();
}

} // namespace kemnoa::db
