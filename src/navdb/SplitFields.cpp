#include "navdb/SplitFields.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

void splitFieldViews(std::string_view line, std::string_view delimiters, std::vector<std::string_view>& out) {
    out.clear();
    if (delimiters.size() == 1) {
        // The common case (","), with a plain character search.
        char d = delimiters[0];
        size_t p = 0;
        while (p < line.size()) {
            size_t q = line.find(d, p);
            if (q == std::string_view::npos) q = line.size();
            if (q > p) out.push_back(line.substr(p, q - p));
            p = q + 1;
        }
        return;
    }
    size_t p = line.find_first_not_of(delimiters);
    while (p != std::string_view::npos) {
        size_t q = line.find_first_of(delimiters, p);
        if (q == std::string_view::npos) {
            out.push_back(line.substr(p));
            break;
        }
        out.push_back(line.substr(p, q - p));
        p = line.find_first_not_of(delimiters, q);
    }
}

std::vector<std::string> splitFields(std::string_view line, std::string_view delimiters) {
    std::vector<std::string_view> views;
    splitFieldViews(line, delimiters, views);
    return std::vector<std::string>(views.begin(), views.end());
}

namespace {
// strtol/strtod need a terminated string; fields are short, so a stack copy usually does.
template <typename F>
auto withTerminated(std::string_view field, F&& convert) {
    char buffer[64];
    if (field.size() < sizeof buffer) {
        field.copy(buffer, field.size());
        buffer[field.size()] = '\0';
        return convert(static_cast<const char*>(buffer));
    }
    std::string copy(field);
    return convert(copy.c_str());
}
}  // namespace

// True when the field starts like a plain decimal number ("-12", "3.5", ".5", "-.5"): then
// std::from_chars reads exactly what strtol/strtod read, without a copy. Leading blanks,
// "+", hexadecimal, "inf" and "nan" take the C library path.
bool plainNumberStart(std::string_view f) {
    size_t i = (!f.empty() && f[0] == '-') ? 1 : 0;
    if (i >= f.size()) return false;
    char c = f[i];
    if (c == '.') return i + 1 < f.size() && f[i + 1] >= '0' && f[i + 1] <= '9';
    if (c < '0' || c > '9') return false;
    return !(c == '0' && i + 1 < f.size() && (f[i + 1] == 'x' || f[i + 1] == 'X'));
}

int32_t fieldInt(std::string_view field) {
    long value = 0;
    if (plainNumberStart(field) && field[field[0] == '-' ? 1 : 0] != '.') {
        auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
        (void)end;
        if (error != std::errc()) value = field[0] == '-' ? LONG_MIN : LONG_MAX;  // out of range
    } else {
        value = withTerminated(field, [](const char* s) { return std::strtol(s, nullptr, 10); });
    }
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

double fieldDouble(std::string_view field) {
    if (plainNumberStart(field)) {
        double value = 0.0;
        auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
        (void)end;
        if (error == std::errc()) return value;
        // Out of range: the C library's answer (infinity or a denormal/zero) below.
    }
    return withTerminated(field, [](const char* s) { return std::strtod(s, nullptr); });
}

int32_t truncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

int32_t fieldRealToInt(std::string_view field) {
    return truncateToInt32(fieldDouble(field));
}

uint16_t toUint16(int64_t value) {
    if (value < 0) return 0;
    if (value > UINT16_MAX) return UINT16_MAX;
    return static_cast<uint16_t>(value);
}

int16_t toInt16(int64_t value) {
    if (value < INT16_MIN) return INT16_MIN;
    if (value > INT16_MAX) return INT16_MAX;
    return static_cast<int16_t>(value);
}
