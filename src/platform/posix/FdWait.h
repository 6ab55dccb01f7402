#pragma once

#include <cstdint>

// Milliseconds of the monotonic clock.
int64_t monotonicMs();

// Waits for `events` (poll flags) on `fd` until the monotonic time `deadlineMs`; false on
// time-out. Restarts after signals. A hang-up or error without the wanted event sets `failed`
// and returns false: the other end is gone.
bool waitForFd(int fd, short events, int64_t deadlineMs, bool& failed);
