#include "app/gui/job_registration.h"

#include "maintenance/ui/maintenance_windows.h"
#include "receiving/ui/receiving_windows.h"

namespace kemnoa::gui {

void registerJobWindows(core::ui::JobWindowRegistry& registry, GuiContext& context) {
    // Codes without a window do nothing in the menu until they are registered here.
    receiving::registerReceivingWindows(registry);
    maintenance::registerMaintenanceWindows(registry);
    (void)context;
}

} // namespace kemnoa::gui
