// The jobs of order receiving: the order-file screen (code 201) with its import, the receive from
// the FTP server and the delete-all command.

#include "receiving/jobs.h"

#include "core/connections.h"
#include "receiving/ftp_receive.h"
#include "receiving/import_command.h"

namespace kemnoa::receiving {

void addReceivingJobs(core::JobTable& table) {
    table.add({.name = QStringLiteral("import"),
               .menuCode = 201,
               .summary = QStringLiteral("import the order files of LOCAL_FOLDER into the work database"),
               .connections = {core::KindWork, core::KindPo},
               .run = [](core::JobContext& ctx, const QStringList&) { return runOrderImport(ctx); }});
    table.add({.name = QStringLiteral("receive"),
               .summary =
                   QStringLiteral("fetch the order files from the FTP server into LOCAL_FOLDER (asks first)"),
               .run = [](core::JobContext& ctx, const QStringList&) {
                   const ReceiveResult result = runFtpReceive(ctx.prompter);
                   ctx.summary =
                       QStringLiteral("files %1, failures %2").arg(result.received).arg(result.failures);
                   if (result.status != ReceiveResult::Status::Completed)
                       return core::Outcome::Failed;
                   return result.failures > 0 ? core::Outcome::DoneWithFailures : core::Outcome::Done;
               }});
    table.add({.name = QStringLiteral("delete-all-orders"),
               .summary = QStringLiteral(
                   "delete every received order (password from KEMNOA_DELETE_PASSWORD or standard input)"),
               .connections = {core::KindWork, core::KindPo},
               .inputVariable = QStringLiteral("KEMNOA_DELETE_PASSWORD"),
               .run = [](core::JobContext& ctx, const QStringList&) { return runDeleteAllOrders(ctx); }});
}

} // namespace kemnoa::receiving
