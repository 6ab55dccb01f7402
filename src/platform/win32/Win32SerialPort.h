#pragma once

#include <string>

#include "platform/SerialPort.h"

// A COM port with overlapped I/O, used only to bound the waits: reads take what the driver
// has queued and never wait for more; writes wait at most a second.
class Win32SerialPort final : public SerialPort {
public:
    Win32SerialPort() = default;
    ~Win32SerialPort() override { close(); }
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    // COM1..COM16, the ports a keypad board is searched on.
    std::vector<std::string> listDevices() override;
    SerialOpen open(const std::string& device, int baud) override;
    bool isOpen() const override { return handle_ != nullptr; }
    const std::string& device() const override { return device_; }
    int bytesWaiting() override;
    int read(uint8_t* buffer, int maxBytes) override;
    int write(const uint8_t* bytes, int count) override;
    bool waitForInput(int timeoutMs) override;
    void discardInput() override;
    void close() override;

private:
    void* handle_ = nullptr;
    void* readEvent_ = nullptr;
    void* writeEvent_ = nullptr;
    std::string device_;
};

// The file name that opens port `device` ("COM12" needs the device namespace prefix).
std::string comPortPath(const std::string& device);
