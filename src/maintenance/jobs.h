#pragma once
// The jobs of order maintenance.

#include "core/job.h"
#include "maintenance/error_list.h"

#include <vector>

namespace kemnoa::maintenance {

// Loads the error list of the order (every order for 0) for the list window and the job runner:
// a failure shows its error titled "MP_Open"; no rows shows "エラーはありません。". Failed only for a
// failure; the caller tells the empty list by its rows.
core::Outcome MP_LoadErrorList(core::Prompter& prompter, qint32 ordNo, std::vector<ErrorListRow>& rows);

void addMaintenanceJobs(core::JobTable& table);

} // namespace kemnoa::maintenance
