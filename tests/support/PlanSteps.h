#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "navdb/NavDatabase.h"
#include "pages/IdentPage.h"

// Plan building and reading for the plan and page tests of the current context.

// Appends the first database record with this identifier, as the identifier page's ACCEPT
// does (a fix before a navaid before an airport).
inline void appendIdent(const NavDatabase& db, const std::string& ident) {
    IdentMatches m = findIdentifier(db, ident);
    ASSERT_FALSE(m.indices.empty()) << ident;
    appendLeg(legFromCandidate(db, m.kind, m.indices[0]));
}

// Appends a fix of this ident at this place (no database record); returns the plan's copy.
inline FplLeg& appendFix(const std::string& ident, double lat, double lon) {
    FplLeg leg;
    leg.waypointKind = WaypointKind::Fix;
    leg.ident = ident;
    leg.latitude = static_cast<float>(lat);
    leg.longitude = static_cast<float>(lon);
    appendLeg(leg);
    return flightPlanState().plan.legs.back();
}

// The plan as identifiers; markers by name, legs without an identifier by leg type.
inline std::vector<std::string> planIdents() {
    std::vector<std::string> out;
    for (int i = 0; i < planLegCount(); ++i) {
        const FplLeg& leg = *planLeg(i);
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
