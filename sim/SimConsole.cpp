#include "SimConsole.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <sstream>
#include <vector>

#include "SimEarth.h"
#include "SimOffsetTable.h"
#include "SimOptions.h"
#include "SimTrack.h"

namespace {

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

std::string onOff(bool on) {
    return on ? "on" : "off";
}

std::string fmt(const char* f, double a, double b = 0, double c = 0) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, f, a, b, c);
    return buffer;
}

// A switch command: no argument toggles, "on"/"off" set.
bool switchArg(const std::vector<std::string>& w, bool& flag) {
    if (w.size() == 1) {
        flag = !flag;
        return true;
    }
    bool value;
    if (w.size() != 2 || !parseOnOff(w[1], value)) return false;
    flag = value;
    return true;
}

// One numeric argument within limits.
bool numberArg(const std::vector<std::string>& w, double low, double high, double& value) {
    double d;
    if (w.size() != 2 || !parseNumber(w[1], d) || d < low || d > high) return false;
    value = d;
    return true;
}

// Commands that take one number within limits.
struct NumberCommand {
    const char* name;
    double low;
    double high;
    const char* usage;
    std::string (*apply)(SimAircraft&, double);
};

const NumberCommand kNumberCommands[] = {
    {"hdg", 0, 360, "hdg DEG",
     [](SimAircraft& a, double d) {
         a.headingTrueDeg = simearth::wrap360(d);
         return fmt("heading %.1f true", a.headingTrueDeg);
     }},
    {"alt", -1500, 60000, "alt FT",
     [](SimAircraft& a, double d) {
         a.altitudeFt = a.onGround ? a.groundElevationFt : std::max(d, a.groundElevationFt);
         a.autopilotAltitudeFt = a.altitudeFt;
         a.verticalSpeedFpm = 0.0;
         return fmt("altitude %.0f ft", a.altitudeFt);
     }},
    {"apalt", -1500, 60000, "apalt FT",
     [](SimAircraft& a, double d) {
         a.autopilotAltitudeFt = d;
         return fmt("autopilot altitude %.0f ft", d);
     }},
    {"vs", -10000, 10000, "vs FPM",
     [](SimAircraft& a, double d) {
         a.autopilotVerticalSpeedFpm = static_cast<int16_t>(std::lround(d));
         return fmt("autopilot vertical speed %.0f ft/min", d);
     }},
    {"spd", 0, 2000, "spd KT",
     [](SimAircraft& a, double d) {
         a.trueAirspeedKt = d;
         return fmt("true airspeed %.0f kt", d);
     }},
    {"magvar", -180, 180, "magvar DEG",
     [](SimAircraft& a, double d) {
         a.magVarDeg = d;
         return fmt("magnetic variation %.1f", d);
     }},
    {"fuel", 0, 100, "fuel PERCENT",
     [](SimAircraft& a, double d) {
         setFuelFraction(a, d / 100.0);
         return fmt("fuel %.0f%%, %.0f lb", d, fuelOnBoardGallons(a) * a.fuelLbPerGallon);
     }},
};

const NumberCommand* findNumberCommand(const std::string& name) {
    for (const NumberCommand& c : kNumberCommands) {
        if (name == c.name) return &c;
    }
    return nullptr;
}

}  // namespace

std::string simConsoleHelp() {
    return "commands:\n"
           "  status                 one line of aircraft and switch state\n"
           "  ap [on|off]            autopilot master (no argument toggles)\n"
           "  gps [on|off]           NAV/GPS switch, on = GPS\n"
           "  pause [on|off]         freeze the simulation\n"
           "  slew [on|off]          slew mode: the aircraft stops flying, time runs\n"
           "  ground [on|off]        on the ground / airborne\n"
           "  vnav [on|off]          panel VNAV enable bit\n"
           "  wind DIR KT            wind from DIR degrees true (also DIR/KT)\n"
           "  move LAT LON           move the aircraft (degrees)\n"
           "  hdg DEG                true heading\n"
           "  alt FT                 altitude now (and the autopilot altitude)\n"
           "  apalt FT               autopilot altitude target\n"
           "  vs FPM                 autopilot vertical speed target\n"
           "  spd KT                 true airspeed\n"
           "  magvar DEG             magnetic variation, east positive\n"
           "  units ft|m             altimeter units\n"
           "  fuel PERCENT           fill every tank to this level\n"
           "  airframe light|jet|heavy  roll response: roll-mode time constant, full-aileron roll\n"
           "                         rate and bank limit (light 0.3 s 45 deg/s, jet 0.8 s 15 deg/s,\n"
           "                         heavy 1.5 s 8 deg/s)\n"
           "  turb off|light|moderate|severe [SEED]\n"
           "  turb ROLL HDG [SEED]   turbulence: RMS roll-rate and heading-rate gusts in deg/s,\n"
           "                         repeatable from SEED\n"
           "  track PREFIX           write PREFIX.csv and PREFIX.svg of the flown track\n"
           "The aileron the FMS writes rolls the aircraft. When nothing has written the aileron for\n"
           "2 s, a stand-in pilot takes the controls and levels the wings.\n"
           "  help, quit\n";
}

std::string simStatusLine(const SimWorld& world, const SimOffsetTable* table) {
    const SimAircraft& a = world.aircraft;
    const SimGroundVector g = groundVector(a);
    const SimUtc utc = simUtc(a.utcSeconds);
    char when[32];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02dZ", utc.date.year, utc.date.month,
                  utc.date.day, utc.hour, utc.minute, utc.second);
    std::string s = fmt("pos %.5f %.5f alt %.0f ft", a.latDeg, a.lonDeg, a.altitudeFt);
    s += fmt(" vs %.0f hdg %.1fT tas %.0f", a.verticalSpeedFpm, a.headingTrueDeg, a.trueAirspeedKt);
    s += fmt(" gs %.0f trk %.1fT bank %.1f", g.speedKt, g.trackTrueDeg, a.bankDeg);
    s += fmt(" wind %03.0f/%.0f var %.1f", a.windFromDeg, a.windSpeedKt, a.magVarDeg);
    s += std::string(" ") + when;
    s += " ap " + onOff(a.autopilotMaster) + " gps " + onOff(a.navGpsSwitch);
    if (a.onGround) s += " ground";
    if (a.paused) s += " paused";
    if (a.slewing) s += " slew";
    s += fmt(" ail %.0f apalt %.0f apvs %.0f", a.aileron, a.autopilotAltitudeFt, a.autopilotVerticalSpeedFpm);
    s += fmt(" aphdg %.0f crs %.0f cdi %.1f", a.autopilotHeadingRaw * 360.0 / 65536.0, a.nav1CourseDeg,
             a.panelCdi);
    s += fmt(" wpt %.0f cpl %.0f", a.panelWaypoint, a.panelCoupled);
    s += fmt(" fuel %.0f lb", fuelOnBoardGallons(a) * a.fuelLbPerGallon);
    s += std::string(" airframe ") + a.airframe.name;
    if (a.turbulence.active())
        s += fmt(" turb %.1f/%.1f", a.turbulence.rollRateRmsDegS, a.turbulence.headingRateRmsDegS);
    if (table != nullptr) {
        s += fmt(" reads %.0f writes %.0f", static_cast<double>(table->readCount()),
                 static_cast<double>(table->writeCount()));
    }
    return s;
}

SimCommandResult runSimCommand(SimWorld& world, const std::string& line, const SimOffsetTable* table) {
    SimAircraft& a = world.aircraft;
    const std::vector<std::string> w = words(line);
    SimCommandResult r;
    if (w.empty()) return r;
    const std::string& cmd = w[0];
    const std::string usage = "usage: see help";
    if (cmd == "quit" || cmd == "exit") {
        r.quit = true;
        r.reply = "bye";
    } else if (cmd == "help") {
        r.reply = simConsoleHelp();
    } else if (cmd == "status") {
        r.reply = simStatusLine(world, table);
    } else if (cmd == "ap") {
        r.reply = switchArg(w, a.autopilotMaster) ? "autopilot master " + onOff(a.autopilotMaster) : usage;
    } else if (cmd == "gps") {
        r.reply = switchArg(w, a.navGpsSwitch)
                      ? "NAV/GPS switch " + std::string(a.navGpsSwitch ? "GPS" : "NAV")
                      : usage;
    } else if (cmd == "pause") {
        r.reply = switchArg(w, a.paused) ? "pause " + onOff(a.paused) : usage;
    } else if (cmd == "slew") {
        r.reply = switchArg(w, a.slewing) ? "slew " + onOff(a.slewing) : usage;
    } else if (cmd == "ground") {
        bool ground = a.onGround;
        if (switchArg(w, ground)) {
            setOnGround(a, ground);
            r.reply = ground ? fmt("on the ground at %.0f ft", a.altitudeFt)
                             : fmt("airborne at %.0f ft", a.altitudeFt);
        } else {
            r.reply = usage;
        }
    } else if (cmd == "vnav") {
        bool on = (a.panelVnav & 8) != 0;
        if (switchArg(w, on)) {
            a.panelVnav = static_cast<uint8_t>(on ? (a.panelVnav | 8) : (a.panelVnav & ~8));
            r.reply = "panel VNAV " + onOff(on);
        } else {
            r.reply = usage;
        }
    } else if (cmd == "wind") {
        std::vector<std::string> args(w.begin() + 1, w.end());
        if (args.size() == 1 && args[0].find('/') != std::string::npos) {
            const std::string both = args[0];
            args = {both.substr(0, both.find('/')), both.substr(both.find('/') + 1)};
        }
        double dir, speed;
        if (args.size() == 2 && parseNumber(args[0], dir) && parseNumber(args[1], speed) && dir >= 0 &&
            dir <= 360 && speed >= 0 && speed <= 300) {
            a.windFromDeg = simearth::wrap360(dir);
            a.windSpeedKt = speed;
            r.reply = fmt("wind %03.0f/%.0f", a.windFromDeg, a.windSpeedKt);
        } else {
            r.reply = "usage: wind DIR KT";
        }
    } else if (cmd == "move") {
        double lat, lon;
        if (w.size() == 3 && parseNumber(w[1], lat) && parseNumber(w[2], lon) && lat >= -90 && lat <= 90 &&
            lon >= -180 && lon <= 180) {
            a.latDeg = lat;
            a.lonDeg = simearth::wrap180(lon);
            r.reply = fmt("moved to %.5f %.5f", a.latDeg, a.lonDeg);
        } else {
            r.reply = "usage: move LAT LON";
        }
    } else if (const NumberCommand* number = findNumberCommand(cmd)) {
        double d;
        r.reply = numberArg(w, number->low, number->high, d) ? number->apply(a, d)
                                                             : std::string("usage: ") + number->usage;
    } else if (cmd == "units") {
        if (w.size() == 2 && (w[1] == "ft" || w[1] == "m")) {
            a.metricAltimeter = w[1] == "m";
            r.reply = a.metricAltimeter ? "altimeter in metres" : "altimeter in feet";
        } else {
            r.reply = "usage: units ft|m";
        }
    } else if (cmd == "airframe") {
        if (w.size() == 2 && findAirframe(w[1].c_str(), a.airframe)) {
            r.reply = std::string("airframe ") + a.airframe.name +
                      fmt(": roll time constant %.1f s, full-aileron roll rate %.0f deg/s, bank limit %.0f deg",
                          a.airframe.rollTimeConstantS, a.airframe.maxRollRateDegS, a.airframe.maxBankDeg);
        } else {
            r.reply = "usage: airframe light|jet|heavy";
        }
    } else if (cmd == "turb") {
        double roll, heading;
        uint64_t seed;
        if (parseTurbulence(std::vector<std::string>(w.begin() + 1, w.end()), roll, heading, seed)) {
            setTurbulence(a.turbulence, roll, heading, seed);
            r.reply = a.turbulence.active() ? fmt("turbulence: roll %.1f deg/s, heading %.1f deg/s RMS, seed %.0f",
                                                  roll, heading, static_cast<double>(seed))
                                            : "turbulence off";
        } else {
            r.reply = "usage: turb off|light|moderate|severe [SEED], or turb ROLL HDG [SEED]";
        }
    } else if (cmd == "track") {
        std::string error;
        if (w.size() != 2) {
            r.reply = "usage: track PREFIX";
        } else if (writeTrackFiles(world.track(), w[1], error)) {
            r.reply = "wrote " + w[1] + ".csv and " + w[1] + ".svg (" + std::to_string(world.track().size()) +
                      " points)";
        } else {
            r.reply = error;
        }
    } else {
        r.reply = "unknown command: " + cmd + " (try help)";
    }
    return r;
}
