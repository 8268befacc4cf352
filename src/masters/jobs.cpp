#include "masters/jobs.h"

namespace kemnoa::masters {

void addMasterJobs(core::JobTable& table) {
    (void)table;
}

} // namespace kemnoa::masters
