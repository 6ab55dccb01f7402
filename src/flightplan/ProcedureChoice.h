#pragma once

#include "navdb/NavDatabase.h"

// The departure and arrival choices of the DEPARTURE and ARRIVAL pages, kept in the plan's
// ProcedureSelections. Procedures are copied: the lists they come from are replaced whenever
// a procedure file is read again.

// The airport of the plan's first leg becomes the departure airport. Another airport than
// before drops the runway and transition chosen for the old one. True when it changed
// (also from none).
bool chooseDepartureAirport(Airport& airport);
void chooseDepartureRunway(Runway* runway);
// The SID transition (or the SID's runway part, named "NONE"); null for none.
void chooseSidTransition(const Procedure* transition);

// The airport of the plan's last leg becomes the arrival airport. Another airport than before
// drops the runway, STAR, approach and approach transition chosen for the old one. True when
// it changed.
bool chooseArrivalAirport(Airport& airport);
void chooseArrivalRunway(Runway* runway);
// The chosen STAR-transition record; null for none.
void chooseStar(const Procedure* star);
void chooseApproach(const FinalApproach* approach);
void chooseApproachTransition(const ApproachTransition* transition);
