#pragma once

#include <cstdint>

#include "platform/Clock.h"

// The real clock on Windows: the high-resolution performance counter for the steering timers
// and the process clock, Sleep for waits.
class Win32Clock final : public Clock {
public:
    Win32Clock();
    int64_t processMillis() override;
    int64_t perfCounter() override;
    int64_t perfFrequency() override;
    void sleepMs(int ms) override;
    void sleepMicros(int64_t us) override;
    std::time_t wallTime() override;

private:
    int64_t start_ = 0;
    int64_t frequency_ = 1;
};
