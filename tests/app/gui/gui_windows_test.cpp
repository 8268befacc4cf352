// The program's windows from login to the last one closed.

#include "app/gui/gui_windows.h"
#include "core/connections.h"
#include "core/program_folder.h"
#include "core/session.h"
#include "core/ui/frm_login.h"
#include "core/ui/frm_setting.h"
#include "core/ui/mnu_main.h"
#include "core/user_store.h"
#include "demo/demo_data.h"
#include "demo/sample_orders.h"
#include "receiving/ui/frm_ord_imp.h"
#include "support/database_files.h"
#include "support/scripted_prompter.h"

#include <QMessageBox>
#include <QTimer>

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace kemnoa;

namespace {
struct NoPrinters : core::PrinterQuery {
    QStringList printerNames() const override { return {}; }
    QString defaultPrinterName() const override { return {}; }
};
struct NoStarter : core::ProgramStarter {
    void start(const QString&, const QStringList&) override {}
};

// Answers the job windows' own message boxes (they are modal) and keeps their texts.
class MessageBoxAnswerer : public QObject {
public:
    MessageBoxAnswerer() {
        connect(&timer_, &QTimer::timeout, this, [this] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    texts << box->text();
                    box->done(QMessageBox::Ok);
                }
        });
        timer_.start(20);
    }
    QStringList texts;

private:
    QTimer timer_;
};

template <class W> QList<W*> visibleWindows() {
    QList<W*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* typed = qobject_cast<W*>(w); typed && typed->isVisible())
            found << typed;
    return found;
}
} // namespace

class TestGuiWindows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void loginMenuJobsAndQuit();
    void optionLeavesOnlyTheSettingsScreen();
    void builtJobsAreRegistered();
    void importWithWaitingSubmissionsOpensBothConfirmationWindows();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    test::ScriptedPrompter prompter_;
    NoPrinters printers_;
    NoStarter starter_;
};

void TestGuiWindows::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_->path());
    core::setProgramFolder(dir_->path());
    core::resetSession();
}

void TestGuiWindows::loginMenuJobsAndQuit() {
    core::JobTable jobs;
    jobs.add({.name = QStringLiteral("overseas-file"), .menuCode = 401});
    gui::GuiWindows windows(prompter_, printers_, starter_, jobs);
    windows.jobWindows().add(QStringLiteral("overseas-file"), [](core::JobContext&) { return new QWidget; });
    QPointer<core::ui::frmLogin> login = windows.showLogin();
    login->txtUser->setText(QStringLiteral("田中"));
    QTest::mouseClick(login->cmdOK, Qt::LeftButton);
    QTRY_VERIFY(login.isNull());
    QCOMPARE(core::readUserStore().user, QStringLiteral("田中"));

    const auto menus = visibleWindows<core::ui::mnuMain>();
    QCOMPARE(menus.size(), 1);
    QPointer<core::ui::mnuMain> menu = menus.first();
    QTest::keyClicks(menu->txtCode, QStringLiteral("3"));
    QTest::keyClick(menu->txtCode, Qt::Key_Return);
    QTest::keyClicks(menu->txtCode, QStringLiteral("1"));
    QTest::keyClick(menu->txtCode, Qt::Key_Return);
    QCOMPARE(visibleWindows<QWidget>().size(), 2); // the menu and the job window
    QTest::keyClicks(menu->txtCode, QStringLiteral("99"));
    QTest::keyClick(menu->txtCode, Qt::Key_Return);
    QTest::keyClicks(menu->txtCode, QStringLiteral("99"));
    QTest::keyClick(menu->txtCode, Qt::Key_Return);
    QTRY_VERIFY(menu.isNull());

    // The job window stays open after the menu; closing it leaves no window, so the program ends.
    const auto rest = visibleWindows<QWidget>();
    QCOMPARE(rest.size(), 1);
    rest.first()->close();
    QTRY_VERIFY(visibleWindows<QWidget>().isEmpty());
    QVERIFY(prompter_.events.empty());
}

void TestGuiWindows::optionLeavesOnlyTheSettingsScreen() {
    gui::GuiWindows windows(prompter_, printers_, starter_);
    QPointer<core::ui::frmLogin> login = windows.showLogin();
    QTest::mouseClick(login->cmdOption, Qt::LeftButton);
    QTRY_VERIFY(login.isNull());
    const auto settings = visibleWindows<core::ui::frmSetting>();
    QCOMPARE(settings.size(), 1);
    QCOMPARE(visibleWindows<QWidget>().size(), 1);
    settings.first()->close();
    QTRY_VERIFY(visibleWindows<QWidget>().isEmpty());
    QVERIFY(!QFile::exists(core::settingsFile()));
}

void TestGuiWindows::builtJobsAreRegistered() {
    gui::GuiWindows windows(prompter_, printers_, starter_);
    for (int code : {201, 210, 304, 305, 307, 308, 401, 402}) {
        const core::Job* job = jobs::jobTable().byMenuCode(code);
        QVERIFY2(job && windows.jobWindows().contains(job->name), qPrintable(QString::number(code)));
    }
}

// From the menu's import window to the two confirmation windows, through the program's own
// registration of its job windows.
void TestGuiWindows::importWithWaitingSubmissionsOpensBothConfirmationWindows() {
    core::Session& s = core::session();
    s.WorkDb.Provider = QStringLiteral("SQLite");
    s.WorkDb.DbName = dir_->filePath(QStringLiteral("work.db"));
    s.PoDb.Provider = QStringLiteral("SQLite");
    s.PoDb.DbName = dir_->filePath(QStringLiteral("po.db"));
    QVERIFY(QDir().mkpath(dir_->filePath(QStringLiteral("recv"))));
    s.LocalFolder = dir_->filePath(QStringLiteral("recv/"));
    test::createSessionDatabases();
    {
        core::JobScope seeding({core::KindWork, core::KindPo}, prompter_);
        demo::seed(core::cnWork(), db::DatabaseKind::Work);
        demo::seed(core::cnPo(), db::DatabaseKind::Po);
    }
    demo::BuiltFile f;
    f.orders = {demo::sampleOrder(21, 1)};
    f.ehj = {demo::sampleEhj(1, QStringLiteral("E9101"))};
    f.fuki = {demo::sampleFuki(1, QStringLiteral("F9101"))};
    demo::writeOrderFile(dir_->filePath(QStringLiteral("recv/ORD1.mdb")), f);

    gui::GuiWindows windows(prompter_, printers_, starter_);
    QVERIFY(windows.opener().openJob(201));
    const auto imports = visibleWindows<receiving::frmOrd_Imp>();
    QCOMPARE(imports.size(), 1);
    MessageBoxAnswerer answers;
    QTest::mouseClick(imports.first()->cmdImp, Qt::LeftButton);

    QStringList shown;
    for (QWidget* w : visibleWindows<QWidget>())
        shown << w->objectName();
    shown.sort();
    QCOMPARE(shown, (QStringList{QStringLiteral("frmKakunin_Ehj"), QStringLiteral("frmKakunin_Fuki")}));
    QCOMPARE(answers.texts, (QStringList{QStringLiteral("読み込み終了いたしました。"),
                                         QStringLiteral("確認が必要な絵表示の情報があります。"),
                                         QStringLiteral("確認が必要な付記用語の情報があります。")}));
    // The menu's codes reach the same windows rather than second copies.
    QVERIFY(windows.opener().openJob(307));
    QCOMPARE(visibleWindows<QWidget>().size(), 2);
    for (QWidget* w : visibleWindows<QWidget>())
        w->close();
    QTRY_VERIFY(visibleWindows<QWidget>().isEmpty());
    core::closeAllConnections();
}

QTEST_MAIN(TestGuiWindows)
#include "gui_windows_test.moc"
