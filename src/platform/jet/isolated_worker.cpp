#include "platform/jet/isolated_worker.h"

#include "platform/jet/isolated_child.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kemnoa::jet {

namespace {

constexpr int kChannel = 3; // where prepareChild puts the child's end of the socket

qint64 nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool readAll(int fd, char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = read(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

bool sendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL); // a gone child is no SIGPIPE
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// The child: runs each request it is sent until the program closes its end, answering one byte each.
[[noreturn]] void serve(const IsolatedWorker::Job& job, const IsolationLimits& limits) {
    for (;;) {
        quint32 size = 0;
        if (!readAll(kChannel, reinterpret_cast<char*>(&size), sizeof size) || size > (1u << 20))
            _exit(0);
        QByteArray request(qsizetype(size), Qt::Uninitialized);
        if (!readAll(kChannel, request.data(), size))
            _exit(0);
        detail::limitCpuFromNow(limits);
        bool ok = false;
        try {
            ok = job(request);
        } catch (...) {
            ok = false;
        }
        const char answer = ok ? 'S' : 'F';
        if (!sendAll(kChannel, &answer, 1))
            _exit(0);
    }
}

} // namespace

IsolatedWorker::IsolatedWorker(Job job, const IsolationLimits& limits)
    : job_(std::move(job)), limits_(limits) {}

IsolatedWorker::~IsolatedWorker() {
    endChild();
}

bool IsolatedWorker::startChild() {
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        return false;
    const pid_t pid = fork();
    if (pid < 0) {
        close(pair[0]);
        close(pair[1]);
        return false;
    }
    if (pid == 0) {
        detail::prepareChild(limits_, pair[1]);
        serve(job_, limits_);
    }
    close(pair[1]);
    pid_ = pid;
    socket_ = pair[0];
    return true;
}

void IsolatedWorker::endChild() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (socket_ >= 0)
        close(socket_);
    pid_ = -1;
    socket_ = -1;
    busy_ = false;
}

bool IsolatedWorker::send(const QByteArray& request) {
    if (busy_)
        return false;
    if (pid_ < 0 && !startChild())
        return false;
    const quint32 size = quint32(request.size());
    QByteArray message(reinterpret_cast<const char*>(&size), sizeof size);
    message += request;
    if (!sendAll(socket_, message.constData(), std::size_t(message.size()))) {
        endChild(); // it ended since the last job: one more try with a new child
        if (!startChild() || !sendAll(socket_, message.constData(), std::size_t(message.size()))) {
            endChild();
            return false;
        }
    }
    busy_ = true;
    sentAtMs_ = nowMs();
    return true;
}

IsolatedOutcome IsolatedWorker::childGone() {
    int status = 0;
    pid_t r;
    while ((r = waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
    }
    pid_ = -1; // reaped: endChild must not signal a reused number
    endChild();
    if (r > 0 && WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)
        return IsolatedOutcome::TimedOut;
    return IsolatedOutcome::Crashed;
}

IsolatedOutcome IsolatedWorker::wait() {
    if (!busy_)
        return IsolatedOutcome::CouldNotStart;
    for (;;) {
        const qint64 left = limits_.timeoutMs - (nowMs() - sentAtMs_);
        pollfd p{socket_, POLLIN, 0};
        const int r = poll(&p, 1, int(std::max<qint64>(left, 0)));
        if (r < 0 && errno == EINTR)
            continue;
        if (r == 0) {
            endChild();
            return IsolatedOutcome::TimedOut;
        }
        char answer = 0;
        if (r < 0 || !readAll(socket_, &answer, 1))
            return childGone();
        busy_ = false;
        if (answer == 'S')
            return IsolatedOutcome::Succeeded;
        endChild(); // a failed parse may have left the child in any state: the next job gets a new one
        return IsolatedOutcome::Failed;
    }
}

} // namespace kemnoa::jet
