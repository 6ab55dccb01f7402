#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "SimEarth.h"
#include "simlink/SimOffsets.h"

// The simulator's integer units and the walk of an offset table, shared by every server that
// answers the protocol from a model of its own (the stand-in simulator, the FlightGear bridge).
namespace offsetcode {

inline constexpr double kTwoTo32 = 4294967296.0;
inline constexpr double kTwoTo64 = 18446744073709551616.0;
inline constexpr double kLatitudeUnit = 2.0951091487837895e-15;  // degrees per raw unit

template <typename T>
void put(uint8_t* out, T value) {
    std::memcpy(out, &value, sizeof value);  // the protocol is little-endian, as is this host
}

template <typename T>
T get(const uint8_t* in) {
    T value;
    std::memcpy(&value, in, sizeof value);
    return value;
}

// Rounds to the nearest integer of type T, saturating at its limits (not a number gives 0).
template <typename T>
T roundTo(double value) {
    if (!std::isfinite(value)) return 0;
    const double r = std::round(value);
    if (r <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (r >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(r);
}

// An angle as a fraction of the full circle in an unsigned 32-bit word.
inline uint32_t angle32(double deg) {
    if (!std::isfinite(deg)) return 0;
    const double r = std::round(simearth::wrap360(deg) / 360.0 * kTwoTo32);
    return r >= kTwoTo32 ? 0u : static_cast<uint32_t>(r);
}

inline uint16_t angle16(double deg) {
    if (!std::isfinite(deg)) return 0;
    const double r = std::round(simearth::wrap360(deg) / 360.0 * 65536.0);
    return r >= 65536.0 ? 0 : static_cast<uint16_t>(r);
}

// A signed angle (-180..180) as a signed 32-bit fraction of the circle.
inline int32_t signedAngle32(double deg) {
    if (!std::isfinite(deg)) return 0;
    return roundTo<int32_t>(simearth::wrap180(deg) / 360.0 * kTwoTo32);
}

inline int64_t latitudeRaw(double deg) {
    return roundTo<int64_t>(deg / kLatitudeUnit);
}

inline int64_t longitudeRaw(double deg) {
    if (!std::isfinite(deg)) return 0;
    return roundTo<int64_t>(simearth::wrap180(deg) / 360.0 * kTwoTo64);
}

// One offset of a table over a model M: how it reads (null = write-only) and how a write
// changes the model (null = read-only).
template <typename M>
struct Entry {
    SimVar var;
    void (*encode)(const M&, uint8_t*);
    void (*decode)(M&, const uint8_t*);
};

// The part of [offset, offset + size) that an entry covers, as positions in both.
struct Overlap {
    uint32_t inEntry;
    uint32_t inRequest;
    uint32_t length;
};

inline bool overlap(const SimVar& var, uint32_t offset, uint32_t size, Overlap& out) {
    const uint64_t begin = std::max<uint64_t>(var.offset, offset);
    const uint64_t end = std::min<uint64_t>(uint64_t{var.offset} + var.size, uint64_t{offset} + size);
    if (begin >= end) return false;
    out.inEntry = static_cast<uint32_t>(begin - var.offset);
    out.inRequest = static_cast<uint32_t>(begin - offset);
    out.length = static_cast<uint32_t>(end - begin);
    return true;
}

// Fills [offset, offset + size) from the table: bytes no entry covers read as zeros, and a
// request that covers part of an offset gets just those bytes.
template <typename M, size_t N>
void readTable(const Entry<M> (&table)[N], const M& model, uint32_t offset, uint8_t* destination,
               uint32_t size) {
    if (destination == nullptr || size == 0) return;
    std::memset(destination, 0, size);
    for (const Entry<M>& e : table) {
        Overlap o;
        if (e.encode == nullptr || !overlap(e.var, offset, size, o)) continue;
        uint8_t bytes[8]{};
        e.encode(model, bytes);
        std::memcpy(destination + o.inRequest, bytes + o.inEntry, o.length);
    }
}

// Applies a write: a partial write changes only the bytes it covers; offsets without a
// decoder ignore it.
template <typename M, size_t N>
void writeTable(const Entry<M> (&table)[N], M& model, uint32_t offset, const uint8_t* source, uint32_t size) {
    if (source == nullptr || size == 0) return;
    for (const Entry<M>& e : table) {
        Overlap o;
        if (e.decode == nullptr || !overlap(e.var, offset, size, o)) continue;
        uint8_t bytes[8]{};
        if (e.encode != nullptr) e.encode(model, bytes);
        std::memcpy(bytes + o.inEntry, source + o.inRequest, o.length);
        e.decode(model, bytes);
    }
}

}  // namespace offsetcode
