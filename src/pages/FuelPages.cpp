#include "pages/FuelPages.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "geo/Geodesy.h"
#include "navdb/SplitFields.h"
#include "pages/CrossFill.h"
#include "pages/FuelMath.h"
#include "pages/IdentField.h"
#include "pages/NumericField.h"
#include "pages/PageDrawing.h"
#include "pages/PagesState.h"
#include "platform/Platform.h"
#include "simlink/AircraftState.h"
#include "simlink/SimLinkState.h"

namespace {

constexpr int kWeightWidth = 6;
constexpr int kFlowWidth = 5;
constexpr int kSpeedWidth = 3;
constexpr int kToFieldWidth = 4;
constexpr int kOffsetWidth = 3;
constexpr int kPaxWidth = 3;
constexpr int kTankWidth = 6;

// What every FUEL page of this frame shows, from the entries and the simulator's fuel data.
struct FuelFigures {
    int flowLbH = 0;  // the pilot's (EST) or the simulator's
    int groundSpeedKt = 0;
    bool hasTo = false;
    std::string toIdent;
    double distanceNm = 0.0;
    double timeToGoHours = 0.0;  // 0: no time to the TO waypoint
    int requiredLb = 0;
    int overheadLb = 0;
    int paxWeightLb = 0;
    int zfwLb = 0;
    int grossLb = 0;
    int reservesLb = 0;
    int fuelUsedLb = 0;
    double enduranceHours = 0.0;
};

FuelPagesState& fuelState() {
    return pagesState().fuel;
}

int& basicWeight() {
    return platform().settings.basicWeight;
}

int sumLb(std::initializer_list<int64_t> parts) {
    int64_t sum = 0;
    for (int64_t part : parts) sum += part;
    return static_cast<int>(std::clamp<int64_t>(sum, INT_MIN, INT_MAX));
}

bool airborne() {
    return simLinkState().aircraft.onGround == 0;
}

// The plan's last leg that stands for a place (marker legs have no position).
const FplLeg* planDestination() {
    const std::vector<FplLeg>& legs = flightPlan().legs;
    for (auto it = legs.rbegin(); it != legs.rend(); ++it) {
        const WaypointKind k = it->waypointKind;
        if (k == WaypointKind::Airport || k == WaypointKind::Navaid || k == WaypointKind::Fix ||
            k == WaypointKind::Runway)
            return &*it;
    }
    return nullptr;
}

// A new fuel on board. Once airborne the burn since lift-off is counted from it.
void setFuelOnBoard(int lb) {
    FuelPagesState& st = fuelState();
    st.fuelOnBoardLb = lb;
    if (st.takeOffRecorded) {
        st.fuelAtDepartureLb = sumLb({lb, simLinkState().fuel.fuelUsedLb});
        st.burnTracked = lb > 0;
    }
}

FuelFigures computeFigures() {
    FuelPagesState& st = pagesState().fuel;
    const FuelReading& reading = readFuelData(st.referenceFuelLb);
    FuelFigures fig;
    if (st.takeOffRecorded) fig.fuelUsedLb = reading.fuelUsedLb;
    if (st.burnTracked) st.fuelOnBoardLb = std::max(0, sumLb({st.fuelAtDepartureLb, -fig.fuelUsedLb}));

    fig.flowLbH = st.manualFuelFlowLbH != 0 ? st.manualFuelFlowLbH : reading.totalFuelFlowLbH;
    fig.groundSpeedKt = st.manualGroundSpeedKt != 0 ? st.manualGroundSpeedKt : reading.groundSpeedKt;

    const FplLeg* to = st.toChosen ? &st.toWaypoint : planDestination();
    if (to != nullptr) {
        const GeoPoint& at = simLinkState().aircraft.position;
        fig.hasTo = true;
        fig.toIdent = to->ident;
        fig.distanceNm = distanceNmCosine(at.lat, at.lon, to->latitude, to->longitude);
        fig.timeToGoHours = timeToGoHours(fig.distanceNm, fig.groundSpeedKt);
    }
    fig.requiredLb = fuelForHours(fig.flowLbH, fig.timeToGoHours);
    fig.overheadLb = sumLb({st.fuelOnBoardLb, -int64_t{fig.requiredLb}});

    if (st.paxCount != 0 && st.averagePaxWeightLb != 0)
        fig.paxWeightLb = sumLb({int64_t{st.paxCount} * st.averagePaxWeightLb});
    fig.zfwLb = sumLb({fig.paxWeightLb, st.cargoLb, basicWeight()});
    fig.grossLb = sumLb({fig.zfwLb, st.fuelOnBoardLb});
    fig.reservesLb = sumLb({st.alternateLb, st.holdLb, st.extraLb});
    fig.enduranceHours = enduranceHours(st.fuelOnBoardLb, fig.flowLbH);
    return fig;
}

// --- Drawing pieces ---

void label(int column, int row, const char* text) {
    drawTextAt(column, row, colourWhite, fontMed, alignLeft, "%s", text);
}

void labelRight(int row, const char* text) {
    drawTextAt(23, row, colourWhite, fontMed, alignRight, "%s", text);
}

// A whole number, or `dashes` when it is below 1.
void quantity(int column, int row, int align, int value, const char* dashes, int font = fontLarge) {
    if (value < 1)
        drawTextAt(column, row, colourGreen, font, align, "%s", dashes);
    else
        drawTextAt(column, row, colourGreen, font, align, "%d", value);
}

void hoursMinutes(int column, int row, double hours, const char* format, const char* none) {
    if (hours > 0.0) {
        const HoursMinutes hm = splitHours(hours);
        drawTextAt(column, row, colourGreen, fontLarge, alignRight, format, hm.hours, hm.minutes);
    } else {
        drawTextAt(column, row, colourGreen, fontLarge, alignRight, "%s", none);
    }
}

void title(int subPage) {
    drawTextAt(7, 0, colourGreen, fontLarge, alignLeft, "FUEL %d/5", subPage);
}

// A computed weight of FUEL 1/5 as "%5d", or the dashes of a field while it has no value.
void weightLine(int column, int row, int align, int value, bool shown) {
    if (shown)
        drawTextAt(column, row, colourGreen, fontLarge, align, "%5d", value);
    else
        drawTextAt(column, row, colourGreen, fontLarge, align, "------");
}

bool weightField(int& value, int lsk, int row, int column, bool rightAligned) {
    return runNumericField({lsk, row, column, rightAligned, kWeightWidth}, value);
}

// FUELFLOW on L1 and GS on R1, each marked EST while the pilot's value replaces the simulator's.
void flowAndSpeed(const FuelFigures& fig) {
    FuelPagesState& st = fuelState();
    label(0, 1, "FUELFLOW");
    labelRight(1, "GS");
    int flow = fig.flowLbH;
    if (runNumericField({kLskL1, 2, 1, false, kFlowWidth}, flow)) st.manualFuelFlowLbH = std::max(0, flow);
    int speed = fig.groundSpeedKt;
    if (runNumericField({kLskR1, 2, 23, true, kSpeedWidth}, speed))
        st.manualGroundSpeedKt = std::max(0, speed);
    if (st.manualFuelFlowLbH != 0) label(6, 2, "EST");
    if (st.manualGroundSpeedKt != 0) label(18, 2, "EST");
}

// --- The pages ---

void drawOptions() {
    FuelPagesState& st = fuelState();
    KeyState& keys = cduState().keys;
    drawTextAt(6, 0, colourGreen, fontLarge, alignLeft, "FUEL OPTIONS");
    static constexpr const char* kUnits[] = {"LBS", "KGS", "US GAL", "IMP GAL", "LITERS"};
    for (int i = 0; i < 5; ++i) {
        const int row = 2 + 2 * i;
        label(0, row - 1, kUnits[i]);
        if (keys.pendingLsk == kLskL1 + i) {
            int typed = st.units[i];
            if (runNumericField({kLskL1 + i, row, 0, false, kWeightWidth}, typed)) {
                const FuelUnitValues values = convertFuel(static_cast<FuelUnit>(i), typed);
                std::copy(values.begin(), values.end(), st.units);
            }
        } else {
            // The three volumes go blank together, by the US gallons they are computed from.
            const int shown = i < 2 ? st.units[i] : st.units[2];
            if (shown < 1)
                drawTextAt(0, row, colourGreen, fontLarge, alignLeft, "------");
            else
                drawTextAt(0, row, colourGreen, fontLarge, alignLeft, "%5d", st.units[i]);
        }
    }

    drawTextAt(17, 2, colourWhite, fontLarge, alignLeft, "XFILL");
    drawRightPrompt(2);
    label(13, 5, "FUEL ENTRY");
    if (keys.pendingLsk == kLskR3) {
        st.entryMode = st.entryMode == kFuelByTotal ? kFuelByTank : kFuelByTotal;
        if (st.entryMode == kFuelByTank) {
            st.tankEntryFinished = false;
            st.tankEntryStarted = false;
        }
        resetLsk();
    }
    drawTextAt(22, 6, colourGreen, fontLarge, alignRight, "%s",
               st.entryMode == kFuelByTank ? "BY TANK" : "BY TOTAL");
    label(13, 7, "AVG PAX WT");
    runNumericField({kLskR4, 8, 22, true, kPaxWidth, "%5d", fontLarge, 4}, st.averagePaxWeightLb);
    drawTextAt(16, 10, colourWhite, fontLarge, alignLeft, "RETURN");
    drawRightPrompt(10);
}

void drawWeights(const FuelFigures& fig) {
    FuelPagesState& st = fuelState();
    title(1);
    label(0, 1, "BASIC WT");
    label(0, 3, "PAX");
    label(0, 5, "CARGO");
    label(0, 7, "ZFW");
    label(0, 9, "GROSS WT");
    labelRight(1, "ALTERNATE");
    labelRight(3, "HOLD");
    labelRight(5, "EXTRA");
    labelRight(7, "TOTAL RESRVS");
    labelRight(9, "FUEL ONBOARD");

    weightField(basicWeight(), kLskL1, 2, 1, false);
    weightField(st.cargoLb, kLskL3, 6, 1, false);
    weightField(st.alternateLb, kLskR1, 2, 23, true);
    weightField(st.holdLb, kLskR2, 4, 23, true);
    weightField(st.extraLb, kLskR3, 6, 23, true);
    int fuel = st.fuelOnBoardLb;
    if (weightField(fuel, kLskR5, 10, 23, true)) setFuelOnBoard(fuel);

    label(3, 3, "(   )@ ");
    runNumericField({kLskL2, 3, 4, false, kPaxWidth, "%3d", fontMed}, st.paxCount);
    drawTextAt(9, 3, colourGreen, fontMed, alignLeft, "%03d", st.averagePaxWeightLb);
    weightLine(1, 4, alignLeft, fig.paxWeightLb, fig.paxWeightLb != 0);
    weightLine(1, 8, alignLeft, fig.zfwLb, fig.zfwLb != 0);
    weightLine(1, 10, alignLeft, fig.grossLb, fig.zfwLb != 0 && st.fuelOnBoardLb != 0);
    weightLine(23, 8, alignRight, fig.reservesLb, fig.reservesLb != 0);

    // With the weights in and no fuel yet, the fuel entry opens by itself.
    KeyState& keys = cduState().keys;
    if (fig.zfwLb != 0 && fig.paxWeightLb != 0 && st.cargoLb != 0 && st.fuelOnBoardLb == 0 &&
        keys.pendingLsk == kLskNone)
        keys.pendingLsk = kLskR5;
}

void drawTimeAndRange(const FuelFigures& fig) {
    FuelPagesState& st = pagesState().fuel;
    const AircraftState& ac = simLinkState().aircraft;
    title(2);
    flowAndSpeed(fig);

    label(0, 3, "T/O");
    drawTextAt(17, 3, colourWhite, fontMed, alignRight, "ELAPSED");
    if (st.takeOffRecorded && airborne()) {
        drawTextAt(4, 3, colourGreen, fontLarge, alignLeft, "%02d:%02d", st.takeOffHour, st.takeOffMinute);
        const int minutes = minutesSince(st.takeOffHour, st.takeOffMinute, ac.zuluHour, ac.zuluMinute);
        drawTextAt(23, 3, colourGreen, fontLarge, alignRight, "%d:%02d", minutes / 60, minutes % 60);
    } else {
        drawTextAt(4, 3, colourGreen, fontLarge, alignLeft, "--:--");
        drawTextAt(23, 3, colourGreen, fontLarge, alignRight, "-+--");
    }

    label(0, 4, "TO");
    if (cduState().keys.pendingLsk != kLskL2) st.toField.text = fig.toIdent;
    runIdentField(st.toField, kLskL2, 4, 4, false, kToFieldWidth);
    if (st.toChosen) label(8, 4, "(A)");
    hoursMinutes(15, 4, fig.timeToGoHours, "%02d:%02d", "--+--");
    if (fig.hasTo) drawTextAt(21, 4, colourGreen, fontLarge, alignRight, "%01d", wholePart(fig.distanceNm));
    labelRight(4, "NM");

    label(0, 5, "ETA UTC");
    label(4, 6, "LCL");
    runNumericField({kLskL3, 6, 2, true, kOffsetWidth, "%5d", fontLarge, 0, &st.offsetNegative},
                    st.localOffsetHours);
    if (fig.timeToGoHours > 0.0) {
        const HoursMinutes eta = clockAfter(ac.zuluHour, ac.zuluMinute, fig.timeToGoHours);
        drawTextAt(15, 5, colourGreen, fontLarge, alignRight, "%02d:%02d", eta.hours, eta.minutes);
        if (st.localOffsetHours != 0)
            drawTextAt(15, 6, colourGreen, fontLarge, alignRight, "%02d:%02d",
                       wrapHour(eta.hours + st.localOffsetHours % 24), eta.minutes);
        else
            drawTextAt(15, 6, colourGreen, fontLarge, alignRight, "--+--");
    } else {
        drawTextAt(15, 5, colourGreen, fontLarge, alignRight, "--+--");
        drawTextAt(15, 6, colourGreen, fontLarge, alignRight, "--+--");
    }

    // Now, and over the TO waypoint once the fuel to get there is burnt.
    label(3, 7, "NOW");
    label(15, 7, "OVHD");
    label(7, 8, "FUEL ONBRD");
    label(7, 9, "ENDURANCE");
    label(7, 10, "RANGE");
    quantity(5, 8, alignRight, st.fuelOnBoardLb, "------");
    hoursMinutes(5, 9, fig.enduranceHours, "%d+%02d", "--+--");
    quantity(5, 10, alignRight, rangeNm(fig.groundSpeedKt, fig.enduranceHours), "-----");
    const int overhead = fig.timeToGoHours > 0.0 ? fig.overheadLb : 0;
    const double overheadHours = overhead > 0 ? enduranceHours(overhead, fig.flowLbH) : 0.0;
    quantity(23, 8, alignRight, overhead, "------");
    hoursMinutes(23, 9, overheadHours, "%d+%02d", "--+--");
    quantity(23, 10, alignRight, rangeNm(fig.groundSpeedKt, overheadHours), "-----");
}

void drawFuelState(const FuelFigures& fig) {
    const FuelPagesState& st = fuelState();
    title(3);
    flowAndSpeed(fig);
    label(0, 3, "FUEL");
    label(5, 3, "AT DEPARTRURE");
    labelRight(3, "USED");
    label(0, 5, "ONBOARD");
    labelRight(5, "REQUIRED");
    label(0, 7, "OVERHEAD");
    labelRight(7, "RESERVES");
    label(0, 9, "EXCESS");
    quantity(1, 4, alignLeft, st.fuelAtDepartureLb, "------");
    quantity(23, 4, alignRight, fig.fuelUsedLb, "------");
    quantity(1, 6, alignLeft, st.fuelOnBoardLb, "------");
    quantity(23, 6, alignRight, fig.requiredLb, "------");
    quantity(1, 8, alignLeft, fig.overheadLb, "------");
    drawTextAt(10, 8, colourGreen, fontLarge, alignLeft, "%s", fig.hasTo ? fig.toIdent.c_str() : "----");
    quantity(23, 8, alignRight, fig.reservesLb, "------");
    // What is left over the TO waypoint beyond the reserves.
    quantity(1, 10, alignLeft, sumLb({fig.overheadLb, -int64_t{fig.reservesLb}}), "------");
}

void drawLanding(const FuelFigures& fig) {
    const FuelPagesState& st = fuelState();
    title(4);
    static constexpr const char* kLabels[] = {"GROSS WT", "FUEL ONBOARD", "LANDING WT", "OVERHEAD", "GND",
                                              "AIR",      "TAILWIND",     "ESAD",       "TEMP"};
    for (int i = 0; i < 9; ++i) label(0, 2 + i, kLabels[i]);
    quantity(23, 2, alignRight, fig.grossLb, "-----", fontMed);
    quantity(23, 3, alignRight, st.fuelOnBoardLb, "-----", fontMed);
    // Landing weight: the gross weight less the fuel burnt on the way to the TO waypoint.
    const int landing =
        fig.timeToGoHours > 0.0 && st.fuelOnBoardLb > 0 ? sumLb({fig.zfwLb, fig.overheadLb}) : 0;
    quantity(23, 4, alignRight, landing, "-----", fontMed);
    quantity(23, 5, alignRight, fig.overheadLb, "-----", fontMed);
    drawTextAt(10, 5, colourGreen, fontLarge, alignLeft, "%s", fig.hasTo ? fig.toIdent.c_str() : "----");
    // The conditions have no source.
    drawTextAt(23, 6, colourGreen, fontMed, alignRight, "--.---");
    drawTextAt(23, 7, colourGreen, fontMed, alignRight, "--.---");
    drawTextAt(23, 8, colourGreen, fontMed, alignRight, "---");
    drawTextAt(23, 9, colourGreen, fontMed, alignRight, "---");
    drawTextAt(23, 10, colourGreen, fontMed, alignRight, "ISA+%02d", 0);
}

void drawEngines() {
    FuelPagesState& st = pagesState().fuel;
    const FuelReading& reading = simLinkState().fuel;
    title(5);
    label(0, 1, "FLOW");
    label(5, 1, "LBS");
    label(0, 3, "ENG 1");
    label(0, 5, "ENG 2");
    drawTextAt(1, 4, colourGreen, fontLarge, alignLeft, "%03d", reading.engine1FlowLbH);
    drawTextAt(1, 6, colourGreen, fontLarge, alignLeft, "%03d", reading.engine2FlowLbH);
    labelRight(1, "USED");
    labelRight(3, "TOTAL");
    runNumericField({kLskR1, 2, 23, true, kFlowWidth}, st.engineUsedLb);
    runNumericField({kLskR2, 4, 23, true, kFlowWidth}, st.engineTotalLb);
}

void drawTankEntry() {
    FuelPagesState& st = fuelState();
    KeyState& keys = cduState().keys;
    if (!st.tankEntryStarted) {
        st.tankEntryStarted = true;
        st.tankCount = 1;
        st.tankCursor = 0;
        std::fill(std::begin(st.tankLb), std::end(st.tankLb), 0);
        setFuelOnBoard(0);
    }
    if (keys.pendingLsk == kLskL2) st.tankCursor = std::max(0, st.tankCursor - 1);
    if (keys.pendingLsk == kLskL4) st.tankCursor = std::min(st.tankCount - 1, st.tankCursor + 1);
    const std::string typed = keys.scratchpad.substr(0, kTankWidth);
    if (keys.pendingPadKey == kPadEnter && !typed.empty()) {
        if (typed[0] >= '0' && typed[0] <= '9') {
            st.tankLb[st.tankCursor] = fieldInt(typed);
            // Filling the last line opens the next, up to six tanks.
            if (st.tankCursor == st.tankCount - 1 && st.tankCount < kFuelMaxTanks) ++st.tankCount;
            st.tankCursor = std::min(st.tankCursor + 1, st.tankCount - 1);
        }
        clearScratchpad();
        resetPadKey();
    }
    int64_t total = 0;
    for (int t = 0; t < st.tankCount; ++t) total += st.tankLb[t];
    const int totalLb = sumLb({total});
    if (keys.pendingLsk == kLskR5) {
        setFuelOnBoard(totalLb);
        st.tankEntryFinished = true;
        st.tankEntryStarted = false;
        st.subPage = st.returnSubPage;
    }
    if (keys.pendingLsk != kLskNone) resetLsk();

    drawTextAt(6, 0, colourGreen, fontLarge, alignLeft, "FUEL ONBOARD");
    drawTextAt(16, 1, colourWhite, fontMed, alignRight, "LBS");
    for (int t = 0; t < st.tankCount; ++t) {
        const int row = 2 + t;
        drawTextAt(1, row, colourWhite, fontLarge, alignLeft, "TANK %d", t + 1);
        if (t == st.tankCursor) {
            drawFieldBar(16 - kTankWidth + 1, row, kTankWidth);
            if (!keys.scratchpad.empty())
                drawTextAt(16, row, colourBlack, fontLarge, alignRight, "%s",
                           keys.scratchpad.substr(0, kTankWidth).c_str());
            else if (st.tankLb[t] > 0)
                drawTextAt(16, row, colourBlack, fontLarge, alignRight, "%d", st.tankLb[t]);
            else
                drawTextAt(16, row, colourBlack, fontLarge, alignRight, "-----");
        } else {
            quantity(16, row, alignRight, st.tankLb[t], "-----");
        }
    }
    label(1, 9, "TOTAL");
    quantity(16, 10, alignRight, totalLb, "-----");
    drawRightPromptText(10, 22, "RTN");
}

// The sub-page shown; a change drops the pilot's flow and speed and any open entry.
void setSubPage(int subPage) {
    FuelPagesState& st = fuelState();
    if (subPage == st.subPage) return;
    st.subPage = subPage;
    st.manualFuelFlowLbH = 0;
    st.manualGroundSpeedKt = 0;
    st.offsetNegative = false;
    resetLsk();
}

// The line select keys each sub-page gives a function; a press of any other is dropped.
bool lskUsed(int subPage, int lsk) {
    switch (subPage) {
        case kFuelOptions:
            return lsk <= kLskL5 || lsk == kLskR3 || lsk == kLskR4 || lsk == kLskR5;
        case 1:
            return lsk != kLskL4 && lsk != kLskL5 && lsk != kLskR4;
        case 2:
            return lsk == kLskL1 || lsk == kLskL2 || lsk == kLskL3 || lsk == kLskR1;
        case 3:
            return lsk == kLskL1 || lsk == kLskR1;
        case 5:
            return lsk == kLskR1 || lsk == kLskR2;
        default:
            return false;
    }
}

bool tankEntryShown() {
    const FuelPagesState& st = fuelState();
    return st.entryMode == kFuelByTank && !st.tankEntryFinished;
}

void handlePageKeys() {
    FuelPagesState& st = fuelState();
    KeyState& keys = cduState().keys;
    const int fn = keys.pendingFunctionKey;
    const bool paged = st.subPage >= 1 && st.subPage <= 5 && !tankEntryShown();
    if (fn == kFnNext || fn == kFnPrev) {
        if (paged) setSubPage(std::clamp(st.subPage + (fn == kFnNext ? 1 : -1), 1, 5));
        resetFunctionKey();
    } else if (fn == kFnMenu) {
        if (paged) {
            st.returnSubPage = st.subPage;
            setSubPage(kFuelOptions);
        }
        resetFunctionKey();
    }
    // Airborne with fuel entered, the weights page is behind the pilot.
    if (st.fuelOnBoardLb != 0 && airborne() && st.subPage == 1) setSubPage(2);
    if (tankEntryShown()) return;
    if (st.subPage == kFuelOptions && keys.pendingLsk == kLskR5) setSubPage(st.returnSubPage);
    if (keys.pendingLsk != kLskNone && !lskUsed(st.subPage, keys.pendingLsk)) resetLsk();
}

}  // namespace

void runFuelPage() {
    refreshCrossFillPrompts();
    const FuelFigures fig = computeFigures();
    handlePageKeys();
    if (tankEntryShown()) {
        drawTankEntry();
    } else {
        switch (pagesState().fuel.subPage) {
            case kFuelOptions:
                drawOptions();
                break;
            case 1:
                drawWeights(fig);
                break;
            case 2:
                drawTimeAndRange(fig);
                break;
            case 3:
                drawFuelState(fig);
                break;
            case 4:
                drawLanding(fig);
                break;
            default:
                drawEngines();
                break;
        }
    }
    // An ENTER no field took would hold up typing into the scratchpad.
    if (cduState().keys.pendingPadKey == kPadEnter && cduState().currentPage == kPageFuel) resetPadKey();
}

void resetFuelEntry() {
    fuelState().tankEntryStarted = false;
}

void recordTakeOff() {
    FuelPagesState& st = pagesState().fuel;
    const AircraftState& ac = simLinkState().aircraft;
    st.takeOffRecorded = true;
    st.takeOffHour = ac.zuluHour;
    st.takeOffMinute = ac.zuluMinute;
    st.referenceFuelLb = readFuelData(0).fuelOnBoardLb;
    st.burnTracked = st.fuelOnBoardLb > 0;
    st.fuelAtDepartureLb = st.burnTracked ? st.fuelOnBoardLb : st.referenceFuelLb;
}

void receiveFuelWaypoint(const FplLeg& leg) {
    FuelPagesState& st = fuelState();
    st.toWaypoint = leg;
    st.toChosen = true;
}
