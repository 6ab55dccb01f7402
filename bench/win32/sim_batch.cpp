// The simulator link on Windows, timed: the round trip of one batch of 20 reads between this
// program and fms-sim.exe over the registered message and the named block. Starts fms-sim.exe
// itself, runs the batches and prints the median and the 99th percentile.
// Usage: bench-win32-batch [FMS_SIM_EXE] [BATCHES]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/Win32SimTransport.h"
#include "simlink/SimLink.h"

namespace {

struct Read {
    uint32_t offset;
    uint32_t size;
};

// Twenty variables of the kinds a frame reads: position, altitude, speeds, heading, time, switches.
constexpr Read kReads[20] = {{0x0560, 8}, {0x0568, 8}, {0x0570, 8}, {0x0580, 4}, {0x02B8, 4},
                             {0x02BC, 4}, {0x02C8, 4}, {0x0238, 1}, {0x0239, 1}, {0x023A, 1},
                             {0x0240, 2}, {0x023E, 2}, {0x023C, 2}, {0x0366, 2}, {0x0B74, 4},
                             {0x07BC, 4}, {0x07C8, 4}, {0x07D0, 4}, {0x0132, 2}, {0x0E90, 2}};

}  // namespace

int main(int argc, char** argv) {
    std::string sim = argc > 1 ? argv[1] : "fms-sim.exe";
    const int batches = argc > 2 ? std::max(10, std::atoi(argv[2])) : 2000;
    std::string command = sim + " --no-console";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start %s\n", sim.c_str());
        return 1;
    }
    Win32SimTransport transport;
    SimLink link(&transport);
    uint32_t result = 0;
    bool open = false;
    for (int i = 0; i < 200 && !open; ++i) {
        open = link.open(0, result);
        if (!open) Sleep(50);
    }
    int status = 0;
    if (!open) {
        std::fprintf(stderr, "no link to %s: result %u\n", sim.c_str(), result);
        status = 1;
    } else {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        uint8_t values[20][8] = {};
        std::vector<double> micros;
        micros.reserve(static_cast<size_t>(batches));
        for (int b = -100; b < batches; ++b) {  // the first hundred warm up
            LARGE_INTEGER start;
            LARGE_INTEGER end;
            QueryPerformanceCounter(&start);
            for (int r = 0; r < 20; ++r) link.read(kReads[r].offset, kReads[r].size, values[r], result);
            const bool ok = link.process(result);
            QueryPerformanceCounter(&end);
            if (!ok) {
                std::fprintf(stderr, "batch failed: result %u\n", result);
                status = 1;
                break;
            }
            if (b >= 0)
                micros.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                                 static_cast<double>(frequency.QuadPart));
        }
        if (!micros.empty()) {
            std::sort(micros.begin(), micros.end());
            const double median = micros[micros.size() / 2];
            const double p99 = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
            std::printf("%zu batches of 20 reads: median %.1f us, 99th percentile %.1f us\n", micros.size(),
                        median, p99);
        }
        link.close();
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return status;
}
