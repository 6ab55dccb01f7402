#pragma once

#include <string>
#include <vector>

#include "platform/SerialPort.h"

// A serial port on a POSIX terminal device: termios raw mode, 8N1, no flow control,
// non-blocking reads. The device is held exclusively (an advisory lock that other programs
// honour, and the terminal's exclusive mode).
class PosixSerialPort final : public SerialPort {
public:
    // `deviceDir` is searched for the serial devices a Linux user has (ttyACM*, ttyUSB*,
    // ttyS*); tests point it at a folder of links to pseudo-terminals.
    explicit PosixSerialPort(std::string deviceDir = "/dev") : deviceDir_(std::move(deviceDir)) {}
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    // USB CDC boards (ttyACM) first, then USB serial adapters (ttyUSB), then the built-in
    // ports (ttyS); by number within each kind. Only character devices are listed.
    std::vector<std::string> listDevices() override;

    SerialOpen open(const std::string& device, int baud) override;
    bool isOpen() const override { return fd_ >= 0; }
    const std::string& device() const override { return device_; }
    int bytesWaiting() override;
    int read(uint8_t* buffer, int maxBytes) override;
    int write(const uint8_t* bytes, int count) override;
    bool waitForInput(int timeoutMs) override;
    void discardInput() override;
    void close() override;

private:
    std::string deviceDir_;
    std::string device_;
    int fd_ = -1;
};
