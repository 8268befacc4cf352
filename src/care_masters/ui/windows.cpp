#include "care_masters/ui/windows.h"

#include "care_masters/ui/frm_kakunin.h"
#include "care_masters/ui/frm_mst.h"
#include "care_masters/ui/frm_mst_print.h"

namespace kemnoa::care_masters {

void addCareMasterWindows(core::ui::JobWindowRegistry& windows) {
    windows.add(QStringLiteral("ehj-master"),
                [](core::JobContext& ctx) { return new frmMst(ehjKind(), ctx); });
    windows.add(QStringLiteral("fuki-master"),
                [](core::JobContext& ctx) { return new frmMst(fukiKind(), ctx); });
    windows.add(QStringLiteral("ehj-confirm"),
                [](core::JobContext& ctx) { return new frmKakunin(ehjKind(), ctx); });
    windows.add(QStringLiteral("fuki-confirm"),
                [](core::JobContext& ctx) { return new frmKakunin(fukiKind(), ctx); });
    windows.add(QStringLiteral("ehj-print"),
                [](core::JobContext& ctx) { return new frmMstPrint(ehjKind(), ctx); });
    windows.add(QStringLiteral("fuki-print"),
                [](core::JobContext& ctx) { return new frmMstPrint(fukiKind(), ctx); });
}

} // namespace kemnoa::care_masters
