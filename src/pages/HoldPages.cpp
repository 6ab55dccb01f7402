#include <cmath>
#include <cstdlib>
#include <string>

#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "guidance/GuidanceState.h"
#include "guidance/HoldGuidance.h"
#include "pages/NavPages.h"
#include "pages/NumberedList.h"
#include "pages/PageDrawing.h"
#include "pages/PagesState.h"
#include "pages/Paging.h"

namespace {

constexpr int kFixesPerPage = 8;
constexpr int kNoField = 8;
enum HoldField { kFieldFix = 0, kFieldInbound, kFieldDirection, kFieldTurn, kFieldTime, kFieldDistance };

int fixListPages() {
    return planLegCount() / kFixesPerPage + 1;
}

// The scratchpad cut to `width` characters.
const std::string& cutScratchpad(size_t width) {
    std::string& s = cduState().keys.scratchpad;
    if (s.size() > width) s.resize(width);
    return s;
}

// The edit ends: keys taken, scratchpad empty, no field selected.
void endEdit() {
    resetPadKey();
    resetLsk();
    clearScratchpad();
    guidanceState().hold.holdFieldSelection = kNoField;
}

void runHoldFixPage() {
    NavPageState& st = pagesState().nav;
    HoldDefinition& h = guidanceState().hold;
    KeyState& keys = cduState().keys;
    stepPage(st.holdFixListPage, fixListPages());
    st.holdFixListPage = clampPage(st.holdFixListPage, fixListPages());
    drawTextAt(7, 0, colourGreen, fontLarge, alignLeft, "HOLD FIX %d/%d", st.holdFixListPage, fixListPages());
    drawTextAt(0, 3, colourWhite, fontMed, alignLeft, "HOLD FIX");
    const int first = firstEntryOnPage(st.holdFixListPage, kFixesPerPage);
    for (int k = 0; k < kFixesPerPage && first + k < planLegCount(); ++k) {
        drawTextAt(13, 2 + k, colourWhite, fontMed, alignLeft, "%d", first + k + 1);
        drawTextAt(16, 2 + k, colourGreen, fontMed, alignLeft, "%s", planLeg(first + k)->ident.c_str());
    }
    if (keys.scratchpad.empty()) {
        if (keys.pendingPadKey == kPadEnter) resetPadKey();  // nothing typed: nothing to take
        drawTextAt(0, 4, colourWhite, fontLarge, alignLeft, "---");
        return;
    }
    const std::string& typed = cutScratchpad(3);
    drawFieldBar(1, 4, 2);
    drawTextAt(2, 4, colourBlack, fontLarge, alignRight, "%s", typed.c_str());
    h.holdFixIndex = -1;
    h.holdFixChosen = false;
    if (keys.pendingPadKey != kPadEnter) return;
    const ListEntry entry = takeListEntry();
    resetPadKey();
    const int index = entry.positionIn(static_cast<size_t>(planLegCount()));
    if (index < 0) return;
    h.holdFixChosen = true;
    st.holdPageMode = 1;
    chooseHoldFix(index);
}

// The racetrack picture: two half circles joined by the two legs.
void drawRacetrack() {
    constexpr float kRadius = 0.073f;
    constexpr float kLeftX = 0.359f, kRightX = 0.549f, kCentreY = 0.729f;
    constexpr int kSteps = 12;
    cduPush();
    cduColour(colourYellow);
    cduLine(kLeftX, kCentreY + kRadius, kRightX, kCentreY + kRadius);
    cduLine(kLeftX, kCentreY - kRadius, kRightX, kCentreY - kRadius);
    for (int i = 0; i < kSteps; ++i) {
        const float a0 = 3.14159f * static_cast<float>(i) / kSteps - 1.570795f;
        const float a1 = 3.14159f * static_cast<float>(i + 1) / kSteps - 1.570795f;
        cduLine(kRightX + kRadius * std::cos(a0), kCentreY + kRadius * std::sin(a0),
                kRightX + kRadius * std::cos(a1), kCentreY + kRadius * std::sin(a1));
        cduLine(kLeftX - kRadius * std::cos(a0), kCentreY + kRadius * std::sin(a0),
                kLeftX - kRadius * std::cos(a1), kCentreY + kRadius * std::sin(a1));
    }
    cduPop();
}

// The captions on the racetrack: the field in edit, or all of them.
void drawCaptions(int selection) {
    const HoldDefinition& h = guidanceState().hold;
    auto caption = [&](int field, int column, int row, const char* text) {
        if (selection == kNoField || selection == field)
            drawTextAt(column, row, colourGreen, fontMed, alignLeft, "%s", text);
    };
    caption(kFieldFix, 16, 4, "FIX");
    caption(kFieldInbound, 10, 3, "INBD");
    caption(kFieldDirection, 10, 5, "DIR");
    caption(kFieldTurn, 6, 4, "TURN");
    if (selection == kNoField)
        drawTextAt(10, 6, colourGreen, fontMed, alignLeft, "%s", h.legDistanceNm != 0.0f ? "DIST" : "TIME");
    if (selection == kFieldTime) caption(kFieldTime, 10, 6, "TIME");
    if (selection == kFieldDistance) caption(kFieldDistance, 10, 6, "DIST");
}

// The tenths typed for the leg distance: "45" reads 4.5.
std::string distanceEntryText(const std::string& typed) {
    char buffer[8];
    switch (typed.size()) {
        case 3:
            std::snprintf(buffer, sizeof buffer, "%c%c.%c", typed[0], typed[1], typed[2]);
            break;
        case 2:
            std::snprintf(buffer, sizeof buffer, "-%c.%c", typed[0], typed[1]);
            break;
        case 1:
            std::snprintf(buffer, sizeof buffer, "--.%c", typed[0]);
            break;
        default:
            return "--.-";
    }
    return buffer;
}

// A course typed in degrees; beyond a full circle it is taken round once more.
int32_t typedCourse(const std::string& typed) {
    const int value = std::abs(std::atoi(typed.c_str()));
    return value > 360 ? value % 360 : value;
}

void takeFieldKeys() {
    HoldDefinition& h = guidanceState().hold;
    static constexpr int kKeys[][2] = {{kLskL1, kFieldFix},       {kLskL2, kFieldInbound},
                                       {kLskL3, kFieldDirection}, {kLskL4, kFieldTurn},
                                       {kLskR1, kFieldTime},      {kLskR2, kFieldDistance}};
    for (const auto& [key, field] : kKeys) {
        if (cduState().keys.pendingLsk != key) continue;
        h.holdFieldSelection = field;
        clearScratchpad();
        resetLsk();
    }
}

// The field in edit takes the typed value on ENTER.
void editField() {
    HoldDefinition& h = guidanceState().hold;
    KeyState& keys = cduState().keys;
    const bool enter = keys.pendingPadKey == kPadEnter;
    switch (h.holdFieldSelection) {
        case kFieldInbound:
        case kFieldDirection: {
            const std::string& typed = cutScratchpad(3);
            if (!enter) return;
            if (!typed.empty()) {
                if (h.holdFieldSelection == kFieldInbound)
                    setHoldInboundCourse(typedCourse(typed));
                else
                    setHoldOutboundCourse(typedCourse(typed));
            }
            break;
        }
        case kFieldTurn: {
            std::string& s = keys.scratchpad;
            if (s.find('L') != std::string::npos) {
                h.holdTurn = 1;
                clearScratchpad();
            } else if (s.find('R') != std::string::npos) {
                h.holdTurn = 2;
                clearScratchpad();
            }
            if (keys.pendingPadKey == kPadPlusMinus) {
                h.holdTurn = h.holdTurn == 1 ? 2 : 1;
                resetPadKey();
            }
            if (!enter) return;
            break;
        }
        case kFieldTime: {
            const std::string& typed = cutScratchpad(2);
            if (!enter) return;
            if (!typed.empty()) {
                h.legTimeMin = static_cast<float>(std::atoi(typed.c_str()));
                if (h.legTimeMin != 0.0f) h.legDistanceNm = 0.0f;
            }
            break;
        }
        case kFieldDistance: {
            const std::string& typed = cutScratchpad(3);
            if (!enter) return;
            if (!typed.empty()) {
                h.legDistanceNm = static_cast<float>(std::atoi(typed.c_str())) / 10.0f;
                if (h.legDistanceNm != 0.0f) h.legTimeMin = 0.0f;
            }
            break;
        }
        case kFieldFix:
            if (!enter) return;
            break;
        default:
            return;
    }
    endEdit();
}

// A value, or the white bar with the scratchpad when its field is in edit.
void drawValue(int field, int column, int row, bool rightAligned, int width, const std::string& value,
               const std::string& edited) {
    const int align = rightAligned ? alignRight : alignLeft;
    if (guidanceState().hold.holdFieldSelection != field) {
        drawTextAt(column, row, colourGreen, fontLarge, align, "%s", value.c_str());
        return;
    }
    drawFieldBar(rightAligned ? column - width + 1 : column, row, width);
    drawTextAt(column, row, colourBlack, fontLarge, align, "%s", edited.c_str());
}

void runHoldingPage() {
    const HoldDefinition& h = guidanceState().hold;
    takeFieldKeys();
    editField();
    const std::string& typed = cduState().keys.scratchpad;
    drawTextAt(7, 0, colourGreen, fontLarge, alignLeft, "HOLDING 1/1");
    drawTextAt(0, 1, colourWhite, fontMed, alignLeft, "FIX");
    drawTextAt(0, 3, colourWhite, fontMed, alignLeft, "INBD");
    drawTextAt(0, 5, colourWhite, fontMed, alignLeft, "DIR");
    drawTextAt(0, 7, colourWhite, fontMed, alignLeft, "TURN");
    drawTextAt(23, 1, colourWhite, fontMed, alignRight, "TIME");
    drawTextAt(23, 3, colourWhite, fontMed, alignRight, "DIST");
    drawTextAt(23, 5, colourWhite, fontMed, alignRight, "ETA");
    drawTextAt(23, 7, colourWhite, fontMed, alignRight, "ENTRY");
    if (const FplLeg* fix = planLeg(h.fixLegIndex); fix != nullptr && h.holdFixChosen)
        drawTextAt(0, 2, colourGreen, fontLarge, alignLeft, "%s", fix->ident.c_str());
    drawRacetrack();
    drawCaptions(h.holdFieldSelection);

    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%03d", h.inboundCourseDeg);
    drawValue(kFieldInbound, 0, 4, false, 3, buffer, typed);
    std::snprintf(buffer, sizeof buffer, "%03d", h.outboundCourseDeg);
    drawValue(kFieldDirection, 0, 6, false, 3, buffer, typed);
    const char* turn = h.holdTurn == 1 ? "LEFT" : "RIGHT";
    drawValue(kFieldTurn, 0, 8, false, 5, turn, typed.empty() ? turn : typed);
    if (h.legTimeMin > 0.0f)
        std::snprintf(buffer, sizeof buffer, "%d.0", static_cast<int>(h.legTimeMin));
    else
        std::snprintf(buffer, sizeof buffer, "--.-");
    drawValue(kFieldTime, 23, 2, true, 4, buffer, typed + ".0");
    if (h.legDistanceNm != 0.0f)
        std::snprintf(buffer, sizeof buffer, "%03.1f", h.legDistanceNm);
    else
        std::snprintf(buffer, sizeof buffer, "---");
    drawValue(kFieldDistance, 23, 4, true, 4, buffer, distanceEntryText(typed));
    static const char* const kEntries[] = {"TRDRP", "PARLL", "DRECT"};
    drawTextAt(23, 8, colourGreen, fontLarge, alignRight, "%s",
               h.entryType >= 0 && h.entryType <= 2 ? kEntries[h.entryType] : "DRECT");
}

}  // namespace

void runHoldPages() {
    NavPageState& st = pagesState().nav;
    HoldDefinition& h = guidanceState().hold;
    st.holdPageMode = st.planHasHoldLeg || h.holdFixChosen ? 1 : 0;
    if (st.holdPageMode == 0) {
        h.holdFieldSelection = kFieldFix;
        runHoldFixPage();
        return;
    }
    if (cduState().keys.pendingLsk == kLskL5) {
        resetLsk();
        armHold();
        st.maneuverMenuShown = 0;
        st.maneuverSubState = 0;
        return;
    }
    runHoldingPage();
    drawLeftPromptText(10, "ARM HOLD");
}
