// kemnoa: the order office's desktop program.

#include "app/gui/job_registration.h"
#include "app/gui/startup_stub.h"
#include "core/menu.h"
#include "core/program_folder.h"
#include "core/session.h"
#include "core/single_instance.h"
#include "core/ui/frm_login.h"
#include "core/ui/frm_setting.h"
#include "core/ui/gui_prompter.h"
#include "core/ui/job_windows.h"
#include "core/ui/mnu_main.h"
#include "core/ui/qt_printer_query.h"

#include <QApplication>
#include <QTimer>

using namespace kemnoa;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kemnoa"));
    QApplication::setOrganizationName(QStringLiteral("kemnoa"));
    QApplication::setApplicationVersion(QStringLiteral(KEMNOA_VERSION));

    // For measuring start-up: end as soon as the login window is up.
    const bool quitAtLogin = QApplication::arguments().contains(QStringLiteral("--quit-at-login")) ||
                             qEnvironmentVariableIsSet("KEMNOA_QUIT_AT_LOGIN");

    core::SingleInstanceGuard guard(core::singleInstanceLockPath(core::programFolder()));
    if (!guard.acquire())
        return 0;

    core::ui::GuiPrompter prompter;
    core::ui::QtPrinterQuery printers;
    if (!gui::runStartup(prompter, printers))
        return 1;

    gui::GuiContext context{prompter, printers};
    core::ui::JobWindowRegistry jobWindows;
    gui::registerJobWindows(jobWindows, context);
    core::ui::GuiJobOpener opener(jobWindows);
    core::DetachedProgramStarter starter;

    core::ui::frmLogin::Actions actions;
    actions.openMenu = [&] {
        auto* menu = new core::ui::mnuMain(prompter, opener, starter);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->show();
    };
    actions.openSettings = [&] {
        auto* settings = new core::ui::frmSetting(core::session(), core::settingsFile());
        settings->setAttribute(Qt::WA_DeleteOnClose);
        settings->show();
    };
    auto* login = new core::ui::frmLogin(core::session(), actions);
    login->setAttribute(Qt::WA_DeleteOnClose);
    login->show();

    if (quitAtLogin)
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
