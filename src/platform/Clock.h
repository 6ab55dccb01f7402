#pragma once

#include <cstdint>
#include <ctime>

// Time services: the process clock the frame samples, the performance counter of the
// steering timers, sleeping, and the local wall-clock time for the log.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since the process started (the frame's clock sample).
    virtual int64_t processMillis() = 0;
    // High-resolution counter and its ticks per second.
    virtual int64_t perfCounter() = 0;
    virtual int64_t perfFrequency() = 0;
    virtual void sleepMs(int ms) = 0;
    virtual void sleepMicros(int64_t us) = 0;
    // Local wall-clock time, seconds since the epoch.
    virtual std::time_t wallTime() = 0;
};

// The real clock: std::chrono::steady_clock and the system time.
class SteadyClock final : public Clock {
public:
    SteadyClock();
    int64_t processMillis() override;
    int64_t perfCounter() override;
    int64_t perfFrequency() override;
    void sleepMs(int ms) override;
    void sleepMicros(int64_t us) override;
    std::time_t wallTime() override;

private:
    int64_t startNs_;
};

// A clock that only moves when told to; sleeping advances it. Tests and the headless
// harness use it so that timed behaviour runs without waiting.
class ManualClock final : public Clock {
public:
    explicit ManualClock(int64_t startMs = 0, std::time_t wallStart = 1700000000)
        : nowUs_(startMs * 1000), wallStart_(wallStart) {}
    void advanceMs(int64_t ms) { nowUs_ += ms * 1000; }
    void advanceUs(int64_t us) { nowUs_ += us; }
    int64_t processMillis() override { return nowUs_ / 1000; }
    int64_t perfCounter() override { return nowUs_; }
    int64_t perfFrequency() override { return 1000000; }
    void sleepMs(int ms) override { advanceMs(ms); }
    void sleepMicros(int64_t us) override { advanceUs(us); }
    std::time_t wallTime() override { return wallStart_ + static_cast<std::time_t>(nowUs_ / 1000000); }

private:
    int64_t nowUs_;
    std::time_t wallStart_;
};

// Milliseconds of the current context's process clock (zero without a clock).
int64_t sampleClockMillis();

// Seconds since the performance-counter value in `counter`, which then holds the current
// value. A counter of 0 gives the time since the counter's origin.
float elapsedSeconds(int64_t& counter);
