#include "shell/SubsystemHooks.h"

#include "flightplan/FlightPlan.h"
#include "pages/CrossFill.h"
#include "pages/FuelPages.h"
#include "pages/ListPage.h"
#include "simlink/UnitExchange.h"

namespace {

// Each subsystem sets its entries here as it arrives.
constexpr SubsystemHooks kHooks{
    .clearFlightPlan = clearFlightPlan,
    .openSharedMemory = openUnitExchange,
    .recordTakeOff = recordTakeOff,
    .publishUnitFlags = publishUnitFlags,
    .refreshUnitMirror = refreshMirror,
    .updateCrossFillPrompt = refreshCrossFillPrompts,
    .resetFuelEntry = resetFuelEntry,
    .resetListSelection = resetListSelection,
    .closeSharedMemory = closeSharedBlock,
};

}  // namespace

const SubsystemHooks& subsystemHooks() {
    return kHooks;
}
