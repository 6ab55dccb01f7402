#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceState.h"
#include "guidance/HeadingMode.h"
#include "guidance/SteeringLaws.h"
#include "pages/NavPages.h"
#include "pages/PageDrawing.h"
#include "pages/PagesState.h"
#include "simlink/SimLinkState.h"

namespace {

constexpr unsigned char kDegree = 0xB0;

// A turn direction typed as a letter: the letter selects it and leaves the scratchpad.
void takeTurnLetter(std::string& scratchpad, char letter, int direction) {
    const size_t at = scratchpad.find(letter);
    if (at == std::string::npos) return;
    guidanceState().heading.hdgTurnDirection = direction;
    scratchpad.erase(at, 1);
}

}  // namespace

void runHeadingPage(bool shownBefore) {
    NavPageState& st = pagesState().nav;
    HeadingModeState& h = guidanceState().heading;
    KeyState& keys = cduState().keys;
    if (!shownBefore) {
        st.cmdHdgValue = simLinkState().aircraft.headingMagDeg;
        keys.scratchpad = std::to_string(st.cmdHdgValue).substr(0, 3);
        keys.pendingLsk = kLskR1;
    }
    takeTurnLetter(keys.scratchpad, 'L', 1);
    takeTurnLetter(keys.scratchpad, 'R', 2);

    if (keys.pendingLsk != kLskR1) {
        drawTextAt(22, 2, colourGreen, fontLarge, alignRight, "%03d", st.cmdHdgValue);
        drawTextAt(23, 2, colourGreen, fontMed, alignRight, "%c", kDegree);
    } else {
        if (keys.scratchpad.size() > 3) keys.scratchpad.resize(3);
        const int value = std::atoi(keys.scratchpad.c_str());
        drawFieldBar(20, 2, 3);
        drawTextAt(22, 2, colourBlack, fontLarge, alignRight, "%s",
                   value == 0 ? "000" : keys.scratchpad.c_str());
        drawTextAt(23, 2, colourWhite, fontMed, alignRight, "%c", kDegree);
        if (keys.pendingPadKey == kPadEnter) {
            h.headingMode = true;
            h.interceptArmed = false;
            st.cmdHdgValue = h.commandedHeading = std::clamp(value, 0, 359);
            clearScratchpad();
            resetPadKey();
            resetLsk();
        }
    }
    drawTextAt(23, 1, colourWhite, fontMed, alignRight, "CMD HDG");

    drawRightPromptText(10, 21, "CNCL HDG");
    if (keys.pendingLsk == kLskR5) {
        h.headingMode = false;
        h.interceptArmed = false;
        st.hdgPageShown = false;
        resetLsk();
    }

    if (keys.pendingPadKey == kPadPlusMinus) {
        h.hdgTurnDirection = h.hdgTurnDirection == 1 ? 2 : 1;
        resetPadKey();
    }
    if (h.hdgTurnDirection != 0)
        drawTextAt(14, 2, colourGreen, fontLarge, alignLeft, "%s",
                   h.hdgTurnDirection == 1 ? "TURN L" : "TURN R");
    if (h.headingMode)
        drawTextAt(6, 1, colourGreen, fontMed, alignLeft, "%s", h.interceptArmed ? "INTERCEPT" : "HDG SEL");

    drawRightPromptText(6, 21, "MNVR");
    cduPush();
    cduColour(kNavOrange[0], kNavOrange[1], kNavOrange[2]);
    cduLineWidth(2.0f);
    cduLine(textColumnX[13], textRowY[1] - 0.204f, textColumnX[13], textRowY[1] - 0.004f);
    cduPop();

    if (planSegments().empty()) return;
    double toCrossing = 0.0;
    st.interceptPossible = headingInterceptsActiveLeg(toCrossing);
    if (!st.interceptPossible) h.interceptArmed = false;
    // Guidance ends heading mode at the crossing, whichever page is shown then.
    if (!st.interceptPossible) {
        drawTextAt(22, 4, colourWhite, fontLarge, alignRight, "NO INTCPT");
        return;
    }
    drawRightPromptText(4, 21, "INTERCEPT");
    if (keys.pendingLsk == kLskR2) {
        h.interceptArmed = true;
        resetLsk();
    }
}
