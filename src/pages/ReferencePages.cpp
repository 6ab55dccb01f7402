#include "pages/ReferencePages.h"

#include <cstdio>
#include <string>
#include <vector>

#include "cdu/CduRenderer.h"
#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "navdb/NavDbState.h"
#include "navdb/Procedures.h"
#include "pages/IdentField.h"
#include "pages/NumberedList.h"
#include "pages/PagesState.h"
#include "pages/PositionText.h"

namespace {

constexpr int kAirportFieldWidth = 5;

ReferencePageState* stateOf(int dataNavPage) {
    ReferencePagesState& r = pagesState().reference;
    switch (dataNavPage) {
        case kDataNavSid:
            return &r.sid;
        case kDataNavStar:
            return &r.star;
        case kDataNavApproach:
            return &r.approach;
        case kDataNavRunway:
            return &r.runway;
        default:
            return nullptr;
    }
}

// What the page is showing, from its choices.
enum Stage { kNoAirport, kRunwayList, kProcedureList, kTransitionList, kSummary };

Stage stageOf(const ReferencePageState& st, int page) {
    if (!st.airportChosen) return kNoAirport;
    if (!st.runwayChosen) return kRunwayList;
    // NAV/RNWY shows the runway's data; NAV/APPR's last stage is the approach's data.
    if (page == kDataNavRunway) return kSummary;
    if (!st.procedureChosen) return kProcedureList;
    if (page == kDataNavApproach) return kSummary;
    if (!st.transitionChosen) return kTransitionList;
    return kSummary;
}

Runway* chosenRunway(ReferencePageState& st) {
    if (!st.runwayChosen || st.runwayPosition < 0 ||
        static_cast<size_t>(st.runwayPosition) >= st.airport.runways.size())
        return nullptr;
    return &st.airport.runways[static_cast<size_t>(st.runwayPosition)];
}

const MenuEntry* chosenMenuEntry(const ReferencePageState& st, int page) {
    const std::vector<MenuEntry>& menu = page == kDataNavSid ? st.lists.sidMenu : st.lists.starMenu;
    if (st.procedurePosition < 0 || static_cast<size_t>(st.procedurePosition) >= menu.size()) return nullptr;
    return &menu[static_cast<size_t>(st.procedurePosition)];
}

void forgetAfterAirport(ReferencePageState& st) {
    st.runwayChosen = false;
    st.runwayPosition = -1;
    st.procedureChosen = false;
    st.procedurePosition = -1;
    st.transitionChosen = false;
    st.chosen = Procedure{};
    st.listPage = 0;
}

void forgetProcedure(ReferencePageState& st) {
    st.procedureChosen = false;
    st.transitionChosen = false;
    st.chosen = Procedure{};
    st.listPage = 0;
}

void returnToMenu(ReferencePageState& st) {
    st = ReferencePageState{};
    clearScratchpad();
    pagesState().data.dataNavPage = kDataNavMenu;
}

// R1 forgets the airport and stays pending, so that the airport field takes the next
// identifier; R2 and R3 step back; R5 returns to the DATA/NAV menu. Every other key is taken.
void actOnKeys(ReferencePageState& st, int page) {
    const int key = cduState().keys.pendingLsk;
    if (key == kLskNone || key == kLskR1) {
        if (key == kLskR1 && st.airportChosen) {
            st = ReferencePageState{};
            clearScratchpad();
        }
        return;
    }
    resetLsk();
    const bool procedurePage = page == kDataNavSid || page == kDataNavStar;
    if (key == kLskR5) {
        returnToMenu(st);
    } else if (key == kLskR2 && procedurePage && st.runwayChosen) {
        forgetAfterAirport(st);
        clearScratchpad();
    } else if (key == kLskR2 && page == kDataNavApproach && st.procedureChosen) {
        st.procedureChosen = false;
    } else if (key == kLskR3 && procedurePage && st.procedureChosen) {
        forgetProcedure(st);
        (page == kDataNavSid ? st.airport.sidsLoaded : st.airport.starsLoaded) = 0;
    }
}

void drawTitle(const char* name, int listPage, int count) {
    drawTextAt(5, 0, colourGreen, fontLarge, alignLeft, "%s  %d/%d", name, listPage + 1,
               numberedListPages(count));
}

// A list stage: paging, title, entries and the typed number. Returns the entry ENTER brought
// (none while R1 is pending: ENTER then belongs to the airport field).
ListEntry runList(ReferencePageState& st, const char* title, const std::vector<std::string>& texts,
                  ListColumns columns = {}) {
    stepNumberedList(st.listPage, static_cast<int>(texts.size()));
    drawTitle(title, st.listPage, static_cast<int>(texts.size()));
    drawNumberedList(st.listPage, texts, columns);
    if (cduState().keys.pendingLsk == kLskR1) return {};
    return takeListEntry();
}

std::vector<std::string> runwayList(const ReferencePageState& st) {
    std::vector<std::string> idents;
    for (const Runway& r : st.airport.runways) idents.push_back(r.ident);
    return idents;
}

// The runway list of NAV/SID, NAV/STAR and NAV/APPR; true when a runway was chosen.
bool runwayStage(ReferencePageState& st, const char* title, ListColumns columns = {}) {
    drawReferenceEntryField(4, true);
    const std::vector<std::string> runways = runwayList(st);
    const ListEntry entry = runList(st, title, runways, columns);
    if (entry.kind != ListEntry::Number) return false;
    const int n = entry.positionIn(runways.size());
    st.runwayChosen = n >= 0;
    if (n < 0) return false;
    st.runwayPosition = n;
    st.listPage = 0;
    Runway& runway = st.airport.runways[static_cast<size_t>(n)];
    st.airport.selectedRunwayIndex = n;
    st.airport.selectedRunwayIdent = runway.ident;
    return true;
}

// The procedure (or approach) list: the prompt, the entry field when there is something to
// choose, the list. A number in the list chooses; another clears the choice. Returns the
// position chosen in this frame, else -1.
int procedureStage(ReferencePageState& st, const char* title, const std::vector<std::string>& names,
                   const char* prompt, const char* none) {
    drawTextAt(1, 1, colourWhite, fontMed, alignLeft, "%s", names.empty() ? none : prompt);
    if (!names.empty()) {
        drawTextAt(19, 6, colourWhite, fontMed, alignLeft, "#");
        drawReferenceEntryField(6, false);
    }
    const ListEntry entry = runList(st, title, names);
    if (entry.kind != ListEntry::Number) return -1;
    const int n = entry.positionIn(names.size());
    st.procedureChosen = n >= 0;
    if (n >= 0) st.procedurePosition = n;
    return n;
}

void drawDashes() {
    drawTextAt(12, 6, colourGreen, fontMed, alignLeft, "------.----");
}

// Stages 0 and 1 of NAV/SID, NAV/STAR and NAV/APPR: the prompt, the dashes and the runway
// list. True in the frame in which a runway was chosen.
bool airportOrRunwayStage(ReferencePageState& st, Stage stage, const char* title) {
    drawTextAt(1, 1, colourWhite, fontMed, alignLeft, stage == kNoAirport ? "SEL AIRPORT" : "SEL RUNWAY");
    drawDashes();
    if (stage != kNoAirport) return runwayStage(st, title);
    drawTitle(title, 0, 0);
    return false;
}

void drawReturnPrompt() {
    drawRightPrompt(10);
    drawTextAt(21, 10, colourWhite, fontLarge, alignRight, "RETURN");
}

// --- NAV/SID and NAV/STAR ---

void runProcedurePage(ReferencePageState& st, int page) {
    const bool sid = page == kDataNavSid;
    const char* title = sid ? "NAV/SID" : "NAV/STAR";
    if (sid) {
        drawTextAt(17, 1, colourWhite, fontMed, alignLeft, "DEPART");
        drawTextAt(20, 5, colourWhite, fontMed, alignLeft, "SID");
    } else {
        drawTextAt(16, 1, colourWhite, fontMed, alignLeft, "ARRIVAL");
        drawTextAt(19, 5, colourWhite, fontMed, alignLeft, "STAR");
    }
    drawTextAt(17, 3, colourWhite, fontMed, alignLeft, "RUNWAY");
    drawTextAt(19, 4, colourWhite, fontMed, alignLeft, "#");
    runIdentField(st.airportField, kLskR1, 2, 22, true, kAirportFieldWidth);
    if (const Runway* r = chosenRunway(st))
        drawTextAt(22, 4, colourGreen, fontLarge, alignRight, "%s", r->ident.c_str());

    const Stage stage = stageOf(st, page);
    switch (stage) {
        case kNoAirport:
        case kRunwayList:
            if (airportOrRunwayStage(st, stage, title)) {
                if (sid)
                    loadSids(st.airport, st.lists);
                else
                    loadStars(st.airport, st.lists);
            }
            break;
        case kProcedureList: {
            const std::vector<MenuEntry>& menu = sid ? st.lists.sidMenu : st.lists.starMenu;
            std::vector<std::string> names;
            for (const MenuEntry& e : menu) names.push_back(e.name);
            const int n =
                procedureStage(st, title, names, sid ? "SEL SID" : "SEL STAR", sid ? "NO SID" : "NO STAR");
            if (n < 0) break;
            st.listPage = 0;
            if (sid) {
                st.airport.sidIndex = n;
                buildSidLists(st.airport, st.lists);
            } else {
                st.airport.starIndex = n;
                buildStarTransitions(st.airport, st.lists);
            }
            break;
        }
        case kTransitionList: {
            const std::vector<Procedure>& transitions =
                sid ? st.lists.sidTransitions : st.lists.starTransitions;
            std::vector<std::string> names;
            for (const Procedure& t : transitions) {
                // STAR records that are no transition keep their number but are not shown.
                const bool hidden = !sid && (t.transitionName == "NONE" || t.transitionName == "ALL");
                names.push_back(hidden ? std::string() : t.transitionName);
            }
            const MenuEntry* chosen = chosenMenuEntry(st, page);
            if (chosen != nullptr)
                drawTextAt(12, 6, colourGreen, fontLarge, alignLeft, "%s.", chosen->name.c_str());
            drawTextAt(1, 1, colourWhite, fontMed, alignLeft, "SEL TRANS");
            drawTextAt(19, 6, colourWhite, fontMed, alignRight, "#");
            drawReferenceEntryField(6, false);
            const ListEntry entry = runList(st, title, names);
            if (entry.kind == ListEntry::Empty && sid && chosen != nullptr) {
                // The runway part alone, without a transition.
                for (const Procedure& part : st.lists.sidRunwayParts) {
                    if (part.transitionName != "NONE" || part.name != chosen->name) continue;
                    st.chosen = part;
                    st.chosen.runwayIdent = st.airport.selectedRunwayIdent;
                    st.transitionChosen = true;
                }
            }
            if (entry.kind != ListEntry::Number) break;
            const int n = entry.positionIn(transitions.size());
            st.transitionChosen = n >= 0;
            if (n < 0) {
                st.procedureChosen = false;
                break;
            }
            st.chosen = transitions[static_cast<size_t>(n)];
            break;
        }
        case kSummary:
            drawTitle(title, 0, 0);
            drawTextAt(22, 6, colourGreen, fontLarge, alignRight, "%s.%s", st.chosen.name.c_str(),
                       st.chosen.transitionName.c_str());
            break;
    }
}

// --- NAV/APPR ---

void drawApproachData(ReferencePageState& st, const Runway& runway) {
    const FinalApproach& a = runway.approaches.finals[static_cast<size_t>(st.procedurePosition)];
    drawTextAt(0, 1, colourWhite, fontMed, alignLeft, "APPROACH");
    drawTextAt(0, 2, colourGreen, fontLarge, alignLeft, "%s %s %s", st.airport.ident.c_str(),
               a.typeText.c_str(), runway.ident.c_str());
    drawTextAt(0, 3, colourWhite, fontMed, alignLeft, "FACILITY");
    drawTextAt(0, 5, colourWhite, fontMed, alignLeft, "FREQUENCY");
    drawTextAt(0, 7, colourWhite, fontMed, alignLeft, "INBD CRS");
    const bool withFacility = a.approachType == ApproachType::CatIIIls ||
                              a.approachType == ApproachType::Ils || a.approachType == ApproachType::Loc;
    if (!withFacility) return;
    drawTextAt(0, 4, colourGreen, fontLarge, alignLeft, "%s", a.navaidIdent.c_str());
    drawTextAt(0, 6, colourGreen, fontLarge, alignLeft, "%3.2f", a.frequency);
    drawTextAt(0, 8, colourGreen, fontLarge, alignLeft, "%03d\xb0",
               static_cast<int>(runway.inboundCourseMag));
}

void runApproachPage(ReferencePageState& st) {
    const char* title = "NAV/APPR";
    const Stage stage = stageOf(st, kDataNavApproach);
    Runway* runway = chosenRunway(st);
    if (stage == kSummary && runway != nullptr && st.procedurePosition >= 0 &&
        static_cast<size_t>(st.procedurePosition) < runway->approaches.finals.size()) {
        drawTitle(title, 0, 0);
        drawApproachData(st, *runway);
        return;
    }
    drawTextAt(17, 1, colourWhite, fontMed, alignLeft, "AIRPORT");
    drawTextAt(23, 3, colourWhite, fontMed, alignRight, "RUNWAY");
    drawTextAt(19, 4, colourWhite, fontMed, alignLeft, "#");
    drawTextAt(23, 5, colourWhite, fontMed, alignRight, "APPROACH");
    runIdentField(st.airportField, kLskR1, 2, 22, true, kAirportFieldWidth);
    switch (stage) {
        case kNoAirport:
        case kRunwayList:
            if (airportOrRunwayStage(st, stage, title)) {
                Runway& chosen = *chosenRunway(st);
                loadFinalApproaches(chosen, st.airport);
                loadApproachTransitions(chosen, st.airport);
            }
            break;
        default: {
            // The approach list (also when a chosen approach is no longer there).
            st.procedureChosen = false;
            std::vector<std::string> names;
            if (runway != nullptr) {
                drawTextAt(22, 4, colourGreen, fontLarge, alignRight, "%s", runway->ident.c_str());
                for (const FinalApproach& a : runway->approaches.finals) {
                    char text[64];
                    std::snprintf(text, sizeof text, "%4s %4s", a.typeText.c_str(), runway->ident.c_str());
                    names.push_back(text);
                }
            }
            procedureStage(st, title, names, "SEL APPROACH", "NO APPROACH");
            break;
        }
    }
}

// --- NAV/RNWY ---

void drawCoordinate(int row, char hemisphere, double value) {
    const DegreesMinutes dm = degreesMinutes(value, 2);
    drawTextAt(13, row, colourGreen, fontLarge, alignLeft, "%c", hemisphere);
    drawTextAt(23, row, colourGreen, fontLarge, alignRight, "%3d %02.2f", dm.degrees, dm.minutes);
}

void drawRunwayData(const ReferencePageState& st, const Runway& r) {
    drawTextAt(5, 0, colourGreen, fontLarge, alignLeft, "NAV/RNWY  1/1");
    drawTextAt(0, 1, colourWhite, fontMed, alignLeft, "AIRPORT");
    drawTextAt(0, 2, colourGreen, fontLarge, alignLeft, "%s", st.airport.ident.c_str());
    drawTextAt(0, 3, colourWhite, fontMed, alignLeft, "RNWY NUMBER");
    drawTextAt(0, 4, colourGreen, fontLarge, alignLeft, "%s", r.ident.c_str());
    drawTextAt(0, 5, colourWhite, fontMed, alignLeft, "RNWY HDG");
    drawTextAt(0, 6, colourGreen, fontLarge, alignLeft, "%3.1f\xb0", static_cast<double>(r.headingMag));
    drawTextAt(0, 7, colourWhite, fontMed, alignLeft, "ELEVATION");
    drawTextAt(0, 8, colourGreen, fontLarge, alignLeft, "%d", r.elevationFt);
    drawTextAt(23, 3, colourWhite, fontMed, alignRight, "APPR END");
    // A value that is not greater than 0 is south (west), shown without its sign.
    drawCoordinate(4, r.thresholdLatitude > 0.0f ? 'N' : 'S', r.thresholdLatitude);
    drawCoordinate(5, r.thresholdLongitude > 0.0f ? 'E' : 'W', r.thresholdLongitude);
    drawTextAt(23, 7, colourWhite, fontMed, alignRight, "RNWY LENGTH");
    drawTextAt(23, 8, colourGreen, fontLarge, alignRight, "%d", r.lengthFt);
}

void runRunwayPage(ReferencePageState& st) {
    if (const Runway* r = chosenRunway(st)) {
        drawRunwayData(st, *r);
        return;
    }
    const bool airport = st.airportChosen;
    drawTextAt(22, 1, colourWhite, fontMed, alignRight, "AIRPORT");
    drawTextAt(22, 3, colourWhite, fontMed, alignRight, "RUNWAY");
    drawTextAt(19, 4, colourWhite, fontMed, alignLeft, "#");
    drawTextAt(0, 1, colourWhite, fontMed, alignLeft, airport ? "SEL RUNWAY" : "SEL AIRPORT");
    runIdentField(st.airportField, kLskR1, 2, 22, true, kAirportFieldWidth);
    if (airport)
        runwayStage(st, "NAV/RNWY", ListColumns{1, 4});
    else
        drawTitle("NAV/RNWY", 0, 0);
}

}  // namespace

void resetReferencePage(int dataNavPage) {
    if (ReferencePageState* st = stateOf(dataNavPage)) *st = ReferencePageState{};
}

void runReferencePage(int dataNavPage) {
    ReferencePageState* st = stateOf(dataNavPage);
    if (st == nullptr) return;
    // A search the airport field made has been answered by now; left in place, the DATA/NAV
    // menu would take it for a WPT IDENT result.
    pagesState().data.identList = IdentMatches{};
    actOnKeys(*st, dataNavPage);
    if (pagesState().data.dataNavPage != dataNavPage) return;
    switch (dataNavPage) {
        case kDataNavRunway:
            runRunwayPage(*st);
            break;
        case kDataNavApproach:
            runApproachPage(*st);
            break;
        default:
            runProcedurePage(*st, dataNavPage);
            break;
    }
    drawReturnPrompt();
}

void receiveReferenceAirport(const FplLeg& leg) {
    ReferencePageState* st = stateOf(pagesState().data.dataNavPage);
    const NavDatabase& db = navDbState().database;
    if (st == nullptr || leg.waypointKind != WaypointKind::Airport || leg.dbIndex < 0 ||
        static_cast<size_t>(leg.dbIndex) >= db.airports.size())
        return;
    *st = ReferencePageState{};
    st->airport = db.airports[static_cast<size_t>(leg.dbIndex)];
    st->airport.dbIndex = leg.dbIndex;
    st->airportChosen = true;
    st->airportField.text = st->airport.ident;
}
