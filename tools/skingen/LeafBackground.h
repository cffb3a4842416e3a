// The default form background picture "skin_bk_leaf.jpg": a pale green field
// with scattered leaves, drawn with the skin rasteriser and stored as JPEG.
#pragma once

#include "tools/skingen/PngFile.h"

#include <string>

namespace ks::skingen {

inline constexpr int kLeafBackgroundWidth = 800;
inline constexpr int kLeafBackgroundHeight = 600;

// The picture as opaque RGBA.
RgbaImage RenderLeafBackground();

// Writes the image as a baseline JPEG of the given quality (alpha dropped).
// Throws std::runtime_error naming the file on failure.
void WriteJpeg(const std::string& path, const RgbaImage& image, int quality);

}  // namespace ks::skingen
