// A second start of the desktop program, while a first one runs, ends at once without a window.

#include "core/single_instance.h"
#include "support/test_env.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace kemnoa;

class TestSecondInstance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void secondStartEndsSilently();
};

void TestSecondInstance::secondStartEndsSilently() {
    QTemporaryDir home;
    QVERIFY(home.isValid());
    // This test holds the lock of a copy running from that program folder.
    core::SingleInstanceGuard running(core::singleInstanceLockPath(home.path()));
    QVERIFY(running.acquire());

    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KEMNOA_HOME"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("KEMNOA_QUIT_AT_LOGIN"));
    second.setProcessEnvironment(env);
    second.start(test::binaryDir() + QStringLiteral("/src/app/gui/kemnoa"), {});
    QVERIFY2(second.waitForStarted(), qPrintable(second.errorString()));
    // Without the guard it would sit at its login window until killed.
    const bool ended = second.waitForFinished(30000);
    if (!ended)
        second.kill();
    QVERIFY(ended);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
}

QTEST_MAIN(TestSecondInstance)
#include "tst_second_instance.moc"
