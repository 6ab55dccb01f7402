#include "shell/SubsystemHooks.h"

namespace {

// Nothing is wired yet: each subsystem sets its entries here as it arrives.
constexpr SubsystemHooks kHooks{};

}  // namespace

const SubsystemHooks& subsystemHooks() {
    return kHooks;
}
