#include "ScreenPicture.h"

#include <zlib.h>

namespace {

uint32_t bigEndian(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

}  // namespace

bool decodePng(std::string_view file, RgbPicture& picture) {
    const auto* data = reinterpret_cast<const uint8_t*>(file.data());
    if (file.size() < 33 || file.substr(1, 3) != "PNG") return false;
    std::vector<uint8_t> packed;
    for (size_t pos = 8; pos + 12 <= file.size();) {
        const uint32_t length = bigEndian(data + pos);
        if (pos + 12 + length > file.size()) return false;
        const uint8_t* body = data + pos + 8;
        const std::string_view type = file.substr(pos + 4, 4);
        if (type == "IHDR") {
            picture.width = static_cast<int>(bigEndian(body));
            picture.height = static_cast<int>(bigEndian(body + 4));
            if (body[8] != 8 || body[9] != 2 || body[12] != 0) return false;
        } else if (type == "IDAT") {
            packed.insert(packed.end(), body, body + length);
        }
        pos += 12 + length;
    }
    const size_t stride = static_cast<size_t>(picture.width) * 3;
    std::vector<uint8_t> raw((stride + 1) * picture.height);
    uLongf rawSize = raw.size();
    if (raw.empty() || uncompress(raw.data(), &rawSize, packed.data(), packed.size()) != Z_OK ||
        rawSize != raw.size())
        return false;
    picture.rgb.clear();
    for (int y = 0; y < picture.height; ++y) {
        const auto row = raw.begin() + static_cast<long>(y * (stride + 1));
        if (*row != 0) return false;
        picture.rgb.insert(picture.rgb.end(), row + 1, row + 1 + static_cast<long>(stride));
    }
    return true;
}
