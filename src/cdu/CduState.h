#pragma once

#include "cdu/KeyRectangles.h"
#include "cdu/KeyState.h"
#include "cdu/PageTable.h"
#include "cdu/RendererState.h"

// Power state of the unit.
constexpr int kPowerOff = 0;
constexpr int kPowerOn = 1;
constexpr int kPowerRequested = 3;  // ON/OFF/DIM pressed while off; the next frame powers on

// State owned by the cdu/ folder. One instance lives in the Fms context; code reaches it
// through fms().cdu. Members are added here by the code that owns them.
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
    // Start-up page timer: latched the first time the page is drawn, never reset.
    bool selfTestStarted = false;
    int selfTestStartMs = 0;
    int onGroundLatch = 0;  // the simulator's on-ground value in the previous frame
};
