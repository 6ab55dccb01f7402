#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "RouteExchange.h"

// The command line of fms-route, apart from main so that the tests run it.
struct ToolRequest {
    bool import = false;
    std::string file;  // import FILE
    std::string icao;  // import --icao
    bool icaoGiven = false;
    std::string name;  // --name, or the route to export
    std::string dataRoot = ".";
    RouteFormat format = RouteFormat::Unknown;  // export --format
    std::string outputFile;                     // export -o
};

struct ToolOutput {
    std::string text;                // for standard output
    std::vector<std::string> notes;  // for standard error
};

bool parseToolArguments(const std::vector<std::string_view>& args, ToolRequest& request, std::string& error);

// A route name from a file name: upper case, letters, digits, '-' and '_' only, at most 8.
std::string routeNameFromFile(std::string_view path);

// Loads the database of the data root (quietly) and runs the request. Nothing is written when
// it fails.
bool runTool(const ToolRequest& request, ToolOutput& output, std::string& error);

// The same on an already loaded database (the benchmarks keep one for many runs).
bool importRoute(const NavDatabase& db, const ToolRequest& request, ToolOutput& output, std::string& error);
bool exportRoute(const NavDatabase& db, const ToolRequest& request, ToolOutput& output, std::string& error);

// Reads the five database files of a data root without console lines; false when the
// airports file is missing.
bool loadDatabaseQuietly(NavDatabase& db, const std::string& dataRoot);
