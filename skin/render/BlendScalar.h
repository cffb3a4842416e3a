// The single-pixel operators, defined once in Blend_scalar.cpp (compiled for
// the baseline processor) and used by every binding's table: one pixel gains
// nothing from wide registers, and one definition cannot drift apart. Rules
// as in Blend.h.
#pragma once

#include "Color32.h"

namespace ks::scalar {

TColor32 BlendPixel(TColor32 f, TColor32 b);
TColor32 MixPixel(TColor32 f, TColor32 b, unsigned weight);
TColor32 BlendPixelMaster(TColor32 f, TColor32 b, unsigned master);

}  // namespace ks::scalar
