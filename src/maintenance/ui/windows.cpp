#include "maintenance/ui/windows.h"

#include "maintenance/ui/frm_err.h"
#include "maintenance/ui/frm_ord_find.h"
#include "maintenance/ui/frm_ord_po_cancel.h"

namespace kemnoa::maintenance {

void addMaintenanceWindows(core::ui::JobWindowRegistry& windows) {
    // No window when there is nothing to list: MP_Open has said so already.
    windows.add(QStringLiteral("errors"),
                [](core::JobContext& ctx) -> QWidget* { return frmErr::MP_Open(0, ctx.prompter); });
    windows.add(QStringLiteral("search"), [](core::JobContext& ctx) { return new frmOrd_Find(ctx); });
    windows.add(QStringLiteral("cancel-send"),
                [](core::JobContext& ctx) { return new frmOrd_PoCancel(PoCancel::Send, ctx); });
    windows.add(QStringLiteral("cancel-po"),
                [](core::JobContext& ctx) { return new frmOrd_PoCancel(PoCancel::PoNumber, ctx); });
}

} // namespace kemnoa::maintenance
