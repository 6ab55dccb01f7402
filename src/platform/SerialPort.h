#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Outcome of opening a serial device.
enum class SerialOpen : uint8_t {
    Opened,  // open and set up (also when this port was already open)
    Busy,    // another process holds the device
    Denied,  // no permission to open the device
    Failed,  // missing, not a terminal, or the settings were refused
};

// One serial port, raw 8-bit bytes at a fixed baud rate. Reads never wait: they return what
// has arrived. A device that goes away (a board unplugged) closes the port; the owner sees
// that through isOpen(). Only the main thread uses it.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // The serial devices worth probing for a keypad board, in search order.
    virtual std::vector<std::string> listDevices() = 0;

    // Opens `device` exclusively at `baud`, 8 data bits, no parity, one stop bit, raw.
    // Returns Opened at once, without opening anything, when the port is already open.
    virtual SerialOpen open(const std::string& device, int baud) = 0;
    virtual bool isOpen() const = 0;
    // The device the port has open (empty when closed).
    virtual const std::string& device() const = 0;

    // Received bytes waiting to be read (0 when closed).
    virtual int bytesWaiting() = 0;
    // Up to `maxBytes` of the bytes that have arrived; the count actually read (0 when nothing
    // is waiting or the port is closed).
    virtual int read(uint8_t* buffer, int maxBytes) = 0;
    // Writes `count` bytes, waiting at most a second for room in the driver's queue; the count
    // written (0 when closed).
    virtual int write(const uint8_t* bytes, int count) = 0;
    // Waits until received bytes are waiting or `timeoutMs` have passed; true when bytes are
    // waiting. The identification of a board is the only caller that waits.
    virtual bool waitForInput(int timeoutMs) = 0;
    // Throws away every received byte not yet read.
    virtual void discardInput() = 0;
    virtual void close() = 0;
};
