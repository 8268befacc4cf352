#pragma once
// A job runner command. Exit status: 0 the job ran to its end, 1 it stopped on a failure or a refusal,
// 2 a usage error.

#include "core/prompter.h"

#include <QStringList>
#include <QTextStream>
#include <functional>
#include <vector>

namespace kemnoa::cli {

inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;

struct CliContext {
    core::Prompter& prompter;
    QTextStream& out;
    QTextStream& err;
};

struct CliCommand {
    QString name;
    QString usage;   // arguments after the command name
    QString summary; // one line for the help text
    std::function<int(CliContext&, const QStringList&)> run;
};

using CommandList = std::vector<CliCommand>;

// Each group of commands adds itself here; command_table.cpp lists the groups.
void addGeneralCommands(CommandList& commands);
void addDbCommands(CommandList& commands);
void addLzhCommands(CommandList& commands);
void addJetCommands(CommandList& commands);

const CommandList& allCommands();

} // namespace kemnoa::cli
