#include "core/startup.h"

#include "core/connections.h"
#include "core/session.h"
#include "core/settings_load.h"
#include "core/system_info.h"
#include "core/user_store.h"

namespace kemnoa::core {

Outcome runStartup(Prompter& prompter, const PrinterQuery& printers) {
    BusyPointer busy(prompter);
    if (failed(MF_FirstSetting(prompter))) {
        prompter.message(QStringLiteral("初期化失敗\r\n強制終了します。"), QStringLiteral("強制終了"),
                         MsgIcon::Critical);
        return Outcome::Failed;
    }
    prompter.splashTitle(QStringLiteral("接続中..."));
    prompter.splashStatus(QStringLiteral("データベース接続チェック"));
    if (dbOpen(KindWork, prompter) != 0) {
        prompter.message(QStringLiteral("データベースに接続できませんでした。\r\n強制終了します。"),
                         QStringLiteral("エラー"), MsgIcon::Critical);
        prompter.splashEnd();
        return Outcome::Failed;
    }
    if (failed(MF_KoteiJohoSet(prompter))) {
        prompter.splashEnd();
        return Outcome::Failed;
    }
    dbClose(KindWork);
    prompter.splashEnd();

    Session& s = session();
    s.ComputerName = GetSelfComputerName(prompter);
    s.DefaultPrinter = printers.defaultPrinterName();
    s.SelectedPrinter.clear();
    loadLoginFromUserStore(s);
    return Outcome::Done;
}

} // namespace kemnoa::core
