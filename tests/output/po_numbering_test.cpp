// PO numbering: grouping of the selected orders, the two number series, the duplicate request
// warning, the check pass, and the guards against missing and repeated numbers.

#include "output/po_number_procedures.h"
#include "output/po_numbering.h"
#include "output_fixture.h"

#include "platform/db/command.h"

#include <map>
#include <set>

using namespace kemnoa;

namespace {

class PoNumberingTest : public test::OutputTest {
protected:
    // Numbers the listed orders with the marks given (all marked unless named in `cleared`).
    core::Outcome number(const QList<qint32>& cleared = {}, output::NumberingResult* result = nullptr) {
        auto rows = output::loadPoNoList(connection_);
        for (auto& r : rows)
            r.chk = !cleared.contains(r.ordNo.toInt());
        return output::runPoNumbering(prompter_, connection_, po_, rows, result);
    }
    QString poNo(qint32 ordNo) {
        return column(connection_, QStringLiteral("Select PO_NO From rcv_denheaddata Where ORD_NO = ?"),
                      {ordNo})
            .value(0);
    }
    QString poKbn(qint32 ordNo) {
        return column(connection_, QStringLiteral("Select PO_KBN From rcv_denheaddata Where ORD_NO = ?"),
                      {ordNo})
            .value(0);
    }
};

struct OrderCase {
    qint32 ordNo;
    test::Values header; // changes to the default order
    bool marked;
    int group; // orders with the same group share a number; 0: no number
    bool gk;   // the group's series
};

struct GroupingCase {
    const char* name;
    std::vector<OrderCase> orders;
};

const QString kS2 = QStringLiteral("S2");

TEST_P(PoNumberingTest, GroupsCompareWithThePreviousSelectedRowOnly) {
    const QString china = QStringLiteral("中国決済");
    const std::vector<GroupingCase> cases = {
        {"three equal, another supplier, then equal to the third again",
         {{101, {}, true, 1, false},
          {102, {}, true, 1, false},
          {103, {}, true, 1, false},
          {104, {{QStringLiteral("SIR_CD"), kS2}}, true, 2, false},
          {105, {}, true, 3, false}}},
        {"a cleared mark takes no part in the comparison",
         {{201, {}, true, 1, false},
          {202, {{QStringLiteral("SIR_CD"), kS2}}, false, 0, false},
          {203, {}, true, 1, false}}},
        {"settled in China: a GK number and kind 1",
         {{301, {{QStringLiteral("KESSAI"), china}}, true, 1, true},
          {302, {{QStringLiteral("KESSAI"), china}}, true, 1, true},
          {303, {}, true, 2, false}}},
        {"hold mark, shipping place and requested date each start a group",
         {{401, {}, true, 1, false},
          {402, {{QStringLiteral("BIKO2"), QStringLiteral("1")}}, true, 2, false},
          {403, {{QStringLiteral("SHKA_PLACE"), QStringLiteral("大連工場")}}, true, 3, false},
          {404, {{QStringLiteral("KIBO_DATE"), QStringLiteral("20261221")}}, true, 4, false}}},
    };
    for (const GroupingCase& c : cases) {
        SCOPED_TRACE(c.name);
        connection_.execute(QStringLiteral("Delete From rcv_denheaddata"));
        connection_.execute(QStringLiteral("Delete From rcv_posdata"));
        QList<qint32> cleared;
        for (const OrderCase& o : c.orders) {
            addOrder(o.ordNo, o.header);
            addLine(QStringLiteral("rcv_posdata"), o.ordNo, 1);
            if (!o.marked)
                cleared << o.ordNo;
        }
        prompter_.events.clear();
        ASSERT_EQ(number(cleared), core::Outcome::Done)
            << prompter_.messages().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(prompter_.messages(), QStringList{QStringLiteral("[完了] 処理は終了しました。")});
        std::map<int, QString> numbers;
        std::set<QString> seen;
        for (const OrderCase& o : c.orders) {
            SCOPED_TRACE(o.ordNo);
            const QString n = poNo(o.ordNo);
            if (o.group == 0) {
                EXPECT_EQ(n, QString());
                EXPECT_EQ(poKbn(o.ordNo), QString());
                continue;
            }
            EXPECT_TRUE(n.startsWith(QLatin1Char(o.gk ? 'G' : 'P'))) << n.toStdString();
            EXPECT_EQ(poKbn(o.ordNo), o.gk ? QStringLiteral("1") : QStringLiteral("0"));
            if (numbers.count(o.group))
                EXPECT_EQ(n, numbers[o.group]);
            else {
                EXPECT_TRUE(seen.insert(n).second) << "a number given to two groups: " << n.toStdString();
                numbers[o.group] = n;
            }
        }
    }
    // The settlement alone decides the series; an empty one is not China.
    output::PoNoRow row;
    EXPECT_FALSE(row.gk());
    row.kessai = QStringLiteral("中国決済");
    EXPECT_TRUE(row.gk());
}

TEST_P(PoNumberingTest, DuplicateRequestNumbersWarnOncePerNumberAmongEligibleOrders) {
    addOrder(1, {{QStringLiteral("IRAI_NO"), QStringLiteral("R1")}});
    addOrder(2, {{QStringLiteral("IRAI_NO"), QStringLiteral("R1")}});
    addOrder(3, {{QStringLiteral("IRAI_NO"), QStringLiteral("R1")}});
    addOrder(4, {{QStringLiteral("IRAI_NO"), QStringLiteral("R'2")}});
    addOrder(5, {{QStringLiteral("IRAI_NO"), QStringLiteral("R'2")}});
    // Not eligible: sent, numbered, or with errors.
    addOrder(6, {{QStringLiteral("IRAI_NO"), QStringLiteral("R3")},
                 {QStringLiteral("SEND_FLG"), QStringLiteral("1")}});
    addOrder(7, {{QStringLiteral("IRAI_NO"), QStringLiteral("R3")},
                 {QStringLiteral("PO_NO"), QStringLiteral("P1")}});
    addOrder(8, {{QStringLiteral("IRAI_NO"), QStringLiteral("R3")}, {QStringLiteral("ERR_SU"), 2}});
    addOrder(9, {{QStringLiteral("IRAI_NO"), QStringLiteral("R3")}});
    output::warnDuplicateRequests(prompter_, connection_);
    ASSERT_EQ(prompter_.events.size(), 2u);
    const QString text = QStringLiteral("依頼番号が重複しています。\r\n確認してください。");
    EXPECT_EQ(prompter_.events[0].text, text);
    EXPECT_EQ(prompter_.events[0].title, QStringLiteral("依頼番号=R'2"));
    EXPECT_EQ(prompter_.events[0].icon, core::MsgIcon::Critical);
    EXPECT_EQ(prompter_.events[1].title, QStringLiteral("依頼番号=R1"));
    // The list: eligible orders only, every one marked.
    const auto rows = output::loadPoNoList(connection_);
    ASSERT_EQ(rows.size(), 6u);
    for (const auto& r : rows)
        EXPECT_TRUE(r.chk);
}

TEST_P(PoNumberingTest, AnOrderWithFindingsStopsTheRunBeforeAnyNumber) {
    for (qint32 n : {11, 12, 13}) {
        addOrder(n);
        // The second order's care symbol is unknown; its stored ERR_SU is still 0.
        addLine(QStringLiteral("rcv_posdata"), n, 1,
                {{QStringLiteral("EHJ"), n == 12 ? QStringLiteral("E9999") : QString()}});
    }
    EXPECT_EQ(number(), core::Outcome::Failed);
    for (qint32 n : {11, 12, 13})
        EXPECT_EQ(poNo(n), QString());
    EXPECT_EQ(count(po_, QStringLiteral("PO_NUMBER_LOG")), 0);
    ASSERT_EQ(prompter_.events.size(), 2u) << prompter_.messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(prompter_.events[0].title, QStringLiteral("絵表示エラー"));
    EXPECT_EQ(prompter_.events[0].icon, core::MsgIcon::Critical);
    EXPECT_TRUE(prompter_.events[0].text.startsWith(
        QStringLiteral("エラーが発見されました。エラー内容は以下の通りです。\r\n\r\nE9999\r\n下札1行目")));
    EXPECT_TRUE(
        prompter_.events[0].text.endsWith(QStringLiteral("\r\n\r\n発注番号(12)にエラーが含まれています。")));
    EXPECT_EQ(prompter_.messages().last(),
              QStringLiteral("[エラー終了] エラーを解消し再度実行してください。"));
    // The third order was not checked.
    EXPECT_EQ(prompter_.splashTexts.count(QStringLiteral("エラーチェック")), 2);
    EXPECT_EQ(prompter_.busyDepth, 0);
}

TEST_P(PoNumberingTest, AMasterCheckThatCannotRunStopsTheRunToo) {
    addOrder(21);
    addLine(QStringLiteral("rcv_posdata"), 21, 1);
    db::Connection closed;
    maintenance::setPoConnectionResolver(
        [&](const QString&, const QString&) -> db::Connection& { return closed; });
    output::NumberingResult result;
    EXPECT_EQ(number({}, &result), core::Outcome::Failed);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(poNo(21), QString());
    ASSERT_EQ(prompter_.events.size(), 2u);
    EXPECT_TRUE(
        prompter_.events[0].text.startsWith(QStringLiteral("エラーチェック処理中にエラーが発生しました。")));
    EXPECT_EQ(prompter_.messages().last(),
              QStringLiteral("[エラー終了] エラーを解消し再度実行してください。"));
}

TEST_P(PoNumberingTest, ADestinationWithoutOrderingCompanyStaysUnnumberedAndIsCounted) {
    // A destination the master check knows, without a HcyCd_Find row.
    insert(po_, QStringLiteral("MST_NOUHIN"),
           {{QStringLiteral("NOUCD"), 199},
            {QStringLiteral("NOUKYAKU_CD"), QStringLiteral("C0199-01")},
            {QStringLiteral("TOKCD"), QString::fromLatin1(demo::CustomerCode)}});
    addOrder(31, {{QStringLiteral("NOU_CD"), QStringLiteral("C0199-01")}});
    addOrder(32, {{QStringLiteral("NOU_CD"), QStringLiteral("C0199-01")}});
    addOrder(33, {{QStringLiteral("NOU_CD"), QStringLiteral("C0199-01")},
                  {QStringLiteral("KESSAI"), QStringLiteral("中国決済")}});
    addOrder(34);
    for (qint32 n : {31, 32, 33, 34})
        addLine(QStringLiteral("rcv_posdata"), n, 1);
    output::NumberingResult result;
    EXPECT_EQ(number({}, &result), core::Outcome::DoneWithFailures);
    EXPECT_EQ(result.unnumbered, 3);
    EXPECT_EQ(result.numbered, 1);
    for (qint32 n : {31, 32, 33}) {
        EXPECT_EQ(poNo(n), QString());
        EXPECT_EQ(poKbn(n), QString());
    }
    EXPECT_TRUE(poNo(34).startsWith(QLatin1Char('P')));
    const QStringList m = prompter_.messages();
    ASSERT_EQ(m.size(), 3);
    EXPECT_TRUE(
        m.contains(QStringLiteral("[エラー] PO番号取得に失敗しました。\r\n\r\n"
                                  "納品先(C0199-01)の発注会社コードがHcyCd_Findに登録されていません。")));
    EXPECT_TRUE(
        m.contains(QStringLiteral("[エラー] GK番号取得に失敗しました。\r\n\r\n"
                                  "納品先(C0199-01)の発注会社コードがHcyCd_Findに登録されていません。")));
    EXPECT_EQ(m.last(),
              QStringLiteral("[完了] 処理は終了しました。\r\n\r\n"
                             "番号を取得できなかった発注が3件あります。次回あらためて採番してください。"));
    // They are listed again for the next run.
    EXPECT_EQ(output::loadPoNoList(connection_).size(), 3u);
}

TEST_P(PoNumberingTest, AStaleListNeverRenumbersNorNumbersASentOrder) {
    for (qint32 n : {41, 42, 43}) {
        addOrder(n);
        addLine(QStringLiteral("rcv_posdata"), n, 1);
    }
    auto rows = output::loadPoNoList(connection_);
    // Meanwhile another workstation numbered 41 and the PO of 42 was sent.
    connection_.execute(
        QStringLiteral("Update rcv_denheaddata Set PO_NO = 'P99999999', PO_KBN = '0' Where ORD_NO = 41"));
    connection_.execute(QStringLiteral("Update rcv_denheaddata Set SEND_FLG = '1' Where ORD_NO = 42"));
    output::NumberingResult result;
    EXPECT_EQ(output::runPoNumbering(prompter_, connection_, po_, rows, &result), core::Outcome::Done);
    EXPECT_EQ(poNo(41), QStringLiteral("P99999999"));
    EXPECT_EQ(poNo(42), QString());
    EXPECT_EQ(poNo(43), QStringLiteral("P00000001"));
    EXPECT_EQ(result.skipped, 2);
    EXPECT_EQ(prompter_.messages().last(),
              QStringLiteral(
                  "[完了] "
                  "処理は終了しました。\r\n\r\n他の端末で採番または送信された発注2件はそのままにしました。"));
}

TEST_P(PoNumberingTest, NumberProceduresIssueTwoSeriesRecordedWithTheirCode) {
    output::registerNumberProcedures();
    struct Call {
        const char* procedure;
        QString kubun;
        int returnValue;
        QString number; // or the error text
    };
    const std::vector<Call> calls = {
        {"GET_PO_NUMBER", QStringLiteral("V001"), 0, QStringLiteral("P00000001")},
        {"GET_PO_NUMBER", QStringLiteral("V002"), 0, QStringLiteral("P00000002")},
        {"GET_GK_NUMBER", QStringLiteral("V001"), 0, QStringLiteral("G00000001")},
        {"GET_GK_NUMBER", QString(), 1, QStringLiteral("発注会社コード(@KUBUN)が指定されていません。")},
        {"GET_PO_NUMBER", QStringLiteral("V001"), 0, QStringLiteral("P00000003")},
    };
    for (const Call& c : calls) {
        SCOPED_TRACE(c.procedure);
        db::Command cmd(po_, QString::fromLatin1(c.procedure), 50);
        cmd.addParameter(QStringLiteral("@KUBUN"), db::ParamType::VarChar, db::ParamDirection::Input, 50,
                         c.kubun);
        cmd.addParameter(QStringLiteral("@PONO"), db::ParamType::VarChar, db::ParamDirection::InputOutput, 50,
                         QStringLiteral(""));
        cmd.addParameter(QStringLiteral("@errMsg"), db::ParamType::VarChar, db::ParamDirection::Output, 4000);
        cmd.execute();
        EXPECT_EQ(cmd.returnValue(), c.returnValue);
        EXPECT_EQ(
            cmd.value(c.returnValue == 0 ? QStringLiteral("@PONO") : QStringLiteral("@errMsg")).toString(),
            c.number);
    }
    EXPECT_EQ(column(po_, QStringLiteral("Select PO_NO || ' ' || SERIES || ' ' || KUBUN From PO_NUMBER_LOG "
                                         "Order By PO_NO")),
              (QStringList{QStringLiteral("G00000001 GK V001"), QStringLiteral("P00000001 PO V001"),
                           QStringLiteral("P00000002 PO V002"), QStringLiteral("P00000003 PO V001")}));
    // Long enough for every sheet name of a PO: "PO-" + number + "-" + line.
    EXPECT_LE(QStringLiteral("PO-%1-%2").arg(output::poNumberText(false, 99999999)).arg(99999).size(), 31);
}

INSTANTIATE_TEST_SUITE_P(Dialects, PoNumberingTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
