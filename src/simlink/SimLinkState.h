#pragma once

#include "simlink/SimLink.h"
#include "simlink/UnitExchange.h"

// State owned by the simlink/ folder. One instance lives in the Fms context; code reaches it
// through fms().simlink. Members are added here by the code that owns them.
struct SimLinkState {
    // The one simulator link of the unit. The shell points it at fms().platform.simTransport
    // before the first open; the transport must outlive the open link.
    SimLink link;
    // The flags exchanged with the other unit.
    UnitExchange exchange;
};
