// The master file built from the work database's masters, read back by three independent readers:
// mdbtools, the npm package mdb-reader and our own Jet reader.

#include "masters/master_export.h"
#include "platform/db/db_fixture.h"
#include "platform/jet/jet_reader.h"
#include "platform/jet/jet_test_util.h"
#include "support/scripted_prompter.h"
#include "support/test_env.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace kemnoa;
namespace kt = kemnoa::test;

namespace {

QString L(const char* s) {
    return QString::fromUtf8(s);
}

const QString kLongName = QString(255, QChar(0x30CD)); // the longest value a master column holds

class MasterFileTest : public kt::DialectTest {
protected:
    void SetUp() override {
        DialectTest::SetUp();
        if (IsSkipped())
            return;
        openFresh();
        path_ = dir_.filePath(QStringLiteral("MST240305070809.mdb"));
    }

    void seed() {
        for (const QString& n : {L("下札"), L("O'HARA"), QString(), kLongName})
            connection_.execute(QStringLiteral("Insert Into kemmst_namecode (name_nm) Values (?)"), {n});
        connection_.execute(
            QStringLiteral("Insert Into kemmst_sizaicode (name_nm, sizai_cd, sizai_nm) Values "
                           "('下札', 'S-01', '上質紙 220kg'), ('O''HARA', '', 'It''s'), "
                           "(Null, 'X', '')"));
        connection_.execute(QStringLiteral("Insert Into kemmst_size (size_value, sort_lv) Values ('M', 30), "
                                           "('Ｌ', -2147483648), ('', 2147483647), ('F', Null)"));
    }

    core::Outcome build() { return masters::MF_MstDbMake(prompter_, connection_, path_); }

    QString path_;
    kt::ScriptedPrompter prompter_;
};

const QStringList kTables = {QStringLiteral("mst_namecode"), QStringLiteral("mst_sizaicode"),
                             QStringLiteral("mst_size")};

TEST_P(MasterFileTest, MdbToolsReadTablesColumnsAndRows) {
    if (!kt::haveProgram(QStringLiteral("mdb-tables")))
        GTEST_SKIP() << "mdbtools not installed";
    seed();
    ASSERT_EQ(build(), core::Outcome::Done) << prompter_.messages().join(u'\n').toStdString();
    EXPECT_TRUE(prompter_.events.empty());

    const auto tables = kt::runProgram(QStringLiteral("mdb-tables"), {QStringLiteral("-1"), path_});
    ASSERT_EQ(tables.exitCode, 0) << tables.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(tables.out).split(u'\n', Qt::SkipEmptyParts), kTables);

    const auto schema = kt::runProgram(QStringLiteral("mdb-schema"), {path_, QStringLiteral("access")});
    ASSERT_EQ(schema.exitCode, 0) << schema.err.toStdString();
    const QString s = QString::fromUtf8(schema.out).simplified();
    for (const char* expected :
         {"CREATE TABLE [mst_namecode] ( [NAME_NM] Text (255) );",
          "CREATE TABLE [mst_sizaicode] ( [SIZAI_NM] Text (255), [NAME_NM] Text (255), [SIZAI_CD] Text (255) "
          ");",
          "CREATE TABLE [mst_size] ( [SIZE_VALUE] Text (255), [SORT_LV] Long Integer );"})
        EXPECT_TRUE(s.contains(L(expected))) << expected << "\n" << s.toStdString();

    // mdb-export shows zero-length text as Null; the difference is checked by the other readers.
    const auto names = kt::mdbExportRows(path_, QStringLiteral("mst_namecode"));
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(names[0], QStringList{QStringLiteral("NAME_NM")});
    EXPECT_EQ(names[1], QStringList{L("下札")});
    EXPECT_EQ(names[2], QStringList{L("O'HARA")});
    EXPECT_EQ(names[4], QStringList{kLongName});
    const auto materials = kt::mdbExportRows(path_, QStringLiteral("mst_sizaicode"));
    ASSERT_EQ(materials.size(), 4u);
    EXPECT_EQ(materials[0], (QStringList{L("SIZAI_NM"), L("NAME_NM"), L("SIZAI_CD")}));
    EXPECT_EQ(materials[1], (QStringList{L("上質紙 220kg"), L("下札"), L("S-01")}));
    EXPECT_EQ(materials[2], (QStringList{L("It's"), L("O'HARA"), kt::kNullMark}));
    const auto sizes = kt::mdbExportRows(path_, QStringLiteral("mst_size"));
    ASSERT_EQ(sizes.size(), 5u);
    EXPECT_EQ(sizes[2], (QStringList{L("Ｌ"), L("-2147483648")}));
    EXPECT_EQ(sizes[3], (QStringList{kt::kNullMark, L("2147483647")}));
    EXPECT_EQ(sizes[4], (QStringList{L("F"), kt::kNullMark}));

    const auto props = kt::runProgram(QStringLiteral("mdb-prop"), {path_, QStringLiteral("mst_sizaicode")});
    const QString p = QString::fromUtf8(props.out).simplified();
    for (const char* column : {"SIZAI_NM", "NAME_NM", "SIZAI_CD"})
        EXPECT_TRUE(p.contains(L("name: ") + L(column) + L(" AllowZeroLength: yes")))
            << column << p.toStdString();
}

TEST_P(MasterFileTest, MdbReaderTellsEmptyTextFromNull) {
    if (kt::nodeModules().isEmpty())
        GTEST_SKIP() << "mdb-reader not installed (KEMNOA_TEST_NODE_MODULES)";
    seed();
    ASSERT_EQ(build(), core::Outcome::Done);
    const QJsonObject dump = kt::mdbReaderDump(path_);
    ASSERT_FALSE(dump.contains(QStringLiteral("error")))
        << dump[QStringLiteral("error")].toString().toStdString();
    EXPECT_EQ(dump[QStringLiteral("tables")].toArray(), QJsonArray::fromStringList(kTables));
    const QJsonObject data = dump[QStringLiteral("data")].toObject();

    auto columns = [&](const QString& table) {
        QStringList out;
        for (const auto& c : data[table][QStringLiteral("columns")].toArray())
            out << c[QStringLiteral("name")].toString() + u':' + c[QStringLiteral("type")].toString();
        return out;
    };
    EXPECT_EQ(columns(QStringLiteral("mst_namecode")), QStringList{L("NAME_NM:text")});
    EXPECT_EQ(columns(QStringLiteral("mst_sizaicode")),
              (QStringList{L("SIZAI_NM:text"), L("NAME_NM:text"), L("SIZAI_CD:text")}));
    EXPECT_EQ(columns(QStringLiteral("mst_size")), (QStringList{L("SIZE_VALUE:text"), L("SORT_LV:long")}));

    EXPECT_EQ(data[QStringLiteral("mst_namecode")][QStringLiteral("rows")].toArray(),
              (QJsonArray{QJsonArray{L("下札")}, QJsonArray{L("O'HARA")}, QJsonArray{QString()},
                          QJsonArray{kLongName}}));
    EXPECT_EQ(data[QStringLiteral("mst_sizaicode")][QStringLiteral("rows")].toArray(),
              (QJsonArray{QJsonArray{L("上質紙 220kg"), L("下札"), L("S-01")},
                          QJsonArray{L("It's"), L("O'HARA"), QString()},
                          QJsonArray{QString(), QJsonValue::Null, L("X")}}));
    EXPECT_EQ(data[QStringLiteral("mst_size")][QStringLiteral("rows")].toArray(),
              (QJsonArray{QJsonArray{L("M"), 30}, QJsonArray{L("Ｌ"), QJsonValue(qint64(-2147483648LL))},
                          QJsonArray{QString(), 2147483647}, QJsonArray{L("F"), QJsonValue::Null}}));
}

TEST_P(MasterFileTest, OwnReaderReadsTheSameRows) {
    seed();
    ASSERT_EQ(build(), core::Outcome::Done);
    jet::JetReader r(path_);
    EXPECT_EQ(r.jetVersion(), 4);
    EXPECT_EQ(r.tables(), kTables);
    const auto size = r.columns(QStringLiteral("mst_size"));
    ASSERT_EQ(size.size(), 2u);
    EXPECT_EQ(size[0].type, jet::ColumnType::Text);
    EXPECT_EQ(size[0].size, 510); // 255 characters
    EXPECT_EQ(size[1].type, jet::ColumnType::Long);
    const jet::RowSet materials = r.readTable(QStringLiteral("mst_sizaicode"));
    ASSERT_EQ(materials.size(), 3u);
    EXPECT_EQ(materials.rows()[1], (jet::Row{jet::Value::text(L("It's")), jet::Value::text(L("O'HARA")),
                                             jet::Value::text(QString())}));
    EXPECT_TRUE(materials.rows()[2][1].isNull());
    const jet::RowSet names = r.readTable(QStringLiteral("mst_namecode"));
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names.rows()[3][0], jet::Value::text(kLongName));
}

TEST_P(MasterFileTest, EmptyMastersGiveThreeEmptyTables) {
    ASSERT_EQ(build(), core::Outcome::Done);
    jet::JetReader r(path_);
    EXPECT_EQ(r.tables(), kTables);
    for (const QString& t : kTables)
        EXPECT_EQ(r.rowCount(t), 0) << t.toStdString();
    EXPECT_EQ(r.columns(QStringLiteral("mst_sizaicode")).size(), 3u);
    if (!kt::nodeModules().isEmpty()) {
        const QJsonObject data = kt::mdbReaderDump(path_)[QStringLiteral("data")].toObject();
        for (const QString& t : kTables)
            EXPECT_EQ(data[t][QStringLiteral("rowCount")].toInt(-1), 0) << t.toStdString();
    }
}

// A value the file cannot take fails the build with the error's description and leaves no file.
TEST_P(MasterFileTest, AValueTheFileCannotTakeFailsTheBuild) {
    if (GetParam() != db::Dialect::SQLite)
        return; // only SQLite stores values beyond their declared column: nothing to check elsewhere
    struct Case {
        const char* name;
        const char* insert;
    };
    const Case cases[] = {
        {"text over 255 characters",
         "Insert Into kemmst_namecode (name_nm) Values (replace(hex(zeroblob(128)), '0', 'x'))"},
        {"sort order not a number", "Insert Into kemmst_size (size_value, sort_lv) Values ('M', 'abc')"},
        {"sort order beyond a Long",
         "Insert Into kemmst_size (size_value, sort_lv) Values ('M', 2147483648)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connection_.execute(QStringLiteral("Delete From kemmst_namecode"));
        connection_.execute(QStringLiteral("Delete From kemmst_size"));
        connection_.execute(L(c.insert));
        kt::ScriptedPrompter p;
        EXPECT_EQ(masters::MF_MstDbMake(p, connection_, path_), core::Outcome::Failed);
        ASSERT_EQ(p.events.size(), 1u);
        EXPECT_EQ(p.events[0].title, L("エラー"));
        EXPECT_EQ(p.events[0].icon, core::MsgIcon::Critical);
        EXPECT_TRUE(
            p.events[0].text.startsWith(L("データベース作成中に以下のエラーが発生しました。\r\n\r\n")))
            << p.events[0].text.toStdString();
        EXPECT_GT(p.events[0].text.size(), 30);
        EXPECT_FALSE(QFileInfo::exists(path_));
    }
}

TEST_P(MasterFileTest, FractionalSortOrdersRoundAsJetConvertsToLong) {
    if (GetParam() != db::Dialect::SQLite)
        return; // the work database's sort order is a whole number elsewhere: nothing to check
    connection_.execute(QStringLiteral("Insert Into kemmst_size (size_value, sort_lv) Values "
                                       "('a', 1.5), ('b', 2.5), ('c', '  7 '), ('d', -0.5)"));
    ASSERT_EQ(build(), core::Outcome::Done);
    const jet::RowSet sizes = jet::JetReader(path_).readTable(QStringLiteral("mst_size"));
    ASSERT_EQ(sizes.size(), 4u);
    const qint64 expected[] = {2, 2, 7, 0};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(sizes.rows()[i][1], jet::Value::integer(expected[i])) << i;
}

INSTANTIATE_TEST_SUITE_P(Dialects, MasterFileTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), kt::dialectLabel);

} // namespace
