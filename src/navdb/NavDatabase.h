#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "geo/Geodesy.h"
#include "navdb/FplLeg.h"
#include "navdb/IdentResolve.h"
#include "navdb/NavaidGrid.h"

// The navigation database: every airport (with its runways), navaid, named fix and airway
// read from the text files at start-up. Lists are in file order and never shrink or reorder
// after loading, so a database index (a position in a list) stays valid for the run.

// A SID or STAR of one airport, read from its procedure file.
struct Procedure {
    std::string name;
    // A procedure of one runway has the runway's ident here and "NONE" as its transition;
    // a transition has the file's text as its transition and an empty runway text.
    std::string runwayIdent;
    std::string transitionName;
    int32_t selectionFlag = 0;    // working field of the selection pages
    int32_t selectionIndex = -1;  // working field of the selection pages
    int32_t airportIndex = -1;    // the airport's dbIndex when the procedure was read
    int32_t listPosition = -1;    // position in its runway list, set when copied to a working list
    int32_t routeType = 1;
    std::vector<FplLeg> legs;
    std::vector<FplLeg> selectionLegs;  // SIDs only: working list of the departure page
};

enum class ApproachType : int32_t {
    None = 0,
    CatIIIls = 2,
    Ils = 3,
    Gps = 4,
    Vor = 5,
    Ndb = 6,
    Rnp = 7,
    Loc = 8,
};

struct ApproachTransition {
    std::vector<FplLeg> legs;
    std::string approachName;
    std::string transitionName;
    ApproachType approachType = ApproachType::None;
};

struct FinalApproach {
    std::vector<FplLeg> legs;
    float frequency = 0.0f;  // 0 when the approach has none
    std::string typeText;    // "RNP", "RNPY", "RNPZ", "CATII ILS", "ILS", "LOC", "GPS", "VOR", "NDB"
    std::string navaidIdent;
    ApproachType approachType = ApproachType::None;
    int32_t legLimit = 0;  // the file's leg count plus one
};

struct RunwayApproaches {
    std::vector<ApproachTransition> transitions;
    std::vector<FinalApproach> finals;
    std::string selectionText;  // working text of the arrival page
};

struct Runway {
    std::string ident;  // designator exactly as in the file; procedure files use the same text
    uint32_t headingMag = 0;  // whole degrees magnetic
    uint16_t lengthFt = 0;
    uint16_t secondLength = 0;  // kept only
    // Threshold elevation. Signed: runways below sea level exist.
    int16_t elevationFt = 0;
    float thresholdLatitude = 0.0f;  // the runway end the NAV/RNWY page calls "APPR END"
    float thresholdLongitude = 0.0f;
    bool keptFlag = false;  // kept only
    float keptReal = 0.0f;  // kept only
    uint16_t inboundCourseMag = 0;  // final approach course, whole degrees magnetic
    float keptReal2 = 0.0f;  // kept only
    std::vector<Procedure> sids;
    std::vector<Procedure> stars;
    RunwayApproaches approaches;
    std::vector<FplLeg> sidRunwayLegs;  // runway part of the chosen SID
    std::string departureText;          // working text of the departure page
};

struct Airport {
    std::string ident;
    std::string name;
    std::string selectedRunwayIdent;  // runway chosen on the selection pages
    float latitude = 0.0f;
    float longitude = 0.0f;
    // Signed: airports below sea level exist and must not read as 65 000 ft.
    int16_t elevationFt = 0;
    std::vector<Runway> runways;
    int32_t dbIndex = -1;  // written by the departure and arrival pages, not by the loader
    int32_t selectedRunwayIndex = -1;
    // Choices of the departure and arrival pages.
    int32_t sidIndex = -1;
    int32_t sidTransitionIndex = -1;
    int32_t starIndex = -1;
    int32_t starTransitionIndex = -1;
    int32_t approachIndex = -1;
    int32_t approachTransitionIndex = -1;
    int32_t sidsLoaded = 0;
    int32_t starsLoaded = 0;
};

enum class NavaidType : int32_t {
    Localizer = 0,
    Ndb = 1,
    Vor = 2,
    VorDme = 3,
    Dme = 4,  // DME without VOR (an ILS with DME; the ident page shows "ILS")
};

struct Navaid {
    std::string ident;
    std::string name;
    float frequency = 0.0f;  // in the unit of the file
    NavaidType type = NavaidType::Ndb;
    int32_t keptInt = 0;  // kept only
    float latitude = 0.0f;
    float longitude = 0.0f;
    int16_t elevationFt = 0;
    float declination = 0.0f;  // magnetic variation, degrees
    int32_t dbIndex = -1;
};

struct Fix {
    std::string ident;
    float latitude = 0.0f;
    float longitude = 0.0f;
    std::string regionText;
    int32_t dbIndex = -1;
};

struct AirwaySegment {
    std::string fromIdent;
    float fromLatitude = 0.0f;
    float fromLongitude = 0.0f;
    float inboundValue = 0.0f;
    std::string toIdent;
    float toLatitude = 0.0f;
    float toLongitude = 0.0f;
    float outboundValue = 0.0f;
    float segmentLength = 0.0f;
};

struct Airway {
    std::string name;
    std::vector<AirwaySegment> segments;
    int32_t segmentCount = 0;  // as given in the header; the lines that follow may differ
};

// One-byte ready flags: a loader stores 1 with release after its list is complete; readers
// load with acquire, so a set flag guarantees the whole list is visible.
using ReadyFlag = std::atomic<uint8_t>;
inline bool isSet(const ReadyFlag& flag) {
    return flag.load(std::memory_order_acquire) != 0;
}
inline void publish(ReadyFlag& flag) {
    flag.store(1, std::memory_order_release);
}

// The loader threads of one database. Joined when the database goes away, so a test or a
// program that ends during a load never leaves a thread writing into freed memory.
struct LoaderThreads {
    std::array<std::thread, 4> threads;
    LoaderThreads() = default;
    LoaderThreads(const LoaderThreads&) = delete;
    LoaderThreads& operator=(const LoaderThreads&) = delete;
    ~LoaderThreads() { joinAll(); }
    void joinAll() {
        for (std::thread& t : threads)
            if (t.joinable()) t.join();
    }
};

struct NavDatabase {
    std::vector<Airport> airports;
    std::vector<Navaid> navaids;
    std::vector<Airway> airways;
    std::vector<Fix> fixes;
    std::string cycleText;  // shown on the INIT page

    ReadyFlag loadRequested{0};  // set by the start-up page when it first asks for the load
    ReadyFlag loadStarted{0};    // set when the loader threads are started
    ReadyFlag airportsLoaded{0};
    ReadyFlag navaidsLoaded{0};
    ReadyFlag airwaysLoaded{0};
    ReadyFlag fixesLoaded{0};
    // Two further readiness flags the start-up page waits for; nothing loads them, so they
    // are set from the start.
    ReadyFlag presetReadyA{1};
    ReadyFlag presetReadyB{1};

    // Spatial index over `navaids` for magneticVariationAt; built by the navaid loader
    // before it publishes navaidsLoaded.
    NavaidGrid navaidGrid;
    // Sorted identifiers of the loaded tables, built on first use by the main thread (or a
    // tool) and rebuilt when a table has grown since; a cache, not data.
    mutable IdentIndex identIndex;

    // Last member: destroyed (joined) first, while the lists still exist.
    LoaderThreads loaderThreads;
};

// Lookups. Each list is read only after its ready flag is set; a list whose loader has not
// finished reads as empty (the fixes loader is not waited for at start-up, so fixes simply
// are not found until it is done).

// The airport nearest to a position (strictly nearer wins; of equal distances the first in
// the list), as an airport leg. With no airports the leg describes airport 0 with no data.
FplLeg nearestAirport(const NavDatabase& db, double latitude, double longitude);

// One database record: its table (Airport, Navaid or Fix) and its index there.
struct IdentMatch {
    WaypointKind kind = WaypointKind::None;
    int32_t index = -1;
    bool operator==(const IdentMatch&) const = default;
};
using IdentMatches = std::vector<IdentMatch>;

// Every fix, navaid and airport whose ident equals `ident` exactly, nearest to `reference`
// first: identifiers repeat across the world (and a fix may share a VOR's), and the one near
// where the pilot is flying is the likely one, so every record stays reachable and the first
// one shown is the right one in the common case. Equally near records keep the order fixes,
// navaids, airports, each in file order. (The caller takes the text from the scratchpad and
// clears it.)
IdentMatches findIdentifier(const NavDatabase& db, const std::string& ident, const GeoPoint& reference);

// The position of a record; nothing for an index outside its table.
std::optional<GeoPoint> recordPosition(const NavDatabase& db, const IdentMatch& match);

// Database records that correspond to an existing plan entry (by its waypointKind).
IdentMatches matchLeg(const NavDatabase& db, const FplLeg& leg);

// First navaid (not a localizer, not a DME-only) / fix with the leg's ident whose latitude
// minus the leg's latitude is below 1 degree (signed: everything south passes).
const Navaid* findNavaidNear(const NavDatabase& db, const FplLeg& leg);
const Fix* findFixNear(const NavDatabase& db, const FplLeg& leg);

struct AirwayRef {
    std::string name;
    int32_t index = 0;
};
// Airways with a segment starting at the leg's ident, in list order; consecutive entries of
// the same airway name collapse to one.
void airwaysThroughFix(const NavDatabase& db, const FplLeg& leg, std::vector<AirwayRef>& out);

// Declination of the nearest navaid with a non-zero declination within 100 NM (see
// nearestVariationNavaid); 0 when there is none.
float magneticVariationAt(const NavDatabase& db, double latitude, double longitude);
