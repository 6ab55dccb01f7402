#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/Fms.h"
#include "InProcessSim.h"
#include "TempDir.h"
#include "RecordingRenderer.h"
#include "platform/MessageBoxes.h"

struct HarnessOptions {
    // Links the sample database (data/ of the source tree) into the data root. Tests with a
    // database of their own leave it off and write the files into dir before the first frame.
    bool sampleDatabase = true;
    // The client area the viewport rule is applied to (540 x 600 keeps the bezel shape).
    int clientWidth = 540;
    int clientHeight = 600;
    // Clock advance before every frame run by frame() / frames().
    int framePeriodMs = 20;
};

// The whole program without a window: a fresh context, the recording renderer, the stand-in
// simulator in-process on a manual clock, and a temporary data root. Keys are pressed the way
// a user does: CDU keys by a mouse click on their rectangle, text through the PC keyboard.
//
//     Harness h;
//     h.powerOn();
//     h.press("FPL"); h.type("KSEA"); h.press("ENTER"); h.frames(2);
//     EXPECT_EQ(h.row(0), "...");
class Harness {
public:
    explicit Harness(HarnessOptions options = {});
    ~Harness();
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    TempDir dir;  // the data root (FMS.ini, log.txt, textures/, data/)
    InProcessSim sim;
    RecordingRenderer renderer;
    RecordingMessageBoxes boxes;
    Fms context;

    // Start-up as the program does it: link, FMS.ini, viewport, one-time graphics set-up.
    // The first frame does it when it has not been called.
    void start();

    // Advances the clock by the frame period, then runs one frame. False when the frame ended
    // the program (no simulator link).
    bool frame();
    // n frames; false as soon as one ends the program.
    bool frames(int n);
    // Frames until `ms` of clock time have passed.
    bool runFor(int64_t ms);
    // Moves the clock (and the simulator) without running frames.
    void advanceMs(int64_t ms);

    // ON/OFF/DIM and one frame: the unit is on, showing the start-up page.
    void powerOn();
    // Clicks the CDU key called `name` (L1..R5, DATA NAV VNAV DTO LIST PREV FUEL FPL MENU NEXT,
    // FN8, FN9, digits, BACK, PAD11, ONOFF, PLUSMINUS, ENTER, A..Z). Fails the test for an
    // unknown name.
    void press(std::string_view name);
    // Types on the PC keyboard: letters and digits with their key-down, '\b' Backspace,
    // '\n' Enter, '\x1b' Escape, anything else as a character.
    void type(std::string_view text);

    // Blocks until the database loader threads have finished.
    void waitForDatabase();

    // The program's end: FMS.ini written back, fonts released, link closed.
    void end();

    const ScreenSnapshot& screen() const { return renderer.snapshot(); }
    std::string row(int r) const { return renderer.snapshot().row(r); }
    std::string dump() const { return renderer.snapshot().dump(); }

    CduState& cdu() { return context.cdu; }
    KeyState& keys() { return context.cdu.keys; }
    Settings& settings() { return context.platform.settings; }

private:
    HarnessOptions options_;
    ScopedFms current_;
    bool started_ = false;
};

// Harness::type on the current context, for tests without the whole program.
void typeOnPcKeyboard(std::string_view text);
