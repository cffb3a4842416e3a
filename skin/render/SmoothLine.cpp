// Anti-aliased lines: Wu-style stepping along the major axis with a 16-bit
// fixed-point error term; the two pixels straddling the ideal line share the
// colour through a gamma table (exponent 1.6) so that the line keeps an even
// brightness.
#include "skin/render/Bitmap32.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace ks {

namespace {

std::array<std::uint8_t, 256> BuildGammaTable()
{
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(std::lround(255.0 * std::pow(i / 255.0, 1.6)));
    return table;
}

// Built once at start-up.
const std::array<std::uint8_t, 256> g_gamma = BuildGammaTable();

} // namespace

const std::array<std::uint8_t, 256>& SmoothLineGammaTable() { return g_gamma; }

void TCustomBitmap32::DrawSmoothLine(int x1, int y1, int x2, int y2, TColor32 v, bool includeLast)
{
    const TRect area(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1);
    if (m_bits == nullptr)
        return;
    if (m_measuring) {
        Changed(area, AREAINFO_LINE | 2u);
        return;
    }

    const int dx = x2 - x1;
    const int dy = y2 - y1;
    const int adx = std::abs(dx);
    const int ady = std::abs(dy);
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    const TRect clip = m_clipRect;

    auto blend = [&](int x, int y) {
        if (clip.Contains(TPoint(x, y))) {
            TColor32& p = PixelAt(x, y);
            p = BlendPixel(v, p);
        }
    };
    auto blendWeighted = [&](int x, int y, unsigned m) {
        if (clip.Contains(TPoint(x, y))) {
            TColor32& p = PixelAt(x, y);
            p = BlendPixelMaster(v, p, m);
        }
    };

    if (adx == ady || dx == 0 || dy == 0) {
        // Diagonals, verticals and horizontals hit whole pixels.
        const int steps = std::max(adx, ady) + (includeLast ? 1 : 0);
        const int stepX = dx == 0 ? 0 : sx;
        const int stepY = dy == 0 ? 0 : sy;
        // Only the part of the run inside the clip rectangle is visited.
        for (int k = 0; k < steps; ++k)
            blend(x1 + k * stepX, y1 + k * stepY);
    } else if (adx > ady) {
        const int steps = adx + (includeLast ? 1 : 0);
        const std::int64_t slope = (static_cast<std::int64_t>(dy) * 65536) / adx;
        // Analytic clip on the major axis: start and stop where x leaves ClipRect.
        int kFirst = 0, kLast = steps - 1;
        if (sx > 0) {
            kFirst = std::max(kFirst, clip.Left - x1);
            kLast = std::min(kLast, clip.Right - 1 - x1);
        } else {
            kFirst = std::max(kFirst, x1 - (clip.Right - 1));
            kLast = std::min(kLast, x1 - clip.Left);
        }
        for (int k = kFirst; k <= kLast; ++k) {
            const std::int64_t yf = static_cast<std::int64_t>(y1) * 65536 + slope * k;
            const int y = static_cast<int>(yf >> 16);
            const unsigned e = static_cast<unsigned>(yf & 0xFFFF);
            const int x = x1 + k * sx;
            blendWeighted(x, y, g_gamma[(e >> 8) ^ 255u]);
            blendWeighted(x, y + 1, g_gamma[e >> 8]);
        }
    } else {
        const int steps = ady + (includeLast ? 1 : 0);
        const std::int64_t slope = (static_cast<std::int64_t>(dx) * 65536) / ady;
        int kFirst = 0, kLast = steps - 1;
        if (sy > 0) {
            kFirst = std::max(kFirst, clip.Top - y1);
            kLast = std::min(kLast, clip.Bottom - 1 - y1);
        } else {
            kFirst = std::max(kFirst, y1 - (clip.Bottom - 1));
            kLast = std::min(kLast, y1 - clip.Top);
        }
        for (int k = kFirst; k <= kLast; ++k) {
            const std::int64_t xf = static_cast<std::int64_t>(x1) * 65536 + slope * k;
            const int x = static_cast<int>(xf >> 16);
            const unsigned e = static_cast<unsigned>(xf & 0xFFFF);
            const int y = y1 + k * sy;
            blendWeighted(x, y, g_gamma[(e >> 8) ^ 255u]);
            blendWeighted(x + 1, y, g_gamma[e >> 8]);
        }
    }
    Changed(area, AREAINFO_LINE | 2u);
}

} // namespace ks
