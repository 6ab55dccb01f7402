#pragma once

#include "cdu/CduState.h"
#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceState.h"
#include "hardware/HardwareState.h"
#include "navdb/NavDbState.h"
#include "pages/PagesState.h"
#include "platform/Platform.h"
#include "shell/ShellState.h"
#include "simlink/SimLinkState.h"

// The whole state of one flight-management unit: one plain struct per layer. The program
// creates one context and makes it current; each test creates a fresh one. Making it current
// points every layer's accessor (platform(), navDbState(), ...) at its member.
struct Fms {
    Platform platform;
    SimLinkState simlink;
    NavDbState navdb;
    FlightPlanState flightplan;
    GuidanceState guidance;
    CduState cdu;
    PagesState pages;
    HardwareState hardware;
    ShellState shell;
};

// The current context. Only the main thread uses it; worker threads are handed what they need.
Fms& fms();
void setCurrentFms(Fms* context);

// Makes a context current for the lifetime of the scope and restores the previous one.
class ScopedFms {
public:
    explicit ScopedFms(Fms& context);
    ~ScopedFms();
    ScopedFms(const ScopedFms&) = delete;
    ScopedFms& operator=(const ScopedFms&) = delete;

private:
    Fms* previous_;
};
