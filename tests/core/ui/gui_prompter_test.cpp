// The GUI Prompter: message boxes, busy pointer, progress window and progress list.

#include "core/ui/frm_splash.h"
#include "core/ui/gui_prompter.h"

#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <functional>

using namespace kemnoa;
using core::MsgIcon;
using core::ui::GuiPrompter;

namespace {
// Runs `inspect` on the next modal dialog as soon as it is up, then lets it close.
void onNextModal(std::function<void(QMessageBox*)> inspect, QMessageBox::StandardButton press) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, inspect, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        timer->stop();
        timer->deleteLater();
        inspect(box);
        box->button(press)->click();
    });
    timer->start();
}
} // namespace

class TestGuiPrompter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("kemnoa")); }
    void messageTitlesAndIcons_data();
    void messageTitlesAndIcons();
    void questionAnswers();
    void busyPointerNestsAndIsRestored();
    void progressWindowAndList();
};

void TestGuiPrompter::messageTitlesAndIcons_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<int>("shownIcon");
    QTest::newRow("default title") << QString() << int(MsgIcon::Critical) << QStringLiteral("kemnoa")
                                   << int(QMessageBox::Critical);
    QTest::newRow("done") << QStringLiteral("完了") << int(MsgIcon::Information) << QStringLiteral("完了")
                          << int(QMessageBox::Information);
    QTest::newRow("warning") << QStringLiteral("確認") << int(MsgIcon::Exclamation) << QStringLiteral("確認")
                             << int(QMessageBox::Warning);
    QTest::newRow("no icon") << QStringLiteral("GetSelfComputerName") << int(MsgIcon::None)
                             << QStringLiteral("GetSelfComputerName") << int(QMessageBox::NoIcon);
}

void TestGuiPrompter::messageTitlesAndIcons() {
    QFETCH(QString, title);
    QFETCH(int, icon);
    QFETCH(QString, shownTitle);
    QFETCH(int, shownIcon);
    GuiPrompter prompter;
    QString seenTitle, seenText;
    int seenIcon = -1;
    onNextModal(
        [&](QMessageBox* box) {
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
        },
        QMessageBox::Ok);
    prompter.message(QStringLiteral("初期化失敗\r\n強制終了します。"), title, static_cast<MsgIcon>(icon));
    QCOMPARE(seenTitle, shownTitle);
    QCOMPARE(seenText, QStringLiteral("初期化失敗\r\n強制終了します。"));
    QCOMPARE(seenIcon, shownIcon);
}

void TestGuiPrompter::questionAnswers() {
    GuiPrompter prompter;
    int defaultButton = -1;
    onNextModal([&](QMessageBox* box) { defaultButton = box->standardButton(box->defaultButton()); },
                QMessageBox::Yes);
    QVERIFY(prompter.question(QStringLiteral("実行しますか？"), QStringLiteral("確認"), true));
    QCOMPARE(defaultButton, int(QMessageBox::No));
    onNextModal([](QMessageBox*) {}, QMessageBox::No);
    QVERIFY(!prompter.question(QStringLiteral("実行しますか？"), QString(), false));
}

void TestGuiPrompter::busyPointerNestsAndIsRestored() {
    {
        GuiPrompter prompter;
        QVERIFY(!QApplication::overrideCursor());
        {
            core::BusyPointer outer(prompter);
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            core::BusyPointer inner(prompter);
        }
        QVERIFY(!QApplication::overrideCursor());
        prompter.setBusy(true); // left on: the prompter restores it when it goes
        prompter.setBusy(false);
        prompter.setBusy(false); // one restore too many is harmless
        prompter.setBusy(true);
    }
    QVERIFY(!QApplication::overrideCursor());
}

void TestGuiPrompter::progressWindowAndList() {
    QListWidget list;
    GuiPrompter prompter(nullptr, &list);
    prompter.splashTitle(QStringLiteral("接続中..."));
    QVERIFY(!prompter.splash()->isVisible());
    prompter.splashStatus(QStringLiteral("データベース接続チェック"));
    QVERIFY(prompter.splash()->isVisible());
    QCOMPARE(prompter.splash()->lblTitle->text(), QStringLiteral("接続中..."));
    QCOMPARE(prompter.splash()->lblStatus->text(), QStringLiteral("データベース接続チェック"));
    prompter.splashEnd();
    QVERIFY(!prompter.splash()->isVisible());

    core::ui::frmSplash fresh;
    QCOMPARE(fresh.lblTitle->text(), QStringLiteral("処理中..."));

    prompter.listAdd(QStringLiteral("ORD1.mdb 受信"));
    prompter.listAdd(QStringLiteral("ORD2.mdb 受信"));
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.item(1)->text(), QStringLiteral("ORD2.mdb 受信"));
    prompter.listClear();
    QCOMPARE(list.count(), 0);
}

QTEST_MAIN(TestGuiPrompter)
#include "gui_prompter_test.moc"
