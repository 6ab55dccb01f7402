#include "SimOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "SimEarth.h"

namespace {

// A light twin jet with a centre tank and two wing tanks.
void lightJet(SimAircraft& a) {
    a.tankCapacityGal[0] = 200.0;
    a.tankCapacityGal[1] = 350.0;
    a.tankCapacityGal[2] = 350.0;
    setFuelFraction(a, 0.75);
    a.engineFlowLbH[0] = 650.0;
    a.engineFlowLbH[1] = 650.0;
    a.fuelLbPerGallon = 6.7;
}

// 14 May 2024, 16:00:00 UTC.
constexpr double kDefaultUtc = 1715702400.0;

void airborneNearSeattle(SimAircraft& a) {
    lightJet(a);
    a.latDeg = 47.75;
    a.lonDeg = -122.40;
    a.altitudeFt = 6000.0;
    a.autopilotAltitudeFt = 6000.0;
    a.groundElevationFt = 400.0;
    a.headingTrueDeg = 180.0;
    a.trueAirspeedKt = 250.0;
    a.windFromDeg = 200.0;
    a.windSpeedKt = 12.0;
    a.magVarDeg = 15.8;
    a.utcSeconds = kDefaultUtc;
    a.autopilotMaster = true;
    a.navGpsSwitch = true;
}

void onGroundAtSeattle(SimAircraft& a) {
    lightJet(a);
    a.latDeg = 47.4638;  // runway 16L threshold
    a.lonDeg = -122.3080;
    a.groundElevationFt = 433.0;
    a.headingTrueDeg = 180.0;
    a.trueAirspeedKt = 140.0;
    a.windFromDeg = 160.0;
    a.windSpeedKt = 8.0;
    a.magVarDeg = 15.8;
    a.utcSeconds = kDefaultUtc;
    setOnGround(a, true);
}

void overTheSound(SimAircraft& a) {
    airborneNearSeattle(a);
    a.latDeg = 47.60;
    a.lonDeg = -122.45;
    a.altitudeFt = a.autopilotAltitudeFt = 3000.0;
    a.headingTrueDeg = 0.0;
    a.trueAirspeedKt = 180.0;
    a.windSpeedKt = 0.0;
    a.autopilotMaster = false;
}

bool parseInt(const std::string& text, int& value) {
    double d;
    if (!parseNumber(text, d) || d != std::floor(d) || std::fabs(d) > 1e6) return false;
    value = static_cast<int>(d);
    return true;
}

bool splitInts(const std::string& text, char separator, int* parts, int minParts, int maxParts, int& count) {
    count = 0;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        const std::string piece =
            text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (count == maxParts || piece.empty() || !parseInt(piece, parts[count])) return false;
        ++count;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return count >= minParts;
}

double dayStart(double utcSeconds) {
    return std::floor(utcSeconds / 86400.0) * 86400.0;
}

}  // namespace

const std::vector<SimScenario>& simScenarios() {
    static const std::vector<SimScenario> list = {
        {"ksea", "airborne 6000 ft north of Seattle, heading south at 250 kt, autopilot on, GPS",
         airborneNearSeattle},
        {"ksea-ground", "on the ground at Seattle, runway 16L threshold, autopilot off", onGroundAtSeattle},
        {"sound", "3000 ft over Puget Sound heading north at 180 kt, no wind, autopilot off", overTheSound},
    };
    return list;
}

bool applyScenario(const std::string& name, SimAircraft& aircraft) {
    for (const SimScenario& s : simScenarios()) {
        if (name == s.name) {
            aircraft = SimAircraft{};
            s.apply(aircraft);
            return true;
        }
    }
    return false;
}

bool parseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double d = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(d)) return false;
    value = d;
    return true;
}

bool parseOnOff(const std::string& text, bool& value) {
    if (text == "on" || text == "1" || text == "yes") {
        value = true;
        return true;
    }
    if (text == "off" || text == "0" || text == "no") {
        value = false;
        return true;
    }
    return false;
}

bool parseTurbulence(const std::vector<std::string>& words, double& rollRmsDegS, double& headingRmsDegS,
                     uint64_t& seed) {
    struct Level {
        const char* name;
        double roll;
        double heading;
    };
    static constexpr Level kLevels[] = {
        {"off", 0.0, 0.0}, {"light", 2.0, 0.3}, {"moderate", 5.0, 0.8}, {"severe", 10.0, 1.5}};
    if (words.empty()) return false;
    double roll = -1.0, heading = -1.0;
    size_t next = 1;
    for (const Level& l : kLevels) {
        if (words[0] == l.name) {
            roll = l.roll;
            heading = l.heading;
        }
    }
    if (roll < 0.0) {
        if (words.size() < 2 || !parseNumber(words[0], roll) || !parseNumber(words[1], heading) || roll < 0.0 ||
            roll > 30.0 || heading < 0.0 || heading > 10.0)
            return false;
        next = 2;
    }
    uint64_t chosenSeed = 1;
    if (words.size() > next + 1) return false;
    if (words.size() == next + 1) {
        int value;
        if (!parseInt(words[next], value) || value < 0) return false;
        chosenSeed = static_cast<uint64_t>(value);
    }
    rollRmsDegS = roll;
    headingRmsDegS = heading;
    seed = chosenSeed;
    return true;
}

bool parseDate(const std::string& text, double& utcSeconds) {
    int parts[3];
    int count;
    if (!splitInts(text, '-', parts, 3, 3, count)) return false;
    const int year = parts[0], month = parts[1], day = parts[2];
    if (year < 1971 || year > 2200 || month < 1 || month > 12 || day < 1 || day > 31) return false;
    const int64_t days = daysFromCivil({year, month, day});
    if (civilFromDays(days).day != day) return false;  // 30 February and the like
    utcSeconds = static_cast<double>(days) * 86400.0 + (utcSeconds - dayStart(utcSeconds));
    return true;
}

bool parseTime(const std::string& text, double& utcSeconds) {
    int parts[3] = {0, 0, 0};
    int count;
    if (!splitInts(text, ':', parts, 2, 3, count)) return false;
    if (parts[0] < 0 || parts[0] > 23 || parts[1] < 0 || parts[1] > 59 || parts[2] < 0 || parts[2] > 59)
        return false;
    utcSeconds = dayStart(utcSeconds) + parts[0] * 3600.0 + parts[1] * 60.0 + parts[2];
    return true;
}

std::string simUsage() {
    std::string text =
        "Usage: fms-sim [options]\n"
        "Stand-in flight simulator for the FMS: answers the simulator protocol and flies a\n"
        "simple aircraft model. Commands are read from standard input while it runs (type help).\n"
        "\n"
        "Options (applied after the scenario):\n"
        "  --scenario NAME     start state (default ksea); --list-scenarios shows them\n"
        "  --lat DEG --lon DEG position, north and east positive\n"
        "  --alt FT            altitude above sea level (also the autopilot altitude)\n"
        "  --elevation FT      terrain elevation of the flat world\n"
        "  --hdg DEG           true heading\n"
        "  --speed KT          true airspeed\n"
        "  --wind DIR/KT       wind from DIR degrees true at KT knots\n"
        "  --date YYYY-MM-DD   UTC date\n"
        "  --time HH:MM[:SS]   UTC time\n"
        "  --ground | --airborne\n"
        "  --ap on|off         autopilot master\n"
        "  --gps on|off        NAV/GPS switch (on = GPS)\n"
        "  --magvar DEG        magnetic variation, east positive (constant everywhere)\n"
        "  --metric            altimeter reports metres\n"
        "  --fuel PERCENT      fill every tank to this level\n"
        "  --airframe NAME     roll response: light, jet (default) or heavy\n"
        "  --turbulence SPEC   off, light, moderate, severe, or ROLL,HDG (RMS gusts in deg/s),\n"
        "                      optionally followed by ,SEED\n"
        "  --track PREFIX      write PREFIX.csv and PREFIX.svg of the flown track on exit\n"
        "  --no-console        do not read commands from standard input\n"
        "  --help\n";
    return text;
}

bool parseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error) {
    // The scenario is applied first wherever it appears, so that the other options override it.
    std::string scenario = options.scenario;
    for (size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "--scenario") scenario = args[i + 1];
    }
    if (!applyScenario(scenario, options.start)) {
        error = "unknown scenario: " + scenario;
        return false;
    }
    options.scenario = scenario;
    SimAircraft& a = options.start;
    bool ground = a.onGround;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& opt = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = "missing value for " + opt;
                return false;
            }
            out = args[++i];
            return true;
        };
        auto number = [&](double& out, double low, double high) {
            std::string text;
            if (!value(text)) return false;
            double d;
            if (!parseNumber(text, d) || d < low || d > high) {
                error = "bad value for " + opt + ": " + text;
                return false;
            }
            out = d;
            return true;
        };
        auto onOff = [&](bool& out) {
            std::string text;
            if (!value(text)) return false;
            if (!parseOnOff(text, out)) {
                error = "expected on or off for " + opt + ": " + text;
                return false;
            }
            return true;
        };
        std::string text;
        if (opt == "--help" || opt == "-h") {
            options.help = true;
        } else if (opt == "--list-scenarios") {
            options.listScenarios = true;
        } else if (opt == "--scenario") {
            ++i;
        } else if (opt == "--lat") {
            if (!number(a.latDeg, -90.0, 90.0)) return false;
        } else if (opt == "--lon") {
            if (!number(a.lonDeg, -180.0, 180.0)) return false;
        } else if (opt == "--alt") {
            if (!number(a.altitudeFt, -1500.0, 60000.0)) return false;
            a.autopilotAltitudeFt = a.altitudeFt;
        } else if (opt == "--elevation") {
            if (!number(a.groundElevationFt, -1500.0, 30000.0)) return false;
        } else if (opt == "--hdg") {
            if (!number(a.headingTrueDeg, 0.0, 360.0)) return false;
            a.headingTrueDeg = simearth::wrap360(a.headingTrueDeg);
        } else if (opt == "--speed") {
            if (!number(a.trueAirspeedKt, 0.0, 2000.0)) return false;
        } else if (opt == "--magvar") {
            if (!number(a.magVarDeg, -180.0, 180.0)) return false;
        } else if (opt == "--fuel") {
            double percent;
            if (!number(percent, 0.0, 100.0)) return false;
            setFuelFraction(a, percent / 100.0);
        } else if (opt == "--airframe") {
            if (!value(text)) return false;
            if (!findAirframe(text.c_str(), a.airframe)) {
                error = "unknown airframe (light, jet or heavy): " + text;
                return false;
            }
        } else if (opt == "--turbulence") {
            if (!value(text)) return false;
            std::vector<std::string> words;
            size_t start = 0;
            while (true) {
                const size_t comma = text.find(',', start);
                words.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
                if (comma == std::string::npos) break;
                start = comma + 1;
            }
            double roll, heading;
            uint64_t seed;
            if (!parseTurbulence(words, roll, heading, seed)) {
                error = "bad value for --turbulence: " + text;
                return false;
            }
            setTurbulence(a.turbulence, roll, heading, seed);
        } else if (opt == "--wind") {
            if (!value(text)) return false;
            const size_t slash = text.find('/');
            double dir, speed;
            if (slash == std::string::npos || !parseNumber(text.substr(0, slash), dir) ||
                !parseNumber(text.substr(slash + 1), speed) || dir < 0 || dir > 360 || speed < 0 ||
                speed > 300) {
                error = "bad value for --wind (DIR/KT): " + text;
                return false;
            }
            a.windFromDeg = simearth::wrap360(dir);
            a.windSpeedKt = speed;
        } else if (opt == "--date") {
            if (!value(text)) return false;
            if (!parseDate(text, a.utcSeconds)) {
                error = "bad date (YYYY-MM-DD): " + text;
                return false;
            }
        } else if (opt == "--time") {
            if (!value(text)) return false;
            if (!parseTime(text, a.utcSeconds)) {
                error = "bad time (HH:MM[:SS]): " + text;
                return false;
            }
        } else if (opt == "--ground") {
            ground = true;
        } else if (opt == "--airborne") {
            ground = false;
        } else if (opt == "--ap") {
            if (!onOff(a.autopilotMaster)) return false;
        } else if (opt == "--gps") {
            if (!onOff(a.navGpsSwitch)) return false;
        } else if (opt == "--metric") {
            a.metricAltimeter = true;
        } else if (opt == "--track") {
            if (!value(options.trackPrefix)) return false;
        } else if (opt == "--no-console") {
            options.console = false;
        } else {
            error = "unknown option: " + opt;
            return false;
        }
    }
    if (ground != a.onGround || ground) setOnGround(a, ground);
    return true;
}
