#pragma once

#include <string>

#include "platform/CurrentState.h"

// State owned by the hardware/ folder.
struct HardwareState {
    // The serial device named on the command line; it wins over FMS.ini's Arduino_Port.
    std::string keypadPortOption;
    // A board of this unit answered the search; its port stays open for the run.
    bool keypadFound = false;
    // The found board's port went away (unplugged); keys come from mouse and keyboard only.
    bool keypadLost = false;
    // The backlight state last sent, following the unit's power.
    bool backlightOn = false;
};

inline HardwareState& hardwareState() { return currentState<HardwareState>(); }
