// The 85 built-in skin images: ids in stored order, sizes, draw modes and
// the drawing of each.
#pragma once

#include "tools/skingen/PngFile.h"
#include "tools/skingen/Raster.h"

#include <cstdint>
#include <vector>

namespace ks::skingen {

struct SkinImageRecipe {
    const char* id;
    int width;
    int height;
    bool opaque;                   // stored as dmOpaque (every alpha 255), else dmBlend
    std::uint32_t transparentRgb;  // colour bytes of fully transparent pixels
    void (*draw)(Canvas&);
};

// In the order of the store.
const std::vector<SkinImageRecipe>& SkinImageTable();

// Draws one image; opaque images come out with alpha 255 everywhere.
RgbaImage RenderSkinImage(const SkinImageRecipe& recipe);

}  // namespace ks::skingen
