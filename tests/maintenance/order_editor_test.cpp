// The order editor's load and save on SQLite and PostgreSQL, with a second connection changing the
// order while it is open.

#include "maintenance/order_editor.h"
#include "maintenance/order_rows.h"
#include "platform/db/db_fixture.h"
#include "platform/db/reader.h"
#include "support/scripted_prompter.h"

using namespace kemnoa;
using maintenance::SaveEnd;

namespace {

class OrderEditorTest : public test::DialectTest {
protected:
    void SetUp() override {
        DialectTest::SetUp();
        if (IsSkipped())
            return;
        openFresh();
        test::insertHeader(connection_, test::HeaderRow{.ordNo = 10, .iraiNo = "0007"});
        for (int g = 1; g <= 3; ++g)
            connection_.execute(
                QStringLiteral("Insert Into rcv_posdata (ORD_NO, GYOU, TACD, SU) Values (10, ?, ?, ?)"),
                {g * 10, QStringLiteral("T%1").arg(g), g});
        for (int g = 1; g <= 2; ++g)
            connection_.execute(
                QStringLiteral("Insert Into rcv_fuzokudata (ORD_NO, GYOU, NAME_NM, SURYO1, TITLE1, "
                               "TITLE2) Values (10, ?, 'TAG', ?, ?, 'L')"),
                {g, g * 5, g == 1 ? QStringLiteral("S") : QStringLiteral("M")});
    }

    maintenance::EditedOrder open(qint32 n) {
        maintenance::EditedOrder o = maintenance::orderLayout(connection_);
        QString failure;
        EXPECT_TRUE(maintenance::loadOrder(connection_, n, o, &failure)) << failure.toStdString();
        return o;
    }

    SaveEnd save(maintenance::EditedOrder& o, db::Connection* on = nullptr) {
        return maintenance::saveOrder(prompter_, on ? *on : connection_, o,
                                      [this](qint32 n) { checked_ << n; });
    }

    QStringList column(const QString& sql) {
        QStringList out;
        for (db::Reader r = connection_.read(sql); !r.atEnd(); r.moveNext()) {
            QStringList row;
            for (int i = 0; i < r.columnCount(); ++i)
                row << r.text(i);
            out << row.join('|');
        }
        return out;
    }

    test::ScriptedPrompter prompter_;
    QList<qint32> checked_;
};

TEST_P(OrderEditorTest, LoadsTheWholeOrderAndSavesItRenumbered) {
    maintenance::EditedOrder o = open(10);
    ASSERT_EQ(o.pos.rows.size(), 3u);
    EXPECT_EQ(o.pos.columns.size(), 102u);
    EXPECT_EQ(o.pos.columns.front().name, QStringLiteral("TACD")); // the table's column order
    const int su = o.pos.columnOf("SU"), gyou = o.pos.columnOf("GYOU"), tacd = o.pos.columnOf("TACD");
    EXPECT_TRUE(o.pos.columns[su].number);
    EXPECT_FALSE(o.pos.columns[tacd].number);
    EXPECT_EQ(o.pos.rows[2][gyou], QStringLiteral("30"));
    EXPECT_EQ(o.titles.mid(0, 2), (QStringList{"M", "L"})); // the last line's titles remain
    EXPECT_EQ(o.header.value("IRAI_NO"), QStringLiteral("0007"));

    o.pos.rows.erase(o.pos.rows.begin() + 1); // the second of three
    o.pos.rows[1][su] = QStringLiteral("12abc");
    o.titles[0] = QStringLiteral("S'");
    o.header["IRAI_NO"] = QStringLiteral("0012");
    o.header["ORD_NO"] = QStringLiteral("11"); // not a key: the opened order is saved
    o.header["BIKO2"] = QStringLiteral("1");
    o.header["BIKO3"] = QStringLiteral("x");
    o.addFuki.rows.clear();
    prompter_.answer(true);
    EXPECT_EQ(save(o), SaveEnd::SavedClose);
    EXPECT_EQ(prompter_.messages(), QStringList{"[保存完了] 保存処理は完了しました。"});
    EXPECT_EQ(prompter_.splashTexts, QStringList{"画面上のデータをサーバーにUpdateしています"});
    EXPECT_FALSE(prompter_.splashOpen);
    EXPECT_EQ(prompter_.busyDepth, 0);
    EXPECT_EQ(checked_, QList<qint32>{10});

    EXPECT_EQ(column("Select GYOU, TACD, SU From rcv_posdata Where ORD_NO = 10 Order By GYOU"),
              (QStringList{"1|T1|1", "2|T3|12"}));
    EXPECT_EQ(column("Select IRAI_NO, BIKO2, BIKO3, SEND_FLG From rcv_denheaddata Where ORD_NO = 10"),
              QStringList{"12|1||9"});
    EXPECT_EQ(column("Select ORD_NO From rcv_denheaddata Where ORD_NO = 11"), QStringList{});
    EXPECT_EQ(
        column(
            "Select GYOU, TITLEKEI, TITLEMUJI, TITLE1, TITLE2, SURYO1 From rcv_fuzokudata Where ORD_NO = 10 "
            "Order By GYOU"),
        (QStringList{"1|合計|ムジ|S'|L|5", "2|合計|ムジ|S'|L|10"}));
    EXPECT_EQ(column("Select Count(*) From rcv_addfukidata Where ORD_NO = 10"), QStringList{"0"});
    EXPECT_EQ(o.pos.rows[1][gyou], QStringLiteral("2")); // the screen shows the new numbers
}

TEST_P(OrderEditorTest, RefusalsWriteNothing) {
    struct Case {
        const char* what;
        std::function<void(maintenance::EditedOrder&)> change;
        QString message;
    };
    const Case cases[] = {
        {"sent", [](auto& o) { o.header["SEND_FLG"] = "1"; }, "[禁止] 送信済みは更新できません。"},
        {"request number with letters", [](auto& o) { o.header["IRAI_NO"] = "12a"; },
         "[エラー] 依頼番号は数値で入力してください。"},
        {"empty request number", [](auto& o) { o.header["IRAI_NO"] = ""; },
         "[エラー] 依頼番号は数値で入力してください。"},
    };
    const QStringList before = column("Select * From rcv_denheaddata");
    for (const Case& c : cases) {
        maintenance::EditedOrder o = open(10);
        c.change(o);
        o.pos.rows.clear();
        prompter_.events.clear();
        prompter_.answer(true);
        EXPECT_EQ(save(o), SaveEnd::NotSaved) << c.what;
        EXPECT_EQ(prompter_.messages(), QStringList{c.message}) << c.what;
    }
    EXPECT_EQ(column("Select * From rcv_denheaddata"), before);
    EXPECT_EQ(column("Select Count(*) From rcv_posdata"), QStringList{"3"});
    EXPECT_TRUE(checked_.isEmpty());

    QString failure;
    maintenance::EditedOrder o = maintenance::orderLayout(connection_);
    EXPECT_FALSE(maintenance::loadOrder(connection_, 99, o, &failure));
    EXPECT_EQ(failure, QStringLiteral("発注番号(99）は見つかりません。"));
}

TEST_P(OrderEditorTest, AnotherConnectionsChangeIsNeverWrittenOver) {
    db::Connection other;
    other.open(settings_);
    struct Case {
        const char* change;
        QString message;
    };
    const Case cases[] = {
        {"Update rcv_denheaddata Set SEND_FLG = '1' Where ORD_NO = 10", "[禁止] 送信済みは更新できません。"},
        {"Update rcv_denheaddata Set PO_NO = 'P5', PO_KBN = '0' Where ORD_NO = 10",
         "[禁止] このデータは開いた後でPO番号が変わりました。\r\nデータを開き直してから更新してください。"},
        {"Delete From rcv_denheaddata Where ORD_NO = 10", "[エラー] 発注番号(10）は見つかりません。"},
    };
    for (const Case& c : cases) {
        maintenance::EditedOrder o = open(10);
        o.header["NOU_NM"] = QStringLiteral("変更");
        o.pos.rows.clear();
        other.execute(QString::fromUtf8(c.change));
        const QStringList stored = column("Select * From rcv_denheaddata");
        prompter_.events.clear();
        prompter_.answer(true);
        EXPECT_EQ(save(o), SaveEnd::NotSaved) << c.change;
        EXPECT_EQ(prompter_.messages(), QStringList{c.message}) << c.change;
        EXPECT_EQ(column("Select * From rcv_denheaddata"), stored) << c.change;
        EXPECT_EQ(column("Select Count(*) From rcv_posdata"), QStringList{"3"});
        EXPECT_FALSE(connection_.inTransaction());
        EXPECT_FALSE(prompter_.splashOpen);
        other.execute(QStringLiteral("Delete From rcv_denheaddata Where ORD_NO = 10"));
        test::insertHeader(other, test::HeaderRow{.ordNo = 10});
    }
}

TEST_P(OrderEditorTest, ANumberedOrderAsksAndDiscardsItsPosGeneratedRows) {
    connection_.execute(QStringLiteral("Update rcv_denheaddata Set PO_NO = 'P1', PO_KBN = '0', PRN_SU = 2"));
    test::insertHeader(connection_, test::HeaderRow{.ordNo = 20, .poNo = "P1", .poKbn = "0", .prnSu = 2});
    test::insertLines(connection_, 20, "P1", "0");
    test::insertLines(connection_, 30, "P1", "1"); // the other kind of the same number stays
    maintenance::EditedOrder o = open(10);

    prompter_.answer(true);
    prompter_.answer(false);
    EXPECT_EQ(save(o), SaveEnd::NotSaved);
    EXPECT_EQ(column("Select Count(*) From rcv_csvdata"), QStringList{"2"});

    prompter_.events.clear();
    prompter_.answer(true);
    prompter_.answer(true);
    EXPECT_EQ(save(o), SaveEnd::SavedClose);
    ASSERT_GE(prompter_.events.size(), 2u);
    EXPECT_EQ(prompter_.events[1].text,
              QStringLiteral("PO番号採番済みのデータを更新しようとしています。\r\n"
                             "更新後、必ずPDF作成処理を行ってください。\r\n\r\n更新しますか？"));
    EXPECT_EQ(column("Select PO_KBN From rcv_csvdata"), QStringList{"1"});
    EXPECT_EQ(column("Select PO_KBN From rcv_skdata"), QStringList{"1"});
    EXPECT_EQ(column("Select ORD_NO, PRN_SU, PO_NO From rcv_denheaddata Order By ORD_NO"),
              (QStringList{"10|0|P1", "20|0|P1"}));
}

TEST_P(OrderEditorTest, AFailingWriteStepRollsEverythingBack) {
    maintenance::EditedOrder o = open(10);
    o.header["NOU_NM"] = QStringLiteral("変更");
    o.pos.rows.pop_back();
    connection_.execute(QStringLiteral("Drop Table rcv_fuzokudata")); // the last step fails
    prompter_.answer(true);
    EXPECT_EQ(save(o), SaveEnd::NotSaved);
    ASSERT_EQ(prompter_.messages().size(), 1);
    EXPECT_TRUE(prompter_.messages()[0].startsWith("[エラー] データの更新中にエラーが発生しました。"));
    EXPECT_FALSE(prompter_.splashOpen);
    EXPECT_EQ(prompter_.busyDepth, 0);
    EXPECT_EQ(column("Select NOU_NM From rcv_denheaddata"), QStringList{"納品先"});
    EXPECT_EQ(column("Select Count(*) From rcv_posdata"), QStringList{"3"});
    EXPECT_TRUE(checked_.isEmpty());
}

TEST_P(OrderEditorTest, MasterCheckFindingsAreShownAndTheAnswerDecides) {
    maintenance::EditedOrder o = open(10);
    prompter_.answer(true);
    prompter_.answer(false);
    const SaveEnd end = maintenance::saveOrder(prompter_, connection_, o, [this](qint32 n) {
        connection_.execute(
            QStringLiteral("Insert Into rcv_errdata (ORD_NO, GYOU, ERR_TITLE, ERR_VALUE, ERR_MESSAGE) "
                           "Values (?, 1, '決済区分エラー', '韓国決済', '決済区分が違います')"),
            {n});
    });
    EXPECT_EQ(end, SaveEnd::SavedStay);
    ASSERT_EQ(prompter_.events.size(), 3u);
    EXPECT_EQ(prompter_.events[1].title, QStringLiteral("決済区分エラー"));
    EXPECT_EQ(prompter_.events[1].text,
              QStringLiteral("マスタチェック結果\r\n\r\n韓国決済\r\n決済区分が違います"));
    EXPECT_EQ(prompter_.events[1].icon, core::MsgIcon::Exclamation);
    EXPECT_EQ(prompter_.events[2].text, QStringLiteral("マスタチェックの結果、エラーがありました。\r\n\r\n"
                                                       "保存処理は完了しましたが、画面を閉じますか？"));
    EXPECT_EQ(prompter_.events[2].title, QStringLiteral("保存完了"));
}

TEST(LeadingNumber, TheNumberATextStartsWith) {
    struct Case {
        const char* text;
        QVariant value;
    };
    const Case cases[] = {{"12", qint64(12)}, {"0012", qint64(12)},  {"-3", qint64(-3)}, {"1.5", 1.5},
                          {"2.0", qint64(2)}, {"12abc", qint64(12)}, {"abc", qint64(0)}, {"", qint64(0)},
                          {" 7", qint64(7)},  {".5", 0.5},           {"-", qint64(0)},   {"+.", qint64(0)}};
    for (const Case& c : cases)
        EXPECT_EQ(maintenance::leadingNumber(QString::fromUtf8(c.text)), c.value) << c.text;
    for (const char* yes : {"12", "0012", "-1", "1.25", " 5 "})
        EXPECT_TRUE(maintenance::isPlainNumber(QString::fromUtf8(yes))) << yes;
    for (const char* no : {"", "12a", "1.", ".5", "1e3", "１２"})
        EXPECT_FALSE(maintenance::isPlainNumber(QString::fromUtf8(no))) << no;
}

INSTANTIATE_TEST_SUITE_P(Dialects, OrderEditorTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
