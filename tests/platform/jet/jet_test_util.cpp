#include "platform/jet/jet_test_util.h"

#include "support/test_env.h"

#include <QDir>
#include <QJsonDocument>
#include <QProcess>

namespace kemnoa::test {

const QString kNullMark = QStringLiteral("<NULL>");

ProgramResult runProgram(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    ProgramResult r;
    if (!p.waitForStarted(10000))
        return r;
    p.waitForFinished(120000);
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QString nodeModules() {
    const QString dir = qEnvironmentVariable("KEMNOA_TEST_NODE_MODULES");
    return !dir.isEmpty() && QDir(dir + QStringLiteral("/mdb-reader")).exists() ? dir : QString();
}

QJsonObject mdbReaderDump(const QString& file, const QStringList& tables) {
    const ProgramResult r = runProgram(
        QStringLiteral("node"),
        QStringList{QStringLiteral(KEMNOA_JET_TEST_DIR "/mdb_reader_dump.mjs"), nodeModules(), file} +
            tables);
    if (r.exitCode != 0)
        return QJsonObject{{QStringLiteral("error"), QString::fromUtf8(r.err)}};
    return QJsonDocument::fromJson(r.out).object();
}

std::vector<QStringList> mdbExportRows(const QString& file, const QString& table) {
    // Rows end with a line feed; fields are tab-separated, text quoted with '"' (embedded quotes doubled).
    const ProgramResult r =
        runProgram(QStringLiteral("mdb-export"),
                   {QStringLiteral("-d"), QStringLiteral("\t"), QStringLiteral("-T"),
                    QStringLiteral("%Y-%m-%d %H:%M:%S"), QStringLiteral("-0"), kNullMark, file, table});
    std::vector<QStringList> rows;
    const QString text = QString::fromUtf8(r.out);
    QStringList current;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"'))
                    field += text[++i];
                else
                    quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char('\t')) {
            current << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            current << field;
            field.clear();
            rows.push_back(current);
            current.clear();
        } else {
            field += c;
        }
    }
    return rows;
}

} // namespace kemnoa::test
