#pragma once
// The jobs of the reference masters and their exports.

#include "core/job.h"

namespace kemnoa::masters {

void addMasterJobs(core::JobTable& table);

} // namespace kemnoa::masters
