#include <cstdio>
#include <string>
#include <vector>

#include "platform/sdl/SdlProgram.h"

int main(int argc, char** argv) {
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
    return runProgram(options);
}
