#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "SimAircraft.h"

// Start-up options of fms-sim: a named scenario, then individual overrides of the start state.
struct SimOptions {
    std::string scenario = "ksea";
    SimAircraft start;
    std::string trackPrefix;  // write <prefix>.csv and <prefix>.svg on exit; empty = none
    bool console = true;      // read commands from standard input
    bool help = false;
    bool listScenarios = false;
};

struct SimScenario {
    const char* name;
    const char* description;
    void (*apply)(SimAircraft&);
};

const std::vector<SimScenario>& simScenarios();
// Resets the aircraft and applies the named scenario; false when there is no such scenario.
bool applyScenario(const std::string& name, SimAircraft& aircraft);

// Parses the command line (without the program name). On failure returns false with a message.
bool parseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);

// The --help text.
std::string simUsage();

// Small parsers shared with the console. Each returns false for text that is not entirely a
// number (or an on/off word) in range, leaving the output unchanged.
bool parseNumber(const std::string& text, double& value);
bool parseOnOff(const std::string& text, bool& value);
// Turbulence words: "off", "light", "moderate", "severe", or two numbers (RMS roll-rate and
// heading-rate gusts, deg/s, 0..30 and 0..10); either may be followed by a whole-number seed.
bool parseTurbulence(const std::vector<std::string>& words, double& rollRmsDegS, double& headingRmsDegS,
                     uint64_t& seed);
// "YYYY-MM-DD" and "HH:MM" or "HH:MM:SS" into seconds since 1970 (UTC), kept separate so that
// either part can change on its own.
bool parseDate(const std::string& text, double& utcSeconds);
bool parseTime(const std::string& text, double& utcSeconds);
