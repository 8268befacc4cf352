#include "app/cli/command.h"

#include "core/program_folder.h"

namespace kemnoa::cli {

void addGeneralCommands(CommandList& commands) {
    commands.push_back({QStringLiteral("version"), QString(), QStringLiteral("print the program version"),
                        [](CliContext& ctx, const QStringList& args) {
                            if (!args.isEmpty())
                                return ExitUsage;
                            ctx.out << "kemnoa " << KEMNOA_VERSION << Qt::endl;
                            return ExitOk;
                        }});
}

} // namespace kemnoa::cli
