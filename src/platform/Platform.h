#pragma once

#include <string>

#include "platform/CurrentState.h"
#include "platform/Settings.h"

class Clock;
class SimTransport;
class RenderBackend;
class MessageBoxes;
class KeyStore;
class SerialPort;
class Window;
class SharedBlock;

// Operating-system services used by the system code, and what the process was started
// with. The running program points the services at the real backends; tests point them at
// in-process ones. The context does not own them.
struct Platform {
    Clock* clock = nullptr;
    SimTransport* simTransport = nullptr;
    RenderBackend* renderer = nullptr;
    MessageBoxes* messageBoxes = nullptr;
    KeyStore* keyStore = nullptr;
    Window* window = nullptr;            // none in headless runs
    SerialPort* serialPort = nullptr;    // the hardware keypad's port; none: no keypad
    SharedBlock* sharedBlock = nullptr;  // none: the unit runs without a partner
    // The data root: the program's working directory at start-up. Every file the system
    // reads or writes is named relative to it (see dataPath).
    std::string dataRoot = ".";
    // FMS.ini values; the window size and position and the brightness change at run time
    // and are written back at the end.
    Settings settings;
};

inline Platform& platform() { return currentState<Platform>(); }
