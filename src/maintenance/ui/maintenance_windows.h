#pragma once
// The job windows of order maintenance, by job code.

#include "core/ui/job_windows.h"

namespace kemnoa::maintenance {

// Job code of the error list of all orders (frmErr.MP_Open with order number 0).
inline constexpr int JobErrorList = 210;

void registerMaintenanceWindows(core::ui::JobWindowRegistry& registry);

} // namespace kemnoa::maintenance
