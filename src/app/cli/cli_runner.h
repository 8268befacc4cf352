#pragma once
// The job runner: kemnoa-cli [--ini PATH] [--yes|--no] COMMAND [ARGS] runs the row of the job table
// named COMMAND headless. Exit status: 0 the job ran to its end (also with nothing to do), 1 it
// stopped on a failure or a refusal, 2 a usage error, 3 it ran to its end but some items failed.
// Every run ends with one line on standard error: "kemnoa-cli: NAME: done|failed|done with
// failures", followed by the job's counts in parentheses when it gives them.

#include "core/job.h"

#include <QStringList>
#include <QTextStream>

namespace kemnoa::cli {

inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;
inline constexpr int ExitSomeFailed = 3;

int exitStatusOf(core::Outcome outcome);

// Runs the command line (without the program name) against the table; input boxes read their
// answer from in when given.
int runCli(const core::JobTable& jobs, QStringList args, QTextStream& out, QTextStream& err,
           QTextStream* in = nullptr);

} // namespace kemnoa::cli
