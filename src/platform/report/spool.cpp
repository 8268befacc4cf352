#include "platform/report/spool.h"

#include "platform/base/error.h"
#include "platform/report/render.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <optional>

namespace kemnoa::report {
namespace {

// Runs a spooler command; its standard output, or nothing when it is not there or fails.
std::optional<QString> run(const QString& program, const QStringList& arguments, QString* error = nullptr) {
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        if (error)
            *error = program + QStringLiteral(" が見つかりません");
        return std::nullopt;
    }
    QProcess p;
    p.start(path, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (error)
            *error = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        return std::nullopt;
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

} // namespace

QStringList spoolerQueues() {
    const auto out = run(QStringLiteral("lpstat"), {QStringLiteral("-e")});
    return out ? out->split(QLatin1Char('\n'), Qt::SkipEmptyParts) : QStringList();
}

QString spoolerDefaultQueue() {
    const auto out = run(QStringLiteral("lpstat"), {QStringLiteral("-d")});
    if (!out)
        return {};
    // "system default destination: NAME"
    const int colon = out->indexOf(QLatin1Char(':'));
    return colon < 0 ? QString() : out->mid(colon + 1).trimmed();
}

void spoolDocument(const Document& document, const QString& queue) {
    QTemporaryDir dir;
    if (!dir.isValid())
        throw Error(QStringLiteral("作業フォルダを作れません。"), errnum::PathFileAccess);
    const QString pdf = dir.filePath(QStringLiteral("print.pdf"));
    writePdf(document, pdf);
    QStringList args;
    if (!queue.isEmpty())
        args << QStringLiteral("-d") << queue;
    args << QStringLiteral("-t") << document.title << pdf;
    QString error;
    if (!run(QStringLiteral("lp"), args, &error))
        throw Error(QStringLiteral("印刷できません。") + error, errnum::General);
}

} // namespace kemnoa::report
