#pragma once

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

// An 8-bit RGB picture, top row first.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// Decodes an 8-bit RGB PNG whose rows are unfiltered (as the program writes them). Anything
// else is refused, so that a change of the writer shows in the tests.
bool decodePng(std::string_view file, RgbPicture& picture);

// Where a point of the page lands in a viewport of width x height pixels (y up from the
// bottom): the page lies 1.212 in front of the eye, shifted by (-0.45, -0.5), under a 45
// degree vertical field of view.
inline void pageToViewport(float px, float py, int width, int height, int& x, int& y) {
    const double halfHeight = std::tan(22.5 * M_PI / 180.0) * 1.212;
    const double aspect = static_cast<double>(width) / height;
    x = static_cast<int>(((px - 0.45) / (halfHeight * aspect) + 1.0) / 2.0 * width);
    y = static_cast<int>(((py - 0.5) / halfHeight + 1.0) / 2.0 * height);
}
