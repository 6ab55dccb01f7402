// fms-route: brings routes from other planners into the routes folder, and stored routes out.
//
//   fms-route import FILE [--name NAME] [--data DIR]
//   fms-route import --icao "ROUTE STRING" --name NAME [--data DIR]
//   fms-route export NAME --format fms|pln|fgfs|gpx|icao [-o FILE] [--data DIR]

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "RouteExchange.h"
#include "RouteTool.h"

namespace {

void usage(FILE* out) {
    std::fputs(
        "usage: fms-route import FILE [--name NAME] [--data DIR]\n"
        "       fms-route import --icao \"ROUTE STRING\" --name NAME [--data DIR]\n"
        "       fms-route export NAME --format fms|pln|fgfs|gpx|icao [-o FILE] [--data DIR]\n"
        "\n"
        "import reads an X-Plane .fms, a simulator .pln, a FlightGear route .xml, a .gpx file or an\n"
        "ICAO route string, resolves every identifier against the database in DIR/data and stores\n"
        "the route as DIR/data/Routes/NAME.txt, where the CDU's route list finds it. The format\n"
        "follows from the file's extension or content; NAME defaults to the file's name. export\n"
        "writes a stored route in another planner's format (to standard output without -o).\n"
        "DIR is the data root, the folder that holds data/ (default: the current folder).\n"
        "Exit status 0 on success, 1 on any error (the message on standard error).\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        usage(stdout);
        return 0;
    }
    ToolRequest request;
    std::string error;
    if (!parseToolArguments(args, request, error)) {
        std::fprintf(stderr, "fms-route: %s\n", error.c_str());
        usage(stderr);
        return 1;
    }
    ToolOutput output;
    if (!runTool(request, output, error)) {
        for (const std::string& note : output.notes) std::fprintf(stderr, "fms-route: %s\n", note.c_str());
        std::fprintf(stderr, "fms-route: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& note : output.notes) std::fprintf(stderr, "fms-route: %s\n", note.c_str());
    std::fputs(output.text.c_str(), stdout);
    return 0;
}
