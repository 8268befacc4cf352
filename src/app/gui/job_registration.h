#pragma once
// Where the desktop program learns which window each job opens: every subsystem's widget library
// adds the windows of its jobs.

#include "core/menu.h"
#include "core/ui/job_windows.h"

namespace kemnoa::gui {

// opener: opens the windows that one job opens from another (the import's confirmation screens).
void addJobWindows(core::ui::JobWindowRegistry& windows, core::JobOpener* opener = nullptr);

} // namespace kemnoa::gui
