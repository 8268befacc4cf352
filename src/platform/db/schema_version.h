#pragma once
// The version of the tables' layout, recorded in each database (table kemnoa_schema, one row), so that
// a newer program brings an existing database up to date in place. A step adds what its version
// needs (tables, columns, indexes, filled values) and never drops a table, a column or a row.

#include "platform/db/settings.h"

#include <functional>
#include <vector>

namespace kemnoa::db {

class Connection;

// The layout this program works with.
inline constexpr int kSchemaVersion = 1;

struct SchemaStep {
    int version; // the version the database has after the step
    std::function<void(Connection&, DatabaseKind)> apply;
};

// The steps of this program, oldest first. Version 1 is the layout of the creation scripts.
const std::vector<SchemaStep>& schemaSteps();

// The version a database records; 0 when it records none (tables made before versions were recorded,
// or none at all).
int recordedSchemaVersion(Connection& connection);

struct SchemaUpgrade {
    int from = 0;
    int to = 0;
};

// Creates the tables that are missing, then runs every step above the recorded version up to target,
// each step together with its new record in one transaction (a failed step leaves the database at the
// version before it). Throws kemnoa::Error, changing nothing, when the database records a version
// newer than target (a newer program set it up).
SchemaUpgrade upgradeSchema(Connection& connection, DatabaseKind kind,
                            const std::vector<SchemaStep>& steps = schemaSteps(),
                            int target = kSchemaVersion);

} // namespace kemnoa::db
