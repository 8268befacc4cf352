// kemnoa-cli [--ini PATH] [--yes|--no] [--input TEXT] COMMAND [ARGS]: runs one job unattended.

#include "app/cli/cli_prompter.h"
#include "app/cli/command.h"
#include "core/program_folder.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

using namespace kemnoa;

namespace {

void printUsage(QTextStream& err) {
    err << "usage: kemnoa-cli [--ini PATH] [--yes|--no] [--input TEXT] COMMAND [ARGS]\n\ncommands:\n";
    for (const auto& c : cli::allCommands()) {
        const QString head = c.name + (c.usage.isEmpty() ? QString() : QLatin1Char(' ') + c.usage);
        err << "  " << head.leftJustified(44) << ' ' << c.summary << '\n';
    }
    err.flush();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kemnoa"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KEMNOA_VERSION));
    // The job runner shares the GUI's settings file and per-user store.
    core::setApplicationBaseName(QStringLiteral("kemnoa"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    cli::CliPrompter prompter(out, err);

    QStringList args = app.arguments().mid(1);
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString opt = args.takeFirst();
        if (opt == QLatin1String("--yes")) {
            prompter.setAnswer(true);
        } else if (opt == QLatin1String("--no")) {
            prompter.setAnswer(false);
        } else if (opt == QLatin1String("--ini") && !args.isEmpty()) {
            core::setSettingsFile(args.takeFirst());
        } else if (opt == QLatin1String("--input") && !args.isEmpty()) {
            prompter.setInput(args.takeFirst());
        } else if (opt == QLatin1String("--help")) {
            printUsage(err);
            return cli::ExitOk;
        } else {
            err << "kemnoa-cli: unknown option " << opt << Qt::endl;
            printUsage(err);
            return cli::ExitUsage;
        }
    }
    if (args.isEmpty()) {
        printUsage(err);
        return cli::ExitUsage;
    }
    const QString name = args.takeFirst();
    for (const auto& c : cli::allCommands()) {
        if (c.name != name)
            continue;
        cli::CliContext ctx{prompter, out, err};
        const int rc = c.run(ctx, args);
        out.flush();
        err.flush();
        if (rc == cli::ExitUsage)
            err << "usage: kemnoa-cli " << c.name << ' ' << c.usage << Qt::endl;
        return rc;
    }
    err << "kemnoa-cli: unknown command " << name << Qt::endl;
    printUsage(err);
    return cli::ExitUsage;
}
