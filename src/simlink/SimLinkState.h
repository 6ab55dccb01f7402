#pragma once

#include "platform/CurrentState.h"
#include "simlink/AircraftState.h"
#include "simlink/SimLink.h"
#include "simlink/UnitExchange.h"

// State owned by the simlink/ folder: the link and what was last read through it.
struct SimLinkState {
    // The one simulator link of the unit. The shell points it at platform().simTransport
    // before the first open; the transport must outlive the open link.
    SimLink link;
    bool simLinked = false;  // the link is open; nothing is read or written while it is not
    // The aircraft as last read from the simulator.
    AircraftState aircraft;
    // DATA page attitude and FUEL page values, as last read.
    DataPageAttitude attitude;
    FuelReading fuel;
    // The flags exchanged with the other unit.
    UnitExchange exchange;
};

inline SimLinkState& simLinkState() { return currentState<SimLinkState>(); }
