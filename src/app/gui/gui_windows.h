#pragma once
// The desktop program's windows after start-up: the login window, from it the main menu or the
// settings screen, and from the menu the job windows. The program ends with its last window.

#include "app/gui/job_registration.h"
#include "app/jobs/job_table.h"
#include "core/menu.h"
#include "core/printer.h"
#include "core/ui/job_windows.h"

namespace kemnoa::core::ui {
class frmLogin;
}

namespace kemnoa::gui {

class GuiWindows {
public:
    // jobs: the rows the menu opens by job code (the program's job table unless a test gives one).
    GuiWindows(core::Prompter& prompter, const core::PrinterQuery& printers, core::ProgramStarter& starter,
               const core::JobTable& jobs = jobs::jobTable());

    // Job windows by job name; addJobWindows has filled it.
    core::ui::JobWindowRegistry& jobWindows() { return jobWindows_; }
    // Opens job windows by job code, as the menu does.
    core::ui::GuiJobOpener& opener() { return opener_; }

    // Shows the login window (not modal); it deletes itself when closed.
    core::ui::frmLogin* showLogin();

private:
    void openMenu();
    void openSettings();

    core::Prompter& prompter_;
    core::ProgramStarter& starter_;
    core::ui::JobWindowRegistry jobWindows_;
    core::ui::GuiJobOpener opener_;
};

} // namespace kemnoa::gui
