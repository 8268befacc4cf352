#include "maintenance/ui/maintenance_windows.h"

#include "core/ui/gui_prompter.h"
#include "maintenance/ui/frm_err.h"

namespace kemnoa::maintenance {

void registerMaintenanceWindows(core::ui::JobWindowRegistry& registry) {
    // No window when there is nothing to list: MP_Open has said so already.
    registry.add(JobErrorList, [] {
        core::ui::GuiPrompter prompter;
        return static_cast<QWidget*>(frmErr::MP_Open(0, prompter));
    });
}

} // namespace kemnoa::maintenance
