// The main menu driven as a user drives it: through the code box and the grid.

#include "core/program_folder.h"
#include "core/session.h"
#include "core/ui/job_windows.h"
#include "core/ui/mnu_main.h"
#include "support/scripted_prompter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace kemnoa;
using core::ui::mnuMain;

namespace {
struct NoStarter : core::ProgramStarter {
    void start(const QString&, const QStringList&) override { ++starts; }
    int starts = 0;
};
} // namespace

class TestMnuMain : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void codeOneShowsTheOrderPageAndNinetyNineReturns();
    void ninetyNineOnTheMainPageClosesTheMenu();
    void masterPageCodes();
    void unknownCodeKeepsThePage();
    void lettersCannotBeTyped();
    void wholeTextSelectedOnFocus();
    void emptyRowDoesNothing();
    void rowsStartByDoubleClickAndEnter();
    void eachJobWindowAtMostOnce();
    void missingPsxIsReported();

private:
    void typeCode(const QString& code);
    void doubleClickRow(int row, int column);
    QString cell(int row, int column) const;

    QTemporaryDir home_;
    test::ScriptedPrompter* prompter_ = nullptr;
    core::JobTable* jobs_ = nullptr;
    core::ui::JobWindowRegistry* registry_ = nullptr;
    core::ui::GuiJobOpener* opener_ = nullptr;
    NoStarter starter_;
    QPointer<mnuMain> menu_;
    QMap<int, int> made_; // job code -> windows made
};

void TestMnuMain::init() {
    core::resetSession();
    core::setProgramFolder(home_.path());
    prompter_ = new test::ScriptedPrompter;
    jobs_ = new core::JobTable;
    registry_ = new core::ui::JobWindowRegistry;
    made_.clear();
    for (int code : {202, 310}) {
        const QString name = QStringLiteral("job-%1").arg(code);
        jobs_->add({.name = name, .menuCode = code});
        registry_->add(name, [this, code](core::JobContext&) {
            ++made_[code];
            auto* w = new QWidget;
            w->setWindowTitle(QString::number(code));
            return w;
        });
    }
    opener_ = new core::ui::GuiJobOpener(*jobs_, *registry_, *prompter_);
    menu_ = new mnuMain(*prompter_, *opener_, starter_);
    menu_->setAttribute(Qt::WA_DeleteOnClose);
    menu_->show();
    QVERIFY(QTest::qWaitForWindowExposed(menu_));
}

void TestMnuMain::cleanup() {
    delete menu_;
    for (QWidget* w : QApplication::topLevelWidgets())
        delete w;
    delete opener_;
    delete registry_;
    delete jobs_;
    delete prompter_;
    core::setProgramFolder({});
}

void TestMnuMain::typeCode(const QString& code) {
    QTest::keyClicks(menu_->txtCode, code);
    QTest::keyClick(menu_->txtCode, Qt::Key_Return);
}

void TestMnuMain::doubleClickRow(int row, int column) {
    auto* grid = menu_->TDBGrid1;
    const QPoint at = grid->visualRect(grid->model()->index(row, column)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

QString TestMnuMain::cell(int row, int column) const {
    return menu_->TDBGrid1->model()->index(row, column).data().toString();
}

void TestMnuMain::codeOneShowsTheOrderPageAndNinetyNineReturns() {
    QCOMPARE(menu_->windowTitle(), QStringLiteral("メインメニュー"));
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("メインメニュー"));
    QCOMPARE(menu_->TDBGrid1->model()->rowCount(), 17);
    QCOMPARE(menu_->TDBGrid1->model()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("処理コード"));
    typeCode(QStringLiteral("1"));
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("発注処理"));
    QCOMPARE(cell(2, 1), QStringLiteral("PO番号採番"));
    QVERIFY(menu_->txtCode->text().isEmpty());
    typeCode(QStringLiteral("99"));
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("メインメニュー"));
    QCOMPARE(cell(16, 1), QStringLiteral("終了"));
}

void TestMnuMain::ninetyNineOnTheMainPageClosesTheMenu() {
    typeCode(QStringLiteral("99"));
    QTRY_VERIFY(menu_.isNull());
}

void TestMnuMain::masterPageCodes() {
    typeCode(QStringLiteral("2"));
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("マスタ登録"));
    typeCode(QStringLiteral("09"));
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("マスタ登録"));
    QVERIFY(made_.isEmpty());
    typeCode(QStringLiteral("10"));
    QCOMPARE(made_.value(310), 1);
    QVERIFY(opener_->openWindow(310) && opener_->openWindow(310)->isVisible());
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("マスタ登録"));
    typeCode(QStringLiteral("99"));
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("メインメニュー"));
    QVERIFY(prompter_->events.empty());
}

void TestMnuMain::unknownCodeKeepsThePage() {
    typeCode(QStringLiteral("1"));
    typeCode(QStringLiteral("06"));
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("発注処理"));
    typeCode(QStringLiteral("01")); // 201: no window built for it yet
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("発注処理"));
    QVERIFY(made_.isEmpty());
    QVERIFY(prompter_->events.empty());
    QVERIFY(menu_->isVisible());
}

void TestMnuMain::lettersCannotBeTyped() {
    QTest::keyClicks(menu_->txtCode, QStringLiteral("a1Z-b2 .x"));
    QCOMPARE(menu_->txtCode->text(), QStringLiteral("12"));
    QTest::keyClick(menu_->txtCode, Qt::Key_Backspace);
    QCOMPARE(menu_->txtCode->text(), QStringLiteral("1"));
    QGuiApplication::clipboard()->setText(QStringLiteral("x9"));
    QTest::keySequence(menu_->txtCode, QKeySequence::Paste);
    menu_->txtCode->paste();
    QCOMPARE(menu_->txtCode->text(), QStringLiteral("1"));
    QTest::keyClick(menu_->txtCode, Qt::Key_Return);
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("発注処理"));
}

void TestMnuMain::wholeTextSelectedOnFocus() {
    menu_->TDBGrid1->setFocus();
    menu_->txtCode->setText(QStringLiteral("12"));
    menu_->txtCode->deselect();
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(menu_->txtCode, &focusIn);
    QTRY_COMPARE(menu_->txtCode->selectedText(), QStringLiteral("12"));
}

void TestMnuMain::emptyRowDoesNothing() {
    auto* grid = menu_->TDBGrid1;
    doubleClickRow(7, 0);
    grid->setCurrentIndex(grid->model()->index(8, 1));
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("メインメニュー"));
    QVERIFY(made_.isEmpty());
    QVERIFY(prompter_->events.empty());
    QVERIFY(menu_->isVisible());
}

void TestMnuMain::rowsStartByDoubleClickAndEnter() {
    auto* grid = menu_->TDBGrid1;
    doubleClickRow(0, 1);
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("発注処理"));
    grid->setCurrentIndex(grid->model()->index(1, 0));
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(made_.value(202), 1);
    grid->setCurrentIndex(grid->model()->index(16, 0));
    QTest::keyClick(grid, Qt::Key_Enter);
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("メインメニュー"));
}

void TestMnuMain::eachJobWindowAtMostOnce() {
    typeCode(QStringLiteral("1"));
    typeCode(QStringLiteral("2"));
    QPointer<QWidget> first = opener_->openWindow(202);
    QVERIFY(first);
    first->showMinimized();
    typeCode(QStringLiteral("2"));
    QCOMPARE(made_.value(202), 1);
    QCOMPARE(opener_->openWindow(202), first.data());
    QVERIFY(!first->isMinimized());
    // Page changes leave the job window alone.
    typeCode(QStringLiteral("99"));
    QVERIFY(first && first->isVisible());
    // Once closed, the next open makes a fresh window.
    first->close();
    QTRY_VERIFY(first.isNull());
    typeCode(QStringLiteral("1"));
    typeCode(QStringLiteral("2"));
    QCOMPARE(made_.value(202), 2);
}

void TestMnuMain::missingPsxIsReported() {
    typeCode(QStringLiteral("4"));
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("営業メニュー"));
    typeCode(QStringLiteral("1"));
    QCOMPARE(starter_.starts, 0);
    QCOMPARE(
        prompter_->messages(),
        QStringList{QStringLiteral("[PP_Act] アプリケーションフォルダに'PSX.exe'が見つかりません。(53)")});
    QCOMPARE(menu_->lblMenu->text(), QStringLiteral("営業メニュー"));
}

QTEST_MAIN(TestMnuMain)
#include "mnu_main_test.moc"
