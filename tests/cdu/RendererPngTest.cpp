// The PNG writer used for screenshots: chunk layout, checksums and row order.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Png.h"

namespace {

uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) | b[at + 3];
}

TEST(RendererPng, ChunksRowsAndChecksums) {
    // 2 x 3 RGB, rows given bottom-up: bottom row 1s, middle 2s, top 3s.
    std::vector<uint8_t> pixels;
    for (int row = 1; row <= 3; ++row) pixels.insert(pixels.end(), 6, static_cast<uint8_t>(row));
    std::vector<uint8_t> png = encodePng(2, 3, 3, pixels.data(), true);
    ASSERT_GT(png.size(), 8u + 25u + 12u + 12u);

    const std::vector<uint8_t> signature = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
    // IHDR: length 13, width 2, height 3, depth 8, colour type 2 (RGB).
    EXPECT_EQ(be32(png, 8), 13u);
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ(be32(png, 16), 2u);
    EXPECT_EQ(be32(png, 20), 3u);
    EXPECT_EQ(png[24], 8);
    EXPECT_EQ(png[25], 2);
    // The IEND chunk of every PNG: length 0, "IEND", CRC AE 42 60 82.
    const std::vector<uint8_t> iend = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    EXPECT_TRUE(std::equal(iend.begin(), iend.end(), png.end() - 12));

    // IDAT inflates to three filtered rows, top row (3s) first.
    const size_t idat = 8 + 25;
    const uint32_t idatLength = be32(png, idat);
    ASSERT_EQ(std::string(png.begin() + idat + 4, png.begin() + idat + 8), "IDAT");
    std::vector<uint8_t> raw(3 * 7);
    uLongf rawLength = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawLength, png.data() + idat + 8, idatLength), Z_OK);
    ASSERT_EQ(rawLength, raw.size());
    EXPECT_EQ(raw, (std::vector<uint8_t>{0, 3, 3, 3, 3, 3, 3, 0, 2, 2, 2, 2, 2, 2, 0, 1, 1, 1, 1, 1, 1}));

    // Top-down input keeps its order; RGBA is colour type 6; bad arguments give nothing.
    std::vector<uint8_t> rgba(4 * 1 * 1, 9);
    std::vector<uint8_t> png4 = encodePng(1, 1, 4, rgba.data(), false);
    ASSERT_GT(png4.size(), 26u);
    EXPECT_EQ(png4[25], 6);
    EXPECT_TRUE(encodePng(0, 1, 3, pixels.data(), false).empty());
    EXPECT_TRUE(encodePng(1, 1, 2, pixels.data(), false).empty());
    EXPECT_TRUE(encodePng(1, 1, 3, nullptr, false).empty());
}

}  // namespace
