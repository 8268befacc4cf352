#include "output/ui/windows.h"

namespace kemnoa::output {

void addOutputWindows(core::ui::JobWindowRegistry& windows) {
    (void)windows;
}

} // namespace kemnoa::output
