#include "db_fixture.h"

#include "platform/base/error.h"
#include "platform/db/reader.h"

#include <map>

using namespace kemnoa;
using kemnoa::test::DialectTest;

namespace {
const db::DatabaseKind kAllKinds[] = {db::DatabaseKind::Work, db::DatabaseKind::Office, db::DatabaseKind::Po,
                                      db::DatabaseKind::Sk};

// The tables each database needs, written out here rather than read from the scripts under test.
const std::map<db::DatabaseKind, QStringList> kTablesOfKind = {
    {db::DatabaseKind::Work,
     {QStringLiteral("kem_setting"), QStringLiteral("rcv_denheaddata"), QStringLiteral("rcv_posdata"),
      QStringLiteral("rcv_cardata"), QStringLiteral("rcv_addfukidata"), QStringLiteral("rcv_fuzokudata"),
      QStringLiteral("tagcd_henkan"), QStringLiteral("rcv_errdata"), QStringLiteral("rcv_csvdata"),
      QStringLiteral("rcv_skdata"), QStringLiteral("rrk_ehj"), QStringLiteral("rrk_fuki"),
      QStringLiteral("kemmst_ehj"), QStringLiteral("kemmst_fuki"), QStringLiteral("kemmst_namecode"),
      QStringLiteral("kemmst_sizaicode"), QStringLiteral("kemmst_size")}},
    {db::DatabaseKind::Office,
     {QStringLiteral("FSHOWK"), QStringLiteral("FSKNPF"), QStringLiteral("FSHJWK1")}},
    {db::DatabaseKind::Po,
     {QStringLiteral("TBL_PO_H"), QStringLiteral("TBL_PO_M"), QStringLiteral("TBL_GK_H"),
      QStringLiteral("TBL_GK_M"), QStringLiteral("MST_VORLIK_C"), QStringLiteral("TABLE_NOUHIN_INFO"),
      QStringLiteral("MST_NOUHIN"), QStringLiteral("HcyCd_Find"), QStringLiteral("PO_NUMBER_COUNTER"), QStringLiteral("PO_NUMBER_LOG")}},
    {db::DatabaseKind::Sk,
     {QStringLiteral("TBL_H"), QStringLiteral("TBL_NJ"), QStringLiteral("TBL_QUA"), QStringLiteral("TBL_SKU"),
      QStringLiteral("TBL_TOTAL"), QStringLiteral("TBL_SJ"), QStringLiteral("TBL_YJ")}},
};
} // namespace

TEST_P(DialectTest, EveryDatabaseIsCreatedWithAllItsTablesAndCreatingAgainChangesNothing) {
    for (const auto kind : kAllKinds) {
        db::Connection c;
        const auto s = freshSettings(kind);
        c.open(s);
        db::createSchema(c, kind);
        if (kind == db::DatabaseKind::Sk)
            c.execute(QStringLiteral("Insert Into TBL_TOTAL (PO, SKNO, NO, 数量) Values ('P1', '', 1, '5')"));
        db::createSchema(c, kind); // idempotent, keeps rows
        for (const QString& table : kTablesOfKind.at(kind))
            EXPECT_TRUE(c.hasTable(table)) << db::kindName(kind).toStdString() << ' ' << table.toStdString();
        if (kind == db::DatabaseKind::Sk) {
            db::Reader r = c.read(QStringLiteral("Select 数量 From TBL_TOTAL Where PO = 'P1' And NO = 1"));
            ASSERT_FALSE(r.atEnd());
            EXPECT_EQ(r.text(QStringLiteral("数量")), QStringLiteral("5"));
        }
    }
}

TEST_P(DialectTest, PrintRowsHaveEightyColumnsInFixedOrderBeforeTheRowIdentity) {
    openFresh();
    db::Reader r = connection_.read(QStringLiteral("Select * From rcv_csvdata"));
    ASSERT_GE(r.columnCount(), 81);
    EXPECT_EQ(r.column(0).name, QStringLiteral("PO_NO"));
    EXPECT_EQ(r.column(1).name, QStringLiteral("PO_KBN"));
    EXPECT_EQ(r.column(2).name, QStringLiteral("PO_GYOU"));
    EXPECT_EQ(r.column(80).name, QStringLiteral("auto_id"));
    for (const char* name : {"HINSYU_CD", "LAYOUT", "HINBAN", "COLOR_NO", "SORT_LV", "SU", "CAPTION_SIZE",
                             "GENSAN", "QUL1", "PER12", "ORD_NO"})
        EXPECT_GE(r.columnIndex(QString::fromLatin1(name)), 0) << name;
}

TEST_P(DialectTest, StagingRowsGetAscendingIdentifiers) {
    openFresh();
    for (int i = 0; i < 3; ++i)
        connection_.execute(QStringLiteral(
            "Insert Into rrk_ehj(EHJ_NO,EHJ1,SYORI_FLG,KAKUNIN_FLG) Values('E1','1010','N','0')"));
    connection_.execute(QStringLiteral("Insert Into rrk_fuki(FUKI_NO,FUKI_NAIYO,SYORI_FLG,KAKUNIN_FLG) "
                                       "Values('F1','a','N','0')"));
    db::Reader r = connection_.read(QStringLiteral("Select ID, MEMO From rrk_ehj Order By ID"));
    int last = 0;
    int n = 0;
    for (; !r.atEnd(); r.moveNext(), ++n) {
        EXPECT_GT(r.value(0).toInt(), last);
        last = r.value(0).toInt();
        EXPECT_FALSE(r.isNull(QStringLiteral("MEMO"))); // staged with an empty note
    }
    EXPECT_EQ(n, 3);
}

TEST_P(DialectTest, OrderNumberIsUniqueInTheHeaderTable) {
    openFresh();
    connection_.execute(QStringLiteral("Insert Into rcv_denheaddata (ORD_NO, SEND_FLG) Values (5, '9')"));
    EXPECT_THROW(
        connection_.execute(QStringLiteral("Insert Into rcv_denheaddata (ORD_NO, SEND_FLG) Values (5, '9')")),
        Error);
}

TEST(Schema, ScriptsExistForEveryDialectAndSplitIntoStatements) {
    for (const auto dialect : {db::Dialect::SQLite, db::Dialect::PostgreSQL, db::Dialect::SqlServer})
        for (const auto kind : kAllKinds)
            EXPECT_FALSE(db::splitStatements(db::schemaScript(dialect, kind), dialect).isEmpty());
    const QStringList mssql = db::splitStatements(
        QStringLiteral("CREATE TABLE a (x INT);\nGO\n  go  \nSELECT ';'\nGO\n"), db::Dialect::SqlServer);
    EXPECT_EQ(mssql, (QStringList{QStringLiteral("CREATE TABLE a (x INT);"), QStringLiteral("SELECT ';'")}));
    const QStringList lite = db::splitStatements(
        QStringLiteral("-- a; comment\nINSERT INTO t VALUES ('a;b');\nSELECT 1;"), db::Dialect::SQLite);
    EXPECT_EQ(lite,
              (QStringList{QStringLiteral("INSERT INTO t VALUES ('a;b')"), QStringLiteral("SELECT 1")}));
}

TEST(Schema, CanonicalNamesKeepTheDefinedSpelling) {
    EXPECT_EQ(db::canonicalName(QStringLiteral("ord_no")), QStringLiteral("ORD_NO"));
    EXPECT_EQ(db::canonicalName(QStringLiteral("po番号")), QStringLiteral("PO番号"));
    EXPECT_EQ(db::canonicalName(QStringLiteral("tbl_po_h")), QStringLiteral("TBL_PO_H"));
    EXPECT_EQ(db::canonicalName(QStringLiteral("TitleKei")), QStringLiteral("TITLEKEI"));
    EXPECT_EQ(db::canonicalName(QStringLiteral("su計")), QStringLiteral("su計"));
}
