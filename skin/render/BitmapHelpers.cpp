#include "skin/render/BitmapHelpers.h"

#include "skin/render/HueSector.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace ks {

namespace {

int Clamp255(int v) { return std::clamp(v, 0, 255); }

// Shift amounts may come from a configuration file and hold any integer. Every
// step saturates long before this bound, so bounding a step gives the result
// the wider value would, without overflowing the arithmetic.
int BoundStep(std::int64_t v)
{
    constexpr std::int64_t kBound = 1000000;
    return static_cast<int>(std::clamp(v, -kBound, kBound));
}

void BrightnessStep(int& r, int& g, int& b, int bright)
{
    for (int* x : {&r, &g, &b}) {
        if (bright > 0)
            *x = bright * (255 - *x) / 255 + *x;
        else if (bright < 0)
            *x = bright * *x / 255 + *x;
        *x = Clamp255(*x);
    }
}

void HueSaturationStep(int& r, int& g, int& b, int hue, int sat)
{
    const int hi = std::max({r, g, b});
    const int lo = std::min({r, g, b});
    if (hi == lo)
        return;
    const int l = (hi + lo) / 2;
    const int s = hi + lo > 255 ? (hi - lo) * 255 / (510 - hi - lo) : (hi - lo) * 255 / (hi + lo);

    if (hue != 0) {
        int h;
        if (r == hi)
            h = (g - b) * 60 / (hi - lo);
        else if (g == hi)
            h = (b - r) * 60 / (hi - lo) + 120;
        else
            h = (r - g) * 60 / (hi - lo) + 240;
        h += hue;
        if (h < 0)
            h += 360;
        else if (h > 360)
            h -= 360;
        int sector = h / 60;
        int f = h % 60;
        if (sector % 2 != 0)
            f = 60 - f;
        int e = (f * 255 + 30) / 60;
        e = e - (255 - s) * (e - 128) / 255;
        const int gl = l - 128;
        int mid;
        if (gl > 0)
            mid = (gl * (255 - e) + 64) / 128 + e;
        else if (gl < 0)
            mid = e * gl / 128 + e;
        else
            mid = e;
        mid = Clamp255(mid);
        // Sector 6 (hue 360) is sector 0; hue shifts beyond a turn wrap too.
        sector = ((sector % 6) + 6) % 6;
        SectorToRgb(sector, hi, mid, lo, r, g, b);
    }

    if (sat != 0) {
        int k = sat;
        if (k > 0) {
            int d = s;
            if (k + s < 255)
                d = 255 - k;
            k = 65025 / std::max(d, 1) - 255;
        }
        for (int* x : {&r, &g, &b})
            *x = Clamp255(*x + k * (*x - l) / 255);
    }
}

}  // namespace

std::int32_t ShiftColorHsb(std::int32_t color, int hue, int sat, int bright)
{
    const std::uint32_t rgb = color < 0 ? SystemColorRGB(color & 0xFF) : static_cast<std::uint32_t>(color);
    int r = static_cast<int>(rgb & 0xFF);
    int g = static_cast<int>((rgb >> 8) & 0xFF);
    int b = static_cast<int>((rgb >> 16) & 0xFF);
    const int s = BoundStep(static_cast<std::int64_t>(sat) * 255 / 100);
    const int br = BoundStep(static_cast<std::int64_t>(bright) * 255 / 100);
    hue %= 360;  // whole turns change nothing
    if (s > 0 && br != 0)
        BrightnessStep(r, g, b, br);
    HueSaturationStep(r, g, b, hue, s);
    if (s <= 0 && br != 0)
        BrightnessStep(r, g, b, br);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 |
                                     static_cast<std::uint32_t>(b) << 16);
}

void ShiftBitmapHsl(TCustomBitmap32* bitmap, int hue, int sat, int light)
{
    if (bitmap == nullptr || bitmap->IsEmpty())
        return;
    const std::size_t count = static_cast<std::size_t>(bitmap->Width()) * static_cast<std::size_t>(bitmap->Height());
    Kernels().ShiftHslRow(bitmap->Bits(), count, hue, sat, light);
    bitmap->Changed();
}

std::int32_t FeatherEdgesPixels(std::uint8_t* bits, int width, int height, std::ptrdiff_t stride)
{
    constexpr int n = kFeatherBand;
    const auto row = [&](int y) { return bits + static_cast<std::ptrdiff_t>(y) * stride; };
    std::uint64_t sum[3] = {0, 0, 0};  // blue, green, red
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* p = row(y);
        std::uint32_t line[3] = {0, 0, 0};  // a row's sums fit 32 bits for any width below 2^24
        for (int x = 0; x < width; ++x, p += 3) {
            line[0] += p[0];
            line[1] += p[1];
            line[2] += p[2];
        }
        for (int c = 0; c < 3; ++c)
            sum[c] += line[c];
    }
    const std::uint64_t count =
        (width > 0 && height > 0) ? static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) : 1;
    const unsigned average[3] = {static_cast<unsigned>(sum[0] / count), static_cast<unsigned>(sum[1] / count),
                                 static_cast<unsigned>(sum[2] / count)};
    const auto result = static_cast<std::int32_t>(average[2] | average[1] << 8 | average[0] << 16);
    if (width <= 0 || height <= 0)
        return result;

    // Opacities by distance into the band (columns, rows) and into the corner.
    std::array<std::uint8_t, n> column{}, line{};
    std::array<std::array<std::uint8_t, n>, n> corner{};
    for (int k = 0; k < n; ++k) {
        column[k] = static_cast<std::uint8_t>(255 - std::lround(k * 2.55));
        line[k] = static_cast<std::uint8_t>(255 - std::lround(k * 255.0 / n));
    }
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const double d = std::min(std::sqrt(static_cast<double>(i * i + j * j)), 99.0);
            corner[i][j] = static_cast<std::uint8_t>(~std::lround(d / n * 100.0 * 2.55) & 0xFF);
        }
    const auto compose = [&](std::uint8_t* p, unsigned o) {
        for (int c = 0; c < 3; ++c)
            p[c] = static_cast<std::uint8_t>((p[c] * o + average[c] * (255 - o) + 127) / 255);
    };
    const int bandLeft = width - n;  // may be negative: the band starts outside
    const int bandTop = height - n;
    const int firstBandColumn = std::max(bandLeft, 0);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* p = row(y);
        if (y >= bandTop) {
            const auto r = static_cast<std::size_t>(y - bandTop);
            for (int x = 0; x < firstBandColumn; ++x)
                compose(p + 3 * static_cast<std::ptrdiff_t>(x), line[r]);
            for (int x = firstBandColumn; x < width; ++x)
                compose(p + 3 * static_cast<std::ptrdiff_t>(x), corner[static_cast<std::size_t>(x - bandLeft)][r]);
        } else {
            for (int x = firstBandColumn; x < width; ++x)
                compose(p + 3 * static_cast<std::ptrdiff_t>(x), column[static_cast<std::size_t>(x - bandLeft)]);
        }
    }
    return result;
}

}  // namespace ks
