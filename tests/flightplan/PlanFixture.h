#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/Fms.h"
#include "PlanSteps.h"
#include "TempDir.h"
#include "TestRecords.h"
#include "flightplan/FlightPlan.h"
#include "navdb/DatabaseLoad.h"
#include "pages/FplEditing.h"

// A fresh unit with a temporary data root and a database the test fills in code (loaded()
// once every record is in).
struct PlanFixture : ::testing::Test {
    TempDir dir;
    Fms context;
    ScopedFms current{context};
    NavDatabase& db = context.navdb.database;
    FlightPlanState& fp = context.flightplan;
    FplPagesState& cur = context.pages.fpl;  // the FPL page's cursor

    PlanFixture() { context.platform.dataRoot = dir.str(); }

    void loaded() { markDatabaseLoaded(db); }
    void build(const std::vector<FplLeg>& legs) {
        for (const FplLeg& leg : legs) appendLegAtCursor(leg);
    }
};
