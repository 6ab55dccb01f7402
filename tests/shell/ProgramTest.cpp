#include <gtest/gtest.h>

#include "Harness.h"
#include "cdu/CduRenderer.h"
#include "shell/Program.h"

namespace {

HarnessOptions noDatabase(int framePeriodMs = 20) {
    return {.sampleDatabase = false, .framePeriodMs = framePeriodMs};
}

}  // namespace

TEST(ProgramStart, AMissingSettingsFileIsWrittenWithDefaultsBeforeTheWindow) {
    Harness h(noDatabase());
    startProgram();
    EXPECT_TRUE(h.context.simlink.simLinked);
    EXPECT_NE(h.dir.read("FMS.ini").find("\nx_window_size:500\ny_window_size:550\nx_window_position:0\n"),
              std::string::npos);
    EXPECT_EQ(h.settings().windowWidth, 500);
    EXPECT_EQ(windowTitle().rfind("FMS DEMO - ", 0), 0u);
}

TEST(ProgramStart, WithoutASimulatorTheFirstFrameEndsTheProgramAndSettingsAreSaved) {
    Harness h(noDatabase());
    h.sim.transport.kind = SimServerKind::None;
    h.start();
    EXPECT_FALSE(h.context.simlink.simLinked);
    EXPECT_FALSE(h.frame());
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].caption, "DEMO ERROR");
    EXPECT_EQ(h.boxes.shown[0].text, "FSUIPC Not Running - Shutting Down Demo");
    EXPECT_EQ(h.boxes.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(h.renderer.framesBegun(), 0);  // nothing was drawn
    h.end();
    // The viewport of the 540 x 600 client area is what the saved file keeps.
    EXPECT_NE(h.dir.read("FMS.ini").find("\nx_window_size:540\ny_window_size:600\n"), std::string::npos);
}

// Escape ends the loop, and brightness changed while running is what the saved file keeps.
TEST(FrameCycle, EscapeEndsTheLoopAndBrightnessIsSavedAtTheEnd) {
    Harness h(noDatabase());
    h.powerOn();
    for (const char* key : {"ONOFF", "R2", "R2"}) {
        h.press(key);
        h.frame();
    }
    EXPECT_FALSE(escapeRequested());
    h.type("\x1b");
    EXPECT_TRUE(escapeRequested());
    h.end();
    EXPECT_NE(h.dir.read("FMS.ini").find("\nDisplay_Brightness:0.2\n"), std::string::npos);
}

TEST(ProgramStart, AMissingBezelPictureIsReportedApartFromOtherFailures) {
    Fms context;
    ScopedFms current(context);
    TempDir dir;
    RecordingRenderer renderer;
    context.platform.renderer = &renderer;
    context.platform.dataRoot = dir.str();
    EXPECT_EQ(initGraphics(), GraphicsInit::MissingBezel);
    dir.write("textures/CDU_Tex.tga", "not a picture");
    EXPECT_EQ(initGraphics(), GraphicsInit::MissingBezel);
    // Without a drawing backend no font can be made.
    context.platform.renderer = nullptr;
    EXPECT_EQ(initGraphics(), GraphicsInit::Failed);
}

TEST(FrameCycle, TheLinkIsCheckedOnlyInEvenSecondsAndADroppedLinkIsNotTakenBack) {
    Harness h(noDatabase(100));
    h.start();
    // Run into an odd counted second.
    while (h.context.cdu.secondsCounter % 2 == 0) ASSERT_TRUE(h.frame());
    // The link goes down: frames go on until the next even second, which ends the program
    // even though the simulator would answer a fresh open.
    h.context.simlink.link.close();
    int framesInOddSecond = 0;
    for (; h.context.cdu.secondsCounter % 2 == 1; ++framesInOddSecond) ASSERT_TRUE(h.frame());
    EXPECT_GT(framesInOddSecond, 0);
    EXPECT_FALSE(h.frame());
    EXPECT_FALSE(h.context.simlink.link.isOpen());
    EXPECT_EQ(h.boxes.shown.size(), 1u);
}

TEST(FrameCycle, SecondsCounterAndNewSecondFollowTheProcessClock) {
    Harness h(noDatabase(100));
    h.frame();
    const int first = h.context.cdu.secondsCounter;
    const int64_t startMs = h.sim.clock.processMillis();
    // 2.5 s in 100 ms steps: count the second boundaries against the clock itself.
    int newSecondFrames = 0;
    for (int i = 0; i < 25; ++i) {
        const int before = h.context.cdu.secondsCounter;
        h.frame();
        newSecondFrames += h.context.cdu.secondsCounter != before ? 1 : 0;
        EXPECT_FALSE(h.context.cdu.newSecond);  // cleared at the end of every frame
    }
    EXPECT_EQ(newSecondFrames, h.sim.clock.processMillis() / 1000 - startMs / 1000);
    EXPECT_EQ(h.context.cdu.secondsCounter - first, newSecondFrames);
}

TEST(ProcessClock, SamplesAndStopwatch) {
    Fms context;
    ScopedFms current(context);
    EXPECT_EQ(sampleClockMillis(), 0);  // no clock: zero
    ManualClock clock(2345);
    context.platform.clock = &clock;
    EXPECT_EQ(sampleClockMillis(), 2345);
    int64_t counter = 0;
    EXPECT_FLOAT_EQ(elapsedSeconds(counter), 2.345f);  // from the counter's origin
    clock.advanceUs(1500);
    EXPECT_FLOAT_EQ(elapsedSeconds(counter), 0.0015f);
    EXPECT_FLOAT_EQ(elapsedSeconds(counter), 0.0f);
}
