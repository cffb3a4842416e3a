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

void TCustomResampler::SampleRow(const TCustomBitmap32& src, double x, double y, double dx, double dy, TColor32* out,
                                 std::size_t n) const
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

// ---------------------------------------------------------------------------

std::vector<int> NearestIndexMap(int srcLo, int srcHi, int dstLo, int dstHi, int clipLo, int clipHi)
{
    std::vector<int> map(
        static_cast<std::size_t>(std::max<std::int64_t>(static_cast<std::int64_t>(clipHi) - clipLo, 0)));
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

std::int64_t ToFixed(double v)
{
    // Far outside any bitmap the exact position no longer matters.
    if (!(v > -1e9))
        return static_cast<std::int64_t>(-1e9 * 65536.0);
    if (!(v < 1e9))
        return static_cast<std::int64_t>(1e9 * 65536.0);
    return std::llround(v * 65536.0);
}

}  // namespace

TColor32 TLinearResampler::Sample(const TCustomBitmap32& src, double x, double y) const
{
    return SampleBilinear(Source(src), ToFixed(x - 0.5), ToFixed(y - 0.5));
}

void TLinearResampler::SampleRow(const TCustomBitmap32& src, double x, double y, double dx, double dy, TColor32* out,
                                 std::size_t n) const
{
    const TSampleSource source = Source(src);
    std::int64_t u = ToFixed(x - 0.5);
    std::int64_t v = ToFixed(y - 0.5);
    const std::int64_t du = ToFixed(dx);
    const std::int64_t dv = ToFixed(dy);
    if (dv == 0) {
        Kernels().LinearRow(source, u, du, v, out, n);
        return;
    }
    for (std::size_t i = 0; i < n; ++i, u += du, v += dv)
        out[i] = SampleBilinear(source, u, v);
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
        SampleRow(src, srcRect.Left + (static_cast<double>(dstClip.Left) - dstRect.Left + 0.5) * sx, srcY, sx, 0.0,
                  row.data(), row.size());
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

}  // namespace ks
