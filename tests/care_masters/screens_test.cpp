// The four screens on the offscreen platform over a real SQLite work database: the master screens'
// lock, palette and edits, the confirmation screens' apply and discard, the printing screen, and
// the PDFs their prints give (read back with pdftotext and pdftoppm).

#include "care_fixture.h"
#include "care_masters/ui/frm_kakunin.h"
#include "care_masters/ui/frm_mst.h"
#include "care_masters/ui/frm_mst_print.h"
#include "care_masters/ui/symbol_widgets.h"
#include "core/connections.h"
#include "core/session.h"
#include "platform/report/render.h"
#include "support/database_files.h"
#include "support/scripted_prompter.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace kemnoa;
namespace cm = care_masters;

class CareMasterScreensTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    db::Connection& work() { return core::cnWork(); }
    QString path(const QString& name) const { return dir_.filePath(name); }

    // Text of a PDF page (pdftotext -layout), or a skip when the tool is missing.
    static QString pdfText(const QString& pdf) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // The page as an image at 100 dpi (pdftoppm), whose pixels are read in millimetre boxes.
    QImage pdfImage(const QString& pdf) {
        const QString prefix = path(QStringLiteral("page"));
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-singlefile"),
                           QStringLiteral("-png"), pdf, prefix});
        return QImage(prefix + QStringLiteral(".png"));
    }
    static int darkPixels(const QImage& img, const QRectF& mm) {
        const double k = 100 / 25.4;
        int dark = 0;
        for (int y = int(mm.top() * k); y < int(mm.bottom() * k); ++y)
            for (int x = int(mm.left() * k); x < int(mm.right() * k); ++x)
                if (qGray(img.pixel(x, y)) < 128)
                    ++dark;
        return dark;
    }

private Q_SLOTS:
    void initTestCase() {
        core::resetSession();
        test::prepareProgramFolder(dir_.path());
        core::Session& s = core::session();
        s.WorkDb.Provider = QStringLiteral("SQLite");
        s.WorkDb.DbName = path(QStringLiteral("work.db"));
        test::ScriptedPrompter p;
        test::createSessionDatabases();
        QCOMPARE(core::dbOpen(core::KindWork, p), 0);
    }
    void init() {
        for (const char* t : {"kemmst_ehj", "kemmst_fuki", "rrk_ehj", "rrk_fuki"})
            work().execute(QStringLiteral("Delete From ") + QString::fromLatin1(t));
    }

    void paletteHasEveryPicture() {
        cm::SymbolPalette palette;
        QCOMPARE(palette.count(), 42);
        for (int i = 0; i < palette.count(); ++i) {
            QVERIFY2(!palette.item(i)->icon().isNull(), qPrintable(palette.item(i)->toolTip()));
            const QImage img = QImage(cm::existingSymbolPicture(palette.item(i)->toolTip()));
            QCOMPARE(img.size(), QSize(256, 256));
        }
        QCOMPARE(palette.item(0)->toolTip(), QStringLiteral("1010"));
        QCOMPARE(palette.item(41)->toolTip(), QStringLiteral("6040"));
    }

    void symbolScreenUnlocksAndEditsThroughThePalette() {
        test::addEhj(work(), QStringLiteral("E0001"), {QStringLiteral("1010")});
        test::addEhj(work(), QStringLiteral("E0002"), {QStringLiteral("2010"), QStringLiteral("3010")});
        test::ScriptedPrompter dialogs;
        core::JobScope scope({core::KindWork}, dialogs);
        cm::frmMst form(cm::ehjKind(), scope.context(), nullptr, &dialogs);
        form.show();
        QCOMPARE(form.windowTitle(), QStringLiteral("絵表示マスタ"));
        QCOMPARE(form.cboNo->currentText(), QStringLiteral("E0002"));
        QCOMPARE(form.cboNo->count(), 2);
        QVERIFY(form.picEhj[1]->hasPicture());
        QVERIFY(!form.picEhj[2]->hasPicture());
        QVERIFY(!form.txtB[0]->isEnabled());

        // Locked: the palette only beeps.
        Q_EMIT form.palette->itemDoubleClicked(form.palette->itemOf(QStringLiteral("4010")));
        QCOMPARE(dialogs.events.back().kind, test::PromptEvent::Kind::Beep);
        dialogs.inputAnswer(QStringLiteral("fern"));
        QTest::mouseClick(form.cmdUnlock, Qt::LeftButton);
        QVERIFY(form.txtB[0]->isEnabled());
        Q_EMIT form.palette->itemDoubleClicked(form.palette->itemOf(QStringLiteral("4010")));
        QCOMPARE(form.txtEhj[2]->text(), QStringLiteral("4010"));
        QVERIFY(form.picEhj[2]->hasPicture());
        QTest::mouseDClick(form.picEhj[0], Qt::LeftButton);
        QCOMPARE(form.txtEhj[0]->text(), QStringLiteral("3010"));
        QCOMPARE(form.txtEhj[1]->text(), QStringLiteral("4010"));
        QVERIFY(!form.picEhj[2]->hasPicture());
        form.txtB[0]->setText(QStringLiteral("予備'1"));
        dialogs.answer(true);
        QTest::mouseClick(form.cmdUpdate, Qt::LeftButton);
        QCOMPARE(test::cell(work(), QStringLiteral(
                                        "Select EHJ1 || EHJ2 || B01 From kemmst_ehj Where EHJ_NO = 'E0002'")),
                 QStringLiteral("30104010予備'1"));

        // New: the drop-down is disabled until the save.
        dialogs.inputAnswer(QStringLiteral("E0003"));
        QTest::mouseClick(form.cmdNew, Qt::LeftButton);
        QVERIFY(!form.cboNo->isEnabled());
        QCOMPARE(form.lblMode->text(), QStringLiteral("新規"));
        dialogs.answer(true);
        QTest::mouseClick(form.cmdUpdate, Qt::LeftButton);
        QVERIFY(form.cboNo->isEnabled());
        QCOMPARE(form.cboNo->count(), 3);
        QCOMPARE(form.cboNo->itemText(2), QStringLiteral("E0003"));

        // Choosing a number in the drop-down shows its set.
        form.cboNo->activated(0);
        QCOMPARE(form.txtEhj[0]->text(), QStringLiteral("1010"));
    }

    void termScreenIsReadOnlyUntilUnlocked() {
        test::addFuki(work(), QStringLiteral("F001"), QStringLiteral("手洗い"));
        test::ScriptedPrompter dialogs;
        core::JobScope scope({core::KindWork}, dialogs);
        cm::frmMst form(cm::fukiKind(), scope.context(), nullptr, &dialogs);
        QCOMPARE(form.windowTitle(), QStringLiteral("付記用語マスタ"));
        QCOMPARE(form.txtNaiyo->toPlainText(), QStringLiteral("手洗い"));
        QVERIFY(!form.txtNaiyo->isEnabled());
        dialogs.inputAnswer(QStringLiteral("fern"));
        QTest::mouseClick(form.cmdUnlock, Qt::LeftButton);
        QVERIFY(form.txtNaiyo->isEnabled());
        form.txtNaiyo->setPlainText(QStringLiteral("陰干し"));
        dialogs.answer(true);
        QTest::mouseClick(form.cmdUpdate, Qt::LeftButton);
        QCOMPARE(test::cell(work(), QStringLiteral("Select FUKI_NAIYO From kemmst_fuki")),
                 QStringLiteral("陰干し"));
    }

    void confirmationScreenAppliesDiscardsAndPrintsTheRequest() {
        test::addEhj(work(), QStringLiteral("E0001"), {QStringLiteral("1010")},
                     QStringLiteral("2020/01/01 00:00:00"));
        const qint32 a =
            test::stageEhj(work(), QStringLiteral("E0001"), {QStringLiteral("3010"), QStringLiteral("6020")},
                           QStringLiteral("U"), {QStringLiteral("予備A")});
        const qint32 b =
            test::stageEhj(work(), QStringLiteral("E0002"), {QStringLiteral("4020")}, QStringLiteral("N"));
        test::ScriptedPrompter dialogs;
        core::JobScope scope({core::KindWork}, dialogs);
        cm::frmKakunin form(cm::ehjKind(), scope.context(), nullptr, &dialogs);
        report::Document printed;
        form.printSink = [&printed](const report::Document& d) { printed = d; };
        QCOMPARE(form.windowTitle(), QStringLiteral("絵表示確認"));
        QCOMPARE(form.lblPage->text(), QStringLiteral("1"));
        QCOMPARE(form.lblCount->text(), QStringLiteral("2"));
        QCOMPARE(form.lblKind->text(), QStringLiteral("更新"));
        QVERIFY(form.sent.pictures[1]->hasPicture());
        QCOMPARE(form.master.codes[0]->text(), QStringLiteral("1010"));

        // The note saved by the arrow is the one the request prints.
        form.txtMemo->setPlainText(QStringLiteral("要確認"));
        QTest::mouseClick(form.cmdNext, Qt::LeftButton);
        QTest::mouseClick(form.cmdBack, Qt::LeftButton);
        QTest::mouseClick(form.cmdPrint, Qt::LeftButton);
        QCOMPARE(printed.pages.size(), size_t(1));
        QCOMPARE(printed.text(0, QStringLiteral("h4")), QStringLiteral("要確認"));

        const QString pdf = path(QStringLiteral("request.pdf"));
        report::writePdf(printed, pdf);
        if (!test::haveProgram(QStringLiteral("pdftotext")) ||
            !test::haveProgram(QStringLiteral("pdftoppm"))) {
            qWarning("pdftotext/pdftoppm missing: the request PDF is not read back");
        } else {
            const QString text = pdfText(pdf);
            for (const char* s : {"絵表示登録依頼書", "E0001", "更新", "要確認", "3010", "6020", "予備A",
                                  "2024/05/01 10:00:00", "2020/01/01 00:00:00", "1010"})
                QVERIFY2(text.contains(QString::fromUtf8(s)), s);
            const QImage page = pdfImage(pdf);
            QVERIFY(!page.isNull());
            // Submission positions 1 and 2 and master position 1 hold pictures; position 3 does not.
            QVERIFY(darkPixels(page, {15, 94, 26, 26}) > 200);
            QVERIFY(darkPixels(page, {46, 94, 26, 26}) > 200);
            QCOMPARE(darkPixels(page, {77 + 2, 94 + 2, 22, 22}), 0);
            QVERIFY(darkPixels(page, {15, 195, 26, 26}) > 200);
        }

        dialogs.answer(true);
        QTest::mouseClick(form.cmdOk, Qt::LeftButton);
        QCOMPARE(test::cell(work(), QStringLiteral("Select EHJ1 From kemmst_ehj Where EHJ_NO = 'E0001'")),
                 QStringLiteral("3010"));
        QCOMPARE(form.lblPage->text(), QStringLiteral("2"));
        dialogs.inputAnswer(QStringLiteral("fern"));
        QTest::mouseClick(form.cmdDelete, Qt::LeftButton);
        QCOMPARE(test::cell(work(), QStringLiteral("Select KAKUNIN_FLG From rrk_ehj Where ID = ?"), {b}),
                 QStringLiteral("1"));
        QCOMPARE(test::cell(work(), QStringLiteral("Select Count(*) From kemmst_ehj Where EHJ_NO = 'E0002'")),
                 QStringLiteral("0"));
        QCOMPARE(form.lblDone->text(), QStringLiteral("確認OK処理済み"));
        QCOMPARE(test::cell(work(), QStringLiteral("Select KAKUNIN_FLG From rrk_ehj Where ID = ?"), {a}),
                 QStringLiteral("1"));
    }

    void confirmationScreenWithNothingWaiting() {
        test::ScriptedPrompter dialogs;
        core::JobScope scope({core::KindWork}, dialogs);
        cm::frmKakunin form(cm::fukiKind(), scope.context(), nullptr, &dialogs);
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("[なし] 確認可能なデータはありません。")});
        QCOMPARE(form.lblPage->text(), QStringLiteral("0"));
        QCOMPARE(form.lblCount->text(), QStringLiteral("0"));
        QVERIFY(!form.cmdNext->isEnabled());
        QVERIFY(!form.cmdBack->isEnabled());
        QVERIFY(!form.cmdOk->isEnabled());
    }

    void printingScreenPrintsTheTickedSetsAndCloses() {
        for (int i = 1; i <= 9; ++i)
            test::addEhj(work(), QStringLiteral("E%1").arg(i),
                         {QStringLiteral("1010"), QStringLiteral("5011")});
        test::ScriptedPrompter dialogs;
        core::JobScope scope({core::KindWork}, dialogs);
        cm::frmMstPrint form(cm::ehjKind(), scope.context(), nullptr, &dialogs);
        std::vector<report::Document> printed;
        form.printSink = [&printed](const report::Document& d) { printed.push_back(d); };
        int asked = 0;
        form.choosePrinter = [&asked] {
            ++asked;
            core::session().SelectedPrinter = asked == 1 ? QString() : QStringLiteral("P");
        };
        form.show();
        QCOMPARE(form.grdList->rowCount(), 9);
        QVERIFY(form.optAll->isChecked());
        QVERIFY(!form.grdList->isEnabled());
        QTest::mouseClick(form.cmdPrint, Qt::LeftButton); // no printer chosen: nothing, stays open
        QVERIFY(printed.empty());
        QVERIFY(form.isVisible());

        form.optSelect->setChecked(true);
        QVERIFY(form.grdList->isEnabled());
        form.grdList->item(8, 2)->setCheckState(Qt::Checked);
        form.grdList->item(1, 2)->setCheckState(Qt::Checked);
        QTest::mouseClick(form.cmdPrint, Qt::LeftButton);
        QCOMPARE(printed.size(), size_t(1));
        QCOMPARE(printed[0].pages.size(), size_t(1));
        QCOMPARE(printed[0].text(0, QStringLiteral("h1_1")), QStringLiteral("E2"));
        QCOMPARE(printed[0].text(0, QStringLiteral("h1_2")), QStringLiteral("E9"));
        QVERIFY(!form.isVisible());

        const QString pdf = path(QStringLiteral("listing.pdf"));
        report::writePdf(printed[0], pdf);
        if (test::haveProgram(QStringLiteral("pdftoppm"))) {
            const QImage page = pdfImage(pdf);
            QVERIFY(darkPixels(page, {13, 19 + 8.5, 18, 18}) > 100);        // slot 1, position 1
            QVERIFY(darkPixels(page, {35, 19 + 34 + 8.5, 18, 18}) > 100);   // slot 2, position 2
            QCOMPARE(darkPixels(page, {13 + 1, 19 + 68 + 9.5, 16, 16}), 0); // slot 3 empty
        }
        core::session().SelectedPrinter.clear();
    }

    void cleanupTestCase() {
        core::closeAllConnections();
        core::setProgramFolder({});
    }
};

QTEST_MAIN(CareMasterScreensTest)
#include "screens_test.moc"
