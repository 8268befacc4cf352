// The import buttons of the order-file screen over the shared connections.

#include "core/connections.h"
#include "core/program_folder.h"
#include "core/session.h"
#include "demo/demo_data.h"
#include "demo/sample_orders.h"
#include "platform/db/reader.h"
#include "receiving/ui/frm_ord_imp.h"
#include "support/database_files.h"
#include "support/scripted_prompter.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace kemnoa;

class FrmOrdImpImportTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

    int count(const QString& table) {
        return core::cnWork().read(QStringLiteral("Select Count(*) From ") + table).value(0).toInt();
    }

private Q_SLOTS:
    void initTestCase() {
        core::resetSession();
        core::setProgramFolder(dir_.path()); // ftplog.log goes there
        core::Session& s = core::session();
        s.WorkDb.Provider = QStringLiteral("SQLite");
        s.WorkDb.DbName = path(QStringLiteral("work.db"));
        s.PoDb.Provider = QStringLiteral("SQLite");
        s.PoDb.DbName = path(QStringLiteral("po.db"));
        QDir().mkpath(path(QStringLiteral("recv")));
        s.LocalFolder = path(QStringLiteral("recv/"));
        test::createSessionDatabases();
        test::ScriptedPrompter p;
        QCOMPARE(core::dbOpen(core::KindWork, p), 0);
        QCOMPARE(core::dbOpen(core::KindPo, p), 0);
        demo::seed(core::cnWork(), db::DatabaseKind::Work);
        demo::seed(core::cnPo(), db::DatabaseKind::Po);
    }

    void importButtonImportsAndClosesTheScreen() {
        demo::BuiltFile f;
        f.orders = {demo::sampleOrder(11, 2), demo::sampleOrder(12, 1)};
        demo::writeOrderFile(path(QStringLiteral("recv/ORD1.mdb")), f);

        test::ScriptedPrompter dialogs;
        core::JobScope scope({core::KindWork, core::KindPo}, dialogs);
        receiving::frmOrd_Imp form(scope.context(), nullptr, &dialogs);
        form.show();
        QVERIFY(form.cmdImp->isEnabled());
        form.List1->addItem(QStringLiteral("old line"));
        QTest::mouseClick(form.cmdImp, Qt::LeftButton);

        QCOMPARE(form.List1->count(), 1);
        QCOMPARE(form.List1->item(0)->text(),
                 QStringLiteral("成功(") + path(QStringLiteral("recv/ORD1.mdb")) + ")");
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("[終了] 読み込み終了いたしました。")});
        QVERIFY(!form.isVisible());
        QCOMPARE(count(QStringLiteral("rcv_denheaddata")), 2);
        QCOMPARE(count(QStringLiteral("rcv_denheaddata Where ERR_SU = 0")), 2);
    }

    void importEndingWithWaitingSubmissionsOpensBothConfirmationScreens() {
        demo::BuiltFile f;
        f.ehj = {demo::sampleEhj(1, QStringLiteral("E9001"))};
        f.fuki = {demo::sampleFuki(1, QStringLiteral("F9001"))};
        demo::writeOrderFile(path(QStringLiteral("recv/ORD2.mdb")), f);

        test::ScriptedPrompter dialogs;
        core::JobScope scope({core::KindWork, core::KindPo}, dialogs);
        QStringList opened;
        receiving::ConfirmationScreens screens;
        screens.openEhj = [&] { opened << QStringLiteral("frmKakunin_Ehj"); };
        screens.openFuki = [&] { opened << QStringLiteral("frmKakunin_Fuki"); };
        receiving::frmOrd_Imp form(scope.context(), nullptr, &dialogs, screens);
        form.show();
        QTest::mouseClick(form.cmdImp, Qt::LeftButton);
        QCOMPARE(opened, (QStringList{QStringLiteral("frmKakunin_Ehj"), QStringLiteral("frmKakunin_Fuki")}));
        QCOMPARE(dialogs.messages(),
                 (QStringList{QStringLiteral("[終了] 読み込み終了いたしました。"),
                              QStringLiteral("[絵表示] 確認が必要な絵表示の情報があります。"),
                              QStringLiteral("[付記用語] 確認が必要な付記用語の情報があります。")}));
        QVERIFY(!form.isVisible());
    }

    void deleteAllButtonAsksForThePassword() {
        // Rows of its own in each of the ten tables, whatever other functions left behind.
        const QStringList tables = {QStringLiteral("rcv_denheaddata"), QStringLiteral("rcv_posdata"),
                                    QStringLiteral("rcv_cardata"),     QStringLiteral("rcv_addfukidata"),
                                    QStringLiteral("rcv_fuzokudata"),  QStringLiteral("rcv_errdata"),
                                    QStringLiteral("rcv_csvdata"),     QStringLiteral("rcv_skdata"),
                                    QStringLiteral("rrk_ehj"),         QStringLiteral("rrk_fuki")};
        for (const QString& table : tables) {
            const QString columns = table.startsWith(QLatin1String("rrk_"))
                                        ? QStringLiteral("(SYORI_FLG) Values ('N')")
                                    : table == QLatin1String("rcv_denheaddata")
                                        ? QStringLiteral("(ORD_NO, SEND_FLG) Values (90001, '9')")
                                        : QStringLiteral("(ORD_NO) Values (90001)");
            core::cnWork().execute(QStringLiteral("Insert Into ") + table + QLatin1Char(' ') + columns);
            QVERIFY2(count(table) > 0, qPrintable(table));
        }

        test::ScriptedPrompter dialogs;
        dialogs.inputAnswer(QStringLiteral("fern"));
        core::JobScope scope({core::KindWork, core::KindPo}, dialogs);
        receiving::frmOrd_Imp form(scope.context(), nullptr, &dialogs);
        form.show();
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        for (const QString& table : tables)
            QVERIFY2(count(table) == 0, qPrintable(table));
        QVERIFY(!dialogs.events.empty());
        QCOMPARE(dialogs.events.front().title, QStringLiteral("全削除"));
        QVERIFY(dialogs.messages().isEmpty());
        QVERIFY(form.isVisible());
    }

    void cleanupTestCase() { core::closeAllConnections(); }
};

QTEST_MAIN(FrmOrdImpImportTest)
#include "frm_ord_imp_import_test.moc"
