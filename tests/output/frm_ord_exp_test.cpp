// The PO creation screen over the shared connections: the list with its ticks, and the button that
// builds, archives and sends the ticked POs and closes the screen.

#include "core/connections.h"
#include "core/program_folder.h"
#include "core/session.h"
#include "demo/demo_data.h"
#include "output/ui/frm_ord_exp.h"
#include "platform/db/reader.h"
#include "support/database_files.h"
#include "support/scripted_prompter.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace kemnoa;

class FrmOrdExpTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString sendFlag(int ordNo) {
        db::Reader r = core::cnWork().read(
            QStringLiteral("Select SEND_FLG From rcv_denheaddata Where ORD_NO = ?"), {ordNo});
        return r.text(0);
    }

private Q_SLOTS:
    void initTestCase() {
        core::resetSession();
        core::setProgramFolder(dir_.path());
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("templates")));
        const QDir templates(test::sourceDir() + QStringLiteral("/resources/templates"));
        for (const QString& name : templates.entryList({QStringLiteral("*.xlsx")}, QDir::Files))
            QVERIFY(
                QFile::copy(templates.filePath(name), dir_.filePath(QStringLiteral("templates/") + name)));
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("po")));
        core::Session& s = core::session();
        s.PoFolder = dir_.filePath(QStringLiteral("po")) + QLatin1Char('/');
        s.WorkDb.Provider = s.PoDb.Provider = s.SkDb.Provider = QStringLiteral("SQLite");
        s.WorkDb.DbName = dir_.filePath(QStringLiteral("work.db"));
        s.PoDb.DbName = dir_.filePath(QStringLiteral("po.db"));
        s.SkDb.DbName = dir_.filePath(QStringLiteral("sk.db"));
        test::ScriptedPrompter p;
        test::createSessionDatabases();
        QCOMPARE(core::dbOpen(core::KindWork, p), 0);
        QCOMPARE(core::dbOpen(core::KindPo, p), 0);
        demo::seed(core::cnWork(), db::DatabaseKind::Work);
        demo::seed(core::cnPo(), db::DatabaseKind::Po);
        QVERIFY(succeeded(core::MF_KoteiJohoSet(p)));
        // Two POs of one order each, with their production rows.
        for (int n : {1, 2}) {
            const QString po = QStringLiteral("P0000000%1").arg(n);
            core::cnWork().execute(QStringLiteral("Insert Into rcv_denheaddata (ORD_NO, IRAI_NO, ORD_DATE, "
                                                  "KIBO_DATE, SIR_CD, NOU_CD, NOU_NM, "
                                                  "KESSAI, SHKA_PLACE, PO_NO, PO_KBN, ERR_SU, PRN_SU, "
                                                  "SEND_FLG, BIKO2) Values (?, ?, 20261201, "
                                                  "'20261220', 'S1', 'C0101-01', 'さくら衣料', '日本決済', "
                                                  "'上海工場', ?, '0', 0, 0, '9', '')"),
                                   {n, QStringLiteral("R%1").arg(n), po});
            core::cnWork().execute(
                QStringLiteral(
                    "Insert Into rcv_posdata (ORD_NO, GYOU, TAFCD, SU, EHJ) Values (?, 1, 'KT-1001', 5, '')"),
                {n});
            core::cnWork().execute(
                QStringLiteral(
                    "Insert Into rcv_skdata (PO_NO, PO_KBN, PO_GYOU, ORD_NO, GYOU, HINSYU_CD, LAYOUT, "
                    "SHO_CD, SU) Values (?, '0', 1, ?, 1, 'TAG', 'KT-1001', '8710001', 5)"),
                {po, n});
        }
    }

    void listsTicksBuildsAndSendsTheTickedPos() {
        test::ScriptedPrompter dialogs;
        core::JobScope scope({core::KindWork, core::KindPo, core::KindSk}, dialogs);
        auto* form = new output::frmOrd_Exp(scope.context(), nullptr, &dialogs);
        form->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<output::frmOrd_Exp> alive(form);
        form->show();
        QCOMPARE(form->windowTitle(), QStringLiteral("PO作成"));
        QCOMPARE(form->cmdOk->text(), QStringLiteral("作成開始"));
        QCOMPARE(form->TDBGrid1->rowCount(), 2);
        QStringList captions;
        for (int c = 0; c < form->TDBGrid1->columnCount(); ++c)
            captions << form->TDBGrid1->horizontalHeaderItem(c)->text();
        QCOMPARE(captions,
                 (QStringList{QStringLiteral("PO番号"), QStringLiteral("PO区分"), QStringLiteral("納品先"),
                              QStringLiteral("名称"), QStringLiteral("希望出荷日"), QStringLiteral("Chk")}));
        QCOMPARE(form->TDBGrid1->item(1, 0)->text(), QStringLiteral("P00000002"));
        QCOMPARE(form->TDBGrid1->item(0, 3)->text(), QStringLiteral("さくら衣料"));
        QCOMPARE(form->TDBGrid1->item(0, 5)->checkState(), Qt::Checked);
        QVERIFY(dialogs.messages().isEmpty());

        form->TDBGrid1->item(1, 5)->setCheckState(Qt::Unchecked);
        QTest::mouseClick(form->cmdOk, Qt::LeftButton);
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("[完了] 処理は終了しました。")});
        QVERIFY(dialogs.splashTexts.contains(QStringLiteral("上海向けファイル作成(P00000001)")));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(alive.isNull()); // the screen closed itself
        QCOMPARE(sendFlag(1), QStringLiteral("1"));
        QCOMPARE(sendFlag(2), QStringLiteral("9"));
        const QString po = core::session().PoFolder;
        QVERIFY(QFileInfo(po + QStringLiteral("P00000001.lzh")).isFile());
        QVERIFY(QFileInfo(po + QStringLiteral("P00000001/P00000001.xml")).isFile());
        QVERIFY(QFileInfo(po + QStringLiteral("P00000001/PO.P00000001.xlsx")).isFile());
        QVERIFY(!QFileInfo::exists(po + QStringLiteral("P00000002")));
    }

    void cleanupTestCase() { core::closeAllConnections(); }
};

QTEST_MAIN(FrmOrdExpTest)
#include "frm_ord_exp_test.moc"
