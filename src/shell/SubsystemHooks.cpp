#include "shell/SubsystemHooks.h"

#include "flightplan/FlightPlan.h"

namespace {

// Each subsystem sets its entries here as it arrives.
constexpr SubsystemHooks kHooks{
    .clearFlightPlan = clearFlightPlan,
};

}  // namespace

const SubsystemHooks& subsystemHooks() {
    return kHooks;
}
