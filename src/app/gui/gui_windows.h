#pragma once
// The desktop program's windows after start-up: the login window, from it the main menu or the
// settings screen, and from the menu the job windows. The program ends with its last window.

#include "app/gui/job_registration.h"
#include "core/menu.h"
#include "core/ui/job_windows.h"

namespace kemnoa::core::ui {
class frmLogin;
}

namespace kemnoa::gui {

class GuiWindows {
public:
    GuiWindows(core::Prompter& prompter, const core::PrinterQuery& printers, core::ProgramStarter& starter);

    // Job windows by job code; registerJobWindows has filled it.
    core::ui::JobWindowRegistry& jobWindows() { return jobWindows_; }

    // Shows the login window (not modal); it deletes itself when closed.
    core::ui::frmLogin* showLogin();

private:
    void openMenu();
    void openSettings();

    GuiContext context_;
    core::ProgramStarter& starter_;
    core::ui::JobWindowRegistry jobWindows_;
    core::ui::GuiJobOpener opener_{jobWindows_};
};

} // namespace kemnoa::gui
