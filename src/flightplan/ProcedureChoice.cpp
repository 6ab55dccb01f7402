#include "flightplan/ProcedureChoice.h"

#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"

namespace {
ProcedureSelections& selections() {
    return flightPlanState().selections;
}

template <typename T>
void copyOrReset(std::optional<T>& slot, const T* value) {
    if (value != nullptr)
        slot = *value;
    else
        slot.reset();
}
}  // namespace

bool chooseDepartureAirport(Airport& airport) {
    ProcedureSelections& sel = selections();
    if (sel.departureAirport == &airport) return false;
    // The first leg is another airport now: what was chosen belongs to the old one.
    sel.departureAirport = &airport;
    sel.departureRunway = nullptr;
    sel.sidTransition.reset();
    return true;
}

void chooseDepartureRunway(Runway* runway) {
    selections().departureRunway = runway;
}

void chooseSidTransition(const Procedure* transition) {
    copyOrReset(selections().sidTransition, transition);
}

bool chooseArrivalAirport(Airport& airport) {
    ProcedureSelections& sel = selections();
    if (sel.arrivalAirport == &airport) return false;
    sel.arrivalAirport = &airport;
    sel.arrivalRunway = nullptr;
    sel.star.reset();
    sel.approach.reset();
    sel.approachTransition.reset();
    return true;
}

void chooseArrivalRunway(Runway* runway) {
    selections().arrivalRunway = runway;
}

void chooseStar(const Procedure* star) {
    copyOrReset(selections().star, star);
}

void chooseApproach(const FinalApproach* approach) {
    copyOrReset(selections().approach, approach);
}

void chooseApproachTransition(const ApproachTransition* transition) {
    copyOrReset(selections().approachTransition, transition);
}
