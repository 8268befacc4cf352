#include "app/gui/startup_stub.h"

#include "core/connections.h"
#include "core/session.h"
#include "core/settings_load.h"
#include "core/system_info.h"
#include "core/user_store.h"

namespace kemnoa::gui {

bool runStartup(core::Prompter& prompter, const core::PrinterQuery& printers) {
    core::BusyPointer busy(prompter);
    if (core::MF_FirstSetting(prompter)) {
        prompter.message(QStringLiteral("初期化失敗\r\n強制終了します。"), QStringLiteral("強制終了"),
                         core::MsgIcon::Critical);
        return false;
    }
    prompter.splashTitle(QStringLiteral("接続中..."));
    prompter.splashStatus(QStringLiteral("データベース接続チェック"));
    if (core::dbOpen(core::KindWork, prompter) != 0) {
        prompter.splashEnd();
        prompter.message(QStringLiteral("データベースに接続できませんでした。\r\n強制終了します。"),
                         QStringLiteral("エラー"), core::MsgIcon::Critical);
        return false;
    }
    if (core::MF_KoteiJohoSet(prompter)) {
        prompter.splashEnd();
        core::closeAllConnections();
        return false;
    }
    core::dbClose(core::KindWork);
    prompter.splashEnd();

    core::Session& s = core::session();
    s.ComputerName = core::GetSelfComputerName(prompter);
    s.DefaultPrinter = printers.defaultPrinterName();
    s.SelectedPrinter.clear();
    core::loadLoginFromUserStore(s);
    return true;
}

} // namespace kemnoa::gui
