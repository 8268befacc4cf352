#pragma once
// The jobs of order receiving.

#include "core/job.h"

namespace kemnoa::receiving {

void addReceivingJobs(core::JobTable& table);

} // namespace kemnoa::receiving
