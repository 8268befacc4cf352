#include "app/cli/cli_runner.h"

#include "app/cli/cli_prompter.h"
#include "core/program_folder.h"

namespace kemnoa::cli {
namespace {

void printUsage(const core::JobTable& jobs, QTextStream& stream) {
    stream << "usage: kemnoa-cli [--ini PATH] [--yes|--no] [--input TEXT] COMMAND [ARGS]\n"
              "       kemnoa-cli --help | --version\n\ncommands:\n";
    for (const core::Job& job : jobs.jobs()) {
        if (!job.run)
            continue;
        const QString head = job.name + (job.usage.isEmpty() ? QString() : QLatin1Char(' ') + job.usage);
        stream << "  " << head.leftJustified(44) << ' ' << job.summary;
        if (job.menuCode != 0)
            stream << " [" << job.menuCode << ']';
        stream << '\n';
    }
    stream.flush();
}

} // namespace

int exitStatusOf(core::Outcome outcome) {
    switch (outcome) {
    case core::Outcome::Done:
        return ExitOk;
    case core::Outcome::DoneWithFailures:
        return ExitSomeFailed;
    case core::Outcome::Failed:
        break;
    }
    return ExitFailed;
}

int runCli(const core::JobTable& jobs, QStringList args, QTextStream& out, QTextStream& err) {
    CliPrompter prompter(out, err);
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
            printUsage(jobs, out);
            return ExitOk;
        } else if (opt == QLatin1String("--version")) {
            out << "kemnoa " << KEMNOA_VERSION << Qt::endl;
            return ExitOk;
        } else {
            err << "kemnoa-cli: unknown option " << opt << Qt::endl;
            printUsage(jobs, err);
            return ExitUsage;
        }
    }
    if (args.isEmpty()) {
        printUsage(jobs, err);
        return ExitUsage;
    }
    const QString name = args.takeFirst();
    const core::Job* job = jobs.byName(name);
    if (!job || !job->run) {
        err << "kemnoa-cli: unknown command " << name << Qt::endl;
        printUsage(jobs, err);
        return ExitUsage;
    }
    int rc = ExitFailed;
    try {
        rc = exitStatusOf(core::runJob(*job, args, prompter, &out));
    } catch (const core::JobUsageError&) {
        rc = ExitUsage;
    }
    out.flush();
    err.flush();
    if (rc == ExitUsage)
        err << "usage: kemnoa-cli " << job->name << ' ' << job->usage << Qt::endl;
    return rc;
}

} // namespace kemnoa::cli
