#pragma once

#include "platform/CurrentState.h"
#include "navdb/NavDatabase.h"
#include "navdb/Procedures.h"

// State owned by the navdb/ folder.
struct NavDbState {
    // The one database of the run: created empty, filled by the loader threads (which are
    // handed a reference to it, never the context), then only read.
    NavDatabase database;
    // SID/STAR menus and the working lists of the selection pages.
    ProcedureLists procedures;
};

inline NavDbState& navDbState() { return currentState<NavDbState>(); }
