#include "masters/jobs.h"

#include "masters/reference_master_jobs.h"

namespace kemnoa::masters {

void addMasterJobs(core::JobTable& table) {
    addReferenceMasterJobs(table);
}

} // namespace kemnoa::masters
