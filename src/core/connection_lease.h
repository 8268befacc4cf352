#pragma once
// Leases on the shared connections. Every job holds a lease on each kind it uses for as long as its
// run or its window lasts; the shared connection of a kind is opened (dbOpen) by the first lease and
// closed (dbClose, with its rule for the work connection) when the last lease ends. So several job
// windows can be open together, and closing one never closes a connection another still uses, nor
// does a later job reopen (and so replace) a connection that another job holds, transaction and all.

#include "core/prompter.h"
#include "platform/db/connection.h"

#include <QList>
#include <vector>

namespace kemnoa::core {

class ConnectionLease {
public:
    // Takes a lease on the kind (1 to 4): opens the connection unless another lease holds it open.
    // A failed open has shown dbOpen's message; the lease is then not ok() but still counts until it
    // ends, as a job that could not connect still runs to its first database access.
    ConnectionLease(qint32 kind, Prompter& prompter);
    ~ConnectionLease();
    ConnectionLease(ConnectionLease&& other) noexcept;
    ConnectionLease& operator=(ConnectionLease&&) = delete;
    ConnectionLease(const ConnectionLease&) = delete;
    ConnectionLease& operator=(const ConnectionLease&) = delete;

    qint32 kind() const { return kind_; }
    bool ok() const { return error_ == 0; }
    // dbOpen's error number, 0 when the connection is open.
    qint32 error() const { return error_; }
    db::Connection& connection() const;

private:
    qint32 kind_ = 0;
    qint32 error_ = 0;
    bool held_ = false;
};

// The leases of one job, taken in the order given and released in reverse order.
class ConnectionSet {
public:
    ConnectionSet() = default;
    ConnectionSet(const QList<qint32>& kinds, Prompter& prompter);
    ~ConnectionSet();
    ConnectionSet(ConnectionSet&&) = default;
    ConnectionSet& operator=(ConnectionSet&&) = delete;

    // True when the kind is leased and open.
    bool ok(qint32 kind) const;
    // True when every leased kind is open.
    bool allOk() const;
    const QList<qint32>& kinds() const { return kinds_; }

private:
    QList<qint32> kinds_;
    std::vector<ConnectionLease> leases_;
};

// The number of live leases on a kind (tests and diagnostics).
int leaseCount(qint32 kind);

} // namespace kemnoa::core
