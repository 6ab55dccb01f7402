#include "platform/Clock.h"

#include <chrono>
#include <thread>

#include "platform/Platform.h"

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

void SteadyClock::sleepMicros(int64_t us) { std::this_thread::sleep_for(std::chrono::microseconds(us)); }

std::time_t SteadyClock::wallTime() { return std::time(nullptr); }

int64_t sampleClockMillis() {
    Clock* clock = platform().clock;
    return clock != nullptr ? clock->processMillis() : 0;
}

float elapsedSeconds(int64_t& counter) {
    Clock* clock = platform().clock;
    if (clock == nullptr) return 0.0f;
    const int64_t now = clock->perfCounter();
    const double seconds = static_cast<double>(now - counter) / static_cast<double>(clock->perfFrequency());
    counter = now;
    return static_cast<float>(seconds);
}
