#include "cli_process.h"

#include "platform/text/cp932.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace kemnoa::test {

bool writeSettingsFile(const QString& home, const QString& text) {
    QFile f(QDir(home).filePath(QStringLiteral("kemnoa.ini")));
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text::toCp932(text)) >= 0 &&
           f.flush();
}

CliRun runKemnoaCli(const QString& home, const QStringList& args, const CliOptions& options) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KEMNOA_HOME"), home);
    env.remove(QStringLiteral("KEMNOA_DELETE_PASSWORD"));
    for (auto it = options.environment.begin(); it != options.environment.end(); ++it)
        env.insert(it.key(), it.value());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KEMNOA_CLI), args);
    p.write(options.input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(options.timeoutMs)) << "kemnoa-cli " << args.join(u' ').toStdString();
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace kemnoa::test
