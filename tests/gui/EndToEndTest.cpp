// The real program under a virtual X server: fms-sim and fms are started as a user would,
// the unit is switched on with a mouse click on ON/OFF/DIM, and a screenshot taken with F12
// must show the green start-up page where its lines belong.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "GuiSession.h"
#include "TempDir.h"

namespace fs = std::filesystem;

TEST(EndToEnd, TheUnitSwitchedOnWithTheMouseShowsTheStartupPage) {
    const fs::path runDir = FMS_RUN_DIR;
    ASSERT_TRUE(fs::exists(runDir / "fms")) << "build the fms program first";
    ASSERT_TRUE(fs::exists(runDir / "fms-sim")) << "build fms-sim first";

    TempDir dir;
    GuiSession session(dir.path());
    if (!session.displayReady()) GTEST_SKIP() << session.error << ": the end-to-end test did not run";
    ASSERT_TRUE(session.startSimulator({})) << session.error;
    // Without a database the start-up page stays up with LOADING.
    const fs::path run = session.unitDirectory("run", "", false);

    const fs::path shot = dir.path() / "shot.png";
    Child fmsProgram({(runDir / "fms").string(), "--no-dialogs", "--screenshot", shot.string()}, session.env,
                     run, dir.path() / "fms.log");
    CduWindow window;
    ASSERT_TRUE(window.find(session.display(), fmsProgram.pid(), 60)) << "no window appeared\n"
                                                                      << dir.read("fms.log");
    window.click("ONOFF");

    // Let the page run, then F12 for the screenshot and Escape to end the program.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    RgbPicture picture;
    ASSERT_TRUE(window.screenshot(shot, picture)) << dir.read("fms.log");
    window.key("Escape");
    EXPECT_TRUE(fmsProgram.waitExit(15)) << "Escape did not end the program";
    EXPECT_EQ(fmsProgram.exitStatus(), 0);
    EXPECT_NE(dir.read("run/FMS.ini").find("Enable_Arduino:no"), std::string::npos);

    // Green text where "ORX - 1" (row 0, column 8), "LEARJET 45" and "CPU" (row 4, column 2)
    // are drawn, and none on the empty line between the title and "LEARJET 45".
    EXPECT_GT(window.pixels(picture, 8, 0, 7, isGreenText), 40);
    EXPECT_GT(window.pixels(picture, 0, 2, 10, isGreenText), 40);
    EXPECT_GT(window.pixels(picture, 2, 4, 3, isGreenText), 20);
    EXPECT_EQ(window.pixels(picture, 0, 1, 23, isGreenText), 0);
}

// With no simulator the program shows the "DEMO ERROR" box and waits for a click. A
// termination request (as a service manager or Ctrl+C sends it) still ends it at once, the
// ordinary way: FMS.ini written back.
TEST(EndToEnd, TerminationRequestsEndTheProgramWhileAMessageBoxIsUp) {
    const fs::path runDir = FMS_RUN_DIR;
    ASSERT_TRUE(fs::exists(runDir / "fms")) << "build the fms program first";
    TempDir dir;
    GuiSession session(dir.path());  // no simulator listens in its folder
    if (!session.displayReady()) GTEST_SKIP() << session.error << ": the end-to-end test did not run";
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        const fs::path run = session.unitDirectory("run", "Display_Brightness:0.3\n", false);
        Child fmsProgram({(runDir / "fms").string()}, session.env, run, dir.path() / "fms.log");
        // (The box's title is a UTF-8 name, which xdotool does not search.)
        const bool boxShown = waitFor(
            [&] {
                return capture("DISPLAY=" + session.display() + " xwininfo -root -tree")
                           .find("\"DEMO ERROR\"") != std::string::npos;
            },
            30);
        ASSERT_TRUE(boxShown) << "no message box appeared\n" << dir.read("fms.log");
        ASSERT_TRUE(fmsProgram.running());
        fmsProgram.signal(signal);
        EXPECT_TRUE(fmsProgram.waitExit(10)) << "the program did not end";
        EXPECT_EQ(fmsProgram.exitStatus(), 0);
        const std::string ini = dir.read("run/FMS.ini");
        EXPECT_NE(ini.find("Display_Brightness:0.3"), std::string::npos) << ini;
        EXPECT_NE(ini.find("Enable_Arduino:no"), std::string::npos) << ini;  // written in full
    }
}
