#include "cdu/Tga.h"

#include <cstdio>
#include "platform/Files.h"
#include <iterator>

namespace {

constexpr size_t headerSize = 18;
// A file larger than the largest acceptable picture plus its header is not read at all.
constexpr size_t maxFileBytes = static_cast<size_t>(tgaMaxPixels) * 4 + 65536;

// Stores one BGR(A) file pixel as RGB(A).
void storeSwapped(const uint8_t* in, uint8_t* out, int bytesPerPixel) {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
    if (bytesPerPixel == 4) out[3] = in[3];
}

std::optional<TgaImage> readRunLength(const uint8_t* p, const uint8_t* end, TgaImage image,
                                      int bytesPerPixel) {
    const size_t total = static_cast<size_t>(image.width) * image.height;
    // One header byte and one pixel expand to at most 128 pixels: a header promising more than
    // the data can hold is rejected before anything is allocated.
    const size_t available = static_cast<size_t>(end - p);
    if (total > available / (1 + bytesPerPixel) * 128) return std::nullopt;
    image.pixels.resize(total * bytesPerPixel);
    uint8_t* out = image.pixels.data();
    size_t produced = 0;
    while (produced < total) {
        if (p >= end) return std::nullopt;
        const int header = *p++;
        if (header > 127) {
            const size_t count = static_cast<size_t>(header - 127);
            if (end - p < bytesPerPixel) return std::nullopt;
            for (size_t i = 0; i < count && produced < total; ++i, ++produced) {
                storeSwapped(p, out + produced * bytesPerPixel, bytesPerPixel);
            }
            p += bytesPerPixel;
        } else {
            const size_t count = static_cast<size_t>(header) + 1;
            if (static_cast<size_t>(end - p) < count * bytesPerPixel) return std::nullopt;
            // Pixels of the packet beyond width x height are read but not stored.
            for (size_t i = 0; i < count; ++i, p += bytesPerPixel) {
                if (produced < total) storeSwapped(p, out + produced++ * bytesPerPixel, bytesPerPixel);
            }
        }
    }
    return image;
}

std::optional<TgaImage> readUncompressed(const uint8_t* p, const uint8_t* end, TgaImage image, int bits) {
    const size_t total = static_cast<size_t>(image.width) * image.height;
    const size_t available = static_cast<size_t>(end - p);
    if (bits == 16) {
        if (available / 2 < total) return std::nullopt;
        image.components = 3;
        image.pixels.resize(total * 3);
        for (size_t i = 0; i < total; ++i, p += 2) {
            const unsigned v = p[0] | (p[1] << 8);
            image.pixels[i * 3 + 0] = static_cast<uint8_t>(((v >> 10) & 31) * 8);
            image.pixels[i * 3 + 1] = static_cast<uint8_t>(((v >> 5) & 31) * 8);
            image.pixels[i * 3 + 2] = static_cast<uint8_t>((v & 31) * 8);
        }
        return image;
    }
    if (bits != 24 && bits != 32) return std::nullopt;
    const int bytesPerPixel = bits / 8;
    if (available / bytesPerPixel < total) return std::nullopt;
    image.components = bytesPerPixel;
    image.pixels.resize(total * bytesPerPixel);
    for (size_t i = 0; i < total; ++i, p += bytesPerPixel) {
        storeSwapped(p, image.pixels.data() + i * bytesPerPixel, bytesPerPixel);
    }
    return image;
}

void put16(std::vector<uint8_t>& out, size_t at, int value) {
    out[at] = static_cast<uint8_t>(value & 0xff);
    out[at + 1] = static_cast<uint8_t>((value >> 8) & 0xff);
}

}  // namespace

std::optional<TgaImage> readTgaMemory(const uint8_t* data, size_t size) {
    if (data == nullptr || size < headerSize) return std::nullopt;
    const int idLength = data[0];
    const int colourMapType = data[1];
    const int imageType = data[2];
    const int colourMapLength = data[5] | (data[6] << 8);
    const int colourMapEntryBits = data[7];
    TgaImage image;
    image.width = data[12] | (data[13] << 8);
    image.height = data[14] | (data[15] << 8);
    const int bits = data[16];
    if (image.width == 0 || image.height == 0) return std::nullopt;
    if (static_cast<int64_t>(image.width) * image.height > tgaMaxPixels) return std::nullopt;

    // Pixel data follows the identification field and, when present, the colour map.
    size_t offset = headerSize + idLength;
    if (colourMapType == 1) offset += static_cast<size_t>(colourMapLength) * ((colourMapEntryBits + 7) / 8);
    if (offset > size) return std::nullopt;
    const uint8_t* p = data + offset;
    const uint8_t* end = data + size;

    if (imageType == 10) {
        if (bits != 24 && bits != 32) return std::nullopt;
        image.components = bits / 8;
        return readRunLength(p, end, std::move(image), bits / 8);
    }
    return readUncompressed(p, end, std::move(image), bits);
}

std::optional<TgaImage> readTga(const std::string& path) {
    std::optional<TgaImage> image;
    std::string bytes;
    if (readFileCapped(path, bytes, maxFileBytes) && !bytes.empty())
        image = readTgaMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (!image) std::fputs("\nUnable to load TGA File!\n", stdout);
    return image;
}

std::vector<uint8_t> encodeTga(const TgaImage& image) {
    const int bytesPerPixel = image.components;
    const size_t total = static_cast<size_t>(image.width) * image.height;
    if ((bytesPerPixel != 3 && bytesPerPixel != 4) || image.width <= 0 || image.height <= 0 ||
        image.width > 65535 || image.height > 65535 || image.pixels.size() != total * bytesPerPixel) {
        return {};
    }
    std::vector<uint8_t> out(headerSize + total * bytesPerPixel, 0);
    out[2] = 2;  // uncompressed true colour
    put16(out, 12, image.width);
    put16(out, 14, image.height);
    out[16] = static_cast<uint8_t>(bytesPerPixel * 8);
    out[17] = bytesPerPixel == 4 ? 8 : 0;  // alpha bits; origin lower left
    uint8_t* o = out.data() + headerSize;
    for (size_t i = 0; i < total; ++i, o += bytesPerPixel) {
        storeSwapped(image.pixels.data() + i * bytesPerPixel, o, bytesPerPixel);  // RGB -> BGR
    }
    return out;
}

bool writeTga(const std::string& path, const TgaImage& image) {
    std::vector<uint8_t> bytes = encodeTga(image);
    if (bytes.empty()) return false;
    return writeFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}
