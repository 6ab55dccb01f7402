#include "shell/SubsystemHooks.h"

#include "flightplan/FlightPlan.h"
#include "guidance/LateralGuidance.h"
#include "guidance/SteeringLaws.h"
#include "pages/ListPage.h"

namespace {

// Each subsystem sets its entries here as it arrives.
constexpr SubsystemHooks kHooks{
    .clearFlightPlan = clearFlightPlan,
    .initSteering = initSteering,
    .runGuidance = runGuidance,
    .resetListSelection = resetListSelection,
};

}  // namespace

const SubsystemHooks& subsystemHooks() {
    return kHooks;
}
