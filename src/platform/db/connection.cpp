#include "platform/db/connection.h"

#include "platform/db/db_error.h"
#include "platform/db/pg_pipeline.h"
#include "platform/db/reader.h"
#include "platform/db/recordset.h"
#include "platform/db/schema.h"
#include "platform/db/sql_text.h"
#include "platform/db/sqlite_binding.h"
#include "platform/db/statement_cache.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

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

void Connection::sendQueued(std::vector<int>* rows, std::vector<PipelinedRows>* values) const {
    if (dialect_ != Dialect::PostgreSQL || name_.isEmpty())
        return;
    if (queued_.empty() && wantedTimeoutMs_ == serverTimeoutMs_)
        return;
    std::vector<PipelinedStatement> batch;
    batch.reserve(queued_.size() + 1);
    const bool setTimeout = wantedTimeoutMs_ != serverTimeoutMs_;
    if (setTimeout)
        batch.push_back({QStringLiteral("SET statement_timeout = %1").arg(wantedTimeoutMs_), {}});
    for (PipelinedStatement& s : queued_)
        batch.push_back(std::move(s));
    queued_.clear();
    serverTimeoutMs_ = -1; // until the server has answered
    const QVariant handle = database().driver()->handle();
    void* conn = handle.isValid() && (qstrcmp(handle.typeName(), "PGconn*") == 0 ||
                                      qstrcmp(handle.typeName(), "pg_conn*") == 0)
                     ? *static_cast<void* const*>(handle.constData())
                     : nullptr;
    std::vector<int> counts;
    std::vector<PipelinedRows> sets;
    const int policy = int(database().numericalPrecisionPolicy());
    const auto keepAnswers = [&] {
        for (std::size_t i = 0; i < batch.size() && i < counts.size(); ++i)
            if (batch[i].askedAhead)
                answered_.emplace_back(std::move(batch[i]), counts[i] > 0);
    };
    if (runPipeline(conn, batch, *pgNames_, &counts, values ? &sets : nullptr, policy)) {
        serverTimeoutMs_ = wantedTimeoutMs_;
        keepAnswers();
        if (rows)
            *rows = std::vector<int>(counts.begin() + (setTimeout ? 1 : 0), counts.end());
        if (values)
            values->assign(std::make_move_iterator(sets.begin() + (setTimeout ? 1 : 0)),
                           std::make_move_iterator(sets.end()));
        return;
    }
    // The connection is busy with a read still open: one statement at a time through the driver.
    counts.clear();
    for (const PipelinedStatement& s : batch) {
        QSqlQuery q(database());
        bool ok = s.params.isEmpty() ? q.exec(s.sql) : q.prepare(s.sql);
        if (ok && !s.params.isEmpty()) {
            bindAll(q, s.params);
            ok = q.exec();
        }
        if (!ok)
            throwSqlError(q.lastError());
        counts.push_back(q.isSelect() ? (q.next() ? 1 : 0) : q.numRowsAffected());
    }
    serverTimeoutMs_ = wantedTimeoutMs_;
    keepAnswers();
    if (rows)
        *rows = std::vector<int>(counts.begin() + (setTimeout ? 1 : 0), counts.end());
    if (values) // the rows were not kept: the caller reads them through the driver
        values->assign(batch.size() - (setTimeout ? 1 : 0), PipelinedRows());
}

void Connection::queue(const QString& sql, const QVariantList& params) {
    checkOpen();
    if (dialect_ == Dialect::PostgreSQL && pipelinable(params) && !changesSchema(sql)) {
        queued_.push_back({sql, params});
        return;
    }
    execute(sql, params);
}

void Connection::flush() {
    checkOpen();
    sendQueued();
}

namespace {

bool sameQuery(const PipelinedStatement& s, const QString& sql, const QVariantList& params) {
    return s.sql == sql && s.params == params;
}

} // namespace

void Connection::existsAhead(const QString& sql, const QVariantList& params) {
    checkOpen();
    if (dialect_ != Dialect::PostgreSQL || !pipelinable(params))
        return;
    PipelinedStatement s{sql, params};
    s.askedAhead = true;
    queued_.push_back(std::move(s));
}

bool Connection::exists(const QString& sql, const QVariantList& params) {
    checkOpen();
    if (dialect_ == Dialect::PostgreSQL && pipelinable(params)) {
        const auto answered = std::find_if(answered_.begin(), answered_.end(),
                                           [&](const auto& a) { return sameQuery(a.first, sql, params); });
        if (answered != answered_.end()) {
            const bool found = answered->second;
            answered_.erase(answered);
            return found;
        }
        // Asked ahead but not sent yet: asked here instead.
        std::erase_if(queued_,
                      [&](const PipelinedStatement& s) { return s.askedAhead && sameQuery(s, sql, params); });
        answered_.clear(); // answers asked ahead of other queries are not kept past this one
        queued_.push_back({sql, params});
        std::vector<int> rows;
        sendQueued(&rows);
        return !rows.empty() && rows.back() > 0;
    }
    return !read(sql, params).atEnd();
}

std::vector<Connection::Rows> Connection::readAll(const std::vector<PipelinedStatement>& reads) {
    checkOpen();
    std::vector<Rows> out(reads.size());
    std::vector<bool> done(reads.size(), false);
    const bool together = dialect_ == Dialect::PostgreSQL &&
                          std::all_of(reads.begin(), reads.end(),
                                      [](const PipelinedStatement& s) { return pipelinable(s.params); });
    if (together) {
        const std::size_t before = queued_.size();
        for (const PipelinedStatement& s : reads)
            queued_.push_back({s.sql, s.params, true});
        std::vector<PipelinedRows> sets;
        sendQueued(nullptr, &sets);
        for (std::size_t i = 0; i < reads.size(); ++i) {
            PipelinedRows& set = sets[before + i];
            if (set.complete) {
                out[i] = std::move(set.rows);
                done[i] = true;
            }
        }
    }
    for (std::size_t i = 0; i < reads.size(); ++i) {
        if (done[i])
            continue;
        for (Reader r = read(reads[i].sql, reads[i].params); !r.atEnd(); r.moveNext()) {
            QVariantList row;
            row.reserve(r.columnCount());
            for (int c = 0; c < r.columnCount(); ++c)
                row.append(r.value(c));
            out[i].push_back(std::move(row));
        }
    }
    return out;
}

Connection::~Connection() {
    close();
}

QSqlDatabase Connection::database() const {
    return QSqlDatabase::database(name_, false);
}

bool Connection::isOpen() const {
    return !name_.isEmpty() && database().isOpen();
}

void Connection::checkOpen() const {
    if (!isOpen())
        throwError(QStringLiteral("Operation is not allowed when the object is closed."),
                   dberr::ObjectClosed);
}

void Connection::requireOpen() const {
    checkOpen();
    sendQueued();
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
    queued_.clear();
    answered_.clear();
    pgNames_ = std::make_unique<PgPreparedNames>();
    wantedTimeoutMs_ = serverTimeoutMs_ = 0;
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
    if (!queued_.empty() && !inTransaction_) {
        try {
            sendQueued(); // statements outside a transaction were asked for: they are not dropped
        } catch (...) {
            // Closing never fails; a statement the server refused is as if it had run alone.
        }
    }
    statements_.reset(); // prepared statements end before their connection
    queued_.clear();
    answered_.clear();
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
    if (changesSchema(sql)) {
        statements_->clear();
        pgNames_->clear();
    }
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
    if (dialect_ == Dialect::PostgreSQL) {
        checkOpen();
        queued_.push_back({QStringLiteral("BEGIN"), {}}); // sent with the first statement that waits
        inTransaction_ = true;
        return;
    }
    requireOpen();
    QSqlDatabase db = database();
    if (!db.transaction())
        throwSqlError(db.lastError());
    inTransaction_ = true;
}

void Connection::commit() {
    if (dialect_ == Dialect::PostgreSQL) {
        checkOpen();
        queued_.push_back({QStringLiteral("COMMIT"), {}});
        sendQueued();
        inTransaction_ = false;
        return;
    }
    requireOpen();
    QSqlDatabase db = database();
    if (!db.commit())
        throwSqlError(db.lastError());
    inTransaction_ = false;
}

void Connection::rollback() {
    checkOpen();
    if (dialect_ == Dialect::PostgreSQL) {
        const auto begin = std::find_if(queued_.begin(), queued_.end(), [](const PipelinedStatement& s) {
            return s.sql == QLatin1String("BEGIN");
        });
        if (begin != queued_.end()) {
            // The server never saw the transaction: what came before it still goes, the rest is dropped.
            queued_.erase(begin, queued_.end());
            inTransaction_ = false;
            sendQueued();
            return;
        }
    }
    queued_.clear(); // never sent: nothing of them to undo
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
    checkOpen();
    // Sent before the next statement, together with it where it is queued.
    wantedTimeoutMs_ = qMax(0, seconds) * 1000;
}

void Connection::syncToDisk() {
    requireOpen();
    if (dialect_ != Dialect::SQLite)
        return;
    // The log holds every commit since the last checkpoint; the checkpoints sync the file itself.
    const QByteArray log = QFile::encodeName(sqliteFilePath(settings_) + QStringLiteral("-wal"));
    const int fd = ::open(log.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return; // no log: every commit is already in the file, and a checkpoint syncs what it copies
        throwError(QStringLiteral("The database log %1 cannot be opened: %2")
                       .arg(QFile::decodeName(log), QString::fromLocal8Bit(std::strerror(errno))),
                   errnum::General);
    }
    int synced = ::fdatasync(fd);
    int error = errno;
    ::close(fd);
    // The log's name too, in case it was made since the folder was last written out.
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(log)).absolutePath());
    if (const int dir = synced == 0 ? ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        dir >= 0) {
        synced = ::fsync(dir);
        error = errno;
        ::close(dir);
    }
    if (synced != 0)
        throwError(QStringLiteral("The database log %1 cannot be written to disk: %2")
                       .arg(QFile::decodeName(log), QString::fromLocal8Bit(std::strerror(error))),
                   errnum::General);
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
