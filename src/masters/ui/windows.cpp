#include "masters/ui/windows.h"

#include "masters/ui/frm_mst.h"

namespace kemnoa::masters {

void addMasterWindows(core::ui::JobWindowRegistry& windows) {
    for (RefMaster kind : allMasters())
        windows.add(masterDef(kind).windowJob,
                    [kind](core::JobContext& ctx) { return new frmMst(kind, ctx); });
}

} // namespace kemnoa::masters
