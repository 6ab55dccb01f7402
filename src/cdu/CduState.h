#pragma once

#include "cdu/KeyRectangles.h"
#include "cdu/KeyState.h"
#include "cdu/PageIds.h"
#include "cdu/RendererState.h"
#include "platform/CurrentState.h"

// Power state of the unit.
constexpr int kPowerOff = 0;
constexpr int kPowerOn = 1;
constexpr int kPowerRequested = 3;  // ON/OFF/DIM pressed while off; the next frame powers on

// State owned by the cdu/ folder. One instance lives in the Fms context; code reaches it
// through cduState(). Members are added here by the code that owns them.
struct CduState {
    KeyState keys;
    // The key hit rectangles, computed once at start-up.
    KeyRectangles keyRects = computeKeyRectangles();
    RendererState renderer;

    int currentPage = kPageInit;
    int previousPage = kPageInit;
    int unitPower = kPowerOff;
    bool displayControlShown = false;
    int displayControlMode = 0;  // 0 brightness controls, 1 video controls
    bool initAccepted = false;   // set by ACCEPT on the INIT page; gates the global function keys
    int lastSecond = 0;          // whole second of the previous frame's clock sample
    int frameMillis = 0;         // this frame's clock sample in milliseconds
    int secondsCounter = 0;      // advanced once per new whole second of the process clock
    bool newSecond = false;      // true in the frame in which secondsCounter advanced
    int rotationIndex = 0;       // display rotation 0, 90 or -90 degrees
    // Left/top of the window's normal placement, refreshed on every resize and before
    // FMS.ini is written (0, 0 until a window exists).
    int placementX = 0;
    int placementY = 0;
    // Start-up page timer: latched the first time the page is drawn, never reset.
    bool selfTestStarted = false;
    int selfTestStartMs = 0;
};

inline CduState& cduState() { return currentState<CduState>(); }
