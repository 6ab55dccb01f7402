#pragma once

#include <string>

// State owned by the shell/ folder. One instance lives in the Fms context; code reaches it
// through fms().shell. Members are added here by the code that owns them.
struct ShellState {
    // The data root: the program's working directory at start-up. Every file the system
    // reads or writes is named relative to it (see dataPath).
    std::string dataRoot = ".";
};
