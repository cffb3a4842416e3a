#include "skin/render/Transform.h"

#include "skin/render/Resamplers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace ks {

void TAffineTransformation::Clear()
{
    static constexpr double kIdentity[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    std::memcpy(m_m, kIdentity, sizeof(m_m));
}

void TAffineTransformation::Multiply(const double op[3][3])
{
    double r[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[i][j] = op[i][0] * m_m[0][j] + op[i][1] * m_m[1][j] + op[i][2] * m_m[2][j];
    std::memcpy(m_m, r, sizeof(m_m));
}

void TAffineTransformation::Scale(double sx, double sy)
{
    const double op[3][3] = {{sx, 0, 0}, {0, sy, 0}, {0, 0, 1}};
    Multiply(op);
}

void TAffineTransformation::Translate(double dx, double dy)
{
    const double op[3][3] = {{1, 0, dx}, {0, 1, dy}, {0, 0, 1}};
    Multiply(op);
}

void TAffineTransformation::Rotate(double cx, double cy, double alpha)
{
    // Screen y grows downwards: a positive angle turns counter-clockwise as
    // seen on screen.
    const double rad = alpha * std::numbers::pi / 180.0;
    const double c = std::cos(rad);
    const double s = std::sin(rad);
    Translate(-cx, -cy);
    const double op[3][3] = {{c, s, 0}, {-s, c, 0}, {0, 0, 1}};
    Multiply(op);
    Translate(cx, cy);
}

TFloatPoint TAffineTransformation::Transform(double x, double y) const
{
    return {m_m[0][0] * x + m_m[0][1] * y + m_m[0][2], m_m[1][0] * x + m_m[1][1] * y + m_m[1][2]};
}

TFloatPoint TAffineTransformation::ReverseTransform(double x, double y) const
{
    const double det = m_m[0][0] * m_m[1][1] - m_m[0][1] * m_m[1][0];
    if (det == 0.0 || !std::isfinite(det))
        throw ERenderError("The transformation cannot be inverted");
    const double dx = x - m_m[0][2];
    const double dy = y - m_m[1][2];
    return {(m_m[1][1] * dx - m_m[0][1] * dy) / det, (m_m[0][0] * dy - m_m[1][0] * dx) / det};
}

TFloatPoint TAffineTransformation::ReverseStepX() const
{
    const TFloatPoint origin = ReverseTransform(0, 0);
    const TFloatPoint one = ReverseTransform(1, 0);
    return {one.X - origin.X, one.Y - origin.Y};
}

TFloatRect TAffineTransformation::GetTransformedBounds() const
{
    const TFloatPoint p[4] = {Transform(m_srcRect.Left, m_srcRect.Top), Transform(m_srcRect.Right, m_srcRect.Top),
                              Transform(m_srcRect.Left, m_srcRect.Bottom),
                              Transform(m_srcRect.Right, m_srcRect.Bottom)};
    TFloatRect r{p[0].X, p[0].Y, p[0].X, p[0].Y};
    for (const TFloatPoint& q : p) {
        r.Left = std::min(r.Left, q.X);
        r.Top = std::min(r.Top, q.Y);
        r.Right = std::max(r.Right, q.X);
        r.Bottom = std::max(r.Bottom, q.Y);
    }
    return r;
}

namespace {

int RoundBound(double v)
{
    // Bounds far outside any bitmap are pinned so the conversion stays defined.
    if (!(v > -1e9))
        return -1000000000;
    if (!(v < 1e9))
        return 1000000000;
    return static_cast<int>(std::lround(v));
}

} // namespace

TRect RoundRect(const TFloatRect& r)
{
    return {RoundBound(r.Left), RoundBound(r.Top), RoundBound(r.Right), RoundBound(r.Bottom)};
}

void TransformDraw(TCustomBitmap32* dst, const TCustomBitmap32* src, const TAffineTransformation& transformation)
{
    if (dst == nullptr)
        throw ERenderError("Destination bitmap is nil");
    if (src == nullptr)
        throw ERenderError("Source bitmap is nil");
    if (dst->IsEmpty() || src->IsEmpty())
        return;
    const TRect area = fw::IntersectRect(RoundRect(transformation.GetTransformedBounds()), dst->ClipRect());
    if (area.IsEmpty())
        return;
    if (!dst->MeasuringMode()) {
        const TCustomResampler& resampler = src->Resampler();
        const TFloatRect& srcRect = transformation.SrcRect();
        const TFloatPoint step = transformation.ReverseStepX();
        const std::size_t n = static_cast<std::size_t>(area.Width());
        std::vector<TColor32> samples(n);
        for (int y = area.Top; y < area.Bottom; ++y) {
            const TFloatPoint start = transformation.ReverseTransform(area.Left + 0.5, y + 0.5);
            resampler.SampleRow(*src, start.X, start.Y, step.X, step.Y, samples.data(), n);
            TColor32* row = dst->ScanLine(y) + area.Left;
            for (std::size_t i = 0; i < n; ++i) {
                const double px = start.X + static_cast<double>(i) * step.X;
                const double py = start.Y + static_cast<double>(i) * step.Y;
                // Points that map outside the source rectangle are not drawn.
                if (px < srcRect.Left - 0.5 || py < srcRect.Top - 0.5 || px >= srcRect.Right + 0.5 ||
                    py >= srcRect.Bottom + 0.5)
                    continue;
                CombinePixel(*src, samples[i], row[i]);
            }
        }
    }
    dst->Changed(area);
}

} // namespace ks
