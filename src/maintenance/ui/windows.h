#pragma once
// The job windows of order maintenance, by job name.

#include "core/ui/job_windows.h"

namespace kemnoa::maintenance {

void addMaintenanceWindows(core::ui::JobWindowRegistry& windows);

} // namespace kemnoa::maintenance
