#pragma once

#include <string>

#include "shell/Settings.h"

// State owned by the shell/ folder. One instance lives in the Fms context; code reaches it
// through fms().shell.
struct ShellState {
    // The data root: the program's working directory at start-up. Every file the system
    // reads or writes is named relative to it (see dataPath).
    std::string dataRoot = ".";
    // FMS.ini values; the window size and position and the brightness change at run time
    // and are written back at the end.
    Settings settings;
    // Left/top of the window's normal placement, refreshed on every resize and before
    // FMS.ini is written (0, 0 until a window exists).
    int placementX = 0;
    int placementY = 0;
    bool windowActive = true;  // false while minimised: no frames run
    bool simLinked = false;    // the simulator link is open
    int secondsCounter = 0;    // advanced once per new whole second of the process clock
    bool newSecond = false;    // true in the frame in which secondsCounter advanced
    int rotationIndex = 0;     // display rotation 0, 90 or -90 degrees
};
