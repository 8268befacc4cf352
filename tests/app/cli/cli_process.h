#pragma once
// Runs the kemnoa-cli program as a child process on a program folder of the test's own.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace kemnoa::test {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

struct CliOptions {
    QHash<QString, QString> environment; // added to (or replacing) the test's own
    QByteArray input;                    // the program's standard input, closed after it
    int timeoutMs = 120000;
};

// Writes home's settings file (kemnoa.ini) in code page 932, as the program reads it; false when it
// cannot be written.
bool writeSettingsFile(const QString& home, const QString& text);

// KEMNOA_HOME points the program at home; KEMNOA_DELETE_PASSWORD is never inherited.
CliRun runKemnoaCli(const QString& home, const QStringList& args, const CliOptions& options = {});

} // namespace kemnoa::test
