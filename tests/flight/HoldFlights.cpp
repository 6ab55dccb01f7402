#include "HoldFlights.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "SimEarth.h"
#include "flightplan/FlightPlan.h"
#include "guidance/GuidanceState.h"
#include "navdb/NavDatabase.h"

namespace {

constexpr double kFixLat = 47.30;
constexpr double kFixLon = -123.00;
constexpr int kInboundDeg = 360;     // magnetic
constexpr double kApproachNm = 4.0;  // from the start to the fix
constexpr double kSpeedKt = 250.0;
constexpr double kLimitS = 40 * 60.0;

std::string text(const char* f, double v) {
    char b[64];
    std::snprintf(b, sizeof b, f, v);
    return b;
}

}  // namespace

std::string HoldCase::label() const {
    return conditions.label() + ", " + text("%03.0f", approachDeg) + (leftTurns ? ", left" : ", right") +
           (byDistance ? ", 4.5 NM" : ", 1 min");
}

std::string expectedEntry(int approachDeg, bool leftTurns) {
    int theta = ((leftTurns ? -approachDeg : approachDeg) % 360 + 360) % 360;
    if (theta >= 110 && theta <= 180) return "PARLL";
    if (theta > 180 && theta < 250) return "TRDRP";
    return "DRECT";
}

HoldFigures flyHold(FlightRig& rig, const HoldCase& c) {
    HoldFigures out;
    const double variation =
        magneticVariationAt(rig.h.context.navdb.database, kFixLat, kFixLon) + c.conditions.magVarOffsetDeg;
    const double inboundTrue = kInboundDeg + variation;
    const double approachTrue = inboundTrue + c.approachDeg;
    double startLat = kFixLat, startLon = kFixLon;
    simearth::travel(startLat, startLon, approachTrue + 180.0, kApproachNm);
    double nextLat = kFixLat, nextLon = kFixLon;
    simearth::travel(nextLat, nextLon, inboundTrue, 20.0);
    rig.place(startLat, startLon, simearth::wrap360(approachTrue), 10000.0, kSpeedKt);
    rig.addPoint("HSTRT", startLat, startLon);
    rig.addPoint("HFIX", kFixLat, kFixLon);
    rig.addPoint("HNEXT", nextLat, nextLon);

    // HOLDING DEFN from the NAV page: fix 2, the inbound course, the turns and the leg, ARM HOLD.
    rig.press("NAV");
    rig.press("R2");
    rig.press("L1");
    rig.type("2");
    rig.press("ENTER");
    rig.press("L2");
    rig.type(std::to_string(kInboundDeg).c_str());
    rig.press("ENTER");
    if (c.leftTurns) {
        rig.press("L4");
        rig.type("L");
        rig.press("ENTER");
    }
    if (c.byDistance) {
        rig.press("R2");
        rig.type("45");
        rig.press("ENTER");
    }
    rig.press("L5");
    const HoldDefinition& hold = rig.h.context.guidance.hold;
    EXPECT_EQ(hold.holdState, kHoldArmed);
    out.outboundDefined = c.byDistance ? 4.5 : 60.0;
    rig.h.cdu().currentPage = kPageBlank;  // the pages play no part in the flight
    rig.engage();

    // The racetrack's inbound line for the plot and the measurements.
    double farLat = kFixLat, farLon = kFixLon;
    simearth::travel(farLat, farLon, inboundTrue + 180.0, 8.0);
    rig.extraLines.push_back({farLat, farLon, kFixLat, kFixLon});
    const double holdingSide = c.leftTurns ? -1.0 : 1.0;
    auto crossTrack = [&] {
        const SimAircraft& a = rig.h.sim.aircraft();
        const double d = simearth::distanceNm(kFixLat, kFixLon, a.latDeg, a.lonDeg);
        // Right of the inbound course positive, measured from the fix.
        const double bearing = simearth::courseDeg(kFixLat, kFixLon, a.latDeg, a.lonDeg);
        return d * std::sin((bearing - inboundTrue) * simearth::kDegToRad);
    };

    bool started = false, sawTurnToInbound = false, inFinalInbound = false;
    double outboundStart = 0.0;
    std::vector<std::pair<double, double>> finalInbound;  // time, cross-track
    int previous = hold.holdState;
    rig.fly(kLimitS, [&] {
        const int state = hold.holdState;
        if (!started && state >= kHoldInbound) {
            started = true;
            static const char* const kNames[] = {"TRDRP", "PARLL", "DRECT"};
            out.entry = kNames[std::clamp(hold.entryType, 0, 2)];
            const SimAircraft& a = rig.h.sim.aircraft();
            rig.extraMarks.push_back({a.latDeg, a.lonDeg, "hold " + out.entry});
        }
        if (!started) return false;
        out.excursionNm = std::max(out.excursionNm, -holdingSide * crossTrack());
        if (state == kHoldOutbound && previous != kHoldOutbound) outboundStart = rig.seconds();
        if (state == kHoldTurnToInbound && previous == kHoldOutbound && !sawTurnToInbound) {
            sawTurnToInbound = true;
            const SimAircraft& a = rig.h.sim.aircraft();
            if (c.byDistance) {
                // Along the outbound course from abeam the fix.
                const double d = simearth::distanceNm(kFixLat, kFixLon, a.latDeg, a.lonDeg);
                const double bearing = simearth::courseDeg(kFixLat, kFixLon, a.latDeg, a.lonDeg);
                out.outboundValue = d * std::cos((bearing - inboundTrue - 180.0) * simearth::kDegToRad);
            } else {
                out.outboundValue = rig.seconds() - outboundStart;
            }
        }
        if (sawTurnToInbound && state == kHoldInbound) {
            inFinalInbound = true;
            finalInbound.push_back({rig.seconds(), crossTrack()});
        }
        previous = state;
        // The first full circuit ends when the inbound leg after it reaches the fix.
        return inFinalInbound && state != kHoldInbound;
    });
    out.circuitFlown = inFinalInbound && hold.holdState != kHoldInbound;
    if (!finalInbound.empty()) {
        const double end = finalInbound.back().first;
        for (const auto& [t, x] : finalInbound)
            if (t >= end - 30.0) out.inboundXtkNm = std::max(out.inboundXtkNm, std::fabs(x));
    }

    // DISARM HOLD: the leg after the hold is flown from the fix.
    rig.h.cdu().currentPage = kPageNav;
    rig.press("R2");
    rig.press("L3");
    const PlanSegment* s = planSegment(rig.activeSegment());
    const FplLeg* to = s != nullptr ? planLeg(s->toLeg) : nullptr;
    out.disarmedToNext = to != nullptr && to->ident == "HNEXT" && hold.holdState == kHoldNone;
    rig.h.cdu().currentPage = kPageBlank;
    rig.fly(90.0);
    const SimAircraft& a = rig.h.sim.aircraft();
    const double d = simearth::distanceNm(kFixLat, kFixLon, a.latDeg, a.lonDeg);
    const double bearing = simearth::courseDeg(kFixLat, kFixLon, a.latDeg, a.lonDeg);
    out.afterDisarmXtkNm = std::fabs(d * std::sin((bearing - inboundTrue) * simearth::kDegToRad));
    return out;
}

std::string holdTable(const std::vector<HoldCase>& cases, const std::vector<HoldFigures>& figures) {
    std::string s =
        "| airframe, wind | heading from inbound | turns | leg | entry | non-holding side excursion NM | "
        "inbound XTK after first circuit NM | outbound leg | outbound / defined | disarm to next leg | "
        "XTK 90 s after disarm NM |\n"
        "|---|---:|---|---|---|---:|---:|---:|---:|---|---:|\n";
    for (size_t i = 0; i < cases.size() && i < figures.size(); ++i) {
        const HoldCase& c = cases[i];
        const HoldFigures& f = figures[i];
        s += "| " + c.conditions.label() + " | " + text("%.0f", c.approachDeg) + " | " +
             (c.leftTurns ? "left" : "right") + " | " + (c.byDistance ? "4.5 NM" : "1 min") + " | " +
             f.entry + " | " + text("%.2f", f.excursionNm) + " | " +
             (f.circuitFlown ? text("%.3f", f.inboundXtkNm) : std::string("not flown")) + " | " +
             text(c.byDistance ? "%.2f NM" : "%.1f s", f.outboundValue) + " | " +
             text("%.2f", f.outboundValue / f.outboundDefined) + " | " + (f.disarmedToNext ? "yes" : "NO") +
             " | " + text("%.2f", f.afterDisarmXtkNm) + " |\n";
    }
    return s;
}
