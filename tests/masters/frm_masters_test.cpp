// The two export windows on the offscreen platform: opened from their job rows, the master export
// run from its button against a real FTP server, the product grid and its menu.

#include "core/connections.h"
#include "core/ui/job_windows.h"
#include "masters/jobs.h"
#include "masters/ui/frm_mst_exp.h"
#include "masters/ui/frm_product_master.h"
#include "masters/ui/windows.h"
#include "receiving/receive_fixture.h"
#include "support/database_files.h"
#include "support/scripted_prompter.h"

#include <QAbstractItemModel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace kemnoa;

namespace {
QString L(const char* s) {
    return QString::fromUtf8(s);
}
QStringList items(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}
} // namespace

class FrmMastersTest : public QObject {
    Q_OBJECT
    QTemporaryDir home_;
    std::unique_ptr<test::ReceiveFolders> folders_;
    core::JobTable jobs_;
    core::ui::JobWindowRegistry windows_;

    void pointSessionAtDatabases() {
        core::session().WorkDb.Provider = QStringLiteral("SQLite");
        core::session().WorkDb.DbName = folders_->work.filePath(QStringLiteral("work.db"));
        core::session().OfficeDb.Provider = QStringLiteral("SQLite");
        core::session().OfficeDb.DbName = folders_->work.filePath(QStringLiteral("office.db"));
    }

private Q_SLOTS:
    void initTestCase() {
        // The desktop the system reports lies in a home of the test's own.
        qputenv("HOME", home_.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", home_.filePath(QStringLiteral(".config")).toUtf8());
        masters::addMasterJobs(jobs_);
        masters::addMasterWindows(windows_);
    }
    void init() {
        folders_ = std::make_unique<test::ReceiveFolders>();
        core::resetSession();
        pointSessionAtDatabases();
        test::createSessionDatabases();
    }
    void cleanup() {
        core::closeAllConnections();
        folders_.reset();
    }

    void menuCodesOpenTheirWindowsWithTheirConnections() {
        test::ScriptedPrompter p;
        struct Case {
            int code;
            const char* title;
            qint32 kind;
        };
        for (const Case& c : {Case{310, "マスタデータFTP送信", core::KindWork},
                              Case{306, "商品マスタ　参照のみ", core::KindOffice}}) {
            const core::Job* job = jobs_.byMenuCode(c.code);
            QVERIFY(job);
            const auto* factory = windows_.find(job->name);
            QVERIFY(factory);
            QPointer<QWidget> window = core::ui::createJobWindow(*job, *factory, p);
            QVERIFY(window);
            QCOMPARE(window->windowTitle(), L(c.title));
            QCOMPARE(core::leaseCount(c.kind), 1);
            delete window;
            QCOMPARE(core::leaseCount(c.kind), 0);
        }
        QVERIFY(p.events.empty());
    }

    void masterExportRunsFromItsButton() {
        test::ScriptedPrompter opening;
        core::JobScope scope({core::KindWork}, opening);
        core::cnWork().execute(
            QStringLiteral("Insert Into kemmst_size (size_value, sort_lv) Values ('M', 30)"));
        test::PyFtpServer server;
        QVERIFY2(server.start(folders_->root.path()), qPrintable(server.error()));
        test::pointSessionAt(server.port(), folders_->receiveFolder());
        pointSessionAtDatabases();

        test::ScriptedPrompter p;
        masters::frmMst_Exp form(scope.context(), nullptr, &p);
        QCOMPARE(form.cmdOk->text(), QStringLiteral("ok"));
        p.answer(false);
        QTest::mouseClick(form.cmdOk, Qt::LeftButton);
        QCOMPARE(form.List1->count(), 0);
        QVERIFY(folders_->serverFiles().isEmpty());

        p.answer(true);
        QTest::mouseClick(form.cmdOk, Qt::LeftButton);
        const QStringList lines = items(form.List1);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.first(), L("接続成功"));
        QVERIFY2(lines[1].startsWith(L("送信成功(")) && lines[2].startsWith(L("改名成功(")),
                 qPrintable(lines.join(u'|')));
        QCOMPARE(lines.last(), L("処理完了しました。"));
        QCOMPARE(p.messages(), QStringList{L("[完了] 処理完了しました。")});
        QCOMPARE(folders_->serverFiles().size(), 1);
        QVERIFY(folders_->serverFiles().first().startsWith(QStringLiteral("MST")));
        QVERIFY(form.cmdOk->isEnabled());
    }

    void productGridFollowsTheWindowAndWritesToTheDesktop() {
        test::ScriptedPrompter opening;
        core::JobScope scope({core::KindOffice}, opening);
        db::Connection& office = core::cnOffice();
        office.execute(
            QStringLiteral("Insert Into FSHOWK (SHO011, SHO032, SHO033) Values ('8710001', '下札', Null)"));
        office.execute(QStringLiteral("Insert Into FSKNPF (SKN011, SKN031_1, SKN031_9, SKN031_10) "
                                      "Values ('8710001', 'S-01', 12, 1234.5)"));
        office.execute(
            QStringLiteral("Insert Into FSHJWK1 (SHJ011, SHJ012, SHJ032) Values ('8710001', '0', 3)"));

        test::ScriptedPrompter p;
        QPointer<masters::frmProductMaster> form =
            new masters::frmProductMaster(scope.context(), nullptr, &p);
        form->setAttribute(Qt::WA_DeleteOnClose);
        QVERIFY(p.events.empty());
        QAbstractItemModel* m = form->grid->model();
        QCOMPARE(m->rowCount(), 1);
        QCOMPARE(m->columnCount(), 7);
        const QStringList captions = {L("商品コード"), L("ケム資材名"), L("品名1"),   L("品名2"),
                                      L("SH単価"),     L("提出単価"),   L("ケム単価")};
        const QStringList values = {L("8710001"), L("S-01"), L("下札"), QString(),
                                    L("1234.5"),  L("3"),    L("12")};
        for (int c = 0; c < 7; ++c) {
            QCOMPARE(m->headerData(c, Qt::Horizontal).toString(), captions[c]);
            QCOMPARE(m->index(0, c).data().toString(), values[c]);
            QVERIFY(!(m->flags(m->index(0, c)) & Qt::ItemIsEditable));
        }

        const QList<QAction*> menus = form->menuBar->actions();
        QCOMPARE(menus.size(), 1);
        QCOMPARE(menus[0]->text(), L("ﾌｧｲﾙ(&F)"));
        const QList<QAction*> entries = menus[0]->menu()->actions();
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries[0]->text(), L("書き出し"));
        QVERIFY(entries[1]->isSeparator());
        QCOMPARE(entries[2]->text(), L("終了"));

        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->resize(900, 600);
        QTRY_COMPARE(form->grid->width(), form->width());
        QTRY_COMPARE(form->grid->geometry().bottom(), form->height() - 1);

        // 書き出し: the workbook lands on the desktop, which is made when missing.
        const QString desktop = home_.filePath(QStringLiteral("Desktop/ケムノア商品マスタ.xlsx"));
        QCOMPARE(form->workbookPath, desktop);
        p.answer(true);
        form->mnuExp->trigger();
        QCOMPARE(p.messages(), QStringList{L("[完了] 書き出しました。")});
        QVERIFY(QFileInfo(desktop).size() > 0);

        entries[2]->trigger();
        QTRY_VERIFY(form.isNull());
    }
};

QTEST_MAIN(FrmMastersTest)
#include "frm_masters_test.moc"
