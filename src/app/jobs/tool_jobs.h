#pragma once
// The program's own tool jobs, which the job runner offers beside the subsystems' jobs: the settings,
// the databases' set-up and check, LZH archives and Access files.

#include "core/job.h"

#include <QTextStream>

namespace kemnoa::jobs {

// A tool job's view of its context: where it talks to the user and the job runner's output.
struct ToolContext {
    explicit ToolContext(core::JobContext& context)
        : prompter(context.prompter), out(core::jobOutput(context)) {}
    core::Prompter& prompter;
    QTextStream& out;
};

using ToolRun = std::function<core::Outcome(ToolContext&, const QStringList&)>;

inline core::JobRun toolRun(ToolRun run) {
    return [run = std::move(run)](core::JobContext& context, const QStringList& args) {
        ToolContext tool(context);
        return run(tool, args);
    };
}

void addGeneralJobs(core::JobTable& table);
void addDbJobs(core::JobTable& table);
void addLzhJobs(core::JobTable& table);
void addJetJobs(core::JobTable& table);

} // namespace kemnoa::jobs
