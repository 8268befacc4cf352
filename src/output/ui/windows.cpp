#include "output/ui/windows.h"

#include "output/ui/frm_ord_kakunin.h"
#include "output/ui/frm_ord_exp.h"
#include "output/ui/frm_ord_po_no_get.h"

namespace kemnoa::output {

void addOutputWindows(core::ui::JobWindowRegistry& windows) {
    windows.add(QStringLiteral("number"), [](core::JobContext& ctx) { return new frmOrd_PoNoGet(ctx); });
    windows.add(QStringLiteral("confirm-data"),
                [](core::JobContext& ctx) { return new frmOrd_Kakunin(ctx); });
    windows.add(QStringLiteral("create-po"), [](core::JobContext& ctx) { return new frmOrd_Exp(ctx); });
}

} // namespace kemnoa::output
