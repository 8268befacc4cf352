#include "core/error.h"
#include "core/menu.h"
#include "core/menu_grid_model.h"
#include "core/program_folder.h"
#include "core/session.h"
#include "support/scripted_prompter.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace kemnoa;
using core::MenuController;

namespace {

struct RecordingOpener : core::JobOpener {
    bool openJob(int code) override {
        opened.push_back(code);
        if (code == failingCode)
            throw core::Error(QStringLiteral("ウィンドウを開けません。"), 91);
        return true;
    }
    std::vector<int> opened;
    int failingCode = 0;
};

struct RecordingStarter : core::ProgramStarter {
    void start(const QString& program, const QStringList& arguments) override {
        this->program = program;
        this->arguments = arguments;
        ++starts;
    }
    QString program;
    QStringList arguments;
    int starts = 0;
};

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        core::resetSession();
        ASSERT_TRUE(home.isValid());
        core::setProgramFolder(home.path());
        menu.open();
    }
    void TearDown() override { core::setProgramFolder({}); }

    // Types a code on the current page and presses Enter.
    void enter(const QString& text) { menu.enterCode(text); }

    QTemporaryDir home;
    test::ScriptedPrompter prompter;
    RecordingOpener opener;
    RecordingStarter starter;
    MenuController menu{prompter, opener, starter};
};

TEST(MenuTable, FivePagesOfSeventeenSlots) {
    const auto& table = core::menuTable();
    ASSERT_EQ(table.size(), 5u);
    const QStringList titles = {QStringLiteral("メインメニュー"), QStringLiteral("発注処理"),
                                QStringLiteral("マスタ登録"), QStringLiteral("マスタ印刷"),
                                QStringLiteral("営業メニュー")};
    for (int p = 0; p < 5; ++p) {
        EXPECT_EQ(table[p].number, p + 1);
        EXPECT_EQ(table[p].title, titles[p]);
        EXPECT_EQ(table[p].itemCount, 17);
        EXPECT_EQ(table[p].items[16].code, QStringLiteral("99")) << "page " << p + 1;
        for (int s = 0; s < 17; ++s)
            EXPECT_EQ(table[p].items[s].slot, s + 1);
    }
    EXPECT_EQ(table[0].items[16].name, QStringLiteral("終了"));
    EXPECT_EQ(table[1].items[9].code, QStringLiteral("10"));
    EXPECT_EQ(table[1].items[9].name, QStringLiteral("エラー確認"));
    EXPECT_TRUE(table[1].items[5].code.isEmpty()); // slot 6 of page 2 is unused
    EXPECT_EQ(table[2].items[8].code, QStringLiteral("09"));
    EXPECT_TRUE(table[2].items[8].name.isEmpty());
    EXPECT_EQ(table[4].items[0].name, QStringLiteral("海外管理ファイル作成"));
}

TEST(MenuTable, JobCodeIsPageAndLastTwoCharactersOfZeroPlusText) {
    struct Case {
        int page;
        const char* text;
        const char* code;
    };
    const Case cases[] = {{1, "1", "101"},   {1, "01", "101"}, {1, "99", "199"},
                          {2, "123", "223"}, {3, "", "30"},    {5, "0001", "501"}};
    for (const Case& c : cases)
        EXPECT_EQ(core::formJobCode(c.page, QString::fromUtf8(c.text)), QString::fromUtf8(c.code)) << c.text;
}

TEST_F(MenuTest, OpensOnTheMainPage) {
    EXPECT_EQ(menu.currentPage(), 1);
    EXPECT_EQ(menu.pageTitle(), QStringLiteral("メインメニュー"));
    EXPECT_EQ(menu.rows()[0][0], QStringLiteral("01"));
    EXPECT_EQ(menu.rows()[0][1], QStringLiteral("発注処理"));
    EXPECT_TRUE(menu.rows()[5][0].isEmpty());
    EXPECT_TRUE(prompter.events.empty());
}

TEST_F(MenuTest, PageCodesAndReturnToMainPage) {
    enter(QStringLiteral("1"));
    EXPECT_EQ(menu.currentPage(), 2);
    EXPECT_EQ(menu.pageTitle(), QStringLiteral("発注処理"));
    EXPECT_EQ(menu.rows()[0][1], QStringLiteral("発注書受信"));
    enter(QStringLiteral("99"));
    EXPECT_EQ(menu.currentPage(), 1);
    enter(QStringLiteral("4"));
    EXPECT_EQ(menu.currentPage(), 5);
    enter(QStringLiteral("99"));
    EXPECT_EQ(menu.currentPage(), 1);
    EXPECT_FALSE(menu.closeRequested());
    EXPECT_TRUE(opener.opened.empty());
}

TEST_F(MenuTest, NinetyNineOnTheMainPageClosesTheMenu) {
    enter(QStringLiteral("99"));
    EXPECT_TRUE(menu.closeRequested());
}

TEST_F(MenuTest, MasterPageCodes) {
    enter(QStringLiteral("2"));
    ASSERT_EQ(menu.currentPage(), 3);
    enter(QStringLiteral("09")); // listed but empty: nothing
    EXPECT_EQ(menu.currentPage(), 3);
    EXPECT_TRUE(opener.opened.empty());
    enter(QStringLiteral("10"));
    EXPECT_EQ(opener.opened, std::vector<int>{310});
    EXPECT_EQ(menu.currentPage(), 3);
    enter(QStringLiteral("99"));
    EXPECT_EQ(menu.currentPage(), 1);
}

TEST_F(MenuTest, UnknownCodeKeepsThePage) {
    enter(QStringLiteral("1"));
    enter(QStringLiteral("06"));
    EXPECT_EQ(menu.currentPage(), 2);
    enter(QStringLiteral("206")); // "206" -> "06"
    EXPECT_EQ(menu.currentPage(), 2);
    EXPECT_TRUE(opener.opened.empty());
    EXPECT_TRUE(prompter.events.empty());
}

TEST_F(MenuTest, EveryJobItemOpensItsJobCode) {
    // The page code typed on the main page, the item code typed on that page, the job opened.
    struct Case {
        const char* page;
        const char* item;
        int job;
    };
    const Case cases[] = {
        {"1", "01", 201}, {"1", "02", 202}, {"1", "03", 203}, {"1", "04", 204}, {"1", "5", 205},
        {"1", "10", 210}, {"1", "11", 211}, {"1", "12", 212}, {"2", "01", 301}, {"2", "2", 302},
        {"2", "03", 303}, {"2", "04", 304}, {"2", "05", 305}, {"2", "06", 306}, {"2", "07", 307},
        {"2", "08", 308}, {"2", "10", 310}, {"3", "01", 401}, {"3", "02", 402},
    };
    std::vector<int> expected;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.job);
        opener.opened.clear();
        ASSERT_EQ(menu.currentPage(), 1);
        enter(QString::fromLatin1(c.page));
        enter(QString::fromLatin1(c.item));
        EXPECT_EQ(opener.opened, std::vector<int>{c.job});
        EXPECT_EQ(menu.currentPage(), QString::fromLatin1(c.page).toInt() + 1); // the page stays
        enter(QStringLiteral("99"));
        expected.push_back(c.job);
    }
    // Every job with a window of its own is reached from the menu (309 does nothing, 501 starts a program).
    QList<int> windows = core::jobWindowCodes();
    std::sort(windows.begin(), windows.end());
    EXPECT_EQ(windows, QList<int>(expected.begin(), expected.end()));
    EXPECT_TRUE(prompter.events.empty());
}

TEST_F(MenuTest, TextThatIsNotDigitsIsSelectedAgain) {
    EXPECT_EQ(menu.enterCode(QStringLiteral("1a")), MenuController::EnterResult::SelectAll);
    EXPECT_EQ(menu.enterCode(QString()), MenuController::EnterResult::Ignored);
    EXPECT_EQ(menu.currentPage(), 1);
}

TEST_F(MenuTest, ChoosingRows) {
    int clears = 0;
    menu.onClearCode = [&] { ++clears; };
    menu.activateRow(7); // an empty row
    EXPECT_EQ(menu.currentPage(), 1);
    EXPECT_TRUE(prompter.events.empty());
    menu.activateRow(1); // マスタ登録
    EXPECT_EQ(menu.currentPage(), 3);
    menu.activateRow(4); // 付記用語
    EXPECT_EQ(opener.opened, std::vector<int>{305});
    menu.activateRow(16); // 戻る
    EXPECT_EQ(menu.currentPage(), 1);
    EXPECT_EQ(clears, 4);
}

TEST_F(MenuTest, AFailingJobWindowIsReportedAndTheMenuStaysUsable) {
    opener.failingCode = 202;
    enter(QStringLiteral("1"));
    EXPECT_TRUE(menu.PP_Act(QStringLiteral("202")));
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("[PP_Act] ウィンドウを開けません。(91)")});
    EXPECT_EQ(prompter.events.back().icon, core::MsgIcon::Critical);
    enter(QStringLiteral("99"));
    EXPECT_EQ(menu.currentPage(), 1);
}

TEST_F(MenuTest, PsxStartsWithTheStaffCode) {
    core::session().FixedInfo[QStringLiteral("発注元担当者CD")] = QStringLiteral("T0123");
    QFile psx(home.filePath(QStringLiteral("PSX.exe")));
    ASSERT_TRUE(psx.open(QIODevice::WriteOnly));
    psx.close();
    enter(QStringLiteral("4"));
    enter(QStringLiteral("1"));
    EXPECT_EQ(starter.starts, 1);
    EXPECT_EQ(starter.program, core::programFolder() + QStringLiteral("PSX.exe"));
    EXPECT_EQ(starter.arguments, QStringList{QStringLiteral("T0123")});
    EXPECT_TRUE(prompter.events.empty());
}

TEST_F(MenuTest, MissingPsxIsReported) {
    enter(QStringLiteral("4"));
    EXPECT_TRUE(menu.PP_Act(QStringLiteral("501")));
    EXPECT_EQ(starter.starts, 0);
    EXPECT_EQ(
        prompter.messages(),
        QStringList{QStringLiteral("[PP_Act] アプリケーションフォルダに'PSX.exe'が見つかりません。(53)")});
    EXPECT_EQ(menu.currentPage(), 5);
}

TEST_F(MenuTest, GridModelShowsFourColumnsOfTheCurrentPage) {
    core::MenuGridModel model(menu);
    menu.onRowsChanged = [&] { model.refresh(); };
    EXPECT_EQ(model.rowCount(), 17);
    EXPECT_EQ(model.columnCount(), 4);
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("残件数"));
    enter(QStringLiteral("3"));
    EXPECT_EQ(model.index(1, 1).data().toString(), QStringLiteral("付記用語マスタ"));
    EXPECT_EQ(model.index(16, 0).data().toString(), QStringLiteral("99"));
    EXPECT_TRUE(model.index(0, 2).data().toString().isEmpty());
    EXPECT_TRUE(model.index(2, 1).data().toString().isEmpty());
}

} // namespace
