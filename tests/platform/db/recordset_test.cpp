#include "db_fixture.h"

#include "platform/base/error.h"
#include "platform/db/db_error.h"
#include "platform/db/reader.h"
#include "platform/db/recordset.h"

using namespace kemnoa;
using kemnoa::test::DialectTest;

namespace {

QStringList ehjNumbers(db::Connection& c) {
    QStringList out;
    for (db::Reader r = c.read(QStringLiteral("Select EHJ_NO, EHJ1 From kemmst_ehj Order By EHJ_NO"));
         !r.atEnd(); r.moveNext())
        out << r.text(0) + QLatin1Char(':') + r.text(1);
    return out;
}

} // namespace

TEST_P(DialectTest, StaticRecordsetFindsForwardFromTheCurrentRow) {
    openFresh();
    for (const char* key : {"請求先CD", "得意先CD", "APPCD"})
        connection_.execute(QStringLiteral("Insert Into kem_setting (検索条件, 検索値) Values (?, ?)"),
                            {QString::fromUtf8(key), QString::fromUtf8(key) + QStringLiteral("-v")});
    db::Recordset rs = connection_.openStatic(QStringLiteral("Select * From kem_setting"));
    EXPECT_EQ(rs.recordCount(), 3);
    ASSERT_TRUE(rs.find(QStringLiteral("検索条件"), QStringLiteral("APPCD")));
    EXPECT_EQ(rs.text(QStringLiteral("検索値")), QStringLiteral("APPCD-v"));
    // Searching forward from here does not see earlier rows until moved to the first.
    EXPECT_FALSE(rs.find(QStringLiteral("検索条件"), QStringLiteral("請求先CD")));
    EXPECT_TRUE(rs.atEnd());
    rs.moveFirst();
    EXPECT_TRUE(rs.find(QStringLiteral("検索条件"), QStringLiteral("請求先CD")));
    EXPECT_THROW(rs.setValue(QStringLiteral("検索値"), QStringLiteral("x")), Error);
}

TEST_P(DialectTest, UpdatableRecordsetAddsChangesRenumbersAndDeletesRows) {
    openFresh();
    connection_.execute(
        QStringLiteral("Insert Into kemmst_ehj (EHJ_NO, EHJ1, EHJ_HENKAN) Values ('A1', '1010', 'x')"));
    connection_.execute(QStringLiteral("Insert Into kemmst_ehj (EHJ_NO, EHJ1) Values ('A2', '2010')"));
    db::Recordset rs = connection_.openRecordset(QStringLiteral("Select * From kemmst_ehj Order By EHJ_NO"));
    ASSERT_EQ(rs.recordCount(), 2);

    rs.addNew();
    rs.setValue(QStringLiteral("EHJ_NO"), QStringLiteral("A3"));
    rs.setValue(QStringLiteral("EHJ1"), QStringLiteral("3010"));
    rs.setValue(QStringLiteral("UPD"), QStringLiteral("2024/01/02 03:04:05"));
    rs.update();

    // Renumbering: the row is found by its original key.
    rs.moveFirst();
    ASSERT_TRUE(rs.find(QStringLiteral("EHJ_NO"), QStringLiteral("A1")));
    rs.setValue(QStringLiteral("EHJ_NO"), QStringLiteral("A0"));
    rs.setValue(QStringLiteral("EHJ1"), QStringLiteral("1020"));
    rs.update();
    EXPECT_EQ(rs.text(QStringLiteral("EHJ_HENKAN")), QStringLiteral("x"));

    rs.moveFirst();
    ASSERT_TRUE(rs.find(QStringLiteral("EHJ_NO"), QStringLiteral("A2")));
    rs.remove();
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(ehjNumbers(connection_), (QStringList{QStringLiteral("A0:1020"), QStringLiteral("A3:3010")}));

    // The unchanged column kept its value in the database.
    db::Reader r = connection_.read(QStringLiteral("Select EHJ_HENKAN From kemmst_ehj Where EHJ_NO = 'A0'"));
    EXPECT_EQ(r.text(0), QStringLiteral("x"));
}

TEST_P(DialectTest, WritingBackARowThatIsGoneIsAnError) {
    openFresh();
    connection_.execute(QStringLiteral("Insert Into kemmst_fuki (FUKI_NO, FUKI_NAIYO) Values ('F1', 'a')"));
    db::Recordset rs = connection_.openRecordset(QStringLiteral("Select * From kemmst_fuki"));
    connection_.execute(QStringLiteral("Delete From kemmst_fuki"));
    rs.setValue(QStringLiteral("FUKI_NAIYO"), QStringLiteral("b"));
    try {
        rs.update();
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), db::dberr::RowNotFound);
    }
}

TEST_P(DialectTest, TableWithoutKeyIsAddressedByAllOriginalValues) {
    openFresh();
    connection_.execute(QStringLiteral("Insert Into kemmst_size (size_value, sort_lv) Values ('S', 1)"));
    connection_.execute(QStringLiteral("Insert Into kemmst_size (size_value, sort_lv) Values ('M', NULL)"));
    db::Recordset rs =
        connection_.openRecordset(QStringLiteral("select * from KEMMST_SIZE order by size_value"));
    ASSERT_TRUE(rs.find(QStringLiteral("size_value"), QStringLiteral("M")));
    rs.setValue(QStringLiteral("sort_lv"), 2);
    rs.update();
    db::Reader r = connection_.read(QStringLiteral("Select sort_lv From kemmst_size Where size_value = 'M'"));
    EXPECT_EQ(r.value(0).toInt(), 2);
}

TEST_P(DialectTest, RecordsetOverAJoinIsReadOnly) {
    openFresh();
    connection_.execute(QStringLiteral("Insert Into kemmst_namecode (name_nm) Values ('N')"));
    db::Recordset rs = connection_.openRecordset(QStringLiteral(
        "Select a.name_nm From kemmst_namecode a Inner Join kemmst_sizaicode b On a.name_nm = b.name_nm"));
    EXPECT_EQ(rs.recordCount(), 0);
    try {
        rs.addNew();
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), db::dberr::NotUpdatable);
    }
}
