#include "platform/db/statement_cache.h"

#include "platform/db/db_error.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace kemnoa::db {

PreparedStatement::PreparedStatement() = default;
PreparedStatement::PreparedStatement(PreparedStatement&&) noexcept = default;
PreparedStatement& PreparedStatement::operator=(PreparedStatement&&) noexcept = default;
PreparedStatement::~PreparedStatement() = default;

PreparedStatement StatementCache::take(const QSqlDatabase& database, const QString& sql) {
    const auto it = index_.find(sql);
    if (it != index_.end()) {
        PreparedStatement s = std::move(*it.value());
        entries_.erase(it.value());
        index_.erase(it);
        return s;
    }
    PreparedStatement s;
    s.sql = sql;
    s.query = std::make_unique<QSqlQuery>(database);
    if (!s.query->prepare(sql))
        throwSqlError(s.query->lastError());
    return s;
}

void StatementCache::give(PreparedStatement statement) {
    if (!statement.query || index_.contains(statement.sql))
        return;                // a second copy taken while the first was in use
    statement.query->finish(); // ends a read, so it holds no locks or results while it waits
    entries_.push_front(std::move(statement));
    index_.insert(entries_.front().sql, entries_.begin());
    while (entries_.size() > capacity_) {
        index_.remove(entries_.back().sql);
        entries_.pop_back();
    }
}

void StatementCache::clear() {
    index_.clear();
    entries_.clear();
}

bool changesSchema(const QString& sql) {
    const QString head = sql.trimmed().left(6);
    for (const char* word : {"create", "alter ", "drop "})
        if (head.startsWith(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace kemnoa::db
