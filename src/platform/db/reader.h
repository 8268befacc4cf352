#pragma once
// A forward, read-only read: positioned on its first row, moved row by row until the end.
// Columns are found by name without regard to case; Null is told apart from empty text.

#include "platform/db/column_info.h"
#include "platform/db/settings.h"
#include "platform/db/statement_cache.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class QSqlQuery;

namespace kemnoa::db {

class Reader {
public:
    Reader(std::unique_ptr<QSqlQuery> query, Dialect dialect);
    // A read over a statement of the connection's cache; the statement goes back to the cache (when
    // the connection still has it) once the read ends.
    Reader(PreparedStatement statement, Dialect dialect, std::weak_ptr<StatementCache> cache);
    Reader(Reader&&) noexcept;
    Reader& operator=(Reader&&) noexcept;
    ~Reader();

    // True once past the last row (at once when there was none).
    bool atEnd() const { return atEnd_; }
    void moveNext();

    int columnCount() const { return static_cast<int>(columns_.size()); }
    const ColumnInfo& column(int index) const;
    // The index of a column by name (case-insensitive), -1 when there is none.
    int columnIndex(const QString& name) const;

    // The value of the current row; a Null is an invalid or null QVariant.
    // Throws kemnoa::Error (3265) for an unknown column and (3021) when there is no current row.
    QVariant value(int index) const;
    QVariant value(const QString& name) const;
    bool isNull(const QString& name) const;
    // The value as text, Null as empty text.
    QString text(const QString& name) const;
    QString text(int index) const;

private:
    int requireColumn(const QString& name) const;
    void requireRow() const;

    void start();
    void release() noexcept;

    std::unique_ptr<QSqlQuery> query_;
    std::vector<ColumnInfo> columns_;
    QString cachedSql_; // the statement's text when it belongs to a cache
    std::weak_ptr<StatementCache> cache_;
    bool atEnd_ = true;
};

// Column descriptions of an executed query (shared by Reader and Recordset).
std::vector<ColumnInfo> describeColumns(QSqlQuery& query, Dialect dialect);

} // namespace kemnoa::db
