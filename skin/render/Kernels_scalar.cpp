// Scalar reference of the pixel kernels. Compiled for the baseline processor:
// the SIMD bindings call SampleBilinear and ShiftPixelHsl from here for the
// pixels they leave to the reference, so each has one definition.
#include "skin/render/Kernels.h"

#include "skin/render/HueSector.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ks {

TColor32 TSampleSource::Pixel(int x, int y) const
{
    if (x >= 0 && y >= 0 && x < Width && y < Height)
        return Bits[static_cast<std::ptrdiff_t>(y) * Width + x];
    switch (Mode) {
    case pamTransparentEdge:
        return 0;
    case pamWrap:
        x %= Width;
        y %= Height;
        x = x < 0 ? x + Width : x;
        y = y < 0 ? y + Height : y;
        return Bits[static_cast<std::ptrdiff_t>(y) * Width + x];
    case pamClamp:
        break;
    }
    x = std::clamp(x, 0, Width - 1);
    y = std::clamp(y, 0, Height - 1);
    return Bits[static_cast<std::ptrdiff_t>(y) * Width + x];
}

namespace {

// Bilinear blend of four pixels with 8-bit weights wx, wy (0..256).
TColor32 Bilinear(TColor32 p00, TColor32 p10, TColor32 p01, TColor32 p11, std::uint32_t wx, std::uint32_t wy)
{
    const std::uint32_t w[4] = {(256 - wx) * (256 - wy), wx * (256 - wy), (256 - wx) * wy, wx * wy};
    const TColor32 p[4] = {p00, p10, p01, p11};
    const unsigned a0 = AlphaOf(p00);
    if (a0 == AlphaOf(p10) && a0 == AlphaOf(p01) && a0 == AlphaOf(p11)) {
        if (a0 == 0)
            return 0;
        std::uint32_t r = 32768, g = 32768, b = 32768;
        for (int i = 0; i < 4; ++i) {
            r += w[i] * RedOf(p[i]);
            g += w[i] * GreenOf(p[i]);
            b += w[i] * BlueOf(p[i]);
        }
        return MakeColor32(r >> 16, g >> 16, b >> 16, a0);
    }
    std::uint64_t a = 0, r = 0, g = 0, b = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint64_t wa = static_cast<std::uint64_t>(w[i]) * AlphaOf(p[i]);
        a += wa;
        r += wa * RedOf(p[i]);
        g += wa * GreenOf(p[i]);
        b += wa * BlueOf(p[i]);
    }
    if (a == 0)
        return 0;
    const auto channel = [a](std::uint64_t sum) { return static_cast<unsigned>((sum + a / 2) / a); };
    return MakeColor32(channel(r), channel(g), channel(b), static_cast<unsigned>((a + 32768) >> 16));
}

int Clamp255(int v) { return std::clamp(v, 0, 255); }

void ScalarLinearRow(const TSampleSource& src, std::int64_t u, std::int64_t du, std::int64_t v, TColor32* out,
                     std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i, u += du)
        out[i] = SampleBilinear(src, u, v);
}

void ScalarShiftHslRow(TColor32* p, std::size_t n, int hue, int sat, int light)
{
    // Skin images are made of runs of equal pixels: reuse the last answer.
    TColor32 lastIn = 0, lastOut = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] != lastIn) {
            lastIn = p[i];
            lastOut = ShiftPixelHsl(lastIn, hue, sat, light);
        }
        p[i] = lastOut;
    }
}

// One box pass over a line of n pixels (3 channels each) that lie step
// bytes apart: every pixel becomes the mean of the 2r + 1 pixels centred on
// it, the line extended by repeating its end pixels. All sums come from the
// line as it was before the pass (prefix sums in sums).
void BoxLine(std::uint8_t* first, int n, std::ptrdiff_t step, int r, std::vector<std::int64_t>& sums)
{
    const std::int64_t k = 2 * static_cast<std::int64_t>(r) + 1;
    sums.assign(3 * (static_cast<std::size_t>(n) + 1), 0);
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c)
            sums[3 * (i + 1) + c] = sums[3 * i + c] + first[i * step + c];
    const std::uint8_t* lastPixel = first + (n - 1) * step;
    const std::uint8_t firstValues[3] = {first[0], first[1], first[2]};
    const std::uint8_t lastValues[3] = {lastPixel[0], lastPixel[1], lastPixel[2]};
    for (int x = 0; x < n; ++x) {
        const std::int64_t lo = static_cast<std::int64_t>(x) - r;
        const std::int64_t hi = static_cast<std::int64_t>(x) + r;
        const std::int64_t before = lo < 0 ? -lo : 0;              // copies of the first pixel
        const std::int64_t after = hi > n - 1 ? hi - (n - 1) : 0;  // copies of the last pixel
        const std::int64_t from = std::max<std::int64_t>(lo, 0);
        const std::int64_t to = std::min<std::int64_t>(hi, n - 1);  // inclusive, may be < from
        for (int c = 0; c < 3; ++c) {
            std::int64_t sum = before * firstValues[c] + after * lastValues[c];
            if (to >= from)
                sum += sums[3 * (to + 1) + c] - sums[3 * from + c];
            first[x * step + c] = static_cast<std::uint8_t>(sum / k);
        }
    }
}

void ScalarBoxBlurGray(std::uint8_t* bits, int width, int height, std::ptrdiff_t stride, int radius, int passes)
{
    if (bits == nullptr || width <= 0 || height <= 0 || radius < 1)
        return;
    std::vector<std::int64_t> sums;
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < height; ++y)
            BoxLine(bits + y * stride, width, 3, radius, sums);
    for (int pass = 0; pass < passes + 1; ++pass)
        for (int x = 0; x < width; ++x)
            BoxLine(bits + 3 * static_cast<std::ptrdiff_t>(x), height, stride, radius, sums);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* p = bits + y * stride;
        for (int x = 0; x < width; ++x, p += 3) {
            const auto grey = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 3);
            p[0] = p[1] = p[2] = grey;
        }
    }
}

}  // namespace

TColor32 SampleBilinear(const TSampleSource& src, std::int64_t u, std::int64_t v)
{
    const int x0 = static_cast<int>(u >> 16);
    const int y0 = static_cast<int>(v >> 16);
    const auto wx = static_cast<std::uint32_t>(((u & 0xFFFF) + 128) >> 8);
    const auto wy = static_cast<std::uint32_t>(((v & 0xFFFF) + 128) >> 8);
    if (x0 >= 0 && y0 >= 0 && x0 < src.Width - 1 && y0 < src.Height - 1) {
        const TColor32* row = src.Bits + static_cast<std::ptrdiff_t>(y0) * src.Width + x0;
        const TColor32* next = row + src.Width;
        return Bilinear(row[0], row[1], next[0], next[1], wx, wy);
    }
    return Bilinear(src.Pixel(x0, y0), src.Pixel(x0 + 1, y0), src.Pixel(x0, y0 + 1), src.Pixel(x0 + 1, y0 + 1), wx, wy);
}

TColor32 ShiftPixelHsl(TColor32 pixel, int hue, int sat, int light)
{
    const unsigned alpha = AlphaOf(pixel);
    if (alpha == 0)
        return pixel;
    // Shifts beyond these bounds give the same answers (everything clamps
    // or wraps), and the arithmetic below cannot overflow within them.
    hue = (hue % 256 + 256) % 256;
    sat = std::clamp(sat, -100, 255);
    light = std::clamp(light, -255, 255);
    const int r = static_cast<int>(RedOf(pixel));
    const int g = static_cast<int>(GreenOf(pixel));
    const int b = static_cast<int>(BlueOf(pixel));

    // To H, S, L in 0..255.
    const int cmax = std::max({r, g, b});
    const int cmin = std::min({r, g, b});
    int l = (cmax + cmin) >> 1;
    int h = 0;
    int s = 0;
    if (cmax != cmin) {
        int d = (cmax - cmin) * 255;
        s = ((cmax + cmin) & 0x100) != 0 ? d / (510 - cmax - cmin) : d / (cmax + cmin);
        d *= 6;
        int hh;
        if (r == cmax)
            hh = (g - b) * 65025 / d;
        else if (g == cmax)
            hh = (b - r) * 65025 / d + 85;
        else
            hh = (r - g) * 65025 / d + 170;
        // A negative hue wraps like the byte it is stored in.
        h = hh < 0 ? ((hh - 2) & 0xFF) : hh % 256;
    }

    // The shift.
    h = (h + hue) % 256;
    s = Clamp255(sat <= 0 ? s + sat * s / 100 : s + sat);
    l = Clamp255(l + light);

    // Back to RGB.
    const auto div255 = [](int x) { return static_cast<int>((static_cast<std::int64_t>(x) * 32897) >> 23); };
    const int v = l < 128 ? (l * (256 + s)) >> 8 : l + s - div255(l * s);
    if (v <= 0)
        return MakeColor32(0, 0, 0, alpha);  // black keeps its alpha
    const int m = 2 * l - v;
    const int h6 = h * 6;
    const int f = ((v - m) * (h6 & 255)) >> 8;
    const int m1 = m + f;
    const int m2 = v - f;
    // Rising sectors take the rising mix, falling ones the falling one.
    const int sector = h6 >> 8;
    int rr, gg, bb;
    SectorToRgb(sector, v, (sector & 1) != 0 ? m2 : m1, m, rr, gg, bb);
    return MakeColor32(static_cast<unsigned>(Clamp255(rr)), static_cast<unsigned>(Clamp255(gg)),
                       static_cast<unsigned>(Clamp255(bb)), alpha);
}

extern const TPixelKernels g_scalarKernels = {ScalarLinearRow, ScalarShiftHslRow, ScalarBoxBlurGray};

namespace detail {

const TPixelKernels* g_boundKernels = &g_scalarKernels;

void FetchRow(const TSampleSource& src, int x, int y, std::size_t count, TColor32* out)
{
    std::size_t j = 0;
    if (y >= 0 && y < src.Height) {
        const TColor32* row = src.Bits + static_cast<std::ptrdiff_t>(y) * src.Width;
        for (; j < count && x + static_cast<std::int64_t>(j) < 0; ++j)
            out[j] = src.Pixel(x + static_cast<int>(j), y);
        const std::int64_t inside =
            std::min<std::int64_t>(static_cast<std::int64_t>(count), src.Width - static_cast<std::int64_t>(x));
        if (static_cast<std::int64_t>(j) < inside) {
            std::memcpy(out + j, row + x + static_cast<std::int64_t>(j),
                        static_cast<std::size_t>(inside - static_cast<std::int64_t>(j)) * sizeof(TColor32));
            j = static_cast<std::size_t>(inside);
        }
    }
    for (; j < count; ++j)
        out[j] = src.Pixel(x + static_cast<int>(j), y);
}

}  // namespace detail

const TPixelKernels& ScalarKernels() { return g_scalarKernels; }

const TPixelKernels& KernelsFor(TPixelBinding binding)
{
    switch (binding) {
    case TPixelBinding::pbSse2:
        return Sse2Kernels();
    case TPixelBinding::pbAvx2:
        return Avx2Kernels();
    case TPixelBinding::pbScalar:
        break;
    }
    return ScalarKernels();
}

}  // namespace ks
