// The procedure leg builder on one arbitrary line, split as the readers split it.
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "navdb/ProcedureLeg.h"
#include "navdb/SplitFields.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view line(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> fields;
    splitFieldViews(line, ",", fields);
    // The number conversions read every field exactly as the C library does.
    for (std::string_view f : fields) {
        std::string copy(f);
        double expected = std::strtod(copy.c_str(), nullptr);
        double got = fieldDouble(f);
        if (!(expected == got || (std::isnan(expected) && std::isnan(got)))) __builtin_trap();
        long wide = std::strtol(copy.c_str(), nullptr, 10);
        if (wide >= INT32_MIN && wide <= INT32_MAX && fieldInt(f) != wide) __builtin_trap();
    }
    for (LegOrigin origin : {LegOrigin::Departure, LegOrigin::Arrival}) {
        FplLeg leg;
        bool usable = buildProcedureLeg(fields, leg, origin);
        LegType expected = fields.empty() ? LegType::None : legTypeFromCode(fields[0]);
        bool longEnough = fields.empty() || fields.size() >= minimumLegFields(expected);
        if (usable != longEnough) __builtin_trap();
        if (usable && leg.legType != expected) __builtin_trap();
        if (!usable && leg.legType != LegType::None) __builtin_trap();
        if (leg.departureProcLeg && leg.arrivalProcLeg) __builtin_trap();
    }
    return 0;
}
