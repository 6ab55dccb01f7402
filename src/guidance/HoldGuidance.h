#pragma once

#include "navdb/FplLeg.h"

// Flying the holding pattern: called by NAV guidance every frame while the active leg is a
// hold leg (HF, HA or HM), after a hold leg with no hold armed has been sequenced past.
void holdGuidance(LegType legType);
