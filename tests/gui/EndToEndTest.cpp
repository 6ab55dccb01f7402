// The real program under a virtual X server: fms-sim and fms are started as a user would,
// the unit is switched on with a mouse click on ON/OFF/DIM, and a screenshot taken with F12
// must show the green start-up page where its lines belong.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ScreenPicture.h"
#include "SimChild.h"
#include "TempDir.h"
#include "cdu/CduRenderer.h"
#include "cdu/KeyRectangles.h"
#include "cdu/Tga.h"

namespace fs = std::filesystem;

namespace {

bool waitFor(const std::function<bool()>& condition, double seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

// A child process with its own environment additions, working directory and log file.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
          const fs::path& cwd, const fs::path& log) {
        pid_ = fork();
        if (pid_ != 0) return;
        for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
        if (chdir(cwd.c_str()) != 0) _exit(126);
        if (FILE* out = std::fopen(log.c_str(), "w")) {
            dup2(fileno(out), 1);
            dup2(fileno(out), 2);
        }
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    ~Child() {
        if (!running()) return;
        kill(pid_, SIGTERM);
        if (!waitExit(5)) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status_, 0);
        }
    }
    bool running() {
        if (pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_) pid_ = -1;
        return pid_ > 0;
    }
    // Waits for the process to end by itself; false on time-out.
    bool waitExit(double seconds) {
        return waitFor([this] { return !running(); }, seconds);
    }
    int exitStatus() const { return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }
    void signal(int number) {
        if (running()) kill(pid_, number);
    }

private:
    pid_t pid_ = -1;
    int status_ = 0;
};

// Runs a shell command and returns its standard output ("" on failure).
std::string capture(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    pclose(pipe);
    return out;
}

// Green pixels in the cells of `length` characters from (column, row), for a viewport of
// viewW x viewH at the lower left of the picture.
int greenInText(const RgbPicture& pic, int viewW, int viewH, int column, int row, int length) {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    pageToViewport(textColumnX[column], textRowY[row] + 0.032f, viewW, viewH, x0, y0);
    pageToViewport(textColumnX[column] + 0.0267f * length, textRowY[row] - 0.004f, viewW, viewH, x1, y1);
    y0 = pic.height - y0;
    y1 = pic.height - y1;
    int green = 0;
    for (int y = std::max(0, y0); y <= std::min(pic.height - 1, y1); ++y) {
        for (int x = std::max(0, x0); x <= std::min(pic.width - 1, x1); ++x) {
            const uint8_t* p = pic.at(x, y);
            green += (p[1] > 110 && p[0] < p[1] * 0.7 && p[2] < p[1] * 0.7) ? 1 : 0;
        }
    }
    return green;
}

// A virtual X server on a free display number; null when none can start.
std::unique_ptr<Child> startVirtualDisplay(const fs::path& log, std::string& name) {
    if (access("/usr/bin/Xvfb", X_OK) != 0) return nullptr;
    int n = 90 + getpid() % 100;
    while (fs::exists("/tmp/.X11-unix/X" + std::to_string(n)) ||
           fs::exists("/tmp/.X" + std::to_string(n) + "-lock"))
        ++n;
    name = ":" + std::to_string(n);
    auto server = std::make_unique<Child>(
        std::vector<std::string>{"/usr/bin/Xvfb", name, "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
        std::map<std::string, std::string>{}, fs::current_path(), log);
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
    if (waitFor([&] { return fs::exists(socket) || !server->running(); }, 10) && server->running())
        return server;
    return nullptr;
}

// The program's window on the virtual display, found by its title; CDU keys are clicked with
// the mouse at their rectangles under the viewport rule (the client height, and 0.9 of it as
// the width).
struct CduWindow {
    std::string xdo;
    std::string id;
    int clientHeight = 0;
    int viewW = 0;

    // False with `error` when no window appeared.
    bool find(const std::string& display, std::string& error) {
        xdo = "DISPLAY=" + display + " timeout 60 xdotool ";
        id = capture(xdo + "search --sync --onlyvisible --name 'FMS DEMO'");
        id = id.substr(0, id.find('\n'));
        if (id.empty()) {
            error = "no window appeared";
            return false;
        }
        const std::string geometry = capture(xdo + "getwindowgeometry --shell " + id);
        const size_t h = geometry.find("HEIGHT=");
        if (h == std::string::npos) {
            error = geometry;
            return false;
        }
        clientHeight = std::atoi(geometry.c_str() + h + 7);
        viewW = static_cast<int>(0.9 * clientHeight);
        return true;
    }
    void click(const char* key) const {
        const KeyRect r = keyRect(computeKeyRectangles(), *findCduKey(key));
        capture(xdo + "mousemove --window " + id + " " +
                std::to_string(static_cast<int>((r.left + r.right) / 2 / 100 * viewW)) + " " +
                std::to_string(static_cast<int>((r.top + r.bottom) / 2 / 100 * clientHeight)) + " click 1");
    }
    void key(const char* name) const {
        capture(xdo + "windowfocus --sync " + id);
        capture(xdo + "key --window " + id + " " + name);
    }
    void type(const char* text) const {
        capture(xdo + "windowfocus --sync " + id);
        capture(xdo + "type --window " + id + " --delay 50 " + text);
    }
};

// The programs, a virtual display, and a run directory with a plain grey bezel picture (so that
// only the CDU's own text is green) and a private simulator folder.
struct EndToEnd : ::testing::Test {
    const fs::path runDir = FMS_RUN_DIR;
    TempDir dir;
    std::string display;
    std::unique_ptr<Child> server;

    void SetUp() override {
        ASSERT_TRUE(fs::exists(runDir / "fms")) << "build the fms program first";
        ASSERT_TRUE(fs::exists(runDir / "fms-sim")) << "build fms-sim first";
        server = startVirtualDisplay(dir.path() / "xvfb.log", display);
        if (!server) GTEST_SKIP() << "Xvfb cannot start on this machine: the end-to-end test did not run";
        fs::create_directories(dir.path() / "run/textures");
        TgaImage bezel{3, 450, 500, std::vector<uint8_t>(450 * 500 * 3, 60)};
        ASSERT_TRUE(writeTga((dir.path() / "run/textures/CDU_Tex.tga").string(), bezel));
        fs::create_directories(dir.path() / "sim");
        chmod((dir.path() / "sim").c_str(), 0700);
    }

    // The environment of both programs: the display, the private simulator folder and key
    // store. The window system's libraries keep a few allocations until exit; ours are
    // checked by the unit tests.
    std::map<std::string, std::string> environment() const {
        return {{"DISPLAY", display},
                {"FMS_SIM_DIR", (dir.path() / "sim").string()},
                {"XDG_CONFIG_HOME", (dir.path() / "config").string()},
                {"ASAN_OPTIONS", "detect_leaks=0"}};
    }
};

}  // namespace

// The run directory has no database, so that the start-up page stays up with LOADING.
TEST_F(EndToEnd, TheUnitSwitchedOnWithTheMouseShowsTheStartupPage) {
    const std::map<std::string, std::string> env = environment();
    Child sim({(runDir / "fms-sim").string(), "--no-console"}, env, dir.path() / "run",
              dir.path() / "sim.log");
    ASSERT_TRUE(waitFor([&] { return !fs::is_empty(dir.path() / "sim") || !sim.running(); }, 10) &&
                sim.running())
        << dir.read("sim.log");

    const fs::path shot = dir.path() / "shot.png";
    Child fmsProgram({(runDir / "fms").string(), "--no-dialogs", "--screenshot", shot.string()}, env,
                     dir.path() / "run", dir.path() / "fms.log");
    CduWindow window;
    std::string error;
    ASSERT_TRUE(window.find(display, error)) << error << "\n" << dir.read("fms.log");
    const int viewW = window.viewW;
    const int clientHeight = window.clientHeight;
    window.click("ONOFF");

    // Let the page run, then F12 for the screenshot and Escape to end the program.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    window.key("F12");
    ASSERT_TRUE(waitFor([&] { return fs::exists(shot); }, 15)) << dir.read("fms.log");
    window.key("Escape");
    EXPECT_TRUE(fmsProgram.waitExit(15)) << "Escape did not end the program";
    EXPECT_EQ(fmsProgram.exitStatus(), 0);
    EXPECT_NE(dir.read("run/FMS.ini").find("Enable_Arduino:no"), std::string::npos);

    RgbPicture picture;
    ASSERT_TRUE(decodePng(dir.read("shot.png"), picture));
    // Green text where "ORX - 1" (row 0, column 8), "LEARJET 45" and "CPU" (row 4, column 2)
    // are drawn, and none on the empty line between the title and "LEARJET 45".
    EXPECT_GT(greenInText(picture, viewW, clientHeight, 8, 0, 7), 40);
    EXPECT_GT(greenInText(picture, viewW, clientHeight, 0, 2, 10), 40);
    EXPECT_GT(greenInText(picture, viewW, clientHeight, 2, 4, 3), 20);
    EXPECT_EQ(greenInText(picture, viewW, clientHeight, 0, 1, 23), 0);
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

    const std::map<std::string, std::string> env = environment();
    Child fmsProgram({(runDir / "fms").string(), "--no-dialogs"}, env, dir.path() / "run",
                     dir.path() / "fms.log");
    CduWindow window;
    std::string error;
    ASSERT_TRUE(window.find(display, error)) << error << "\n" << dir.read("fms.log");
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
    const std::map<std::string, std::string> env = environment();
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        dir.write("run/FMS.ini", "Display_Brightness:0.3\n");
        Child fmsProgram({(runDir / "fms").string()}, env, dir.path() / "run", dir.path() / "fms.log");
        // (The box's title is a UTF-8 name, which xdotool does not search.)
        const bool boxShown = waitFor(
            [&] {
                return capture("DISPLAY=" + display + " xwininfo -root -tree").find("\"DEMO ERROR\"") !=
                       std::string::npos;
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
    const std::map<std::string, std::string> env = environment();
    Child sim({(runDir / "fms-sim").string(), "--no-console"}, env, dir.path() / "run",
              dir.path() / "sim.log");
    ASSERT_TRUE(waitFor([&] { return !fs::is_empty(dir.path() / "sim") || !sim.running(); }, 10) &&
                sim.running())
        << dir.read("sim.log");
    Child fmsProgram({(runDir / "fms").string(), "--no-dialogs"}, env, dir.path() / "run",
                     dir.path() / "fms.log");
    CduWindow window;
    std::string error;
    ASSERT_TRUE(window.find(display, error)) << error << "\n" << dir.read("fms.log");
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
