#include "receiving/ui/windows.h"

#include "receiving/ui/frm_ord_imp.h"

namespace kemnoa::receiving {

void addReceivingWindows(core::ui::JobWindowRegistry& windows, const ConfirmationScreens& screens) {
    windows.add(QStringLiteral("import"),
                [screens](core::JobContext& ctx) { return new frmOrd_Imp(ctx, nullptr, nullptr, screens); });
}

} // namespace kemnoa::receiving
