#include "receiving/import_command.h"

#include "core/connections.h"
#include "core/session.h"
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

bool runOrderImport(core::Prompter& prompter, const ConfirmationScreens& screens) {
    if (!workConnected(prompter))
        return false;
    DbWorkDatabase work(core::cnWork());
    ImportServices services;
    services.openFile = [](const QString& path) { return openJetOrderFile(path); };
    services.errDataMake = [&prompter](qint32 n) { maintenance::MP_ErrDataMake(prompter, n); };
    services.log = [&prompter](const QString& line) { transfer::MP_FtpLog(line, &prompter); };
    services.openKakuninEhj = screens.openEhj;
    services.openKakuninFuki = screens.openFuki;
    OrderImport importer(prompter, work, std::move(services));
    return importer.cmdImp_Click(core::session().LocalFolder);
}

void runDeleteAllOrders(core::Prompter& prompter) {
    if (!workConnected(prompter))
        return;
    DbWorkDatabase work(core::cnWork());
    OrderImport(prompter, work, {}).Command1_Click();
}

} // namespace kemnoa::receiving
