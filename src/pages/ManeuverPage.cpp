#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceState.h"
#include "guidance/LateralGuidance.h"
#include "pages/NavPages.h"
#include "pages/PageDrawing.h"
#include "pages/PagesState.h"
#include "simlink/SimLinkState.h"

namespace {

bool isHoldLeg(LegType t) {
    return t == LegType::HF || t == LegType::HA || t == LegType::HM;
}

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
            st.planHasHoldLeg = false;
            for (const PlanSegment& s : planSegments())
                st.planHasHoldLeg = st.planHasHoldLeg || isHoldLeg(s.toLegType);
            break;
        }
        case kLskL2:
            st.maneuverSubState = 2;
            break;
        case kLskL3: {
            guidanceState().hold.holdState = 0;
            const PlanSegment* s = planSegment(guidanceState().activeSegment);
            if (s != nullptr && isHoldLeg(s->toLegType)) sequenceLeg();
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
    // Sub-state 1 leads to the hold definition pages, which join with holding; it and the
    // other items show their RETURN only until then.
    if (st.maneuverSubState == 0) drawMenu();
    drawRightPromptText(10, 22, "RETURN");
}
