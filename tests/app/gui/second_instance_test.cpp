// A second start of the desktop program, while a first one runs, ends at once without a window;
// --help and --version answer without starting it.

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
    void helpAndVersionPrintAndEnd();
};

void TestSecondInstance::helpAndVersionPrintAndEnd() {
    const struct {
        const char* option;
        const char* starts;
    } cases[] = {{"--version", "kemnoa "}, {"--help", "usage: kemnoa"}};
    for (const auto& c : cases) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // No display at all: the answer must not need one.
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        p.setProcessEnvironment(env);
        p.start(test::binaryDir() + QStringLiteral("/src/app/gui/kemnoa"), {QString::fromLatin1(c.option)});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(out.startsWith(QLatin1String(c.starts)), qPrintable(out));
    }
}

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
#include "second_instance_test.moc"
