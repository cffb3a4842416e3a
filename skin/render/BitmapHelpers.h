// Colour shifting, PNG encoding and the device-context helpers of the skin.
#pragma once

#include "skin/render/Bitmap32.h"
#include "skin/render/Kernels.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace fw {
class TBitmap;
}

namespace ks {

// A Windows colour (0x00BBGGRR; system colours resolved first) shifted by hue
// (degrees), saturation and brightness (percent), in integer arithmetic.
std::int32_t ShiftColorHsb(std::int32_t color, int hue, int sat, int bright);

// Every pixel with alpha != 0 shifted in the 0..255 HSL space: hue in 1/256
// turns, saturation a percentage when negative and a step when positive,
// lightness a step. Alpha bytes are kept.
void ShiftBitmapHsl(TCustomBitmap32* bitmap, int hue, int sat, int light);
// (ShiftPixelHsl, the same for one pixel, is in Kernels.h.)

// An in-memory PNG (RGBA, 8 bits per channel, straight alpha) of the bitmap,
// or nothing on any failure (also for an empty bitmap).
std::optional<std::vector<std::uint8_t>> BitmapToPng(const TCustomBitmap32* bitmap);

// The band that FeatherEdges fades into the average colour.
constexpr int kFeatherBand = 100;

// The pixel work of FeatherEdges on 24-bit rows (blue, green, red; rows
// stride bytes apart): the average colour A of all pixels (integer division
// per channel; returned as 0x00BBGGRR), then every pixel of the right and
// bottom kFeatherBand-pixel bands becomes A composed with its own colour at
// a constant opacity, rounded as a constant-alpha AlphaBlend does:
// (colour * o + A * (255 - o) + 127) div 255. Right band column k:
// o = 255 - Round(k * 2.55); bottom band row r: o = 255 - Round(r * 255 / N);
// corner pixel (i, j) from the inner corner: o = 255 - Round(d / N * 100 *
// 2.55) with d = min(sqrt(i^2 + j^2), 99). Bands of an image smaller than
// the band start outside it and are cut.
std::int32_t FeatherEdgesPixels(std::uint8_t* bits, int width, int height, std::ptrdiff_t stride);

#ifdef _WIN32
// Fades the right and bottom kFeatherBand-pixel bands of a framework bitmap
// (made 24 bits per pixel) into its average colour and returns that colour
// (0x00BBGGRR).
std::int32_t FeatherEdges(fw::TBitmap& bitmap);
// Opaque fill of (x, y, x + w, y + h) by SetBkColor and ExtTextOut(ETO_OPAQUE).
void FillSolidRect(HDC dc, int x, int y, std::int32_t color, int h, int w);
// rect filled with color at constant opacity alpha (AlphaBlend of a solid
// compatible bitmap).
void FillTranslucent(HDC dc, const TRect& rect, std::int32_t color, int alpha);
// Size of a wide string by DrawText with DT_CALCRECT into an empty rectangle.
int MeasureTextWidthW(HDC dc, std::wstring_view text);
int MeasureTextHeightW(HDC dc, std::wstring_view text);
#endif

}  // namespace ks
