#pragma once

#include <sstream>
#include <string>

#include "navdb/NavDatabase.h"

// Every stored field of a record, comma-separated in file order, so that a test compares a
// whole record at once. Nine significant digits give every float exactly.
template <typename... Values>
std::string fieldsText(int digits, const Values&... values) {
    std::ostringstream s;
    s.precision(digits);
    ((s << values << ','), ...);
    std::string text = s.str();
    text.pop_back();
    return text;
}

inline std::string recordText(const Airport& a, int digits = 6) {
    return fieldsText(digits, a.ident, a.name, a.latitude, a.longitude, a.elevationFt, a.dbIndex);
}
inline std::string recordText(const Runway& r, int digits = 6) {
    return fieldsText(digits, r.ident, r.headingMag, r.lengthFt, r.secondLength, r.keptFlag, r.keptReal,
                      r.inboundCourseMag, r.thresholdLatitude, r.thresholdLongitude, r.elevationFt, r.keptReal2);
}
// The type as its number: 0 localizer, 1 NDB, 2 VOR, 3 VOR/DME, 4 DME.
inline std::string recordText(const Navaid& n, int digits = 6) {
    return fieldsText(digits, n.ident, n.name, n.frequency, static_cast<int>(n.type), n.keptInt, n.latitude,
                      n.longitude, n.elevationFt, n.declination, n.dbIndex);
}
inline std::string recordText(const Fix& f, int digits = 6) {
    return fieldsText(digits, f.ident, f.latitude, f.longitude, f.regionText, f.dbIndex);
}
inline std::string recordText(const AirwaySegment& g, int digits = 6) {
    return fieldsText(digits, g.fromIdent, g.fromLatitude, g.fromLongitude, g.toIdent, g.toLatitude,
                      g.toLongitude, g.inboundValue, g.outboundValue, g.segmentLength);
}
