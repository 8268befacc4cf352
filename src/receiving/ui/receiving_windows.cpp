#include "receiving/ui/receiving_windows.h"

#include "receiving/ui/frm_ord_imp.h"

namespace kemnoa::receiving {

void registerReceivingWindows(core::ui::JobWindowRegistry& registry) {
    registry.add(JobOrderReceive, [] { return new frmOrd_Imp; });
}

} // namespace kemnoa::receiving
