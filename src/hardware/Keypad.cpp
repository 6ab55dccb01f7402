#include "hardware/Keypad.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "cdu/KeyRectangles.h"
#include "hardware/HardwareState.h"
#include "hardware/KeypadProtocol.h"
#include "platform/Clock.h"
#include "platform/EventLog.h"
#include "platform/Platform.h"
#include "platform/SerialPort.h"

namespace {

constexpr int kBaud = 9600;
// A board resetting on open (most USB boards do) may send start-up noise; it is given this
// long and then discarded before the first query.
constexpr int kSettleMs = 200;
// The query is repeated at this interval until a reply arrives or the time-out passes.
constexpr int kQueryIntervalMs = 500;
constexpr int kReplyTimeoutMs = 2000;
// Once the first reply byte is in, the other three follow within a few milliseconds.
constexpr int kReplyRestMs = 100;
// After the accepted reply the line must stay quiet this long: the board answers every
// repeated query, and those later replies must not be read as key presses.
constexpr int kQuietMs = 50;
constexpr int kMaxQuietRounds = 20;
// Ports that another program held during the search are tried again this often, this far apart.
constexpr int kBusyRetries = 3;
constexpr int kBusyRetryPauseMs = 1000;

// Byte -> key. The key bytes are listed in the order of cduKeys() (line select keys,
// function keys, keypad, letters, each by code).
using ByteTable = std::array<const CduKey*, 256>;

const ByteTable& byteTable() {
    static const ByteTable table = [] {
        static_assert(KEYPAD_KEY_COUNT == std::tuple_size_v<std::decay_t<decltype(cduKeys())>>);
        ByteTable t{};
        for (size_t i = 0; i < KEYPAD_KEY_COUNT; ++i) t[kKeypadKeyBytes[i]] = &cduKeys()[i];
        return t;
    }();
    return table;
}

SerialPort* serialPort() {
    return platform().serialPort;
}

char unitDigit() {
    return platform().settings.unitIsFms1 ? '1' : '2';
}

void writeByte(SerialPort& port, uint8_t byte) {
    port.write(&byte, 1);
}

// Waits for the line to stay quiet, throwing away what arrives meanwhile.
void drainLine(SerialPort& port) {
    for (int round = 0; round < kMaxQuietRounds && port.isOpen(); ++round) {
        port.discardInput();
        if (!port.waitForInput(kQuietMs)) return;
    }
}

// The identification reply, waiting briefly for each byte after the first has arrived; shorter
// when the board stops sending.
std::string readReply(SerialPort& port) {
    std::string reply;
    while (reply.size() < KEYPAD_REPLY_LENGTH && port.isOpen()) {
        uint8_t buffer[KEYPAD_REPLY_LENGTH];
        const int got = port.read(buffer, static_cast<int>(KEYPAD_REPLY_LENGTH - reply.size()));
        if (got > 0) {
            reply.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(got));
            continue;
        }
        if (!port.waitForInput(kReplyRestMs)) break;
    }
    return reply;
}

// Reads and throws away `count` bytes, each waited for at most one query interval.
void discardBytes(SerialPort& port, int count) {
    while (count > 0 && port.isOpen()) {
        uint8_t buffer[64];
        const int got = port.read(buffer, std::min(count, static_cast<int>(sizeof buffer)));
        if (got > 0) {
            count -= got;
        } else if (!port.waitForInput(kQueryIntervalMs)) {
            return;
        }
    }
}

// Asks the board on the open port which unit it belongs to. True when it is this unit's.
bool probe(SerialPort& port) {
    const char unit = unitDigit();
    std::printf("Finding Arduino for FMS%c\n", unit);
    writeByte(port, KEYPAD_QUERY);
    int queries = 1;
    bool answered = false;
    for (int waited = 0; !answered && waited < kReplyTimeoutMs && port.isOpen(); waited += kQueryIntervalMs) {
        writeByte(port, KEYPAD_QUERY);
        ++queries;
        answered = port.waitForInput(kQueryIntervalMs);
    }
    if (!answered) return false;
    const std::string reply = readReply(port);
    if (reply.size() < KEYPAD_REPLY_LENGTH || reply[0] != KEYPAD_REPLY_FIRST || reply[3] != unit)
        return false;
    std::printf("FMS%c connected to Arduino keys\n", unit);
    // The board answers every query it received: the replies to the other queries must not be
    // read as key presses, however late a slow board or a busy machine delivers them.
    discardBytes(port, (queries - 1) * static_cast<int>(KEYPAD_REPLY_LENGTH));
    drainLine(port);
    return port.isOpen();
}

// Opens `device` and probes it. True when this unit's board answered (the port stays open).
bool tryPort(SerialPort& port, const std::string& device, bool& busy) {
    busy = false;
    const SerialOpen opened = port.open(device, kBaud);
    if (opened != SerialOpen::Opened) {
        std::printf("Port %s Cannot Be Opened\n", device.c_str());
        if (opened == SerialOpen::Denied) {
            std::printf("(no permission: the user needs to be in the group that owns %s)\n", device.c_str());
        }
        if (opened == SerialOpen::Busy) std::printf("(in use by another program; tried again later)\n");
        logEvent("Port " + device + " Could Not Be Opened ");
        busy = opened == SerialOpen::Busy;
        return false;
    }
    logEvent("Port " + device + " Opened Sucessfully ");
    std::printf("Port %s Opened Sucessfully\n", device.c_str());
    port.waitForInput(kSettleMs);
    port.discardInput();
    if (probe(port)) return true;
    port.close();
    return false;
}

void sleepMs(int ms) {
    if (Clock* clock = platform().clock) clock->sleepMs(ms);
}

}  // namespace

const CduKey* keypadKeyForByte(uint8_t byte) {
    return byteTable()[byte];
}

bool applyKeypadByte(uint8_t byte) {
    const CduKey* key = keypadKeyForByte(byte);
    if (key == nullptr) return false;
    KeyState& keys = cduState().keys;
    switch (key->group) {
        case KeyGroup::Lsk:
            keys.pendingLsk = key->code;
            return true;
        case KeyGroup::Function:
            keys.pendingFunctionKey = key->code;
            return true;
        case KeyGroup::Pad:
            keys.pendingPadKey = key->code;
            break;
        case KeyGroup::Alpha:
            keys.pendingAlphaKey = key->code;
            break;
    }
    typeIntoScratchpad();
    return true;
}

void searchKeypad() {
    HardwareState& hw = hardwareState();
    SerialPort* port = serialPort();
    if (port == nullptr || hw.keypadFound) return;
    const std::string& named =
        hw.keypadPortOption.empty() ? platform().settings.keypadPort : hw.keypadPortOption;
    std::vector<std::string> devices = named.empty() ? port->listDevices() : std::vector<std::string>{named};
    if (devices.empty()) std::printf("No serial ports to search for the keypad\n");
    for (int round = 0; round <= kBusyRetries && !devices.empty(); ++round) {
        if (round > 0) sleepMs(kBusyRetryPauseMs);
        std::vector<std::string> busyDevices;
        for (const std::string& device : devices) {
            bool busy = false;
            if (tryPort(*port, device, busy)) {
                hw.keypadFound = true;
                hw.keypadLost = false;
                return;
            }
            if (busy) busyDevices.push_back(device);
        }
        devices = std::move(busyDevices);
    }
    std::printf("No keypad found for FMS%c: keys from the mouse and keyboard only\n", unitDigit());
}

void pollKeypad() {
    HardwareState& hw = hardwareState();
    SerialPort* port = serialPort();
    if (!hw.keypadFound || hw.keypadLost || port == nullptr) return;
    uint8_t byte = 0;
    const int got = port->read(&byte, 1);
    if (got != 1) {
        if (!port->isOpen()) {
            hw.keypadLost = true;
            std::printf("Keypad disconnected: keys from the mouse and keyboard only\n");
        }
        return;
    }
    const int value = static_cast<int8_t>(byte);
    std::printf("Recieved Key: 0x%x \n", static_cast<unsigned>(value));
    logEvent("Recieved Key:  " + std::to_string(value) + " ");
    applyKeypadByte(byte);
}

void followUnitPower(bool unitOn) {
    HardwareState& hw = hardwareState();
    if (unitOn == hw.backlightOn) return;
    hw.backlightOn = unitOn;
    setKeypadBacklight(unitOn);
}

void setKeypadBacklight(bool on) {
    std::printf("Backlight State:%d\n", on ? 1 : 0);
    SerialPort* port = serialPort();
    if (port != nullptr && hardwareState().keypadFound && port->isOpen()) {
        writeByte(*port, on ? KEYPAD_BACKLIGHT_ON : KEYPAD_BACKLIGHT_OFF);
    }
}
