#include "output/jobs.h"

namespace kemnoa::output {

void addOutputJobs(core::JobTable& table) {
    (void)table;
}

} // namespace kemnoa::output
