#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ScreenPicture.h"

// Running the real programs for the end-to-end tests: child processes, a virtual X server,
// xdotool, and reading the CDU's text cells out of a screenshot.

// Polls `condition` every 50 ms until `seconds` have passed; its last answer.
bool waitFor(const std::function<bool()>& condition, double seconds);

// A child process with its own environment additions, working directory and log file. Going
// out of scope ends it (SIGTERM, then SIGKILL).
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
          const std::filesystem::path& cwd, const std::filesystem::path& log);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool running();
    // Waits for the process to end by itself; false on time-out.
    bool waitExit(double seconds);
    // Ends it at once, as a crash would, and reaps it.
    void killHard();
    // Sends it `number` while it runs.
    void signal(int number);
    int exitStatus() const;
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int status_ = 0;
};

// Runs a shell command and returns its standard output ("" on failure).
std::string capture(const std::string& command);

// A virtual X server on a free display number, its name in `name`; null when none can start.
std::unique_ptr<Child> startVirtualDisplay(const std::filesystem::path& log, std::string& name);

// The CDU window of a running program on a virtual display, driven with xdotool.
class CduWindow {
public:
    // Waits up to `seconds` for a visible window of process `pid` on `display`.
    bool find(const std::string& display, pid_t pid, double seconds);
    // A mouse click on the centre of the CDU key called `name` (as the harness names keys).
    void click(const char* name);
    // A key press on the PC keyboard, by its X key name ("F12", "Escape").
    void key(const char* keyName);
    // Text typed on the PC keyboard.
    void type(const char* text);
    // F12, then the screenshot the program writes to `path`; false when none arrives.
    bool screenshot(const std::filesystem::path& path, RgbPicture& picture);
    // Pixels of text cells that `match` in a picture of this window.
    int pixels(const RgbPicture& picture, int column, int row, int length,
               const std::function<bool(const uint8_t*)>& match) const;

    const std::string& id() const { return id_; }
    int viewWidth() const { return viewWidth_; }
    int clientHeight() const { return clientHeight_; }

private:
    std::string xdotool() const;
    std::string display_;
    std::string id_;
    int viewWidth_ = 0;
    int clientHeight_ = 0;
};

// What the end-to-end tests run their programs in: a virtual display and a stand-in simulator
// of their own under `root`, and the environment for the programs (the simulator's folder, a
// key store under `root`, a unit group of their own, leak reports of the window system's
// libraries off).
class GuiSession {
public:
    explicit GuiSession(const std::filesystem::path& root);
    // False (with the reason in `error`) when no virtual display could start.
    bool displayReady() const { return server_ != nullptr; }
    // Starts fms-sim with `args` from the run directory; false with its log in `error`.
    bool startSimulator(const std::vector<std::string>& args);
    // A working directory for one program: a plain grey bezel picture (so that only the CDU's
    // own text is coloured), the given FMS.ini text and, when `database`, the sample database.
    std::filesystem::path unitDirectory(const std::string& name, const std::string& settings, bool database);

    const std::string& display() const { return display_; }
    std::map<std::string, std::string> env;
    std::string error;

private:
    std::filesystem::path root_;
    std::string display_;
    std::unique_ptr<Child> server_;
    std::unique_ptr<Child> sim_;
};

// Pixels of the cells of `length` characters from (column, row) that `match`, in a picture
// whose lower left holds a viewport of viewW x viewH.
int pixelsInText(const RgbPicture& pic, int viewW, int viewH, int column, int row, int length,
                 const std::function<bool(const uint8_t*)>& match);
bool isGreenText(const uint8_t* p);
bool isWhiteText(const uint8_t* p);
