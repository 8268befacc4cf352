#pragma once
// The order jobs of maintenance: the search list (code 202) with its "d" command, the editor's
// `show-order`, the send cancel (211) and the PO-number cancel (212).

#include "core/job.h"

namespace kemnoa::maintenance {

void addOrderJobs(core::JobTable& table);

} // namespace kemnoa::maintenance
