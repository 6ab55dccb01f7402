#include "flightplan/PlanExport.h"

#include <cstdio>
#include <locale>
#include <sstream>

#include "flightplan/FlightPlanState.h"
#include "platform/Files.h"

std::string simulatorPlanText(const FlightPlan& plan) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    for (const FplLeg& leg : plan.legs) {
        if (leg.latitude == 0.0f) continue;
        out << leg.ident << ',' << leg.latitude << ',' << leg.longitude << '\n';
    }
    return out.str();
}

void exportSimulatorPlan() {
    const std::string path = dataPath(kSimulatorPlanFile);
    if (createParentFolders(path)) writeFileAtomically(path, simulatorPlanText(flightPlanState().plan));
}
