// A VNAV descent flown closed-loop: the altitude constraint of a waypoint entered on the VNAV
// PATH page, the aircraft panel's VNAV bit set, and the autopilot's altitude and vertical-speed
// targets written by guidance; the altitude measured where the leg to the waypoint ends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "FlightRig.h"
#include "SimEarth.h"
#include "flightplan/FlightPlan.h"

namespace {

constexpr int kConstraintFt = 5000;

struct VnavFigures {
    double altitudeAtWaypointFt = 0.0;
    double largestDescentFpm = 0.0;
    bool sequenced = false;
};

VnavFigures flyDescent(FlightRig& rig) {
    double lat = 47.10, lon = -123.20;
    rig.place(lat, lon, 90.0, 11000.0, 250.0);
    rig.addPoint("VD0", lat, lon);
    simearth::travel(lat, lon, 90.0, 25.0);
    rig.addPoint("VDCON", lat, lon);
    const double fixLat = lat, fixLon = lon;
    simearth::travel(lat, lon, 90.0, 20.0);
    rig.addPoint("VDEND", lat, lon);
    // VNAV: waypoint 2 on the TO line, no offset, 5000 ft.
    rig.press("VNAV");
    rig.press("L3");
    rig.type("2");
    rig.press("ENTER");
    rig.type("0");
    rig.press("ENTER");
    rig.type(std::to_string(kConstraintFt).c_str());
    rig.press("ENTER");
    rig.h.cdu().currentPage = kPageBlank;
    rig.h.sim.aircraft().panelVnav = 8;
    rig.engage();
    VnavFigures f;
    rig.fly(15 * 60.0, [&] {
        f.largestDescentFpm = std::max(f.largestDescentFpm, -rig.h.sim.aircraft().verticalSpeedFpm);
        if (rig.activeSegment() == 0) return false;
        f.sequenced = true;
        return true;
    });
    f.altitudeAtWaypointFt = rig.h.sim.aircraft().altitudeFt;
    rig.extraMarks.push_back({fixLat, fixLon, "5000 ft"});
    return f;
}

}  // namespace

TEST(VnavFlightTest, DescentMeetsTheWaypointsConstraint) {
    std::string table =
        "| airframe, wind | start ft | constraint ft | altitude at the waypoint ft | miss ft | largest descent "
        "ft/min |\n|---|---:|---:|---:|---:|---:|\n";
    for (const FlightConditions& c : {FlightConditions{kSimJet, 0.0, 0.0, 0.0},
                                      FlightConditions{kSimJet, 270.0, 30.0, 0.0},
                                      FlightConditions{kSimHeavy, 90.0, 30.0, 0.0}}) {
        SCOPED_TRACE(c.label());
        FlightRig rig(c);
        const VnavFigures f = flyDescent(rig);
        if (::testing::Test::HasFatalFailure()) return;
        EXPECT_TRUE(f.sequenced);
        EXPECT_NEAR(f.altitudeAtWaypointFt, kConstraintFt, 100.0);
        char row[256];
        std::snprintf(row, sizeof row, "| %s | 11000 | %d | %.0f | %+.0f | %.0f |\n", c.label().c_str(),
                      kConstraintFt, f.altitudeAtWaypointFt, f.altitudeAtWaypointFt - kConstraintFt,
                      f.largestDescentFpm);
        table += row;
        writeText(flightOutputDir() + "/vnav-descent-" + c.airframe.name + (c.windKt > 0 ? "-wind" : "-calm") +
                      ".svg",
                  rig.svg("VNAV descent, " + c.label()));
    }
    writeScenarioTable("vnav-descent", table);
}
