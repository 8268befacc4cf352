#pragma once
// The jobs of the care-symbol and term masters.

#include "core/job.h"

namespace kemnoa::care_masters {

void addCareMasterJobs(core::JobTable& table);

} // namespace kemnoa::care_masters
