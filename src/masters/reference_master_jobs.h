#pragma once
// The jobs of the three reference masters: their windows (codes 301 to 303) and the job runner's
// `masters export|import namecode|sizaicode|size [FILE]`.

#include "core/job.h"

namespace kemnoa::masters {

void addReferenceMasterJobs(core::JobTable& table);

} // namespace kemnoa::masters
