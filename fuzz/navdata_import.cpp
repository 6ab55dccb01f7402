// Feeds arbitrary bytes to the world-data readers as each of the four source formats, builds
// the airway chains, applies a box and writes every record. Checks that nothing crashes and
// that no written line holds an empty field (the database readers would shift every field
// after it).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/AirwayChains.h"
#include "import/DatabaseWriter.h"
#include "import/SourceText.h"
#include "import/WorldImport.h"
#include "import/XPlaneReaders.h"

using namespace navimport;

namespace {

void checkLines(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) __builtin_trap();  // every line is terminated
        std::string_view line(text.data() + start, end - start);
        if (line.empty() || line.front() == ',' || line.back() == ',' || line.find(",,") != std::string_view::npos ||
            line.find('\r') != std::string_view::npos) {
            __builtin_trap();
        }
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    WorldDatabase database;
    ImportReport report;
    {
        StringLineSource source(text);
        readWorldNavaids(source, database.navaids, report.navaids);
    }
    {
        StringLineSource source(text);
        readWorldAirports(source, database.navaids, database.airports, report.airports);
    }
    {
        StringLineSource source(text);
        readWorldFixes(source, database.fixes, report.fixes);
    }
    std::vector<SourceSegment> segments;
    {
        StringLineSource source(text);
        readWorldAirwaySegments(source, segments, report.airways);
    }
    database.airways = buildAirwayChains(segments, report.airways);
    keepBox(database, GeoBox{-10.0, 170.0, 50.0, -100.0}, report);
    for (const WorldAirport& airport : database.airports) checkLines(airportLines(airport));
    for (const WorldNavaid& navaid : database.navaids) checkLines(navaidLine(navaid));
    for (const WorldFix& fix : database.fixes) checkLines(fixLine(fix));
    for (const WorldAirway& airway : database.airways) checkLines(airwayLines(airway));
    checkLines(formatReport(report));
    return 0;
}
