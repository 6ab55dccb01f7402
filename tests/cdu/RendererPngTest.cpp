// The PNG writer used for screenshots: chunk layout, checksums and row order.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ScreenPicture.h"
#include "platform/Png.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(RendererPng, ChunksRowsAndChecksums) {
    // 2 x 3 RGB, rows given bottom-up: bottom row 1s, middle 2s, top 3s.
    Bytes pixels;
    for (int row = 1; row <= 3; ++row) pixels.insert(pixels.end(), 6, static_cast<uint8_t>(row));
    const Bytes png = encodePng(2, 3, 3, pixels.data(), true);
    ASSERT_GT(png.size(), 8u + 25u + 12u + 12u);
    // Signature; IHDR of length 13: width 2, height 3, depth 8, colour type 2 (RGB), no interlace.
    EXPECT_EQ(Bytes(png.begin(), png.begin() + 29),
              (Bytes{0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a,  // signature
                     0,    0,   0,   13,  'I',  'H',  'D',  'R',  0, 0, 0, 2, 0, 0, 0, 3, 8, 2, 0, 0, 0}));
    // The IEND chunk of every PNG: length 0, "IEND", CRC AE 42 60 82.
    EXPECT_EQ(Bytes(png.end() - 12, png.end()),
              (Bytes{0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82}));
    // The image data inflates to three unfiltered rows, top row (3s) first.
    RgbPicture picture;
    ASSERT_TRUE(decodePng(std::string(png.begin(), png.end()), picture));
    EXPECT_EQ(picture.rgb, (Bytes{3, 3, 3, 3, 3, 3, 2, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1}));

    // RGBA is colour type 6; bad arguments give nothing.
    const Bytes rgba(4, 9);
    EXPECT_EQ(encodePng(1, 1, 4, rgba.data(), false).at(25), 6);
    EXPECT_TRUE(encodePng(0, 1, 3, pixels.data(), false).empty());
    EXPECT_TRUE(encodePng(1, 1, 2, pixels.data(), false).empty());
    EXPECT_TRUE(encodePng(1, 1, 3, nullptr, false).empty());
}

}  // namespace
