#include "shell/SubsystemHooks.h"

#include "flightplan/FlightPlan.h"
#include "hardware/Keypad.h"
#include "pages/ListPage.h"

namespace {

// Each subsystem sets its entries here as it arrives.
constexpr SubsystemHooks kHooks{
    .searchKeypad = searchKeypad,
    .clearFlightPlan = clearFlightPlan,
    .pollKeypad = pollKeypad,
    .setKeypadBacklight = setKeypadBacklight,
    .resetListSelection = resetListSelection,
};

}  // namespace

const SubsystemHooks& subsystemHooks() {
    return kHooks;
}
