#pragma once

// The cross-fill indications of the INIT and DATA pages, from the flags the other unit
// publishes in the shared block (simlink/UnitExchange.h).
struct CrossFillPrompts {
    bool masterXfill = false;  // the other unit is ready to be the source, this one has no INIT
    bool xfill = false;        // the other unit has accepted INIT, this one has not
    bool ownReady = false;     // this unit's published ready flag reads back set
};

CrossFillPrompts crossFillPrompts();

// Before the INIT, FPL, FUEL and DATA pages: the prompts from the mirror of the other unit's
// flags and this unit's INIT acceptance.
void refreshCrossFillPrompts();

// This unit can be the source of a cross-fill: on the ground, with a departure and an arrival
// in the plan, fuel on board and INIT accepted.
bool crossFillReady();

// Once per frame: this unit's ready flag into the shared block.
void publishUnitFlags();
