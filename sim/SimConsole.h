#pragma once

#include <string>

#include "SimWorld.h"

class SimOffsetTable;

// Result of one console line.
struct SimCommandResult {
    std::string reply;  // the confirmation (or the complaint) to print
    bool quit = false;
};

// Runs one console command against the world, e.g. "ap on", "wind 270 15", "move 47.5 -122.3",
// "track /tmp/flight". `table` (optional) only feeds the request counters of "status".
SimCommandResult runSimCommand(SimWorld& world, const std::string& line,
                               const SimOffsetTable* table = nullptr);

// One line describing the aircraft and the simulator's switches.
std::string simStatusLine(const SimWorld& world, const SimOffsetTable* table = nullptr);

// The list of console commands.
std::string simConsoleHelp();
