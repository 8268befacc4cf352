// The printed documents' fields and paging, through a report control that keeps the document.

#include "care_fixture.h"
#include "care_masters/master_printing.h"
#include "core/error.h"
#include "platform/db/db_fixture.h"
#include "platform/report/layout.h"
#include "support/scripted_prompter.h"

#include <QDate>

using namespace kemnoa;
namespace cm = care_masters;

namespace {

class PrintingTest : public test::DialectTest {
protected:
    void SetUp() override {
        DialectTest::SetUp();
        if (IsSkipped())
            return;
        openFresh();
        test::prepareProgramFolder(folder_.path());
    }
    void TearDown() override { core::setProgramFolder({}); }

    // Prints and returns the pages delivered (none when nothing went out).
    std::vector<report::PageValues> listing(const cm::MasterKind& kind, const QString& statement) {
        delivered_.clear();
        report::DocumentReport control([this](const report::Document& d) { delivered_ = d.pages; });
        cm::printListing(kind, {control, QStringLiteral("P1")}, prompter_, connection_, statement);
        document_ = control.lastDocument();
        return delivered_;
    }

    QTemporaryDir folder_;
    test::ScriptedPrompter prompter_;
    std::vector<report::PageValues> delivered_;
    report::Document document_;
};

TEST_P(PrintingTest, SymbolListingPutsEightSetsOnAPage) {
    for (int n : {8, 9}) {
        SCOPED_TRACE(n);
        connection_.execute(QStringLiteral("Delete From kemmst_ehj"));
        for (int i = 1; i <= n; ++i)
            test::addEhj(connection_, QStringLiteral("E%1").arg(i, 4, 10, QLatin1Char('0')),
                         {QStringLiteral("1010"), QString(), QStringLiteral("NOFILE")},
                         QStringLiteral("U%1").arg(i), QStringLiteral("H%1").arg(i),
                         {QStringLiteral("s1"), QString(), QStringLiteral("s3")});
        const auto pages = listing(cm::ehjKind(), cm::listingStatement(cm::ehjKind()));
        ASSERT_EQ(pages.size(), n == 8 ? 1u : 2u);
        EXPECT_EQ(document_.title, QStringLiteral("絵表示マスタ"));
        const report::PageValues& p = pages[0];
        EXPECT_EQ(p.texts.at(QStringLiteral("h1_8")), QStringLiteral("E0008"));
        EXPECT_EQ(p.texts.at(QStringLiteral("h5_3")), QStringLiteral("H3"));
        EXPECT_EQ(p.texts.at(QStringLiteral("h6_3")), QStringLiteral("U3"));
        EXPECT_EQ(p.texts.at(QStringLiteral("h3_1_2")), QStringLiteral("1010"));
        EXPECT_TRUE(p.pictures.at(QStringLiteral("h2_1_2")).endsWith(QStringLiteral("BMP/1010.bmp")));
        EXPECT_EQ(p.texts.count(QStringLiteral("h3_2_2")), 0u); // empty code: nothing
        EXPECT_EQ(p.texts.at(QStringLiteral("h3_3_2")), QStringLiteral("NOFILE"));
        EXPECT_EQ(p.pictures.count(QStringLiteral("h2_3_2")), 0u); // no file: no picture
        EXPECT_EQ(p.texts.at(QStringLiteral("h4_3_2")), QStringLiteral("s3"));
        if (n == 9) {
            EXPECT_EQ(pages[1].texts.at(QStringLiteral("h1_1")), QStringLiteral("E0009"));
            EXPECT_EQ(pages[1].texts.count(QStringLiteral("h1_2")), 0u); // seven empty slots
        }
    }
}

TEST_P(PrintingTest, TermBlocksNeverSplitAndStartANewPageAfterTheThirdColumn) {
    // A block of five lines (no spare fields): sixteen fill a column's 80 lines exactly.
    std::vector<QString> blocks;
    for (int i = 0; i < 49; ++i)
        blocks.push_back(
            cm::termBlock(QStringLiteral("F%1").arg(i), QStringLiteral("U"), QStringLiteral("w"), {}));
    EXPECT_EQ(blocks[0], QStringLiteral("[F0]\r\nU\r\n") + QString(45, QLatin1Char('-')) +
                             QStringLiteral("\r\nw\r\n\r\n"));
    auto pages = cm::termListingPages(blocks);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0][0].count(QLatin1Char('[')), 16);
    EXPECT_EQ(pages[0][1].count(QLatin1Char('[')), 16);
    EXPECT_EQ(pages[0][2].count(QLatin1Char('[')), 16);
    EXPECT_EQ(pages[1][0], blocks[48].replace(QStringLiteral("\r\n"), QStringLiteral("\r")));
    blocks.pop_back();
    EXPECT_EQ(cm::termListingPages(blocks).size(), 1u);    // 48 blocks: one full page, no empty one
    EXPECT_FALSE(pages[0][0].contains(QLatin1Char('\n'))); // CR line ends in the columns

    // Spare fields add their lines and one more; a block crossing the column's end moves whole.
    const QString withSpares = cm::termBlock(QStringLiteral("F"), QStringLiteral("U"), QStringLiteral("w"),
                                             {QStringLiteral("a"), QString(), QStringLiteral("b")});
    EXPECT_TRUE(withSpares.endsWith(QStringLiteral("\r\n\r\na\r\nb\r\n\r\n")));
    std::vector<QString> crossing(15, blocks[0]);
    crossing.push_back(withSpares); // 8 lines on 76: moves to column 2
    pages = cm::termListingPages(crossing);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0][0].count(QLatin1Char('\r')), 75);
    EXPECT_EQ(pages[0][1].count(QLatin1Char('\r')), 8);
}

TEST_P(PrintingTest, TermListingNumbersPagesAndDatesThem) {
    for (int i = 0; i < 50; ++i)
        test::addFuki(connection_, QStringLiteral("F%1").arg(i, 3, 10, QLatin1Char('0')),
                      QStringLiteral("文言%1").arg(i));
    const auto pages = listing(cm::fukiKind(), cm::listingStatement(cm::fukiKind()));
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].texts.at(QStringLiteral("h2")), QStringLiteral("1"));
    EXPECT_EQ(pages[1].texts.at(QStringLiteral("h2")), QStringLiteral("2"));
    EXPECT_EQ(pages[1].texts.at(QStringLiteral("h3")),
              QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
    EXPECT_TRUE(pages[1].texts.at(QStringLiteral("h1_1")).startsWith(QStringLiteral("[F048]\r")));
}

TEST_P(PrintingTest, ChosenKeysPrintInNumberOrderAndLongListsWork) {
    for (const char* no : {"E1", "E2", "E'3", "E4"})
        test::addEhj(connection_, QString::fromUtf8(no), {QStringLiteral("1010")});
    std::vector<cm::PrintListRow> rows = cm::printListRows(cm::ehjKind(), connection_);
    ASSERT_EQ(rows.size(), 4u);
    rows[3].tick = QStringLiteral("-1"); // E4
    rows[0].tick = QStringLiteral("1");  // E'3 (sorted first)
    auto pages = listing(cm::ehjKind(), cm::printScreenStatement(cm::ehjKind(), false, rows));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].texts.at(QStringLiteral("h1_1")), QStringLiteral("E'3"));
    EXPECT_EQ(pages[0].texts.at(QStringLiteral("h1_2")), QStringLiteral("E4"));
    EXPECT_EQ(pages[0].texts.count(QStringLiteral("h1_3")), 0u);
    // Nothing ticked: the whole master.
    for (auto& r : rows)
        r.tick = QStringLiteral("0");
    EXPECT_EQ(listing(cm::ehjKind(), cm::printScreenStatement(cm::ehjKind(), false, rows))[0].texts.count(
                  QStringLiteral("h1_4")),
              1u);
    // Five thousand keys in one list.
    QStringList keys;
    for (int i = 0; i < 5000; ++i)
        keys << QStringLiteral("K%1").arg(i);
    keys << QStringLiteral("E2");
    pages = listing(cm::ehjKind(), cm::listingStatement(cm::ehjKind(), keys));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].texts.at(QStringLiteral("h1_1")), QStringLiteral("E2"));
    pages =
        listing(cm::ehjKind(), cm::rangeStatement(cm::ehjKind(), QStringLiteral("E2"), QStringLiteral("E4")));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].texts.count(QStringLiteral("h1_2")), 1u);
    EXPECT_EQ(pages[0].texts.count(QStringLiteral("h1_3")), 0u);
}

TEST_P(PrintingTest, RequestFillsBothSidesAndTheKind) {
    test::addEhj(connection_, QStringLiteral("E0001"), {QStringLiteral("1010"), QStringLiteral("2020")},
                 QStringLiteral("2020/01/01 00:00:00"), {}, {QStringLiteral("m1")});
    const qint32 id = test::stageEhj(
        connection_, QStringLiteral("E0001"), {QStringLiteral("3010"), QString(), QStringLiteral("4010")},
        QStringLiteral("U"), {QStringLiteral("c1"), QString(), QString(), QString(), QStringLiteral("c5")});
    connection_.execute(QStringLiteral("Update rrk_ehj Set MEMO = 'note''s'"));
    report::DocumentReport control([](const report::Document&) {});
    cm::MP_EhjIraiPrint({control, QStringLiteral("P")}, prompter_, connection_, id);
    const report::Document& d = control.lastDocument();
    ASSERT_EQ(d.pages.size(), 1u);
    EXPECT_EQ(d.title, QStringLiteral("KEM:絵表示登録依頼書"));
    EXPECT_EQ(d.text(0, QStringLiteral("h1")), QStringLiteral("E0001"));
    EXPECT_EQ(d.text(0, QStringLiteral("h3")), QStringLiteral("更新"));
    EXPECT_EQ(d.text(0, QStringLiteral("h4")), QStringLiteral("note's"));
    EXPECT_EQ(d.text(0, QStringLiteral("c2_1")), QStringLiteral("3010"));
    EXPECT_EQ(d.pages[0].texts.count(QStringLiteral("c2_2")), 0u);
    EXPECT_EQ(d.text(0, QStringLiteral("c2_3")), QStringLiteral("4010"));
    EXPECT_EQ(d.pages[0].pictures.count(QStringLiteral("c1_3")), 1u);
    EXPECT_EQ(d.text(0, QStringLiteral("c3_5")), QStringLiteral("c5"));
    EXPECT_EQ(d.text(0, QStringLiteral("m2_2")), QStringLiteral("2020"));
    EXPECT_EQ(d.text(0, QStringLiteral("m3_1")), QStringLiteral("m1"));
    EXPECT_EQ(d.text(0, QStringLiteral("m4")), QStringLiteral("2020/01/01 00:00:00"));

    // An unknown kind prints with h3 empty, a missing master row leaves its side empty.
    const qint32 other =
        test::stageFuki(connection_, QStringLiteral("F9"), QStringLiteral("文言"), QStringLiteral("?"));
    cm::MP_FukiIraiPrint({control, QStringLiteral("P")}, prompter_, connection_, other);
    const report::Document& t = control.lastDocument();
    EXPECT_EQ(t.title, QStringLiteral("KEM:付記用語登録依頼書"));
    EXPECT_EQ(t.text(0, QStringLiteral("c1")), QStringLiteral("文言"));
    EXPECT_EQ(t.pages[0].texts.count(QStringLiteral("h3")), 0u);
    EXPECT_EQ(t.pages[0].texts.count(QStringLiteral("m1")), 0u);
    EXPECT_TRUE(prompter_.messages().isEmpty());
}

TEST_P(PrintingTest, FailuresAreToldAndNothingGoesOut) {
    int delivered = 0;
    report::DocumentReport control([&delivered](const report::Document&) { ++delivered; },
                                   [](const QString& name) { return name == QLatin1String("P1"); });
    cm::MP_EhjIraiPrint({control, QStringLiteral("P1")}, prompter_, connection_, 12345);
    cm::MP_EhjMstPrint({control, QStringLiteral("P1")}, prompter_, connection_,
                       cm::listingStatement(cm::ehjKind()));
    EXPECT_EQ(prompter_.messages(), (QStringList{QStringLiteral("[エラー] レコードが見つかりません。"),
                                                 QStringLiteral("[エラー] レコードが見つかりません。")}));
    test::addEhj(connection_, QStringLiteral("E1"), {});
    prompter_ = test::ScriptedPrompter();
    cm::MP_EhjMstPrint({control, QStringLiteral("NOPE")}, prompter_, connection_,
                       cm::listingStatement(cm::ehjKind()));
    EXPECT_EQ(prompter_.messages(), (QStringList{QStringLiteral("[] プリンタ名が正しくありません。"),
                                                 QStringLiteral("[エラー] 印刷を中止します。")}));
    QFile::remove(cm::layoutPath(cm::kEhjListingLayout));
    prompter_ = test::ScriptedPrompter();
    cm::MP_EhjMstPrint({control, QStringLiteral("P1")}, prompter_, connection_,
                       cm::listingStatement(cm::ehjKind()));
    ASSERT_EQ(prompter_.messages().size(), 2);
    EXPECT_TRUE(prompter_.messages()[0].startsWith(
        QStringLiteral("[印刷を強制終了] 予期しないエラーが発生しました。\r\n\r\n")));
    EXPECT_EQ(prompter_.messages()[1], QStringLiteral("[エラー] 印刷を中止します。"));
    EXPECT_EQ(delivered, 0);
}

INSTANTIATE_TEST_SUITE_P(Dialects, PrintingTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

// Layout files: every shipped layout reads, and mistakes are told with their line.
TEST(LayoutTest, ShippedLayoutsReadAndHaveTheirFields) {
    const QString dir = test::sourceDir() + QStringLiteral("/resources/layouts/");
    const report::Layout request = report::loadLayout(dir + QStringLiteral("絵表示登録依頼書.layout"));
    for (const char* f : {"h1", "h2", "h3", "h4", "c1_6", "c2_6", "c3_5", "m1_6", "m2_6", "m3_5", "m4"})
        EXPECT_NE(request.field(QString::fromLatin1(f)), nullptr) << f;
    EXPECT_EQ(request.field(QStringLiteral("c1_1"))->kind, report::Field::Kind::Picture);
    const report::Layout listing = report::loadLayout(dir + QStringLiteral("絵表示.layout"));
    EXPECT_NE(listing.field(QStringLiteral("h2_6_8")), nullptr);
    EXPECT_NE(listing.field(QStringLiteral("h4_5_8")), nullptr);
    const report::Layout terms = report::loadLayout(dir + QStringLiteral("付記用語.layout"));
    // Eighty lines fit the column at its pitch.
    const report::Field* column = terms.field(QStringLiteral("h1_3"));
    ASSERT_NE(column, nullptr);
    EXPECT_GE(column->mm.height(), 80 * column->style.pitch);
    EXPECT_NO_THROW(report::loadLayout(dir + QStringLiteral("付記用語登録依頼書.layout")));
}

TEST(LayoutTest, MistakesNameTheirLine) {
    struct Case {
        const char* text;
        const char* says;
    };
    const Case cases[] = {
        {"page A4\nfeild h1 text 1 1 1 1", "2行目: 知らない命令です: feild"},
        {"field h1 text 1 1 0 5", "1行目: 寸法(mm)ではありません: 0"},
        {"field h1 text 1 1 5 5\nfield h1 picture 1 1 5 5", "2行目: 同じ名前のフィールドが二つあります: h1"},
        {"text 1 1 5 5 \"open", "1行目: 引用符(\")が閉じていません"},
        {"field h1 text 1 1 5 5 align=middle", "1行目: 指定が読めません: align=middle"},
        {"page 5000x10", "1行目: 寸法(mm)ではありません: 5000"},
    };
    for (const Case& c : cases) {
        try {
            report::parseLayout(QString::fromUtf8(c.text), QStringLiteral("x.layout"));
            ADD_FAILURE() << c.text;
        } catch (const core::Error& e) {
            EXPECT_EQ(e.description(), QStringLiteral("レイアウト(x.layout) ") + QString::fromUtf8(c.says));
        }
    }
    const report::Layout l = report::parseLayout(
        QStringLiteral(
            "# comment\npage A4 landscape\ntext 1 2 30 5 \"a \\\"b\\\"\" size=9 bold align=right\n"),
        QStringLiteral("y"));
    EXPECT_EQ(l.pageMm, QSizeF(297, 210));
    ASSERT_EQ(l.items.size(), 1u);
    EXPECT_EQ(l.items[0].text, QStringLiteral("a \"b\""));
    EXPECT_TRUE(l.items[0].style.bold);
    EXPECT_EQ(l.items[0].style.align, report::Align::Right);
}

} // namespace
