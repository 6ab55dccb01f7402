#pragma once

#include <cstdint>

#include "SimOffsetTable.h"
#include "SimWorld.h"
#include "platform/Clock.h"
#include "InProcessSimTransport.h"

// The stand-in simulator inside the test process: its world and offset table behind an
// in-process transport, on a manual clock. Time moves only through advance(), which steps the
// world by the time the clock has moved (including the link's own waits), so an hour of flight
// takes a fraction of a second.
class InProcessSim {
public:
    InProcessSim() = default;
    InProcessSim(const InProcessSim&) = delete;
    InProcessSim& operator=(const InProcessSim&) = delete;

    SimWorld world;
    SimOffsetTable table{world};
    ManualClock clock;
    InProcessSimTransport transport{&table, &clock};

    SimAircraft& aircraft() { return world.aircraft; }

    // Points the current context's link (and its platform transport) at this simulator, opens
    // the link and sets the unit's linked mark from the result. Returns whether the link is open.
    bool connect();

    // Advances the clock by `ms` and the world to the clock.
    void advanceMs(int64_t ms);

private:
    int64_t worldAtUs_ = 0;  // clock time the world has been stepped to
};
