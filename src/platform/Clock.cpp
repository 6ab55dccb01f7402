#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace {
int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

SteadyClock::SteadyClock() : startNs_(steadyNs()) {}

int64_t SteadyClock::processMillis() { return (steadyNs() - startNs_) / 1000000; }

int64_t SteadyClock::perfCounter() { return steadyNs(); }

int64_t SteadyClock::perfFrequency() { return 1000000000; }

void SteadyClock::sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::time_t SteadyClock::wallTime() { return std::time(nullptr); }
