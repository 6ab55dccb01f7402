#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "navdb/NavDatabase.h"
#include "pages/IdentPage.h"

// Plan building and reading for the plan and page tests of the current context.

// Appends the record with this identifier nearest to the plan's last leg (to 0N 0E in an
// empty plan), as the identifier page's ACCEPT of the first candidate does.
inline void appendIdent(const NavDatabase& db, const std::string& ident) {
    const FplLeg* last = lastPlanLeg();
    const GeoPoint reference = last != nullptr ? GeoPoint{last->latitude, last->longitude} : GeoPoint{};
    IdentMatches m = findIdentifier(db, ident, reference);
    ASSERT_FALSE(m.empty()) << ident;
    appendLeg(legFromCandidate(db, m.front().kind, m.front().index));
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
