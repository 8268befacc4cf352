// The PO numbering screen over the shared connections: the list with its marks and warnings, and the
// button that numbers the marked orders and closes the screen.

#include "core/connections.h"
#include "core/session.h"
#include "demo/demo_data.h"
#include "output/ui/frm_ord_po_no_get.h"
#include "platform/db/reader.h"
#include "support/database_files.h"
#include "support/scripted_prompter.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace kemnoa;

class FrmOrdPoNoGetTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString poNo(int ordNo) {
        db::Reader r = core::cnWork().read(
            QStringLiteral("Select PO_NO From rcv_denheaddata Where ORD_NO = ?"), {ordNo});
        return r.text(0);
    }

private Q_SLOTS:
    void initTestCase() {
        core::resetSession();
        core::Session& s = core::session();
        s.WorkDb.Provider = s.PoDb.Provider = QStringLiteral("SQLite");
        s.WorkDb.DbName = dir_.filePath(QStringLiteral("work.db"));
        s.PoDb.DbName = dir_.filePath(QStringLiteral("po.db"));
        test::ScriptedPrompter p;
        test::createSessionDatabases();
        QCOMPARE(core::dbOpen(core::KindWork, p), 0);
        QCOMPARE(core::dbOpen(core::KindPo, p), 0);
        demo::seed(core::cnWork(), db::DatabaseKind::Work);
        demo::seed(core::cnPo(), db::DatabaseKind::Po);
        QVERIFY(succeeded(core::MF_KoteiJohoSet(p)));
        for (int n : {1, 2, 3}) {
            core::cnWork().execute(
                QStringLiteral(
                    "Insert Into rcv_denheaddata (ORD_NO, IRAI_NO, ORD_DATE, KIBO_DATE, SIR_CD, NOU_CD, "
                    "KESSAI, SHKA_PLACE, PO_NO, PO_KBN, ERR_SU, PRN_SU, SEND_FLG, BIKO2) Values (?, 'R1', "
                    "20261201, '20261220', 'S1', 'C0101-01', '日本決済', '上海工場', '', '', 0, 0, '9', '')"),
                {n});
            core::cnWork().execute(
                QStringLiteral(
                    "Insert Into rcv_posdata (ORD_NO, GYOU, TAFCD, SU, EHJ) Values (?, 1, 'KT-1001', 5, '')"),
                {n});
        }
    }

    void listsMarksWarnsAndNumbersTheMarkedOrders() {
        test::ScriptedPrompter dialogs;
        core::JobScope scope({core::KindWork, core::KindPo}, dialogs);
        auto* form = new output::frmOrd_PoNoGet(scope.context(), nullptr, &dialogs);
        form->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<output::frmOrd_PoNoGet> alive(form);
        form->show();
        QCOMPARE(form->windowTitle(), QStringLiteral("PO番号採番"));
        QCOMPARE(form->TDBGrid1->rowCount(), 3);
        QCOMPARE(form->TDBGrid1->horizontalHeaderItem(10)->text(), QStringLiteral("Chk"));
        QCOMPARE(form->TDBGrid1->item(1, 0)->text(), QStringLiteral("2"));
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral(
                                         "[依頼番号=R1] 依頼番号が重複しています。\r\n確認してください。")});
        // The middle order is taken out: the other two still share one number.
        form->TDBGrid1->item(1, 10)->setCheckState(Qt::Unchecked);
        QTest::mouseClick(form->cmdOk, Qt::LeftButton);
        QCOMPARE(dialogs.messages().last(), QStringLiteral("[完了] 処理は終了しました。"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(alive.isNull()); // the screen closed itself
        QCOMPARE(poNo(1), QStringLiteral("P00000001"));
        QCOMPARE(poNo(2), QString());
        QCOMPARE(poNo(3), QStringLiteral("P00000001"));
    }

    void cleanupTestCase() { core::closeAllConnections(); }
};

QTEST_MAIN(FrmOrdPoNoGetTest)
#include "frm_ord_po_no_get_test.moc"
