#include "platform/db/schema_version.h"

#include "platform/base/error.h"
#include "platform/db/connection.h"
#include "platform/db/db_error.h"
#include "platform/db/reader.h"
#include "platform/db/schema.h"

namespace kemnoa::db {
namespace {

const QString kTable = QStringLiteral("kemnoa_schema");

void createVersionTable(Connection& connection) {
    if (connection.dialect() == Dialect::SqlServer)
        connection.execute(QStringLiteral("IF OBJECT_ID(N'kemnoa_schema', N'U') IS NULL "
                                          "CREATE TABLE kemnoa_schema (version INT NOT NULL)"));
    else
        connection.execute(
            QStringLiteral("CREATE TABLE IF NOT EXISTS kemnoa_schema (version INTEGER NOT NULL)"));
}

void record(Connection& connection, int version) {
    connection.execute(QStringLiteral("DELETE FROM kemnoa_schema"));
    connection.execute(QStringLiteral("INSERT INTO kemnoa_schema (version) VALUES (?)"), {version});
}

} // namespace

const std::vector<SchemaStep>& schemaSteps() {
    // Version 1: the creation scripts' tables, which upgradeSchema creates before any step.
    static const std::vector<SchemaStep> steps = {{1, [](Connection&, DatabaseKind) {}}};
    return steps;
}

int recordedSchemaVersion(Connection& connection) {
    if (!connection.hasTable(kTable))
        return 0;
    Reader r = connection.read(QStringLiteral("SELECT MAX(version) FROM kemnoa_schema"));
    return r.atEnd() || r.value(0).isNull() ? 0 : r.value(0).toInt();
}

SchemaUpgrade upgradeSchema(Connection& connection, DatabaseKind kind, const std::vector<SchemaStep>& steps,
                            int target) {
    SchemaUpgrade result;
    result.from = recordedSchemaVersion(connection);
    if (result.from > target)
        throwError(QStringLiteral("The database records schema version %1, newer than this program's %2: "
                                  "install the newer program; the database was left as it is.")
                       .arg(result.from)
                       .arg(target),
                   errnum::General);
    createSchema(connection, kind);
    createVersionTable(connection);
    result.to = result.from;
    for (const SchemaStep& step : steps) {
        if (step.version <= result.to || step.version > target)
            continue;
        Transaction tx(connection);
        step.apply(connection, kind);
        record(connection, step.version);
        tx.commit();
        result.to = step.version;
    }
    return result;
}

} // namespace kemnoa::db
