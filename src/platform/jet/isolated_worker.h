#pragma once
// A child process kept for a run of isolated jobs (the files of one import): forked once, it runs one
// job after another, so the fork and the child's fresh memory are paid once instead of per file, and
// a job can run while this process does other work. Each job is bounded like runIsolated's: a job
// that crashes, hangs or exhausts the child ends the child, and the next job starts a new one.

#include "platform/jet/isolated_run.h"

#include <QByteArray>
#include <functional>

namespace kemnoa::jet {

class IsolatedWorker {
public:
    // job runs in the child with the request given to send(); true for success.
    using Job = std::function<bool(const QByteArray& request)>;
    IsolatedWorker(Job job, const IsolationLimits& limits);
    ~IsolatedWorker(); // ends the child at once, a job in progress with it
    IsolatedWorker(const IsolatedWorker&) = delete;
    IsolatedWorker& operator=(const IsolatedWorker&) = delete;

    // Hands a job to the child, starting one when none runs; returns at once. False when no child
    // could be started. A job already sent must be waited for first.
    bool send(const QByteArray& request);
    // The outcome of the job sent (its time limit counts from send()). After Crashed or TimedOut the
    // child is gone.
    IsolatedOutcome wait();
    bool busy() const { return busy_; }
    // Ends the child and the job it runs; the next send() starts a new one.
    void cancel() { endChild(); }

private:
    bool startChild();
    void endChild();
    IsolatedOutcome childGone();
    Job job_;
    IsolationLimits limits_;
    int pid_ = -1;
    int socket_ = -1;
    bool busy_ = false;
    qint64 sentAtMs_ = 0;
};

} // namespace kemnoa::jet
