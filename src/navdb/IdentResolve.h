#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "geo/Geodesy.h"
#include "navdb/FplLeg.h"

struct NavDatabase;

// Identifier look-ups that pick one record among namesakes: a stored route, an airway point
// or an imported route names a waypoint by its identifier, and the world holds many records
// of most identifiers. The sorted identifier tables make each look-up a binary search instead
// of a scan of a hundred thousand fixes.

// One table's identifiers, sorted, with their list positions (in list order among equals).
// The views point into the database records, which never move after loading.
struct IdentTable {
    std::vector<std::pair<std::string_view, int32_t>> entries;
    size_t builtOver = static_cast<size_t>(-1);  // list size when built; another size rebuilds
};

struct IdentIndex {
    IdentTable airports;
    IdentTable navaids;
    IdentTable fixes;
};

// The loaded records of one table (kind Airport, Navaid or Fix) with this identifier, in list
// order. Empty for any other kind or a table that is not loaded yet. Builds the table's index
// on first use (main thread only).
std::span<const std::pair<std::string_view, int32_t>> recordsNamed(const NavDatabase& db, WaypointKind kind,
                                                                   std::string_view ident);

// One database record found for an identifier.
struct ResolvedRecord {
    WaypointKind kind = WaypointKind::None;  // None: nothing found
    int32_t index = -1;
    double latitude = 0.0;
    double longitude = 0.0;
    explicit operator bool() const { return kind != WaypointKind::None; }
};

struct ResolveOptions {
    // Tables searched; on equal distance the earlier kind wins.
    std::vector<WaypointKind> kinds{WaypointKind::Fix, WaypointKind::Navaid, WaypointKind::Airport};
    // Localizers and the DMEs of an ILS are no route waypoints.
    bool skipLocalizers = true;
    // Only records within this distance of `near` count (no limit without `near`).
    float maxDistanceNm = 1.0e9f;
};

// The record with this identifier nearest to `near`; without `near` the first record of the
// first kind that has one. Nothing when no record qualifies.
ResolvedRecord resolveIdent(const NavDatabase& db, std::string_view ident,
                            const std::optional<GeoPoint>& near, const ResolveOptions& options = {});

// Position of a record; false for an index outside its loaded table.
bool recordPosition(const NavDatabase& db, WaypointKind kind, int32_t index, double& latitude,
                    double& longitude);
// Identifier of a record; nullptr for an index outside its loaded table.
const std::string* recordIdent(const NavDatabase& db, WaypointKind kind, int32_t index);

// Plan legs for database records, as the pages build them: an airport leg (ident, name,
// position, elevation), a navaid leg (ident, name, position, frequency, declination) or a fix
// leg (ident, position), each with its dbIndex. Kind None for an index outside the table.
FplLeg legForRecord(const NavDatabase& db, WaypointKind kind, int32_t index);

// For a navaid leg: the navaid's frequency and variation, so that TUNE is offered for it.
void addNavaidRadio(const NavDatabase& db, FplLeg& leg);
