// fms-route's icao reader on arbitrary bytes, then the resolution of what it read against a
// small database: a reader either fails with a message or gives points with identifiers,
// and the resolution never gives a leg that is not a database record.
#include "RouteFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzRouteReader(RouteFormat::Icao, data, size);
}
