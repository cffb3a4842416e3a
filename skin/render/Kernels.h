// Pixel kernels beside the blend operators: bilinear samples along a row and
// the HSL shift of a run of pixels. Each has a scalar reference and SSE2 and
// AVX2 bindings that give the same bits; they are bound together with the
// blend operators (at start-up, or forced by KS_PIXEL_BINDING).
//
// This header stays free of the bitmap classes: the SIMD files include it and
// are compiled with their own instruction-set flags, so nothing inline from
// the rest of the library may be instantiated there.
#pragma once

#include "skin/render/Blend.h"

#include <cstddef>
#include <cstdint>

namespace ks {

// What a sample outside the source bitmap reads.
enum TPixelAccessMode {
    pamClamp,            // the nearest edge pixel
    pamWrap,             // the bitmap repeated
    pamTransparentEdge,  // transparent: samples fade out across the edge
};

// A source bitmap as the samplers see it: Width x Height pixels, rows
// contiguous and top to bottom.
struct TSampleSource {
    const TColor32* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    TPixelAccessMode Mode = pamClamp;

    // Pixel (x, y), read by the access mode outside the bitmap.
    TColor32 Pixel(int x, int y) const;
};

// The bilinear sample at 16.16 fixed-point (u, v), pixel centres on whole
// numbers: the four pixels around it weighted by 8-bit fractions
// wx = ((u & 0xFFFF) + 128) >> 8 (0..256) and wy likewise. Four pixels of
// equal alpha mix their colours directly, R((sum of weight x colour) + 32768
// >> 16) with the products of the two weights; otherwise colours are weighted
// by alpha as well, so that transparent neighbours lend no colour. Four
// transparent pixels give 0.
TColor32 SampleBilinear(const TSampleSource& src, std::int64_t u, std::int64_t v);

// A pixel with alpha != 0 shifted in the 0..255 HSL space (hue in 1/256
// turns, saturation a percentage when negative and a step when positive,
// lightness a step); alpha 0 comes back unchanged and alpha is kept.
TColor32 ShiftPixelHsl(TColor32 pixel, int hue, int sat, int light);

struct TPixelKernels {
    // out[i] = SampleBilinear(src, u + i * du, v) for i < n.
    void (*LinearRow)(const TSampleSource& src, std::int64_t u, std::int64_t du, std::int64_t v, TColor32* out,
                      std::size_t n);
    // p[i] = ShiftPixelHsl(p[i], hue, sat, light) for i < n.
    void (*ShiftHslRow)(TColor32* p, std::size_t n, int hue, int sat, int light);
    // A 24-bit image (rows stride bytes apart) blurred in place with a box
    // of 2 x radius + 1 pixels, edge pixels repeated beyond the border:
    // passes times along every row, passes + 1 times along every column
    // (every sum of a pass taken before the pass writes), each pixel's
    // channels then set to (red + green + blue) div 3. Nothing for an empty
    // image or a radius below 1.
    void (*BoxBlurGray)(std::uint8_t* bits, int width, int height, std::ptrdiff_t stride, int radius, int passes);
};

const TPixelKernels& ScalarKernels();
const TPixelKernels& Sse2Kernels();
const TPixelKernels& Avx2Kernels();
const TPixelKernels& KernelsFor(TPixelBinding binding);

namespace detail {
extern const TPixelKernels* g_boundKernels;
// out[j] = src.Pixel(x + j, y) for j < count.
void FetchRow(const TSampleSource& src, int x, int y, std::size_t count, TColor32* out);
}  // namespace detail

// The bound table (the same binding as BlendOps()).
inline const TPixelKernels& Kernels() { return *detail::g_boundKernels; }

}  // namespace ks
