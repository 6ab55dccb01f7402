#include "platform/win32/Win32SerialPort.h"

#include <windows.h>

namespace {

constexpr int kHighestPort = 16;
constexpr DWORD kQueueBytes = 10000;
constexpr DWORD kWriteWaitMs = 1000;
constexpr DWORD kReadWaitMs = 2000;

}  // namespace

std::string comPortPath(const std::string& device) {
    return "\\\\.\\" + device;
}

std::vector<std::string> Win32SerialPort::listDevices() {
    std::vector<std::string> devices;
    for (int n = 1; n <= kHighestPort; ++n) devices.push_back("COM" + std::to_string(n));
    return devices;
}

SerialOpen Win32SerialPort::open(const std::string& device, int baud) {
    if (handle_ != nullptr) return SerialOpen::Opened;
    HANDLE handle = CreateFileA(comPortPath(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) return SerialOpen::Busy;
        return SerialOpen::Failed;
    }
    handle_ = handle;
    device_ = device;
    // Reads return at once with what is queued; writes give up after five seconds.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = 5000;
    SetCommTimeouts(handle, &timeouts);
    readEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    writeEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DCB state{};
    state.DCBlength = sizeof state;
    bool ok = GetCommState(handle, &state) != 0;
    if (ok) {
        state.BaudRate = static_cast<DWORD>(baud);
        state.ByteSize = 8;
        state.Parity = NOPARITY;
        state.StopBits = ONESTOPBIT;
        state.fBinary = TRUE;
        state.fParity = FALSE;
        state.fOutxCtsFlow = FALSE;
        state.fOutxDsrFlow = FALSE;
        state.fDtrControl = DTR_CONTROL_ENABLE;
        state.fRtsControl = RTS_CONTROL_ENABLE;
        state.fOutX = FALSE;
        state.fInX = FALSE;
        ok = SetCommState(handle, &state) != 0;
    }
    ok = ok && SetupComm(handle, kQueueBytes, kQueueBytes) != 0;
    if (!ok || readEvent_ == nullptr || writeEvent_ == nullptr) {
        close();
        return SerialOpen::Failed;
    }
    return SerialOpen::Opened;
}

int Win32SerialPort::bytesWaiting() {
    if (handle_ == nullptr) return 0;
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handle_, &errors, &status)) {
        // The device has gone (a board unplugged).
        close();
        return 0;
    }
    return static_cast<int>(status.cbInQue);
}

int Win32SerialPort::read(uint8_t* buffer, int maxBytes) {
    if (handle_ == nullptr || buffer == nullptr || maxBytes <= 0) return 0;
    const int queued = bytesWaiting();
    if (queued <= 0) return 0;
    const DWORD wanted = static_cast<DWORD>(queued < maxBytes ? queued : maxBytes);
    OVERLAPPED overlapped{};
    overlapped.hEvent = readEvent_;
    ResetEvent(readEvent_);
    DWORD got = 0;
    if (ReadFile(handle_, buffer, wanted, &got, &overlapped)) return static_cast<int>(got);
    if (GetLastError() != ERROR_IO_PENDING) return 0;
    if (WaitForSingleObject(readEvent_, kReadWaitMs) != WAIT_OBJECT_0) {
        CancelIo(handle_);
        GetOverlappedResult(handle_, &overlapped, &got, TRUE);
        return static_cast<int>(got);
    }
    // Only the bytes actually transferred count, never the number asked for.
    if (!GetOverlappedResult(handle_, &overlapped, &got, FALSE)) return 0;
    return static_cast<int>(got);
}

int Win32SerialPort::write(const uint8_t* bytes, int count) {
    if (handle_ == nullptr || bytes == nullptr || count <= 0) return 0;
    int written = 0;
    for (int i = 0; i < count; ++i) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = writeEvent_;
        ResetEvent(writeEvent_);
        DWORD done = 0;
        if (WriteFile(handle_, bytes + i, 1, &done, &overlapped)) {
            written += static_cast<int>(done);
            continue;
        }
        if (GetLastError() != ERROR_IO_PENDING) break;
        if (WaitForSingleObject(writeEvent_, kWriteWaitMs) != WAIT_OBJECT_0) {
            CancelIo(handle_);
            GetOverlappedResult(handle_, &overlapped, &done, TRUE);
            break;
        }
        if (GetOverlappedResult(handle_, &overlapped, &done, FALSE)) written += static_cast<int>(done);
    }
    return written;
}

bool Win32SerialPort::waitForInput(int timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        if (bytesWaiting() > 0) return true;
        if (handle_ == nullptr || GetTickCount64() >= deadline) return false;
        Sleep(10);
    }
}

void Win32SerialPort::discardInput() {
    if (handle_ != nullptr) PurgeComm(handle_, PURGE_RXCLEAR | PURGE_RXABORT);
}

void Win32SerialPort::close() {
    if (readEvent_ != nullptr) CloseHandle(readEvent_);
    if (writeEvent_ != nullptr) CloseHandle(writeEvent_);
    readEvent_ = writeEvent_ = nullptr;
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = nullptr;
    device_.clear();
}
