// kemnoa: the order office's desktop program.

#include "app/gui/gui_windows.h"
#include "core/program_folder.h"
#include "core/program_folder_setup.h"
#include "core/single_instance.h"
#include "core/startup.h"
#include "core/ui/gui_prompter.h"
#include "core/ui/qt_printer_query.h"
#include "core/ui/qt_translations.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>

using namespace kemnoa;

namespace {

// --help and --version answer on standard output before any window (or display) is needed.
// Returns the exit status when one of them was given.
int answerInformationOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("kemnoa %s\n", KEMNOA_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf(
                "usage: kemnoa [--help | --version]\n"
                "  Starts the order office's desktop program. The program folder is KEMNOA_HOME when\n"
                "  set, otherwise ~/.config/kemnoa for an installed program (the executable's folder in\n"
                "  a build tree); jobs run unattended with kemnoa-cli (see kemnoa-cli --help).\n");
            return 0;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (const int rc = answerInformationOptions(argc, argv); rc >= 0)
        return rc;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kemnoa"));
    QApplication::setOrganizationName(QStringLiteral("kemnoa"));
    QApplication::setApplicationVersion(QStringLiteral(KEMNOA_VERSION));
    if (!core::ui::installQtJapanese(app))
        std::fprintf(stderr, "kemnoa: Qt's Japanese translations are not installed (qt6-translations-l10n); "
                             "dialog buttons stay in English\n");

    // For measuring start-up: end as soon as the login window is up.
    const bool quitAtLogin = QApplication::arguments().contains(QStringLiteral("--quit-at-login")) ||
                             qEnvironmentVariableIsSet("KEMNOA_QUIT_AT_LOGIN");

    if (const QString why = core::prepareProgramFolder(); !why.isEmpty())
        std::fprintf(stderr, "kemnoa: %s\n", qPrintable(why));

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
