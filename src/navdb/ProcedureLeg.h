#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "navdb/FplLeg.h"

enum class LegOrigin { Departure = 0, Arrival = 1 };

// Minimum field count of a leg line for a path terminator (highest column read plus one);
// 1 for unknown codes, which read nothing, and for HA and HM, which read what they have.
size_t minimumLegFields(LegType type);

// The path terminator named by a code ("TF" -> LegType::TF); None for anything else.
LegType legTypeFromCode(std::string_view code);

// Turns one split procedure-file line (field 0 the path terminator) into a leg: sets
// legType, reads the columns of that terminator and marks the leg as a departure or arrival
// procedure leg (HA and HM read the columns of HF that the line has; an unknown code sets
// nothing). Returns false,
// leaving the leg untouched, when the line has fewer fields than its terminator reads: such
// a line is not a usable leg and the readers drop it.
bool buildProcedureLeg(std::span<const std::string_view> fields, FplLeg& leg, LegOrigin origin);
bool buildProcedureLeg(const std::vector<std::string>& fields, FplLeg& leg, LegOrigin origin);
