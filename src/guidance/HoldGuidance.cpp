#include "guidance/HoldGuidance.h"

// The racetrack itself (entry, outbound and inbound legs, turns and timing) arrives with the
// HOLDING pages; until then an armed hold leg is neither steered nor sequenced, as while a
// hold is only armed.
void holdGuidance(LegType) {}
