#include "core/connections.h"
#include "core/program_folder.h"
#include "demo/demo_data.h"
#include "platform/db/reader.h"
#include "platform/db/schema.h"
#include "support/database_files.h"
#include "support/pg_database.h"
#include "support/scripted_prompter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;

namespace {

int count(db::Connection& c, const QString& sql, const QVariantList& params = {}) {
    db::Reader r = c.read(sql, params);
    return r.value(0).toInt();
}

void checkSeeded(db::Connection& work, db::Connection& po, db::Connection& office) {
    EXPECT_EQ(count(work, QStringLiteral("Select Count(*) From kem_setting")), 23);
    // Every destination of the demo orders is known to the PO database, with terms and a partner.
    for (const char* code : demo::DestinationCodes) {
        const QVariantList args = {QString::fromUtf8(code), QString::fromUtf8(demo::CustomerCode),
                                   QString::fromUtf8(demo::BillingPartyCode)};
        EXPECT_EQ(
            count(po,
                  QStringLiteral("Select Count(*) From MST_NOUHIN n Inner Join TABLE_NOUHIN_INFO i On "
                                 "i.NOUCD = n.NOUCD Inner Join MST_VORLIK_C v On v.会社CD = i.HACYUGAISYACD "
                                 "Inner Join HcyCd_Find h On h.NOUKYAKU_CD = n.NOUKYAKU_CD And h.TOKCD = "
                                 "n.TOKCD Where n.NOUKYAKU_CD = ? And n.TOKCD = ? And i.SEICD = ?"),
                  args),
            1)
            << code;
    }
    (void)office;
}

// The four databases of the session in SQLite files of the program folder, or in fresh databases of
// the PostgreSQL test cluster.
class DemoData : public ::testing::TestWithParam<db::Dialect> {
protected:
    void SetUp() override {
        core::resetSession();
        core::closeAllConnections();
        core::setProgramFolder(dir_.path());
        core::Session& s = core::session();
        const std::pair<core::DbSettings*, db::DatabaseKind> kinds[] = {
            {&s.WorkDb, db::DatabaseKind::Work},
            {&s.OfficeDb, db::DatabaseKind::Office},
            {&s.PoDb, db::DatabaseKind::Po},
            {&s.SkDb, db::DatabaseKind::Sk}};
        for (const auto& [d, kind] : kinds) {
            if (GetParam() == db::Dialect::SQLite) {
                d->Provider = QStringLiteral("SQLite");
                d->DbName = db::kindName(kind) + QStringLiteral(".db");
                continue;
            }
            const auto pg = test::freshPostgresDatabase(kind);
            if (!pg)
                GTEST_SKIP() << "no PostgreSQL test cluster (KEMNOA_TEST_PG_HOST)";
            d->Provider = pg->provider;
            d->ServerName = pg->server;
            d->DbName = pg->database;
            d->UserName = pg->user;
        }
        if (GetParam() == db::Dialect::SQLite)
            test::createSessionDatabases();
    }
    void TearDown() override {
        core::closeAllConnections();
        core::setProgramFolder(QString());
        core::resetSession();
    }

    QTemporaryDir dir_;
};

} // namespace

TEST_P(DemoData, SeedsTheDatabasesOnceAndTheFixedValuesLoad) {
    test::ScriptedPrompter prompter;
    for (qint32 kind = 1; kind <= 4; ++kind)
        ASSERT_EQ(core::dbOpen(kind, prompter), 0);
    if (GetParam() == db::Dialect::PostgreSQL) {
        db::createSchema(core::cnWork(), db::DatabaseKind::Work);
        db::createSchema(core::cnOffice(), db::DatabaseKind::Office);
        db::createSchema(core::cnPo(), db::DatabaseKind::Po);
        db::createSchema(core::cnSk(), db::DatabaseKind::Sk);
    }
    const auto work = demo::seed(core::cnWork(), db::DatabaseKind::Work);
    EXPECT_TRUE(work.filled.contains(QStringLiteral("kem_setting")));
    EXPECT_TRUE(work.skipped.isEmpty());
    demo::seed(core::cnPo(), db::DatabaseKind::Po);
    demo::seed(core::cnOffice(), db::DatabaseKind::Office);
    demo::seed(core::cnSk(), db::DatabaseKind::Sk);
    checkSeeded(core::cnWork(), core::cnPo(), core::cnOffice());
    EXPECT_EQ(count(core::cnOffice(), QStringLiteral("Select Count(*) From dbo.FSHOWK")), 7);

    // A second run leaves the filled tables alone.
    const auto again = demo::seed(core::cnWork(), db::DatabaseKind::Work);
    EXPECT_TRUE(again.filled.isEmpty());
    EXPECT_EQ(count(core::cnWork(), QStringLiteral("Select Count(*) From kemmst_size")), 11);

    EXPECT_EQ(core::MF_KoteiJohoSet(prompter), core::Outcome::Done);
    EXPECT_EQ(core::session().fixed(QStringLiteral("得意先CD")), QString::fromUtf8(demo::CustomerCode));
    EXPECT_EQ(core::session().fixed(QStringLiteral("発注元担当者CD")), QStringLiteral("1234"));

    // The product master view lists the label products with a material and a submitted price.
    db::Reader r = core::cnOffice().read(QStringLiteral(
        "Select FSHOWK.SHO011 From dbo.FSHOWK LEFT OUTER JOIN dbo.FSKNPF ON dbo.FSHOWK.SHO011 = "
        "dbo.FSKNPF.SKN011 LEFT OUTER JOIN dbo.FSHJWK1 ON dbo.FSHOWK.SHO011 = dbo.FSHJWK1.SHJ011 "
        "Where (dbo.FSHOWK.SHO011 Like '8710%') AND (dbo.FSHJWK1.SHJ012 = '0') AND "
        "(dbo.FSKNPF.SKN031_1 IS NOT NULL) AND (dbo.FSHJWK1.SHJ032 <> 0) Order By FSHOWK.SHO011 "));
    QStringList codes;
    for (; !r.atEnd(); r.moveNext())
        codes << r.text(0);
    EXPECT_EQ(codes, (QStringList{QStringLiteral("8710001"), QStringLiteral("8710002"),
                                  QStringLiteral("8710003"), QStringLiteral("8710004")}));
}

INSTANTIATE_TEST_SUITE_P(Databases, DemoData, ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL),
                         [](const ::testing::TestParamInfo<db::Dialect>& info) {
                             return std::string(info.param == db::Dialect::SQLite ? "SQLite" : "PostgreSQL");
                         });
