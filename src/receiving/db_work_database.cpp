#include "receiving/db_work_database.h"

#include "platform/db/db_error.h"
#include "platform/db/reader.h"

#include <QSqlError>
#include <QSqlQuery>

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
    // One prepared statement for all rows of a table.
    QSqlQuery q(connection_.database());
    if (!q.prepare(sql))
        db::throwSqlError(q.lastError());
    for (const QVariantList& row : rows) {
        for (int i = 0; i < row.size(); ++i) {
            const QVariant& v = row.at(i);
            // Qt binds a null QString as Null; empty text stays empty text.
            if (v.typeId() == QMetaType::QString && v.toString().isNull())
                q.bindValue(i, QString(QLatin1String("")));
            else
                q.bindValue(i, v);
        }
        if (!q.exec())
            db::throwSqlError(q.lastError());
    }
}

bool DbWorkDatabase::hasRow(const QString& sql, const QVariantList& params) {
    return !connection_.read(sql, params).atEnd();
}

void DbWorkDatabase::rollback() noexcept {
    try {
        connection_.rollback();
    } catch (...) {
        // The failure that led here is the one reported.
    }
}

} // namespace kemnoa::receiving
