#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The comma splitter of every text-file reader: each run of non-delimiter characters is one
// field. Runs of delimiters count as one and leading or trailing delimiters give nothing, so
// empty fields are dropped ("A,,B" gives A and B). No quoting, no trimming.
std::vector<std::string> splitFields(std::string_view line, std::string_view delimiters = ",");

// The same split without allocating a text per field; the views point into `line`.
void splitFieldViews(std::string_view line, std::string_view delimiters, std::vector<std::string_view>& out);

// Number conversions as the C library's atoi/atof read a field: leading blanks skipped,
// reading stops at the first character that does not fit, no number reads 0. Integers
// saturate at the int32 range instead of overflowing.
int32_t fieldInt(std::string_view field);
double fieldDouble(std::string_view field);
inline float fieldReal(std::string_view field) {
    return static_cast<float>(fieldDouble(field));
}
// A real number truncated toward zero (saturating; not-a-number reads 0).
int32_t fieldRealToInt(std::string_view field);

// Saturating conversions into the narrower record fields.
int32_t truncateToInt32(double value);
uint16_t toUint16(int64_t value);
int16_t toInt16(int64_t value);
