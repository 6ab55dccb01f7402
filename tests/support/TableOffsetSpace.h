#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "simlink/SimOffsets.h"
#include "SimServer.h"
#include "platform/SimWire.h"

// A simulator stand-in for the link and aircraft-state tests: offsets hold the raw bytes a
// test puts there (unknown ones read as zeros), and every write is logged. It answers the
// version offsets of a good server.
class TableOffsetSpace : public OffsetSpace {
public:
    struct Write {
        uint32_t offset;
        std::vector<uint8_t> data;
    };

    TableOffsetSpace() {
        set32(0x3304, 0x19980005);  // the lowest server version accepted
        set32(0x3308, 0xFADE000C);
    }

    void set(uint32_t offset, const void* data, uint32_t size) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        for (uint32_t i = 0; i < size; ++i) table[offset + i] = bytes[i];
    }
    void set32(uint32_t offset, uint32_t value) {
        uint8_t bytes[4];
        simwire::put32(bytes, value);
        set(offset, bytes, 4);
    }
    // A value in the host's (little-endian) layout at a variable of the same size.
    template <typename T>
    void set(const SimVar& var, T value) {
        ASSERT_EQ(sizeof(T), var.size);
        set(var.offset, &value, sizeof value);
    }
    template <typename T>
    T get(const SimVar& var) {
        T value{};
        uint8_t bytes[sizeof(T)];
        readOffset(var.offset, bytes, sizeof bytes);
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

    void readOffset(uint32_t offset, uint8_t* destination, uint32_t size) override {
        ++readCount;
        for (uint32_t i = 0; i < size; ++i) {
            auto found = table.find(offset + i);
            destination[i] = found == table.end() ? 0 : found->second;
        }
    }
    void writeOffset(uint32_t offset, const uint8_t* source, uint32_t size) override {
        writes.push_back({offset, std::vector<uint8_t>(source, source + size)});
        // The client's library number at 0x330A shares bytes with the simulator version
        // word at 0x3308 but must not change what that word reads.
        if (offset != 0x330A) set(offset, source, size);
    }

    std::map<uint32_t, uint8_t> table;
    std::vector<Write> writes;
    int readCount = 0;
};
