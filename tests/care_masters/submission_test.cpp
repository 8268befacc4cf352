// Paging through waiting submissions, applying and discarding them.

#include "care_fixture.h"
#include "care_masters/submission_confirmation.h"
#include "platform/db/db_fixture.h"
#include "support/scripted_prompter.h"

using namespace kemnoa;
using care_masters::SubmissionConfirmation;

namespace {

const QString kAsk = QStringLiteral("クライアントより送信されてきたデータを反映させます。\r\n\r\n");

class SubmissionTest : public test::DialectTest {
protected:
    void SetUp() override {
        DialectTest::SetUp();
        if (IsSkipped())
            return;
        openFresh();
        test::prepareProgramFolder(folder_.path());
        test::addEhj(connection_, QStringLiteral("E0001"), {QStringLiteral("1010")},
                     QStringLiteral("2020/01/01 00:00:00"), QStringLiteral("KEEP"));
    }
    void TearDown() override { core::setProgramFolder({}); }

    QString ehj(const QString& column, const QString& no) {
        return test::cell(connection_,
                          QStringLiteral("Select %1 From kemmst_ehj Where EHJ_NO = ?").arg(column), {no});
    }
    QString staged(const QString& column, qint32 id) {
        return test::cell(connection_, QStringLiteral("Select %1 From rrk_ehj Where ID = ?").arg(column),
                          {id});
    }

    QTemporaryDir folder_;
    test::ScriptedPrompter prompter_;
};

TEST_P(SubmissionTest, NothingWaitingSaysSo) {
    test::stageEhj(connection_, QStringLiteral("E0001"), {}, QStringLiteral("U"));
    connection_.execute(QStringLiteral("Update rrk_ehj Set KAKUNIN_FLG = '1'"));
    SubmissionConfirmation c(care_masters::ehjKind(), prompter_, connection_);
    EXPECT_FALSE(c.open());
    EXPECT_EQ(prompter_.messages(), QStringList{QStringLiteral("[なし] 確認可能なデータはありません。")});
    EXPECT_EQ(c.page(), 0);
    EXPECT_EQ(c.pageCount(), 0);
    c.discard(); // nothing shown: no update, no prompt
    EXPECT_EQ(prompter_.events.back().kind, test::PromptEvent::Kind::Beep);
}

TEST_P(SubmissionTest, PagesShowSubmissionBesideMasterAndArrowsKeepNotes) {
    const qint32 a =
        test::stageEhj(connection_, QStringLiteral("E0001"), {QStringLiteral("2020"), QStringLiteral("3010")},
                       QStringLiteral("U"), {QStringLiteral("予備1")});
    const qint32 b =
        test::stageEhj(connection_, QStringLiteral("E0009"), {QStringLiteral("4010")}, QStringLiteral("X"));
    SubmissionConfirmation c(care_masters::ehjKind(), prompter_, connection_);
    ASSERT_TRUE(c.open());
    EXPECT_EQ(c.pageIds(), (QList<qint32>{a, b}));
    EXPECT_EQ(c.page(), 1);
    EXPECT_EQ(c.current.kindLabel, QStringLiteral("更新"));
    EXPECT_EQ(c.current.sent.values.mid(0, 3), (QStringList{"2020", "3010", ""}));
    EXPECT_EQ(c.current.sent.spares.first(), QStringLiteral("予備1"));
    EXPECT_EQ(c.current.master.values.first(), QStringLiteral("1010"));
    EXPECT_EQ(c.current.master.upd, QStringLiteral("2020/01/01 00:00:00"));

    c.previous(); // first page: beep, the note is not saved
    c.current.memo = QStringLiteral("確認中'です");
    c.next();
    EXPECT_EQ(staged(QStringLiteral("MEMO"), a), QStringLiteral("確認中'です"));
    EXPECT_EQ(c.current.kindLabel, QStringLiteral("不明"));
    EXPECT_EQ(c.current.master.values, QStringList(6, QString())); // a new number: empty master side
    c.current.memo = QStringLiteral("not saved");
    c.next(); // last page: beep only
    EXPECT_EQ(prompter_.events.back().kind, test::PromptEvent::Kind::Beep);
    EXPECT_EQ(staged(QStringLiteral("MEMO"), b), QString());
    c.closing();
    EXPECT_EQ(staged(QStringLiteral("MEMO"), b), QStringLiteral("not saved"));
}

TEST_P(SubmissionTest, ConfirmAppliesEachKindAndMarksItHandled) {
    struct Case {
        const char* no;
        const char* flg;
        const char* question; // empty: applied without one
        const char* ehj1;     // EHJ1 in the master afterwards; "<no row>" when there is none
        const char* henkan;
    };
    const Case cases[] = {
        {"E0001", "N", "新規追加します。よろしいですか？", "6010", "KEEP"},     // existing number: updated
        {"E0002", "U", "更新（又は追加）します。よろしいですか？", "6010", ""}, // missing number: added
        {"E0001", "D", "削除します。よろしいですか？", "<no row>", "<no row>"},
        {"E0003", "D", "削除します。よろしいですか？", "<no row>", "<no row>"}, // nothing to delete
        {"E0004", "Z", "", "<no row>", "<no row>"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.no) + k.flg);
        const qint32 id = test::stageEhj(connection_, QString::fromLatin1(k.no), {QStringLiteral("6010")},
                                         QString::fromLatin1(k.flg), {QStringLiteral("b'1")});
        prompter_ = test::ScriptedPrompter();
        SubmissionConfirmation c(care_masters::ehjKind(), prompter_, connection_);
        ASSERT_TRUE(c.open());
        prompter_.answer(true);
        c.confirm();
        QStringList expected;
        if (*k.question)
            expected << QStringLiteral("Q[確認OK?] ") + kAsk + QString::fromUtf8(k.question);
        expected << QStringLiteral("M[完了] 更新処理は完了しました。");
        QStringList seen;
        for (const auto& e : prompter_.events)
            if (e.kind != test::PromptEvent::Kind::Beep)
                seen << (e.kind == test::PromptEvent::Kind::Question ? QStringLiteral("Q[")
                                                                     : QStringLiteral("M[")) +
                            e.title + QStringLiteral("] ") + e.text;
        EXPECT_EQ(seen, expected);
        EXPECT_EQ(staged(QStringLiteral("KAKUNIN_FLG"), id), QStringLiteral("1"));
        EXPECT_EQ(ehj(QStringLiteral("EHJ1"), QString::fromLatin1(k.no)), QString::fromUtf8(k.ehj1));
        EXPECT_EQ(ehj(QStringLiteral("EHJ_HENKAN"), QString::fromLatin1(k.no)), QString::fromUtf8(k.henkan));
        if (QString::fromUtf8(k.ehj1) != QLatin1String("<no row>")) {
            EXPECT_EQ(ehj(QStringLiteral("B01"), QString::fromLatin1(k.no)), QStringLiteral("b'1"));
        }
        // The last page stays, now handled.
        EXPECT_EQ(c.page(), 1);
        EXPECT_EQ(c.current.handledLabel, QStringLiteral("確認OK処理済み"));
    }
}

TEST_P(SubmissionTest, DeclinedConfirmAndWrongDiscardCodeChangeNothing) {
    const qint32 id =
        test::stageEhj(connection_, QStringLiteral("E0001"), {QStringLiteral("6010")}, QStringLiteral("U"));
    SubmissionConfirmation c(care_masters::ehjKind(), prompter_, connection_);
    ASSERT_TRUE(c.open());
    c.current.memo = QStringLiteral("typed");
    prompter_.answer(false);
    c.confirm();
    EXPECT_EQ(prompter_.messages().last(), QStringLiteral("[キャンセル] キャンセルしました。"));
    prompter_.inputAnswer(QStringLiteral("wrong"));
    c.discard();
    EXPECT_EQ(prompter_.messages().last(), QStringLiteral("[エラー] パスワードガチガイマス！！"));
    EXPECT_EQ(prompter_.events[prompter_.events.size() - 2].title, QStringLiteral("削除"));
    EXPECT_EQ(staged(QStringLiteral("KAKUNIN_FLG"), id), QStringLiteral("0"));
    EXPECT_EQ(staged(QStringLiteral("MEMO"), id), QString());
    EXPECT_EQ(ehj(QStringLiteral("EHJ1"), QStringLiteral("E0001")), QStringLiteral("1010"));

    prompter_.inputAnswer(QStringLiteral("fern"));
    c.discard(); // the note typed is not saved by a discard
    EXPECT_EQ(staged(QStringLiteral("KAKUNIN_FLG"), id), QStringLiteral("1"));
    EXPECT_EQ(staged(QStringLiteral("MEMO"), id), QString());
    EXPECT_EQ(ehj(QStringLiteral("EHJ1"), QStringLiteral("E0001")), QStringLiteral("1010"));
}

TEST_P(SubmissionTest, AFailingApplyLeavesMasterAndSubmissionAsTheyWere) {
    const qint32 id =
        test::stageEhj(connection_, QStringLiteral("E0002"), {QStringLiteral("6010")}, QStringLiteral("N"));
    SubmissionConfirmation c(care_masters::ehjKind(), prompter_, connection_);
    ASSERT_TRUE(c.open());
    // The mark cannot be written: the whole apply must be undone.
    connection_.execute(QStringLiteral("Alter Table rrk_ehj Rename Column KAKUNIN_FLG To KAKUNIN_X"));
    c.current.memo = QStringLiteral("memo");
    prompter_.answer(true);
    c.confirm();
    ASSERT_EQ(prompter_.events.back().title, QStringLiteral("cmdOk_Click"));
    connection_.execute(QStringLiteral("Alter Table rrk_ehj Rename Column KAKUNIN_X To KAKUNIN_FLG"));
    EXPECT_EQ(ehj(QStringLiteral("EHJ1"), QStringLiteral("E0002")), QStringLiteral("<no row>"));
    EXPECT_EQ(staged(QStringLiteral("KAKUNIN_FLG"), id), QStringLiteral("0"));
    EXPECT_EQ(staged(QStringLiteral("MEMO"), id), QString());
}

TEST_P(SubmissionTest, TermSubmissionUpdatesTheWording) {
    test::addFuki(connection_, QStringLiteral("F001"), QStringLiteral("old"));
    const qint32 id = test::stageFuki(connection_, QStringLiteral("F001"), QStringLiteral("新しい'文言"),
                                      QStringLiteral("U"));
    const auto waiting = care_masters::waitingSubmissions(care_masters::fukiKind(), connection_);
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].id, id);
    prompter_.answer(true);
    EXPECT_EQ(care_masters::applySubmissionById(care_masters::fukiKind(), prompter_, connection_, id),
              core::Outcome::Done);
    EXPECT_EQ(test::cell(connection_, QStringLiteral("Select FUKI_NAIYO From kemmst_fuki")),
              QStringLiteral("新しい'文言"));
    EXPECT_TRUE(care_masters::waitingSubmissions(care_masters::fukiKind(), connection_).empty());
}

INSTANTIATE_TEST_SUITE_P(Dialects, SubmissionTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
