#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "navdb/NavDatabase.h"

// Per-airport procedure files ("data/Proc/<ident>.txt"), read on demand by the departure,
// arrival and reference pages, and the working lists derived from them. Main thread only.

// One line of a SID or STAR selection menu.
struct MenuEntry {
    std::string name;
    std::string text;      // SID menu: the runway text; STAR menu: empty
    int32_t position = 0;  // position of the procedure in the runway's sids/stars list
};

// The process-wide menus and working lists shared by the departure, arrival and NAV pages
// (navDbState().procedures).
struct ProcedureLists {
    std::vector<MenuEntry> sidMenu;
    std::vector<MenuEntry> starMenu;
    std::vector<Procedure> sidRunwayParts;
    std::vector<Procedure> sidTransitions;
    std::vector<Procedure> starTransitions;
};

std::string procedureFilePath(const std::string& dataRoot, const std::string& airportIdent);

// Readers on the current context (data root, procedure lists).
void loadSids(Airport& airport);
void loadStars(Airport& airport);
void loadApproachTransitions(Runway& runway, const Airport& airport);
void loadFinalApproaches(Runway& runway, const Airport& airport);
// The SID and STAR readers into lists of the caller's own: pages that only browse leave the
// selection pages' lists as they are.
void loadSids(Airport& airport, ProcedureLists& lists);
void loadStars(Airport& airport, ProcedureLists& lists);

// The same readers on a file's text; std::nullopt means the file could not be opened.
// SID and STAR lists are emptied either way (and so is the menu); approach lists only when
// the text is there.
void readSids(Airport& airport, ProcedureLists& lists, std::optional<std::string_view> text);
void readStars(Airport& airport, ProcedureLists& lists, std::optional<std::string_view> text);
void readApproachTransitions(Runway& runway, const Airport& airport, std::optional<std::string_view> text);
void readFinalApproaches(Runway& runway, const Airport& airport, std::optional<std::string_view> text);

// The approach type of a letter (R, C, I, L, G, D, N); None for any other.
ApproachType approachTypeFromLetter(char letter);
// The type text of a final approach: by its type, and for RNP approaches the last letter of
// the approach name (Y or Z); empty for None.
const char* finalApproachTypeText(ApproachType type, char lastLetter);

// Working lists derived after the user chose a menu entry (airport's selectedRunwayIndex and
// sidIndex / starIndex). An out-of-range choice leaves the lists empty.
void buildSidLists(Airport& airport, ProcedureLists& lists);
void fillSidRunwayLegs(Airport& airport, const ProcedureLists& lists);
void buildStarTransitions(Airport& airport, ProcedureLists& lists);
void buildSidLists(Airport& airport);
void fillSidRunwayLegs(Airport& airport);
void buildStarTransitions(Airport& airport);
// Keeps only the transitions of the chosen final approach's type, in their order.
void keepTransitionsOfApproach(Runway& runway, const FinalApproach& chosen);
