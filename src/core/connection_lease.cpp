#include "core/connection_lease.h"

#include "core/connections.h"

#include <array>

namespace kemnoa::core {
namespace {

std::array<int, 4>& counts() {
    static std::array<int, 4> c{};
    return c;
}

bool validKind(qint32 kind) {
    return kind >= KindWork && kind <= KindSk;
}

} // namespace

ConnectionLease::ConnectionLease(qint32 kind, Prompter& prompter) : kind_(kind) {
    if (!validKind(kind))
        return;
    int& count = counts()[kind - 1];
    db::Connection* shared = connectionOfKind(kind);
    // Another job holds it open: share it rather than replace it.
    if (count == 0 || !shared->isOpen())
        error_ = dbOpen(kind, prompter);
    ++count;
    held_ = true;
}

ConnectionLease::ConnectionLease(ConnectionLease&& other) noexcept
    : kind_(other.kind_), error_(other.error_), held_(other.held_) {
    other.held_ = false;
}

ConnectionLease::~ConnectionLease() {
    if (!held_)
        return;
    int& count = counts()[kind_ - 1];
    if (--count == 0)
        dbClose(kind_);
}

db::Connection& ConnectionLease::connection() const {
    db::Connection* shared = connectionOfKind(kind_);
    return shared ? *shared : cnWork();
}

ConnectionSet::ConnectionSet(const QList<qint32>& kinds, Prompter& prompter) : kinds_(kinds) {
    leases_.reserve(static_cast<size_t>(kinds.size()));
    for (const qint32 kind : kinds)
        leases_.emplace_back(kind, prompter);
}

ConnectionSet::~ConnectionSet() {
    while (!leases_.empty())
        leases_.pop_back();
}

bool ConnectionSet::ok(qint32 kind) const {
    for (const ConnectionLease& lease : leases_)
        if (lease.kind() == kind)
            return lease.ok();
    return false;
}

bool ConnectionSet::allOk() const {
    for (const ConnectionLease& lease : leases_)
        if (!lease.ok())
            return false;
    return true;
}

int leaseCount(qint32 kind) {
    return validKind(kind) ? counts()[kind - 1] : 0;
}

} // namespace kemnoa::core
