#pragma once

#include "cdu/CduState.h"
#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceState.h"
#include "hardware/HardwareState.h"
#include "navdb/NavDbState.h"
#include "pages/PagesState.h"
#include "shell/ShellState.h"
#include "simlink/SimLinkState.h"

class Clock;
class SimTransport;
class RenderBackend;
class MessageBoxes;
class KeyStore;
class Window;
class SharedBlock;

// Operating-system services used by the system code. The running program points them at
// the real backends; tests point them at in-process ones. The context does not own them.
struct Platform {
    Clock* clock = nullptr;
    SimTransport* simTransport = nullptr;
    RenderBackend* renderer = nullptr;
    MessageBoxes* messageBoxes = nullptr;
    KeyStore* keyStore = nullptr;
    Window* window = nullptr;            // none in headless runs
    SharedBlock* sharedBlock = nullptr;  // none: the unit runs without a partner
};

// The whole state of one flight-management unit: one plain struct per folder. The program
// creates one context and makes it current; each test creates a fresh one.
struct Fms {
    Platform platform;
    ShellState shell;
    CduState cdu;
    HardwareState hardware;
    NavDbState navdb;
    FlightPlanState flightplan;
    GuidanceState guidance;
    SimLinkState simlink;
    PagesState pages;
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
