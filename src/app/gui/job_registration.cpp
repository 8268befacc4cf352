#include "app/gui/job_registration.h"

namespace kemnoa::gui {

void registerJobWindows(core::ui::JobWindowRegistry& registry, GuiContext& context) {
    // No job windows are built yet; their codes do nothing in the menu until they are registered.
    (void)registry;
    (void)context;
}

} // namespace kemnoa::gui
