#pragma once
// The job windows of the reference masters and their exports, by job name.

#include "core/ui/job_windows.h"

namespace kemnoa::masters {

void addMasterWindows(core::ui::JobWindowRegistry& windows);

} // namespace kemnoa::masters
