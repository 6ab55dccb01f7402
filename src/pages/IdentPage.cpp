#include "pages/IdentPage.h"

#include <cmath>

#include "pages/FplEditing.h"
#include "cdu/CduState.h"
#include "navdb/NavDbState.h"
#include "pages/PagesState.h"
#include "cdu/CduRenderer.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "navdb/IdentResolve.h"
#include "pages/AirwayPages.h"
#include "pages/FuelPages.h"
#include "pages/IdentField.h"
#include "pages/PositionText.h"
#include "pages/ReferencePages.h"

namespace {

constexpr int kAcceptLsk = 4;  // L5
constexpr int kReturnLsk = 9;  // R5

// The record's position, name and category as the page shows them.
struct CandidateView {
    bool valid = false;
    const char* category = "";
    std::string ident;
    std::string name;
    double latitude = 0.0;
    double longitude = 0.0;
    const Airport* airport = nullptr;
    const Navaid* navaid = nullptr;
};

CandidateView viewOf(const NavDatabase& db, WaypointKind kind, int32_t index) {
    CandidateView v;
    if (index < 0) return v;
    const size_t i = static_cast<size_t>(index);
    if (kind == WaypointKind::Airport && isSet(db.airportsLoaded) && i < db.airports.size()) {
        const Airport& a = db.airports[i];
        v = {true, "APT", a.ident, a.name, a.latitude, a.longitude, &a, nullptr};
    } else if (kind == WaypointKind::Navaid && isSet(db.navaidsLoaded) && i < db.navaids.size()) {
        const Navaid& n = db.navaids[i];
        v = {true, "NAV", n.ident, n.name, n.latitude, n.longitude, nullptr, &n};
    } else if (kind == WaypointKind::Fix && isSet(db.fixesLoaded) && i < db.fixes.size()) {
        const Fix& x = db.fixes[i];
        v = {true, "FIX", x.ident, "", x.latitude, x.longitude, nullptr, nullptr};
    }
    return v;
}

// "N" at column 6 and " 47 27.03" right-aligned at column 15.
void drawCoordinate(int row, char hemisphere, double value) {
    DegreesMinutes dm = degreesMinutes(value, 2);
    drawTextAt(6, row, colourGreen, fontLarge, alignLeft, "%c", hemisphere);
    drawTextAt(15, row, colourGreen, fontLarge, alignRight, "%3d %02.02f", dm.degrees, dm.minutes);
}

void drawCandidate(const CandidateView& v, int number, int count) {
    drawTextAt(6, 0, colourGreen, fontLarge, alignLeft, "%s      %d/%d", v.ident.c_str(), number, count);
    if (!v.name.empty()) drawTextAt(0, 1, colourGreen, fontLarge, alignLeft, "%s", v.name.c_str());
    drawTextAt(1, 2, colourGreen, fontLarge, alignLeft, "%s", v.category);
    drawCoordinate(2, latitudeHemisphere(v.latitude), v.latitude);
    drawCoordinate(3, longitudeHemisphere(v.longitude), v.longitude);
    if (v.airport != nullptr) {
        drawTextAt(1, 6, colourGreen, fontLarge, alignLeft, "ELEV %5d", v.airport->elevationFt);
    } else if (v.navaid != nullptr) {
        const Navaid& n = *v.navaid;
        drawTextAt(1, 5, colourGreen, fontLarge, alignLeft, "%s", navaidTypeText(n.type));
        drawTextAt(1, 6, colourGreen, fontLarge, alignLeft, "FREQ");
        drawTextAt(15, 6, colourGreen, fontLarge, alignRight, "%3.2f", n.frequency);
        drawTextAt(1, 7, colourGreen, fontLarge, alignLeft, "ELEV");
        drawTextAt(15, 7, colourGreen, fontLarge, alignRight, "%5d", n.elevationFt);
        drawTextAt(1, 8, colourGreen, fontLarge, alignLeft, "DECL");
        // The letter gives the side, so the figure is shown without a sign.
        drawTextAt(15, 8, colourGreen, fontLarge, alignRight, n.declination < 0.0f ? "W  %2.1f" : "E  %2.1f",
                   std::fabs(n.declination));
    }
}

// Whether the asking page takes the record: the DATA page only from its reference pages (the
// procedure and runway pages take airports alone, the airway page any waypoint); the WPT
// IDENT lookup of the DATA/NAV menu only browses.
bool acceptOffered(int askingPage, WaypointKind kind) {
    if (askingPage == kPageFpl || askingPage == kPageFuel) return true;
    if (askingPage == kPageData) {
        int nav = pagesState().data.dataNavPage;
        return pagesState().data.dataLevel == kDataNav &&
               ((nav >= kDataNavSid && nav <= kDataNavRunway && kind == WaypointKind::Airport) ||
                nav == kDataNavAirway);
    }
    return false;
}

void handOver(int askingPage, const FplLeg& leg) {
    // The FPL page inserts before its selected line (or appends past the end); the
    // reference pages behind the DATA/NAV menu take an airport, the fuel page its TO waypoint.
    if (askingPage == kPageFpl) insertWaypointAtSelection(leg);
    if (askingPage == kPageData) {
        if (pagesState().data.dataNavPage == kDataNavAirway)
            receiveAirwayReference(leg);
        else
            receiveReferenceAirport(leg);
    }
    if (askingPage == kPageFuel) receiveFuelWaypoint(leg);
    cduState().currentPage = askingPage;
}

void leave(int page) {
    pagesState().ident.shown = 0;
    cduState().currentPage = page;
}

}  // namespace

const char* navaidTypeText(NavaidType type) {
    switch (type) {
        case NavaidType::Localizer:
            return "LOCALIZER";
        case NavaidType::Ndb:
            return "NDB";
        case NavaidType::Vor:
            return "VOR";
        case NavaidType::VorDme:
            return "VOR/DME";
        case NavaidType::Dme:
            return "ILS";
    }
    return "";
}

FplLeg legFromCandidate(const NavDatabase& db, WaypointKind kind, int32_t index) {
    return legForRecord(db, kind, index);
}

void openIdentPage(int askingPage) {
    pagesState().ident.shown = 0;
    pagesState().ident.askingPage = askingPage;
    const IdentMatches* list = identCandidatesOf(askingPage);
    pagesState().ident.seen = list != nullptr ? *list : IdentMatches{};
    cduState().previousPage = askingPage;
    cduState().currentPage = kPageIdent;
}

void runIdentPage() {
    KeyState& keys = cduState().keys;
    IdentPageState& st = pagesState().ident;
    const int asking = cduState().previousPage;
    // A copy: the asking page may replace its list while this page works from it.
    const IdentMatches* source = identCandidatesOf(asking);
    const IdentMatches candidates = source != nullptr ? *source : IdentMatches{};
    // A page that opened this one without openIdentPage (or a new search) starts afresh.
    if (asking != st.askingPage || candidates != st.seen) {
        st.shown = 0;
        st.askingPage = asking;
        st.seen = candidates;
    }
    const int count = static_cast<int>(candidates.size());
    if (st.shown < 0 || st.shown >= count) st.shown = 0;

    if (keys.pendingFunctionKey == kFnNext || keys.pendingFunctionKey == kFnPrev) {
        if (count > 0) st.shown = (st.shown + (keys.pendingFunctionKey == kFnNext ? 1 : count - 1)) % count;
        resetFunctionKey();
    }

    const NavDatabase& db = navDbState().database;
    CandidateView view =
        count > 0 ? viewOf(db, candidates[st.shown].kind, candidates[st.shown].index) : CandidateView{};
    const bool canAccept = view.valid && count > 0 && acceptOffered(asking, candidates[st.shown].kind);

    if (keys.pendingLsk == kReturnLsk) {
        resetLsk();
        leave(asking);
        return;
    }
    const bool acceptPressed = keys.pendingLsk == kAcceptLsk || keys.pendingPadKey == kPadEnter;
    if (keys.pendingLsk == kAcceptLsk) resetLsk();
    if (keys.pendingPadKey == kPadEnter) resetPadKey();
    if (acceptPressed && canAccept) {
        FplLeg leg = legFromCandidate(db, candidates[st.shown].kind, candidates[st.shown].index);
        st.shown = 0;
        if (leg.waypointKind != WaypointKind::None) handOver(asking, leg);
        return;
    }

    if (view.valid) drawCandidate(view, st.shown + 1, count);
    drawTextAt(21, 10, colourWhite, fontLarge, alignRight, "RETURN");
    if (canAccept) drawTextAt(1, 10, colourWhite, fontLarge, alignLeft, "ACCEPT");
}
