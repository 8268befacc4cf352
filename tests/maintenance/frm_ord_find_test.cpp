// The search list, the order editor opened from it and the cancel screens, over the shared work
// connection on the offscreen platform.

#include "core/connections.h"
#include "core/job.h"
#include "core/session.h"
#include "maintenance/order_rows.h"
#include "maintenance/ui/frm_ord_find.h"
#include "maintenance/ui/frm_ord_impdata.h"
#include "maintenance/ui/frm_ord_po_cancel.h"
#include "maintenance/ui/line_grid_model.h"
#include "maintenance/ui/order_list_model.h"
#include "platform/db/reader.h"
#include "support/database_files.h"
#include "support/scripted_prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace kemnoa;
using maintenance::frmOrd_Find;

class FrmOrdFindTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    db::Connection& work() { return core::cnWork(); }
    QString value(const QString& sql) {
        db::Reader r = work().read(sql);
        return r.atEnd() ? QStringLiteral("<none>") : r.text(0);
    }
    int rowOf(frmOrd_Find& f, qint32 ordNo) {
        for (int i = 0; i < f.model()->rowCount(); ++i)
            if (f.model()->index(i, 1).data().toInt() == ordNo)
                return i;
        return -1;
    }
    std::unique_ptr<frmOrd_Find> openFind(test::ScriptedPrompter& p, core::JobScope& scope) {
        auto f = std::make_unique<frmOrd_Find>(scope.context(), nullptr, &p);
        f->txtDateFrom->setText(QStringLiteral("20240101"));
        f->txtDateTo->setText(QStringLiteral("20241231"));
        f->txtSend->clear();
        f->cmdFind_Click();
        return f;
    }

private Q_SLOTS:
    void initTestCase() {
        core::resetSession();
        core::session().WorkDb.Provider = QStringLiteral("SQLite");
        core::session().WorkDb.DbName = dir_.path() + QStringLiteral("/work.db");
        test::ScriptedPrompter p;
        test::createSessionDatabases();
        QCOMPARE(core::dbOpen(core::KindWork, p), 0);
        using H = test::HeaderRow;
        test::insertHeader(work(), H{.ordNo = 10, .iraiNo = "7"});
        test::insertHeader(work(), H{.ordNo = 11, .sendFlg = "1", .poNo = "P1", .poKbn = "0"});
        test::insertHeader(work(), H{.ordNo = 12, .poNo = "P2", .poKbn = "0"});
        test::insertHeader(work(), H{.ordNo = 13});
        work().execute(QStringLiteral("Update rcv_denheaddata Set ERR_SU = 2 Where ORD_NO = 12"));
        for (int g = 1; g <= 3; ++g)
            work().execute(
                QStringLiteral("Insert Into rcv_posdata (ORD_NO, GYOU, TACD, SU) Values (10, ?, ?, 1)"),
                {g, QStringLiteral("T%1").arg(g)});
        work().execute(QStringLiteral("Insert Into rcv_fuzokudata (ORD_NO, GYOU, NAME_NM, SURYO1, TITLE1) "
                                      "Values (10, 1, 'TAG', 3, 'S')"));
        for (const char* n : {"TAG", "CAR", "BOX"})
            work().execute(QStringLiteral("Insert Into kemmst_namecode (name_nm) Values (?)"),
                           {QString::fromLatin1(n)});
        work().execute(QStringLiteral("Insert Into kemmst_sizaicode (name_nm, sizai_cd, sizai_nm) Values "
                                      "('TAG', 'T2', '紙B'), ('TAG', 'T1', '紙A'), ('CAR', 'C1', '布')"));
    }

    void searchFieldsListAndHelp() {
        test::ScriptedPrompter p;
        core::JobScope scope(QList<qint32>{core::KindWork}, p);
        frmOrd_Find f(scope.context(), nullptr, &p);
        QCOMPARE(f.windowTitle(), QStringLiteral("検索"));
        QCOMPARE(f.txtSend->text(), QStringLiteral("0"));
        QCOMPARE(f.txtDateFrom->text(),
                 QDate::currentDate().addMonths(-1).toString(QStringLiteral("yyyyMMdd")));
        f.txtDateTo->setText(QStringLiteral("2024010"));
        f.cmdFind_Click();
        QCOMPARE(p.messages(), QStringList{QStringLiteral("[エラー] 日付は8桁の数値で入力してください。")});
        QCOMPARE(f.model()->rowCount(), 0);

        f.txtDateFrom->setText(QStringLiteral("20240101"));
        f.txtDateTo->setText(QStringLiteral("20241231"));
        f.cmdFind_Click();
        QCOMPARE(f.model()->rowCount(), 3); // unsent only
        QCOMPARE(f.model()->index(0, 1).data().toString(), QStringLiteral("13"));
        f.txtSend->clear();
        f.cmdFind_Click();
        QCOMPARE(f.model()->rowCount(), 4);
        QCOMPARE(f.model()->headerData(9, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("送信済"));
        QCOMPARE(f.model()->index(rowOf(f, 11), 9).data().toString(), QStringLiteral("済"));
        QCOMPARE(f.model()->index(rowOf(f, 13), 9).data().toString(), QString()); // '9' is unsent
        QVERIFY(!(f.model()->flags(f.model()->index(0, 1)) & Qt::ItemIsEditable));
        QVERIFY(f.model()->flags(f.model()->index(0, 0)) & Qt::ItemIsEditable);

        p.events.clear();
        f.cmdHelp_Click();
        QCOMPARE(p.messages(), QStringList{QStringLiteral("[] d = 送信済み以外の発注データ削除")});
    }

    void editorEditsAddsDeletesSavesAndRefreshesItsOwnRow() {
        test::ScriptedPrompter p;
        core::JobScope scope(QList<qint32>{core::KindWork}, p);
        auto f = openFind(p, scope);
        f->grid->setCurrentIndex(f->model()->index(0, 0)); // another row is current
        f->openRow(rowOf(*f, 10));
        QPointer<maintenance::frmOrd_ImpData> e = f->editor();
        QVERIFY(e);
        QCOMPARE(e->windowTitle(), QStringLiteral("データ修正/確認"));
        QCOMPARE(e->field("ORD_NO")->text(), QStringLiteral("10"));
        QVERIFY(e->field("ORD_NO")->isReadOnly());
        QVERIFY(!e->field("KIBO_DATE")->isReadOnly());
        QCOMPARE(e->title(0)->text(), QStringLiteral("S"));

        auto* tags = e->grid(0);
        QCOMPARE(tags->rowCount(), 4); // three lines and the empty row
        const int tacd = tags->columnOf("TACD");
        QVERIFY(tags->setData(tags->index(0, tacd), QStringLiteral("T1'x"), Qt::EditRole));
        QVERIFY(tags->setData(tags->index(3, tacd), QStringLiteral("T4"), Qt::EditRole)); // a new line
        e->show();
        QVERIFY(QTest::qWaitForWindowActive(e));
        auto* view = e->gridView(0);
        view->setFocus();
        view->selectRow(1);
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(tags->rowCount(), 4);
        QVERIFY(e->isModified());

        // The drop-downs of the item totals: every name type; the materials of the line's name type.
        auto* totals = e->grid(3);
        auto* totalsView = e->gridView(3);
        e->tabs->setCurrentIndex(3);
        totalsView->setCurrentIndex(totals->index(0, totals->columnOf("NAME_NM")));
        totalsView->edit(totalsView->currentIndex());
        auto* combo = totalsView->findChild<QComboBox*>();
        QVERIFY(combo);
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(0), QStringLiteral("BOX"));
        totalsView->commitPendingEdit();
        totalsView->setCurrentIndex(totals->index(0, totals->columnOf("SIZAI_NM")));
        totalsView->edit(totalsView->currentIndex());
        QCOMPARE(e->materials(), (QStringList{"紙A", "紙B"}));
        totalsView->commitPendingEdit();

        e->field("NOU_NM")->setText(QStringLiteral("新しい納品先"));
        e->field("IRAI_NO")->setText(QStringLiteral("0012"));
        p.events.clear();
        p.answer(true);
        p.answer(true); // close after the master check's findings
        e->cmdUpdate_Click();
        // The master check ran on the saved order: its findings, then the question to close.
        QVERIFY(p.messages().filter(QStringLiteral("[納品先エラー] マスタチェック結果")).size() == 1);
        QCOMPARE(p.events.back().title, QStringLiteral("保存完了"));
        QCOMPARE(p.unscriptedQuestions, 0);
        QTRY_VERIFY(e.isNull()); // closed and gone
        QCOMPARE(value("Select Count(*) From rcv_posdata Where ORD_NO = 10"), QStringLiteral("3"));
        QCOMPARE(value("Select TACD From rcv_posdata Where ORD_NO = 10 And GYOU = 1"),
                 QStringLiteral("T1'x"));
        QCOMPARE(value("Select TACD From rcv_posdata Where ORD_NO = 10 And GYOU = 2"), QStringLiteral("T3"));
        QCOMPARE(value("Select TACD From rcv_posdata Where ORD_NO = 10 And GYOU = 3"), QStringLiteral("T4"));
        QCOMPARE(value("Select IRAI_NO From rcv_denheaddata Where ORD_NO = 10"), QStringLiteral("12"));
        // The list row of that order shows the saved header; the current row is untouched.
        QCOMPARE(f->model()->index(rowOf(*f, 10), 7).data().toString(), QStringLiteral("新しい納品先"));
        QCOMPARE(f->model()->index(rowOf(*f, 10), 2).data().toString(), QStringLiteral("12"));
        QCOMPARE(f->model()->index(0, 7).data().toString(), QStringLiteral("納品先"));
    }

    void sentAndNumberedOrdersInTheEditor() {
        test::ScriptedPrompter p;
        core::JobScope scope(QList<qint32>{core::KindWork}, p);
        auto f = openFind(p, scope);
        f->openRow(rowOf(*f, 12));
        auto* e = f->editor();
        QVERIFY(e->field("KIBO_DATE")->isReadOnly()); // numbered: locked
        QVERIFY(e->field("NOU_TEL")->isReadOnly());
        QVERIFY(!e->field("BIKO1")->isReadOnly());
        QCOMPARE(e->field("ERR_SU")->palette().color(QPalette::Base), QColor(Qt::red));
        QCOMPARE(e->field("ERR_SU")->palette().color(QPalette::Text), QColor(Qt::white));

        // One editor: unsaved changes are not thrown away without asking.
        QTest::keyClicks(e->field("BIKO1"), QStringLiteral("x"));
        p.answer(false);
        f->openRow(rowOf(*f, 11));
        QCOMPARE(f->editor(), e);
        QCOMPARE(e->orderNumber(), 12);
        p.answer(true);
        f->openRow(rowOf(*f, 11));
        QCOMPARE(f->editor(), e);
        QCOMPARE(e->orderNumber(), 11);
        QCOMPARE(e->field("ERR_SU")->palette().color(QPalette::Base), QColor(Qt::blue));

        p.events.clear();
        p.answer(true);
        e->cmdUpdate_Click();
        QCOMPARE(p.messages(), QStringList{QStringLiteral("[禁止] 送信済みは更新できません。")});
        QCOMPARE(f->editor(), e); // stays open
    }

    void deleteCommandFromTheList() {
        test::ScriptedPrompter p;
        core::JobScope scope(QList<qint32>{core::KindWork}, p);
        auto f = openFind(p, scope);
        const int before = f->model()->rowCount();
        QVERIFY(f->model()->setData(f->model()->index(rowOf(*f, 13), 0), QStringLiteral("D"), Qt::EditRole));
        QVERIFY(f->model()->setData(f->model()->index(rowOf(*f, 11), 0), QStringLiteral("d"), Qt::EditRole));
        f->grid->setCurrentIndex(f->model()->index(0, 0));
        p.events.clear();
        p.answer(true);
        f->cmdCommand_Click();
        QCOMPARE(p.messages(), QStringList{QStringLiteral("[注意] 送信済み伝票(11)は削除できません。")});
        QCOMPARE(f->model()->rowCount(), before - 1);
        QCOMPARE(rowOf(*f, 13), -1);
        QCOMPARE(value("Select Count(*) From rcv_denheaddata Where ORD_NO = 13"), QStringLiteral("0"));
    }

    void cancelScreens() {
        test::ScriptedPrompter p;
        core::JobScope scope(QList<qint32>{core::KindWork}, p);
        maintenance::frmOrd_PoCancel po(maintenance::PoCancel::PoNumber, scope.context(), nullptr, &p);
        QCOMPARE(po.windowTitle(), QStringLiteral("PO番号解除"));
        QCOMPARE(po.cmbPo->count(), 1);
        QCOMPARE(po.cmbPo->itemText(0), QStringLiteral("P2"));
        po.cmdExec_Click();
        QCOMPARE(p.messages(), QStringList{QStringLiteral("[エラー] 条件を入力して下さい。")});

        maintenance::frmOrd_PoCancel send(maintenance::PoCancel::Send, scope.context(), nullptr, &p);
        QCOMPARE(send.windowTitle(), QStringLiteral("送信解除"));
        send.show();
        send.cmbPo->setCurrentText(QStringLiteral("P1"));
        p.events.clear();
        send.cmdExec_Click();
        QCOMPARE(p.messages(), QStringList{QStringLiteral("[] 解除しました。")});
        QVERIFY(!send.isVisible());
        QCOMPARE(value("Select SEND_FLG From rcv_denheaddata Where ORD_NO = 11"), QStringLiteral("9"));
    }

    void cleanupTestCase() { core::closeAllConnections(); }
};

QTEST_MAIN(FrmOrdFindTest)
#include "frm_ord_find_test.moc"
