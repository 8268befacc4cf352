#pragma once
// The job windows of order receiving, by job name.

#include "core/ui/job_windows.h"

namespace kemnoa::receiving {

void addReceivingWindows(core::ui::JobWindowRegistry& windows);

} // namespace kemnoa::receiving
