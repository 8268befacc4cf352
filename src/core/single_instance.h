#pragma once
// Refuses a second copy of the program for the same user and program folder.

#include <QLockFile>
#include <QString>
#include <memory>

namespace kemnoa::core {

// The lock file of this user's copy running from that program folder.
QString singleInstanceLockPath(const QString& programFolder);

class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const QString& lockPath);
    // False when another running copy holds the lock. A lock left by a crashed copy is taken over.
    bool acquire();

private:
    std::unique_ptr<QLockFile> lock_;
};

} // namespace kemnoa::core
