#include "pages/CrossFill.h"

#include "Fms.h"
#include "simlink/UnitExchange.h"

CrossFillPrompts crossFillPrompts() {
    const UnitExchange& ex = fms().simlink.exchange;
    return {ex.masterXfillPrompt, ex.xfillPrompt, ownReadySlot()};
}

void refreshCrossFillPrompts() {
    Fms& f = fms();
    updateCrossFillPrompts(f.pages.init.initDone, f.guidance.aircraft.onGround != 0);
}

bool crossFillReady() {
    Fms& f = fms();
    return f.guidance.aircraft.onGround != 0 && f.flightplan.planComplete &&
           f.pages.fuel.fuelOnBoardLb != 0 && f.pages.init.initDone;
}

void publishUnitFlags() {
    publishReadyFlag(crossFillReady());
}
