// fms-navdata: writes the navigation database text files from the world source files.
//
//   fms-navdata --input DIR --output DIR [--box SOUTH,WEST,NORTH,EAST] [--quiet]

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "import/SourceText.h"
#include "import/WorldImport.h"

using namespace navimport;

namespace {

void usage(FILE* out) {
    std::fprintf(out,
                 "usage: fms-navdata --input DIR --output DIR [--box SOUTH,WEST,NORTH,EAST] [--quiet]\n"
                 "\n"
                 "Reads apt.dat, nav.dat, fix.dat and awy.dat (gzip-compressed or plain) from the input\n"
                 "folder and writes airports.txt, Navaids.txt, Waypoints.txt, Ats.txt and Cycle.txt into\n"
                 "the output folder. With --box (degrees, north and east positive) only the airports,\n"
                 "navaids and fixes inside the box are kept, with every airway that enters it, whole, and\n"
                 "the fixes and navaids on those airways.\n");
}

bool parseBox(std::string_view text, GeoBox& box) {
    double values[4];
    for (int i = 0; i < 4; ++i) {
        std::size_t comma = text.find(',');
        if ((comma == std::string_view::npos) != (i == 3)) return false;
        if (!parseReal(text.substr(0, comma), values[i])) return false;
        text = i == 3 ? std::string_view() : text.substr(comma + 1);
    }
    box = GeoBox{values[0], values[1], values[2], values[3]};
    return box.south <= box.north && validPosition(box.south, box.west) && validPosition(box.north, box.east);
}

}  // namespace

int main(int argc, char** argv) {
    ImportOptions options;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        bool hasValue = i + 1 < argc;
        if ((arg == "--input" || arg == "-i") && hasValue) {
            options.inputDir = argv[++i];
        } else if ((arg == "--output" || arg == "-o") && hasValue) {
            options.outputDir = argv[++i];
        } else if ((arg == "--box" || arg == "-b") && hasValue) {
            options.useBox = true;
            if (!parseBox(argv[++i], options.box)) {
                std::fprintf(stderr, "fms-navdata: --box wants SOUTH,WEST,NORTH,EAST in degrees, got %s\n", argv[i]);
                return 2;
            }
        } else if (arg == "--quiet" || arg == "-q") {
            quiet = true;
        } else if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "fms-navdata: unexpected argument %s\n", argv[i]);
            usage(stderr);
            return 2;
        }
    }
    if (options.inputDir.empty() || options.outputDir.empty()) {
        usage(stderr);
        return 2;
    }

    // Progress only on a terminal: a log file should not fill with carriage returns.
    bool showProgress = !quiet && isatty(STDERR_FILENO) == 1;
    ImportProgress progress;
    if (showProgress) {
        progress = [](std::string_view stage, double fraction) {
            std::fprintf(stderr, "\rreading %-12.*s %3d%%", static_cast<int>(stage.size()), stage.data(),
                         static_cast<int>(fraction * 100.0));
            std::fflush(stderr);
        };
    }
    auto start = std::chrono::steady_clock::now();
    ImportReport report;
    bool ok = runImport(options, report, progress);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (showProgress) std::fprintf(stderr, "\r%40s\r", "");
    if (!ok) {
        for (const std::string& problem : report.problems) std::fprintf(stderr, "fms-navdata: %s\n", problem.c_str());
        std::fprintf(stderr, report.outputTouched ? "fms-navdata: stopped; the output folder holds an incomplete database\n"
                                                  : "fms-navdata: nothing written\n");
        return 1;
    }
    if (!quiet) {
        std::fputs(formatReport(report).c_str(), stdout);
        std::printf("written to %s in %.1f s\n", options.outputDir.c_str(), seconds);
    }
    return 0;
}
