#pragma once
// The job windows of the care-symbol and term masters, by job name.

#include "core/ui/job_windows.h"

namespace kemnoa::care_masters {

void addCareMasterWindows(core::ui::JobWindowRegistry& windows);

} // namespace kemnoa::care_masters
