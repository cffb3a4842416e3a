#include "skin/render/Resamplers.h"

#include "framework/TypInfo.h"

#include <algorithm>
#include <cmath>

namespace ks {

const fw::TClassInfo& TCustomResampler::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TCustomResampler, fw::TPersistent>("TCustomResampler")
            .Enum("PixelAccessMode", &TCustomResampler::PixelAccessMode, &TCustomResampler::SetPixelAccessMode,
                  {"pamClamp", "pamWrap", "pamTransparentEdge"}, pamClamp)
            .Register();
    return info;
}

const fw::TClassInfo& TNearestResampler::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TNearestResampler, TCustomResampler>("TNearestResampler").Register();
    return info;
}
FW_REGISTER_CLASS(TNearestResampler)

const fw::TClassInfo& TLinearResampler::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TLinearResampler, TCustomResampler>("TLinearResampler").Register();
    return info;
}
FW_REGISTER_CLASS(TLinearResampler)

TCustomResampler::~TCustomResampler() = default;

void TCustomResampler::SampleRow(const TCustomBitmap32& src, double x, double y, double dx, double dy,
                                 TColor32* out, std::size_t n) const
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] = Sample(src, x + static_cast<double>(i) * dx, y + static_cast<double>(i) * dy);
}

void TCustomResampler::Assign(const fw::TPersistent& source)
{
    if (const auto* other = dynamic_cast<const TCustomResampler*>(&source)) {
        m_accessMode = other->m_accessMode;
        return;
    }
    fw::TPersistent::Assign(source);
}

TColor32 TCustomResampler::Pixel(const TCustomBitmap32& src, int x, int y) const
{
    const int w = src.Width();
    const int h = src.Height();
    if (x >= 0 && y >= 0 && x < w && y < h)
        return src.PixelAt(x, y);
    switch (m_accessMode) {
    case pamTransparentEdge:
        return 0;
    case pamWrap:
        x %= w;
        y %= h;
        return src.PixelAt(x < 0 ? x + w : x, y < 0 ? y + h : y);
    case pamClamp:
        break;
    }
    return src.PixelAt(std::clamp(x, 0, w - 1), std::clamp(y, 0, h - 1));
}

// ---------------------------------------------------------------------------

std::vector<int> NearestIndexMap(int srcLo, int srcHi, int dstLo, int dstHi, int clipLo, int clipHi)
{
    std::vector<int> map(static_cast<std::size_t>(std::max<std::int64_t>(static_cast<std::int64_t>(clipHi) - clipLo, 0)));
    const std::int64_t dstLen = static_cast<std::int64_t>(dstHi) - dstLo;
    if (dstLen <= 1) {
        std::fill(map.begin(), map.end(), static_cast<int>((static_cast<std::int64_t>(srcLo) + srcHi - 1) / 2));
        return map;
    }
    const float scale = static_cast<float>(static_cast<std::int64_t>(srcHi) - srcLo) / static_cast<float>(dstLen);
    for (std::size_t i = 0; i < map.size(); ++i) {
        const double pos = srcLo + (static_cast<double>(i) + clipLo - dstLo) * static_cast<double>(scale);
        map[i] = pos <= srcLo ? srcLo : pos >= srcHi - 1 ? srcHi - 1 : static_cast<int>(pos);
    }
    return map;
}

std::unique_ptr<TCustomResampler> TNearestResampler::Clone() const
{
    auto copy = std::make_unique<TNearestResampler>();
    copy->Assign(*this);
    return copy;
}

void TNearestResampler::Resample(TCustomBitmap32& dst, const TRect& dstRect, const TRect& dstClip,
                                 const TCustomBitmap32& src, const TRect& srcRect) const
{
    if (!src.BoundsRect().Contains(srcRect) || srcRect.IsEmpty())
        throw ERenderError("Invalid SrcRect");
    const std::vector<int> columns =
        NearestIndexMap(srcRect.Left, srcRect.Right, dstRect.Left, dstRect.Right, dstClip.Left, dstClip.Right);
    const std::vector<int> rows =
        NearestIndexMap(srcRect.Top, srcRect.Bottom, dstRect.Top, dstRect.Bottom, dstClip.Top, dstClip.Bottom);
    std::vector<TColor32> gathered(columns.size());
    int gatheredRow = -1;
    for (std::size_t j = 0; j < rows.size(); ++j) {
        if (rows[j] != gatheredRow) {
            const TColor32* line = src.ScanLine(rows[j]);
            for (std::size_t i = 0; i < columns.size(); ++i)
                gathered[i] = line[columns[i]];
            gatheredRow = rows[j];
        }
        CombineRow(src, gathered.data(), dst.ScanLine(dstClip.Top + static_cast<int>(j)) + dstClip.Left,
                   gathered.size());
    }
}

TColor32 TNearestResampler::Sample(const TCustomBitmap32& src, double x, double y) const
{
    return Pixel(src, static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
}

// ---------------------------------------------------------------------------

std::unique_ptr<TCustomResampler> TLinearResampler::Clone() const
{
    auto copy = std::make_unique<TLinearResampler>();
    copy->Assign(*this);
    return copy;
}

namespace {

// Bilinear blend of four pixels with 8-bit weights wx, wy (0..256). Pixels
// of equal alpha (opaque pictures above all) mix directly; otherwise the
// colours are weighted by alpha, so transparent neighbours lend no colour.
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

std::int64_t ToFixed(double v)
{
    // Far outside any bitmap the exact position no longer matters.
    if (!(v > -1e9))
        return static_cast<std::int64_t>(-1e9 * 65536.0);
    if (!(v < 1e9))
        return static_cast<std::int64_t>(1e9 * 65536.0);
    return std::llround(v * 65536.0);
}

} // namespace

TColor32 TLinearResampler::SampleFixed(const TCustomBitmap32& src, std::int64_t u, std::int64_t v) const
{
    // (u, v): the sample point minus half a pixel, so that pixel centres
    // fall on whole numbers.
    const int x0 = static_cast<int>(u >> 16);
    const int y0 = static_cast<int>(v >> 16);
    const auto wx = static_cast<std::uint32_t>(((u & 0xFFFF) + 128) >> 8);
    const auto wy = static_cast<std::uint32_t>(((v & 0xFFFF) + 128) >> 8);
    if (x0 >= 0 && y0 >= 0 && x0 < src.Width() - 1 && y0 < src.Height() - 1) {
        const TColor32* row = src.ScanLine(y0) + x0;
        const TColor32* next = row + src.Width();
        return Bilinear(row[0], row[1], next[0], next[1], wx, wy);
    }
    return Bilinear(Pixel(src, x0, y0), Pixel(src, x0 + 1, y0), Pixel(src, x0, y0 + 1), Pixel(src, x0 + 1, y0 + 1),
                    wx, wy);
}

TColor32 TLinearResampler::Sample(const TCustomBitmap32& src, double x, double y) const
{
    return SampleFixed(src, ToFixed(x - 0.5), ToFixed(y - 0.5));
}

void TLinearResampler::SampleRow(const TCustomBitmap32& src, double x, double y, double dx, double dy, TColor32* out,
                                 std::size_t n) const
{
    std::int64_t u = ToFixed(x - 0.5);
    std::int64_t v = ToFixed(y - 0.5);
    const std::int64_t du = ToFixed(dx);
    const std::int64_t dv = ToFixed(dy);
    for (std::size_t i = 0; i < n; ++i, u += du, v += dv)
        out[i] = SampleFixed(src, u, v);
}

void TLinearResampler::Resample(TCustomBitmap32& dst, const TRect& dstRect, const TRect& dstClip,
                                const TCustomBitmap32& src, const TRect& srcRect) const
{
    if (!src.BoundsRect().Contains(srcRect) || srcRect.IsEmpty())
        throw ERenderError("Invalid SrcRect");
    const double sx = static_cast<double>(srcRect.Width()) /
                      static_cast<double>(static_cast<std::int64_t>(dstRect.Right) - dstRect.Left);
    const double sy = static_cast<double>(srcRect.Height()) /
                      static_cast<double>(static_cast<std::int64_t>(dstRect.Bottom) - dstRect.Top);
    std::vector<TColor32> row(static_cast<std::size_t>(dstClip.Width()));
    for (int y = dstClip.Top; y < dstClip.Bottom; ++y) {
        const double srcY = srcRect.Top + (static_cast<double>(y) - dstRect.Top + 0.5) * sy;
        SampleRow(src, srcRect.Left + (static_cast<double>(dstClip.Left) - dstRect.Left + 0.5) * sx, srcY, sx, 0.0, row.data(),
                  row.size());
        CombineRow(src, row.data(), dst.ScanLine(y) + dstClip.Left, row.size());
    }
}

// ---------------------------------------------------------------------------

std::unique_ptr<TCustomResampler> CreateResampler(std::string_view className)
{
    if (fw::SameText(className, "TNearestResampler"))
        return std::make_unique<TNearestResampler>();
    if (fw::SameText(className, "TLinearResampler"))
        return std::make_unique<TLinearResampler>();
    return nullptr;
}

std::vector<std::string> ResamplerClassNames() { return {"TNearestResampler", "TLinearResampler"}; }

} // namespace ks
