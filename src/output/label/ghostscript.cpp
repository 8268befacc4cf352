#include "output/label/ghostscript.h"

#include "platform/base/error.h"

#include <QFile>
#include <QProcess>

namespace kemnoa::label {
namespace {

constexpr int kTimeoutMs = 300000; // a PO's labels convert in seconds; only a hung run takes this long

void runGhostscript(const QString& device, const QString& in, const QString& out) {
    QProcess gs;
    gs.setProcessChannelMode(QProcess::MergedChannels);
    // -dSAFER: the input may only read itself and write its output file.
    gs.start(QStringLiteral("gs"),
             {QStringLiteral("-q"), QStringLiteral("-dSAFER"), QStringLiteral("-dBATCH"),
              QStringLiteral("-dNOPAUSE"), QStringLiteral("-sDEVICE=") + device,
              QStringLiteral("-sOutputFile=") + out, QStringLiteral("--"), in});
    if (!gs.waitForStarted())
        throw Error(QStringLiteral("Ghostscript(gs)を起動できません。"), errnum::FileNotFound);
    if (!gs.waitForFinished(kTimeoutMs)) {
        gs.kill();
        gs.waitForFinished();
        QFile::remove(out);
        throw Error(QStringLiteral("Ghostscriptの変換が終わりません。(%1)").arg(in), errnum::General);
    }
    if (gs.exitStatus() != QProcess::NormalExit || gs.exitCode() != 0) {
        QFile::remove(out); // a half-written file is no result
        throw Error(QStringLiteral("Ghostscriptで変換できません。(%1) %2")
                        .arg(in, QString::fromLocal8Bit(gs.readAll()).trimmed()),
                    errnum::General);
    }
}

} // namespace

void pdfToPostScript(const QString& pdf, const QString& postScript) {
    runGhostscript(QStringLiteral("ps2write"), pdf, postScript);
}

void postScriptToPdf(const QString& postScript, const QString& pdf) {
    runGhostscript(QStringLiteral("pdfwrite"), postScript, pdf);
}

} // namespace kemnoa::label
