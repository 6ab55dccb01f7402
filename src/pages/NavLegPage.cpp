#include <cstdlib>

#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceState.h"
#include "guidance/LateralGuidance.h"
#include "pages/NavPages.h"
#include "pages/PageDrawing.h"
#include "pages/PagesState.h"
#include "pages/Paging.h"
#include "simlink/SimLinkState.h"

namespace {

constexpr int kCandidatesPerPage = 7;

const FplLeg* candidate(int position) {
    const std::vector<int>& c = pagesState().nav.navLegCandidates;
    if (position < 0 || position >= static_cast<int>(c.size())) return nullptr;
    return planLeg(c[static_cast<size_t>(position)]);
}

const char* shownIdent(const FplLeg& leg) {
    return leg.waypointKind == WaypointKind::Hold ? "(HOLD)" : leg.ident.c_str();
}

// A FROM or TO field: the candidate's ident, or in edit a white bar with the scratchpad (or
// the ident while nothing is typed) in black.
void drawField(int row, const FplLeg* leg, bool inEdit) {
    const std::string& scratchpad = cduState().keys.scratchpad;
    const char* ident = leg != nullptr ? shownIdent(*leg) : "";
    if (!inEdit) {
        drawTextAt(4, row, colourGreen, fontLarge, alignLeft, "%s", ident);
        return;
    }
    drawFieldBar(4, row, 6);
    drawTextAt(4, row, colourBlack, fontLarge, alignLeft, "%s",
               scratchpad.empty() ? ident : scratchpad.c_str());
}

}  // namespace

void runNavLegPage() {
    NavPageState& st = pagesState().nav;
    KeyState& keys = cduState().keys;
    if (planSegments().empty()) {
        st.navLegMode = 0;
        st.navLegModeBefore = 0;
        return;
    }
    if (st.navLegModeBefore != 1) st.navLegListPage = 1;
    st.navLegModeBefore = st.navLegMode;
    // Taken every frame: indices into the plan must follow its edits.
    st.navLegCandidates.clear();
    for (int i = 0; i < planLegCount(); ++i)
        if (planLeg(i)->waypointKind != WaypointKind::None) st.navLegCandidates.push_back(i);
    const int count = static_cast<int>(st.navLegCandidates.size());

    // The active leg's TO waypoint among the candidates (the last one of that ident).
    int t = -1;
    const PlanSegment* active = planSegment(st.shownSegment);
    const FplLeg* activeTo = active != nullptr ? planLeg(active->toLeg) : nullptr;
    for (int i = 0; i < count && activeTo != nullptr; ++i)
        if (candidate(i)->ident == activeTo->ident) t = i;

    const int pages = count / kCandidatesPerPage + 1;
    stepPage(st.navLegListPage, pages);
    drawTextAt(3, 0, colourGreen, fontLarge, alignLeft, "POS");
    drawTextAt(7, 0, colourGreen, fontLarge, alignLeft, "NAV LEG %d/%d", st.navLegListPage, pages);
    drawTextAt(2, 2, colourWhite, fontMed, alignLeft, "FR");
    drawTextAt(2, 4, colourWhite, fontMed, alignLeft, "TO");
    drawTextAt(2, 6, colourWhite, fontMed, alignLeft, "NX");
    drawRightPromptText(10, 21, "RETURN");

    drawField(2, t >= 1 ? candidate(t - 1) : nullptr, st.navLegSelection == 1);
    drawField(4, t >= 0 ? candidate(t) : nullptr, st.navLegSelection == 2);
    if (const FplLeg* nx = t >= 0 ? candidate(t + 1) : nullptr)
        drawTextAt(4, 6, colourGreen, fontLarge, alignLeft, "%s", shownIdent(*nx));

    const int first = (st.navLegListPage - 1) * kCandidatesPerPage;
    for (int k = 0; k < kCandidatesPerPage && first + k < count; ++k) {
        const int i = first + k;
        drawTextAt(14, 2 + k, colourWhite, fontMed, alignLeft, "%d", i + 1);
        drawTextAt(16, 2 + k, i == t ? colourMagenta : colourGreen, fontMed, alignLeft, "%s",
                   shownIdent(*candidate(i)));
    }

    if (keys.pendingLsk == kLskR5) {
        st.navLegMode = 0;
        st.navLegModeBefore = 0;
        clearScratchpad();
        resetLsk();
        return;
    }
    if (keys.pendingPadKey == kPadEnter && !keys.scratchpad.empty()) {
        const int n = std::atoi(keys.scratchpad.c_str());
        if (st.navLegSelection == 2 && n >= 1 && n <= count) setActiveLegByIdent(candidate(n - 1)->ident);
        if (st.navLegSelection == 1 && n >= 0 && n < count) setActiveLegByIdent(candidate(n)->ident);
        // ENTER itself is consumed: left pending it would act again on the next page shown.
        resetPadKey();
        clearScratchpad();
    }
}
