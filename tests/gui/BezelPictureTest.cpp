// The bezel picture fms-bezel writes into the run directory: every key is painted on its hit
// rectangle, edge to edge, and nothing key-coloured lies between the keys.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "cdu/KeyRectangles.h"
#include "cdu/Tga.h"

namespace {

class BezelPicture : public ::testing::Test {
protected:
    void SetUp() override {
        picture = readTga(FMS_RUN_DIR "/textures/CDU_Tex.tga");
        ASSERT_TRUE(picture) << "textures/CDU_Tex.tga is missing: build the bezel-picture target";
        ASSERT_EQ(picture->width, 900);
        ASSERT_EQ(picture->height, 1000);
        ASSERT_GE(picture->components, 3);
    }
    // Brightness of the pixel at (x, y) in pixels from the top left corner (rows are stored
    // bottom-up).
    int brightness(int x, int yFromTop) const {
        const size_t row = static_cast<size_t>(picture->height - 1 - yFromTop);
        const uint8_t* p = &picture->pixels[(row * picture->width + x) * picture->components];
        return (p[0] + p[1] + p[2]) / 3;
    }
    bool isKey(int x, int y) const { return brightness(x, y) >= 75; }
    bool isBody(int x, int y) const { return brightness(x, y) <= 62; }

    std::optional<TgaImage> picture;
    KeyRectangles rects = computeKeyRectangles();
};

TEST_F(BezelPicture, EveryKeyCoversItsHitRectangleExactly) {
    // First and last pixel whose centre lies inside [from, to] percent of `size` pixels.
    auto first = [](float percent, int size) {
        return static_cast<int>(std::ceil(percent * size / 100 - 0.5f));
    };
    auto last = [](float percent, int size) {
        return static_cast<int>(std::floor(percent * size / 100 - 0.5f));
    };
    for (const CduKey& key : cduKeys()) {
        const KeyRect& r = keyRect(rects, key);
        SCOPED_TRACE(std::string(key.name));
        const int left = first(r.left, 900), right = last(r.right, 900);
        const int top = first(r.top, 1000), bottom = last(r.bottom, 1000);
        const int cx = (left + right) / 2, cy = (top + bottom) / 2;
        // The centre, points inside the cap away from the legend, the cap's edges on the
        // rectangle, and body just outside.
        EXPECT_TRUE(isKey(cx, cy));
        for (int x : {left + 3, right - 3}) {
            for (int y : {top + 3, bottom - 3}) EXPECT_TRUE(isKey(x, y)) << x << "," << y;
        }
        EXPECT_TRUE(isKey(left, cy) && isKey(right, cy) && isKey(cx, top) && isKey(cx, bottom));
        EXPECT_TRUE(isBody(left - 1, cy) && isBody(right + 1, cy) && isBody(cx, top - 1) &&
                    isBody(cx, bottom + 1));
    }
}

TEST_F(BezelPicture, EmptyPlacesAreBodyAndTheScreenIsDark) {
    // The keypad's empty fifth-row position, and left of the letter rows that start in the
    // second column ("O", "U").
    const KeyRect& nine = rects.pad[8];
    EXPECT_TRUE(isBody(static_cast<int>((nine.left + nine.right) / 2 * 9),
                       static_cast<int>((50.5f + 7.6f * 4 + 2.8f) * 10)));
    for (int letter : {14, 20}) {
        const KeyRect& r = rects.alpha[letter];
        EXPECT_TRUE(
            isBody(static_cast<int>((r.left - 5.0f) * 9), static_cast<int>((r.top + r.bottom) / 2 * 10)));
    }
    // The text area (x 0.129..0.776, y 0.514..0.919 of the 0.9 x 1 page, y up) is dark glass.
    for (float x : {0.135f, 0.45f, 0.77f}) {
        for (float y : {0.52f, 0.7f, 0.91f}) {
            EXPECT_LT(brightness(static_cast<int>(x / 0.9f * 900), static_cast<int>((1 - y) * 1000)), 25)
                << x << "," << y;
        }
    }
}

}  // namespace
