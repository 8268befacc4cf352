#pragma once
// Runs a piece of parsing in a forked child process under a time and memory limit, so that a file
// which makes a parser crash, hang or exhaust memory fails alone instead of taking the program down.

#include <QtGlobal>
#include <functional>

namespace kemnoa::jet {

struct IsolationLimits {
    int timeoutMs = 60000;
    qint64 memoryBytes = qint64(2) << 30; // address space of the child
    qint64 fileBytes = 0;                 // largest file the child may write; 0: no limit
};

enum class IsolatedOutcome { Succeeded, Failed, Crashed, TimedOut, CouldNotStart };

// Runs work() in a child; its result (true for success) becomes Succeeded or Failed. The child
// writes nothing to the terminal; what it hands back goes through files the caller opened.
IsolatedOutcome runIsolated(const std::function<bool()>& work, const IsolationLimits& limits);

} // namespace kemnoa::jet
