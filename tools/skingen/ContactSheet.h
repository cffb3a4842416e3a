// A contact sheet of the built-in skin images: every image of a folder's
// manifest on a light checkerboard, with its id beneath it.
#pragma once

#include "tools/skingen/PngFile.h"

#include <string>

namespace ks::skingen {

RgbaImage BuildContactSheet(const std::string& folder);

}  // namespace ks::skingen
