// Anti-aliased lines: Wu-style stepping along the major axis with a 16-bit
// fixed-point error term; the two pixels straddling the ideal line share the
// colour through a gamma table (exponent 1.6) so that the line keeps an even
// brightness.
#include "skin/render/Bitmap32.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace ks {

namespace {

std::array<std::uint8_t, 256> BuildGammaTable()
{
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(std::lround(255.0 * std::pow(i / 255.0, 1.6)));
    return table;
}

// Built once at start-up.
const std::array<std::uint8_t, 256> g_gamma = BuildGammaTable();

// The steps k (0-based) for which start + k * step stays inside [lo, hi):
// the analytic clip along one axis. step 0 keeps every k when start lies
// inside.
void ClipSteps(std::int64_t start, int step, int lo, int hi, std::int64_t& first, std::int64_t& last)
{
    if (step == 0) {
        if (start < lo || start >= hi)
            last = first - 1;
        return;
    }
    if (step > 0) {
        first = std::max(first, lo - start);
        last = std::min(last, hi - 1 - start);
    } else {
        first = std::max(first, start - (hi - 1));
        last = std::min(last, start - lo);
    }
}

}  // namespace

const std::array<std::uint8_t, 256>& SmoothLineGammaTable() { return g_gamma; }

void TCustomBitmap32::DrawSmoothLine(int x1, int y1, int x2, int y2, TColor32 v, bool includeLast)
{
    const TRect area(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + (std::max(x1, x2) < INT_MAX ? 1 : 0),
                     std::max(y1, y2) + (std::max(y1, y2) < INT_MAX ? 1 : 0));
    if (m_bits == nullptr)
        return;
    if (m_measuring) {
        Changed(area, AREAINFO_LINE | 2u);
        return;
    }

    const std::int64_t dx = static_cast<std::int64_t>(x2) - x1;
    const std::int64_t dy = static_cast<std::int64_t>(y2) - y1;
    const std::int64_t adx = dx < 0 ? -dx : dx;
    const std::int64_t ady = dy < 0 ? -dy : dy;
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    const TRect clip = m_clipRect;
    if (clip.IsEmpty()) {
        Changed(area, AREAINFO_LINE | 2u);
        return;
    }

    auto blendWeighted = [&](std::int64_t x, std::int64_t y, unsigned m) {
        if (x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom) {
            TColor32& p = PixelAt(static_cast<int>(x), static_cast<int>(y));
            p = BlendPixelMaster(v, p, m);
        }
    };

    if (adx == ady || dx == 0 || dy == 0) {
        // Diagonals, verticals and horizontals hit whole pixels.
        const std::int64_t steps = std::max(adx, ady) + (includeLast ? 1 : 0);
        const int stepX = dx == 0 ? 0 : sx;
        const int stepY = dy == 0 ? 0 : sy;
        std::int64_t first = 0, last = steps - 1;
        ClipSteps(x1, stepX, clip.Left, clip.Right, first, last);
        ClipSteps(y1, stepY, clip.Top, clip.Bottom, first, last);
        for (std::int64_t k = first; k <= last; ++k) {
            TColor32& p = PixelAt(static_cast<int>(x1 + k * stepX), static_cast<int>(y1 + k * stepY));
            p = BlendPixel(v, p);
        }
    } else {
        // One pixel a step along the major axis; the minor coordinate, in
        // 16.16, shares the step's coverage between two pixels across it.
        const auto sweep = [&](int majorStart, int majorStep, int clipLo, int clipHi, std::int64_t majorLength,
                               int minorStart, std::int64_t minorDelta, auto plot) {
            const std::int64_t steps = majorLength + (includeLast ? 1 : 0);
            const std::int64_t slope = (minorDelta * 65536) / majorLength;
            std::int64_t first = 0, last = steps - 1;
            ClipSteps(majorStart, majorStep, clipLo, clipHi, first, last);
            for (std::int64_t k = first; k <= last; ++k) {
                const std::int64_t mf = static_cast<std::int64_t>(minorStart) * 65536 + slope * k;
                const std::int64_t minor = mf >> 16;
                const auto e = static_cast<unsigned>(mf & 0xFFFF);
                const std::int64_t along = majorStart + k * majorStep;
                plot(along, minor, g_gamma[(e >> 8) ^ 255u]);
                plot(along, minor + 1, g_gamma[e >> 8]);
            }
        };
        if (adx > ady)
            sweep(x1, sx, clip.Left, clip.Right, adx, y1, dy,
                  [&](std::int64_t x, std::int64_t y, unsigned m) { blendWeighted(x, y, m); });
        else
            sweep(y1, sy, clip.Top, clip.Bottom, ady, x1, dx,
                  [&](std::int64_t y, std::int64_t x, unsigned m) { blendWeighted(x, y, m); });
    }
    Changed(area, AREAINFO_LINE | 2u);
}

}  // namespace ks
