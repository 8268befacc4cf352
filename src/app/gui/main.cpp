// kemnoa: the order office's desktop program.

#include "app/gui/gui_windows.h"
#include "core/program_folder.h"
#include "core/single_instance.h"
#include "core/startup.h"
#include "core/ui/gui_prompter.h"
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
    if (core::failed(core::runStartup(prompter, printers)))
        return 1;

    core::DetachedProgramStarter starter;
    gui::GuiWindows windows(prompter, printers, starter);
    windows.showLogin();

    if (quitAtLogin)
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
