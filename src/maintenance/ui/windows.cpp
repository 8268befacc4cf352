#include "maintenance/ui/windows.h"

#include "maintenance/ui/frm_err.h"

namespace kemnoa::maintenance {

void addMaintenanceWindows(core::ui::JobWindowRegistry& windows) {
    // No window when there is nothing to list: MP_Open has said so already.
    windows.add(QStringLiteral("errors"),
                [](core::JobContext& ctx) -> QWidget* { return frmErr::MP_Open(0, ctx.prompter); });
}

} // namespace kemnoa::maintenance
