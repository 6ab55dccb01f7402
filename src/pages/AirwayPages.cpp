#include "pages/AirwayPages.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "navdb/AirwayPoints.h"
#include "navdb/NavDbState.h"
#include "pages/IdentField.h"
#include "pages/PageDrawing.h"
#include "pages/PagesState.h"
#include "pages/Paging.h"
#include "platform/Platform.h"

namespace {

constexpr int kAirwaysPerPage = 6;
constexpr size_t kMaxAirways = 99;
constexpr int kPointsPerReferencePage = 16;
constexpr int kPointsPerEntryPage = 12;
constexpr int kReferenceFieldWidth = 5;
constexpr int kAirwayNumberWidth = 2;
// Point numbers of the longest airways have three digits.
constexpr size_t kPointNumberDigits = 3;

// NEXT and PREV within 0..pages - 1 (the page numbers these pages keep); NEXT only when
// `nextAllowed`.
void stepZeroBasedPage(int& page, int pages, bool nextAllowed = true) {
    KeyState& keys = cduState().keys;
    if (keys.pendingFunctionKey == kFnNext) {
        if (nextAllowed) ++page;
        resetFunctionKey();
    } else if (keys.pendingFunctionKey == kFnPrev) {
        --page;
        resetFunctionKey();
    }
    page = std::clamp(page, 0, pages - 1);
}

const Airway* airwayAt(int index) {
    const NavDatabase& db = navDbState().database;
    if (!isSet(db.airwaysLoaded) || index < 0 || static_cast<size_t>(index) >= db.airways.size())
        return nullptr;
    return &db.airways[static_cast<size_t>(index)];
}

// AIRWAY IDENT: while L2 is pending the typed number shows on a bar; ENTER chooses it.
void runAirwayNumberField(AirwayReferencePageState& st, bool drawn) {
    KeyState& keys = cduState().keys;
    if (keys.pendingLsk != kLskL2) {
        if (!drawn) return;
        if (st.chosen > 0)
            drawTextAt(1, 4, colourGreen, fontLarge, alignLeft, "%d", st.chosen);
        else
            drawTextAt(1, 4, colourGreen, fontLarge, alignLeft, "--");
        return;
    }
    if (keys.scratchpad.size() > kAirwayNumberWidth) keys.scratchpad.resize(kAirwayNumberWidth);
    if (keys.pendingPadKey == kPadEnter && !keys.scratchpad.empty()) {
        st.chosen = std::atoi(keys.scratchpad.c_str());
        clearScratchpad();
        resetPadKey();
        resetLsk();
        return;
    }
    if (!drawn) return;
    drawFieldBar(1, 4, kAirwayNumberWidth);
    drawTextAt(1, 4, colourBlack, fontLarge, alignLeft, "%s", keys.scratchpad.c_str());
}

void drawAirwayList(AirwayReferencePageState& st) {
    const int count = static_cast<int>(st.airways.size());
    const int pages = pageCountFor(static_cast<int>(st.airways.size()), kAirwaysPerPage);
    stepZeroBasedPage(st.listPage, pages, count > kAirwaysPerPage);
    drawTextAt(7, 0, colourGreen, fontLarge, alignLeft, "AIRWAYS  %d/%d", st.listPage + 1, pages);
    drawTextAt(1, 1, colourWhite, fontMed, alignLeft, "REF WPT");
    runIdentField(st.referenceField, kLskL1, 2, 1, false, kReferenceFieldWidth);
    drawTextAt(1, 3, colourWhite, fontMed, alignLeft, "AIRWAY IDENT");
    const int first = st.listPage * kAirwaysPerPage;
    for (int k = first; k < std::min(first + kAirwaysPerPage, count); ++k) {
        const int row = 2 + (k - first);
        drawTextAt(14, row, colourWhite, fontMed, alignLeft, "%d", k + 1);
        drawTextAt(16, row, colourGreen, fontMed, alignLeft, "%s",
                   st.airways[static_cast<size_t>(k)].name.c_str());
    }
}

// Points of an airway page in two columns: numbers right-aligned at the number columns, each
// identifier two cells (reference page) or one cell (entry page) after its number column.
struct PointColumns {
    int perPage;
    int firstRow;
    int numberColumn[2];
    int identOffset;
    const char* numberFormat;
};
constexpr PointColumns kReferenceColumns{kPointsPerReferencePage, 2, {3, 17}, 2, "%d"};
constexpr PointColumns kEntryColumns{kPointsPerEntryPage, 3, {4, 15}, 1, "%d "};

void drawPointColumns(const std::vector<AirwayPoint>& points, int page, const PointColumns& c) {
    const int first = page * c.perPage;
    const int perColumn = c.perPage / 2;
    for (int k = first; k < std::min(first + c.perPage, static_cast<int>(points.size())); ++k) {
        const int slot = k - first;
        const int row = c.firstRow + slot % perColumn;
        const int numberColumn = c.numberColumn[slot < perColumn ? 0 : 1];
        drawTextAt(numberColumn, row, colourWhite, fontMed, alignRight, c.numberFormat, k + 1);
        drawTextAt(numberColumn + c.identOffset, row, colourGreen, fontMed, alignLeft, "%s",
                   points[static_cast<size_t>(k)].ident.c_str());
    }
}

void drawAirwayPoints(AirwayReferencePageState& st, const Airway& airway) {
    const std::vector<AirwayPoint> points = airwayPoints(airway);
    const int pages = pageCountFor(static_cast<int>(points.size()), kPointsPerReferencePage);
    stepZeroBasedPage(st.listPage, pages);
    drawTextAt(7, 0, colourGreen, fontLarge, alignLeft, "AIRWAYS %d/%d", st.listPage + 1, pages);
    drawTextAt(10, 1, colourGreen, fontMed, alignLeft, "%s", airway.name.c_str());
    drawPointColumns(points, st.listPage, kReferenceColumns);
}

}  // namespace

void resetAirwayReferencePage() {
    pagesState().airwayReference = AirwayReferencePageState{};
}

void receiveAirwayReference(const FplLeg& leg) {
    AirwayReferencePageState& st = pagesState().airwayReference;
    st.reference = leg;
    st.referenceField.text = leg.ident;
    st.chosen = 0;
    st.shown = false;
    st.listPage = 0;
    airwaysThroughFix(navDbState().database, leg, st.airways);
    if (st.airways.size() > kMaxAirways) st.airways.resize(kMaxAirways);
}

void runAirwayReferencePage() {
    AirwayReferencePageState& st = pagesState().airwayReference;
    KeyState& keys = cduState().keys;

    // A chosen number within the list shows that airway; any other number clears the choice.
    runAirwayNumberField(st, !st.shown);
    const bool show = st.chosen >= 1 && st.chosen <= static_cast<int>(st.airways.size());
    if (show != st.shown) st.listPage = 0;
    st.shown = show;
    if (!show) st.chosen = 0;
    const Airway* airway = show ? airwayAt(st.airways[static_cast<size_t>(st.chosen - 1)].index) : nullptr;

    drawRightPromptText(10, 21, "RETURN");
    if (airway != nullptr)
        drawAirwayPoints(st, *airway);
    else
        drawAirwayList(st);

    // L1 and L2 stay pending while their fields take typing; the other keys have no function
    // here (R5 is the DATA page's).
    const int lsk = keys.pendingLsk;
    if (lsk != kLskNone && lsk != kLskL1 && lsk != kLskL2 && lsk != kLskR5) resetLsk();
    if (lsk == kLskL1 && st.shown) resetLsk();
}

void enterAirway(int airwayIndex, int toNumber) {
    const Airway* airway = airwayAt(airwayIndex);
    const FplLeg* last = lastPlanLeg();
    if (airway != nullptr) {
        const std::vector<AirwayPoint> points = airwayPoints(*airway);
        const int count = static_cast<int>(points.size());
        int from = -1;
        for (int k = 0; last != nullptr && k < count; ++k) {
            if (points[static_cast<size_t>(k)].ident == last->ident) {
                from = k;
                break;
            }
        }
        const int to = std::clamp(toNumber - 1, 0, std::max(count - 1, 0));
        const int step = to > from ? 1 : -1;
        // The walk starts from the category of the waypoint it leaves.
        WaypointKind& guess = pagesState().airwayEntry.lastGuess;
        guess = last != nullptr && last->waypointKind == WaypointKind::Navaid ? WaypointKind::Navaid
                                                                              : WaypointKind::Fix;
        std::vector<FplLeg> legs;
        for (int k = from + step; count > 0 && k != to + step; k += step) {
            FplLeg leg = legForAirwayPoint(navDbState().database, points[static_cast<size_t>(k)], guess);
            if (leg.waypointKind != WaypointKind::None) legs.push_back(std::move(leg));
        }
        appendLegs(legs);
    }
    pagesState().fpl.fplPage = planLegCount() / kFplLinesPerPage + 1;
    cduState().currentPage = kPageFpl;
}

void runAirwayEntryPage() {
    AirwayEntryPageState& st = pagesState().airwayEntry;
    ListPageState& list = pagesState().list;
    KeyState& keys = cduState().keys;
    if (keys.scratchpad.size() > kPointNumberDigits) keys.scratchpad.resize(kPointNumberDigits);
    const Airway* airway = airwayAt(list.chosenAirway);
    const std::vector<AirwayPoint> points =
        airway != nullptr ? airwayPoints(*airway) : std::vector<AirwayPoint>{};

    if (keys.pendingLsk == kLskR5) {
        // Back to the airway list the airway was chosen from.
        list.type = kListAirway;
        resetLsk();
        return;
    }
    if (keys.pendingLsk != kLskNone) resetLsk();
    if (keys.pendingPadKey == kPadEnter) {
        resetPadKey();
        if (!keys.scratchpad.empty()) {
            const int to = std::atoi(keys.scratchpad.c_str());
            clearScratchpad();
            list.type = kListNone;
            st.listPage = 0;
            enterAirway(list.chosenAirway, to);
            return;
        }
    }

    const int pages = pageCountFor(static_cast<int>(points.size()), kPointsPerEntryPage);
    stepZeroBasedPage(st.listPage, pages);
    drawTextAt(7, 0, colourGreen, fontLarge, alignLeft, "AIRWAYS %d/%d", st.listPage + 1, pages);
    drawTextAt(1, 1, colourWhite, fontMed, alignLeft, "FRM");
    drawTextAt(9, 1, colourWhite, fontMed, alignLeft, "VIA");
    drawTextAt(17, 1, colourWhite, fontMed, alignLeft, "TO");
    if (const FplLeg* last = lastPlanLeg())
        drawTextAt(1, 2, colourGreen, fontLarge, alignLeft, "%s", last->ident.c_str());
    if (airway != nullptr) drawTextAt(9, 2, colourGreen, fontLarge, alignLeft, "%s", airway->name.c_str());
    drawFieldBar(17, 2, static_cast<int>(kPointNumberDigits));
    for (size_t i = 0; i < keys.scratchpad.size(); ++i)
        drawTextAt(17 + static_cast<int>(i), 2, colourBlack, fontLarge, alignLeft, "%c", keys.scratchpad[i]);
    drawPointColumns(points, st.listPage, kEntryColumns);
    drawRightPromptText(10, 21, "RETURN");
}
