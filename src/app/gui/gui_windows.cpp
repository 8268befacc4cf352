#include "app/gui/gui_windows.h"

#include "core/program_folder.h"
#include "core/session.h"
#include "core/ui/frm_login.h"
#include "core/ui/frm_setting.h"
#include "core/ui/mnu_main.h"

namespace kemnoa::gui {

GuiWindows::GuiWindows(core::Prompter& prompter, const core::PrinterQuery& printers,
                       core::ProgramStarter& starter, const core::JobTable& jobs)
    : prompter_(prompter), starter_(starter), opener_(jobs, jobWindows_, prompter, &printers) {
    addJobWindows(jobWindows_, &opener_);
}

core::ui::frmLogin* GuiWindows::showLogin() {
    core::ui::frmLogin::Actions actions;
    actions.openMenu = [this] { openMenu(); };
    actions.openSettings = [this] { openSettings(); };
    auto* login = new core::ui::frmLogin(core::session(), actions);
    login->setAttribute(Qt::WA_DeleteOnClose);
    login->show();
    return login;
}

void GuiWindows::openMenu() {
    auto* menu = new core::ui::mnuMain(prompter_, opener_, starter_);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->show();
}

void GuiWindows::openSettings() {
    auto* settings = new core::ui::frmSetting(core::session(), prompter_, core::settingsFile());
    settings->setAttribute(Qt::WA_DeleteOnClose);
    settings->show();
}

} // namespace kemnoa::gui
