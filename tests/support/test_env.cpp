#include "support/test_env.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace kemnoa::test {

QString sourceDir() {
    const QString env = qEnvironmentVariable("KEMNOA_SOURCE_DIR");
    return env.isEmpty() ? QStringLiteral(KEMNOA_SOURCE_DIR_DEFAULT) : env;
}

QString binaryDir() {
    const QString env = qEnvironmentVariable("KEMNOA_BINARY_DIR");
    return env.isEmpty() ? QStringLiteral(KEMNOA_BINARY_DIR_DEFAULT) : env;
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
