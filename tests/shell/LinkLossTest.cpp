#include <gtest/gtest.h>

#include "Harness.h"
#include "shell/Program.h"

// The simulator stops while the program runs: the frames go on at their own pace until the
// next link check, which ends the program as a missing simulator does.
TEST(FrameCycle, ASimulatorThatStopsEndsTheProgramAtTheNextLinkCheck) {
    Harness h({.sampleDatabase = false, .framePeriodMs = 100});
    h.powerOn();
    while (h.context.cdu.secondsCounter % 2 == 0) ASSERT_TRUE(h.frame());
    h.sim.transport.stopServer();

    // Every frame's batches fail at once: the link does not retry a server that is gone, so
    // the clock moves only by the frame period.
    const int64_t start = h.sim.clock.processMillis();
    int frames = 0;
    for (; h.context.cdu.secondsCounter % 2 == 1; ++frames) ASSERT_TRUE(h.frame());
    EXPECT_EQ(h.sim.clock.processMillis() - start, frames * 100);
    EXPECT_EQ(h.sim.transport.waitedMs, 100);  // only the open at start-up waited

    EXPECT_FALSE(h.frame());
    EXPECT_FALSE(h.context.simlink.simLinked);
    EXPECT_FALSE(h.context.simlink.link.isOpen());
    // The message and the saved settings are those of a simulator missing at start-up.
    EXPECT_EQ(h.boxes.shown.size(), 1u);
}
