#pragma once
// One database connection over Qt SQL: SQLite files, PostgreSQL and SQL Server (through ODBC).
// Every failure is thrown as kemnoa::Error with the driver's description and a number.

#include "platform/db/pg_pipeline.h"
#include "platform/db/settings.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <vector>

class QSqlDatabase;
class QSqlQuery;

namespace kemnoa::db {

class Reader;
class Recordset;
class StatementCache;

// The text of one statement per dialect. Statements that every dialect runs alike go into
// `standard`; a dialect-specific text, when given, wins over it.
struct PerDialect {
    QString standard;
    QString sqlServer;
    QString sqlite;
    QString postgresql;
};

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens with the settings, closing what was open before. A SQLite file that does not exist
    // fails to open unless settings.createIfMissing is set; then it is created with the schema of
    // settings.kind.
    void open(const ConnectionSettings& settings);
    // Closes the connection; an open transaction is rolled back. Never fails.
    void close() noexcept;
    bool isOpen() const;

    Dialect dialect() const { return dialect_; }
    const ConnectionSettings& settings() const { return settings_; }
    // The Qt SQL connection name, unique to this connection and this open.
    const QString& connectionName() const { return name_; }
    QSqlDatabase database() const;

    // Runs one statement that returns no rows; `?` placeholders take the parameters in order.
    // Returns the number of rows affected (-1 when the driver cannot tell). A statement with
    // parameters is prepared once and kept with the connection, as are reads with parameters.
    int execute(const QString& sql, const QVariantList& params = {});
    // Runs one statement with parameters once per row of values, prepared once.
    void executeEach(const QString& sql, const std::vector<QVariantList>& rows);
    // Runs a statement whose result nobody reads. On PostgreSQL it waits to be sent together with
    // the statements after it, up to the next statement whose answer is needed (a read, a commit,
    // flush()), so that a transaction of many writes costs one wait for the server; a failure is
    // thrown there. Other databases run it at once.
    void queue(const QString& sql, const QVariantList& params = {});
    // Sends the queued statements and waits for them.
    void flush();
    // True when the query returns at least one row (sent with the queued statements).
    bool exists(const QString& sql, const QVariantList& params = {});
    // On PostgreSQL, queues the query of a later exists() with the same statement and values, so
    // that its answer comes with the next wait for the server instead of one of its own. The caller
    // makes sure that nothing sent in between changes the answer; an answer not taken by the next
    // exists() is dropped. Elsewhere it does nothing.
    void existsAhead(const QString& sql, const QVariantList& params = {});
    // The statement text for this connection's dialect.
    QString sql(const PerDialect& text) const;

    // A forward, read-only read positioned on its first row.
    Reader read(const QString& sql, const QVariantList& params = {});
    // The rows of several reads: on PostgreSQL sent in one go with the queued statements (one wait for
    // the server instead of one per read), elsewhere one after the other. Each value is the one read()
    // gives. A failing read throws as read() does (and, on PostgreSQL, as a failing queued statement
    // fails the statements sent with it).
    using Rows = std::vector<QVariantList>;
    std::vector<Rows> readAll(const std::vector<PipelinedStatement>& reads);
    // A static read-only recordset (every row loaded) with move-first and find.
    Recordset openStatic(const QString& sql, const QVariantList& params = {});
    // An updatable client-side recordset over a single-table statement.
    Recordset openRecordset(const QString& sql, const QVariantList& params = {});

    // Transactions; prefer the Transaction guard.
    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return inTransaction_; }

    // The names of the user tables.
    QStringList tables() const;
    // True when a table of that name (compared without regard to case) exists.
    bool hasTable(const QString& name) const;

    // Limits each following statement to the given seconds where the database supports it
    // (PostgreSQL); 0 removes the limit.
    void setStatementTimeout(int seconds);

    // Makes every committed transaction survive a power failure, before the caller lets go of what it
    // could rebuild them from. On SQLite a commit in write-ahead mode is only written, not synced,
    // until a checkpoint: this syncs the log. A server keeps its commits durable itself. Throws
    // core::Error when the sync fails.
    void syncToDisk();

private:
    void checkOpen() const;
    // Checks that the connection is open and sends what is queued.
    void requireOpen() const;
    // Sends the queued statements (and a changed statement time-out) before anything else runs.
    void sendQueued(std::vector<int>* rows = nullptr, std::vector<PipelinedRows>* values = nullptr) const;
    // Binds and runs a prepared statement that returns no rows; the rows affected.
    int runPrepared(QSqlQuery& query, const QVariantList& params);
    void attachDboAlias();

    Dialect dialect_ = Dialect::SQLite;
    ConnectionSettings settings_;
    QString name_;
    bool inTransaction_ = false;
    std::shared_ptr<StatementCache> statements_; // while open
    // PostgreSQL: statements waiting to be sent, the statements prepared for sending them, and the
    // statement time-out asked for and the one the server has (-1: not known).
    mutable std::vector<PipelinedStatement> queued_;
    // The answers of queries asked ahead (existsAhead), until exists() takes them.
    mutable std::vector<std::pair<PipelinedStatement, bool>> answered_;
    std::unique_ptr<PgPreparedNames> pgNames_;
    int wantedTimeoutMs_ = 0;
    mutable int serverTimeoutMs_ = 0;
};

// Rolls back on destruction unless committed.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();
    void rollback();

private:
    Connection& connection_;
    bool active_ = true;
};

} // namespace kemnoa::db
