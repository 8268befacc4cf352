// The confirmation data screen over the shared connections: the list with its ticks, 全部選択 and
// 全部解除, the method choice, and the button that makes the chosen POs' PDFs and closes the screen.

#include "core/connections.h"
#include "core/session.h"
#include "demo/demo_data.h"
#include "label_support.h"
#include "output/ui/frm_ord_kakunin.h"
#include "platform/db/reader.h"
#include "support/database_files.h"
#include "support/scripted_prompter.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace kemnoa;

class FrmOrdKakuninTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    int prnSu(const QString& po) {
        return core::cnWork()
            .read(QStringLiteral("Select Max(PRN_SU) From rcv_denheaddata Where PO_NO = ?"), {po})
            .value(0)
            .toInt();
    }
    QStringList ticks(output::frmOrd_Kakunin& form) {
        QStringList out;
        for (int i = 0; i < form.TDBGrid1->rowCount(); ++i)
            out << (form.TDBGrid1->item(i, 6)->checkState() == Qt::Checked ? QStringLiteral("1")
                                                                           : QStringLiteral("0"));
        return out;
    }

private Q_SLOTS:
    void initTestCase() {
        core::resetSession();
        core::Session& s = core::session();
        s.WorkDb.Provider = s.OfficeDb.Provider = QStringLiteral("SQLite");
        s.WorkDb.DbName = dir_.filePath(QStringLiteral("work.db"));
        s.OfficeDb.DbName = dir_.filePath(QStringLiteral("office.db"));
        QDir(dir_.path()).mkpath(QStringLiteral("po"));
        QDir(dir_.path()).mkpath(QStringLiteral("kakunin"));
        s.PoFolder = dir_.filePath(QStringLiteral("po/"));
        s.KakuninFolder = dir_.filePath(QStringLiteral("kakunin/"));
        s.TagEnv = QStringLiteral("labels/TAG");
        s.CarEnv = QStringLiteral("labels/CAR");
        test::prepareLabelFolder(dir_.filePath(QStringLiteral("program")));
        test::ScriptedPrompter p;
        test::createSessionDatabases();
        QCOMPARE(core::dbOpen(core::KindWork, p), 0);
        QCOMPARE(core::dbOpen(core::KindOffice, p), 0);
        demo::seed(core::cnWork(), db::DatabaseKind::Work);
        demo::seed(core::cnOffice(), db::DatabaseKind::Office);
        // P00000001 never printed (two orders), P00000002 printed once.
        const struct {
            int ordNo;
            const char* po;
            int prnSu;
        } orders[] = {{1, "P00000001", 0}, {2, "P00000001", 0}, {3, "P00000002", 1}};
        for (const auto& o : orders) {
            core::cnWork().execute(
                QStringLiteral(
                    "Insert Into rcv_denheaddata (ORD_NO, IRAI_NO, ORD_DATE, KIBO_DATE, SIR_CD, NOU_CD, "
                    "KESSAI, SHKA_PLACE, PO_NO, PO_KBN, ERR_SU, PRN_SU, SEND_FLG, BIKO2) Values (?, 'R1', "
                    "20261201, '20261220', 'S1', 'C0101-01', '日本決済', '上海工場', ?, '0', 0, ?, '9', '')"),
                {o.ordNo, QString::fromLatin1(o.po), o.prnSu});
            core::cnWork().execute(
                QStringLiteral("Insert Into rcv_posdata (ORD_NO, GYOU, TAFCD, TAHIN, TACLT, TASIZ, SU, EHJ) "
                               "Values (?, 1, 'KT-1001', 'KM-77', 'ネイビー', 'M', 5, '')"),
                {o.ordNo});
        }
    }

    void listsTicksAndMakesTheChosenPosPdfs() {
        test::ScriptedPrompter dialogs;
        core::JobScope scope({core::KindWork}, dialogs);
        auto* form = new output::frmOrd_Kakunin(scope.context(), nullptr, &dialogs);
        form->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<output::frmOrd_Kakunin> alive(form);
        form->show();
        QCOMPARE(form->windowTitle(), QStringLiteral("確認データ作成"));
        QCOMPARE(form->TDBGrid1->rowCount(), 2);
        QCOMPARE(form->TDBGrid1->horizontalHeaderItem(0)->text(), QStringLiteral("PO番号"));
        QCOMPARE(form->TDBGrid1->horizontalHeaderItem(5)->text(), QStringLiteral("希望出荷日"));
        QCOMPARE(form->TDBGrid1->item(1, 0)->text(), QStringLiteral("P00000002"));
        QCOMPARE(form->TDBGrid1->item(1, 5)->text(), QStringLiteral("20261220"));
        QVERIFY(form->optPdfWriter->isChecked());
        QCOMPARE(ticks(*form), (QStringList{QStringLiteral("1"), QStringLiteral("0")}));
        QTest::mouseClick(form->cmdAllSelect, Qt::LeftButton);
        QCOMPARE(ticks(*form), (QStringList{QStringLiteral("1"), QStringLiteral("1")}));
        QTest::mouseClick(form->cmdAllCancel, Qt::LeftButton);
        QCOMPARE(ticks(*form), (QStringList{QStringLiteral("0"), QStringLiteral("0")}));

        // Only the PO printed before, ticked again: its count becomes 2.
        form->TDBGrid1->item(1, 6)->setCheckState(Qt::Checked);
        QTest::mouseClick(form->cmdOk, Qt::LeftButton);
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("[完了] 処理は終了しました。")});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(alive.isNull()); // the screen closed itself
        QCOMPARE(prnSu(QStringLiteral("P00000002")), 2);
        QCOMPARE(prnSu(QStringLiteral("P00000001")), 0);
        QVERIFY(QFile::exists(dir_.filePath(QStringLiteral("po/P00000002/P00000002-1.pdf"))));
        QVERIFY(!QDir(dir_.filePath(QStringLiteral("po/P00000001"))).exists());
    }

    void cleanupTestCase() {
        core::closeAllConnections();
        core::setProgramFolder({});
    }
};

QTEST_MAIN(FrmOrdKakuninTest)
#include "frm_ord_kakunin_test.moc"
