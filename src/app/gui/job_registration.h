#pragma once
// Where the desktop program learns which window each job opens: every subsystem's widget library
// adds the windows of its jobs.

#include "core/ui/job_windows.h"

namespace kemnoa::gui {

void addJobWindows(core::ui::JobWindowRegistry& windows);

} // namespace kemnoa::gui
