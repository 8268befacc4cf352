#include "support/pg_database.h"

#include "platform/db/schema.h"

#include <QAtomicInt>
#include <QCoreApplication>

namespace kemnoa::test {

bool havePostgres() {
    return !qEnvironmentVariable("KEMNOA_TEST_PG_HOST").isEmpty() &&
           !qEnvironmentVariable("KEMNOA_TEST_PG_PORT").isEmpty();
}

std::optional<db::ConnectionSettings> freshPostgresDatabase(db::DatabaseKind kind) {
    if (!havePostgres())
        return std::nullopt;
    static QAtomicInt counter;
    db::ConnectionSettings s;
    s.provider = QStringLiteral("PostgreSQL");
    s.server = qEnvironmentVariable("KEMNOA_TEST_PG_HOST") + QLatin1Char(':') +
               qEnvironmentVariable("KEMNOA_TEST_PG_PORT");
    s.user = qEnvironmentVariable("KEMNOA_TEST_PG_USER", QStringLiteral("postgres"));
    s.database = QStringLiteral("kt_%1_%2_%3")
                     .arg(db::kindName(kind))
                     .arg(QCoreApplication::applicationPid())
                     .arg(counter.fetchAndAddRelaxed(1) + 1);
    s.timeoutSeconds = 10;
    s.kind = kind;
    db::ensureDatabase(s);
    return s;
}

} // namespace kemnoa::test
