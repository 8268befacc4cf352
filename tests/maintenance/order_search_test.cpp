// The order search list, its "d" command and the row refresh, on SQLite and PostgreSQL.

#include "maintenance/order_rows.h"
#include "maintenance/order_search.h"
#include "platform/db/db_fixture.h"
#include "platform/db/reader.h"
#include "support/scripted_prompter.h"

using namespace kemnoa;
using maintenance::SearchCriteria;

namespace {

class OrderSearchTest : public test::DialectTest {
protected:
    void SetUp() override {
        DialectTest::SetUp();
        if (IsSkipped())
            return;
        openFresh();
    }

    int count(const QString& tableWhere) {
        return connection_.read(QStringLiteral("Select Count(*) From ") + tableWhere).value(0).toInt();
    }

    QList<qint32> found(const SearchCriteria& c, int limit = maintenance::kSearchRowLimit,
                        bool* more = nullptr) {
        const auto r = maintenance::searchOrders(connection_, c, limit);
        if (more)
            *more = r.more;
        QList<qint32> out;
        for (const auto& row : r.rows)
            out << row.ordNo;
        return out;
    }

    SearchCriteria all() {
        SearchCriteria c;
        c.dateFrom = QStringLiteral("20240101");
        c.dateTo = QStringLiteral("20241231");
        return c;
    }

    test::ScriptedPrompter prompter_;
};

TEST_P(OrderSearchTest, ConditionsNarrowTheListNewestFirst) {
    using H = test::HeaderRow;
    test::insertHeader(connection_, H{.ordNo = 1201, .iraiNo = "555", .ordDate = 20240110});
    test::insertHeader(
        connection_,
        H{.ordNo = 12, .iraiNo = "5551", .ordDate = 20240301, .sendFlg = "1", .poNo = "P100", .poKbn = "0"});
    test::insertHeader(connection_, H{.ordNo = 3120,
                                      .iraiNo = "O'1",
                                      .ordDate = 20240620,
                                      .sendFlg = "0",
                                      .poNo = "P1001",
                                      .poKbn = "1"});
    test::insertHeader(connection_, H{.ordNo = 125, .iraiNo = "7", .ordDate = 20250101});
    test::insertHeader(connection_, H{.ordNo = 1000, .iraiNo = "5%", .ordDate = 20240110});

    struct Case {
        const char* what;
        std::function<void(SearchCriteria&)> set;
        QList<qint32> expected;
    };
    const Case cases[] = {
        {"dates only, newest order number first", [](SearchCriteria&) {}, {3120, 1201, 1000, 12}},
        {"order number prefix 12", [](SearchCriteria& c) { c.ordNo = "12"; }, {1201, 12}},
        {"request number prefix", [](SearchCriteria& c) { c.iraiNo = "555"; }, {1201, 12}},
        {"apostrophe in a prefix", [](SearchCriteria& c) { c.iraiNo = "O'"; }, {3120}},
        {"% is no wildcard", [](SearchCriteria& c) { c.iraiNo = "5%"; }, {1000}},
        {"PO number prefix", [](SearchCriteria& c) { c.poNo = "P100"; }, {3120, 12}},
        {"PO kind exact", [](SearchCriteria& c) { c.poKbn = "1"; }, {3120}},
        {"sent only", [](SearchCriteria& c) { c.sendFlg = "1"; }, {12}},
        {"9 lists every unsent order", [](SearchCriteria& c) { c.sendFlg = "9"; }, {3120, 1201, 1000}},
        {"date range is inclusive", [](SearchCriteria& c) { c.dateFrom = c.dateTo = "20240620"; }, {3120}},
    };
    for (const Case& c : cases) {
        SearchCriteria crit = all();
        c.set(crit);
        EXPECT_EQ(found(crit), c.expected) << c.what;
    }

    bool more = false;
    EXPECT_EQ(found(all(), 2, &more), (QList<qint32>{3120, 1201}));
    EXPECT_TRUE(more);
    EXPECT_EQ(found(all(), 4, &more).size(), 4);
    EXPECT_FALSE(more);

    const auto row = maintenance::readSearchRow(connection_, 12);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->poNo, QStringLiteral("P100"));
    EXPECT_EQ(row->ordDate, QStringLiteral("20240301"));
    EXPECT_EQ(maintenance::sendStateSymbol(row->sendFlg), QStringLiteral("済"));
    EXPECT_EQ(maintenance::sendStateSymbol(QStringLiteral("9")), QString());
    EXPECT_FALSE(maintenance::readSearchRow(connection_, 77));
}

TEST_P(OrderSearchTest, DeleteCommandRemovesMarkedUnsentOrdersWhole) {
    using H = test::HeaderRow;
    test::insertHeader(connection_, H{.ordNo = 1});
    test::insertHeader(connection_, H{.ordNo = 2, .sendFlg = "1", .poNo = "P9", .poKbn = "0"});
    test::insertHeader(connection_, H{.ordNo = 3, .poNo = "P7", .poKbn = "0", .prnSu = 2});
    test::insertHeader(connection_, H{.ordNo = 4, .poNo = "P7", .poKbn = "0", .prnSu = 2});
    test::insertHeader(connection_, H{.ordNo = 5});
    test::insertLines(connection_, 1);
    test::insertLines(connection_, 2, "P9", "0");
    test::insertLines(connection_, 3, "P7", "0");
    test::insertLines(connection_, 4, "P7", "0");
    connection_.execute(QStringLiteral("Insert Into rrk_ehj (EHJ_NO, KAKUNIN_FLG) Values ('E1', '0')"));

    std::vector<maintenance::SearchRow> rows(6);
    const char* commands[] = {"d", "D", "d", "x", "", "d"};
    const qint32 orders[] = {1, 2, 3, 4, 5, 99}; // 99: gone already
    for (int i = 0; i < 6; ++i) {
        rows[i].command = QString::fromLatin1(commands[i]);
        rows[i].ordNo = orders[i];
    }
    prompter_.answer(true);
    EXPECT_EQ(maintenance::runListCommands(prompter_, connection_, rows), core::Outcome::DoneWithFailures);
    EXPECT_EQ(prompter_.events.front().text, QStringLiteral("コマンドを実行します。"));
    EXPECT_EQ(prompter_.messages(), QStringList{QStringLiteral("[注意] 送信済み伝票(2)は削除できません。")});
    QList<qint32> left;
    for (const auto& r : rows)
        left << r.ordNo;
    EXPECT_EQ(left, (QList<qint32>{2, 4, 5, 99}));

    for (const char* t : {"rcv_denheaddata", "rcv_posdata", "rcv_cardata", "rcv_addfukidata",
                          "rcv_fuzokudata", "rcv_errdata", "rcv_csvdata"}) {
        const QString table = QString::fromLatin1(t);
        EXPECT_EQ(count(table + " Where ORD_NO In (1, 3)"), 0) << t;
        EXPECT_GT(count(table + " Where ORD_NO = 2"), 0) << t; // the sent order is whole
    }
    // Production rows belong to a PO, not to an order: an unnumbered order's stay as they were, while
    // the numbered order took its PO's print and production rows along, and its PO is to be rebuilt.
    EXPECT_EQ(count("rcv_skdata Where ORD_NO = 1"), 1);
    EXPECT_EQ(count("rcv_csvdata Where PO_NO = 'P7'"), 0);
    EXPECT_EQ(count("rcv_skdata Where PO_NO = 'P7'"), 0);
    EXPECT_EQ(count("rcv_denheaddata Where ORD_NO = 4 And PRN_SU = 0"), 1);
    EXPECT_EQ(count("rrk_ehj"), 1); // staged submissions are not the order's

    // No: nothing happens.
    rows = {maintenance::SearchRow{.command = "d", .ordNo = 5}};
    prompter_.answer(false);
    EXPECT_EQ(maintenance::runListCommands(prompter_, connection_, rows), core::Outcome::Failed);
    EXPECT_EQ(count("rcv_denheaddata Where ORD_NO = 5"), 1);
}

TEST_P(OrderSearchTest, AFailingDeleteRollsBackAndKeepsTheRow) {
    test::insertHeader(connection_, test::HeaderRow{.ordNo = 8});
    test::insertLines(connection_, 8);
    // rcv_errdata goes last; without it the delete fails after six tables were emptied.
    connection_.execute(QStringLiteral("Drop Table rcv_errdata"));
    std::vector<maintenance::SearchRow> rows = {{.command = "d", .ordNo = 8}};
    EXPECT_EQ(maintenance::runListCommands(prompter_, connection_, rows, false),
              core::Outcome::DoneWithFailures);
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_EQ(prompter_.events.size(), 1u);
    EXPECT_TRUE(
        prompter_.events[0].text.startsWith(QStringLiteral("発注番号(8)の削除中にエラーが発生しました。")));
    EXPECT_EQ(prompter_.events[0].title, QStringLiteral("エラー"));
    for (const char* t : {"rcv_denheaddata", "rcv_posdata", "rcv_cardata", "rcv_addfukidata",
                          "rcv_fuzokudata", "rcv_csvdata"})
        EXPECT_GT(count(QString::fromLatin1(t) + " Where ORD_NO = 8"), 0) << t;
}

TEST(SearchCriteriaTest, DefaultsAndDateChecks) {
    const SearchCriteria d = maintenance::defaultCriteria(QDate(2024, 3, 31));
    EXPECT_EQ(d.dateFrom, QStringLiteral("20240229")); // the last day of February
    EXPECT_EQ(d.dateTo, QStringLiteral("20240430"));
    EXPECT_EQ(d.sendFlg, QStringLiteral("0"));
    EXPECT_TRUE(maintenance::validSearchDates(d));
    for (const char* bad : {"2024011", "202401011", "2024-1-1", "", "２０２４０１０１"}) {
        SearchCriteria c = d;
        c.dateTo = QString::fromUtf8(bad);
        EXPECT_FALSE(maintenance::validSearchDates(c)) << bad;
    }
}

INSTANTIATE_TEST_SUITE_P(Dialects, OrderSearchTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
