// Reading and writing 8-bit RGBA PNG files for the skin image tools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ks::skingen {

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // red, green, blue, alpha; rows top to bottom
};

// Writes straight-alpha RGBA with fixed settings, so equal pixels give equal
// files. Throws std::runtime_error naming the file on failure.
void WritePng(const std::string& path, const RgbaImage& image);

// Reads any PNG (palette, grey, 16-bit, with or without alpha or a
// transparent colour) as 8-bit straight-alpha RGBA. Throws
// std::runtime_error naming the file for unreadable or oversized files.
RgbaImage ReadPng(const std::string& path);

}  // namespace ks::skingen
