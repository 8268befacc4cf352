#pragma once
// The job windows of PO issue and the factory's output, by job name.

#include "core/ui/job_windows.h"

namespace kemnoa::output {

void addOutputWindows(core::ui::JobWindowRegistry& windows);

} // namespace kemnoa::output
