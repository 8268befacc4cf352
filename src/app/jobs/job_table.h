#pragma once
// The program's job table: every subsystem's jobs and the program's own tools. The main menu and
// kemnoa-cli are both built from it.

#include "core/job.h"

namespace kemnoa::jobs {

const core::JobTable& jobTable();

} // namespace kemnoa::jobs
