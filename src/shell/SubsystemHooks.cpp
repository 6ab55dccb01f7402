#include "shell/SubsystemHooks.h"

#include "flightplan/FlightPlan.h"
#include "pages/ListPage.h"

namespace {

// Each subsystem sets its entries here as it arrives.
constexpr SubsystemHooks kHooks{
    .clearFlightPlan = clearFlightPlan,
    .resetListSelection = resetListSelection,
};

}  // namespace

const SubsystemHooks& subsystemHooks() {
    return kHooks;
}
