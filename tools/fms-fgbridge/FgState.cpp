#include "FgState.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

bool inRange(double v, double low, double high) {
    return v >= low && v <= high;
}

}  // namespace

bool parseFgPacket(std::string_view packet, FgState& out, std::string& error) {
    while (!packet.empty() && (packet.back() == '\n' || packet.back() == '\r')) packet.remove_suffix(1);
    double v[kFgPacketFields];
    int count = 0;
    size_t start = 0;
    for (;;) {
        const size_t comma = packet.find(',', start);
        const std::string_view field =
            packet.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        if (count == kFgPacketFields) {
            error = "more than " + std::to_string(kFgPacketFields) + " values";
            return false;
        }
        const std::string text(field);
        char* end = nullptr;
        errno = 0;
        const double value = std::strtod(text.c_str(), &end);
        if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(value)) {
            error = "value " + std::to_string(count + 1) + " is not a number: \"" + text.substr(0, 24) + "\"";
            return false;
        }
        v[count++] = value;
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (count != kFgPacketFields) {
        error = std::to_string(count) + " values instead of " + std::to_string(kFgPacketFields);
        return false;
    }
    FgState s;
    int i = 0;
    s.stampSec = v[i++];
    s.latDeg = v[i++];
    s.lonDeg = v[i++];
    s.altitudeFt = v[i++];
    s.aglFt = v[i++];
    s.groundSpeedKt = v[i++];
    s.headingTrueDeg = v[i++];
    s.trackTrueDeg = v[i++];
    s.rollDeg = v[i++];
    s.pitchDeg = v[i++];
    s.rollRateDegS = v[i++];
    s.windFromDeg = v[i++];
    s.windKt = v[i++];
    const double year = v[i++], month = v[i++], day = v[i++];
    const double hour = v[i++], minute = v[i++], second = v[i++];
    const bool wow0 = v[i++] != 0.0, wow1 = v[i++] != 0.0, wow2 = v[i++] != 0.0;
    s.onGround = wow0 || wow1 || wow2;
    s.paused = v[i++] != 0.0;
    s.magVarDeg = v[i++];
    s.fuelDensityPpg = v[i++];
    for (double& level : s.tankLevelGal) level = v[i++];
    for (double& capacity : s.tankCapacityGal) capacity = v[i++];
    for (double& flow : s.fuelFlowGph) flow = v[i++];
    s.headingBugDeg = v[i++];
    s.targetAltitudeFt = v[i++];
    s.targetVerticalSpeedFpm = v[i++];
    s.nav1CourseDeg = v[i++];
    s.verticalSpeedFps = v[i++];
    s.airspeedKt = v[i++];
    if (!inRange(s.latDeg, -90.0, 90.0) || !inRange(s.lonDeg, -180.0, 180.0)) {
        error = "position out of range";
        return false;
    }
    if (!inRange(year, 1900, 9999) || !inRange(month, 1, 12) || !inRange(day, 1, 31) ||
        !inRange(hour, 0, 23) || !inRange(minute, 0, 59) || !inRange(second, 0, 60)) {
        error = "date or time out of range";
        return false;
    }
    s.year = static_cast<int>(year);
    s.month = static_cast<int>(month);
    s.day = static_cast<int>(day);
    s.hour = static_cast<int>(hour);
    s.minute = static_cast<int>(minute);
    s.second = static_cast<int>(second);
    out = s;
    return true;
}
