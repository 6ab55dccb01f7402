// The whole keypad path without hardware: the board firmware runs in the AVR simulator
// (fms-keypad-sim) with its UART on a pseudo-terminal; the program finds it through the
// Arduino_Port setting, identifies it, and receives the keys pressed on its simulated matrix.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "Harness.h"
#include "SimChild.h"
#include "pages/PageTable.h"
#include "platform/posix/FdWait.h"
#include "platform/posix/PosixSerialPort.h"

namespace {

// Runs frames (2 ms apart in real time) until `done` holds or three seconds have passed.
bool framesUntil(Harness& h, const std::function<bool()>& done) {
    const int64_t deadline = monotonicMs() + 10000;
    while (!done()) {
        if (monotonicMs() > deadline) return false;
        usleep(2000);
        h.frame();
    }
    return true;
}

// Waits for a line of the board's standard output ("pty ...", "backlight on", ...) printed
// at or after offset `from`.
bool boardSaid(const SimChild& board, const std::string& line, size_t from = 0) {
    const int64_t deadline = monotonicMs() + 3000;
    while (board.output().find(line + "\n", from) == std::string::npos) {
        if (monotonicMs() > deadline) return false;
        usleep(5000);
    }
    return true;
}

}  // namespace

TEST(SimulatedBoard, TheProgramFindsTheFirmwareAndTakesKeysFromItsMatrix) {
#if !defined(FMS_KEYPAD_SIM) || !defined(FMS_KEYPAD_FIRMWARE)
    GTEST_SKIP() << "the AVR toolchain (avr-gcc, avr-libc) or libsimavr is not installed; "
                    "scripts/deps.sh installs them";
#else
    TempDir scratch;
    SimChild board(FMS_KEYPAD_SIM, scratch.str(), {"--unit", "1", FMS_KEYPAD_FIRMWARE},
                   (scratch.path() / "board.txt").string());
    ASSERT_TRUE(board.started());
    ASSERT_TRUE(boardSaid(board, "backlight off")) << board.output();  // the firmware has set up its pins
    const std::string output = board.output();
    const size_t at = output.find("pty ");
    ASSERT_NE(at, std::string::npos) << output;
    const std::string device = output.substr(at + 4, output.find('\n', at) - at - 4);

    PosixSerialPort port;
    Harness h{HarnessOptions{.sampleDatabase = false}};
    h.dir.write("FMS.ini", "Enable_Arduino:yes\nFMS1:yes\nArduino_Port:" + device + "\n");
    h.context.platform.serialPort = &port;
    h.frame();
    ASSERT_TRUE(h.context.hardware.keypadFound);
    EXPECT_EQ(port.device(), device);

    // ON/OFF/DIM on the board's matrix switches the unit on, and the program switches the
    // board's backlight on.
    ASSERT_TRUE(board.type("tap ONOFF"));
    ASSERT_TRUE(framesUntil(h, [&] { return h.cdu().currentPage == kPageStartup; }));
    EXPECT_NE(h.row(0).find("ORX - 1"), std::string::npos);
    EXPECT_TRUE(boardSaid(board, "backlight on")) << board.output();

    // Letters and digits type, BACK deletes.
    // Each key is waited for before the next is pressed: on a busy machine the board's time
    // runs behind, and keys pressed together are sent in the order of the matrix scan.
    const std::pair<const char*, const char*> typing[] = {{"K", "K"},  {"S", "KS"},  {"BACK", "K"},
                                                          {"E", "KE"}, {"A", "KEA"}, {"7", "KEA7"}};
    for (const auto& [key, typed] : typing) {
        ASSERT_TRUE(board.type(std::string("tap ") + key));
        const std::string expected = typed;  // a structured binding cannot be captured before clang 16
        EXPECT_TRUE(framesUntil(h, [&] { return h.keys().scratchpad == expected; }))
            << key << ": " << h.keys().scratchpad;
    }
    usleep(60000);
    // A key held down is sent once.
    ASSERT_TRUE(board.type("press B"));
    usleep(200000);
    ASSERT_TRUE(board.type("release B"));
    EXPECT_TRUE(framesUntil(h, [&] { return h.keys().scratchpad == "KEA7B"; }));
    usleep(50000);
    h.frames(5);
    EXPECT_EQ(h.keys().scratchpad, "KEA7B");

    // ENTER and a line select key wait for the page.
    ASSERT_TRUE(board.type("tap ENTER"));
    EXPECT_TRUE(framesUntil(h, [&] { return h.keys().pendingPadKey == kPadEnter; }));
    ASSERT_TRUE(board.type("tap R4"));
    EXPECT_TRUE(framesUntil(h, [&] { return h.keys().pendingLsk == kLskR4; }));
    EXPECT_EQ(h.keys().scratchpad, "KEA7B");

    // Unit off from the display-control overlay: the backlight goes off.
    ASSERT_TRUE(board.type("tap ONOFF"));
    ASSERT_TRUE(framesUntil(h, [&] { return h.cdu().displayControlShown; }));
    usleep(60000);
    ASSERT_TRUE(board.type("tap R5"));
    ASSERT_TRUE(framesUntil(h, [&] { return h.cdu().unitPower == kPowerOff; }));
    EXPECT_TRUE(boardSaid(board, "backlight off", board.output().rfind("backlight on")));

    // The board goes away: the program runs on with the mouse.
    board.signal(SIGKILL);
    board.wait();
    EXPECT_TRUE(framesUntil(h, [&] { return h.context.hardware.keypadLost; }));
    h.press("ONOFF");
    EXPECT_TRUE(h.frames(2));
    EXPECT_EQ(h.cdu().currentPage, kPageStartup);
#endif
}
