#include "platform/posix/FdWait.h"

#include <poll.h>

#include <cerrno>
#include <ctime>

int64_t monotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

FdWait waitForFd(int fd, short events, int64_t deadlineMs) {
    for (;;) {
        const int64_t left = deadlineMs - monotonicMs();
        if (left <= 0) return FdWait::TimedOut;
        pollfd entry{fd, events, 0};
        const int n = poll(&entry, 1, static_cast<int>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return FdWait::Failed;
        if (n == 0) continue;  // the loop head decides whether time is up
        if ((entry.revents & events) != 0) return FdWait::Ready;
        return FdWait::HungUp;
    }
}
