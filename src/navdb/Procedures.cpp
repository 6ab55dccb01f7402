#include "navdb/Procedures.h"

#include <algorithm>
#include <cstdio>

#include "navdb/NavDbState.h"
#include "platform/Platform.h"
#include "navdb/DatabaseFiles.h"
#include "navdb/ProcedureLeg.h"
#include "navdb/SplitFields.h"
#include "platform/Files.h"

namespace {
constexpr size_t kSidStarHeaderFields = 4;
constexpr size_t kTransitionHeaderFields = 4;
constexpr size_t kFinalHeaderFields = 5;
constexpr size_t kFinalHeaderWithNavaidFields = 7;
constexpr int32_t kEveryRunway = -1;

using Fields = std::vector<std::string_view>;

void skipLine(ReadReport& report, size_t lineNumber) {
    if (report.skipped++ == 0) report.firstSkippedLine = lineNumber;
}

// A leg line inside an open block: built by the leg builder, its waypoint kind taken from
// the length of field 1 (5 characters a fix, 3 a navaid), appended to `legs`. A line too
// short for its path terminator is dropped and counted.
void appendBlockLeg(const Fields& f, LegOrigin origin, std::vector<FplLeg>& legs, ReadReport& report,
                    size_t lineNumber) {
    FplLeg leg;
    if (!buildProcedureLeg(std::span<const std::string_view>(f), leg, origin)) {
        skipLine(report, lineNumber);
        return;
    }
    if (f.size() > 1) {
        if (f[1].size() == 5) leg.waypointKind = WaypointKind::Fix;
        if (f[1].size() == 3) leg.waypointKind = WaypointKind::Navaid;
    }
    legs.push_back(std::move(leg));
}

// The block structure every reader shares: outside a block `onOpen` sees each non-empty line
// and says whether it opened one; inside, `onLine` sees each non-empty line; an empty line
// ends the block and `onClose` attaches it. A block still open at the end of the file is
// dropped.
template <typename Open, typename Line, typename Close>
ReadReport scanBlocks(std::string_view text, Open&& onOpen, Line&& onLine, Close&& onClose) {
    ReadReport report;
    Fields f;
    bool inBlock = false;
    forEachLine(text, [&](size_t lineNumber, std::string_view line) {
        splitFieldViews(line, ",", f);
        if (f.empty()) {
            if (inBlock) {
                onClose();
                ++report.records;
                inBlock = false;
            }
            return;
        }
        if (!inBlock) {
            inBlock = onOpen(f, report, lineNumber);
        } else {
            onLine(f, report, lineNumber);
        }
    });
    return report;
}

// A header of kind `kind` with at least `minFields` fields; a shorter one is counted as
// skipped and opens nothing.
bool isHeader(const Fields& f, std::string_view kind, size_t minFields, ReadReport& report,
              size_t lineNumber) {
    if (f[0] != kind) return false;
    if (f.size() >= minFields) return true;
    skipLine(report, lineNumber);
    return false;
}

bool namesRunway(const Airport& airport, std::string_view text) {
    return std::any_of(airport.runways.begin(), airport.runways.end(),
                       [&](const Runway& r) { return r.ident == text; });
}

// The runway a SID belongs to: by ident, "ALL" for the first runway, else every runway.
int32_t targetRunway(const Airport& airport, const std::string& runwayText) {
    for (size_t i = 0; i < airport.runways.size(); ++i)
        if (airport.runways[i].ident == runwayText) return static_cast<int32_t>(i);
    if (runwayText == "ALL" && !airport.runways.empty()) return 0;
    return kEveryRunway;
}

Procedure startProcedure(const Airport& airport, const Fields& f) {
    Procedure p;
    p.airportIndex = airport.dbIndex;
    p.name = f[1];
    if (namesRunway(airport, f[2])) {
        p.runwayIdent = f[2];
        p.transitionName = "NONE";
    } else {
        p.transitionName = f[2];
    }
    p.routeType = fieldInt(f[3]);
    return p;
}

Runway* selectedRunway(Airport& airport) {
    if (airport.selectedRunwayIndex < 0 ||
        static_cast<size_t>(airport.selectedRunwayIndex) >= airport.runways.size())
        return nullptr;
    return &airport.runways[static_cast<size_t>(airport.selectedRunwayIndex)];
}

void rebuildSidMenu(Airport& airport, std::vector<MenuEntry>& menu) {
    menu.clear();
    Runway* r = selectedRunway(airport);
    if (r == nullptr) return;
    for (size_t i = 0; i < r->sids.size(); ++i)
        if (r->sids[i].runwayIdent == r->ident)
            menu.push_back(MenuEntry{r->sids[i].name, r->sids[i].runwayIdent, static_cast<int32_t>(i)});
}

// A STAR that comes as several consecutive records (one per transition) gives one entry.
void rebuildStarMenu(Airport& airport, std::vector<MenuEntry>& menu) {
    menu.clear();
    Runway* r = selectedRunway(airport);
    if (r == nullptr) return;
    for (size_t i = 0; i < r->stars.size(); ++i)
        if (menu.empty() || r->stars[i].name != menu.back().name)
            menu.push_back(MenuEntry{r->stars[i].name, "", static_cast<int32_t>(i)});
}

// SID and STAR blocks: `attach` takes each ended procedure.
template <typename Attach>
ReadReport readSidStarBlocks(const Airport& airport, std::string_view text, std::string_view header,
                             LegOrigin origin, Attach&& attach) {
    Procedure proc;
    return scanBlocks(
        text,
        [&](const Fields& f, ReadReport& report, size_t lineNumber) {
            if (!isHeader(f, header, kSidStarHeaderFields, report, lineNumber)) return false;
            proc = startProcedure(airport, f);
            return true;
        },
        [&](const Fields& f, ReadReport& report, size_t lineNumber) {
            appendBlockLeg(f, origin, proc.legs, report, lineNumber);
        },
        [&] { attach(std::move(proc)); });
}

bool safeIdent(const std::string& ident) {
    return !ident.empty() && ident != "." && ident != ".." &&
           ident.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

std::optional<std::string_view> fileText(const std::string& ident, std::string& storage) {
    if (!safeIdent(ident)) return std::nullopt;
    if (!readFileCapped(procedureFilePath(platform().dataRoot, ident), storage)) return std::nullopt;
    return std::string_view(storage);
}

void reportSkipped(const std::string& ident, const ReadReport& r) {
    if (r.skipped == 0) return;
    std::printf("data/Proc/%s.txt: lines skipped: %zu (first: line %zu)\n", ident.c_str(), r.skipped,
                r.firstSkippedLine);
}
}  // namespace

std::string procedureFilePath(const std::string& dataRoot, const std::string& airportIdent) {
    return joinPath(dataRoot, "data/Proc/" + airportIdent + ".txt");
}

ApproachType approachTypeFromLetter(char letter) {
    switch (letter) {
        case 'R':
            return ApproachType::Rnp;
        case 'C':
            return ApproachType::CatIIIls;
        case 'I':
            return ApproachType::Ils;
        case 'L':
            return ApproachType::Loc;
        case 'G':
            return ApproachType::Gps;
        case 'D':
            return ApproachType::Vor;
        case 'N':
            return ApproachType::Ndb;
        default:
            return ApproachType::None;
    }
}

namespace {
ReadReport readSidsReport(Airport& airport, ProcedureLists& lists, std::optional<std::string_view> text) {
    for (Runway& r : airport.runways) r.sids.clear();
    airport.sidsLoaded = 0;
    // The menu goes with the lists: a stale menu would offer another airport's SIDs.
    lists.sidMenu.clear();
    if (!text) return {};
    ReadReport report = readSidStarBlocks(airport, *text, "SID", LegOrigin::Departure, [&](Procedure&& p) {
        int32_t target = targetRunway(airport, p.runwayIdent);
        if (target == kEveryRunway) {
            for (Runway& r : airport.runways) r.sids.push_back(p);
        } else {
            airport.runways[static_cast<size_t>(target)].sids.push_back(std::move(p));
        }
    });
    airport.sidsLoaded = 1;
    rebuildSidMenu(airport, lists.sidMenu);
    return report;
}

ReadReport readStarsReport(Airport& airport, ProcedureLists& lists, std::optional<std::string_view> text) {
    for (Runway& r : airport.runways) r.stars.clear();
    airport.starsLoaded = 0;
    lists.starMenu.clear();
    if (!text) return {};
    // Every STAR goes to the selected runway, whatever runway or transition it names.
    ReadReport report = readSidStarBlocks(airport, *text, "STAR", LegOrigin::Arrival, [&](Procedure&& p) {
        if (Runway* r = selectedRunway(airport)) r->stars.push_back(std::move(p));
    });
    airport.starsLoaded = 1;
    rebuildStarMenu(airport, lists.starMenu);
    return report;
}

ReadReport readTransitionsReport(Runway& runway, std::string_view text) {
    std::vector<ApproachTransition>& out = runway.approaches.transitions;
    out.clear();
    ApproachTransition current;
    return scanBlocks(
        text,
        [&](const Fields& f, ReadReport& report, size_t lineNumber) {
            if (!isHeader(f, "APPTR", kTransitionHeaderFields, report, lineNumber) || f[2] != runway.ident)
                return false;
            current = ApproachTransition{};
            current.approachName = f[1];
            current.transitionName = f[3];
            current.approachType = approachTypeFromLetter(f[1][0]);
            return true;
        },
        [&](const Fields& f, ReadReport& report, size_t lineNumber) {
            appendBlockLeg(f, LegOrigin::Arrival, current.legs, report, lineNumber);
        },
        [&] { out.push_back(std::move(current)); });
}

}  // namespace

const char* finalApproachTypeText(ApproachType type, char lastLetter) {
    switch (type) {
        case ApproachType::Rnp:
            return lastLetter == 'Y' ? "RNPY" : (lastLetter == 'Z' ? "RNPZ" : "RNP");
        case ApproachType::CatIIIls:
            return "CATII ILS";
        case ApproachType::Ils:
            return "ILS";
        case ApproachType::Loc:
            return "LOC";
        case ApproachType::Gps:
            return "GPS";
        case ApproachType::Vor:
            return "VOR";
        case ApproachType::Ndb:
            return "NDB";
        default:
            return "";
    }
}

namespace {

// Type text, frequency and navaid of a FINAL header; false when its letter is not a type.
bool startFinal(const Fields& f, FinalApproach& fa) {
    std::string_view letter = f[3];
    fa = FinalApproach{};
    fa.legLimit = fieldInt(f[4]);
    if (fa.legLimit < INT32_MAX) ++fa.legLimit;
    if (letter.size() != 1) return false;
    fa.approachType = approachTypeFromLetter(letter[0]);
    switch (fa.approachType) {
        case ApproachType::CatIIIls:
        case ApproachType::Ils:
        case ApproachType::Loc:
            if (f.size() < kFinalHeaderWithNavaidFields) return false;
            fa.frequency = fieldReal(f[5]);
            fa.navaidIdent = f[6];
            break;
        case ApproachType::None:
            return false;
        default:
            break;
    }
    fa.typeText = finalApproachTypeText(fa.approachType, f[1].back());
    return true;
}

ReadReport readFinalsReport(Runway& runway, std::string_view text) {
    std::vector<FinalApproach>& out = runway.approaches.finals;
    out.clear();
    int32_t lineCounter = 0;
    FinalApproach current;
    return scanBlocks(
        text,
        [&](const Fields& f, ReadReport& report, size_t lineNumber) {
            if (!isHeader(f, "FINAL", kFinalHeaderFields, report, lineNumber) || f[2] != runway.ident)
                return false;
            if (!startFinal(f, current)) return false;  // an unknown letter opens no block
            lineCounter = 1;                            // the header is line 1 of the block and never a leg
            return true;
        },
        [&](const Fields& f, ReadReport& report, size_t lineNumber) {
            // Of the lines after a header with leg count N, the first N - 1 are legs; later
            // lines of the block are read and dropped.
            if (++lineCounter < current.legLimit)
                appendBlockLeg(f, LegOrigin::Arrival, current.legs, report, lineNumber);
        },
        [&] { out.push_back(std::move(current)); });
}
}  // namespace

void readSids(Airport& airport, ProcedureLists& lists, std::optional<std::string_view> text) {
    readSidsReport(airport, lists, text);
}

void readStars(Airport& airport, ProcedureLists& lists, std::optional<std::string_view> text) {
    readStarsReport(airport, lists, text);
}

void readApproachTransitions(Runway& runway, const Airport&, std::optional<std::string_view> text) {
    if (text) readTransitionsReport(runway, *text);
}

void readFinalApproaches(Runway& runway, const Airport&, std::optional<std::string_view> text) {
    if (text) readFinalsReport(runway, *text);
}

void loadSids(Airport& airport, ProcedureLists& lists) {
    std::string storage;
    reportSkipped(airport.ident, readSidsReport(airport, lists, fileText(airport.ident, storage)));
}

void loadStars(Airport& airport, ProcedureLists& lists) {
    std::string storage;
    reportSkipped(airport.ident, readStarsReport(airport, lists, fileText(airport.ident, storage)));
}

void loadSids(Airport& airport) {
    loadSids(airport, navDbState().procedures);
}

void loadStars(Airport& airport) {
    loadStars(airport, navDbState().procedures);
}

void loadApproachTransitions(Runway& runway, const Airport& airport) {
    std::string storage;
    if (auto text = fileText(airport.ident, storage))
        reportSkipped(airport.ident, readTransitionsReport(runway, *text));
}

void loadFinalApproaches(Runway& runway, const Airport& airport) {
    std::string storage;
    if (auto text = fileText(airport.ident, storage))
        reportSkipped(airport.ident, readFinalsReport(runway, *text));
}

namespace {
const MenuEntry* menuEntry(const std::vector<MenuEntry>& menu, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= menu.size()) return nullptr;
    return &menu[static_cast<size_t>(index)];
}

// Working lists hold whole copies that remember their position in the runway list.
void copyWithPosition(std::vector<Procedure>& from, size_t i, std::vector<Procedure>& to) {
    from[i].listPosition = static_cast<int32_t>(i);
    to.push_back(from[i]);
}
}  // namespace

void buildSidLists(Airport& airport, ProcedureLists& lists) {
    lists.sidRunwayParts.clear();
    lists.sidTransitions.clear();
    Runway* r = selectedRunway(airport);
    const MenuEntry* e = menuEntry(lists.sidMenu, airport.sidIndex);
    if (r == nullptr || e == nullptr) return;
    for (size_t i = 0; i < r->sids.size(); ++i)
        if (r->sids[i].runwayIdent == e->text) copyWithPosition(r->sids, i, lists.sidRunwayParts);
    for (size_t i = 0; i < r->sids.size(); ++i)
        if (r->sids[i].name == e->name && r->sids[i].transitionName != "NONE")
            copyWithPosition(r->sids, i, lists.sidTransitions);
}

void fillSidRunwayLegs(Airport& airport, const ProcedureLists& lists) {
    Runway* r = selectedRunway(airport);
    if (r == nullptr) return;
    r->sidRunwayLegs.clear();
    const MenuEntry* e = menuEntry(lists.sidMenu, airport.sidIndex);
    if (e == nullptr) return;
    // The last matching runway part wins.
    for (const Procedure& p : r->sids) {
        if (p.name == e->name && p.runwayIdent == e->text && p.transitionName == "NONE")
            r->sidRunwayLegs = p.legs;
    }
}

void buildStarTransitions(Airport& airport, ProcedureLists& lists) {
    lists.starTransitions.clear();
    Runway* r = selectedRunway(airport);
    const MenuEntry* e = menuEntry(lists.starMenu, airport.starIndex);
    if (r == nullptr || e == nullptr) return;
    for (size_t i = 0; i < r->stars.size(); ++i) {
        const Procedure& p = r->stars[i];
        if (p.name == e->name && (p.runwayIdent.empty() || p.runwayIdent == airport.selectedRunwayIdent))
            copyWithPosition(r->stars, i, lists.starTransitions);
    }
}

void buildSidLists(Airport& airport) {
    buildSidLists(airport, navDbState().procedures);
}
void fillSidRunwayLegs(Airport& airport) {
    fillSidRunwayLegs(airport, navDbState().procedures);
}
void buildStarTransitions(Airport& airport) {
    buildStarTransitions(airport, navDbState().procedures);
}

void keepTransitionsOfApproach(Runway& runway, const FinalApproach& chosen) {
    ApproachType keep = chosen.approachType;
    std::erase_if(runway.approaches.transitions,
                  [keep](const ApproachTransition& t) { return t.approachType != keep; });
}
