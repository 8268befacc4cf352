#pragma once
// Several statements sent to PostgreSQL in one go (libpq's pipeline mode) and their results read back
// together: one wait for the server instead of one per statement. Each statement is prepared once per
// connection, in the same pipeline as its first run.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariantList>
#include <vector>

namespace kemnoa::db {

struct PipelinedStatement {
    QString sql; // `?` placeholders
    QVariantList params;
    bool wantRows = false;   // its rows are read back (PipelinedRows)
    bool askedAhead = false; // a presence query whose answer is kept for a later exists()
};

// The rows a statement of the pipeline returned, each value as Qt's PostgreSQL driver gives it.
// `complete` is false when a column has a type kept here only through the driver (dates, times,
// binary): the caller reads those rows again through the driver.
struct PipelinedRows {
    std::vector<QVariantList> rows;
    bool complete = false;
};

// The statements prepared on one connection: their text and the name the server knows them by.
class PgPreparedNames {
public:
    const QByteArray* find(const QString& sql) const;
    // A name not used before on the connection.
    QByteArray nextName() { return "kemnoa_p" + QByteArray::number(++next_); }
    // The statement is prepared under the name.
    void remember(const QString& sql, const QByteArray& name) { names_.insert(sql, name); }
    void clear() { names_.clear(); }

private:
    QHash<QString, QByteArray> names_;
    int next_ = 0;
};

// True when every parameter is a value the pipeline sends as text (text, numbers, Null); another type
// goes through the driver's own binding.
bool pipelinable(const QVariantList& params);

// The statement with `?` placeholders (outside quoted text and names) numbered $1, $2, ...
QString numberedPlaceholders(const QString& sql);

// Runs the statements in order on the connection (a PGconn*), which must be idle. A failure stops the
// statements after it and throws Error with the server's message. Returns the rows each statement
// returned or changed, and in *values (when given) the rows of the statements that want them;
// precisionPolicy is the QSql::NumericalPrecisionPolicy for numeric columns. Returns false, having
// sent nothing, when the connection cannot enter pipeline mode.
bool runPipeline(void* pgconn, const std::vector<PipelinedStatement>& statements, PgPreparedNames& names,
                 std::vector<int>* rows, std::vector<PipelinedRows>* values = nullptr,
                 int precisionPolicy = 0);

} // namespace kemnoa::db
