#include "receiving/import_command.h"

#include "core/connections.h"
#include "core/session.h"
#include "maintenance/err_data_make_procedure.h"
#include "maintenance/server_procedures.h"
#include "receiving/db_work_database.h"
#include "receiving/jet_order_file.h"
#include "receiving/order_import.h"
#include "receiving/receive_folder_lock.h"
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

core::Outcome runOrderImport(core::JobContext& context, const ConfirmationScreens& screens,
                             ImportTally* tally) {
    core::Prompter& prompter = context.prompter;
    if (tally)
        *tally = {};
    if (!workConnected(prompter))
        return core::Outcome::Failed;
    // Another workstation's import of the same folder would find these files too.
    ReceiveFolderLock folderLock(context.session.LocalFolder);
    if (!folderLock.acquire(prompter))
        return core::Outcome::Failed;
    DbWorkDatabase work(core::cnWork());
    ImportServices services;
    services.openFile = [files = std::make_shared<JetOrderFiles>()](const QString& path) {
        return files->open(path);
    };
    services.errDataMake = [&prompter](qint32 n) { (void)maintenance::MP_ErrDataMake(prompter, n); };
    services.log = [&prompter](const QString& line) { transfer::MP_FtpLog(line, &prompter); };
    services.openKakuninEhj = screens.openEhj;
    services.openKakuninFuki = screens.openFuki;
    OrderImport importer(prompter, work, std::move(services));
    const maintenance::MasterCheckRun checks(core::cnWork()); // masters asked once per import
    const bool ranToEnd = importer.cmdImp_Click(context.session.LocalFolder);
    const ImportTally& t = importer.tally();
    if (tally)
        *tally = t;
    context.summary =
        QStringLiteral("files %1, orders %2, failures %3").arg(t.files).arg(t.orders).arg(t.setAside);
    if (t.noFiles)
        return core::Outcome::Done; // a night without order files is no failure
    if (!ranToEnd)
        return core::Outcome::Failed;
    return t.setAside > 0 ? core::Outcome::DoneWithFailures : core::Outcome::Done;
}

core::Outcome runDeleteAllOrders(core::JobContext& context) {
    if (!workConnected(context.prompter))
        return core::Outcome::Failed;
    DbWorkDatabase work(core::cnWork());
    return OrderImport(context.prompter, work, {}).Command1_Click();
}

} // namespace kemnoa::receiving
