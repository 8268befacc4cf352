#include "app/gui/startup_stub.h"

#include "core/session.h"
#include "core/settings_load.h"
#include "core/system_info.h"
#include "core/user_store.h"

namespace kemnoa::gui {

bool runStartup(core::Prompter& prompter, const core::PrinterQuery& printers) {
    core::BusyPointer busy(prompter);
    core::Session& s = core::session();
    if (core::MF_FirstSetting(prompter)) {
        prompter.message(QStringLiteral("初期化失敗\r\n強制終了します。"), QStringLiteral("強制終了"),
                         core::MsgIcon::Critical);
        return false;
    }
    prompter.splashTitle(QStringLiteral("接続中..."));
    prompter.splashStatus(QStringLiteral("データベース接続チェック"));
    prompter.splashEnd();
    s.DefaultPrinter = printers.defaultPrinterName();
    s.SelectedPrinter.clear();
    core::loadLoginFromUserStore(s);
    return true;
}

} // namespace kemnoa::gui
