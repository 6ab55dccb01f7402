#include "flightplan/PlanExport.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <locale>
#include <sstream>

#include "Fms.h"
#include "shell/DataPath.h"

std::string simulatorPlanText(const FlightPlan& plan) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    for (const FplLeg& leg : plan.legs) {
        if (leg.latitude == 0.0f) continue;
        out << leg.ident << ',' << leg.latitude << ',' << leg.longitude << '\n';
    }
    return out.str();
}

bool replaceFileAtomically(const std::string& path, std::string_view text) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(path);
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), ec);
        if (ec) return false;
    }
    // One temporary name per process: two units may write the same folder.
    std::string temporary = path + "." + std::to_string(static_cast<long>(getpid())) + ".tmp";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = (std::fclose(f) == 0) && ok;
    if (ok) {
        fs::rename(temporary, target, ec);
        ok = !ec;
    }
    if (!ok) fs::remove(temporary, ec);
    return ok;
}

void exportSimulatorPlan() {
    replaceFileAtomically(dataPath(kSimulatorPlanFile), simulatorPlanText(fms().flightplan.plan));
}
