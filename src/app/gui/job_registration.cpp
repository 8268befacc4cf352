#include "app/gui/job_registration.h"

#include "care_masters/ui/windows.h"
#include "maintenance/ui/windows.h"
#include "masters/ui/windows.h"
#include "output/ui/windows.h"
#include "receiving/ui/windows.h"

namespace kemnoa::gui {

void addJobWindows(core::ui::JobWindowRegistry& windows, core::JobOpener* opener) {
    receiving::ConfirmationScreens screens;
    if (opener) {
        // The confirmation screens are the menu's jobs 307 and 308, each open at most once.
        screens.openEhj = [opener] { opener->openJob(307); };
        screens.openFuki = [opener] { opener->openJob(308); };
    }
    receiving::addReceivingWindows(windows, screens);
    maintenance::addMaintenanceWindows(windows);
    output::addOutputWindows(windows);
    care_masters::addCareMasterWindows(windows);
    masters::addMasterWindows(windows);
}

} // namespace kemnoa::gui
