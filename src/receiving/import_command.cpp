#include "receiving/import_command.h"

#include "core/connections.h"
#include "core/session.h"
#include "maintenance/err_data_make_procedure.h"
#include "maintenance/server_procedures.h"
#include "receiving/db_work_database.h"
#include "receiving/jet_order_file.h"
#include "receiving/order_import.h"
#include "transfer/ftp_log.h"

namespace kemnoa::receiving {

namespace {

// Without the work connection every file would fail and be set aside as "err".
bool workConnected(core::Prompter& prompter) {
    if (core::cnWork().isOpen())
        return true;
    prompter.message(QStringLiteral("データベースに接続できませんでした。"), QStringLiteral("エラー"),
                     core::MsgIcon::Critical);
    return false;
}

} // namespace

core::Outcome runOrderImport(core::JobContext& context, const ConfirmationScreens& screens) {
    core::Prompter& prompter = context.prompter;
    if (!workConnected(prompter))
        return core::Outcome::Failed;
    DbWorkDatabase work(core::cnWork());
    ImportServices services;
    services.openFile = [](const QString& path) { return openJetOrderFile(path); };
    services.errDataMake = [&prompter](qint32 n) { (void)maintenance::MP_ErrDataMake(prompter, n); };
    services.log = [&prompter](const QString& line) { transfer::MP_FtpLog(line, &prompter); };
    services.openKakuninEhj = screens.openEhj;
    services.openKakuninFuki = screens.openFuki;
    OrderImport importer(prompter, work, std::move(services));
    const maintenance::MasterCheckRun checks(core::cnWork()); // masters asked once per import
    return core::failedIf(!importer.cmdImp_Click(context.session.LocalFolder));
}

core::Outcome runDeleteAllOrders(core::JobContext& context) {
    if (!workConnected(context.prompter))
        return core::Outcome::Failed;
    DbWorkDatabase work(core::cnWork());
    OrderImport(context.prompter, work, {}).Command1_Click();
    return core::Outcome::Done;
}

} // namespace kemnoa::receiving
