#include "platform/db/sqlite_binding.h"

#include "platform/db/db_error.h"
#include "platform/db/sql_text.h"

#include <QSqlError>
#include <QSqlResult>
#include <sqlite3.h>

namespace kemnoa::db {
namespace {

[[noreturn]] void fail(sqlite3_stmt* statement, int code) {
    sqlite3* db = sqlite3_db_handle(statement);
    const QString text = QString(reinterpret_cast<const QChar*>(sqlite3_errmsg16(db)));
    sqlite3_clear_bindings(statement);
    throwSqlError(QSqlError(QStringLiteral("Unable to execute statement"), text, QSqlError::StatementError,
                            QString::number(code)));
}

} // namespace

sqlite3_stmt* sqliteStatement(const QSqlQuery& query) {
    const QSqlResult* result = query.result();
    if (!result)
        return nullptr;
    const QVariant v = result->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<sqlite3_stmt* const*>(v.constData());
}

bool runSqlite(sqlite3_stmt* statement, const QVariantList& params, int* affected) {
    if (params.size() != sqlite3_bind_parameter_count(statement))
        return false; // Qt reports the mismatch in its words
    for (const QVariant& v : params)
        if (!isPlainValue(v))
            return false;
    int rc = sqlite3_reset(statement);
    if (rc != SQLITE_OK)
        fail(statement, rc);
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& v = params.at(i);
        const int n = i + 1;
        switch (v.typeId()) {
        case QMetaType::UnknownType:
            rc = sqlite3_bind_null(statement, n);
            break;
        case QMetaType::QString: {
            // Text is bound where it lies; it outlives the step. A null QString is empty text.
            const QString* s = static_cast<const QString*>(v.constData());
            rc = sqlite3_bind_text16(statement, n,
                                     s->isNull() ? static_cast<const void*>(u"")
                                                 : static_cast<const void*>(s->utf16()),
                                     int(s->size()) * 2, SQLITE_STATIC);
            break;
        }
        case QMetaType::Double:
        case QMetaType::Float:
            rc = v.isNull() ? sqlite3_bind_null(statement, n)
                            : sqlite3_bind_double(statement, n, v.toDouble());
            break;
        default:
            rc = v.isNull() ? sqlite3_bind_null(statement, n)
                            : sqlite3_bind_int64(statement, n, v.toLongLong());
            break;
        }
        if (rc != SQLITE_OK)
            fail(statement, rc);
    }
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        fail(statement, sqlite3_reset(statement));
    *affected = sqlite3_changes(sqlite3_db_handle(statement));
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement); // no pointer into values that are about to go
    return true;
}

} // namespace kemnoa::db
