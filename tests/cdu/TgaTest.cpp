// The TGA reader on hand-made files: every byte below is written out from the file layout
// (18-byte little-endian header, BGR(A) pixels, run-length packets), not by our writer.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "TempDir.h"
#include "cdu/Tga.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes header(int imageType, int width, int height, int bits, int idLength = 0) {
    Bytes h(18, 0);
    h[0] = static_cast<uint8_t>(idLength);
    h[2] = static_cast<uint8_t>(imageType);
    h[12] = static_cast<uint8_t>(width & 0xff);
    h[13] = static_cast<uint8_t>(width >> 8);
    h[14] = static_cast<uint8_t>(height & 0xff);
    h[15] = static_cast<uint8_t>(height >> 8);
    h[16] = static_cast<uint8_t>(bits);
    return h;
}

Bytes join(Bytes a, std::initializer_list<uint8_t> more) {
    a.insert(a.end(), more);
    return a;
}

std::optional<TgaImage> read(const Bytes& b) {
    return readTgaMemory(b.data(), b.size());
}

TEST(Tga, UncompressedTrueColourSwapsBlueAndRed) {
    // 2 x 1, 24 bits: file pixels BGR (1,2,3) and (4,5,6).
    auto image = read(join(header(2, 2, 1, 24), {1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->components, 3);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 1);
    EXPECT_EQ(image->pixels, (Bytes{3, 2, 1, 6, 5, 4}));

    // 1 x 2, 32 bits, with a 3-byte identification field to skip; alpha is copied.
    Bytes withId = join(header(2, 1, 2, 32, 3), {9, 9, 9, 10, 20, 30, 40, 50, 60, 70, 80});
    image = read(withId);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->components, 4);
    EXPECT_EQ(image->pixels, (Bytes{30, 20, 10, 40, 70, 60, 50, 80}));

    // Trailing bytes (a footer) after the pixels are ignored.
    image = read(join(header(2, 1, 1, 24), {1, 2, 3, 'T', 'R', 'U', 'E'}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, (Bytes{3, 2, 1}));
}

TEST(Tga, SixteenBitPixelsBecomeRgbTimesEight) {
    // v = 0b0_11111_10000_00001 = 0x7E01: R 31, G 16, B 1 -> 248, 128, 8 (little-endian 01 7E).
    // v = 0x8000 (only the unused top bit): black.
    auto image = read(join(header(2, 2, 1, 16), {0x01, 0x7E, 0x00, 0x80}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->components, 3);
    EXPECT_EQ(image->pixels, (Bytes{248, 128, 8, 0, 0, 0}));
}

TEST(Tga, RunLengthPacketsExpandAndExcessIsDiscarded) {
    // 2 x 2 = 4 pixels: run packet of 3 (0x82) of BGR (1,2,3), raw packet of 1 (0x00) (7,8,9).
    auto image = read(join(header(10, 2, 2, 24), {0x82, 1, 2, 3, 0x00, 7, 8, 9}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, (Bytes{3, 2, 1, 3, 2, 1, 3, 2, 1, 9, 8, 7}));

    // 1 x 2 = 2 pixels, but the run packet says 5 (0x84): exactly two are stored.
    image = read(join(header(10, 1, 2, 32), {0x84, 1, 2, 3, 4}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, (Bytes{3, 2, 1, 4, 3, 2, 1, 4}));

    // A raw packet of 3 (0x02) for 2 pixels: the third pixel is read but not stored.
    image = read(join(header(10, 2, 1, 24), {0x02, 1, 1, 1, 2, 2, 2, 3, 3, 3}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, (Bytes{1, 1, 1, 2, 2, 2}));
}

TEST(Tga, MalformedFilesGiveNothing) {
    // Too short for a header.
    EXPECT_FALSE(read(Bytes(17, 0)));
    EXPECT_FALSE(readTgaMemory(nullptr, 100));
    // Uncompressed data one byte short.
    EXPECT_FALSE(read(join(header(2, 2, 1, 24), {1, 2, 3, 4, 5})));
    EXPECT_FALSE(read(join(header(2, 2, 1, 16), {1, 2, 3})));
    // The identification field runs past the end of the file.
    EXPECT_FALSE(read(join(header(2, 1, 1, 24, 200), {1, 2, 3})));
    // Run-length data ending early: no packet header for the last pixels ...
    EXPECT_FALSE(read(join(header(10, 2, 2, 24), {0x81, 1, 2, 3})));
    // ... a run packet without its pixel ...
    EXPECT_FALSE(read(join(header(10, 1, 1, 24), {0x80, 1, 2})));
    // ... a raw packet promising more pixels than the file holds.
    EXPECT_FALSE(read(join(header(10, 4, 1, 24), {0x03, 1, 2, 3, 4, 5, 6})));
    // Unsupported bit depths, also run-length encoded 16-bit (3-byte swaps of 2-byte pixels).
    EXPECT_FALSE(read(join(header(2, 1, 1, 8), {1, 2, 3})));
    EXPECT_FALSE(read(join(header(10, 1, 1, 16), {0x80, 1, 2})));
    EXPECT_FALSE(read(join(header(10, 1, 1, 8), {0x80, 1})));
    // Empty pictures are of no use as a texture.
    EXPECT_FALSE(read(join(header(2, 0, 5, 24), {1, 2, 3})));
    // A hostile header: 65535 x 65535 pixels from a few bytes is refused before allocating.
    EXPECT_FALSE(read(join(header(2, 65535, 65535, 32), {1, 2, 3, 4})));
    EXPECT_FALSE(read(join(header(10, 65535, 65535, 32), {0xFF, 1, 2, 3, 4})));
    // Run-length: 2000 pixels cannot come from one 4-byte packet (at most 128 each).
    EXPECT_FALSE(read(join(header(10, 2000, 1, 24), {0xFF, 1, 2, 3})));
}

TEST(Tga, ColourMapIsSkippedBeforeThePixels) {
    // Colour map type 1 with 2 entries of 24 bits (6 bytes) before a 1 x 1 true-colour pixel.
    Bytes h = header(2, 1, 1, 24);
    h[1] = 1;
    h[5] = 2;
    h[7] = 24;
    auto image = read(join(h, {0, 0, 0, 0, 0, 0, 7, 8, 9}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, (Bytes{9, 8, 7}));
}

TEST(Tga, FilesOnDiskAndTheWriter) {
    TempDir dir;
    const std::string missing = (dir.path() / "none.tga").string();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(readTga(missing));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\nUnable to load TGA File!\n");

    // Truncated file on disk: the same message, no image.
    Bytes truncated = join(header(2, 4, 4, 24), {1, 2, 3});
    auto path = dir.write("truncated.tga", std::string(truncated.begin(), truncated.end()));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(readTga(path.string()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\nUnable to load TGA File!\n");

    // The writer: 32-bit picture, header fields as the format lays them out, read back equal.
    TgaImage image;
    image.components = 4;
    image.width = 3;
    image.height = 2;
    for (int i = 0; i < 3 * 2 * 4; ++i) image.pixels.push_back(static_cast<uint8_t>(i * 7));
    Bytes encoded = encodeTga(image);
    ASSERT_EQ(encoded.size(), 18u + 24u);
    EXPECT_EQ(encoded[2], 2);
    EXPECT_EQ(encoded[12], 3);
    EXPECT_EQ(encoded[14], 2);
    EXPECT_EQ(encoded[16], 32);
    EXPECT_EQ(encoded[18], image.pixels[2]);  // blue first in the file
    EXPECT_EQ(encoded[20], image.pixels[0]);
    const std::string written = (dir.path() / "round.tga").string();
    ASSERT_TRUE(writeTga(written, image));
    auto back = readTga(written);
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
