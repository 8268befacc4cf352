// kemnoa-cli [--ini PATH] [--yes|--no] [--input TEXT] COMMAND [ARGS]: runs one job unattended.

#include "app/cli/cli_runner.h"
#include "app/jobs/job_table.h"
#include "core/program_folder.h"

#include <QGuiApplication>
#include <QTextStream>

using namespace kemnoa;

int main(int argc, char** argv) {
    // Printing draws text, which needs the font database of a QGuiApplication; the offscreen
    // platform keeps the job runner free of any display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kemnoa"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KEMNOA_VERSION));
    // The job runner shares the GUI's settings file and per-user store.
    core::setApplicationBaseName(QStringLiteral("kemnoa"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    return cli::runCli(jobs::jobTable(), app.arguments().mid(1), out, err);
}
