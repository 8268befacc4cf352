#include "core/printer.h"
#include "core/printer_choice.h"
#include "core/session.h"
#include "fake_printers.h"
#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

using namespace kemnoa;

namespace {

class PrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        core::resetSession();
        core::setCurrentPrinter({});
    }
    test::ScriptedPrompter prompter;
    test::FakePrinters printers{
        {QStringLiteral("Office Laser"), QStringLiteral("PS Writer"), QStringLiteral("Label 2")},
        QStringLiteral("Office Laser")};
};

TEST_F(PrinterTest, SetSwitchesTheCurrentPrinterAndBack) {
    EXPECT_EQ(core::MF_PrinterSet(QStringLiteral("PS Writer"), printers, prompter), 0);
    EXPECT_EQ(core::currentPrinter(), QStringLiteral("PS Writer"));
    EXPECT_EQ(core::currentPrinterName(printers), QStringLiteral("PS Writer"));
    // Programs started from here on print there too.
    EXPECT_EQ(qgetenv("PRINTER"), QByteArray("PS Writer"));
    EXPECT_EQ(qgetenv("LPDEST"), QByteArray("PS Writer"));
    EXPECT_EQ(core::MF_PrinterSet(QStringLiteral("Office Laser"), printers, prompter), 0);
    EXPECT_EQ(core::currentPrinter(), QStringLiteral("Office Laser"));
    EXPECT_EQ(qgetenv("PRINTER"), QByteArray("Office Laser"));
    EXPECT_TRUE(prompter.events.empty());
}

TEST_F(PrinterTest, WithoutAChoiceJobsUseTheDefault) {
    EXPECT_EQ(core::currentPrinterName(printers), QStringLiteral("Office Laser"));
    EXPECT_FALSE(qEnvironmentVariableIsSet("PRINTER"));
}

TEST_F(PrinterTest, SetNeedsTheExactName) {
    core::setCurrentPrinter(QStringLiteral("Label 2"));
    for (const QString& name : {QStringLiteral("ps writer"), QStringLiteral("PS Writer "), QString()}) {
        EXPECT_EQ(core::MF_PrinterSet(name, printers, prompter), -1) << name.toStdString();
        EXPECT_EQ(core::currentPrinter(), QStringLiteral("Label 2"));
    }
    ASSERT_EQ(prompter.events.size(), 3u);
    EXPECT_EQ(prompter.messages().first(), QStringLiteral("[] プリンタが見つかりません。"));
    EXPECT_EQ(prompter.events.front().icon, core::MsgIcon::Critical);
}

TEST_F(PrinterTest, ChoiceOffersEveryPrinterAndPreselectsTheEarlierChoice) {
    core::Session& s = core::session();
    s.DefaultPrinter = QStringLiteral("Office Laser");
    auto list = core::openPrinterChoice(printers, prompter, s);
    EXPECT_EQ(list.names, printers.printerNames());
    EXPECT_EQ(list.preselected, QStringLiteral("Office Laser"));

    EXPECT_TRUE(core::acceptPrinterChoice(QStringLiteral("Label 2"), printers, prompter, s));
    EXPECT_EQ(s.SelectedPrinter, QStringLiteral("Label 2"));
    EXPECT_EQ(core::currentPrinter(), QStringLiteral("Label 2"));
    list = core::openPrinterChoice(printers, prompter, s);
    EXPECT_EQ(list.preselected, QStringLiteral("Label 2"));

    core::cancelPrinterChoice(s);
    EXPECT_TRUE(s.SelectedPrinter.isEmpty());
    EXPECT_TRUE(prompter.events.empty());
}

TEST_F(PrinterTest, ChoosingAPrinterThatIsNotInstalledKeepsTheChoice) {
    core::Session& s = core::session();
    s.SelectedPrinter = QStringLiteral("PS Writer");
    core::setCurrentPrinter(QStringLiteral("PS Writer"));
    EXPECT_FALSE(core::acceptPrinterChoice(QStringLiteral("Nowhere"), printers, prompter, s));
    EXPECT_EQ(s.SelectedPrinter, QStringLiteral("PS Writer"));
    EXPECT_EQ(core::currentPrinter(), QStringLiteral("PS Writer"));
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("[エラー] プリンタが見つかりません。")});
}

TEST_F(PrinterTest, NoDefaultPrinterOffersNothing) {
    test::FakePrinters none{{}, {}};
    const auto list = core::openPrinterChoice(none, prompter, core::session());
    EXPECT_TRUE(list.names.isEmpty());
    EXPECT_EQ(prompter.messages(),
              QStringList{QStringLiteral("[印刷不可能] プリンタが一つも見つかりません。")});
    EXPECT_EQ(prompter.events.front().icon, core::MsgIcon::Critical);
}

} // namespace
