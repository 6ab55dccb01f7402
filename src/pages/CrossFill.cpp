#include "pages/CrossFill.h"

#include "flightplan/FlightPlanState.h"
#include "pages/PagesState.h"
#include "simlink/SimLinkState.h"
#include "simlink/UnitExchange.h"

CrossFillPrompts crossFillPrompts() {
    const UnitExchange& ex = simLinkState().exchange;
    return {ex.masterXfillPrompt, ex.xfillPrompt, ownReadySlot()};
}

void refreshCrossFillPrompts() {
    updateCrossFillPrompts(pagesState().init.initDone, simLinkState().aircraft.onGround != 0);
}

bool crossFillReady() {
    return simLinkState().aircraft.onGround != 0 && flightPlanState().planComplete &&
           pagesState().fuel.fuelOnBoardLb != 0 && pagesState().init.initDone;
}

void publishUnitFlags() {
    publishReadyFlag(crossFillReady());
}
