#pragma once

#include <string>
#include <string_view>

#include "flightplan/FlightPlan.h"

// The simulator's waypoint list: "data/Routes/fsPlan.pln" under the data root, one line
// "ident,latitude,longitude" per leg with a latitude other than 0, numbers as a default
// output stream writes floats (six significant digits).
inline constexpr std::string_view kSimulatorPlanFile = "data/Routes/fsPlan.pln";

// The file's text for a plan.
std::string simulatorPlanText(const FlightPlan& plan);

// Writes the current plan's waypoint list; failures are skipped silently.
void exportSimulatorPlan();
