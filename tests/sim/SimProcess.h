#pragma once

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "SimChild.h"
#include "TempDir.h"
#include "simlink/SimLink.h"

// fms-sim from the run folder, with a runtime folder and output file inside `dir`.
struct SimProcess : SimChild {
    SimProcess(const TempDir& dir, const std::vector<std::string>& args, const std::string& runtime = "rt")
        : SimChild(std::string(FMS_RUN_DIR) + "/fms-sim", dir.str() + "/" + runtime, args,
                   dir.str() + "/out-" + runtime + ".txt") {}
};

// Opens the link, retrying while the simulator is still starting.
inline bool openWithin(SimLink& link, int timeoutMs) {
    uint32_t result = 0;
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (link.open(0, result)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}
