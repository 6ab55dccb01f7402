#pragma once

#include <cstdint>

// The hardware keypad: a board on a serial port that answers the identification query for
// unit 1 or unit 2 and then sends one byte per key press (hardware/KeypadProtocol.h). It
// uses the serial port service platform().serialPort.

// Start-up search: the explicit device (command line, else FMS.ini Arduino_Port) when one is
// named, else every serial device the port lists; the first board that identifies itself as
// this unit's keeps its port open. Ports held by another program are tried again after the
// others. Without a board the program goes on with mouse and keyboard.
void searchKeypad();

// Once per frame: at most one received byte is mapped to its CDU key. Never waits. When the
// board's port has gone away the keypad is dropped with one console line.
void pollKeypad();

// Sends the backlight byte for the unit's power (nothing when no board is connected).
void setKeypadBacklight(bool on);

// Once per frame: switches the backlight when the unit has been switched on or off since the
// last call.
void followUnitPower(bool unitOn);

struct CduKey;

// The CDU key a key byte stands for; null for bytes outside the key tables.
const CduKey* keypadKeyForByte(uint8_t byte);

// Sets the pending slot of the key `byte` stands for and types digits and letters into the
// scratchpad, as a click on that key does. False (nothing changes) for unlisted bytes.
bool applyKeypadByte(uint8_t byte);
