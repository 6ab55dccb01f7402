#include "platform/Png.h"

#include <zlib.h>

#include <cstring>
#include <fstream>

namespace {

void put32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void putChunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t length) {
    put32(out, static_cast<uint32_t>(length));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    if (length > 0) out.insert(out.end(), data, data + length);
    // The CRC covers the type and the data.
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out.data() + start, static_cast<uInt>(out.size() - start));
    put32(out, static_cast<uint32_t>(crc));
}

}  // namespace

std::vector<uint8_t> encodePng(int width, int height, int components, const uint8_t* pixels, bool bottomUp) {
    if (width <= 0 || height <= 0 || pixels == nullptr ||
        (components != 1 && components != 3 && components != 4)) {
        return {};
    }
    const size_t rowBytes = static_cast<size_t>(width) * components;
    // Each row is preceded by its filter type (0, none).
    std::vector<uint8_t> raw((rowBytes + 1) * height);
    for (int y = 0; y < height; ++y) {
        const int sourceRow = bottomUp ? height - 1 - y : y;
        uint8_t* row = raw.data() + (rowBytes + 1) * y;
        row[0] = 0;
        std::memcpy(row + 1, pixels + rowBytes * sourceRow, rowBytes);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK)
        return {};

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    put32(header, static_cast<uint32_t>(width));
    put32(header, static_cast<uint32_t>(height));
    const uint8_t colourType = components == 1 ? 0 : components == 3 ? 2 : 6;
    header.insert(header.end(), {8, colourType, 0, 0, 0});
    putChunk(out, "IHDR", header.data(), header.size());
    putChunk(out, "IDAT", packed.data(), packedSize);
    putChunk(out, "IEND", nullptr, 0);
    return out;
}

bool writePng(const std::string& path, int width, int height, int components, const uint8_t* pixels,
              bool bottomUp) {
    std::vector<uint8_t> bytes = encodePng(width, height, components, pixels, bottomUp);
    if (bytes.empty()) return false;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}
