#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Fms.h"
#include "TempDir.h"
#include "flightplan/FlightPlan.h"
#include "navdb/DatabaseLoad.h"

// A fresh unit whose data root is a temporary folder and whose database the test fills in
// code (call loaded() once every record is in).
struct PlanFixture : ::testing::Test {
    TempDir dir;
    Fms context;
    ScopedFms current{context};
    NavDatabase& db = context.navdb.database;
    FlightPlanState& fp = context.flightplan;

    PlanFixture() { context.shell.dataRoot = dir.str(); }

    int addAirport(const std::string& ident, float lat, float lon, int16_t elevation = 0,
                   const std::string& name = "") {
        Airport a;
        a.ident = ident;
        a.name = name.empty() ? ident + " FIELD" : name;
        a.latitude = lat;
        a.longitude = lon;
        a.elevation = elevation;
        db.airports.push_back(a);
        return static_cast<int>(db.airports.size()) - 1;
    }
    int addNavaid(const std::string& ident, float lat, float lon, float declination = 0.0f,
                  NavaidType type = NavaidType::VorDme) {
        Navaid n;
        n.ident = ident;
        n.name = ident + " VOR";
        n.latitude = lat;
        n.longitude = lon;
        n.declination = declination;
        n.type = type;
        n.frequency = 116.8f;
        n.dbIndex = static_cast<int32_t>(db.navaids.size());
        db.navaids.push_back(n);
        return n.dbIndex;
    }
    int addFix(const std::string& ident, float lat, float lon) {
        Fix f;
        f.ident = ident;
        f.latitude = lat;
        f.longitude = lon;
        f.dbIndex = static_cast<int32_t>(db.fixes.size());
        db.fixes.push_back(f);
        return f.dbIndex;
    }
    void loaded() { markDatabaseLoaded(db); }

    static FplLeg waypoint(const std::string& ident, float lat, float lon,
                           WaypointKind kind = WaypointKind::Fix) {
        FplLeg leg;
        leg.waypointKind = kind;
        leg.ident = ident;
        leg.latitude = lat;
        leg.longitude = lon;
        return leg;
    }
    // Puts legs into the plan the way the pilot appends them.
    void build(const std::vector<FplLeg>& legs) {
        for (const FplLeg& leg : legs) appendLeg(leg);
    }
    // The plan as its identifiers, markers by their screen names.
    std::vector<std::string> idents() const {
        std::vector<std::string> out;
        for (const FplLeg& leg : fp.plan.legs) {
            switch (leg.waypointKind) {
                case WaypointKind::Gap: out.push_back("GAP"); break;
                case WaypointKind::NoLink: out.push_back("NOLINK"); break;
                case WaypointKind::EndOfApproach: out.push_back("EOA"); break;
                default: out.push_back(leg.ident.empty() ? "(" + std::to_string(int(leg.legType)) + ")" : leg.ident);
            }
        }
        return out;
    }
    void setAircraft(float lat, float lon) {
        context.guidance.aircraft.positionF.lat = lat;
        context.guidance.aircraft.positionF.lon = lon;
        context.guidance.aircraft.position = GeoPoint{lat, lon};
    }
};
