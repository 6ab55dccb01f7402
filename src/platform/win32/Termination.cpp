#include "platform/Termination.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<bool> requested{false};

// Ctrl+C, Ctrl+Break and the console window's close button end the program the ordinary
// way (FMS.ini saved) instead of at once.
BOOL WINAPI onConsoleControl(DWORD) {
    requested.store(true);
    return TRUE;
}

}  // namespace

void watchTerminationRequests() {
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

bool terminationRequested() {
    return requested.load();
}
