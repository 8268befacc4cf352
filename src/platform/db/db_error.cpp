#include "platform/db/db_error.h"

#include <QSqlError>

namespace kemnoa::db {

Error sqlError(const QSqlError& error) {
    QString description = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (description.isEmpty())
        description = driver;
    if (description.isEmpty())
        description = QStringLiteral("Unknown database error");
    bool ok = false;
    long number = error.nativeErrorCode().toLong(&ok);
    if (!ok || number == 0)
        number = errnum::Database;
    return Error(description, number);
}

void throwSqlError(const QSqlError& error) {
    throw sqlError(error);
}

void throwError(const QString& description, long number) {
    throw Error(description, number);
}

} // namespace kemnoa::db
