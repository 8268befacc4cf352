// kemnoa-cli [--ini PATH] [--yes|--no] COMMAND [ARGS]: runs one job unattended.

#include "app/cli/cli_runner.h"
#include "app/jobs/job_table.h"
#include "core/program_folder.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstring>
#include <memory>

using namespace kemnoa;

int main(int argc, char** argv) {
    // Printing and the label renderer draw text, which needs the font database of a QGuiApplication
    // (on the offscreen platform, so no display is needed); every other command keeps the plain
    // core application.
    bool printing = false;
    for (int i = 1; i < argc; ++i)
        printing =
            printing || std::strcmp(argv[i], "print") == 0 || std::strcmp(argv[i], "confirm-data") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (printing) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("kemnoa"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KEMNOA_VERSION));
    // The job runner shares the GUI's settings file and per-user store.
    core::setApplicationBaseName(QStringLiteral("kemnoa"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    return cli::runCli(jobs::jobTable(), QCoreApplication::arguments().mid(1), out, err, &in);
}
