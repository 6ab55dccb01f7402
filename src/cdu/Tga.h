#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A true-colour picture as the bezel texture needs it: 3 (RGB) or 4 (RGBA) bytes per pixel,
// rows bottom-up (the order a TGA file stores them by default).
struct TgaImage {
    int components = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

// Largest picture accepted (width x height); a hostile header cannot make us allocate more.
inline constexpr int64_t tgaMaxPixels = int64_t{8192} * 8192;

// Reads a TGA file: uncompressed 16-, 24- or 32-bit true colour (16-bit becomes RGB, each
// 5-bit channel times 8) or run-length encoded 24/32-bit true colour; BGR(A) becomes RGB(A).
// The origin bit of the descriptor is not interpreted. Missing, truncated, oversized or
// unsupported files give nullopt and print "Unable to load TGA File!" on the console.
std::optional<TgaImage> readTga(const std::string& path);

// The same on bytes in memory (silent on failure). Never reads outside [data, data + size).
std::optional<TgaImage> readTgaMemory(const uint8_t* data, size_t size);

// Uncompressed 24-bit (3 components) or 32-bit (4 components) TGA with bottom-up rows.
std::vector<uint8_t> encodeTga(const TgaImage& image);
bool writeTga(const std::string& path, const TgaImage& image);
