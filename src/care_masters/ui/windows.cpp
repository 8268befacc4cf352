#include "care_masters/ui/windows.h"

namespace kemnoa::care_masters {

void addCareMasterWindows(core::ui::JobWindowRegistry& windows) {
    (void)windows;
}

} // namespace kemnoa::care_masters
