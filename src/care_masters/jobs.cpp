#include "care_masters/jobs.h"

namespace kemnoa::care_masters {

void addCareMasterJobs(core::JobTable& table) {
    (void)table;
}

} // namespace kemnoa::care_masters
