#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Fms.h"
#include "TempDir.h"
#include "flightplan/FlightPlan.h"
#include "navdb/DatabaseLoad.h"

// A fresh unit with a temporary data root and a database the test fills in code (loaded()
// once every record is in).
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
        a.name = name;
        a.latitude = lat;
        a.longitude = lon;
        a.elevation = elevation;
        db.airports.push_back(a);
        return static_cast<int>(db.airports.size()) - 1;
    }
    int addNavaid(const std::string& ident, float lat, float lon, float declination = 0.0f) {
        Navaid n;
        n.ident = ident;
        n.name = ident + " VOR";
        n.type = NavaidType::VorDme;
        n.latitude = lat;
        n.longitude = lon;
        n.declination = declination;
        n.dbIndex = static_cast<int>(db.navaids.size());
        db.navaids.push_back(n);
        return n.dbIndex;
    }
    int addFix(const std::string& ident, float lat, float lon) {
        Fix f;
        f.ident = ident;
        f.latitude = lat;
        f.longitude = lon;
        f.dbIndex = static_cast<int>(db.fixes.size());
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
    void build(const std::vector<FplLeg>& legs) {
        for (const FplLeg& leg : legs) appendLeg(leg);
    }
    // The plan as identifiers; markers by name, legs without an identifier by leg type.
    std::vector<std::string> idents() const {
        std::vector<std::string> out;
        for (const FplLeg& leg : fp.plan.legs) {
            if (leg.waypointKind == WaypointKind::Gap)
                out.push_back("GAP");
            else if (leg.waypointKind == WaypointKind::NoLink)
                out.push_back("NOLINK");
            else if (leg.waypointKind == WaypointKind::EndOfApproach)
                out.push_back("EOA");
            else
                out.push_back(leg.ident.empty() ? "(" + std::to_string(int(leg.legType)) + ")" : leg.ident);
        }
        return out;
    }
    void setAircraft(float lat, float lon) {
        context.guidance.aircraft.positionF.lat = lat;
        context.guidance.aircraft.positionF.lon = lon;
    }
};
