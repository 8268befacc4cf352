#include "receive_fixture.h"
#include "receiving/ui/frm_ord_imp.h"
#include "receiving/ui/windows.h"
#include "support/scripted_prompter.h"

#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace kemnoa;

class FrmOrdImpTest : public QObject {
    Q_OBJECT
    test::ScriptedPrompter dialogs_;
private Q_SLOTS:
    void captionsAndButtons() {
        core::JobScope scope(QList<qint32>{}, dialogs_);
        receiving::frmOrd_Imp form(scope.context());
        QCOMPARE(form.windowTitle(), QStringLiteral("読み込み"));
        QCOMPARE(form.cmdRcv->text(), QStringLiteral("FTP受信"));
        QCOMPARE(form.cmdImp->text(), QStringLiteral("→db"));
        QCOMPARE(form.Command1->text(), QStringLiteral("初期化（開発環境用）"));
        QVERIFY(form.cmdRcv->isEnabled());
    }

    void jobCodeOpensTheScreen() {
        core::ui::JobWindowRegistry registry;
        receiving::addReceivingWindows(registry);
        core::JobScope scope(QList<qint32>{}, dialogs_);
        const auto* factory = registry.find(QStringLiteral("import"));
        QVERIFY(factory);
        std::unique_ptr<QWidget> window((*factory)(scope.context()));
        QVERIFY(qobject_cast<receiving::frmOrd_Imp*>(window.get()) != nullptr);
    }

    void receiveButtonFillsList1() {
        test::ReceiveFolders f;
        test::putFile(f.serverFile(QStringLiteral("ORD1.mdb")), "x");
        test::PyFtpServer server;
        QVERIFY2(server.start(f.root.path()), qPrintable(server.error()));
        test::pointSessionAt(server.port(), f.receiveFolder());

        test::ScriptedPrompter dialogs;
        dialogs.answer(true);
        core::JobScope scope(QList<qint32>{}, dialogs);
        receiving::frmOrd_Imp form(scope.context(), nullptr, &dialogs);
        form.List1->addItem(QStringLiteral("old line")); // cleared by the receive
        QTest::mouseClick(form.cmdRcv, Qt::LeftButton);

        QStringList lines;
        for (int i = 0; i < form.List1->count(); ++i)
            lines << form.List1->item(i)->text();
        QCOMPARE(lines,
                 (QStringList{QStringLiteral("接続成功"),
                              QStringLiteral("受信成功(") + f.receiveFolder() + QStringLiteral("ORD1.mdb)"),
                              QStringLiteral("開放成功"), QStringLiteral("1つのファイルを受信しました。"),
                              QStringLiteral("FTP受信処理完了しました。")}));
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("[完了] 処理完了しました。")});
        QCOMPARE(dialogs.busyDepth, 0);
        QVERIFY(form.cmdRcv->isEnabled());
    }
};

QTEST_MAIN(FrmOrdImpTest)
#include "frm_ord_imp_test.moc"
