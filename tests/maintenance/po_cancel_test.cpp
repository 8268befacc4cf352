// The send cancel and the PO-number cancel, on SQLite and PostgreSQL.

#include "maintenance/order_rows.h"
#include "maintenance/po_cancel.h"
#include "platform/db/db_fixture.h"
#include "platform/db/reader.h"
#include "support/scripted_prompter.h"

using namespace kemnoa;
using maintenance::PoCancel;

namespace {

class PoCancelTest : public test::DialectTest {
protected:
    void SetUp() override {
        DialectTest::SetUp();
        if (IsSkipped())
            return;
        openFresh();
        using H = test::HeaderRow;
        test::insertHeader(connection_,
                           H{.ordNo = 1, .sendFlg = "1", .poNo = "P2", .poKbn = "0", .prnSu = 1});
        test::insertHeader(connection_,
                           H{.ordNo = 2, .sendFlg = "1", .poNo = "P2", .poKbn = "0", .prnSu = 1});
        test::insertHeader(connection_,
                           H{.ordNo = 3, .sendFlg = "9", .poNo = "P1", .poKbn = "0", .prnSu = 3});
        test::insertHeader(connection_,
                           H{.ordNo = 4, .sendFlg = "0", .poNo = "P1", .poKbn = "0", .prnSu = 3});
        test::insertHeader(connection_, H{.ordNo = 5, .sendFlg = "0", .poNo = "P3", .poKbn = "1"});
        test::insertHeader(connection_, H{.ordNo = 6, .sendFlg = "0"});
        test::insertLines(connection_, 1, "P2", "0");
        test::insertLines(connection_, 3, "P1", "0");
        test::insertLines(connection_, 5, "P3", "1");
    }

    QStringList headers() {
        QStringList out;
        for (db::Reader r = connection_.read(QStringLiteral(
                 "Select ORD_NO, SEND_FLG, PO_NO, PO_KBN, PRN_SU From rcv_denheaddata Order By ORD_NO"));
             !r.atEnd(); r.moveNext())
            out << QStringList{r.text(0), r.text(1), r.text(2), r.text(3), r.text(4)}.join('|');
        return out;
    }
    int count(const QString& tableWhere) {
        return connection_.read(QStringLiteral("Select Count(*) From ") + tableWhere).value(0).toInt();
    }

    test::ScriptedPrompter prompter_;
};

TEST_P(PoCancelTest, ListsOfferEachPoOnceAscending) {
    EXPECT_EQ(maintenance::cancellablePoNumbers(connection_, PoCancel::Send), QStringList{"P2"});
    EXPECT_EQ(maintenance::cancellablePoNumbers(connection_, PoCancel::PoNumber), (QStringList{"P1", "P3"}));
}

TEST_P(PoCancelTest, SendCancelThenPoNumberCancel) {
    ASSERT_EQ(maintenance::cancelPo(prompter_, connection_, PoCancel::Send, "P2"), core::Outcome::Done);
    EXPECT_EQ(prompter_.messages(), QStringList{"[] 解除しました。"});
    EXPECT_EQ(headers().mid(0, 2), (QStringList{"1|9|P2|0|1", "2|9|P2|0|1"}));
    EXPECT_EQ(prompter_.busyDepth, 0);
    EXPECT_GT(prompter_.busyMaxDepth, 0);
    // Now offered by the PO-number cancel, whose orders count as unsent.
    EXPECT_EQ(maintenance::cancellablePoNumbers(connection_, PoCancel::PoNumber),
              (QStringList{"P1", "P2", "P3"}));
    EXPECT_TRUE(maintenance::cancellablePoNumbers(connection_, PoCancel::Send).isEmpty());

    prompter_.events.clear();
    ASSERT_EQ(maintenance::cancelPo(prompter_, connection_, PoCancel::PoNumber, "P1"), core::Outcome::Done);
    EXPECT_EQ(headers().mid(2, 2), (QStringList{"3|9|||0", "4|0|||0"}));
    EXPECT_EQ(count("rcv_csvdata Where PO_NO = 'P1'"), 0);
    EXPECT_EQ(count("rcv_skdata Where PO_NO = 'P1'"), 0);
    EXPECT_EQ(count("rcv_csvdata Where PO_NO = 'P3'"), 1);
}

TEST_P(PoCancelTest, RefusalsLeaveEverything) {
    const QStringList before = headers();
    struct Case {
        PoCancel which;
        QString po;
        QString kbn;
        QString message;
    };
    const Case cases[] = {
        {PoCancel::Send, "", "", "[エラー] 条件を入力して下さい。"},
        {PoCancel::PoNumber, "", "", "[エラー] 条件を入力して下さい。"},
        {PoCancel::Send, "P1", "", "[エラー] 見つからないか、送信済みではありません。"},     // not sent
        {PoCancel::PoNumber, "P2", "", "[エラー] 見つからないか、送信済みではありません。"}, // sent
        {PoCancel::PoNumber, "NOPE' Or '1'='1", "", "[エラー] 見つからないか、送信済みではありません。"},
        {PoCancel::PoNumber, "P3", "0", "[エラー] 見つからないか、送信済みではありません。"}, // other kind
    };
    for (const Case& c : cases) {
        prompter_.events.clear();
        EXPECT_EQ(maintenance::cancelPo(prompter_, connection_, c.which, c.po, c.kbn), core::Outcome::Failed);
        EXPECT_EQ(prompter_.messages(), QStringList{c.message}) << c.po.toStdString();
    }
    EXPECT_EQ(headers(), before);
}

TEST_P(PoCancelTest, PoNumberCancelNeverTouchesASentOrderOfTheNumber) {
    // A sent order sharing the number with unsent ones keeps its number.
    test::insertHeader(connection_, test::HeaderRow{.ordNo = 7, .sendFlg = "1", .poNo = "P1", .poKbn = "0"});
    ASSERT_EQ(maintenance::cancelPo(prompter_, connection_, PoCancel::PoNumber, "P1"), core::Outcome::Done);
    EXPECT_EQ(headers().last(), QStringLiteral("7|1|P1|0|0"));
    EXPECT_EQ(count("rcv_denheaddata Where PO_NO = 'P1'"), 1);
}

TEST_P(PoCancelTest, ADatabaseFailureRollsBackAndSaysSo) {
    connection_.execute(QStringLiteral("Drop Table rcv_csvdata")); // the last statement fails
    EXPECT_EQ(maintenance::cancelPo(prompter_, connection_, PoCancel::PoNumber, "P1"), core::Outcome::Failed);
    ASSERT_EQ(prompter_.events.size(), 1u);
    EXPECT_TRUE(prompter_.events[0].text.startsWith(QStringLiteral("以下のエラーが発生しました。\r\n\r\n")));
    EXPECT_EQ(prompter_.events[0].title, QStringLiteral("お問い合わせください"));
    EXPECT_EQ(prompter_.events[0].icon, core::MsgIcon::Critical);
    EXPECT_EQ(prompter_.busyDepth, 0);
    EXPECT_EQ(count("rcv_denheaddata Where PO_NO = 'P1'"), 2);
    EXPECT_EQ(count("rcv_skdata Where PO_NO = 'P1'"), 1);
    EXPECT_FALSE(connection_.inTransaction());
}

INSTANTIATE_TEST_SUITE_P(Dialects, PoCancelTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
