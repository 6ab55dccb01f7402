// The TGA reader on hand-made files: every byte below is written out from the file layout
// (18-byte little-endian header, BGR(A) pixels, run-length packets), not by our writer.
#include <gtest/gtest.h>

#include <algorithm>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "TempDir.h"
#include "cdu/Tga.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Header of `imageType`, width x height, `bits` per pixel, an identification field of
// `idLength` bytes; `more` follows the header.
Bytes file(int imageType, int width, int height, int bits, std::initializer_list<uint8_t> more,
           int idLength = 0) {
    // Sized once: growing the vector by insert trips GCC 12's array-bounds check at -O2.
    Bytes h(18 + more.size(), 0);
    std::copy(more.begin(), more.end(), h.begin() + 18);
    h[0] = static_cast<uint8_t>(idLength);
    h[2] = static_cast<uint8_t>(imageType);
    h[12] = static_cast<uint8_t>(width & 0xff);
    h[13] = static_cast<uint8_t>(width >> 8);
    h[14] = static_cast<uint8_t>(height & 0xff);
    h[15] = static_cast<uint8_t>(height >> 8);
    h[16] = static_cast<uint8_t>(bits);
    return h;
}

std::optional<TgaImage> read(const Bytes& b) {
    return readTgaMemory(b.data(), b.size());
}

TEST(Tga, GoodFilesDecodeToRgbRows) {
    Bytes colourMapped = file(2, 1, 1, 24, {0, 0, 0, 0, 0, 0, 7, 8, 9});
    colourMapped[1] = 1;  // a map of 2 entries of 24 bits (6 bytes) before the pixel
    colourMapped[5] = 2;
    colourMapped[7] = 24;
    struct Case {
        const char* what;
        Bytes bytes;
        int components;
        Bytes pixels;
    };
    const Case cases[] = {
        {"24 bits, BGR swapped", file(2, 2, 1, 24, {1, 2, 3, 4, 5, 6}), 3, {3, 2, 1, 6, 5, 4}},
        {"32 bits after a 3-byte id field",
         file(2, 1, 2, 32, {9, 9, 9, 10, 20, 30, 40, 50, 60, 70, 80}, 3),
         4,
         {30, 20, 10, 40, 70, 60, 50, 80}},
        {"trailing footer ignored", file(2, 1, 1, 24, {1, 2, 3, 'T', 'R', 'U', 'E'}), 3, {3, 2, 1}},
        // 0x7E01: R 31, G 16, B 1 -> 248, 128, 8; 0x8000 (only the unused top bit): black.
        {"16 bits", file(2, 2, 1, 16, {0x01, 0x7E, 0x00, 0x80}), 3, {248, 128, 8, 0, 0, 0}},
        {"colour map skipped", colourMapped, 3, {9, 8, 7}},
        {"run of 3 then raw of 1",
         file(10, 2, 2, 24, {0x82, 1, 2, 3, 0x00, 7, 8, 9}),
         3,
         {3, 2, 1, 3, 2, 1, 3, 2, 1, 9, 8, 7}},
        {"run of 5 for 2 pixels", file(10, 1, 2, 32, {0x84, 1, 2, 3, 4}), 4, {3, 2, 1, 4, 3, 2, 1, 4}},
        {"raw of 3 for 2 pixels",
         file(10, 2, 1, 24, {0x02, 1, 1, 1, 2, 2, 2, 3, 3, 3}),
         3,
         {1, 1, 1, 2, 2, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<TgaImage> image = read(c.bytes);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->components, c.components);
        EXPECT_EQ(image->pixels, c.pixels);
    }
}

TEST(Tga, MalformedFilesGiveNothing) {
    EXPECT_FALSE(read(Bytes(17, 0)));  // too short for a header
    // Uncompressed data one byte short.
    EXPECT_FALSE(read(file(2, 2, 1, 24, {1, 2, 3, 4, 5})));
    // The identification field runs past the end of the file.
    EXPECT_FALSE(read(file(2, 1, 1, 24, {1, 2, 3}, 200)));
    // Run-length data ending early: no packet header for the last pixels, a run packet
    // without its pixel, a raw packet promising more pixels than the file holds.
    EXPECT_FALSE(read(file(10, 2, 2, 24, {0x81, 1, 2, 3})));
    EXPECT_FALSE(read(file(10, 1, 1, 24, {0x80, 1, 2})));
    // The same cut after a complete raw packet, where the file is long enough for the size
    // check made before decoding: the run packet's own check must catch it.
    EXPECT_FALSE(read(file(10, 2, 1, 24, {0x00, 1, 2, 3, 0x80, 4})));
    EXPECT_FALSE(read(file(10, 4, 1, 24, {0x03, 1, 2, 3, 4, 5, 6})));
    // Unsupported bit depths, also run-length encoded 16-bit (3-byte swaps of 2-byte pixels).
    EXPECT_FALSE(read(file(2, 1, 1, 8, {1, 2, 3})));
    EXPECT_FALSE(read(file(10, 1, 1, 16, {0x80, 1, 2})));
    // Empty pictures are of no use as a texture.
    EXPECT_FALSE(read(file(2, 0, 5, 24, {1, 2, 3})));
    // A hostile header: 65535 x 65535 pixels from a few bytes is refused before allocating.
    EXPECT_FALSE(read(file(2, 65535, 65535, 32, {1, 2, 3, 4})));
    EXPECT_FALSE(read(file(10, 65535, 65535, 32, {0xFF, 1, 2, 3, 4})));
    // Run-length: 2000 pixels cannot come from one 4-byte packet (at most 128 each).
    EXPECT_FALSE(read(file(10, 2000, 1, 24, {0xFF, 1, 2, 3})));
}

TEST(Tga, FilesOnDiskAndTheWriter) {
    TempDir dir;
    // A missing and a truncated file: no image, one console message each.
    const Bytes truncated = file(2, 4, 4, 24, {1, 2, 3});
    const auto path = dir.write("truncated.tga", std::string(truncated.begin(), truncated.end()));
    for (const std::string& name : {(dir.path() / "none.tga").string(), path.string()}) {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(readTga(name));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "\nUnable to load TGA File!\n");
    }

    // The writer: 32-bit picture, header fields as the format lays them out, read back equal.
    TgaImage image{4, 3, 2, {}};
    for (int i = 0; i < 3 * 2 * 4; ++i) image.pixels.push_back(static_cast<uint8_t>(i * 7));
    const Bytes encoded = encodeTga(image);
    ASSERT_EQ(encoded.size(), 18u + 24u);
    Bytes header = file(2, 3, 2, 32, {});
    header[17] = 8;  // eight alpha bits, origin lower left
    EXPECT_EQ(Bytes(encoded.begin(), encoded.begin() + 18), header);
    const std::string written = (dir.path() / "round.tga").string();
    ASSERT_TRUE(writeTga(written, image));
    const auto back = readTga(written);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->components, 4);
    EXPECT_EQ(back->width, 3);
    EXPECT_EQ(back->height, 2);
    EXPECT_EQ(back->pixels, image.pixels);

    // Pictures the writer cannot express are refused.
    image.pixels.pop_back();
    EXPECT_TRUE(encodeTga(image).empty());
}

}  // namespace
