#include "xlsx_test_support.h"

#include "support/test_env.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <gtest/gtest.h>

namespace kemnoa::xlsx::test {

int run(const QString& program, const QStringList& args, QByteArray* output, QByteArray* errors,
        int timeoutMs) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted())
        return -1;
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return -2;
    }
    if (output)
        *output = p.readAllStandardOutput();
    if (errors)
        *errors = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -3;
}

QString sourceTree() { return kemnoa::test::sourceDir(); }

QString testScript(const QString& name) {
    return sourceTree() + QStringLiteral("/tests/platform/xlsx/") + name;
}

QJsonObject openpyxlDump(const QString& path) {
    QByteArray out, err;
    const int rc =
        run(kemnoa::test::systemPython(), {testScript(QStringLiteral("dump_xlsx.py")), path}, &out, &err);
    EXPECT_EQ(rc, 0) << err.toStdString();
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(out, &parseError);
    EXPECT_EQ(parseError.error, QJsonParseError::NoError) << parseError.errorString().toStdString();
    return doc.object();
}

QJsonObject dumpSheet(const QJsonObject& dump, const QString& name) {
    for (const auto& s : dump.value(QStringLiteral("sheets")).toArray())
        if (s.toObject().value(QStringLiteral("name")).toString() == name)
            return s.toObject();
    ADD_FAILURE() << "no sheet " << name.toStdString();
    return {};
}

QJsonObject dumpCell(const QJsonObject& sheet, const QString& ref) {
    return sheet.value(QStringLiteral("cells")).toObject().value(ref).toObject();
}

} // namespace kemnoa::xlsx::test
