#include "app/cli/command.h"

#include "core/settings_load.h"
#include "receiving/ftp_receive.h"

namespace kemnoa::cli {
namespace {

// Runs the receive of the order-file screen: exit 0 when the run reached its end,
// 1 when it was declined, refused or stopped on a failure.
int receive(CliContext& ctx, const QStringList& args) {
    if (!args.isEmpty())
        return ExitUsage;
    if (core::MF_FirstSetting(ctx.prompter))
        return ExitFailed;
    const auto result = receiving::runFtpReceive(ctx.prompter);
    return result.status == receiving::ReceiveResult::Status::Completed ? ExitOk : ExitFailed;
}

} // namespace

void addReceiveCommands(CommandList& commands) {
    commands.push_back(
        {QStringLiteral("receive"), QString(),
         QStringLiteral("fetch the order files from the FTP server into LOCAL_FOLDER (asks first)"),
         receive});
}

} // namespace kemnoa::cli
