#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Fms.h"
#include "TempDir.h"
#include "TestRecords.h"
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

    void loaded() { markDatabaseLoaded(db); }
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
};
