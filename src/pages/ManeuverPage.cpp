#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceState.h"
#include "guidance/HoldGuidance.h"
#include "guidance/LateralGuidance.h"
#include "pages/NavPages.h"
#include "pages/PageDrawing.h"
#include "pages/PagesState.h"
#include "simlink/SimLinkState.h"

namespace {

void closeMenu() {
    NavPageState& st = pagesState().nav;
    st.maneuverMenuShown = 0;
    st.maneuverSubState = 0;
}

void drawMenu() {
    drawTextAt(7, 0, colourGreen, fontLarge, alignLeft, "MANEUVER");
    drawLeftPromptText(2, "HOLDING DEFN");
    drawLeftPromptText(4, "DTO HOLD");
    drawLeftPromptText(6, "DISARM HOLD");
    drawLeftPromptText(10, "PPOS HOLD");
    drawRightPromptText(2, 22, "HDG");
    drawRightPromptText(4, 22, "PVOR");
    drawRightPromptText(6, 22, "SXTK");
}

void actOnMenuKeys() {
    NavPageState& st = pagesState().nav;
    switch (cduState().keys.pendingLsk) {
        case kLskL1: {
            st.maneuverSubState = 1;
            st.planHasHoldLeg = planHasHoldLeg();
            if (!st.planHasHoldLeg) guidanceState().hold.holdFixChosen = false;
            st.holdFixListPage = 1;
            break;
        }
        case kLskL2:
            st.maneuverSubState = 2;
            break;
        case kLskL3: {
            disarmHold();
            closeMenu();
            break;
        }
        case kLskL5:
            st.maneuverSubState = 4;
            break;
        case kLskR1:
            st.maneuverSubState = 3;
            break;
        case kLskR2:
            st.maneuverSubState = 5;
            break;
        case kLskR3:
            st.maneuverSubState = 6;
            break;
        default:
            return;
    }
    resetLsk();
}

}  // namespace

void runManeuverMenu() {
    NavPageState& st = pagesState().nav;
    if (cduState().keys.pendingLsk == kLskR5) {
        resetLsk();
        closeMenu();
        return;
    }
    if (st.maneuverSubState == 0) {
        actOnMenuKeys();
        if (st.maneuverMenuShown == 0) return;
    }
    // The other items show their RETURN only.
    if (st.maneuverSubState == 0) drawMenu();
    if (st.maneuverSubState == 1) {
        runHoldPages();
        if (st.maneuverMenuShown == 0) return;
    }
    drawRightPromptText(10, 22, "RETURN");
}
