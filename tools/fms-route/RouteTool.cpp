#include "RouteTool.h"

#include <cctype>
#include <filesystem>

#include "flightplan/PlanExport.h"
#include "flightplan/RouteFiles.h"
#include "navdb/DatabaseFiles.h"
#include "navdb/DatabaseLoad.h"
#include "platform/Files.h"

namespace {

// Route files of other planners are small; a file far larger is none of them.
constexpr size_t kMaxInputBytes = size_t{16} << 20;

bool readInput(const std::string& path, std::string& text, std::string& error) {
    if (!readFileCapped(path, text, kMaxInputBytes)) {
        error = path + ": cannot be read, or too large for a route";
        return false;
    }
    return true;
}

}  // namespace

bool parseToolArguments(const std::vector<std::string_view>& args, ToolRequest& r, std::string& error) {
    if (args.empty() || (args[0] != "import" && args[0] != "export")) {
        error = "the first argument is import or export";
        return false;
    }
    r.import = args[0] == "import";
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string_view a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--name" && hasValue) {
            r.name = args[++i];
        } else if (a == "--data" && hasValue) {
            r.dataRoot = args[++i];
        } else if (a == "--icao" && hasValue && r.import) {
            r.icao = args[++i];
            r.icaoGiven = true;
        } else if (a == "--format" && hasValue && !r.import) {
            r.format = formatFromWord(args[++i]);
            if (r.format == RouteFormat::Unknown || args[i] == "txt" || args[i] == "xml") {
                error = "--format is fms, pln, fgfs, gpx or icao, not " + std::string(args[i]);
                return false;
            }
        } else if ((a == "-o" || a == "--output") && hasValue && !r.import) {
            r.outputFile = args[++i];
        } else if (!a.empty() && a[0] != '-' && r.import && r.file.empty() && !r.icaoGiven) {
            r.file = a;
        } else if (!a.empty() && a[0] != '-' && !r.import && r.name.empty()) {
            r.name = a;
        } else {
            error = "unexpected argument " + std::string(a);
            return false;
        }
    }
    if (r.import && r.file.empty() == !r.icaoGiven) {
        error = "import takes a FILE or --icao \"ROUTE STRING\"";
        return false;
    }
    if (r.import && r.icaoGiven && r.name.empty()) {
        error = "import --icao needs --name NAME";
        return false;
    }
    if (!r.import && (r.name.empty() || r.format == RouteFormat::Unknown)) {
        error = "export takes NAME and --format";
        return false;
    }
    return true;
}

std::string routeNameFromFile(std::string_view path) {
    std::string stem = std::filesystem::path(std::string(path)).stem().string();
    std::string name;
    for (char c : stem) {
        const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (((u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' || u == '_') &&
            name.size() < kRouteNameMaxLength)
            name += u;
    }
    return name;
}

bool loadDatabaseQuietly(NavDatabase& db, const std::string& dataRoot) {
    std::string text;
    if (!readFileCapped(joinPath(dataRoot, kAirportsFile), text)) return false;
    readAirports(text, db.airports);
    if (readFileCapped(joinPath(dataRoot, kNavaidsFile), text)) readNavaids(text, db.navaids);
    if (readFileCapped(joinPath(dataRoot, kWaypointsFile), text)) readWaypoints(text, db.fixes);
    if (readFileCapped(joinPath(dataRoot, kAirwaysFile), text)) readAirways(text, db.airways);
    if (readFileCapped(joinPath(dataRoot, kCycleFile), text)) readCycle(text, db.cycleText);
    markDatabaseLoaded(db);
    return true;
}

bool importRoute(const NavDatabase& db, const ToolRequest& request, ToolOutput& output, std::string& error) {
    std::string name = request.name;
    ExchangeRoute route;
    std::string readError;
    if (request.icaoGiven) {
        if (!readIcaoRoute(request.icao, route, readError)) {
            error = "route string: " + readError;
            return false;
        }
    } else {
        std::string text;
        if (!readInput(request.file, text, error)) return false;
        const RouteFormat format = detectFormat(request.file, text);
        if (!readRoute(format, text, route, readError)) {
            error = request.file + ": " + readError;
            return false;
        }
        if (name.empty()) name = routeNameFromFile(request.file);
    }
    if (!isValidRouteName(name)) {
        error = "route name \"" + name + "\": 1 to 8 of A-Z, 0-9, - and _ (give --name)";
        return false;
    }
    std::vector<FplLeg> legs;
    if (!resolveRoute(db, route, legs, readError, &output.notes)) {
        error = (request.icaoGiven ? std::string("route string") : request.file) + ": " + readError;
        return false;
    }
    const std::string path = routeFilePath(request.dataRoot, name);
    if (!createParentFolders(path) || !writeFileAtomically(path, routeTextFor(db, legs, route.procedures))) {
        error = path + ": cannot be written";
        return false;
    }
    output.text = "stored route " + name + " with " + std::to_string(legs.size()) + " waypoints\n";
    return true;
}

bool exportRoute(const NavDatabase& db, const ToolRequest& request, ToolOutput& output, std::string& error) {
    if (!isValidRouteName(request.name)) {
        error = "route name \"" + request.name + "\": 1 to 8 of A-Z, 0-9, - and _";
        return false;
    }
    const std::string path = routeFilePath(request.dataRoot, request.name);
    std::string text;
    if (!readInput(path, text, error)) {
        error = "no stored route " + request.name + " (" + error + ")";
        return false;
    }
    const ExportRoute route = exportRouteFromText(db, text, &output.notes);
    if (route.waypoints.empty()) {
        error = "route " + request.name + " has no waypoint in this database";
        return false;
    }
    const std::string written = writeRoute(request.format, route, db, request.name);
    if (request.outputFile.empty()) {
        output.text = written;
    } else if (!writeFileAtomically(request.outputFile, written)) {
        error = request.outputFile + ": cannot be written";
        return false;
    }
    return true;
}

bool runTool(const ToolRequest& request, ToolOutput& output, std::string& error) {
    NavDatabase db;
    if (!loadDatabaseQuietly(db, request.dataRoot)) {
        error = "no database in " + joinPath(request.dataRoot, "data") + " (give --data DIR)";
        return false;
    }
    return request.import ? importRoute(db, request, output, error) : exportRoute(db, request, output, error);
}
