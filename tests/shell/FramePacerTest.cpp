#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "shell/FramePacer.h"

// Frames that take 2 ms are spaced to 1/60 s; a frame that ran long is followed by the next
// at once and the count starts again, without a burst of short frames to catch up.
TEST(FramePacer, SixtyFramesASecondWithoutCatchingUp) {
    ManualClock clock;
    FramePacer pacer(60);
    auto frame = [&](int64_t workUs) {
        const int64_t start = clock.perfCounter();
        clock.advanceUs(workUs);
        pacer.waitForNextFrame(clock);
        return clock.perfCounter() - start;
    };
    frame(2000);  // the first frame only sets the pace
    for (int i = 0; i < 10; ++i) EXPECT_NEAR(frame(2000), 16667, 1) << i;
    EXPECT_EQ(frame(50000), 50000);  // late: no wait
    EXPECT_NEAR(frame(2000), 16667, 1);
    EXPECT_NEAR(frame(2000), 16667, 1);
    // Sixty frames take a second.
    const int64_t start = clock.perfCounter();
    for (int i = 0; i < 60; ++i) frame(1000);
    EXPECT_NEAR(clock.perfCounter() - start, 1000000, 60);
}

// The same pace on a counter that has run for months, as on a machine long up: the counter
// in microseconds times a million no longer fits 64 bits.
TEST(FramePacer, PacesTheSameOnACounterThatHasRunForMonths) {
    ManualClock clock(10'000'000'000);  // 115 days, in milliseconds
    FramePacer pacer(60);
    pacer.waitForNextFrame(clock);
    const int64_t start = clock.perfCounter();
    clock.advanceUs(2000);
    pacer.waitForNextFrame(clock);
    EXPECT_NEAR(clock.perfCounter() - start, 16667, 1);
}
