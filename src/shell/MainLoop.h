#pragma once

#include <string>
#include <vector>

class Clock;
class KeyStore;
class MessageBoxes;
class RenderBackend;
class SerialPort;
class SharedBlock;
class SimTransport;
class Window;
struct WindowEvent;

// Command-line options of the windowed program.
struct ProgramOptions {
    // Message boxes as dialogs; off (--no-dialogs) they become console lines, so that an
    // unattended run never waits for a click.
    bool dialogs = true;
    // Where screenshots go (--screenshot FILE); F12 writes one at any time.
    std::string screenshotPath = "fms-screenshot.png";
    int screenshotAfterFrames = -1;    // --screenshot-frames N: after the N-th frame
    int screenshotAfterMs = -1;        // --screenshot-ms N: in the first frame N ms after start-up
    bool quitAfterScreenshot = false;  // --quit-after-screenshot: end normally once written
    // --timing: prints the time to the first drawn frame and, at the end, frames per second.
    bool timing = false;
    // --keypad-port DEVICE: the hardware keypad's serial device, instead of FMS.ini's
    // Arduino_Port or the search of the usual devices.
    std::string keypadPort;
};

// Reads the options; false with a message for unknown options or bad numbers.
bool parseProgramOptions(const std::vector<std::string>& args, ProgramOptions& options, std::string& error);

// The services the program runs on, created by the entry point.
struct ProgramBackends {
    Clock& clock;
    KeyStore& keyStore;
    MessageBoxes& messageBoxes;
    SimTransport& simTransport;
    RenderBackend& renderer;
    Window& window;
    SerialPort& serialPort;
    SharedBlock& sharedBlock;  // the block two units share
};

// Applies one window event to the program: key presses, clicks, the window's size, place
// and visibility. False when it ends the main loop. (Screenshot requests are the loop's.)
bool applyWindowEvent(const WindowEvent& event);

// Frames are paced to this rate where the display does not pace them.
inline constexpr int kFramesPerSecond = 60;

// The whole program: simulator link, settings, window, main loop, teardown. Returns the
// process exit status.
int runProgram(const ProgramOptions& options, const ProgramBackends& backends);
