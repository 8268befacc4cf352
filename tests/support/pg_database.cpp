#include "support/pg_database.h"

#include "platform/base/error.h"
#include "platform/db/schema.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QRandomGenerator>

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
    s.timeoutSeconds = 10;
    s.kind = kind;
    // Process numbers come round again within one run of the suite (the machine's limit is 32768,
    // and every connection starts a server process), so the name also takes a random part, and a
    // name that is already taken is never used: the database must be a new one.
    for (int attempt = 0; attempt < 10; ++attempt) {
        s.database = QStringLiteral("kt_%1_%2_%3_%4")
                         .arg(db::kindName(kind))
                         .arg(QCoreApplication::applicationPid())
                         .arg(counter.fetchAndAddRelaxed(1) + 1)
                         .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
        if (db::ensureDatabase(s))
            return s;
    }
    throw Error(QStringLiteral("no unused database name for a test database"), errnum::General);
}

} // namespace kemnoa::test
