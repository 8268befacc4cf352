#include "platform/jet/isolated_run.h"

#include "platform/jet/isolated_child.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define KEMNOA_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KEMNOA_UNDER_ASAN 1
#endif
#endif

namespace kemnoa::jet {

namespace {

long elapsedMsSince(const timespec& start) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
}

enum class Wait { Ended, TimedOut, Unavailable };

// Sleeps until the child ends or the time is up, woken by the kernel the moment it ends (a process
// file descriptor), so a parse of a few milliseconds costs no more than that.
Wait waitForEnd(pid_t pid, const timespec& start, long timeoutMs) {
#ifdef SYS_pidfd_open
    const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0)
        return Wait::Unavailable;
    Wait result = Wait::TimedOut;
    for (;;) {
        const long left = timeoutMs - elapsedMsSince(start);
        if (left <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        const int r = poll(&p, 1, static_cast<int>(left));
        if (r > 0) {
            result = Wait::Ended;
            break;
        }
        if (r < 0 && errno != EINTR) {
            result = Wait::Unavailable;
            break;
        }
    }
    close(fd);
    return result;
#else
    (void)pid;
    (void)start;
    (void)timeoutMs;
    return Wait::Unavailable;
#endif
}

} // namespace

namespace detail {

void prepareChild(const IsolationLimits& limits, int keepFd) {
    const int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0) {
        dup2(devnull, STDOUT_FILENO);
        dup2(devnull, STDERR_FILENO);
    }
    // A long-lived child needs none of the program's descriptors but its channel; closing them keeps
    // it from holding a database connection or a deleted file open.
    if (keepFd >= 0) {
        const int channel = STDERR_FILENO + 1;
        if (keepFd != channel && dup2(keepFd, channel) < 0)
            _exit(1);
#ifdef SYS_close_range
        if (syscall(SYS_close_range, channel + 1, ~0U, 0) != 0)
#endif
            for (int fd = channel + 1; fd < 4096; ++fd)
                close(fd);
    }
    rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
#ifndef KEMNOA_UNDER_ASAN // the sanitizer reserves far more address space than it uses
    rlimit mem{rlim_t(limits.memoryBytes), rlim_t(limits.memoryBytes)};
    setrlimit(RLIMIT_AS, &mem);
#endif
    if (limits.fileBytes > 0) {
        rlimit fsize{rlim_t(limits.fileBytes), rlim_t(limits.fileBytes)};
        setrlimit(RLIMIT_FSIZE, &fsize);
    }
}

void limitCpuFromNow(const IsolationLimits& limits) {
    rusage used{};
    getrusage(RUSAGE_SELF, &used);
    rlimit cpu{};
    getrlimit(RLIMIT_CPU, &cpu);
    rlim_t soft = rlim_t(used.ru_utime.tv_sec + used.ru_stime.tv_sec + limits.timeoutMs / 1000 + 2);
    if (cpu.rlim_max != RLIM_INFINITY && soft > cpu.rlim_max)
        soft = cpu.rlim_max;
    cpu.rlim_cur = soft;
    setrlimit(RLIMIT_CPU, &cpu);
}

} // namespace detail

IsolatedOutcome runIsolated(const std::function<bool()>& work, const IsolationLimits& limits) {
    const pid_t pid = fork();
    if (pid < 0)
        return IsolatedOutcome::CouldNotStart;
    if (pid == 0) {
        detail::prepareChild(limits, -1);
        detail::limitCpuFromNow(limits);
        bool ok = false;
        try {
            ok = work();
        } catch (...) {
            ok = false;
        }
        _exit(ok ? 0 : 1);
    }

    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    int status = 0;
    bool ended = false;
    const auto killChild = [&] {
        kill(pid, SIGKILL);
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    };
    switch (waitForEnd(pid, start, limits.timeoutMs)) {
    case Wait::Ended:
        while (waitpid(pid, &status, 0) < 0) {
            if (errno != EINTR)
                return IsolatedOutcome::CouldNotStart;
        }
        ended = true;
        break;
    case Wait::TimedOut:
        killChild();
        return IsolatedOutcome::TimedOut;
    case Wait::Unavailable: // an older kernel: polled below
        break;
    }
    for (long pause = 200000; !ended;) { // from 0.2 ms, doubling up to 20 ms
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            break;
        if (r < 0 && errno != EINTR)
            return IsolatedOutcome::CouldNotStart;
        if (elapsedMsSince(start) > limits.timeoutMs) {
            killChild();
            return IsolatedOutcome::TimedOut;
        }
        timespec ts{0, pause};
        nanosleep(&ts, nullptr);
        pause = pause < 20000000 ? pause * 2 : pause;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status) == 0 ? IsolatedOutcome::Succeeded : IsolatedOutcome::Failed;
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)
        return IsolatedOutcome::TimedOut;
    return IsolatedOutcome::Crashed;
}

} // namespace kemnoa::jet
