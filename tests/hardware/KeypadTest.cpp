#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FakeBoard.h"
#include "Harness.h"
#include "cdu/KeyRectangles.h"
#include "hardware/Keypad.h"
#include "pages/PageTable.h"
#include "platform/posix/PosixSerialPort.h"

namespace {

// The key bytes of the CDU keys by name, as the board protocol lists them.
const std::pair<const char*, int> kBytesByKey[] = {
    {"L1", 0x05},    {"L2", 0x04},   {"L3", 0x03},   {"L4", 0x01},    {"L5", 0x02},    {"R1", 0x07},
    {"R2", 0x06},    {"R3", 0x08},   {"R4", 0x09},   {"R5", 0x0A},    {"DATA", 0x0B},  {"NAV", 0x0D},
    {"VNAV", 0x0E},  {"DTO", 0x0F},  {"LIST", 0x10}, {"PREV", 0x11},  {"FUEL", 0x15},  {"FPL", 0x17},
    {"FN8", 0x18},   {"FN9", 0x19},  {"MENU", 0x1A}, {"NEXT", 0x1B},  {"1", 0x12},     {"2", 0x13},
    {"3", 0x14},     {"4", 0x1C},    {"5", 0x1D},    {"6", 0x1E},     {"7", 0x26},     {"8", 0x27},
    {"9", 0x28},     {"BACK", 0x30}, {"0", 0x31},    {"PAD11", 0x32}, {"ONOFF", 0x3A}, {"PLUSMINUS", 0x3B},
    {"ENTER", 0x45}, {"A", 0x1F},    {"B", 0x20},    {"C", 0x21},     {"D", 0x22},     {"E", 0x23},
    {"F", 0x24},     {"G", 0x25},    {"H", 0x29},    {"I", 0x2A},     {"J", 0x2B},     {"K", 0x2C},
    {"L", 0x2D},     {"M", 0x2E},    {"N", 0x2F},    {"O", 0x34},     {"P", 0x35},     {"Q", 0x36},
    {"R", 0x37},     {"S", 0x38},    {"T", 0x39},    {"U", 0x3E},     {"V", 0x3F},     {"W", 0x40},
    {"X", 0x41},     {"Y", 0x42},    {"Z", 0x43},
};

std::string byteOf(const char* key) {
    for (const auto& [name, byte] : kBytesByKey) {
        if (std::string(name) == key) return std::string(1, static_cast<char>(byte));
    }
    ADD_FAILURE() << "no key byte for " << key;
    return {};
}

// A folder that stands for /dev: links named like serial devices to the boards' terminals.
struct DeviceFolder {
    TempDir dir;
    void add(const std::string& name, const std::string& target) {
        std::filesystem::create_symlink(target, dir.path() / name);
    }
    std::string path(const std::string& name) const { return (dir.path() / name).string(); }
};

// A unit whose keypad search runs over `port` at its first frame. (The tests below wait up to
// two seconds for bytes to cross a pseudo-terminal: the machine may be busy.)
struct KeypadUnit {
    Harness h{HarnessOptions{.sampleDatabase = false}};
    explicit KeypadUnit(SerialPort& port, bool unit1, const std::string& namedPort = "") {
        h.dir.write("FMS.ini", std::string("Enable_Arduino:yes\nEnable_Debug:yes\nFMS1:") +
                                   (unit1 ? "yes" : "no") + "\nArduino_Port:" + namedPort + "\n");
        h.context.platform.serialPort = &port;
    }
    bool found() const { return h.context.hardware.keypadFound; }
};

}  // namespace

TEST(KeypadBytes, EveryListedByteStandsForItsKeyAndNoOtherByteForAnyKey) {
    std::vector<bool> listed(256, false);
    for (const auto& [name, byte] : kBytesByKey) {
        SCOPED_TRACE(name);
        const CduKey* key = keypadKeyForByte(static_cast<uint8_t>(byte));
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->name, name);
        listed[static_cast<size_t>(byte)] = true;
    }
    for (int byte = 0; byte < 256; ++byte) {
        if (!listed[static_cast<size_t>(byte)]) {
            EXPECT_EQ(keypadKeyForByte(static_cast<uint8_t>(byte)), nullptr) << "byte " << byte;
        }
    }
}

TEST(KeypadBytes, DigitsAndLettersTypeBackDeletesAndTheOtherKeysWaitForThePage) {
    Harness h{HarnessOptions{.sampleDatabase = false}};
    KeyState& keys = h.keys();
    for (const char* key : {"K", "7", "0", "BACK", "Z"})
        applyKeypadByte(static_cast<uint8_t>(byteOf(key)[0]));
    EXPECT_EQ(keys.scratchpad, "K7Z");
    EXPECT_EQ(keys.pendingPadKey, kPadNone);
    EXPECT_EQ(keys.pendingAlphaKey, kAlphaNone);

    applyKeypadByte(0x45);  // ENTER types nothing and stays pending
    EXPECT_EQ(keys.pendingPadKey, kPadEnter);
    EXPECT_EQ(keys.scratchpad, "K7Z");
    applyKeypadByte(0x3B);
    EXPECT_EQ(keys.pendingPadKey, kPadPlusMinus);
    applyKeypadByte(0x08);
    EXPECT_EQ(keys.pendingLsk, kLskR3);
    applyKeypadByte(0x1A);
    EXPECT_EQ(keys.pendingFunctionKey, kFnMenu);

    keys.pendingPadKey = kPadNone;
    for (uint8_t garbage : {0x00, 0xFF, 0xF0, 0xCE, 0x0C, 0x16, 0x44, 0x46, 0x80}) {
        EXPECT_FALSE(applyKeypadByte(garbage)) << int{garbage};
    }
    EXPECT_EQ(keys.scratchpad, "K7Z");
    EXPECT_EQ(keys.pendingPadKey, kPadNone);
    EXPECT_EQ(keys.pendingLsk, kLskR3);
    EXPECT_EQ(keys.pendingFunctionKey, kFnMenu);
}

TEST(SerialDevices, TheSearchListsBoardsFirstThenAdaptersThenBuiltInPortsByNumber) {
    DeviceFolder dev;
    for (const char* name : {"ttyS1", "ttyACM10", "ttyUSB0", "ttyACM2", "ttyS0", "tty0", "ttyS", "ttyACMx",
                             "ttyUSB12345", "null"}) {
        dev.add(name, "/dev/null");
    }
    dev.dir.write("ttyACM3", "a plain file is no device");
    PosixSerialPort port(dev.dir.str());
    const std::vector<std::string> expected = {dev.path("ttyACM2"), dev.path("ttyACM10"), dev.path("ttyUSB0"),
                                               dev.path("ttyS0"), dev.path("ttyS1")};
    EXPECT_EQ(port.listDevices(), expected);
    EXPECT_TRUE(PosixSerialPort("/no/such/folder").listDevices().empty());
    // /dev/null is no terminal: it cannot serve as a serial port.
    EXPECT_EQ(port.open(dev.path("ttyS0"), 9600), SerialOpen::Failed);
    EXPECT_FALSE(port.isOpen());
}

TEST(SerialDevices, ReadsReturnWhatHasArrivedAndAVanishedDeviceClosesThePort) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ok());
    PosixSerialPort port;
    ASSERT_EQ(port.open(pty.slavePath(), 9600), SerialOpen::Opened);
    EXPECT_EQ(port.open("/elsewhere", 9600), SerialOpen::Opened);  // already open: nothing opened
    EXPECT_EQ(port.device(), pty.slavePath());
    // Held exclusively: a second port cannot take the device.
    PosixSerialPort second;
    EXPECT_EQ(second.open(pty.slavePath(), 9600), SerialOpen::Busy);

    uint8_t buffer[16] = {};
    EXPECT_EQ(port.read(buffer, 16), 0);  // nothing waiting: no wait, no error
    EXPECT_TRUE(port.isOpen());
    ASSERT_TRUE(pty.send("\x01\x02\x03"));
    ASSERT_TRUE(port.waitForInput(1000));
    EXPECT_EQ(port.bytesWaiting(), 3);
    // Asking for more than has arrived gives the count actually read.
    EXPECT_EQ(port.read(buffer, 16), 3);
    EXPECT_EQ(buffer[2], 3);
    const uint8_t out[] = {0xFF, 0x00, 0x0A, 0x0D};  // raw: no translation of any byte
    EXPECT_EQ(port.write(out, 4), 4);
    EXPECT_EQ(pty.receive(4, 1000), std::string("\xFF\x00\x0A\x0D", 4));

    pty.hangUp();
    EXPECT_EQ(port.read(buffer, 1), 0);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.write(out, 1), 0);
    EXPECT_FALSE(port.waitForInput(10));
}

// The program repeats its query until the first reply arrives; a board (or a busy machine)
// that delivers the answers to the repeats late must not have them read as key presses.
TEST(KeypadSearch, LateRepliesToRepeatedQueriesAreNotTakenForKeys) {
    FakeBoard board("FMS1", 200);
    ASSERT_TRUE(board.ok());
    PosixSerialPort port;
    KeypadUnit unit(port, true, board.device());
    unit.h.frame();
    ASSERT_TRUE(unit.found());
    for (int i = 0; i < 20; ++i) {  // half a second of frames: the late replies are in by then
        usleep(25000);
        unit.h.frame();
    }
    EXPECT_GE(board.queries(), 2);
    EXPECT_EQ(unit.h.keys().scratchpad, "");  // "1" is the key byte of the digit 0
}

TEST(KeypadSearch, EachUnitTakesItsOwnBoardAndLeavesTheOtherUnitsBoardAlone) {
    FakeBoard unit2Board("FMS2");
    FakeBoard unit1Board("FXY1");  // only the first and the last byte identify a board
    ASSERT_TRUE(unit2Board.ok() && unit1Board.ok());
    DeviceFolder dev;
    dev.add("ttyACM0", unit2Board.device());
    dev.add("ttyUSB0", unit1Board.device());

    PosixSerialPort port1(dev.dir.str());
    KeypadUnit unit1(port1, true);
    unit1.h.frames(6);  // long enough for a stray reply to be polled as keys
    ASSERT_TRUE(unit1.found());
    EXPECT_EQ(port1.device(), dev.path("ttyUSB0"));
    EXPECT_GE(unit2Board.queries(), 1);  // asked, refused, and its port closed again
    EXPECT_GE(unit1Board.queries(), 1);
    // The board answered every repeated query; none of those replies became a key ("1" is
    // the key byte of the digit 0).
    EXPECT_EQ(unit1.h.keys().scratchpad, "");
    EXPECT_EQ(unit1.h.keys().pendingPadKey, kPadNone);
    const std::string log = unit1.h.dir.read("log.txt");
    EXPECT_NE(log.find("Port " + dev.path("ttyACM0") + " Opened Sucessfully "), std::string::npos);
    EXPECT_NE(log.find("Port " + dev.path("ttyUSB0") + " Opened Sucessfully "), std::string::npos);

    // Unit 2 finds its board although unit 1 holds the first device of the search.
    PosixSerialPort port2(dev.dir.str());
    KeypadUnit unit2(port2, false);
    unit2.h.frames(2);
    ASSERT_TRUE(unit2.found());
    EXPECT_EQ(port2.device(), dev.path("ttyACM0"));
    EXPECT_EQ(unit2.h.keys().scratchpad, "");

    // Each unit's keys come from its own board only.
    ASSERT_TRUE(unit1Board.sendKeys(byteOf("A")));
    ASSERT_TRUE(unit2Board.sendKeys(byteOf("B")));
    for (int i = 0; i < 1000 && (unit1.h.keys().scratchpad.empty() || unit2.h.keys().scratchpad.empty());
         ++i) {
        ScopedFms one(unit1.h.context);
        unit1.h.frame();
        ScopedFms two(unit2.h.context);
        unit2.h.frame();
        usleep(2000);
    }
    EXPECT_EQ(unit1.h.keys().scratchpad, "A");
    EXPECT_EQ(unit2.h.keys().scratchpad, "B");
}

TEST(KeypadSearch, SilentPortsAndMissingDevicesAreSkippedAndTheUnitRunsWithoutABoard) {
    FakeBoard silent("");
    FakeBoard board("FMS1");
    DeviceFolder dev;
    dev.add("ttyACM0", silent.device());
    dev.add("ttyACM1", "/no/such/device");
    dev.add("ttyUSB0", board.device());
    PosixSerialPort port(dev.dir.str());
    KeypadUnit unit(port, true);
    unit.h.frame();
    EXPECT_TRUE(unit.found());
    EXPECT_EQ(port.device(), dev.path("ttyUSB0"));
    // The silent port was asked again until its time-out: one query, then one every 500 ms.
    EXPECT_GE(silent.queries(), 4);

    // A named device that is missing: no board, and the unit works with mouse and keyboard.
    PosixSerialPort other(dev.dir.str());
    KeypadUnit alone(other, true, "/no/such/device");
    alone.h.powerOn();
    EXPECT_FALSE(alone.found());
    EXPECT_EQ(alone.h.cdu().currentPage, kPageStartup);
    alone.h.type("AB");
    EXPECT_EQ(alone.h.keys().scratchpad, "AB");
    EXPECT_NE(alone.h.dir.read("log.txt").find("Port /no/such/device Could Not Be Opened "),
              std::string::npos);
}

// (The simulated-board test drives the unit on and off, the backlight and an unplugged board
// through the real firmware.)
TEST(KeypadPoll, KeysArriveOnePerFrameAndGarbageIsLoggedAndDropped) {
    FakeBoard board("FMS1");
    PosixSerialPort port;
    KeypadUnit unit(port, true, board.device());
    Harness& h = unit.h;
    h.frame();
    ASSERT_TRUE(unit.found());

    // A burst of bytes with garbage among them: one byte per frame, garbage ignored.
    ASSERT_TRUE(board.sendKeys(byteOf("K") + std::string("\x00\xFF\x80", 3) + byteOf("S") + byteOf("E") +
                               byteOf("BACK") + byteOf("A")));
    for (int i = 0; i < 2000 && port.bytesWaiting() < 8; ++i) usleep(1000);
    h.frame();
    EXPECT_EQ(h.keys().scratchpad, "K");
    h.frames(7);
    EXPECT_EQ(h.keys().scratchpad, "KSA");
    EXPECT_NE(h.dir.read("log.txt").find("Recieved Key:  -128 "), std::string::npos);
}
