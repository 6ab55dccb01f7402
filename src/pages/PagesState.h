#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "flightplan/FlightPlan.h"
#include "navdb/NavDatabase.h"
#include "navdb/Procedures.h"
#include "pages/IntersectionSearch.h"
#include "pages/NavPagesState.h"
#include "pages/NearestLists.h"
#include "platform/CurrentState.h"

// Step state of the DEPARTURE page.
struct DeparturePageState {
    bool runwayChosen = false;
    bool sidChosen = false;
    bool noSid = false;
    bool transitionChosen = false;
    int32_t runwayPosition = -1;
    int32_t sidPosition = -1;
    int32_t step = 1;
};

// Step state of the ARRIVAL page.
struct ArrivalPageState {
    bool runwayChosen = false;
    bool starChosen = false;
    bool starTransitionChosen = false;
    bool approachChosen = false;
    bool approachTransitionChosen = false;
    bool skipStar = false;
    bool skipApproachTransition = false;
    int32_t runwayPosition = -1;
    int32_t starPosition = -1;
    int32_t step = 1;
};

// One line of the FPL CLR page: a plan leg outside the procedures, with its number in the
// plan and the course and distance from the kept leg before it.
struct ClearanceLine {
    FplLeg leg;
    int32_t legNumber = 0;
    double distanceNm = 0.0;
    double courseDeg = 0.0;
};

// One line of the PPOS TO WPT page: a waypoint leg and where it stood in the plan.
struct PposWaypoint {
    FplLeg leg;
    int32_t legIndex = 0;
};

// The FPL page and its sub-pages. The cursor is shared with the identifier and LIST pages.
struct FplPagesState {
    int fplPage = 1;                   // 1-based; leg pages, then the FPL SUMMARY
    int fplSelectedLine = kFplNoLine;  // 0..4 for L1..L5
    int fplPreviousSelectedLine = kFplNoLine;
    int fplSelectedLeg = 0;  // 1-based leg number on the selected line
    int deletePressCount = 0;
    bool promptsShown = false;  // DEL/INFO/TUNE/OVFLY on screen
    // The records matching an identifier typed on the FPL page (or an INFO request).
    IdentMatches identCandidates;
    bool identCandidatesFlag = false;  // set by INFO when the leg matched records

    DeparturePageState departurePage;
    ArrivalPageState arrivalPage;
    int procedureListPage = 0;  // shared by the departure and arrival pages

    int fplMenuPage = 1;  // kept between visits

    // FPL CLR: a snapshot taken on entry.
    std::vector<ClearanceLine> clearanceLines;
    int clearancePage = 1;
    // PPOS TO WPT: the waypoint legs, a snapshot taken on entry.
    std::vector<PposWaypoint> pposWaypoints;
    int pposPage = 1;
};

// An identifier entry field: what it shows while it is not in use. While its line select key
// is pending it shows the scratchpad instead.
struct IdentField {
    std::string text;
};

// INIT page.
struct InitPageState {
    // What this unit publishes to the other unit once INIT is accepted. The dispatcher's
    // initAccepted gates the function keys; both are set together by ACCEPT.
    bool initDone = false;
};

// Values of the DATA tree. The tree keeps its place while other pages are shown.
enum DataLevel { kDataIndex = 0, kDataNav = 1 };
enum DataNavPage {
    kDataNavMenu = 0,
    kDataNavWaypoint = 1,  // waypoint-identification result
    kDataNavSid = 2,
    kDataNavStar = 3,
    kDataNavApproach = 4,
    kDataNavRunway = 5,
    kDataNavAirway = 6,
};

struct DataPageState {
    int dataLevel = kDataIndex;
    int dataNavPage = kDataNavMenu;
    int dataIndexPage = 1;    // DATA 1/4 .. 4/4
    int dataNavMenuPage = 1;  // DATA/NAV 1/2, 2/2
    // The WPT IDENT field of the DATA/NAV menu, the last text it searched for and its matches
    // (the identifier page shows them when it was opened from the DATA page).
    IdentField waypointField;
    std::string searchText;
    IdentMatches identList;
};

// Identifier page: which candidate is shown, and the list it was counted in (a new list
// starts again at the first candidate).
struct IdentPageState {
    int shown = 0;
    int askingPage = -1;
    IdentMatches seen;
};

// LIST page list types.
enum ListType {
    kListNone = -1,  // nothing chosen yet: the menu alone
    kListVor = 0,
    kListAirport = 1,
    kListAirway = 2,
    kListInts = 3,
    kListAirwayEntry = 4,  // drawn by the airway entry page
    kListGap = 5,
    kListNdb = 6,
    kListAfterGap = 7,
};

struct ListPageState {
    int type = kListNone;
    int listPage = 1;
    bool vorDetail = false;  // VOR/PLT shown with names instead of distances
    std::vector<NearestEntry> airports;
    std::vector<NearestEntry> vors;
    std::vector<NearestEntry> ndbs;
    std::vector<AirwayRef> airways;
    int chosenAirway = -1;  // airway index handed on to the airway entry page
    // The first plan leg the lists were built from (the FROM line names it).
    FplLeg reference;
    // Frames drawn since the intersection search started; "LOADING" shows every 500th.
    int loadingFrames = 0;
    IntersectionSearch intersections;
};

// FUEL pages. Quantities are whole pounds; entered values persist while the program runs.
inline constexpr int kFuelOptions = 0;  // sub-page 0; 1..5 are FUEL 1/5 .. 5/5
inline constexpr int kFuelByTotal = 0;
inline constexpr int kFuelByTank = 1;
inline constexpr int kFuelMaxTanks = 6;

struct FuelPagesState {
    int subPage = 1;
    int returnSubPage = 1;  // where FUEL OPTIONS returns to
    // Weights (the basic weight is the FMS.ini setting) and reserves.
    int cargoLb = 0;
    int paxCount = 0;
    int averagePaxWeightLb = 0;
    int fuelOnBoardLb = 0;
    int alternateLb = 0;
    int holdLb = 0;
    int extraLb = 0;
    // The pilot's fuel flow and ground speed ("EST"); 0 = the simulator's.
    int manualFuelFlowLbH = 0;
    int manualGroundSpeedKt = 0;
    // The TO waypoint: the plan's last waypoint unless the pilot chose one on FUEL 2/5.
    IdentField toField;
    bool toChosen = false;
    FplLeg toWaypoint;
    std::string searchText;
    IdentMatches candidates;
    // Local time: whole hours from UTC, entered signed.
    int localOffsetHours = 0;
    bool offsetNegative = false;  // +/- pressed while the offset is typed
    // Take-off record, made in the frame the aircraft leaves the ground.
    bool takeOffRecorded = false;
    int takeOffHour = 0;
    int takeOffMinute = 0;
    int fuelAtDepartureLb = 0;
    int referenceFuelLb = 0;   // the simulator's fuel on board at lift-off; fuel used counts from it
    bool burnTracked = false;  // fuel on board follows the fuel used since lift-off
    // FUEL ONBOARD, the entry by tank.
    int entryMode = kFuelByTotal;
    bool tankEntryFinished = true;
    bool tankEntryStarted = false;
    int tankCount = 1;
    int tankLb[kFuelMaxTanks] = {};
    int tankCursor = 0;
    // FUEL OPTIONS converter, in the order LBS, KGS, US GAL, IMP GAL, LITERS.
    int units[5] = {};
    // FUEL 5/5 entries.
    int engineUsedLb = 0;
    int engineTotalLb = 0;
};

// One of the reference pages NAV/SID, NAV/STAR, NAV/APPR and NAV/RNWY. They only browse: the
// chosen airport is a copy with the procedures read for it, and the lists are the page's own,
// so that neither the database records nor the lists of the DEPARTURE and ARRIVAL pages
// change while the pilot looks around.
struct ReferencePageState {
    IdentField airportField;
    bool airportChosen = false;
    Airport airport;  // a copy of airports[airport.dbIndex]
    bool runwayChosen = false;
    int32_t runwayPosition = -1;
    // NAV/SID and NAV/STAR: the procedure (menu position) and its transition; NAV/APPR: the
    // approach (position in the runway's finals).
    bool procedureChosen = false;
    int32_t procedurePosition = -1;
    bool transitionChosen = false;
    Procedure chosen;  // NAV/SID, NAV/STAR: the procedure shown on the summary
    ProcedureLists lists;
    int listPage = 0;
};

struct ReferencePagesState {
    ReferencePageState sid;
    ReferencePageState star;
    ReferencePageState approach;
    ReferencePageState runway;
};

// PLT ROUTE: the plan's waypoints and the name it is stored under.
struct PilotRoutePageState {
    int listPage = 1;  // 1-based, as the FPL pages count
    // The page behind the one that opened PLT ROUTE: RETURN gives it back, so that the FPL
    // MENU's own RETURN still leads where it led before.
    int returnPrevious = -1;
    std::string storedName;
    bool stored = false;
};

// The stored-route list. The folder is listed again when the page opens, when the folder
// changes and once a second, not in every frame.
struct RouteListPageState {
    std::vector<std::string> names;
    int returnPrevious = -1;  // as for PLT ROUTE
    int listPage = 0;
    int selectedLine = -1;  // L1..L4 select the route on their line; -1 none
    int deletePressCount = 0;
    bool listed = false;
    int listedAtSecond = -1;
    std::filesystem::file_time_type folderTime{};
};

// The airway reference page behind DATA/NAV.
struct AirwayReferencePageState {
    IdentField referenceField;  // REF WPT
    FplLeg reference;
    std::vector<AirwayRef> airways;  // airways through the reference waypoint
    int chosen = 0;                  // AIRWAY IDENT; 0 = none
    bool shown = false;              // the chosen airway's points are on screen
    int listPage = 0;                // of the airway list, or of the points while shown
};

// The airway entry page (FRM/VIA/TO) of the LIST page.
struct AirwayEntryPageState {
    int listPage = 0;
    WaypointKind lastGuess = WaypointKind::Fix;  // fix or navaid, by identifier length
};

// State owned by the pages/ folder.
// The VNAV PATH pages.
struct VnavPageState {
    int vnavPage = 1;       // 1 or 2
    int selectedLine = -1;  // the line key that opened the entry
    int candidatePage = 1;
    bool offsetNegative = false;  // +/- pending for the offset
    bool vsNegative = false;      // and for the target V/S
    float flightPathAngleDeg = 0.0f;
    int messageIndex = 0;  // 0 none, 11 "TARGET V/S LOW"
};

struct PagesState {
    FplPagesState fpl;
    InitPageState init;
    DataPageState data;
    IdentPageState ident;
    ListPageState list;
    FuelPagesState fuel;
    ReferencePagesState reference;
    PilotRoutePageState pilotRoute;
    RouteListPageState routeList;
    AirwayReferencePageState airwayReference;
    AirwayEntryPageState airwayEntry;
    NavPageState nav;
    VnavPageState vnav;
};

inline PagesState& pagesState() {
    return currentState<PagesState>();
}
