// The Windows build under Wine: fms-sim.exe and fms.exe started from the folder a user
// unzips, on a virtual display. Runs when FMS_WINDOWS_DIR names that folder (the Windows
// stage of the test command sets it) and Wine is installed; skipped otherwise.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "GuiSession.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

bool isYellowText(const uint8_t* p) {
    return p[0] > 150 && p[1] > 150 && p[2] < 100;
}

struct WineSmoke : ::testing::Test {
    TempDir dir;
    fs::path windows;
    std::string wine;
    fs::path run;
    std::unique_ptr<GuiSession> session;

    void SetUp() override {
        const char* folder = std::getenv("FMS_WINDOWS_DIR");
        if (folder == nullptr || !fs::exists(fs::path(folder) / "fms.exe")) {
            GTEST_SKIP() << "FMS_WINDOWS_DIR does not name the Windows folder: the Wine test did not run";
        }
        wine = capture("command -v wine");
        while (!wine.empty() && (wine.back() == '\n' || wine.back() == ' ')) wine.pop_back();
        if (wine.empty()) GTEST_SKIP() << "Wine is not installed";
        windows = folder;
        session = std::make_unique<GuiSession>(dir.path());
        if (!session->displayReady()) GTEST_SKIP() << session->error;
        // Frameless, so that the window's X window is its client area; the plain grey bezel
        // and the sample database of the session.
        run = session->unitDirectory("run", "show_frame:no\n", true);
        for (const char* program : {"fms.exe", "fms-sim.exe"})
            fs::copy_file(windows / program, run / program);
        // A quiet Wine that never offers to install anything.
        session->env["WINEDLLOVERRIDES"] = "mscoree,mshtml=";
        session->env["WINEDEBUG"] = "-all";
    }

    std::string log(const char* name) { return dir.read(name); }
};

}  // namespace

TEST_F(WineSmoke, TheUnitSwitchedOnWithAClickShowsTheSimulatorsPositionOnInit) {
    Child sim({wine, "fms-sim.exe", "--no-console"}, session->env, run, dir.path() / "sim.log");
    ASSERT_TRUE(waitFor([&] { return log("sim.log").find("serving window class") != std::string::npos; }, 60))
        << log("sim.log");

    const fs::path shot = run / "shot.png";
    Child fms({wine, "fms.exe", "--no-dialogs", "--screenshot", "shot.png"}, session->env, run,
              dir.path() / "fms.log");
    CduWindow window;
    ASSERT_TRUE(window.find(session->display(), fms.pid(), 90)) << "no window appeared\n" << log("fms.log");
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    window.click("ONOFF");
    // The self-test, the database load, then the INIT page.
    std::this_thread::sleep_for(std::chrono::milliseconds(5000));
    RgbPicture picture;
    ASSERT_TRUE(window.screenshot(shot, picture)) << log("fms.log");
    window.key("Escape");
    EXPECT_TRUE(fms.waitExit(30)) << "Escape did not end the program";
    EXPECT_EQ(fms.exitStatus(), 0);

    // The green title, the position from the simulator in yellow on rows 4 and 5 (north and
    // west, degrees and minutes), and nothing between the position and the time on row 4.
    EXPECT_GT(window.pixels(picture, 0, 0, 24, isGreenText), 40) << log("fms.log");
    EXPECT_GT(window.pixels(picture, 0, 4, 10, isYellowText), 40) << log("fms.log");
    EXPECT_GT(window.pixels(picture, 0, 5, 10, isYellowText), 40);
    EXPECT_EQ(window.pixels(picture, 11, 4, 4, isYellowText), 0);

    // FMS.ini written back on the way out, with the bytes of every other system.
    const std::string ini = dir.read("run/FMS.ini");
    EXPECT_EQ(ini.find('\r'), std::string::npos);
    EXPECT_NE(ini.find("\nshow_frame:no\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Enable_Arduino:no\n\n-----Software Build Info------\n1.2 A1\n"), std::string::npos)
        << ini;
}

TEST_F(WineSmoke, WithoutASimulatorTheProgramEndsWithTheDemoErrorAndSavesItsSettings) {
    Child fms({wine, "fms.exe", "--no-dialogs"}, session->env, run, dir.path() / "fms.log");
    ASSERT_TRUE(fms.waitExit(90)) << log("fms.log");
    EXPECT_EQ(fms.exitStatus(), 0);
    EXPECT_NE(log("fms.log").find("DEMO ERROR: FSUIPC Not Running - Shutting Down Demo"), std::string::npos)
        << log("fms.log");
    EXPECT_NE(dir.read("run/FMS.ini").find("-----Software Build Info------\n1.2 A1\n"), std::string::npos);
}
