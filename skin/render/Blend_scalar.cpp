// Scalar reference of the per-pixel operators: each reads like its formula and
// every other binding must give the same bits. The single-pixel operators are
// defined here once and used by every binding's table (BlendScalar.h).
#include "Blend.h"
#include "BlendScalar.h"

namespace ks {
namespace {

// R(v) = (v + 128) >> 8
constexpr unsigned Round8(unsigned v) { return (v + 128u) >> 8; }

constexpr unsigned Clamp255(int v) { return v < 0 ? 0u : (v > 255 ? 255u : static_cast<unsigned>(v)); }

constexpr unsigned Channel(TColor32 v, int shift) { return (v >> shift) & 0xFFu; }

// ((F - B) * W + B * 256 + 128) >> 8 on all four channels, for 0 <= W <= 256.
// The same value is R(F * W + B * (256 - W)), which is never negative and at
// most 255 * 256 + 128 < 65536: two channels share each 32-bit product
// without carrying into each other, and no clamp is needed.
TColor32 Weighted(TColor32 f, TColor32 b, unsigned w)
{
    const TColor32 rb = (f & 0x00FF00FFu) * w + (b & 0x00FF00FFu) * (256 - w) + 0x00800080u;
    const TColor32 ag = ((f >> 8) & 0x00FF00FFu) * w + ((b >> 8) & 0x00FF00FFu) * (256 - w) + 0x00800080u;
    return ((rb >> 8) & 0x00FF00FFu) | (ag & 0xFF00FF00u);
}

TColor32 BlendRowPixel(TColor32 f, TColor32 b)
{
    const unsigned fa = AlphaOf(f);
    const unsigned ba = AlphaOf(b);
    TColor32 out = Clamp255(static_cast<int>(fa + ba - Round8(ba * fa))) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned fc = Channel(f, shift);
        const unsigned bc = Channel(b, shift);
        const int v = static_cast<int>(Round8(fc * fa) + bc) - static_cast<int>(Round8(bc * fa));
        out |= Clamp255(v) << shift;
    }
    return out;
}

void ScalarBlendRow(const TColor32* f, TColor32* b, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        b[i] = BlendRowPixel(f[i], b[i]);
}

void ScalarBlendRowMaster(const TColor32* f, TColor32* b, std::size_t n, unsigned master)
{
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned fa = AlphaOf(f[i]);
        if (fa == 0)
            continue;
        const unsigned w = ((fa + 1) * master) >> 8;
        if (w == 0)
            continue;
        b[i] = Weighted(f[i], b[i], w);
    }
}

void ScalarMixRow(TColor32 f, TColor32* b, std::size_t n, unsigned weight)
{
    for (std::size_t i = 0; i < n; ++i)
        b[i] = scalar::MixPixel(f, b[i], weight);
}

void ScalarFillRow(TColor32* b, std::size_t n, TColor32 v)
{
    for (std::size_t i = 0; i < n; ++i)
        b[i] = v;
}

}  // namespace

TColor32 scalar::BlendPixel(TColor32 f, TColor32 b)
{
    const unsigned fa = AlphaOf(f);
    if (fa == 0)
        return b;
    if (fa == 255)
        return f;
    return Weighted(f, b, fa);
}

TColor32 scalar::MixPixel(TColor32 f, TColor32 b, unsigned weight)
{
    if (weight == 0)
        return b;
    if (weight >= 255)
        return f;
    return Weighted(f, b, weight);
}

TColor32 scalar::BlendPixelMaster(TColor32 f, TColor32 b, unsigned master)
{
    const unsigned fa = AlphaOf(f);
    if (fa == 0)
        return b;
    const unsigned w = ((master + 1) * fa) >> 8;
    if (w == 0)
        return b;
    return Weighted(f, b, w);
}

extern const TBlendOps g_scalarBlendOps = {
    scalar::BlendPixel, ScalarBlendRow,           ScalarBlendRowMaster, scalar::MixPixel,
    ScalarMixRow,       scalar::BlendPixelMaster, ScalarFillRow,
};

const TBlendOps& ScalarBlendOps() { return g_scalarBlendOps; }

}  // namespace ks
