#pragma once
// What a forked parsing child does first, shared by runIsolated and IsolatedWorker.

#include "platform/jet/isolated_run.h"

namespace kemnoa::jet::detail {

// Silences the child's output, turns off core files and bounds its memory and the size of files it
// writes. With keepFd >= 0 that descriptor becomes 3 and every other inherited one (database
// sockets, files of the program) is closed; with -1 the descriptors stay as they are.
void prepareChild(const IsolationLimits& limits, int keepFd);
// Bounds the CPU time of the child's next job to the time limit, counting from now.
void limitCpuFromNow(const IsolationLimits& limits);

} // namespace kemnoa::jet::detail
