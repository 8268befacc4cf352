// kemnoa-cli [--ini PATH] [--yes|--no] COMMAND [ARGS]: runs one job unattended.

#include "app/cli/cli_runner.h"
#include "app/jobs/job_table.h"
#include "core/program_folder.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace kemnoa;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kemnoa"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KEMNOA_VERSION));
    // The job runner shares the GUI's settings file and per-user store.
    core::setApplicationBaseName(QStringLiteral("kemnoa"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    return cli::runCli(jobs::jobTable(), app.arguments().mid(1), out, err, &in);
}
