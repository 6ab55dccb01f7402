#include <string>
#include <vector>

#include "cdu/CduRenderer.h"
#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "flightplan/ProcedureChoice.h"
#include "navdb/NavDbState.h"
#include "navdb/Procedures.h"
#include "pages/NumberedList.h"
#include "pages/PageTable.h"
#include "pages/ProcedurePageParts.h"
#include "pages/ProcedurePages.h"

namespace {

constexpr size_t kEntryCharacters = 2;
enum Step { kRunwayStep = 1, kSidStep = 2, kTransitionStep = 3, kSummaryStep = 8 };

int stepOf(const DeparturePageState& p) {
    if (!p.runwayChosen) return kRunwayStep;
    if (!p.sidChosen && !p.noSid) return kSidStep;
    if (p.sidChosen && !p.transitionChosen) return kTransitionStep;
    return kSummaryStep;
}

ProcedureLists& lists() {
    return navDbState().procedures;
}

const MenuEntry* chosenSid(const Airport& airport) {
    const std::vector<MenuEntry>& menu = lists().sidMenu;
    if (airport.sidIndex < 0 || static_cast<size_t>(airport.sidIndex) >= menu.size()) return nullptr;
    return &menu[static_cast<size_t>(airport.sidIndex)];
}

void drawRunwayIdent(const Airport& airport, const DeparturePageState& p) {
    if (p.runwayPosition >= 0 && static_cast<size_t>(p.runwayPosition) < airport.runways.size())
        drawTextAt(22, 4, colourGreen, fontLarge, alignRight, "%s",
                   airport.runways[static_cast<size_t>(p.runwayPosition)].ident.c_str());
}

void runwayStep(Airport& airport, DeparturePageState& p) {
    const std::vector<std::string> runways = runwayIdents(airport);
    drawTextAt(1, 1, colourWhite, fontMed, alignLeft, "SEL RUNWAY");
    drawTextAt(12, 6, colourGreen, fontMed, alignLeft, "------.----");
    drawTextAt(19, 10, colourWhite, fontLarge, alignLeft, "FPL");
    drawSelectionEntryField(4);
    const ListEntry entry = runSelectionList("DEPARTURE", runways);
    if (entry.kind != ListEntry::Number) return;
    const int n = entry.positionIn(runways.size());
    p.runwayChosen = n >= 0;
    if (n < 0) return;
    p.runwayPosition = n;
    Runway* runway = pointAirportAt(airport, n);
    loadSids(airport);
    chooseDepartureRunway(runway);
    procedureListPage() = 0;
}

void sidStep(Airport& airport, DeparturePageState& p) {
    std::vector<std::string> names;
    for (const MenuEntry& e : lists().sidMenu) names.push_back(e.name);
    drawRunwayIdent(airport, p);
    drawTextAt(1, 1, colourWhite, fontMed, alignLeft, names.empty() ? "NO SID" : "SEL SID");
    drawTextAt(15, 10, colourWhite, fontLarge, alignLeft, "PLT RTE");
    if (!names.empty()) {
        drawTextAt(19, 6, colourWhite, fontMed, alignLeft, "#");
        drawSelectionEntryField(6);
    }
    const ListEntry entry = runSelectionList("DEPARTURE", names);
    if (entry.kind == ListEntry::None) return;
    pointAirportAt(airport, p.runwayPosition);
    // A transition chosen for another SID does not belong to the new choice.
    chooseSidTransition(nullptr);
    p.transitionChosen = false;
    if (entry.kind == ListEntry::Empty) {
        // No SID: nothing of an earlier SID may stay in the runway part either.
        p.sidChosen = false;
        p.noSid = true;
        airport.sidIndex = -1;
        fillSidRunwayLegs(airport);
        return;
    }
    const int n = entry.positionIn(names.size());
    p.sidChosen = n >= 0;
    if (n < 0) return;
    p.sidPosition = n;
    airport.sidIndex = n;
    airport.sidTransitionIndex = -1;
    buildSidLists(airport);
    fillSidRunwayLegs(airport);
    procedureListPage() = 0;
}

// The SID's runway part, which stands for "no transition" (its transition text is "NONE").
const Procedure* runwayPartOf(const MenuEntry& sid) {
    const Procedure* found = nullptr;
    for (const Procedure& part : lists().sidRunwayParts)
        if (part.name == sid.name && part.transitionName == "NONE") found = &part;
    return found;
}

void chooseNoTransition(const Airport& airport, DeparturePageState& p) {
    const MenuEntry* sid = chosenSid(airport);
    if (sid == nullptr) return;
    if (const Procedure* part = runwayPartOf(*sid)) {
        chooseSidTransition(part);
        p.transitionChosen = true;
    }
}

void transitionStep(Airport& airport, DeparturePageState& p) {
    const std::vector<Procedure>& transitions = lists().sidTransitions;
    std::vector<std::string> names;
    for (const Procedure& t : transitions) names.push_back(t.transitionName);
    drawRunwayIdent(airport, p);
    if (const MenuEntry* sid = chosenSid(airport))
        drawTextAt(12, 6, colourGreen, fontLarge, alignLeft, "%s.", sid->name.c_str());
    drawTextAt(1, 1, colourWhite, fontMed, alignLeft, "SEL TRANS");
    drawTextAt(15, 10, colourWhite, fontLarge, alignLeft, "PLT RTE");
    drawTextAt(19, 6, colourWhite, fontMed, alignRight, "#");
    drawSelectionEntryField(6);
    KeyState& keys = cduState().keys;
    if (keys.pendingLsk == kLskR5 && keys.scratchpad.empty()) chooseNoTransition(airport, p);
    const ListEntry entry = runSelectionList("DEPARTURE", names);
    if (entry.kind == ListEntry::Empty) chooseNoTransition(airport, p);
    if (entry.kind != ListEntry::Number) return;
    const int n = entry.positionIn(transitions.size());
    p.transitionChosen = n >= 0;
    if (n < 0) return;
    chooseSidTransition(&transitions[static_cast<size_t>(n)]);
    airport.sidTransitionIndex = n;
}

void summaryStep(const Airport& airport, const DeparturePageState& p) {
    drawTextAt(5, 0, colourGreen, fontLarge, alignLeft, "DEPARTURE 1/1");
    drawRunwayIdent(airport, p);
    const ProcedureSelections& sel = flightPlanState().selections;
    if (sel.sidTransition)
        drawTextAt(22, 6, colourGreen, fontLarge, alignRight, "%s.%s", sel.sidTransition->name.c_str(),
                   sel.sidTransition->transitionName.c_str());
    drawTextAt(15, 10, colourWhite, fontLarge, alignLeft, "PLT RTE");
    // ENTER has nothing to choose here; it must not hold up the scratchpad.
    takeListEntry();
}

void actOnKeys(Airport& airport, DeparturePageState& p) {
    const int key = cduState().keys.pendingLsk;
    if (key == kLskNone) return;
    resetLsk();
    if (key == kLskR2 && p.runwayChosen) {
        p = DeparturePageState{};
        chooseSidTransition(nullptr);
        clearScratchpad();
        procedureListPage() = 0;
    } else if (key == kLskR3 && (p.sidChosen || p.noSid)) {
        // Back to the SID list, also from "no SID".
        p.sidChosen = false;
        p.noSid = false;
        p.transitionChosen = false;
        chooseSidTransition(nullptr);
        clearScratchpad();
        procedureListPage() = 0;
        // The SIDs are read again, for this page's runway.
        airport.sidsLoaded = 0;
        pointAirportAt(airport, p.runwayPosition);
        loadSids(airport);
    } else if (key == kLskR5) {
        insertDepartureAndLeave();
    }
}

}  // namespace

void runDeparturePage() {
    KeyState& keys = cduState().keys;
    if (keys.scratchpad.size() > kEntryCharacters) keys.scratchpad.resize(kEntryCharacters);

    Airport* airport = airportOfLeg(planLeg(0));
    if (airport == nullptr) {
        cduState().currentPage = kPageFpl;
        return;
    }
    DeparturePageState& p = departurePageState();
    if (chooseDepartureAirport(*airport)) {
        p = DeparturePageState{};
        procedureListPage() = 0;
    }
    airport->dbIndex = planLeg(0)->dbIndex;

    drawTextAt(17, 1, colourWhite, fontMed, alignLeft, "DEPART");
    drawTextAt(19, 2, colourGreen, fontLarge, alignLeft, "%s", airport->ident.c_str());
    drawTextAt(17, 3, colourWhite, fontMed, alignLeft, "RUNWAY");
    drawTextAt(19, 4, colourWhite, fontMed, alignLeft, "#");
    drawTextAt(20, 5, colourWhite, fontMed, alignLeft, "SID");
    drawRightPrompt(10);

    switch (stepOf(p)) {
        case kRunwayStep:
            runwayStep(*airport, p);
            break;
        case kSidStep:
            sidStep(*airport, p);
            break;
        case kTransitionStep:
            transitionStep(*airport, p);
            break;
        default:
            summaryStep(*airport, p);
            break;
    }
    actOnKeys(*airport, p);
}
