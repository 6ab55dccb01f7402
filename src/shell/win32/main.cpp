// The program on Windows: the same shell as elsewhere on the Win32 backends.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/Termination.h"
#include "platform/gl/GlRenderer.h"
#include "platform/wgl/WglWindow.h"
#include "platform/win32/RegistryKeyStore.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32SerialPort.h"
#include "platform/win32/Win32SharedBlock.h"
#include "platform/win32/Win32SimTransport.h"
#include "shell/MainLoop.h"

int main(int argc, char** argv) {
    watchTerminationRequests();
    ProgramOptions options;
    std::string error;
    if (!parseProgramOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(
            stderr,
            "fms: %s\nusage: fms [--no-dialogs] [--timing] [--screenshot FILE] [--screenshot-frames N]\n"
            "           [--screenshot-ms N] [--quit-after-screenshot] [--keypad-port COMn]\n",
            error.c_str());
        return 2;
    }
    Win32Clock clock;
    RegistryKeyStore keyStore;
    Win32MessageBoxes boxes(options.dialogs);
    Win32SimTransport transport;
    GlRenderer renderer;
    WglWindow window(&boxes);
    Win32SerialPort serialPort;
    Win32SharedBlock sharedBlock;
    return runProgram(options,
                      {clock, keyStore, boxes, transport, renderer, window, serialPort, sharedBlock});
}
