#include "platform/win32/Win32Clock.h"

#include <windows.h>

#include <chrono>
#include <thread>

Win32Clock::Win32Clock() {
    LARGE_INTEGER value;
    if (QueryPerformanceFrequency(&value) && value.QuadPart > 0) frequency_ = value.QuadPart;
    start_ = perfCounter();
}

int64_t Win32Clock::perfCounter() {
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return value.QuadPart;
}

int64_t Win32Clock::perfFrequency() {
    return frequency_;
}

int64_t Win32Clock::processMillis() {
    // Split to keep the multiplication within 64 bits for counters that run for months.
    const int64_t ticks = perfCounter() - start_;
    return ticks / frequency_ * 1000 + ticks % frequency_ * 1000 / frequency_;
}

void Win32Clock::sleepMs(int ms) {
    if (ms > 0) Sleep(static_cast<DWORD>(ms));
}

void Win32Clock::sleepMicros(int64_t us) {
    if (us > 0) std::this_thread::sleep_for(std::chrono::microseconds(us));
}

std::time_t Win32Clock::wallTime() {
    return std::time(nullptr);
}
