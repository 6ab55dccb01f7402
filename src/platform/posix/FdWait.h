#pragma once

#include <cstdint>

// Milliseconds of the monotonic clock.
int64_t monotonicMs();

enum class FdWait : uint8_t { Ready, TimedOut, HungUp, Failed };

// Waits for `events` (poll flags) on `fd` until the monotonic time `deadlineMs`. Restarts
// after signals. The thread sleeps in the kernel until the other end wakes it: a waiter that
// polls in a loop instead competes for the processor with the peer it waits for, which on a
// busy machine delays the answer by whole scheduler time slices. A hang-up or error without
// the wanted event (the other end is gone) gives HungUp; data sent just before the other end
// went away is still Ready.
FdWait waitForFd(int fd, short events, int64_t deadlineMs);
