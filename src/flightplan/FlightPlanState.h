#pragma once

// State owned by the flightplan/ folder. One instance lives in the Fms context; code reaches it
// through fms().flightplan. Members are added here by the code that owns them.
struct FlightPlanState {
};
