#include "shell/MainLoop.h"

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "cdu/CduRenderer.h"
#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "cdu/WindowControl.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/RenderBackend.h"
#include "platform/Termination.h"
#include "platform/Window.h"
#include "shell/Fms.h"
#include "shell/FramePacer.h"
#include "shell/Program.h"
#include "shell/Settings.h"

namespace {

bool parseCount(const std::string& text, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < 0 || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

using Steady = std::chrono::steady_clock;

double msSince(Steady::time_point start) {
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

// Milliseconds since the wall-clock instant in $FMS_LAUNCH_NS (set by a launcher just before
// it starts the program), or a negative value without one.
double msSinceLaunch() {
    const char* launch = std::getenv("FMS_LAUNCH_NS");
    if (launch == nullptr) return -1.0;
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return static_cast<double>(now.count() - std::atoll(launch)) / 1e6;
}

// Screenshots on request, after a number of frames or a time, or on F12.
class ScreenshotTrigger {
public:
    explicit ScreenshotTrigger(const ProgramOptions& options) : options_(options) {}
    void requestNow() { requested_ = true; }
    // Called after each frame, before it is presented. True when the program should end
    // because the screenshot asked for has been written.
    bool afterFrame(int frames, double msRunning) {
        bool due = requested_;
        if (!done_ && options_.screenshotAfterFrames >= 0 && frames >= options_.screenshotAfterFrames)
            due = true;
        if (!done_ && options_.screenshotAfterMs >= 0 && msRunning >= options_.screenshotAfterMs) due = true;
        if (!due) return false;
        requested_ = false;
        const bool automatic =
            !done_ && (options_.screenshotAfterFrames >= 0 || options_.screenshotAfterMs >= 0);
        if (saveScreenshotPng(options_.screenshotPath)) {
            std::printf("Screenshot written to %s\n", options_.screenshotPath.c_str());
        } else {
            std::printf("Could not write the screenshot %s\n", options_.screenshotPath.c_str());
        }
        std::fflush(stdout);
        if (automatic) done_ = true;
        return automatic && options_.quitAfterScreenshot;
    }

private:
    const ProgramOptions& options_;
    bool requested_ = false;
    bool done_ = false;
};

}  // namespace

bool applyWindowEvent(const WindowEvent& event) {
    using Type = WindowEvent::Type;
    switch (event.type) {
        case Type::Quit:
            return false;
        case Type::Resized:
            resizeViewport(event.x, event.y);
            break;
        case Type::Moved:
            platform().settings.windowX = event.x;
            platform().settings.windowY = event.y;
            break;
        case Type::Minimised:
            shellState().windowActive = false;
            break;
        case Type::Restored:
            shellState().windowActive = true;
            break;
        case Type::MouseDown:
            handleMouseDown(event.x, event.y);
            break;
        case Type::KeyDown:
            handleKeyDown(event.code);
            break;
        case Type::KeyUp:
            handleKeyUp(event.code);
            break;
        case Type::Char:
            handleChar(event.code);
            break;
        case Type::Screenshot:
            break;
    }
    return true;
}

namespace {

// When each start-up stage ended, in ms after start-up (for --timing).
struct StartupStages {
    double link = 0;
    double window = 0;
    double graphics = 0;
};

// Window, context and one-time graphics set-up. False when the program must end (the
// failure has been reported and everything released) with `exitStatus`.
bool createCduWindow(const ProgramBackends& b, Steady::time_point started, StartupStages& stages,
                     int& exitStatus) {
    if (settingsFileExists()) readSettings();
    Settings& s = platform().settings;
    std::string failure;
    if (!b.window.create(windowTitle(), s.windowX, s.windowY, s.windowWidth, s.windowHeight,
                         s.frameless || s.hardwareMode, failure)) {
        b.messageBoxes.show("ERROR", failure, MessageIcon::Exclamation);
        return false;
    }
    platform().window = &b.window;
    resizeViewport(clampWindowExtent(s.windowWidth), clampWindowExtent(s.windowHeight));
    stages.window = msSince(started);
    const GraphicsInit init = initGraphics();
    stages.graphics = msSince(started);
    if (init == GraphicsInit::Ok) return true;

    b.renderer.release();
    platform().window = nullptr;
    std::string ignored;
    b.window.destroy(ignored);
    // A missing bezel picture ends the program quietly (the reader has said why), and so does
    // a shared block that cannot be made, with status 1 (its console line says why).
    if (init == GraphicsInit::SharedMemoryFailed) exitStatus = 1;
    if (init == GraphicsInit::Failed) b.messageBoxes.show("ERROR", "Initialization Failed.", MessageIcon::Exclamation);
    return false;
}

void destroyCduWindow(const ProgramBackends& b) {
    endProgram();
    b.renderer.release();
    platform().window = nullptr;
    std::string failure;
    b.window.destroy(failure);
    if (!failure.empty()) b.messageBoxes.show("SHUTDOWN ERROR", failure, MessageIcon::Information);
}

void printFirstFrameTiming(Steady::time_point started, const StartupStages& stages) {
    const double first = msSince(started);
    std::printf(
        "First frame drawn %.1f ms after start-up (link and settings %.1f ms, window and "
        "context %.1f ms, fonts, shapes and bezel %.1f ms, first frame %.1f ms)",
        first, stages.link, stages.window - stages.link, stages.graphics - stages.window, first - stages.graphics);
    const double launch = msSinceLaunch();
    if (launch >= 0) std::printf(", %.1f ms after launch", launch);
    std::printf("\n");
    std::fflush(stdout);
}

}  // namespace

bool parseProgramOptions(const std::vector<std::string>& args, ProgramOptions& options, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--no-dialogs") {
            options.dialogs = false;
        } else if (a == "--timing") {
            options.timing = true;
        } else if (a == "--quit-after-screenshot") {
            options.quitAfterScreenshot = true;
        } else if (a == "--keypad-port" && hasValue) {
            options.keypadPort = args[++i];
        } else if (a == "--screenshot" && hasValue) {
            options.screenshotPath = args[++i];
        } else if (a == "--screenshot-frames" && hasValue) {
            if (!parseCount(args[++i], options.screenshotAfterFrames)) {
                error = "--screenshot-frames needs a count";
                return false;
            }
        } else if (a == "--screenshot-ms" && hasValue) {
            if (!parseCount(args[++i], options.screenshotAfterMs)) {
                error = "--screenshot-ms needs milliseconds";
                return false;
            }
        } else {
            error = "unknown option " + a;
            return false;
        }
    }
    return true;
}

int runProgram(const ProgramOptions& options, const ProgramBackends& b) {
    const Steady::time_point started = Steady::now();
    Fms context;
    ScopedFms current(context);
    Platform& p = context.platform;
    p.clock = &b.clock;
    p.keyStore = &b.keyStore;
    p.messageBoxes = &b.messageBoxes;
    p.simTransport = &b.simTransport;
    p.renderer = &b.renderer;
    p.serialPort = &b.serialPort;
    context.hardware.keypadPortOption = options.keypadPort;
    p.sharedBlock = &b.sharedBlock;
    // The data root is the working directory at start-up.
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    if (!ec) p.dataRoot = cwd.string();

    StartupStages stages;
    startProgram();
    stages.link = msSince(started);
    int exitStatus = 0;
    if (terminationRequested() || !createCduWindow(b, started, stages, exitStatus)) {
        if (terminationRequested()) endProgram();
        return exitStatus;
    }

    ScreenshotTrigger screenshots(options);
    FramePacer pacer(kFramesPerSecond);
    int frames = 0;
    Steady::time_point firstFrame{};
    while (!terminationRequested()) {
        WindowEvent event;
        if (b.window.pollEvent(event)) {
            if (event.type == WindowEvent::Type::Screenshot) screenshots.requestNow();
            if (!applyWindowEvent(event)) break;
            continue;
        }
        if (!shellState().windowActive) {
            // Minimised: no frames; wait for the next event instead of spinning.
            b.window.waitEvent(50);
            continue;
        }
        if (!runFrame()) break;
        ++frames;
        if (frames == 1) {
            firstFrame = Steady::now();
            if (options.timing) printFirstFrameTiming(started, stages);
        }
        if (screenshots.afterFrame(frames, msSince(started))) break;
        if (escapeRequested()) break;
        b.window.present();
        pacer.waitForNextFrame(b.clock);
    }
    if (options.timing && frames > 1) {
        const double seconds = msSince(firstFrame) / 1000.0;
        if (seconds > 0) std::printf("%d frames, %.1f frames per second\n", frames, (frames - 1) / seconds);
    }
    destroyCduWindow(b);
    return 0;
}
