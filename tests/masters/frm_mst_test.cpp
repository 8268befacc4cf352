// The reference master windows over the shared work connection: the grid, its drop-down list,
// editing, adding and deleting lines, and the save.

#include "core/connections.h"
#include "core/job.h"
#include "core/session.h"
#include "maintenance/ui/line_grid_model.h"
#include "masters/ui/frm_mst.h"
#include "platform/db/reader.h"
#include "support/database_files.h"
#include "support/scripted_prompter.h"

#include <QAction>
#include <QComboBox>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace kemnoa;
using masters::RefMaster;

class FrmMstTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    test::ScriptedPrompter base_;

    QStringList dump(const QString& sql) {
        QStringList out;
        for (db::Reader r = core::cnWork().read(sql); !r.atEnd(); r.moveNext()) {
            QStringList row;
            for (int i = 0; i < r.columnCount(); ++i)
                row << r.text(i);
            out << row.join(QLatin1Char('|'));
        }
        return out;
    }

private Q_SLOTS:
    void initTestCase() {
        core::resetSession();
        core::session().WorkDb.Provider = QStringLiteral("SQLite");
        core::session().WorkDb.DbName = dir_.path() + QStringLiteral("/work.db");
        test::createSessionDatabases();
        QCOMPARE(core::dbOpen(core::KindWork, base_), 0);
        // More name types than the old drop-down held.
        for (int i = 0; i < 250; ++i)
            core::cnWork().execute(QStringLiteral("Insert Into kemmst_namecode (name_nm) Values (?)"),
                                   {QStringLiteral("N%1").arg(i, 3, 10, QLatin1Char('0'))});
        core::cnWork().execute(
            QStringLiteral("Insert Into kemmst_sizaicode (name_nm, sizai_cd, sizai_nm) Values "
                           "('N001', 'S1', '紙'), ('N000', 'S2', '布')"));
    }

    void materialWindowEditsAddsDeletesAndSaves() {
        test::ScriptedPrompter p;
        core::JobScope scope(QList<qint32>{core::KindWork}, p);
        masters::frmMst form(RefMaster::Sizai, scope.context(), nullptr, &p);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("資材マスタ"));
        QMenuBar* bar = form.findChild<QMenuBar*>();
        QVERIFY(bar);
        QCOMPARE(bar->actions().front()->text(), QStringLiteral("ﾌｧｲﾙ(&F)"));
        QCOMPARE(form.mnuSave->text(), QStringLiteral("保存"));
        auto* m = form.model();
        QCOMPARE(m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("ネーム種"));
        QCOMPARE(m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("資材コード"));
        QCOMPARE(m->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("資材名"));
        QCOMPARE(m->rowCount(), 3); // two records and the empty row for a new line
        QCOMPARE(m->cell(0, 0), QStringLiteral("N000"));

        // The name-type drop-down offers every name type.
        auto* grid = form.grid();
        grid->setCurrentIndex(m->index(0, 0));
        grid->edit(m->index(0, 0));
        auto* combo = grid->findChild<QComboBox*>();
        QVERIFY(combo);
        QCOMPARE(combo->count(), 250);
        QCOMPARE(combo->itemText(249), QStringLiteral("N249"));
        combo->setCurrentText(QStringLiteral("N249"));
        grid->commitPendingEdit(); // as the save does

        // A new line typed into the empty row, then the second record deleted.
        grid->setCurrentIndex(m->index(2, 0));
        QVERIFY(m->setData(m->index(2, 0), QStringLiteral("N100"), Qt::EditRole));
        QVERIFY(m->setData(m->index(2, 1), QStringLiteral("S3"), Qt::EditRole));
        QVERIFY(m->setData(m->index(2, 2), QStringLiteral("O'HARA紙"), Qt::EditRole));
        QCOMPARE(m->rowCount(), 4);
        grid->setFocus();
        grid->selectRow(1);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(m->rowCount(), 3);
        QVERIFY(m->isModified());

        p.answer(true);
        form.mnuSave->trigger();
        QCOMPARE(p.messages(), QStringList{QStringLiteral("[完了] 保存処理は完了しました。")});
        QCOMPARE(dump(QStringLiteral(
                     "Select name_nm, sizai_cd, sizai_nm From kemmst_sizaicode Order By sizai_cd")),
                 (QStringList{"N249|S2|布", "N100|S3|O'HARA紙"}));
        QVERIFY(!m->isModified());
    }

    void sizeWindowRefusesATextSortOrder() {
        test::ScriptedPrompter p;
        core::JobScope scope(QList<qint32>{core::KindWork}, p);
        masters::frmMst form(RefMaster::Size, scope.context(), nullptr, &p);
        auto* m = form.model();
        QVERIFY(m->setData(m->index(0, 0), QStringLiteral("M"), Qt::EditRole));
        QVERIFY(m->setData(m->index(0, 1), QStringLiteral("abc"), Qt::EditRole));
        p.answer(true);
        form.mnuSave_Click();
        QCOMPARE(p.messages(),
                 (QStringList{QStringLiteral(
                                  "[エラーチェック] 整列順に入力された値が数値じゃないレコードがあります。"),
                              QStringLiteral("[エラー] 保存処理をキャンセルします。")}));
        QVERIFY(dump(QStringLiteral("Select size_value From kemmst_size")).isEmpty());
    }

    void aTableThatCouldNotBeReadIsNeverSavedOver() {
        core::cnWork().execute(QStringLiteral("Alter Table kemmst_size Rename To kemmst_size_away"));
        test::ScriptedPrompter p;
        core::JobScope scope(QList<qint32>{core::KindWork}, p);
        masters::frmMst form(RefMaster::Size, scope.context(), nullptr, &p);
        QVERIFY(!form.loaded());
        QCOMPARE(p.events.size(), std::size_t(1));
        QCOMPARE(p.events[0].title, QStringLiteral("Form_Load"));
        QVERIFY(!form.mnuSave->isEnabled());
        form.mnuSave_Click();
        QCOMPARE(p.events.size(), std::size_t(1));
        core::cnWork().execute(QStringLiteral("Alter Table kemmst_size_away Rename To kemmst_size"));
    }

    void cleanupTestCase() { core::closeAllConnections(); }
};

QTEST_MAIN(FrmMstTest)
#include "frm_mst_test.moc"
