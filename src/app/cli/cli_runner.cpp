#include "app/cli/cli_runner.h"

#include "app/cli/cli_prompter.h"
#include "core/program_folder.h"
#include "core/program_folder_setup.h"

namespace kemnoa::cli {
namespace {

void printUsage(const core::JobTable& jobs, QTextStream& stream) {
    stream << "usage: kemnoa-cli [--ini PATH] [--yes|--no] COMMAND [ARGS]\n"
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

QString endText(int rc) {
    switch (rc) {
    case ExitOk:
        return QStringLiteral("done");
    case ExitSomeFailed:
        return QStringLiteral("done with failures");
    default:
        return QStringLiteral("failed");
    }
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

int runCli(const core::JobTable& jobs, QStringList args, QTextStream& out, QTextStream& err,
           QTextStream* in) {
    CliPrompter prompter(out, err, in);
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString opt = args.takeFirst();
        if (opt == QLatin1String("--yes")) {
            prompter.setAnswer(true);
        } else if (opt == QLatin1String("--no")) {
            prompter.setAnswer(false);
        } else if (opt == QLatin1String("--ini") && !args.isEmpty()) {
            core::setSettingsFile(args.takeFirst());
        } else if (opt == QLatin1String("--input")) {
            // A password on the command line shows in ps and in the shell history.
            err << "kemnoa-cli: --input is not accepted; give the answer on standard input "
                   "(or, for delete-all-orders, in KEMNOA_DELETE_PASSWORD)"
                << Qt::endl;
            return ExitUsage;
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
    if (!job->inputVariable.isEmpty() &&
        qEnvironmentVariableIsSet(job->inputVariable.toLocal8Bit().constData()))
        prompter.setInput(qEnvironmentVariable(job->inputVariable.toLocal8Bit().constData()));
    // An installed program's first run fills the workstation's folder; a failure here still lets
    // the job run and say what it misses.
    if (const QString why = core::prepareProgramFolder(); !why.isEmpty())
        err << "kemnoa-cli: " << why << Qt::endl;
    int rc = ExitFailed;
    QString summary;
    try {
        rc = exitStatusOf(core::runJob(*job, args, prompter, &out, nullptr, &summary));
    } catch (const core::JobUsageError&) {
        rc = ExitUsage;
    }
    out.flush();
    err.flush();
    if (rc == ExitUsage) {
        err << "usage: kemnoa-cli " << job->name << ' ' << job->usage << Qt::endl;
        return rc;
    }
    // One closing line for whoever reads the log of an unattended run.
    err << "kemnoa-cli: " << job->name << ": " << endText(rc);
    if (!summary.isEmpty())
        err << " (" << summary << ')';
    err << Qt::endl;
    return rc;
}

} // namespace kemnoa::cli
