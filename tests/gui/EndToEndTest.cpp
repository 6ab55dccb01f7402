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
#include <string>
#include <thread>
#include <vector>

#include "ScreenPicture.h"
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

}  // namespace

TEST(EndToEnd, TheUnitSwitchedOnWithTheMouseShowsTheStartupPage) {
    const fs::path runDir = FMS_RUN_DIR;
    ASSERT_TRUE(fs::exists(runDir / "fms")) << "build the fms program first";
    ASSERT_TRUE(fs::exists(runDir / "fms-sim")) << "build fms-sim first";

    TempDir dir;
    std::string display;
    const std::unique_ptr<Child> server = startVirtualDisplay(dir.path() / "xvfb.log", display);
    if (!server) GTEST_SKIP() << "Xvfb cannot start on this machine: the end-to-end test did not run";

    // A run directory without a database, so that the start-up page stays up with LOADING,
    // and a plain grey bezel picture, so that only the CDU's own text is green.
    fs::create_directories(dir.path() / "run/textures");
    TgaImage bezel{3, 450, 500, std::vector<uint8_t>(450 * 500 * 3, 60)};
    ASSERT_TRUE(writeTga((dir.path() / "run/textures/CDU_Tex.tga").string(), bezel));
    fs::create_directories(dir.path() / "sim");
    chmod((dir.path() / "sim").c_str(), 0700);
    // The window system's libraries keep a few allocations until exit; ours are checked by
    // the unit tests.
    const std::map<std::string, std::string> env = {{"DISPLAY", display},
                                                    {"FMS_SIM_DIR", (dir.path() / "sim").string()},
                                                    {"XDG_CONFIG_HOME", (dir.path() / "config").string()},
                                                    {"ASAN_OPTIONS", "detect_leaks=0"}};
    Child sim({(runDir / "fms-sim").string(), "--no-console"}, env, dir.path() / "run",
              dir.path() / "sim.log");
    ASSERT_TRUE(waitFor([&] { return !fs::is_empty(dir.path() / "sim") || !sim.running(); }, 10) &&
                sim.running())
        << dir.read("sim.log");

    const fs::path shot = dir.path() / "shot.png";
    Child fmsProgram({(runDir / "fms").string(), "--no-dialogs", "--screenshot", shot.string()}, env,
                     dir.path() / "run", dir.path() / "fms.log");
    const std::string xdo = "DISPLAY=" + display + " timeout 60 xdotool ";
    std::string window = capture(xdo + "search --sync --onlyvisible --name 'FMS DEMO'");
    window = window.substr(0, window.find('\n'));
    ASSERT_FALSE(window.empty()) << "no window appeared\n" << dir.read("fms.log");

    // The viewport rule: the client height, and 0.9 of it as the width.
    const std::string geometry = capture(xdo + "getwindowgeometry --shell " + window);
    const size_t h = geometry.find("HEIGHT=");
    ASSERT_NE(h, std::string::npos) << geometry;
    const int clientHeight = std::atoi(geometry.c_str() + h + 7);
    const int viewW = static_cast<int>(0.9 * clientHeight);
    const KeyRect onOff = keyRect(computeKeyRectangles(), *findCduKey("ONOFF"));
    capture(xdo + "mousemove --window " + window + " " +
            std::to_string(static_cast<int>((onOff.left + onOff.right) / 2 / 100 * viewW)) + " " +
            std::to_string(static_cast<int>((onOff.top + onOff.bottom) / 2 / 100 * clientHeight)) +
            " click 1");

    // Let the page run, then F12 for the screenshot and Escape to end the program.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    capture(xdo + "windowfocus --sync " + window);
    capture(xdo + "key --window " + window + " F12");
    ASSERT_TRUE(waitFor([&] { return fs::exists(shot); }, 15)) << dir.read("fms.log");
    capture(xdo + "key --window " + window + " Escape");
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

// With no simulator the program shows the "DEMO ERROR" box and waits for a click. A
// termination request (as a service manager or Ctrl+C sends it) still ends it at once, the
// ordinary way: FMS.ini written back.
TEST(EndToEnd, TerminationRequestsEndTheProgramWhileAMessageBoxIsUp) {
    const fs::path runDir = FMS_RUN_DIR;
    ASSERT_TRUE(fs::exists(runDir / "fms")) << "build the fms program first";
    TempDir dir;
    std::string display;
    const std::unique_ptr<Child> server = startVirtualDisplay(dir.path() / "xvfb.log", display);
    if (!server) GTEST_SKIP() << "Xvfb cannot start on this machine: the end-to-end test did not run";
    fs::create_directories(dir.path() / "run/textures");
    ASSERT_TRUE(writeTga((dir.path() / "run/textures/CDU_Tex.tga").string(),
                         TgaImage{3, 45, 50, std::vector<uint8_t>(45 * 50 * 3, 60)}));
    fs::create_directories(dir.path() / "sim");  // no simulator listens here
    chmod((dir.path() / "sim").c_str(), 0700);
    const std::map<std::string, std::string> env = {{"DISPLAY", display},
                                                    {"FMS_SIM_DIR", (dir.path() / "sim").string()},
                                                    {"XDG_CONFIG_HOME", (dir.path() / "config").string()},
                                                    {"ASAN_OPTIONS", "detect_leaks=0"}};
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
