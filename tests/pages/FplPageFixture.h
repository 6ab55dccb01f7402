#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "PageTestSupport.h"
#include "PlanSteps.h"
#include "TestRecords.h"
#include "pages/FplEditing.h"
#include "pages/PageTable.h"

// The whole unit on the sample database, the aircraft parked at Seattle-Tacoma, INIT behind
// it and the FPL page open (which fills the origin from the aircraft position).
struct FplPageFixture : PageTest {
    FlightPlanState& fp = h.context.flightplan;
    FplPagesState& cur = h.context.pages.fpl;  // the FPL page's cursor

    void SetUp() override {
        h.sim.aircraft().latDeg = 47.450188;
        h.sim.aircraft().lonDeg = -122.312320;
        h.powerOn();
        h.waitForDatabase();
        for (int i = 0; i < 10 && h.cdu().currentPage != kPageInit; ++i) h.frame();
        ASSERT_EQ(h.cdu().currentPage, kPageInit);
        press("L5");  // ACCEPT on the INIT page
        press("FPL");
    }

    void add(const std::string& ident) { appendIdent(h.context.navdb.database, ident); }
    void addAll(std::initializer_list<const char*> idents) {
        planOf(idents);
        h.frame();
    }
    // A row with '^' for the degree sign and without its trailing blanks.
    std::string line(int r) const {
        std::string text = h.row(r);
        for (char& c : text)
            if (c == static_cast<char>(0xB0)) c = '^';
        return text.erase(text.find_last_not_of(' ') + 1);
    }
    // Prompt-sized arrows drawn in the last frame with this rotation at this x.
    int arrows(float degrees, float x) const {
        int n = 0;
        for (const ListRecord& a : h.renderer.listsOf(listArrow)) {
            float turn = std::remainder(a.rotation - degrees, 360.0f);
            if (std::abs(turn) < 1e-3f && std::abs(a.x - x) < 1e-4f) ++n;
        }
        return n;
    }
};
