// Loading, checking and saving the reference masters on SQLite and PostgreSQL.

#include "masters/reference_masters.h"
#include "platform/db/db_fixture.h"
#include "platform/db/reader.h"
#include "support/scripted_prompter.h"

using namespace kemnoa;
using masters::MasterRows;
using masters::RefMaster;

namespace {

class ReferenceMasterTest : public test::DialectTest {
protected:
    void SetUp() override {
        DialectTest::SetUp();
        if (IsSkipped())
            return;
        openFresh();
    }

    void fill(const QString& table, const QString& columns, const std::vector<QVariantList>& rows) {
        for (const QVariantList& r : rows) {
            QStringList marks;
            for (int i = 0; i < r.size(); ++i)
                marks << QStringLiteral("?");
            connection_.execute(
                QStringLiteral("Insert Into %1 (%2) Values (%3)").arg(table, columns, marks.join(',')), r);
        }
    }

    QStringList dump(const QString& sql) {
        QStringList out;
        for (db::Reader r = connection_.read(sql); !r.atEnd(); r.moveNext()) {
            QStringList row;
            for (int i = 0; i < r.columnCount(); ++i)
                row << r.text(i);
            out << row.join(QLatin1Char('|'));
        }
        return out;
    }

    core::Outcome save(RefMaster kind, const MasterRows& rows) {
        prompter_.answer(true);
        return masters::saveMaster(prompter_, connection_, kind, rows);
    }

    test::ScriptedPrompter prompter_;
};

TEST_P(ReferenceMasterTest, LoadsEveryRowSortedAndSavesThemBackUnchanged) {
    fill(QStringLiteral("kemmst_sizaicode"), QStringLiteral("name_nm, sizai_cd, sizai_nm"),
         {{"TAG", "T02", "紙タグB"},
          {"CAR", "C01", "サテン"},
          {"TAG", "T01", "紙タグA"},
          {"ZIP", "Z1", QVariant()},
          {"CAR", "C02", "ア"}});
    const MasterRows rows = masters::loadMaster(connection_, RefMaster::Sizai);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], (QStringList{"CAR", "C02", "ア"}));
    EXPECT_EQ(rows[1], (QStringList{"CAR", "C01", "サテン"}));
    EXPECT_EQ(rows[3], (QStringList{"TAG", "T02", "紙タグB"}));
    EXPECT_EQ(rows[4], (QStringList{"ZIP", "Z1", ""})); // Null as empty

    // More rows than the grid used to hold: every one is loaded, so a save loses none.
    std::vector<QVariantList> many;
    for (int i = 0; i < 1234; ++i)
        many.push_back({QStringLiteral("N%1").arg(i, 4, 10, QLatin1Char('0'))});
    fill(QStringLiteral("kemmst_namecode"), QStringLiteral("name_nm"), many);
    const MasterRows names = masters::loadMaster(connection_, RefMaster::NameCode);
    ASSERT_EQ(names.size(), 1234u);
    EXPECT_EQ(names.back().front(), QStringLiteral("N1233"));
    EXPECT_EQ(masters::loadNameTypes(connection_).size(), 1234);

    MasterRows valid = rows;
    valid[4][2] = QStringLiteral("留め具");
    ASSERT_EQ(save(RefMaster::Sizai, valid), core::Outcome::Done);
    EXPECT_EQ(masters::loadMaster(connection_, RefMaster::Sizai), valid);
    EXPECT_EQ(prompter_.messages(), QStringList{QStringLiteral("[完了] 保存処理は完了しました。")});
    ASSERT_EQ(prompter_.events.front().kind, test::PromptEvent::Kind::Question);
    EXPECT_EQ(prompter_.events.front().text, QStringLiteral("保存しますか？"));
    EXPECT_EQ(prompter_.events.front().title, QStringLiteral("保存の確認"));
}

TEST_P(ReferenceMasterTest, ApostrophesAndEmptyingAreStoredAsTyped) {
    fill(QStringLiteral("kemmst_namecode"), QStringLiteral("name_nm"), {{"TAG"}});
    ASSERT_EQ(save(RefMaster::NameCode, {{"O'HARA"}, {"TAG"}, {"'); Delete From kemmst_size; --"}}),
              core::Outcome::Done);
    EXPECT_EQ(dump(QStringLiteral("Select name_nm From kemmst_namecode Order By name_nm")),
              (QStringList{"'); Delete From kemmst_size; --", "O'HARA", "TAG"}));
    ASSERT_EQ(save(RefMaster::NameCode, {}), core::Outcome::Done);
    EXPECT_TRUE(dump(QStringLiteral("Select name_nm From kemmst_namecode")).isEmpty());
}

TEST_P(ReferenceMasterTest, RefusedRowsLeaveTheTableAndSayWhy) {
    fill(QStringLiteral("kemmst_sizaicode"), QStringLiteral("name_nm, sizai_cd, sizai_nm"),
         {{"TAG", "T01", "紙"}});
    fill(QStringLiteral("kemmst_size"), QStringLiteral("size_value, sort_lv"), {{"M", 2}});
    struct Case {
        RefMaster kind;
        MasterRows rows;
        QString refusal;
    };
    const Case cases[] = {
        {RefMaster::NameCode, {{"A"}, {""}}, "ネーム種が入力されていないレコードがあります。"},
        // Per row in the order name type, material name, material code; the first failing row wins.
        {RefMaster::Sizai,
         {{"TAG", "", "紙"}, {"", "", ""}},
         "資材コードが入力されていないレコードがあります。"},
        {RefMaster::Sizai, {{"TAG", "", ""}}, "資材名が入力されていないレコードがあります。"},
        {RefMaster::Sizai, {{"", "T1", "紙"}}, "ネーム種が入力されていないレコードがあります。"},
        {RefMaster::Size, {{"", "abc"}}, "サイズ記号が入力されていないレコードがあります。"},
        {RefMaster::Size, {{"S", "abc"}}, "整列順に入力された値が数値じゃないレコードがあります。"},
        {RefMaster::Size, {{"S", "1e3"}}, "整列順に入力された値が数値じゃないレコードがあります。"},
        {RefMaster::Size, {{"S", "1,000"}}, "整列順に入力された値が数値じゃないレコードがあります。"},
    };
    for (const Case& c : cases) {
        prompter_.events.clear();
        EXPECT_EQ(save(c.kind, c.rows), core::Outcome::Failed) << c.refusal.toStdString();
        EXPECT_EQ(prompter_.messages(),
                  (QStringList{QStringLiteral("[エラーチェック] ") + c.refusal,
                               QStringLiteral("[エラー] 保存処理をキャンセルします。")}));
        EXPECT_EQ(prompter_.events.back().icon, core::MsgIcon::Critical);
    }
    EXPECT_EQ(dump(QStringLiteral("Select name_nm, sizai_cd, sizai_nm From kemmst_sizaicode")),
              QStringList{"TAG|T01|紙"});
    EXPECT_EQ(dump(QStringLiteral("Select size_value, sort_lv From kemmst_size")), QStringList{"M|2"});

    // No: nothing is checked or written.
    prompter_.events.clear();
    prompter_.answer(false);
    EXPECT_EQ(masters::saveMaster(prompter_, connection_, RefMaster::Size, {}), core::Outcome::Failed);
    EXPECT_TRUE(prompter_.messages().isEmpty());
    EXPECT_EQ(dump(QStringLiteral("Select size_value From kemmst_size")), QStringList{"M"});
}

TEST_P(ReferenceMasterTest, SortOrdersAreStoredAsTheNumbersTyped) {
    ASSERT_EQ(save(RefMaster::Size, {{"S", " 10 "}, {"M", ""}, {"L", "-3"}, {"XL", "+7"}, {"F", "007"}}),
              core::Outcome::Done);
    EXPECT_EQ(
        dump(QStringLiteral("Select size_value, sort_lv From kemmst_size Order By sort_lv, size_value")),
        (QStringList{"L|-3", "M|0", "F|7", "XL|7", "S|10"}));
}

TEST_P(ReferenceMasterTest, AFailingInsertRollsTheWholeSaveBack) {
    connection_.execute(QStringLiteral("Drop Table kemmst_namecode"));
    connection_.execute(
        QStringLiteral("Create Table kemmst_namecode (name_nm VARCHAR(255) CHECK (name_nm <> 'BAD'))"));
    fill(QStringLiteral("kemmst_namecode"), QStringLiteral("name_nm"), {{"OLD1"}, {"OLD2"}});
    EXPECT_EQ(save(RefMaster::NameCode, {{"NEW"}, {"BAD"}}), core::Outcome::Failed);
    EXPECT_EQ(dump(QStringLiteral("Select name_nm From kemmst_namecode Order By name_nm")),
              (QStringList{"OLD1", "OLD2"}));
    const QStringList m = prompter_.messages();
    ASSERT_EQ(m.size(), 2);
    EXPECT_TRUE(m[0].startsWith(QStringLiteral("[エラー] 保存処理中にエラーが立ちました。\r\n"
                                               "エラー内容は以下の通りです。\r\n\r\n")));
    EXPECT_GT(m[0].size(), 60);
    EXPECT_EQ(m[1], QStringLiteral("[エラー] 保存処理中にエラーが発生しました。\r\n"
                                   "原因を解消し、もう一度保存処理を行ってください。"));
    EXPECT_FALSE(connection_.inTransaction());
}

TEST(SortValue, PlainDecimalNumbersOnly) {
    struct Case {
        const char* text;
        QVariant value; // invalid: refused
    };
    const Case cases[] = {{"12", qint64(12)}, {"-4", qint64(-4)}, {"+4", qint64(4)}, {"", qint64(0)},
                          {"  ", qint64(0)},  {"1.5", 1.5},       {"-0.25", -0.25},  {"1.", {}},
                          {".5", {}},         {"1e2", {}},        {"0x10", {}},      {"１２", {}},
                          {"12 3", {}},       {"abc", {}},        {"--1", {}}};
    for (const Case& c : cases) {
        const auto v = masters::parseSortValue(QString::fromUtf8(c.text));
        if (!c.value.isValid()) {
            EXPECT_FALSE(v.has_value()) << c.text;
            continue;
        }
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(*v, c.value) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Dialects, ReferenceMasterTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
