#include "receiving/db_work_database.h"

#include "platform/db/db_error.h"
#include "platform/db/reader.h"

namespace kemnoa::receiving {

int DbWorkDatabase::execute(const QString& sql, const QVariantList& params) {
    return connection_.execute(sql, params);
}

void DbWorkDatabase::executeEach(const QString& sql, const std::vector<QVariantList>& rows) {
    if (rows.empty())
        return;
    if (!connection_.isOpen())
        db::throwError(QStringLiteral("オブジェクトが閉じている場合は、操作は許可されません。"),
                       db::dberr::ObjectClosed);
    if (connection_.dialect() == db::Dialect::PostgreSQL) {
        for (const QVariantList& row : rows) // sent together with the rest of the order
            connection_.queue(sql, row);
        return;
    }
    connection_.executeEach(sql, rows); // prepared once per connection, bound per row
}

bool DbWorkDatabase::hasRow(const QString& sql, const QVariantList& params) {
    return connection_.exists(sql, params);
}

bool DbWorkDatabase::isAlive() noexcept {
    try {
        connection_.read(QStringLiteral("Select 1")).atEnd();
        return true;
    } catch (...) {
        return false;
    }
}

void DbWorkDatabase::rollback() noexcept {
    try {
        connection_.rollback();
    } catch (...) {
        // The failure that led here is the one reported.
    }
}

} // namespace kemnoa::receiving
