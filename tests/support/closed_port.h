#pragma once
// A local TCP port nobody listens on, for "nothing there" cases: the port is bound (so no other program
// can take it while the object lives) but never listens, so a connection to it is refused at once.

#include <QtGlobal>

namespace kemnoa::test {

class ClosedPort {
public:
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;

    // 0 when no port could be bound.
    quint16 port() const { return port_; }

private:
    int fd_ = -1;
    quint16 port_ = 0;
};

} // namespace kemnoa::test
