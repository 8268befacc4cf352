// The error list window over the shared work connection.

#include "core/connections.h"
#include "core/session.h"
#include "maintenance/ui/frm_err.h"
#include "support/database_files.h"
#include "support/scripted_prompter.h"

#include <QAbstractItemModel>
#include <QColor>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace kemnoa;

class FrmErrTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private Q_SLOTS:
    void initTestCase() {
        core::resetSession();
        core::session().WorkDb.Provider = QStringLiteral("SQLite");
        core::session().WorkDb.DbName = dir_.path() + QStringLiteral("/work.db");
        test::createSessionDatabases();
        test::ScriptedPrompter p;
        QCOMPARE(core::dbOpen(core::KindWork, p), 0);
        for (int ord : {502, 501})
            for (int g = 1; g <= 2; ++g)
                core::cnWork().execute(
                    QStringLiteral("Insert Into rcv_errdata (ORD_NO, GYOU, ERR_TITLE, ERR_VALUE, "
                                   "ERR_MESSAGE) Values (?, ?, '決済区分エラー', 'x', '直してください')"),
                    {ord, g});
    }

    void noFindingsShowsOnlyTheMessage() {
        test::ScriptedPrompter p;
        QCOMPARE(maintenance::frmErr::MP_Open(777, p), nullptr);
        QCOMPARE(p.messages(), QStringList{QStringLiteral("[エラー無し] エラーはありません。")});
        QVERIFY(core::cnWork().isOpen()); // the work connection stays with the program
    }

    void allOrdersBandedByOrderAndTheGridFollowsTheWindow() {
        test::ScriptedPrompter p;
        QPointer<maintenance::frmErr> form = maintenance::frmErr::MP_Open(0, p);
        QVERIFY(form);
        QVERIFY(p.messages().isEmpty());
        QCOMPARE(form->windowTitle(), QStringLiteral("ｴﾗｰ内容"));
        QAbstractItemModel* m = form->grid()->model();
        QCOMPARE(m->rowCount(), 4);
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("発注番号"));
        QCOMPARE(m->headerData(4, Qt::Horizontal).toString(), QStringLiteral("内容"));
        QCOMPARE(m->headerData(5, Qt::Horizontal).toString(), QString());
        QCOMPARE(m->index(0, 0).data().toInt(), 501);
        QCOMPARE(m->index(2, 0).data().toInt(), 502);
        QVERIFY(!m->index(1, 2).data(Qt::BackgroundRole).isValid());
        QCOMPARE(m->index(2, 2).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(0xC0, 0xFF, 0xC0));
        QCOMPARE(m->index(3, 5).data().toString(), QStringLiteral("1"));
        QVERIFY(!(m->flags(m->index(0, 2)) & Qt::ItemIsEditable));

        form->resize(900, 600);
        QTRY_COMPARE(form->grid()->size(), form->size());
        form->close();
        QTRY_VERIFY(form.isNull()); // deleted on closing
    }

    void theMessageTakesTheSpareWidthAndShowsWholeAsTooltip() {
        const QString longMessage = QStringLiteral("品番がマスタに登録されていません。商品マスタを確認し、正"
                                                   "しい品番で発注データを修正してください。");
        core::cnWork().execute(
            QStringLiteral("Insert Into rcv_errdata (ORD_NO, GYOU, ERR_TITLE, ERR_VALUE, ERR_MESSAGE) "
                           "Values (503, 1, '品番エラー', 'AB-1', ?)"),
            {longMessage});
        test::ScriptedPrompter p;
        QPointer<maintenance::frmErr> form = maintenance::frmErr::MP_Open(503, p);
        QVERIFY(form);
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QTableView* grid = form->grid();
        QAbstractItemModel* m = grid->model();
        QCOMPARE(m->index(0, 4).data(Qt::ToolTipRole).toString(), longMessage);
        QVERIFY(!m->index(0, 2).data(Qt::ToolTipRole).isValid());

        // It opens inside the screen, its own size at least (Escape closes it, below).
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(area.contains(form->frameGeometry()));
        const QSize frame = form->frameGeometry().size() - form->size();
        QCOMPARE(form->minimumSize(), QSize(800, 467).boundedTo(area.size() - frame));

        // Every column but the message keeps its width; the message fills the rest of the grid.
        auto othersWidth = [grid] {
            int w = 0;
            for (int c = 0; c < grid->model()->columnCount(); ++c)
                if (c != 4)
                    w += grid->columnWidth(c);
            return w;
        };
        const int others = othersWidth();
        QTRY_COMPARE(grid->columnWidth(4) + others, grid->viewport()->width());
        const int narrow = grid->columnWidth(4);
        form->resize(form->width() + 200, form->height());
        QTRY_COMPARE(grid->columnWidth(4), narrow + 200);
        QCOMPARE(othersWidth(), others);

        QTest::keyClick(grid, Qt::Key_Escape);
        QTRY_VERIFY(form.isNull());
    }

    void cleanupTestCase() { core::closeAllConnections(); }
};

QTEST_MAIN(FrmErrTest)
#include "frm_err_test.moc"
