#pragma once
// The job windows of order receiving, by job code.

#include "core/ui/job_windows.h"

namespace kemnoa::receiving {

// Job code of the order-file screen frmOrd_Imp (menu page 発注処理, 発注書受信).
inline constexpr int JobOrderReceive = 201;

void registerReceivingWindows(core::ui::JobWindowRegistry& registry);

} // namespace kemnoa::receiving
