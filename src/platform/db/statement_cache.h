#pragma once
// Prepared statements kept with an open connection, by their text. A statement that runs again (an
// insert per order line, a lookup per order) is only bound and executed: the database parses and
// plans it once per connection instead of once per row. A statement is taken out while in use and
// given back afterwards, so a read still open never shares its query with another statement.

#include "platform/db/column_info.h"

#include <QHash>
#include <QString>
#include <list>
#include <memory>
#include <optional>
#include <vector>

class QSqlDatabase;
class QSqlQuery;

namespace kemnoa::db {

struct PreparedStatement {
    QString sql;
    std::unique_ptr<QSqlQuery> query;
    // The columns of a read, described on its first run.
    std::optional<std::vector<ColumnInfo>> columns;

    PreparedStatement();
    PreparedStatement(PreparedStatement&&) noexcept;
    PreparedStatement& operator=(PreparedStatement&&) noexcept;
    ~PreparedStatement();
};

class StatementCache {
public:
    explicit StatementCache(std::size_t capacity = 64) : capacity_(capacity) {}
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The prepared statement for the text, out of the cache or prepared now. Throws Error when
    // the database refuses to prepare it.
    PreparedStatement take(const QSqlDatabase& database, const QString& sql);
    // Puts a statement back after its run; the least recently used one goes when the cache is full.
    void give(PreparedStatement statement);
    // Forgets every statement (the connection closes, or the schema changed).
    void clear();
    std::size_t size() const { return entries_.size(); }

private:
    std::size_t capacity_;
    std::list<PreparedStatement> entries_; // most recently used first
    QHash<QString, std::list<PreparedStatement>::iterator> index_;
};

// True for a statement that changes the schema (CREATE, ALTER, DROP), after which prepared statements
// and their column descriptions may no longer fit.
bool changesSchema(const QString& sql);

} // namespace kemnoa::db
