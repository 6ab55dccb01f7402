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
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].caption, "DEMO ERROR");
    EXPECT_EQ(h.boxes.shown[0].text, "FSUIPC Not Running - Shutting Down Demo");
    // FMS.ini is saved on the way out: it then holds the viewport of the 540 x 600 client
    // area instead of the defaults written at start-up.
    EXPECT_NE(h.dir.read("FMS.ini").find("\nx_window_size:500\n"), std::string::npos);
    h.end();
    EXPECT_NE(h.dir.read("FMS.ini").find("\nx_window_size:540\ny_window_size:600\n"), std::string::npos);
}
