// The schema version each database records, and upgrading a database in place.

#include "db_fixture.h"

#include "platform/base/error.h"
#include "platform/db/reader.h"
#include "platform/db/schema_version.h"

using namespace kemnoa;
using kemnoa::test::DialectTest;

namespace {

QString settingValue(db::Connection& c, const QString& column) {
    db::Reader r = c.read(QStringLiteral("Select %1 From kem_setting Where 検索条件 = 'K1'").arg(column));
    return r.atEnd() ? QStringLiteral("<no row>") : r.text(column);
}

bool hasColumn(db::Connection& c, const QString& table, const QString& column) {
    db::Reader r = c.read(QStringLiteral("Select * From %1 Where 1 = 0").arg(table));
    return r.columnIndex(column) >= 0;
}

} // namespace

TEST_P(DialectTest, ADatabaseRecordsTheProgramsVersionAndStaysThere) {
    openFresh();
    // Tables made before versions were recorded: no record yet.
    EXPECT_EQ(db::recordedSchemaVersion(connection_), 0);
    db::SchemaUpgrade u = db::upgradeSchema(connection_, db::DatabaseKind::Work);
    EXPECT_EQ(u.from, 0);
    EXPECT_EQ(u.to, db::kSchemaVersion);
    EXPECT_EQ(db::recordedSchemaVersion(connection_), db::kSchemaVersion);
    u = db::upgradeSchema(connection_, db::DatabaseKind::Work);
    EXPECT_EQ(u.from, db::kSchemaVersion);
    EXPECT_EQ(u.to, db::kSchemaVersion);
    db::Reader r = connection_.read(QStringLiteral("Select Count(*) From kemnoa_schema"));
    EXPECT_EQ(r.value(0).toInt(), 1);
}

TEST_P(DialectTest, AnOlderDatabaseIsUpgradedInPlaceKeepingItsRows) {
    openFresh();
    (void)db::upgradeSchema(connection_, db::DatabaseKind::Work);
    connection_.execute(
        QStringLiteral("Insert Into kem_setting (検索条件, 検索値) Values ('K1', 'it''s kept')"));

    int applied = 0;
    std::vector<db::SchemaStep> steps = db::schemaSteps();
    steps.push_back({db::kSchemaVersion + 1, [&applied](db::Connection& c, db::DatabaseKind) {
                         ++applied;
                         c.execute(QStringLiteral("Alter Table kem_setting Add Column NOTE_TX VARCHAR(20)"));
                         c.execute(QStringLiteral("Update kem_setting Set NOTE_TX = 'added'"));
                     }});
    const int next = db::kSchemaVersion + 1;
    db::SchemaUpgrade u = db::upgradeSchema(connection_, db::DatabaseKind::Work, steps, next);
    EXPECT_EQ(u.from, db::kSchemaVersion);
    EXPECT_EQ(u.to, next);
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(settingValue(connection_, QStringLiteral("検索値")), QStringLiteral("it's kept"));
    EXPECT_EQ(settingValue(connection_, QStringLiteral("NOTE_TX")), QStringLiteral("added"));
    u = db::upgradeSchema(connection_, db::DatabaseKind::Work, steps, next); // again: nothing to do
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(u.from, next);

    // A step that fails leaves the database as the step before left it.
    steps.push_back({next + 1, [](db::Connection& c, db::DatabaseKind) {
                         c.execute(QStringLiteral("Alter Table kem_setting Add Column HALF_TX VARCHAR(20)"));
                         c.execute(QStringLiteral("Update no_such_table Set x = 1"));
                     }});
    EXPECT_THROW((void)db::upgradeSchema(connection_, db::DatabaseKind::Work, steps, next + 1), Error);
    EXPECT_EQ(db::recordedSchemaVersion(connection_), next);
    EXPECT_FALSE(hasColumn(connection_, QStringLiteral("kem_setting"), QStringLiteral("HALF_TX")));
    EXPECT_EQ(settingValue(connection_, QStringLiteral("検索値")), QStringLiteral("it's kept"));
}

TEST_P(DialectTest, ADatabaseOfANewerProgramIsRefusedAndLeftAsItIs) {
    openFresh();
    std::vector<db::SchemaStep> steps = db::schemaSteps();
    steps.push_back({db::kSchemaVersion + 4, [](db::Connection&, db::DatabaseKind) {}});
    (void)db::upgradeSchema(connection_, db::DatabaseKind::Work, steps, db::kSchemaVersion + 4);
    try {
        (void)db::upgradeSchema(connection_, db::DatabaseKind::Work);
        FAIL() << "a newer database was accepted";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("schema version %1, newer than this program's %2")
                                                 .arg(db::kSchemaVersion + 4)
                                                 .arg(db::kSchemaVersion)))
            << e.text().toStdString();
    }
    EXPECT_EQ(db::recordedSchemaVersion(connection_), db::kSchemaVersion + 4);
}
