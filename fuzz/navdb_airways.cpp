// Airways file reader on arbitrary bytes, then the airway lookup over what it read.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "navdb/DatabaseFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    NavDatabase db;
    ReadReport r = readAirways(text, db.airways);
    if (r.records != db.airways.size()) __builtin_trap();
    publish(db.airwaysLoaded);
    std::vector<AirwayRef> through;
    for (const Airway& a : db.airways) {
        if (a.segments.empty()) continue;
        FplLeg leg;
        leg.ident = a.segments.front().fromIdent;
        airwaysThroughFix(db, leg, through);
        if (through.empty()) __builtin_trap();
        for (size_t i = 1; i < through.size(); ++i)
            if (through[i].name == through[i - 1].name) __builtin_trap();
    }
    return 0;
}
