// The 32-bit colour value of the pixel core: 0xAARRGGBB, straight alpha.
// In memory a pixel is the byte sequence blue, green, red, alpha.
#pragma once

#include <cstdint>

namespace ks {

using TColor32 = std::uint32_t;

constexpr TColor32 MakeColor32(unsigned r, unsigned g, unsigned b, unsigned a = 255)
{
    return ((a & 0xFFu) << 24) | ((r & 0xFFu) << 16) | ((g & 0xFFu) << 8) | (b & 0xFFu);
}

constexpr unsigned AlphaOf(TColor32 v) { return v >> 24; }
constexpr unsigned RedOf(TColor32 v) { return (v >> 16) & 0xFFu; }
constexpr unsigned GreenOf(TColor32 v) { return (v >> 8) & 0xFFu; }
constexpr unsigned BlueOf(TColor32 v) { return v & 0xFFu; }

// The colour with alpha a; a above 255 becomes 255, a negative a gives 0.
constexpr TColor32 WithAlpha(TColor32 v, int a)
{
    const unsigned alpha = a < 0 ? 0u : (a > 255 ? 255u : static_cast<unsigned>(a));
    return (v & 0x00FFFFFFu) | (alpha << 24);
}

// From a Windows colour value (0x00BBGGRR): red and blue swap places, alpha
// is 255. A negative value names a system colour (index = w and 0xFF), which
// is looked up first (GetSysColor on Windows; a fixed classic palette in the
// native build).
TColor32 ColorToColor32(std::int32_t w);

// The 0x00BBGGRR value of system colour index (Windows: GetSysColor).
std::uint32_t SystemColorRGB(int index);

// Well-known values.
constexpr TColor32 clBlack32 = 0xFF000000u;
constexpr TColor32 clWhite32 = 0xFFFFFFFFu;

}  // namespace ks
