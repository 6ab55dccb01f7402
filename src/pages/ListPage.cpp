#include "pages/ListPage.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "pages/FplEditing.h"
#include "pages/Paging.h"
#include "cdu/CduState.h"
#include "flightplan/FlightPlanState.h"
#include "navdb/NavDbState.h"
#include "pages/PagesState.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "pages/AirwayPages.h"
#include "pages/IdentPage.h"
#include "pages/PageDrawing.h"

namespace {

constexpr int kEntriesPerPage = 6;
constexpr int kDetailEntriesPerPage = 7;
constexpr int kLoadingPeriodFrames = 500;
constexpr Rgba kGrey{0.5f, 0.5f, 0.5f, 1.0f};

bool isDetail(const ListPageState& st) {
    return st.type == kListVor && st.vorDetail;
}

const std::vector<NearestEntry>* nearestListOf(const ListPageState& st) {
    switch (st.type) {
        case kListAirport:
            return &st.airports;
        case kListVor:
            return &st.vors;
        case kListNdb:
            return &st.ndbs;
        case kListInts:
            return &st.intersections.result();  // empty until the search has finished
        default:
            return nullptr;
    }
}

// Entries of the list on display; -1 for a type without a list.
int listLength(const ListPageState& st) {
    if (st.type == kListAirway) return static_cast<int>(st.airways.size());
    const std::vector<NearestEntry>* list = nearestListOf(st);
    return list != nullptr ? static_cast<int>(list->size()) : -1;
}

void showFpl() {
    clearScratchpad();
    pagesState().list.vorDetail = false;
    cduState().currentPage = kPageFpl;
}

void buildList(ListPageState& st, int type) {
    const NavDatabase& db = navDbState().database;
    st.type = type;
    st.listPage = 1;
    switch (type) {
        case kListAirport:
            st.airports = buildNearestList(db, NearestCategory::Airport, st.reference);
            break;
        case kListVor:
            st.vors = buildNearestList(db, NearestCategory::Vor, st.reference);
            break;
        case kListNdb:
            st.ndbs = buildNearestList(db, NearestCategory::Ndb, st.reference);
            break;
        case kListAirway:
            airwaysThroughFix(db, st.reference, st.airways);
            break;
        default:
            break;
    }
}

void handleMenuKeys(ListPageState& st, const FplLeg& firstLeg) {
    KeyState& keys = cduState().keys;
    const int lsk = keys.pendingLsk;
    if (lsk == kLskNone) return;
    resetLsk();
    // Keys without a function here are taken too: a leftover R4 would act as OVFLY on the
    // FPL page that RTN leads to.
    switch (lsk) {
        case kLskL1:
            st.reference = firstLeg;
            buildList(st, kListAirport);
            break;
        case kLskL2:
            st.reference = firstLeg;
            buildList(st, kListNdb);
            break;
        case kLskL3:
            // A search that still runs keeps its list: the second press is ignored.
            if (st.intersections.running()) break;
            st.reference = firstLeg;
            st.intersections.start(navDbState().database, firstLeg);
            st.loadingFrames = 0;
            buildList(st, kListInts);
            break;
        case kLskR1:
            if (st.type == kListVor) {
                st.vorDetail = !st.vorDetail;
                st.listPage = 1;
            } else {
                st.reference = firstLeg;
                st.vorDetail = false;
                buildList(st, kListVor);
            }
            break;
        case kLskR2:
            st.reference = firstLeg;
            buildList(st, kListAirway);
            break;
        case kLskR3:
            st.type = kListGap;
            insertGap();
            st.type = kListAfterGap;
            st.listPage = 1;
            cduState().currentPage = kPageFpl;
            break;
        case kLskR5:
            showFpl();
            break;
        case kLskL4:
        case kLskL5:
        case kLskR4:
        default:
            break;
    }
}

void handlePaging(ListPageState& st) {
    const int perPage = isDetail(st) ? kDetailEntriesPerPage : kEntriesPerPage;
    const int pages = pageCountFor(listLength(st), perPage);
    stepPage(st.listPage, pages);
    st.listPage = clampPage(st.listPage, pages);
}

// ENTER with a list number: the chosen record joins the plan at its end and the FPL page
// shows the plan's last page.
void handleChoice(ListPageState& st) {
    KeyState& keys = cduState().keys;
    if (keys.pendingPadKey != kPadEnter) return;
    resetPadKey();  // a pending ENTER would hold up typing
    const int length = listLength(st);
    const int n = std::atoi(keys.scratchpad.c_str());
    if (length <= 0 || n < 1 || n > length) return;
    clearScratchpad();
    st.listPage = 1;
    if (st.type == kListAirway) {
        st.chosenAirway = st.airways[static_cast<size_t>(n - 1)].index;
        st.type = kListAirwayEntry;
        return;
    }
    const WaypointKind kind = st.type == kListAirport ? WaypointKind::Airport
                              : st.type == kListInts  ? WaypointKind::Fix
                                                      : WaypointKind::Navaid;
    const NearestEntry& entry = (*nearestListOf(st))[static_cast<size_t>(n - 1)];
    FplLeg leg = legFromCandidate(navDbState().database, kind, entry.index);
    if (leg.waypointKind == WaypointKind::None) return;
    appendLegAtCursor(leg);
    pagesState().fpl.fplPage = planLegCount() / kFplLinesPerPage + 1;
    showFpl();
}

const char* headingOf(int type) {
    switch (type) {
        case kListAirport:
            return "AIRPORT  #";
        case kListVor:
            return "VOR/PLT  #";
        case kListAirway:
            return "AIRWAY   #";
        case kListNdb:
            return "NDB      #";
        case kListInts:
            return "INTS      #";
        default:
            return nullptr;
    }
}

void drawMenu(const ListPageState& st) {
    for (int row : {2, 4, 6, 10}) {
        drawLeftPrompt(row);
        drawRightPrompt(row);
    }
    drawTextAt(2, 2, colourWhite, fontLarge, alignLeft, "APT");
    drawTextAt(2, 4, colourWhite, fontLarge, alignLeft, "NDB");
    drawTextAt(2, 6, colourWhite, fontLarge, alignLeft, "INT");
    drawTextAt(2, 10, colourWhite, fontLarge, alignLeft, "RTE");
    drawTextAt(22, 2, colourWhite, fontLarge, alignRight, st.type == kListVor ? "PLN" : "VOR");
    drawTextAt(22, 4, colourWhite, fontLarge, alignRight, "AIR");
    drawTextAt(22, 6, colourWhite, fontLarge, alignRight, "GAP");
    drawTextAt(22, 10, colourWhite, fontLarge, alignRight, "RTN");
    drawTextAt(19, 3, colourWhite, fontMed, alignLeft, st.type == kListVor ? "LANG" : "PLT");
    drawTextAt(19, 5, colourWhite, fontMed, alignLeft, "WAYS");
    // The separator between the headings and the lists.
    cduPush();
    cduColour(colourYellow);
    cduLineWidth(2.0f);
    cduLine(textColumnX[0], textRowY[1] - 0.012f, textColumnX[23] + 0.0267f, textRowY[1] - 0.012f);
    cduPop();
}

std::string scratchpadShown() {
    return cduState().keys.scratchpad.substr(0, 2);
}

const std::string& identOf(const NavDatabase& db, int type, int32_t index) {
    static const std::string kNone;
    const size_t i = static_cast<size_t>(index);
    if (index < 0) return kNone;
    if (type == kListAirport) return i < db.airports.size() ? db.airports[i].ident : kNone;
    if (type == kListInts) return i < db.fixes.size() ? db.fixes[i].ident : kNone;
    return i < db.navaids.size() ? db.navaids[i].ident : kNone;
}

void drawList(ListPageState& st) {
    const NavDatabase& db = navDbState().database;
    const int length = std::max(listLength(st), 0);
    drawTextAt(6, 0, colourGreen, fontLarge, alignLeft, "LIST %d/%d", st.listPage,
               pageCountFor(length, kEntriesPerPage));
    drawTextAt(5, 1, kGrey, fontLarge, alignLeft, "%s", headingOf(st.type));
    drawTextAt(15, 1, colourWhite, fontLarge, alignLeft, "%s", scratchpadShown().c_str());
    drawTextAt(5, 3, colourWhite, fontMed, alignLeft, "FROM %s", st.reference.ident.c_str());
    if (st.type == kListInts && !st.intersections.ready()) {
        if (st.loadingFrames % kLoadingPeriodFrames == 0)
            drawTextAt(9, 4, colourYellow, fontLarge, alignLeft, "LOADING");
        ++st.loadingFrames;
        return;
    }
    const int first = firstEntryOnPage(st.listPage, kEntriesPerPage);
    for (int k = first; k < std::min(first + kEntriesPerPage, length); ++k) {
        const int row = 4 + (k - first);
        drawTextAt(5, row, colourWhite, fontMed, alignLeft, "%d", k + 1);
        if (st.type == kListAirway) {
            drawTextAt(9, row, colourGreen, fontMed, alignLeft, "%s",
                       st.airways[static_cast<size_t>(k)].name.c_str());
            continue;
        }
        const NearestEntry& e = (*nearestListOf(st))[static_cast<size_t>(k)];
        drawTextAt(9, row, colourGreen, fontMed, alignLeft, "%s", identOf(db, st.type, e.index).c_str());
        drawTextAt(16, row, colourGreen, fontMed, alignRight, "%d", e.distanceNm);
    }
}

// VOR/PLT with names: seven entries per page on rows 2 to 8.
void drawVorDetail(const ListPageState& st) {
    const NavDatabase& db = navDbState().database;
    const int length = static_cast<int>(st.vors.size());
    drawTextAt(6, 0, colourGreen, fontLarge, alignLeft, "LIST %d/%d", st.listPage,
               pageCountFor(length, kDetailEntriesPerPage));
    drawTextAt(5, 1, kGrey, fontLarge, alignLeft, "VOR/PLT        #");
    drawTextAt(21, 1, colourWhite, fontLarge, alignLeft, "%s", scratchpadShown().c_str());
    const int first = firstEntryOnPage(st.listPage, kDetailEntriesPerPage);
    for (int k = first; k < std::min(first + kDetailEntriesPerPage, length); ++k) {
        const int row = 2 + (k - first);
        const size_t i = static_cast<size_t>(st.vors[static_cast<size_t>(k)].index);
        if (i >= db.navaids.size()) continue;
        drawTextAt(1, row, colourWhite, fontMed, alignLeft, "%d", k + 1);
        drawTextAt(3, row, colourGreen, fontMed, alignLeft, "%s", db.navaids[i].ident.c_str());
        // The name ends at the screen's edge.
        drawTextAt(9, row, colourGreen, fontMed, alignLeft, "%s", db.navaids[i].name.substr(0, 15).c_str());
    }
    drawRightPromptText(10, 21, "RETURN");
}

}  // namespace

void resetListSelection() {
    pagesState().list.listPage = 1;
}

void runListPage() {
    ListPageState& st = pagesState().list;
    const FplLeg* first = planLeg(0);
    if (first == nullptr) {
        // No reference point without a plan. The page's keys are taken all the same, so
        // that none of them acts later on another page (an L1 would select an FPL line).
        KeyState& keys = cduState().keys;
        if (keys.pendingLsk != kLskNone) resetLsk();
        if (keys.pendingFunctionKey == kFnNext || keys.pendingFunctionKey == kFnPrev) resetFunctionKey();
        if (keys.pendingPadKey == kPadEnter) resetPadKey();
        return;
    }
    const FplLeg firstLeg = *first;
    if (st.type == kListAirwayEntry) {
        runAirwayEntryPage();
        return;
    }
    // The list number is at most two digits.
    if (cduState().keys.scratchpad.size() > 2) cduState().keys.scratchpad.resize(2);

    handleMenuKeys(st, firstLeg);
    if (cduState().currentPage != kPageList) return;
    handlePaging(st);
    handleChoice(st);
    if (cduState().currentPage != kPageList) return;
    if (st.type == kListAirwayEntry) {
        runAirwayEntryPage();  // the airway just chosen
        return;
    }

    if (isDetail(st)) {
        drawVorDetail(st);
        return;
    }
    drawMenu(st);
    if (headingOf(st.type) != nullptr) drawList(st);
}
