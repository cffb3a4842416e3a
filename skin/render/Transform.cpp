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

}  // namespace

TRect RoundRect(const TFloatRect& r)
{
    return {RoundBound(r.Left), RoundBound(r.Top), RoundBound(r.Right), RoundBound(r.Bottom)};
}

namespace {

// First i in [0, n] for which pred(i) holds, pred being false and then true.
template <class Pred>
std::size_t FirstTrue(std::size_t n, Pred pred)
{
    std::size_t lo = 0, hi = n;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (pred(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

struct TSpan {
    std::size_t First = 0, Last = 0;
    bool IsEmpty() const { return First >= Last; }
};

// The i in span for which a + i * b is neither below lo nor at or above hi,
// computed in double exactly as the per-pixel test would. a + i * b is
// monotonic in i (rounding is), so the answer is a span; callers check that
// a and b are finite.
TSpan CutSpan(TSpan span, double a, double b, double lo, double hi, std::size_t n)
{
    const auto at = [a, b](std::size_t i) { return a + static_cast<double>(i) * b; };
    const auto notBelow = [&](std::size_t i) { return !(at(i) < lo); };
    const auto notAbove = [&](std::size_t i) { return !(at(i) >= hi); };
    if (b >= 0) {
        span.First = std::max(span.First, FirstTrue(n, notBelow));
        span.Last = std::min(span.Last, FirstTrue(n, [&](std::size_t i) { return !notAbove(i); }));
    } else {
        span.Last = std::min(span.Last, FirstTrue(n, [&](std::size_t i) { return !notBelow(i); }));
        span.First = std::max(span.First, FirstTrue(n, notAbove));
    }
    return span;
}

bool CopiesSamples(const TCustomBitmap32& src)
{
    return src.DrawMode() == dmOpaque || (src.DrawMode() == dmCustom && !src.OnPixelCombine);
}

// Destination pixels (x .. x + n - 1, y) of the transformation's space,
// drawn into out[0 .. n): each pixel centre is mapped back, sampled from src
// with src's resampler and combined by src's draw mode with out's pixel;
// points that map outside the source rectangle (by half a pixel) are left as
// they are. With overTransparent, out's pixels count as transparent: they
// are written, never read, and those not drawn become 0.
void DrawTransformedRow(const TCustomBitmap32& src, const TAffineTransformation& t, const TFloatPoint& step, int x,
                        int y, TColor32* out, std::size_t n, std::vector<TColor32>& samples, bool overTransparent)
{
    const TFloatRect& r = t.SrcRect();
    const TFloatPoint start = t.ReverseTransform(x + 0.5, y + 0.5);
    const auto drawn = [&](std::size_t i) {
        const double px = start.X + static_cast<double>(i) * step.X;
        const double py = start.Y + static_cast<double>(i) * step.Y;
        return !(px < r.Left - 0.5 || py < r.Top - 0.5 || px >= r.Right + 0.5 || py >= r.Bottom + 0.5);
    };
    TSpan span{0, n};
    const bool finite =
        std::isfinite(start.X) && std::isfinite(start.Y) && std::isfinite(step.X) && std::isfinite(step.Y);
    if (finite) {
        span = CutSpan(span, start.X, step.X, r.Left - 0.5, r.Right + 0.5, n);
        span = CutSpan(span, start.Y, step.Y, r.Top - 0.5, r.Bottom + 0.5, n);
        if (span.IsEmpty()) {
            if (overTransparent)
                std::fill(out, out + n, TColor32{0});
            return;
        }
    }
    // The samples are those of the row from its start, so that every binding
    // steps through exactly the same fixed-point positions.
    const bool direct = finite && CopiesSamples(src) && (span.First == 0 || overTransparent);
    TColor32* sampled = out;
    if (!direct) {
        samples.resize(span.Last);
        sampled = samples.data();
    }
    src.Resampler().SampleRow(src, start.X, start.Y, step.X, step.Y, sampled, span.Last);
    if (overTransparent) {
        std::fill(out, out + span.First, TColor32{0});
        std::fill(out + span.Last, out + n, TColor32{0});
        if (!direct)
            std::fill(out + span.First, out + span.Last, TColor32{0});
    }
    if (direct)
        return;
    for (std::size_t i = span.First; i < span.Last; ++i)
        if (finite || drawn(i))
            CombinePixel(src, sampled[i], out[i]);
}

}  // namespace

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
        const TFloatPoint step = transformation.ReverseStepX();
        std::vector<TColor32> samples;
        for (int y = area.Top; y < area.Bottom; ++y)
            DrawTransformedRow(*src, transformation, step, area.Left, y, dst->ScanLine(y) + area.Left,
                               static_cast<std::size_t>(area.Width()), samples, false);
    }
    dst->Changed(area);
}

}  // namespace ks

namespace ks {

void TransformDrawCopied(TCustomBitmap32& dst, int x, int y, int w, int h, const TCustomBitmap32& src,
                         const TAffineTransformation& transformation)
{
    if (w <= 0 || h <= 0 || dst.IsEmpty())
        return;
    const TRect placed(x, y, static_cast<int>(std::min<std::int64_t>(std::int64_t{x} + w, INT32_MAX)),
                       static_cast<int>(std::min<std::int64_t>(std::int64_t{y} + h, INT32_MAX)));
    const TRect copy = fw::IntersectRect(placed, fw::IntersectRect(dst.ClipRect(), dst.BoundsRect()));
    if (copy.IsEmpty())
        return;
    if (!dst.MeasuringMode()) {
        // The part of the temporary that the transformation draws, in
        // destination coordinates; the rest of the copy is transparent.
        TRect area = fw::IntersectRect(RoundRect(transformation.GetTransformedBounds()), fw::OffsetRect(copy, -x, -y));
        if (!src.IsEmpty() && !area.IsEmpty())
            area = fw::OffsetRect(area, x, y);
        else
            area = TRect();
        const TFloatPoint step = area.IsEmpty() ? TFloatPoint{} : transformation.ReverseStepX();
        std::vector<TColor32> samples;
        for (int row = copy.Top; row < copy.Bottom; ++row) {
            TColor32* line = dst.ScanLine(row);
            if (row < area.Top || row >= area.Bottom) {
                std::fill(line + copy.Left, line + copy.Right, TColor32{0});
                continue;
            }
            std::fill(line + copy.Left, line + area.Left, TColor32{0});
            std::fill(line + area.Right, line + copy.Right, TColor32{0});
            DrawTransformedRow(src, transformation, step, area.Left - x, row - y, line + area.Left,
                               static_cast<std::size_t>(area.Width()), samples, true);
        }
    }
    dst.Changed(copy);
}

}  // namespace ks
