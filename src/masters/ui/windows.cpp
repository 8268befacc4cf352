#include "masters/ui/windows.h"

namespace kemnoa::masters {

void addMasterWindows(core::ui::JobWindowRegistry& windows) {
    (void)windows;
}

} // namespace kemnoa::masters
