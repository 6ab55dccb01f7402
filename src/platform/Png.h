#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A small PNG writer (8 bits per channel, no interlace) for screenshots and for looking at
// generated pictures. `components`: 1 grey, 3 RGB, 4 RGBA. `bottomUp`: the rows are stored
// bottom row first (as OpenGL reads pixels and TGA stores them); PNG wants the top row first.
// Returns an empty vector on bad arguments.
std::vector<uint8_t> encodePng(int width, int height, int components, const uint8_t* pixels, bool bottomUp);
bool writePng(const std::string& path, int width, int height, int components, const uint8_t* pixels,
              bool bottomUp);
