#include "support/test_env.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace kemnoa::test {

QString sourceDir() {
    // CTest sets the variable; the configured folder serves when a test runs without it.
    const QString env = qEnvironmentVariable("KEMNOA_SOURCE_DIR");
    return env.isEmpty() ? QString::fromUtf8(KEMNOA_TEST_SOURCE_DIR) : env;
}

QString binaryDir() {
    const QString env = qEnvironmentVariable("KEMNOA_BINARY_DIR");
    return env.isEmpty() ? QString::fromUtf8(KEMNOA_TEST_BINARY_DIR) : env;
}

QString systemPython() {
    if (QFileInfo::exists(QStringLiteral("/usr/bin/python3")))
        return QStringLiteral("/usr/bin/python3");
    return QStringLiteral("python3");
}

bool haveProgram(const QString& name) {
    return !QStandardPaths::findExecutable(name).isEmpty();
}

} // namespace kemnoa::test
