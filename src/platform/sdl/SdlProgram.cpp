#include "platform/sdl/SdlProgram.h"

#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "Fms.h"
#include "cdu/CduRenderer.h"
#include "cdu/KeyInput.h"
#include "platform/Clock.h"
#include "platform/KeyStore.h"
#include "platform/gl/GlRenderer.h"
#include "platform/posix/PosixSharedBlock.h"
#include "platform/posix/SimPosixTransport.h"
#include "platform/sdl/SdlKeys.h"
#include "platform/sdl/SdlMessageBoxes.h"
#include "platform/sdl/SdlWindow.h"
#include "shell/Program.h"
#include "shell/Settings.h"
#include "shell/WindowControl.h"

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
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const long long nowNs = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    return static_cast<double>(nowNs - std::atoll(launch)) / 1e6;
}

// Screenshots on request, after a number of frames or a time, or on F12.
class ScreenshotTrigger {
public:
    explicit ScreenshotTrigger(const ProgramOptions& options) : options_(options) {}
    void requestNow() { requested_ = true; }
    // Called after each frame, before the buffers are swapped. True when the program should
    // end because the screenshot asked for has been written.
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

// One event from the queue. False when it ends the main loop.
bool dispatchEvent(const SDL_Event& event, SdlWindow& window, ScreenshotTrigger& screenshots) {
    switch (event.type) {
        case SDL_QUIT:
            return false;
        case SDL_WINDOWEVENT:
            if (event.window.windowID == window.id() && window.handleWindowEvent(event.window)) return false;
            return true;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT) handleMouseDown(event.button.x, event.button.y);
            return true;
        case SDL_KEYDOWN:
            if (event.key.keysym.sym == SDLK_F12) {
                screenshots.requestNow();
                return true;
            }
            deliverKeyEvent(event);
            return true;
        default:
            deliverKeyEvent(event);
            return true;
    }
}

// When each start-up stage ended, in ms after start-up (for --timing).
struct StartupStages {
    double link = 0;
    double window = 0;
    double graphics = 0;
};

// Window, context and one-time graphics set-up. False when the program must end (the
// failure has been reported and everything released) with `exitStatus`.
bool createCduWindow(SdlWindow& window, GlRenderer& renderer, SdlMessageBoxes& boxes,
                     Steady::time_point started, StartupStages& stages, int& exitStatus) {
    Fms& f = fms();
    if (settingsFileExists()) readSettings();
    Settings& s = f.shell.settings;
    std::string failure;
    if (!window.create(windowTitle(), s.windowX, s.windowY, s.windowWidth, s.windowHeight,
                       s.frameless || s.hardwareMode, failure)) {
        boxes.show("ERROR", failure, MessageIcon::Exclamation);
        return false;
    }
    f.platform.window = &window;
    boxes.setParent(window.handle());
    resizeViewport(clampWindowExtent(s.windowWidth), clampWindowExtent(s.windowHeight));
    stages.window = msSince(started);
    const GraphicsInit init = initGraphics();
    stages.graphics = msSince(started);
    if (init == GraphicsInit::Ok) return true;

    renderer.release();
    f.platform.window = nullptr;
    std::string ignored;
    window.destroy(ignored);
    // A missing bezel picture ends the program quietly (the reader has said why), and so does
    // a shared block that cannot be made, with status 1 (its console line says why).
    if (init == GraphicsInit::SharedMemoryFailed) exitStatus = 1;
    if (init == GraphicsInit::Failed) boxes.show("ERROR", "Initialization Failed.", MessageIcon::Exclamation);
    return false;
}

void destroyCduWindow(SdlWindow& window, GlRenderer& renderer, SdlMessageBoxes& boxes) {
    endProgram();
    renderer.release();
    fms().platform.window = nullptr;
    boxes.setParent(nullptr);
    std::string failure;
    window.destroy(failure);
    if (!failure.empty()) boxes.show("SHUTDOWN ERROR", failure, MessageIcon::Information);
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

int runProgram(const ProgramOptions& options) {
    const Steady::time_point started = Steady::now();
    Fms context;
    ScopedFms current(context);
    SteadyClock clock;
    FileKeyStore keyStore(FileKeyStore::defaultPath());
    SdlMessageBoxes boxes(options.dialogs);
    PosixSimTransport transport;
    GlRenderer renderer;
    PosixSharedBlock sharedBlock;
    context.platform.sharedBlock = &sharedBlock;
    context.platform.clock = &clock;
    context.platform.keyStore = &keyStore;
    context.platform.messageBoxes = &boxes;
    context.platform.simTransport = &transport;
    context.platform.renderer = &renderer;
    // The data root is the working directory at start-up.
    char cwd[1024];
    if (getcwd(cwd, sizeof cwd) != nullptr) context.shell.dataRoot = cwd;

    StartupStages stages;
    startProgram();
    stages.link = msSince(started);
    SdlWindow window;
    int exitStatus = 0;
    if (!createCduWindow(window, renderer, boxes, started, stages, exitStatus)) return exitStatus;

    ScreenshotTrigger screenshots(options);
    int frames = 0;
    Steady::time_point firstFrame{};
    while (true) {
        SDL_Event event;
        if (SDL_PollEvent(&event)) {
            if (!dispatchEvent(event, window, screenshots)) break;
            continue;
        }
        if (context.shell.windowActive) {
            if (!runFrame()) break;
            ++frames;
            if (frames == 1) {
                firstFrame = Steady::now();
                if (options.timing) {
                    const double first = msSince(started);
                    std::printf(
                        "First frame drawn %.1f ms after start-up (link and settings %.1f ms, window and "
                        "context %.1f ms, fonts, shapes and bezel %.1f ms, first frame %.1f ms)",
                        first, stages.link, stages.window - stages.link, stages.graphics - stages.window,
                        first - stages.graphics);
                    const double launch = msSinceLaunch();
                    if (launch >= 0) std::printf(", %.1f ms after launch", launch);
                    std::printf("\n");
                    std::fflush(stdout);
                }
            }
            if (screenshots.afterFrame(frames, msSince(started))) break;
        } else {
            // Minimised: no frames; wait for the next event instead of spinning.
            SDL_WaitEventTimeout(nullptr, 50);
        }
        if (escapeRequested()) break;
        window.swap();
    }
    if (options.timing && frames > 1) {
        const double seconds = msSince(firstFrame) / 1000.0;
        if (seconds > 0) std::printf("%d frames, %.1f frames per second\n", frames, (frames - 1) / seconds);
    }
    destroyCduWindow(window, renderer, boxes);
    return 0;
}
