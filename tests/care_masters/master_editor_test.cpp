// The care-symbol and term master screens' rules over a real database (SQLite, and PostgreSQL when
// the test cluster is there).

#include "care_fixture.h"
#include "care_masters/master_editor.h"
#include "platform/db/db_fixture.h"
#include "support/scripted_prompter.h"

using namespace kemnoa;
using care_masters::MasterEditor;

namespace {

class MasterEditorTest : public test::DialectTest {
protected:
    void SetUp() override {
        DialectTest::SetUp();
        if (IsSkipped())
            return;
        openFresh();
        test::prepareProgramFolder(folder_.path());
        test::addEhj(connection_, QStringLiteral("E0001"), {QStringLiteral("1010"), QStringLiteral("2010")});
        test::addEhj(connection_, QStringLiteral("E0003"), {QStringLiteral("1030")},
                     QStringLiteral("2024/02/02 02:02:02"), QStringLiteral("X3"));
        test::addEhj(connection_, QStringLiteral("E0002"), {QStringLiteral("1020")});
    }
    void TearDown() override { core::setProgramFolder({}); }

    MasterEditor opened(const care_masters::MasterKind& kind = care_masters::ehjKind()) {
        MasterEditor e(kind, prompter_, connection_);
        EXPECT_TRUE(e.open());
        return e;
    }
    void unlock(MasterEditor& e) {
        prompter_.inputAnswer(QStringLiteral("fern"));
        e.unlock();
        ASSERT_FALSE(e.locked());
    }
    QStringList master() {
        QStringList out;
        for (db::Reader r =
                 connection_.read(QStringLiteral("Select EHJ_NO, EHJ1, EHJ2, EHJ3, UPD From kemmst_ehj "
                                                 "Order By EHJ_NO"));
             !r.atEnd(); r.moveNext())
            out << QStringList{r.text(0), r.text(1), r.text(2), r.text(3), r.text(4)}.join(QLatin1Char('|'));
        return out;
    }

    QTemporaryDir folder_;
    test::ScriptedPrompter prompter_;
};

TEST_P(MasterEditorTest, OpensLockedOnTheHighestNumberAndChoosesByNumber) {
    MasterEditor e = opened();
    EXPECT_TRUE(e.locked());
    EXPECT_EQ(e.modeText(), QStringLiteral("通常"));
    EXPECT_EQ(e.numberList(), (QStringList{"E0001", "E0002", "E0003"}));
    EXPECT_EQ(e.fields.number, QStringLiteral("E0003"));
    EXPECT_EQ(e.fields.henkan, QStringLiteral("X3"));
    EXPECT_EQ(e.fields.values, (QStringList{"1030", "", "", "", "", ""}));

    e.choose(QStringLiteral("E0001"));
    EXPECT_EQ(e.fields.values.mid(0, 2), (QStringList{"1010", "2010"}));
    e.choose(QStringLiteral("E9999"));
    EXPECT_EQ(prompter_.messages(), QStringList{QStringLiteral("[Not Find] レコードが見つかりません。")});
    EXPECT_EQ(e.fields.number, QStringLiteral("E0001")); // stays on the set shown before
}

TEST_P(MasterEditorTest, UnlockNeedsTheExactCodeOnce) {
    MasterEditor e = opened();
    prompter_.inputAnswer(QStringLiteral("FERN"));
    e.unlock();
    EXPECT_TRUE(e.locked());
    ASSERT_EQ(prompter_.events.size(), 2u);
    EXPECT_EQ(prompter_.events[0].title, QStringLiteral("パスワード入力"));
    EXPECT_TRUE(prompter_.events[0].text.startsWith(QStringLiteral("パスワードを入力してください。\r\n")));
    EXPECT_EQ(prompter_.messages(), QStringList{QStringLiteral("[エラー] パスワードガチガイマス！！")});
    unlock(e);
    e.unlock();
    EXPECT_EQ(prompter_.messages().last(), QStringLiteral("[エラー] 既に解除されています。"));
}

TEST_P(MasterEditorTest, PaletteFillsTheFirstFreePositionAndRemovingClosesTheGap) {
    MasterEditor e = opened();
    e.pickSymbol(QStringLiteral("2020")); // locked: only a beep
    EXPECT_EQ(prompter_.events.back().kind, test::PromptEvent::Kind::Beep);
    e.choose(QStringLiteral("E0001"));
    unlock(e);
    e.pickSymbol(QStringLiteral("3010"));
    EXPECT_EQ(e.fields.values, (QStringList{"1010", "2010", "3010", "", "", ""}));
    e.pickSymbol(QStringLiteral("9999")); // no picture file: not picked
    e.removeSymbol(1);
    EXPECT_EQ(e.fields.values, (QStringList{"2010", "3010", "", "", "", ""}));
    for (const char* c : {"4010", "5010", "6010", "1050"})
        e.pickSymbol(QString::fromLatin1(c));
    EXPECT_EQ(e.fields.values, (QStringList{"2010", "3010", "4010", "5010", "6010", "1050"}));
    e.pickSymbol(QStringLiteral("1060")); // all six filled
    EXPECT_EQ(e.fields.values.last(), QStringLiteral("1050"));
    e.removeSymbol(6);
    EXPECT_EQ(e.fields.values.last(), QString());
}

TEST_P(MasterEditorTest, SaveRenumbersAndRefusesADuplicateOrALockedRenumber) {
    MasterEditor e = opened();
    e.choose(QStringLiteral("E0002"));
    e.fields.number = QStringLiteral("E0010");
    prompter_.answer(true);
    e.save(); // locked
    EXPECT_EQ(prompter_.messages().last(),
              QStringLiteral("[エラー] ロック解除されていません。\r\nキャンセルします。"));
    unlock(e);
    e.fields.number = QStringLiteral("e0001");
    prompter_.answer(true);
    e.save();
    EXPECT_EQ(prompter_.messages().last(),
              QStringLiteral("[重複] 変更された絵表示番号(e0001)は既に登録済みです。"));
    EXPECT_EQ(e.numberList(), (QStringList{"E0001", "E0002", "E0003"}));

    e.fields.number = QStringLiteral("E0010");
    e.fields.henkan = QStringLiteral("H'10");
    prompter_.answer(true);
    e.save();
    EXPECT_EQ(e.numberList(), (QStringList{"E0001", "E0010", "E0003"}));
    EXPECT_EQ(
        test::cell(connection_, QStringLiteral("Select EHJ_HENKAN From kemmst_ehj Where EHJ_NO = 'E0010'")),
        QStringLiteral("H'10"));
    EXPECT_EQ(test::cell(connection_, QStringLiteral("Select UPD From kemmst_ehj Where EHJ_NO = 'E0010'")),
              QStringLiteral("2024/01/01 00:00:00")); // a filled date is kept
}

TEST_P(MasterEditorTest, LockedSaveStillWritesTheConversionCode) {
    MasterEditor e = opened();
    e.fields.henkan = QStringLiteral("NEW");
    prompter_.answer(true);
    e.save();
    EXPECT_EQ(
        test::cell(connection_, QStringLiteral("Select EHJ_HENKAN From kemmst_ehj Where EHJ_NO = 'E0003'")),
        QStringLiteral("NEW"));
    prompter_.answer(false); // declined: nothing written
    e.fields.henkan = QStringLiteral("NOT");
    e.save();
    EXPECT_EQ(
        test::cell(connection_, QStringLiteral("Select EHJ_HENKAN From kemmst_ehj Where EHJ_NO = 'E0003'")),
        QStringLiteral("NEW"));
}

TEST_P(MasterEditorTest, NewSetIsAppendedToTheListAndDatedNow) {
    MasterEditor e = opened();
    e.newSet();
    EXPECT_EQ(prompter_.events.back().kind, test::PromptEvent::Kind::Beep); // locked
    unlock(e);
    prompter_.inputAnswer(QStringLiteral("E0002"));
    e.newSet();
    EXPECT_EQ(prompter_.messages().last(), QStringLiteral("[新規エラー] 既に登録済みです。"));
    EXPECT_EQ(e.mode(), MasterEditor::Mode::Normal);

    prompter_.inputAnswer(QStringLiteral("A'01"));
    e.newSet();
    EXPECT_EQ(e.modeText(), QStringLiteral("新規"));
    EXPECT_EQ(e.fields.values, QStringList(6, QString()));
    e.newSet(); // already new
    EXPECT_EQ(prompter_.events.back().kind, test::PromptEvent::Kind::Beep);
    e.pickSymbol(QStringLiteral("4020"));
    prompter_.answer(true);
    e.save();
    EXPECT_EQ(e.numberList(), (QStringList{"E0001", "E0002", "E0003", "A'01"}));
    EXPECT_EQ(e.fields.upd.size(), 19);
    EXPECT_EQ(test::cell(connection_, QStringLiteral("Select EHJ1 From kemmst_ehj Where EHJ_NO = ?"),
                         {QStringLiteral("A'01")}),
              QStringLiteral("4020"));
    // The apostrophe number is found again.
    e.choose(QStringLiteral("E0001"));
    e.choose(QStringLiteral("A'01"));
    EXPECT_EQ(e.fields.values.first(), QStringLiteral("4020"));
}

TEST_P(MasterEditorTest, AFailingWriteIsTrappedAndChangesNothing) {
    MasterEditor e = opened();
    unlock(e);
    // Another workstation adds the number after this screen loaded the master.
    test::addEhj(connection_, QStringLiteral("E0005"), {QStringLiteral("6040")});
    prompter_.inputAnswer(QStringLiteral("E0005"));
    e.newSet();
    e.pickSymbol(QStringLiteral("1010"));
    prompter_.answer(true);
    e.save();
    ASSERT_EQ(prompter_.events.back().title, QStringLiteral("cmdUpdate_Click"));
    EXPECT_EQ(prompter_.events.back().icon, core::MsgIcon::Critical);
    EXPECT_EQ(e.numberList(), (QStringList{"E0001", "E0002", "E0003"}));
    EXPECT_EQ(test::cell(connection_, QStringLiteral("Select EHJ1 From kemmst_ehj Where EHJ_NO = 'E0005'")),
              QStringLiteral("6040"));
    EXPECT_EQ(e.modeText(), QStringLiteral("新規")); // what was typed stays to be put right
}

TEST_P(MasterEditorTest, DeleteRemovesTheDeletedRowsEntryDownToAnEmptyMaster) {
    MasterEditor e = opened();
    unlock(e);
    e.choose(QStringLiteral("E0002"));
    e.fields.number = QStringLiteral("E0001"); // typed over, not saved
    prompter_.answer(true);
    e.deleteSet();
    EXPECT_EQ(e.numberList(), (QStringList{"E0001", "E0003"}));
    EXPECT_EQ(e.fields.number, QStringLiteral("E0001")); // the first row is shown
    EXPECT_EQ(master().size(), 2);
    for (int i = 0; i < 2; ++i) {
        prompter_.answer(true);
        e.deleteSet();
    }
    EXPECT_TRUE(e.numberList().isEmpty());
    EXPECT_FALSE(e.hasCurrent());
    EXPECT_EQ(e.fields.number, QString());
    EXPECT_TRUE(master().isEmpty());
    // An empty master takes a new set.
    prompter_.inputAnswer(QStringLiteral("E0100"));
    e.newSet();
    prompter_.answer(true);
    e.save();
    EXPECT_EQ(master().size(), 1);
}

TEST_P(MasterEditorTest, TermMasterSavesTheWording) {
    test::addFuki(connection_, QStringLiteral("F001"), QStringLiteral("手洗い"));
    MasterEditor e = opened(care_masters::fukiKind());
    EXPECT_EQ(e.fields.values, QStringList{QStringLiteral("手洗い")});
    prompter_.answer(true);
    e.fields.number.clear();
    e.save();
    EXPECT_EQ(prompter_.messages().last(), QStringLiteral("[] 付記用語番号が入力されていません。"));
    unlock(e);
    e.fields.number = QStringLiteral("F001");
    e.fields.values[0] = QStringLiteral("陰干し'してください");
    prompter_.answer(true);
    e.save();
    EXPECT_EQ(test::cell(connection_, QStringLiteral("Select FUKI_NAIYO From kemmst_fuki")),
              QStringLiteral("陰干し'してください"));
}

INSTANTIATE_TEST_SUITE_P(Dialects, MasterEditorTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
