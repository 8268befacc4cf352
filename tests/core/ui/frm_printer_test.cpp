// The printer-choice window over a fixed printer list.

#include "../fake_printers.h"
#include "core/printer.h"
#include "core/session.h"
#include "core/ui/frm_printer.h"
#include "support/scripted_prompter.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

using namespace kemnoa;
using core::ui::frmPrinter;

class TestFrmPrinter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void noPrinterAtAll();
    void preselectsTheDefaultThenTheEarlierChoice();
    void printerThatIsNotInstalledKeepsTheWindowOpen();
    void closeBoxEmptiesTheChoice();

private:
    test::FakePrinters printers_{
        {QStringLiteral("Office Laser"), QStringLiteral("PS Writer"), QStringLiteral("Label 2")},
        QStringLiteral("Office Laser")};
    test::ScriptedPrompter prompter_;
};

void TestFrmPrinter::init() {
    core::resetSession();
    core::session().DefaultPrinter = QStringLiteral("Office Laser");
    core::setCurrentPrinter({});
    prompter_.events.clear();
}

void TestFrmPrinter::noPrinterAtAll() {
    test::FakePrinters none{{}, {}};
    frmPrinter w(core::session(), none, prompter_);
    QCOMPARE(w.windowTitle(), QStringLiteral("プリンタの選択"));
    QCOMPARE(prompter_.messages(),
             QStringList{QStringLiteral("[印刷不可能] プリンタが一つも見つかりません。")});
    QCOMPARE(w.cmbPrinter->count(), 0);
}

void TestFrmPrinter::preselectsTheDefaultThenTheEarlierChoice() {
    {
        frmPrinter w(core::session(), printers_, prompter_);
        w.show();
        QCOMPARE(w.cmbPrinter->count(), 3);
        QCOMPARE(w.cmbPrinter->itemText(2), QStringLiteral("Label 2"));
        QCOMPARE(w.cmbPrinter->currentText(), QStringLiteral("Office Laser"));
        w.cmbPrinter->setCurrentIndex(1);
        QTest::mouseClick(w.cmdOk, Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(!w.isVisible());
    }
    QCOMPARE(core::session().SelectedPrinter, QStringLiteral("PS Writer"));
    QCOMPARE(core::currentPrinter(), QStringLiteral("PS Writer"));

    frmPrinter again(core::session(), printers_, prompter_);
    QCOMPARE(again.cmbPrinter->currentText(), QStringLiteral("PS Writer"));
    QVERIFY(prompter_.events.empty());
}

void TestFrmPrinter::printerThatIsNotInstalledKeepsTheWindowOpen() {
    core::session().SelectedPrinter = QStringLiteral("Label 2");
    core::setCurrentPrinter(QStringLiteral("Label 2"));
    frmPrinter w(core::session(), printers_, prompter_);
    w.show();
    w.cmbPrinter->setEditText(QStringLiteral("Nowhere Printer"));
    QTest::mouseClick(w.cmdOk, Qt::LeftButton);
    QCOMPARE(prompter_.messages(), QStringList{QStringLiteral("[エラー] プリンタが見つかりません。")});
    QVERIFY(w.isVisible());
    QCOMPARE(core::session().SelectedPrinter, QStringLiteral("Label 2"));
    QCOMPARE(core::currentPrinter(), QStringLiteral("Label 2"));
}

void TestFrmPrinter::closeBoxEmptiesTheChoice() {
    core::session().SelectedPrinter = QStringLiteral("Label 2");
    frmPrinter w(core::session(), printers_, prompter_);
    w.show();
    QCOMPARE(w.cmbPrinter->currentText(), QStringLiteral("Label 2"));
    w.close();
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Rejected));
    QVERIFY(core::session().SelectedPrinter.isEmpty());
}

QTEST_MAIN(TestFrmPrinter)
#include "frm_printer_test.moc"
