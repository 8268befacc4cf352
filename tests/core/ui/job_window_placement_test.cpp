// How the menu's opener shows a job window: centred inside the screen, its first size kept as the
// smallest, closed by Escape unless something inside the window takes the key first.

#include "core/program_folder.h"
#include "core/session.h"
#include "core/ui/job_windows.h"
#include "support/scripted_prompter.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

using namespace kemnoa;

namespace {

// The kinds of window the jobs make.
enum class Kind { Sized, Oversized, LayoutOnly, OwnTitleButtons, WithGrid };

QWidget* makeWindow(Kind kind) {
    auto* w = new QWidget;
    auto* layout = new QVBoxLayout(w);
    auto* edit = new QLineEdit(w);
    edit->setObjectName(QStringLiteral("edit"));
    layout->addWidget(edit);
    switch (kind) {
    case Kind::Sized:
        w->resize(640, 420);
        break;
    case Kind::Oversized:
        w->resize(4000, 3000);
        break;
    case Kind::LayoutOnly:
        break;
    case Kind::OwnTitleButtons:
        w->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        w->resize(300, 200);
        break;
    case Kind::WithGrid: {
        auto* grid = new QTableWidget(2, 2, w);
        grid->setObjectName(QStringLiteral("grid"));
        grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
        grid->setItem(0, 0, new QTableWidgetItem(QStringLiteral("a")));
        layout->addWidget(grid);
        w->resize(500, 300);
        break;
    }
    }
    return w;
}

} // namespace

class TestJobWindowPlacement : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void opensCentredInsideTheScreenWithItsSizeAsMinimum_data();
    void opensCentredInsideTheScreenWithItsSizeAsMinimum();
    void escapeClosesLikeTheCloseButton();
    void escapeInACellEditorOnlyEndsTheEdit();
    void aWindowBroughtForwardKeepsWhereTheUserPutIt();

private:
    QWidget* open(Kind kind);

    QTemporaryDir home_;
    test::ScriptedPrompter* prompter_ = nullptr;
    core::JobTable* jobs_ = nullptr;
    core::ui::JobWindowRegistry* registry_ = nullptr;
    core::ui::GuiJobOpener* opener_ = nullptr;
    int code_ = 0;
};

void TestJobWindowPlacement::init() {
    core::resetSession();
    core::setProgramFolder(home_.path());
    prompter_ = new test::ScriptedPrompter;
    jobs_ = new core::JobTable;
    registry_ = new core::ui::JobWindowRegistry;
    const std::pair<int, Kind> rows[] = {{201, Kind::Sized},
                                         {202, Kind::Oversized},
                                         {203, Kind::LayoutOnly},
                                         {204, Kind::OwnTitleButtons},
                                         {205, Kind::WithGrid}};
    for (const auto& [code, kind] : rows) {
        const QString name = QStringLiteral("job-%1").arg(code);
        jobs_->add({.name = name, .menuCode = code});
        registry_->add(name, [kind](core::JobContext&) { return makeWindow(kind); });
    }
    opener_ = new core::ui::GuiJobOpener(*jobs_, *registry_, *prompter_);
}

void TestJobWindowPlacement::cleanup() {
    for (QWidget* w : QApplication::topLevelWidgets())
        delete w;
    delete opener_;
    delete registry_;
    delete jobs_;
    delete prompter_;
    core::setProgramFolder({});
}

QWidget* TestJobWindowPlacement::open(Kind kind) {
    code_ = 201 + int(kind);
    if (!opener_->openJob(code_))
        return nullptr;
    QWidget* w = opener_->openWindow(code_);
    if (w && !QTest::qWaitForWindowExposed(w))
        return nullptr;
    return w;
}

void TestJobWindowPlacement::opensCentredInsideTheScreenWithItsSizeAsMinimum_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QSize>("expectedSize"); // empty: the layout's own size
    QTest::newRow("its own size") << int(Kind::Sized) << QSize(640, 420);
    QTest::newRow("larger than the screen") << int(Kind::Oversized) << QSize();
    QTest::newRow("layout only") << int(Kind::LayoutOnly) << QSize();
    QTest::newRow("own title-bar buttons") << int(Kind::OwnTitleButtons) << QSize(300, 200);
}

void TestJobWindowPlacement::opensCentredInsideTheScreenWithItsSizeAsMinimum() {
    QFETCH(int, kind);
    QFETCH(QSize, expectedSize);
    QWidget* w = open(Kind(kind));
    QVERIFY(w);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect g = w->geometry();
    const QRect frame = w->frameGeometry();
    if (!expectedSize.isEmpty())
        QCOMPARE(g.size(), expectedSize);
    if (Kind(kind) == Kind::Oversized)
        QCOMPARE(frame.size(), area.size()); // as large as the screen allows, no larger
    if (Kind(kind) == Kind::LayoutOnly)
        QVERIFY(g.width() >= w->minimumSizeHint().width() && g.height() >= w->minimumSizeHint().height());
    QCOMPARE(w->minimumSize(), g.size());
    QVERIFY2(area.contains(frame), qPrintable(QStringLiteral("%1,%2 %3x%4 outside the screen")
                                                  .arg(frame.x())
                                                  .arg(frame.y())
                                                  .arg(frame.width())
                                                  .arg(frame.height())));
    QVERIFY(qAbs(frame.center().x() - area.center().x()) <= 1);
    QVERIFY(qAbs(frame.center().y() - area.center().y()) <= 1);
    // The close button is there, also for a window that chose its own title-bar buttons.
    const Qt::WindowFlags flags = w->windowFlags();
    QVERIFY(!flags.testFlag(Qt::CustomizeWindowHint) || flags.testFlag(Qt::WindowCloseButtonHint));
    // It cannot be made smaller than it opened.
    w->resize(g.size() / 2);
    QCOMPARE(w->size(), g.size());
}

void TestJobWindowPlacement::escapeClosesLikeTheCloseButton() {
    QPointer<QWidget> w = open(Kind::Sized);
    QVERIFY(w);
    auto* edit = w->findChild<QLineEdit*>(QStringLiteral("edit"));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Escape, Qt::ShiftModifier); // not a bare Escape: stays
    QVERIFY(w->isVisible());
    QTest::keyClick(edit, Qt::Key_Escape);
    QTRY_VERIFY(w.isNull());
    QCOMPARE(opener_->openWindow(code_), nullptr);
    // The next open makes a fresh window, placed the same way.
    QPointer<QWidget> again = open(Kind::Sized);
    QVERIFY(again);
    QCOMPARE(again->minimumSize(), QSize(640, 420));
    QVERIFY(again->close());
    QTRY_VERIFY(again.isNull());
}

void TestJobWindowPlacement::escapeInACellEditorOnlyEndsTheEdit() {
    QPointer<QWidget> w = open(Kind::WithGrid);
    QVERIFY(w);
    auto* grid = w->findChild<QTableWidget*>(QStringLiteral("grid"));
    grid->setFocus();
    grid->setCurrentCell(0, 0);
    grid->editItem(grid->item(0, 0));
    QPointer<QWidget> editor;
    QTRY_VERIFY((editor = QApplication::focusWidget()) && editor->parentWidget() == grid->viewport());
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(editor.isNull());
    QVERIFY(w && w->isVisible());
    QTest::keyClick(grid, Qt::Key_Escape);
    QTRY_VERIFY(w.isNull());
}

void TestJobWindowPlacement::aWindowBroughtForwardKeepsWhereTheUserPutIt() {
    QPointer<QWidget> w = open(Kind::Sized);
    QVERIFY(w);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint moved = area.topLeft() + QPoint(10, 20);
    w->move(moved);
    w->resize(700, 450);
    QTRY_COMPARE(w->pos(), moved);
    QVERIFY(opener_->openJob(code_));
    QCOMPARE(opener_->openWindow(code_), w.data());
    QCOMPARE(w->pos(), moved);
    QCOMPARE(w->size(), QSize(700, 450));
}

QTEST_MAIN(TestJobWindowPlacement)
#include "job_window_placement_test.moc"
