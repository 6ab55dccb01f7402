#include "GuiSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "cdu/CduRenderer.h"
#include "cdu/KeyRectangles.h"
#include "cdu/Tga.h"

namespace fs = std::filesystem;

bool waitFor(const std::function<bool()>& condition, double seconds) {
    // By the clock: a condition that itself takes a while (a screenshot of a busy program)
    // must not stretch the wait.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

Child::Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
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

Child::~Child() {
    if (!running()) return;
    kill(pid_, SIGTERM);
    if (!waitExit(5)) killHard();
}

bool Child::running() {
    if (pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_) pid_ = -1;
    return pid_ > 0;
}

bool Child::waitExit(double seconds) {
    return waitFor([this] { return !running(); }, seconds);
}

void Child::killHard() {
    if (!running()) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, &status_, 0);
    pid_ = -1;
}

void Child::signal(int number) {
    if (running()) kill(pid_, number);
}

int Child::exitStatus() const {
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

std::string capture(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    pclose(pipe);
    return out;
}

std::unique_ptr<Child> startVirtualDisplay(const fs::path& log, std::string& name) {
    if (access("/usr/bin/Xvfb", X_OK) != 0) return nullptr;
    // The server picks a free display itself and writes its number into the pipe once it
    // accepts connections: no race with other servers starting on the machine.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return nullptr;
    fcntl(fds[1], F_SETFD, 0);  // the server's end crosses exec
    auto server = std::make_unique<Child>(
        std::vector<std::string>{"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                 "1024x768x24", "-nolisten", "tcp"},
        std::map<std::string, std::string>{}, fs::current_path(), log);
    close(fds[1]);
    std::string number;
    pollfd ready{fds[0], POLLIN, 0};
    while (poll(&ready, 1, 10000) == 1) {
        char c = 0;
        if (read(fds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(fds[0]);
    if (number.empty() || !server->running()) return nullptr;
    name = ":" + number;
    return server;
}

int pixelsInText(const RgbPicture& pic, int viewW, int viewH, int column, int row, int length,
                 const std::function<bool(const uint8_t*)>& match) {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    pageToViewport(textColumnX[column], textRowY[row] + 0.032f, viewW, viewH, x0, y0);
    pageToViewport(textColumnX[column] + 0.0267f * length, textRowY[row] - 0.004f, viewW, viewH, x1, y1);
    y0 = pic.height - y0;
    y1 = pic.height - y1;
    int count = 0;
    for (int y = std::max(0, y0); y <= std::min(pic.height - 1, y1); ++y) {
        for (int x = std::max(0, x0); x <= std::min(pic.width - 1, x1); ++x)
            count += match(pic.at(x, y)) ? 1 : 0;
    }
    return count;
}

bool isGreenText(const uint8_t* p) {
    return p[1] > 110 && p[0] < p[1] * 0.7 && p[2] < p[1] * 0.7;
}

bool isWhiteText(const uint8_t* p) {
    return p[0] > 150 && p[1] > 150 && p[2] > 150;
}

std::string CduWindow::xdotool() const {
    return "DISPLAY=" + display_ + " timeout 60 xdotool ";
}

bool CduWindow::find(const std::string& display, pid_t pid, double seconds) {
    display_ = display;
    const std::string search = xdotool() + "search --onlyvisible --pid " + std::to_string(pid);
    std::string found;
    waitFor(
        [&] {
            found = capture(search);
            return !found.empty();
        },
        seconds);
    id_ = found.substr(0, found.find('\n'));
    if (id_.empty()) return false;
    // The viewport rule: as high as the client area and 0.9 times that wide.
    const std::string geometry = capture(xdotool() + "getwindowgeometry --shell " + id_);
    const size_t h = geometry.find("HEIGHT=");
    if (h == std::string::npos) return false;
    clientHeight_ = std::atoi(geometry.c_str() + h + 7);
    viewWidth_ = static_cast<int>(0.9 * clientHeight_);
    return clientHeight_ > 0;
}

void CduWindow::click(const char* name) {
    const CduKey* cduKey = findCduKey(name);
    if (cduKey == nullptr) return;
    const KeyRect r = keyRect(computeKeyRectangles(), *cduKey);
    capture(xdotool() + "mousemove --window " + id_ + " " +
            std::to_string(static_cast<int>((r.left + r.right) / 2 / 100 * viewWidth_)) + " " +
            std::to_string(static_cast<int>((r.top + r.bottom) / 2 / 100 * clientHeight_)) + " click 1");
}

void CduWindow::key(const char* keyName) {
    capture(xdotool() + "windowfocus --sync " + id_);
    capture(xdotool() + "key --window " + id_ + " " + keyName);
}

void CduWindow::type(const char* text) {
    capture(xdotool() + "windowfocus --sync " + id_);
    capture(xdotool() + "type --window " + id_ + " --delay 50 " + text);
}

bool CduWindow::screenshot(const fs::path& path, RgbPicture& picture) {
    std::error_code ignored;
    fs::remove(path, ignored);
    key("F12");
    // The program writes the file in place: a picture that does not decode is not complete yet.
    return waitFor(
        [&] {
            std::FILE* file = std::fopen(path.c_str(), "rb");
            if (file == nullptr) return false;
            std::string bytes;
            char buffer[65536];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
            std::fclose(file);
            return decodePng(bytes, picture);
        },
        15);
}

int CduWindow::pixels(const RgbPicture& picture, int column, int row, int length,
                      const std::function<bool(const uint8_t*)>& match) const {
    return pixelsInText(picture, viewWidth_, clientHeight_, column, row, length, match);
}

GuiSession::GuiSession(const fs::path& root) : root_(root) {
    server_ = startVirtualDisplay(root_ / "xvfb.log", display_);
    if (!server_) error = "Xvfb cannot start on this machine";
    fs::create_directories(root_ / "sim");
    chmod((root_ / "sim").c_str(), 0700);
    // The programs draw on that display, whatever driver other tests chose for themselves.
    env = {{"DISPLAY", display_},
           {"SDL_VIDEODRIVER", "x11"},
           {"FMS_SIM_DIR", (root_ / "sim").string()},
           {"XDG_CONFIG_HOME", (root_ / "config").string()},
           // Units pair up only within this session, not with units of other runs on the machine.
           {"FMS_UNIT_GROUP", "session-" + std::to_string(getpid()) + "-" + root_.filename().string()},
           {"ASAN_OPTIONS", "detect_leaks=0"}};
}

bool GuiSession::startSimulator(const std::vector<std::string>& args) {
    std::vector<std::string> argv{fs::path(FMS_RUN_DIR) / "fms-sim", "--no-console"};
    argv.insert(argv.end(), args.begin(), args.end());
    sim_ = std::make_unique<Child>(argv, env, root_, root_ / "sim.log");
    if (waitFor([&] { return !fs::is_empty(root_ / "sim") || !sim_->running(); }, 10) && sim_->running())
        return true;
    std::ifstream log(root_ / "sim.log");
    std::stringstream text;
    text << log.rdbuf();
    error = text.str();
    return false;
}

fs::path GuiSession::unitDirectory(const std::string& name, const std::string& settings, bool database) {
    const fs::path dir = root_ / name;
    fs::create_directories(dir / "textures");
    writeTga((dir / "textures/CDU_Tex.tga").string(),
             TgaImage{3, 450, 500, std::vector<uint8_t>(450 * 500 * 3, 60)});
    if (!settings.empty()) std::ofstream(dir / "FMS.ini") << settings;
    if (database)
        fs::copy(fs::path(FMS_SOURCE_DIR) / "data", dir / "data",
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    return dir;
}
