#include <cstdio>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/KeyStore.h"
#include "platform/Termination.h"
#include "platform/gl/GlRenderer.h"
#include "platform/posix/PosixSerialPort.h"
#include "platform/posix/PosixSharedBlock.h"
#include "platform/posix/SimPosixTransport.h"
#include "platform/sdl/SdlMessageBoxes.h"
#include "platform/sdl/SdlWindow.h"
#include "shell/MainLoop.h"

int main(int argc, char** argv) {
    // Before anything else starts a thread.
    watchTerminationRequests();
    ProgramOptions options;
    std::string error;
    if (!parseProgramOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(
            stderr,
            "fms: %s\nusage: fms [--no-dialogs] [--timing] [--screenshot FILE] [--screenshot-frames N]\n"
            "           [--screenshot-ms N] [--quit-after-screenshot] [--keypad-port DEVICE]\n",
            error.c_str());
        return 2;
    }
    SteadyClock clock;
    FileKeyStore keyStore(FileKeyStore::defaultPath());
    SdlMessageBoxes boxes(options.dialogs);
    PosixSimTransport transport;
    GlRenderer renderer;
    SdlWindow window(&boxes);
    PosixSerialPort serialPort;
    PosixSharedBlock sharedBlock;
    return runProgram(options,
                      {clock, keyStore, boxes, transport, renderer, window, serialPort, sharedBlock});
}
