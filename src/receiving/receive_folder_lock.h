#pragma once
// One receive or import at a time per receive folder, across runs and workstations: a lock file in
// the folder itself. A second run waits a little for the first to end, then stops with a message,
// so it never imports (or sets aside as "err") a file another run is working on.

#include "core/prompter.h"

#include <QLockFile>
#include <QString>
#include <memory>

namespace kemnoa::receiving {

// The lock file's name in the receive folder.
inline constexpr const char* ReceiveLockName = ".kemnoa-receive.lock";

class ReceiveFolderLock {
public:
    explicit ReceiveFolderLock(const QString& folder);
    // Waits up to waitMs for another run to let go, handling the window's events meanwhile. False,
    // with the message shown, when it did not.
    // A folder that is missing or not writable is left to the run's own checks (true).
    bool acquire(core::Prompter& prompter, int waitMs = defaultWaitMs());

    // KEMNOA_RECEIVE_LOCK_WAIT seconds when set, else 30 seconds.
    static int defaultWaitMs();

private:
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace kemnoa::receiving
