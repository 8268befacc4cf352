#pragma once
// The jobs of PO issue and the factory's output.

#include "core/job.h"

namespace kemnoa::output {

void addOutputJobs(core::JobTable& table);

} // namespace kemnoa::output
