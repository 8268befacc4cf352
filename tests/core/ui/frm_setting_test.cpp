// The settings screen: filled from the session, written only on OK, spare rows never written.

#include "core/session.h"
#include "core/ui/frm_setting.h"
#include "platform/text/cp932.h"
#include "support/scripted_prompter.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace kemnoa;
using core::ui::frmSetting;

namespace {
QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestFrmSetting : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void opensWithTheSessionValues();
    void closingWithoutOkWritesNothing();
    void okWritesTheElevenValuesOnly();
    void browseAsksWithTheRowLabel();
    void failedWriteIsReportedAndTheScreenStays();

private:
    QPointer<frmSetting> open();

    std::unique_ptr<QTemporaryDir> dir_;
    QString ini_;
    QStringList chooserTitles_;
    test::ScriptedPrompter prompter_;
    QString chosen_;
};

void TestFrmSetting::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    ini_ = dir_->filePath(QStringLiteral("kemnoa.ini"));
    core::resetSession();
    core::Session& s = core::session();
    s.WorkDb = {QStringLiteral("SQLOLEDB"), QStringLiteral("kemsv"), QStringLiteral("KEMDB")};
    s.PoDb.ServerName = QStringLiteral("posv");
    s.PoDb.DbName = QStringLiteral("PODB");
    s.SkDb.ServerName = QStringLiteral("sksv");
    s.SkDb.DbName = QStringLiteral("SKDB");
    s.OfficeDb.ServerName = QStringLiteral("offsv");
    s.OfficeDb.DbName = QStringLiteral("オフコン");
    s.PoFolder = QStringLiteral("/data/po/");
    s.KakuninFolder = QStringLiteral("/data/kakunin/");
    s.LocalFolder = QStringLiteral("/data/recv/");
    chooserTitles_.clear();
    chosen_.clear();
    prompter_.events.clear();
}

QPointer<frmSetting> TestFrmSetting::open() {
    auto chooser = [this](QWidget*, const QString& title) {
        chooserTitles_ << title;
        return chosen_;
    };
    auto* w = new frmSetting(core::session(), prompter_, ini_, chooser);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    return w;
}

void TestFrmSetting::opensWithTheSessionValues() {
    QPointer<frmSetting> w = open();
    QCOMPARE(w->windowTitle(), QStringLiteral("環境設定"));
    QCOMPARE(w->tabs->currentIndex(), 0);
    QCOMPARE(w->tabs->tabText(0), QStringLiteral("基本"));
    QCOMPARE(w->tabs->tabText(1), QStringLiteral("Path"));
    const QStringList servers = {QStringLiteral("kemsv"), QStringLiteral("posv"), QStringLiteral("sksv"),
                                 QStringLiteral("offsv")};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(w->txtSv[i]->text(), servers[i]);
    QCOMPARE(w->txtDb[3]->text(), QStringLiteral("オフコン"));
    QCOMPARE(w->txtDir[0]->text(), QStringLiteral("/data/po/"));
    QCOMPARE(w->txtDir[1]->text(), QStringLiteral("/data/kakunin/"));
    QCOMPARE(w->txtDir[2]->text(), QStringLiteral("/data/recv/"));
    QCOMPARE(w->lblDir[1]->text(), QStringLiteral("確認データ Dir:"));
    for (int i = 3; i < 12; ++i) {
        QVERIFY(w->txtDir[i]->text().isEmpty());
        QCOMPARE(w->lblDir[i]->text(), QStringLiteral("予備:"));
    }
    delete w;
}

void TestFrmSetting::closingWithoutOkWritesNothing() {
    QPointer<frmSetting> w = open();
    w->txtSv[0]->setText(QStringLiteral("changed"));
    w->txtDir[0]->setText(QStringLiteral("/changed/"));
    w->close();
    QTRY_VERIFY(w.isNull());
    QVERIFY(!QFile::exists(ini_));
    QCOMPARE(core::session().WorkDb.ServerName, QStringLiteral("kemsv"));
    QCOMPARE(core::session().PoFolder, QStringLiteral("/data/po/"));
}

void TestFrmSetting::okWritesTheElevenValuesOnly() {
    // An existing settings file keeps everything the screen does not edit.
    QFile f(ini_);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text::toCp932(
        QStringLiteral("[SQLKEM_DB]\r\nPROVIDER=SQLOLEDB\r\nSERVER_NM=kemsv\r\nPASSWORD=秘密\r\n"
                       "[FTP]\r\nHostMei=ftp.example\r\nPortNum=21\r\n")));
    f.close();

    QPointer<frmSetting> w = open();
    w->txtSv[0]->setText(QStringLiteral("新サーバ"));
    w->txtDb[2]->setText(QStringLiteral("SK2"));
    w->txtDir[2]->setText(QStringLiteral("/recv2/"));
    for (int i = 3; i < 12; ++i)
        w->txtDir[i]->setText(QStringLiteral("/spare%1/").arg(i));
    QTest::mouseClick(w->cmdOK, Qt::LeftButton);
    QTRY_VERIFY(w.isNull());
    QVERIFY(prompter_.events.empty());

    const QString written = text::fromCp932(readBytes(ini_));
    QVERIFY2(written.contains(QStringLiteral("SERVER_NM=新サーバ")), qPrintable(written));
    QVERIFY(written.contains(QStringLiteral("PASSWORD=秘密")));
    QVERIFY(written.contains(QStringLiteral("PROVIDER=SQLOLEDB")));
    QVERIFY(written.contains(QStringLiteral("HostMei=ftp.example")));
    QVERIFY(written.contains(QStringLiteral("LOCAL_FOLDER=/recv2/")));
    QVERIFY(written.contains(QStringLiteral("DB_NM=SK2")));
    QVERIFY(written.contains(QStringLiteral("DB_NM=オフコン")));
    QVERIFY(written.contains(QStringLiteral("KAKUNIN_FOLDER=/data/kakunin/")));
    QVERIFY(written.contains(QStringLiteral("FOLDER=/data/po/")));
    QVERIFY(!written.contains(QStringLiteral("spare")));
    QCOMPARE(written.count(QStringLiteral("SERVER_NM=")), 4);
    QCOMPARE(core::session().WorkDb.ServerName, QStringLiteral("新サーバ"));
    QCOMPARE(core::session().SkDb.DbName, QStringLiteral("SK2"));
    QCOMPARE(core::session().LocalFolder, QStringLiteral("/recv2/"));
    QCOMPARE(core::session().WorkDb.Provider, QStringLiteral("SQLOLEDB"));
}

void TestFrmSetting::browseAsksWithTheRowLabel() {
    QPointer<frmSetting> w = open();
    chosen_ = QStringLiteral("/picked/");
    QTest::mouseClick(w->cmd_Sansyou[1], Qt::LeftButton);
    QCOMPARE(chooserTitles_, QStringList{QStringLiteral("確認データ Dir:")});
    QCOMPARE(w->txtDir[1]->text(), QStringLiteral("/picked/"));
    chosen_.clear(); // cancelled
    QTest::mouseClick(w->cmd_Sansyou[0], Qt::LeftButton);
    QCOMPARE(chooserTitles_.last(), QStringLiteral("PO Dir:"));
    QCOMPARE(w->txtDir[0]->text(), QStringLiteral("/data/po/"));
    QVERIFY(!QFile::exists(ini_));
    delete w;
}

void TestFrmSetting::failedWriteIsReportedAndTheScreenStays() {
    QVERIFY(QDir().mkdir(ini_)); // a folder where the file should be: no write can succeed
    QPointer<frmSetting> w = open();
    QTest::mouseClick(w->cmdOK, Qt::LeftButton);
    QCOMPARE(prompter_.messages(),
             QStringList{QStringLiteral("[環境設定] 設定ファイルに書き込めませんでした。\r\n") + ini_});
    QCOMPARE(prompter_.events.front().icon, core::MsgIcon::Critical);
    QVERIFY(w && w->isVisible());
    delete w;
}

QTEST_MAIN(TestFrmSetting)
#include "frm_setting_test.moc"
