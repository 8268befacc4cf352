#include "app/gui/job_registration.h"

#include "care_masters/ui/windows.h"
#include "maintenance/ui/windows.h"
#include "masters/ui/windows.h"
#include "output/ui/windows.h"
#include "receiving/ui/windows.h"

namespace kemnoa::gui {

void addJobWindows(core::ui::JobWindowRegistry& windows) {
    receiving::addReceivingWindows(windows);
    maintenance::addMaintenanceWindows(windows);
    output::addOutputWindows(windows);
    care_masters::addCareMasterWindows(windows);
    masters::addMasterWindows(windows);
}

} // namespace kemnoa::gui
