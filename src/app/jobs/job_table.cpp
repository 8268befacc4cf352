#include "app/jobs/job_table.h"

#include "app/jobs/tool_jobs.h"
#include "care_masters/jobs.h"
#include "maintenance/jobs.h"
#include "masters/jobs.h"
#include "output/jobs.h"
#include "receiving/jobs.h"

namespace kemnoa::jobs {

const core::JobTable& jobTable() {
    static const core::JobTable table = [] {
        core::JobTable t;
        // Each subsystem adds its rows; a new job is a row in its subsystem's jobs.cpp.
        receiving::addReceivingJobs(t);
        maintenance::addMaintenanceJobs(t);
        output::addOutputJobs(t);
        care_masters::addCareMasterJobs(t);
        masters::addMasterJobs(t);
        addGeneralJobs(t);
        addDbJobs(t);
        addLzhJobs(t);
        addJetJobs(t);
        return t;
    }();
    return table;
}

} // namespace kemnoa::jobs
