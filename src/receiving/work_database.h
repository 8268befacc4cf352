#pragma once
// What the import needs from the work database connection. Statements take `?` parameters in
// order; every failure is thrown as core::Error.

#include <QString>
#include <QVariantList>
#include <vector>

namespace kemnoa::receiving {

class WorkDatabase {
public:
    virtual ~WorkDatabase() = default;
    // Runs a statement that returns no rows; the number of rows affected.
    virtual int execute(const QString& sql, const QVariantList& params = {}) = 0;
    // Runs a statement whose result is not read; it may be sent later with the statements after it,
    // and fail there, at the latest at commit().
    virtual void queue(const QString& sql, const QVariantList& params = {}) { execute(sql, params); }
    // Runs one insert statement once per row of values.
    virtual void executeEach(const QString& sql, const std::vector<QVariantList>& rows) = 0;
    // True when the query returns at least one row.
    virtual bool hasRow(const QString& sql, const QVariantList& params = {}) = 0;
    // The query of the next hasRow() may be sent ahead with the statements queued now; the caller
    // makes sure that nothing in between changes its answer.
    virtual void hasRowAhead(const QString& sql, const QVariantList& params = {}) {
        (void)sql;
        (void)params;
    }
    // False when the database can no longer be reached (the server stopped, the connection broke),
    // so that a failure is not blamed on the file being imported.
    virtual bool isAlive() noexcept { return true; }
    // The statement text for this database: `postgresql` on PostgreSQL when it is given, otherwise
    // `standard`.
    virtual QString text(const QString& standard, const QString& postgresql) const {
        (void)postgresql;
        return standard;
    }
    // Makes what was committed survive a power failure; called before an order file is deleted.
    virtual void syncToDisk() {}
    virtual void beginTransaction() = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;
};

// Rolls back on every way out unless committed.
class WorkTransaction {
public:
    explicit WorkTransaction(WorkDatabase& db) : db_(db) { db_.beginTransaction(); }
    ~WorkTransaction() {
        if (active_)
            db_.rollback();
    }
    WorkTransaction(const WorkTransaction&) = delete;
    WorkTransaction& operator=(const WorkTransaction&) = delete;
    void commit() {
        db_.commit();
        active_ = false;
    }

private:
    WorkDatabase& db_;
    bool active_ = true;
};

} // namespace kemnoa::receiving
