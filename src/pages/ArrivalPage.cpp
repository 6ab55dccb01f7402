#include <cstdio>
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
#include "pages/ProcedurePageParts.h"
#include "pages/ProcedurePages.h"

namespace {

constexpr size_t kEntryCharacters = 2;
enum Step {
    kRunwayStep = 1,
    kStarStep = 4,
    kStarTransitionStep = 5,
    kApproachStep = 6,
    kApproachTransitionStep = 7,
    kSummaryStep = 8,
};

int stepOf(const ArrivalPageState& p) {
    if (!p.runwayChosen) return kRunwayStep;
    if (!p.starChosen && !p.approachChosen && !p.skipStar) return kStarStep;
    if (p.starChosen && !p.starTransitionChosen && !p.skipStar) return kStarTransitionStep;
    const bool starDone = (p.starChosen && p.starTransitionChosen) || p.skipStar;
    if (starDone && !p.approachChosen) return kApproachStep;
    if (starDone && !p.approachTransitionChosen && !p.skipApproachTransition) return kApproachTransitionStep;
    return kSummaryStep;
}

ProcedureLists& lists() {
    return navDbState().procedures;
}
const ProcedureSelections& selections() {
    return flightPlanState().selections;
}

// The page's runway of the arrival airport, made the airport's selected runway.
Runway* pageRunway(Airport& airport, const ArrivalPageState& p) {
    return pointAirportAt(airport, p.runwayPosition);
}

const MenuEntry* chosenStar(const Airport& airport) {
    const std::vector<MenuEntry>& menu = lists().starMenu;
    if (airport.starIndex < 0 || static_cast<size_t>(airport.starIndex) >= menu.size()) return nullptr;
    return &menu[static_cast<size_t>(airport.starIndex)];
}

void drawRunwayIdent(const Runway* runway) {
    if (runway != nullptr) drawTextAt(22, 4, colourGreen, fontLarge, alignRight, "%s", runway->ident.c_str());
}

void drawChosenStar() {
    const std::optional<Procedure>& star = selections().star;
    if (star)
        drawTextAt(22, 6, colourGreen, fontLarge, alignRight, "%s.%s", star->name.c_str(),
                   star->transitionName.c_str());
}

void drawApprLabel() {
    drawTextAt(22, 7, colourWhite, fontMed, alignRight, "APPR");
}
void drawPilotRoute() {
    drawTextAt(15, 10, colourWhite, fontLarge, alignLeft, "PLT RTE");
}

ListEntry runList(const std::vector<std::string>& texts, ListColumns columns = {}) {
    return runSelectionList("ARRIVAL", texts, columns);
}

void runwayStep(Airport& airport, ArrivalPageState& p) {
    const std::vector<std::string> runways = runwayIdents(airport);
    drawTextAt(1, 1, colourWhite, fontMed, alignLeft, "SEL RUNWAY");
    drawTextAt(12, 6, colourGreen, fontMed, alignLeft, "------.----");
    drawTextAt(12, 8, colourGreen, fontMed, alignLeft, "------.----");
    drawApprLabel();
    drawTextAt(19, 10, colourWhite, fontLarge, alignLeft, "FPL");
    drawSelectionEntryField(4);
    const ListEntry entry = runList(runways);
    if (entry.kind != ListEntry::Number) return;
    const int n = entry.positionIn(runways.size());
    p.runwayChosen = n >= 0;
    if (n < 0) return;
    p.runwayPosition = n;
    Runway* runway = pointAirportAt(airport, n);
    chooseArrivalRunway(runway);
    loadStars(airport);
    loadFinalApproaches(*runway, airport);
    loadApproachTransitions(*runway, airport);
    procedureListPage() = 0;
}

void starStep(Airport& airport, ArrivalPageState& p) {
    std::vector<std::string> names;
    for (const MenuEntry& e : lists().starMenu) names.push_back(e.name);
    drawRunwayIdent(pageRunway(airport, p));
    drawApprLabel();
    drawTextAt(12, 8, colourGreen, fontMed, alignLeft, "------.----");
    if (!names.empty()) {
        drawTextAt(19, 6, colourWhite, fontMed, alignLeft, "#");
        drawSelectionEntryField(6);
    }
    drawTextAt(1, 1, colourWhite, fontMed, alignLeft, names.empty() ? "NO STAR" : "SEL STAR");
    drawPilotRoute();
    const ListEntry entry = runList(names);
    if (entry.kind != ListEntry::Number) return;
    const int n = entry.positionIn(names.size());
    p.starChosen = n >= 0;
    if (n < 0) return;
    p.starPosition = n;
    airport.starIndex = n;
    airport.starTransitionIndex = -1;
    pageRunway(airport, p);
    buildStarTransitions(airport);
    procedureListPage() = 0;
}

void starTransitionStep(Airport& airport, ArrivalPageState& p) {
    const std::vector<Procedure>& transitions = lists().starTransitions;
    std::vector<std::string> names;
    for (const Procedure& t : transitions) names.push_back(t.transitionName);
    drawRunwayIdent(pageRunway(airport, p));
    if (const MenuEntry* star = chosenStar(airport))
        drawTextAt(12, 6, colourGreen, fontLarge, alignLeft, "%s.", star->name.c_str());
    drawTextAt(1, 1, colourWhite, fontMed, alignLeft, "SEL TRANS");
    drawPilotRoute();
    drawTextAt(19, 6, colourWhite, fontMed, alignRight, "#");
    drawSelectionEntryField(6);
    const ListEntry entry = runList(names, ListColumns{1, 3});
    if (entry.kind != ListEntry::Number) return;
    const int n = entry.positionIn(transitions.size());
    p.starTransitionChosen = n >= 0;
    if (n < 0) {
        p.starChosen = false;  // back to the STAR list
        return;
    }
    chooseStar(&transitions[static_cast<size_t>(n)]);
    airport.starTransitionIndex = n;
    procedureListPage() = 0;
}

void approachStep(Airport& airport, ArrivalPageState& p) {
    Runway* runway = pageRunway(airport, p);
    std::vector<std::string> names;
    if (runway != nullptr)
        for (const FinalApproach& a : runway->approaches.finals)
            names.push_back(approachListName(a, runway->ident));
    drawRunwayIdent(runway);
    drawChosenStar();
    drawPilotRoute();
    drawApprLabel();
    if (!names.empty()) {
        drawTextAt(19, 8, colourWhite, fontMed, alignLeft, "#");
        drawSelectionEntryField(8);
    }
    drawTextAt(1, 1, colourWhite, fontMed, alignLeft, names.empty() ? "NO APPROACH" : "SEL APPROACH");
    const ListEntry entry = runList(names);
    if (entry.kind != ListEntry::Number) return;
    // A number outside the list still moves on, without an approach.
    p.approachChosen = true;
    const int n = entry.positionIn(names.size());
    if (n < 0 || runway == nullptr) return;
    const FinalApproach& chosen = runway->approaches.finals[static_cast<size_t>(n)];
    airport.approachIndex = n;
    chooseApproach(&chosen);
    if (selections().arrivalRunway != nullptr && !runway->approaches.transitions.empty())
        keepTransitionsOfApproach(*runway, chosen);
    procedureListPage() = 0;
}

// ".ILS 16L": the chosen approach's type text and the runway.
std::string approachSuffix(const Runway* runway) {
    std::string text;
    if (selections().approach) text += approachTypeText(selections().approach->approachType);
    if (runway != nullptr) text += runway->ident;
    return text;
}

void approachTransitionStep(Airport& airport, ArrivalPageState& p) {
    Runway* runway = pageRunway(airport, p);
    std::vector<std::string> names;
    if (runway != nullptr)
        for (const ApproachTransition& t : runway->approaches.transitions) names.push_back(t.transitionName);
    drawRunwayIdent(runway);
    drawChosenStar();
    drawTextAt(22, 8, colourGreen, fontLarge, alignRight, ".%s", approachSuffix(runway).c_str());
    drawPilotRoute();
    drawApprLabel();
    if (!names.empty()) {
        // The field stands where the transition's name goes, in front of ".ILS 16L".
        drawTextAt(12, 8, colourWhite, fontMed, alignLeft, "#");
        drawSelectionEntryField(8, 14);
    }
    drawTextAt(1, 1, colourWhite, fontMed, alignLeft, names.empty() ? "NO TRANS" : "SEL TRANSITION");
    const ListEntry entry = runList(names);
    if (entry.kind != ListEntry::Number) return;
    p.approachTransitionChosen = true;
    const int n = entry.positionIn(names.size());
    if (n < 0 || runway == nullptr) return;
    airport.approachTransitionIndex = n;
    chooseApproachTransition(&runway->approaches.transitions[static_cast<size_t>(n)]);
    procedureListPage() = 0;
}

void summaryStep(Airport& airport, const ArrivalPageState& p) {
    const Runway* runway = pageRunway(airport, p);
    drawTextAt(5, 0, colourGreen, fontLarge, alignLeft, "ARRIVAL 1/1");
    drawRunwayIdent(runway);
    drawChosenStar();
    drawApprLabel();
    drawPilotRoute();
    std::string approach;
    if (selections().approachTransition) approach = selections().approachTransition->transitionName + ".";
    if (selections().approach) approach += approachTypeText(selections().approach->approachType);
    if (selections().arrivalRunway != nullptr) approach += selections().arrivalRunway->ident;
    drawTextAt(22, 8, colourGreen, fontLarge, alignRight, "%s", approach.c_str());
    takeListEntry();
}

// R4 (APPR) skips the STAR; an empty ENTER skips the STAR and the approach transition.
void actOnSkipKeys(ArrivalPageState& p, int step) {
    KeyState& keys = cduState().keys;
    auto skipStar = [&] {
        p.skipStar = true;
        // A STAR left from an earlier pass is not part of an arrival flown without one.
        if (!(p.starChosen && p.starTransitionChosen)) chooseStar(nullptr);
    };
    if (keys.pendingLsk == kLskR4 && p.runwayChosen && !p.starChosen && !p.starTransitionChosen) {
        skipStar();
        procedureListPage() = 0;
        resetLsk();
    }
    if (keys.pendingLsk == kLskR5 && step == kApproachTransitionStep) p.skipApproachTransition = true;
    if (keys.pendingPadKey == kPadEnter && keys.scratchpad.empty()) {
        skipStar();
        p.skipApproachTransition = true;
        procedureListPage() = 0;
        resetPadKey();
    }
}

// Back to the STAR list: what was chosen after the runway is forgotten, the runway stays.
void backToStars(Airport& airport, ArrivalPageState& p) {
    p.starChosen = false;
    p.starTransitionChosen = false;
    p.approachChosen = false;
    p.approachTransitionChosen = false;
    p.skipStar = false;
    p.skipApproachTransition = false;
    chooseApproach(nullptr);
    chooseApproachTransition(nullptr);
    procedureListPage() = 0;
    clearScratchpad();
    // The approach transitions were cut to the chosen approach's type: read them again.
    if (Runway* runway = pageRunway(airport, p)) loadApproachTransitions(*runway, airport);
}

void actOnKeys(Airport& airport, ArrivalPageState& p) {
    const int key = cduState().keys.pendingLsk;
    if (key == kLskNone) return;
    resetLsk();
    if (key == kLskR2 && p.runwayChosen) {
        startArrivalAgain();
        p = ArrivalPageState{};
        procedureListPage() = 0;
        clearScratchpad();
    } else if (key == kLskR3 && p.starChosen) {
        backToStars(airport, p);
    } else if (key == kLskR5) {
        insertArrivalAndLeave();
    }
}

}  // namespace

const char* approachTypeText(ApproachType type) {
    static constexpr const char* kTexts[] = {"    ", "BC  ", "CAT ", "ILS ", "GPS ",
                                             "VOR ", "NDB ", "RNV",  "LOC "};
    const int i = static_cast<int>(type);
    return i >= 0 && i < static_cast<int>(std::size(kTexts)) ? kTexts[i] : "";
}

std::string approachListName(const FinalApproach& approach, const std::string& runwayIdent) {
    const char* suffix = approach.typeText == "RNPY" ? "Y" : approach.typeText == "RNPZ" ? "Z" : "";
    char text[64];
    std::snprintf(text, sizeof text, "%s%s %3s", approachTypeText(approach.approachType), suffix,
                  runwayIdent.c_str());
    return text;
}

void runArrivalPage() {
    KeyState& keys = cduState().keys;
    if (keys.scratchpad.size() > kEntryCharacters) keys.scratchpad.resize(kEntryCharacters);

    const FplLeg* last = lastPlanLeg();
    Airport* airport = airportOfLeg(last);
    if (airport == nullptr) {
        // Nothing to arrive at: an empty page, and no key is left waiting.
        resetLsk();
        if (keys.pendingPadKey == kPadEnter) resetPadKey();
        return;
    }
    ArrivalPageState& p = arrivalPageState();
    if (chooseArrivalAirport(*airport)) {
        p = ArrivalPageState{};
        procedureListPage() = 0;
    }
    airport->dbIndex = last->dbIndex;

    drawTextAt(22, 1, colourWhite, fontMed, alignRight, "ARRIVAL");
    drawTextAt(19, 2, colourGreen, fontLarge, alignLeft, "%s", airport->ident.c_str());
    drawTextAt(17, 3, colourWhite, fontMed, alignLeft, "RUNWAY");
    drawTextAt(19, 4, colourWhite, fontMed, alignLeft, "#");
    drawTextAt(19, 5, colourWhite, fontMed, alignLeft, "STAR");
    drawRightPrompt(10);

    actOnSkipKeys(p, stepOf(p));
    switch (stepOf(p)) {
        case kRunwayStep:
            runwayStep(*airport, p);
            break;
        case kStarStep:
            starStep(*airport, p);
            break;
        case kStarTransitionStep:
            starTransitionStep(*airport, p);
            break;
        case kApproachStep:
            approachStep(*airport, p);
            break;
        case kApproachTransitionStep:
            approachTransitionStep(*airport, p);
            break;
        default:
            summaryStep(*airport, p);
            break;
    }
    actOnKeys(*airport, p);
}
