#include "InProcessSim.h"

#include "platform/Platform.h"
#include "simlink/SimLinkState.h"

bool InProcessSim::connect() {
    platform().simTransport = &transport;
    SimLinkState& sim = simLinkState();
    sim.link.setTransport(&transport);
    uint32_t result = 0;
    const bool opened = sim.link.open(0, result);
    sim.simLinked = opened;
    // The link's handshake waits on the clock; the world catches up at the next advance.
    return opened;
}

void InProcessSim::advanceMs(int64_t ms) {
    if (ms > 0) clock.advanceMs(ms);
    const int64_t now = clock.perfCounter();  // microseconds on the manual clock
    if (now > worldAtUs_) {
        world.step(static_cast<double>(now - worldAtUs_) / 1e6);
        worldAtUs_ = now;
    }
}
