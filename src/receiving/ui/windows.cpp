#include "receiving/ui/windows.h"

#include "receiving/ui/frm_ord_imp.h"

namespace kemnoa::receiving {

void addReceivingWindows(core::ui::JobWindowRegistry& windows) {
    windows.add(QStringLiteral("import"), [](core::JobContext& ctx) { return new frmOrd_Imp(ctx); });
}

} // namespace kemnoa::receiving
