// The login window: preselection from the remembered job type, and what each button does.

#include "core/session.h"
#include "core/ui/frm_login.h"
#include "core/user_store.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace kemnoa;
using core::ui::frmLogin;

class TestFrmLogin : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void preselection_data();
    void preselection();
    void okOpensTheMenuAndRemembersTheLogin();
    void cancelOnlyCloses();
    void optionOpensTheSettings();

private:
    QPointer<frmLogin> open();

    std::unique_ptr<QTemporaryDir> store_;
    QStringList calls_;
};

void TestFrmLogin::init() {
    store_ = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, store_->path());
    core::resetSession();
    core::session().VersionText = QStringLiteral("Version 1.0.31");
    calls_.clear();
}

QPointer<frmLogin> TestFrmLogin::open() {
    frmLogin::Actions actions;
    actions.openMenu = [this] { calls_ << QStringLiteral("menu"); };
    actions.openSettings = [this] { calls_ << QStringLiteral("settings"); };
    auto* login = new frmLogin(core::session(), actions);
    login->setAttribute(Qt::WA_DeleteOnClose);
    login->show();
    return login;
}

void TestFrmLogin::preselection_data() {
    QTest::addColumn<QString>("jobType");
    QTest::addColumn<int>("option");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("0") << QStringLiteral("0") << 0;
    QTest::newRow("1") << QStringLiteral("1") << 1;
}

void TestFrmLogin::preselection() {
    QFETCH(QString, jobType);
    QFETCH(int, option);
    core::session().JobType = jobType;
    core::session().LoginUser = QStringLiteral("佐藤");
    QPointer<frmLogin> login = open();
    QCOMPARE(login->windowTitle(), QStringLiteral("ログイン"));
    QCOMPARE(login->lblSystem->text(), QStringLiteral("ケムノア専用海外発注システム"));
    QCOMPARE(login->lblVersion->text(), QStringLiteral("Version 1.0.31"));
    QCOMPARE(login->txtUser->text(), QStringLiteral("佐藤"));
    QVERIFY(login->Option1[option]->isChecked());
    QVERIFY(!login->Option1[1 - option]->isChecked());
    QCOMPARE(login->Option1[0]->text(), QStringLiteral("nagoya sales"));
    QCOMPARE(login->Option1[1]->text(), QStringLiteral("data center"));
    delete login;
}

void TestFrmLogin::okOpensTheMenuAndRemembersTheLogin() {
    QPointer<frmLogin> login = open();
    login->txtUser->setText(QStringLiteral("鈴木"));
    QTest::mouseClick(login->Option1[1], Qt::LeftButton, {}, QPoint(6, login->Option1[1]->height() / 2));
    QTest::mouseClick(login->cmdOK, Qt::LeftButton);
    QCOMPARE(calls_, QStringList{QStringLiteral("menu")});
    QTRY_VERIFY(login.isNull());
    QCOMPARE(core::session().LoginUser, QStringLiteral("鈴木"));
    QCOMPARE(core::session().JobType, QStringLiteral("1"));

    // The next start shows the same name and option.
    core::resetSession();
    core::loadLoginFromUserStore(core::session());
    login = open();
    QCOMPARE(login->txtUser->text(), QStringLiteral("鈴木"));
    QVERIFY(login->Option1[1]->isChecked());
    delete login;
}

void TestFrmLogin::cancelOnlyCloses() {
    core::session().LoginUser = QStringLiteral("before");
    QPointer<frmLogin> login = open();
    login->txtUser->setText(QStringLiteral("typed"));
    QTest::mouseClick(login->cmdCancel, Qt::LeftButton);
    QTRY_VERIFY(login.isNull());
    QVERIFY(calls_.isEmpty());
    QCOMPARE(core::session().LoginUser, QStringLiteral("before"));
    QVERIFY(core::readUserStore().user.isEmpty());
}

void TestFrmLogin::optionOpensTheSettings() {
    QPointer<frmLogin> login = open();
    login->txtUser->setText(QStringLiteral("typed"));
    QTest::mouseClick(login->cmdOption, Qt::LeftButton);
    QCOMPARE(calls_, QStringList{QStringLiteral("settings")});
    QTRY_VERIFY(login.isNull());
    QVERIFY(core::readUserStore().user.isEmpty());
}

QTEST_MAIN(TestFrmLogin)
#include "frm_login_test.moc"
