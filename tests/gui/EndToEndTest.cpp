// The real program under a virtual X server: fms-sim and fms are started as a user would,
// the unit is switched on with a mouse click on ON/OFF/DIM, and a screenshot taken with F12
// must show the green start-up page where its lines belong.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "GuiSession.h"
#include "SimChild.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

// The programs, a virtual display of their own, and a run directory with a plain grey bezel
// picture and no database (so that only the CDU's own text is green and the start-up page
// stays up with LOADING).
struct EndToEnd : ::testing::Test {
    const fs::path runDir = FMS_RUN_DIR;
    TempDir dir;
    GuiSession session{dir.path()};
    const std::map<std::string, std::string>& env = session.env;

    void SetUp() override {
        ASSERT_TRUE(fs::exists(runDir / "fms")) << "build the fms program first";
        ASSERT_TRUE(fs::exists(runDir / "fms-sim")) << "build fms-sim first";
        if (!session.displayReady()) GTEST_SKIP() << session.error << ": the end-to-end test did not run";
        session.unitDirectory("run", "", false);
    }
};

}  // namespace

// The run directory has no database, so that the start-up page stays up with LOADING.
TEST_F(EndToEnd, TheUnitSwitchedOnWithTheMouseShowsTheStartupPage) {
    Child sim({(runDir / "fms-sim").string(), "--no-console"}, env, dir.path() / "run",
              dir.path() / "sim.log");
    ASSERT_TRUE(waitFor([&] { return !fs::is_empty(dir.path() / "sim") || !sim.running(); }, 10) &&
                sim.running())
        << dir.read("sim.log");

    const fs::path shot = dir.path() / "shot.png";
    Child fmsProgram({(runDir / "fms").string(), "--no-dialogs", "--screenshot", shot.string()}, env,
                     dir.path() / "run", dir.path() / "fms.log");
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

// The plan flown for real: fms-sim with its console on a pipe and the autopilot off, fms as
// unit 1 on the sample database; the unit is switched on, INIT accepted and a plan typed in
// (the origin from the aircraft's position, then SEA and OLM) with the mouse and the keyboard.
// The autopilot and GPS are switched on through the simulator's console, and the simulator's
// status must show the program coupled and its panel's active waypoint moving past the first leg.
TEST_F(EndToEnd, TheAutopilotEngagedInTheSimulatorFliesThePlanPastItsFirstLeg) {
    fs::copy(fs::path(FMS_SOURCE_DIR) / "data", dir.path() / "run/data", fs::copy_options::recursive);
    dir.write("run/FMS.ini", "FMS1:yes\n");  // the one unit, which steers

    // 3 NM north of Seattle-Tacoma at 6000 ft, heading south at 250 kt, autopilot off.
    SimChild sim((runDir / "fms-sim").string(), (dir.path() / "sim").string(),
                 {"--scenario", "ksea", "--lat", "47.5", "--lon", "-122.31", "--hdg", "180", "--wind", "0/0",
                  "--ap", "off"},
                 (dir.path() / "sim.log").string());
    ASSERT_TRUE(sim.started());
    ASSERT_TRUE(waitFor([&] { return !fs::is_empty(dir.path() / "sim"); }, 10)) << sim.output();

    Child fmsProgram({(runDir / "fms").string(), "--no-dialogs"}, env, dir.path() / "run",
                     dir.path() / "fms.log");
    CduWindow window;
    ASSERT_TRUE(window.find(session.display(), fmsProgram.pid(), 60)) << "no window appeared\n"
                                                                      << dir.read("fms.log");
    auto click = [&](const char* key) {
        window.click(key);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    };
    auto typeLine = [&](const char* text) {
        window.type(text);
        window.key("Return");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    };

    click("ONOFF");
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));  // self-test and database load
    click("L5");                                                   // ACCEPT on the INIT page
    click("FPL");                                                  // the origin from the position
    click("L2");
    typeLine("SEA");
    click("L5");  // ACCEPT on the identifier page
    typeLine("OLM");
    click("L5");
    click("NAV");

    // The autopilot on GPS, through the simulator's console.
    ASSERT_TRUE(sim.type("gps on"));
    ASSERT_TRUE(sim.type("ap on"));
    auto statusField = [&](const std::string& name) {
        sim.type("status");
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const std::string out = sim.output();
        const size_t line = out.rfind("pos ");
        const size_t at = out.find(" " + name + " ", line);
        return at == std::string::npos || line == std::string::npos
                   ? -1
                   : std::atoi(out.c_str() + at + name.size() + 2);
    };
    EXPECT_TRUE(waitFor([&] { return statusField("cpl") == 1; }, 10)) << sim.output() << dir.read("fms.log");
    EXPECT_EQ(statusField("wpt"), 1) << sim.output();
    // SEA lies 4.4 NM ahead; the turn toward OLM starts about 1 NM before it.
    EXPECT_TRUE(waitFor([&] { return statusField("wpt") == 2; }, 150)) << sim.output() << dir.read("fms.log");

    window.key("Escape");
    EXPECT_TRUE(fmsProgram.waitExit(15)) << "Escape did not end the program";
    sim.closeConsole();
    EXPECT_EQ(sim.wait(5000), 0);
}

// With no simulator the program shows the "DEMO ERROR" box and waits for a click. A
// termination request (as a service manager or Ctrl+C sends it) still ends it at once, the
// ordinary way: FMS.ini written back.
TEST_F(EndToEnd, TerminationRequestsEndTheProgramWhileAMessageBoxIsUp) {
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        dir.write("run/FMS.ini", "Display_Brightness:0.3\n");
        Child fmsProgram({(runDir / "fms").string()}, env, dir.path() / "run", dir.path() / "fms.log");
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

// The simulator is killed while the program runs: the program notices at its next link
// check and ends as it does without a simulator, with its message and FMS.ini saved.
TEST_F(EndToEnd, KillingTheSimulatorEndsTheProgramWithItsMessage) {
    Child sim({(runDir / "fms-sim").string(), "--no-console"}, env, dir.path() / "run",
              dir.path() / "sim.log");
    ASSERT_TRUE(waitFor([&] { return !fs::is_empty(dir.path() / "sim") || !sim.running(); }, 10) &&
                sim.running())
        << dir.read("sim.log");
    Child fmsProgram({(runDir / "fms").string(), "--no-dialogs"}, env, dir.path() / "run",
                     dir.path() / "fms.log");
    CduWindow window;
    ASSERT_TRUE(window.find(session.display(), fmsProgram.pid(), 60)) << "no window appeared\n"
                                                                      << dir.read("fms.log");
    // Through a few link checks while the simulator runs.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    ASSERT_TRUE(fmsProgram.running()) << dir.read("fms.log");

    sim.signal(SIGKILL);
    const auto killed = std::chrono::steady_clock::now();
    const fs::file_time_type killedOnDisk = fs::file_time_type::clock::now();
    // The next even second's check at the latest, plus a frame.
    EXPECT_TRUE(fmsProgram.waitExit(10)) << "the program did not notice\n" << dir.read("fms.log");
    std::printf("the program ended %.2f s after the simulator was killed\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - killed).count());
    EXPECT_EQ(fmsProgram.exitStatus(), 0);
    EXPECT_NE(dir.read("fms.log").find("DEMO ERROR: FSUIPC Not Running - Shutting Down Demo"),
              std::string::npos)
        << dir.read("fms.log");
    ASSERT_TRUE(fs::exists(dir.path() / "run/FMS.ini"));
    EXPECT_GE(fs::last_write_time(dir.path() / "run/FMS.ini"), killedOnDisk);  // written on the way out
}
