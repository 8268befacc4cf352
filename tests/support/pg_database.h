#pragma once
// A fresh PostgreSQL database per test on the throw-away cluster that scripts/test starts
// (KEMNOA_TEST_PG_HOST, KEMNOA_TEST_PG_PORT, KEMNOA_TEST_PG_USER).

#include "platform/db/settings.h"

#include <optional>

namespace kemnoa::test {

// True when the test cluster's variables are set.
bool havePostgres();
// Settings for a new, empty database on the test cluster with a unique name; nothing when there
// is no cluster. The database is left behind with the cluster, which the test script removes.
std::optional<db::ConnectionSettings> freshPostgresDatabase(db::DatabaseKind kind = db::DatabaseKind::Work);

} // namespace kemnoa::test
