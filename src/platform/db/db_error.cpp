#include "platform/db/db_error.h"

#include <QSqlError>

namespace kemnoa::db {

core::Error sqlError(const QSqlError& error) {
    QString description = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (description.isEmpty())
        description = driver;
    if (description.isEmpty())
        description = QStringLiteral("Unknown database error");
    bool ok = false;
    long number = error.nativeErrorCode().toLong(&ok);
    if (!ok || number == 0)
        number = core::errnum::Database;
    return core::Error(description, number);
}

void throwSqlError(const QSqlError& error) {
    throw sqlError(error);
}

void throwError(const QString& description, long number) {
    throw core::Error(description, number);
}

} // namespace kemnoa::db
