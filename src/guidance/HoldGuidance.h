#pragma once

#include <cstdint>

#include "navdb/FplLeg.h"

// The holding pattern: the definition made on the HOLDING pages, its entry and the racetrack
// flown while the hold leg after its fix is active.

// The entry for an aircraft reaching the fix on this magnetic heading, by the 70-degree sector
// rule: measured from the inbound course toward the holding side, headings 110 to 180 degrees
// round enter parallel, 180 to 250 teardrop, all others direct.
int32_t holdEntryFor(float headingMagDeg, int32_t inboundCourseDeg, int32_t holdTurn);

// Plan leg `legIndex` becomes the hold fix (a fly-over point) with the default definition: right
// turns, one minute, inbound on the course of the leg into the fix.
void chooseHoldFix(int legIndex);
// The courses as the pilot enters them; the other one is its reciprocal.
void setHoldInboundCourse(int32_t courseDeg);
void setHoldOutboundCourse(int32_t courseDeg);

// Whether the plan holds a leg of type HF, HA or HM.
bool planHasHoldLeg();
// Adds the hold leg (HM, no position) after the fix.
void insertHoldLeg();
// ARM HOLD: armed, with a hold leg after the fix when the plan has none.
void armHold();
// DISARM HOLD: the hold ends; flown or armed at the active leg, the plan moves past it.
void disarmHold();

// The hold leg became active: the entry is chosen from the heading and flown.
void startHoldAtFix();
// Until the hold is flown, the entry shown is the one the present heading would give.
void predictHoldEntry();

// Flying the holding pattern: called by NAV guidance every frame while the active leg is a
// hold leg (HF, HA or HM), after a hold leg with no hold armed has been sequenced past.
void holdGuidance(LegType legType);
