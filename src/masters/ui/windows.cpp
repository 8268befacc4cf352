#include "masters/ui/windows.h"

#include "masters/ui/frm_mst_exp.h"
#include "masters/ui/frm_product_master.h"
#include "masters/ui/frm_mst.h"

namespace kemnoa::masters {

void addMasterWindows(core::ui::JobWindowRegistry& windows) {
    windows.add(QStringLiteral("export-masters"), [](core::JobContext& ctx) { return new frmMst_Exp(ctx); });
    windows.add(QStringLiteral("export-products"),
                [](core::JobContext& ctx) { return new frmProductMaster(ctx); });
    for (RefMaster kind : allMasters())
        windows.add(masterDef(kind).windowJob,
                    [kind](core::JobContext& ctx) { return new frmMst(kind, ctx); });
}

} // namespace kemnoa::masters
