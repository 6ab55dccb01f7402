#pragma once

#include <string>

// State owned by the hardware/ folder. One instance lives in the Fms context; code reaches it
// through fms().hardware. Members are added here by the code that owns them.
struct HardwareState {
    // The serial device named on the command line; it wins over FMS.ini's Arduino_Port.
    std::string keypadPortOption;
    // A board of this unit answered the search; its port stays open for the run.
    bool keypadFound = false;
    // The found board's port went away (unplugged); keys come from mouse and keyboard only.
    bool keypadLost = false;
};
