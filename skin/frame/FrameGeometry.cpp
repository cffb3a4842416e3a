#include "skin/frame/FrameGeometry.h"

#include "skin/render/Bitmap32.h"

#include <algorithm>
#include <vector>
#include <cmath>

namespace ks {

using fw::TPoint;
using fw::TRect;

int HitTestFrame(const FrameMetrics& m, TPoint p)
{
    const int w = m.Width;
    const int h = m.Height;
    const int band = m.HitTestWidth;

    if (m.Sizable && !m.Maximized) {
        struct Band {
            TRect Area;
            int Code;
        };
        // Corners before edges, clockwise from the top-left.
        const Band bands[] = {
            {{0, 0, band, band}, kHitTopLeft},
            {{band, 0, w - band, band}, kHitTop},
            {{w - band, 0, w, band}, kHitTopRight},
            {{w - band, band, w, h - band}, kHitRight},
            {{w - band, h - band, w, h}, kHitBottomRight},
            {{band, h - band, w - band, h}, kHitBottom},
            {{0, h - band, band, h}, kHitBottomLeft},
            {{0, band, band, h - band}, kHitLeft},
        };
        for (const Band& b : bands) {
            if (b.Area.Contains(p))
                return b.Code;
        }
    }
    if (TRect(0, 0, w, m.TitleHeight).Contains(p))
        return kHitCaption;
    if (TRect(m.FrameWidth, m.TitleHeight, w - m.FrameWidth, h - m.FrameWidth).Contains(p))
        return kHitClient;
    return kHitNowhere;
}

TRect SkinClientRect(const TRect& window, int titleHeight, int framWidth)
{
    TRect r(window.Left + framWidth, window.Top + titleHeight, window.Right - framWidth, window.Bottom - framWidth);
    if (r.Right < r.Left)
        r.Right = r.Left;
    if (r.Bottom < r.Top)
        r.Bottom = r.Top;
    return r;
}

fw::TRect MaxInfoWorkArea(MonitorList& monitors)
{
    const int count = monitors.Refresh();
    const int number = monitors.FormMonitorNumber();
    return number >= 0 && number < count ? monitors.WorkAreaAt(number) : monitors.FormMonitorWorkArea();
}

void ApplyMinMaxRule(const MinMaxInput& in, MinMaxInfo& info)
{
    const TRect& wa = in.WorkArea;
    if (in.DesignedMaximized) {
        // A form designed maximised is one pixel short of the work area until
        // it has been shown once.
        info.MaxPosition = wa.TopLeft();
        info.MaxSize = TPoint(wa.Width(), wa.Height() - 1);
    } else {
        info.MaxPosition = in.PrimaryMonitor ? wa.TopLeft() : TPoint(0, 0);
        info.MaxSize = TPoint(wa.Width(), wa.Height());
    }
    info.MinTrackSize.Y = in.MinHeight != 0 ? in.MinHeight : MinTrackHeight(in.TitleHeight, in.FlatFrame);
    info.MinTrackSize.X = in.MinWidth != 0 ? in.MinWidth : kMinTrackWidth;
    if (in.MaxWidth != 0)
        info.MaxTrackSize.X = in.MaxWidth;
    if (in.MaxHeight != 0)
        info.MaxTrackSize.Y = in.MaxHeight;
}

FrameRegionShape FrameRegionFor(int width, int height, bool roundWindow, bool maximized, int framWidth, bool flatFrame)
{
    FrameRegionShape s;
    s.Bounds = TRect(0, 0, width + 1, height + 1);
    if (!roundWindow || maximized) {
        s.Kind = FrameRegionKind::Rectangle;
        return s;
    }
    s.CornerEllipse = 4;
    if (framWidth > 1 || flatFrame) {
        s.Kind = FrameRegionKind::RoundRect;
    } else {
        // A one-pixel frame keeps square bottom corners.
        s.Kind = FrameRegionKind::RoundTopSquareBottom;
        s.SquareBottom = TRect(0, height - 10, width + 1, height + 1);
    }
    return s;
}

std::vector<FrameStroke> FrameLineStrokes(FramePiece piece, const TRect& clip, const FrameLineStyle& style)
{
    std::vector<FrameStroke> out;
    if (style.FlatFrame || style.Maximized || style.FrameWidth <= 0)
        return out;

    const TColor32 a = style.KeepFrameColor ? ColorToColor32(style.FrameColor) : kFrameOuterColor;
    const TColor32 b = kFrameInnerColor;
    const int l = clip.Left;
    const int t = clip.Top;
    const int r = clip.Right;
    const int bt = clip.Bottom;

    auto line = [&](TColor32 c, int x1, int y1, int x2, int y2) {
        out.push_back({false, c, TPoint(x1, y1), TPoint(x2, y2)});
    };
    auto pixel = [&](TColor32 c, int x, int y) { out.push_back({true, c, TPoint(x, y), TPoint(x, y)}); };

    switch (piece) {
    case FramePiece::Top:
        line(a, l, t, r - 1, t);
        line(a, l, t, l, bt);
        line(a, r - 1, t, r - 1, bt);
        if (style.DoubleFrame) {
            line(b, l + 1, t + 1, r - 2, t + 1);
            line(b, l + 1, t + 1, l + 1, bt);
            line(b, r - 2, t + 1, r - 2, bt);
        }
        if (style.RoundWindow) {
            pixel(a, 1, 1);
            pixel(a, r - 2, 1);
            if (style.FrameWidth > 1 && style.DoubleFrame) {
                pixel(b, 2, 2);
                pixel(b, r - 3, 2);
            }
        }
        break;
    case FramePiece::Left:
        line(a, l, t, l, bt - 1);
        if (style.DoubleFrame)
            line(b, l + 1, t, l + 1, bt - 1);
        break;
    case FramePiece::Right:
        line(a, r - 1, t, r - 1, bt - 1);
        if (style.DoubleFrame)
            line(b, r - 2, t, r - 2, bt - 1);
        break;
    case FramePiece::Bottom:
        line(a, l, bt - 1, r - 1, t + bt - 1);
        // The short verticals run up toward row 2 and leave it out: with a
        // two-pixel frame they cover the strip's rows 0 and 1.
        line(a, l, bt - 2, l, 2);
        line(a, r - 1, bt - 2, r - 1, 2);
        if (style.DoubleFrame)
            line(b, l + 1, bt - 2, l + r - 2, bt - 2);
        if (style.RoundWindow) {
            pixel(a, 1, t + bt - 2);
            pixel(a, r - 2, t + bt - 2);
        }
        break;
    }
    return out;
}

void DrawFrameStrokes(TCustomBitmap32& piece, const std::vector<FrameStroke>& strokes)
{
    for (const FrameStroke& s : strokes) {
        if (s.Pixel)
            piece.PutPixelBlended(s.From.X, s.From.Y, s.Color);
        else
            piece.DrawSmoothLine(s.From.X, s.From.Y, s.To.X, s.To.Y, s.Color, false);
    }
}

std::array<FramePieceLayout, 4> FramePieceLayouts(int width, int height, int titleHeight, int framWidth,
                                                  bool pictureStyle, int colorBackgroundWidth)
{
    const int w = width;
    const int h = height;
    const int t = titleHeight;
    const int f = framWidth;
    auto size = [](int v) { return std::max(v, 0); };

    std::array<FramePieceLayout, 4> p;
    p[0] = {FramePiece::Top, size(w), size(t), TPoint(0, 0), TPoint(0, 0)};
    p[1] = {FramePiece::Left, size(f), size(h - f), TPoint(0, 0), TPoint(0, t)};
    p[2] = {FramePiece::Right, size(f), size(h - f), TPoint(f - colorBackgroundWidth, 0), TPoint(w - f, t)};
    p[3] = {FramePiece::Bottom, size(w), size(f), TPoint(0, t + f - h), TPoint(0, h - f)};
    if (pictureStyle) {
        // The picture background is laid out in window coordinates.
        p[1].BackgroundAt = TPoint(0, -t);
        p[2].BackgroundAt = TPoint(f - w, -t);
        p[3].BackgroundAt = TPoint(0, f - h);
    }
    return p;
}

std::int64_t GradientStep(int n)
{
    if (n < 1)
        n = 1;
    return std::llround(static_cast<double>(1 << 24) / n);
}

int GradientChannel(int c1, int c2, std::int64_t step, int i)
{
    const std::int64_t num = static_cast<std::int64_t>(c2 - c1) * step * i;
    constexpr std::int64_t den = std::int64_t{1} << 24;
    std::int64_t q = num / den;
    if (num % den != 0 && num < 0)
        --q;  // floor, also for falling channels
    const std::int64_t v = c1 + q;
    // Rounding of the step can carry the last rows of a very tall gradient a
    // little past c2; keep every row between the two colours.
    return static_cast<int>(std::clamp<std::int64_t>(v, std::min(c1, c2), std::max(c1, c2)));
}

fw::TColor ResolveColor(fw::TColor c)
{
    if (c < 0)
        return static_cast<fw::TColor>(SystemColorRGB(c & 0xFF) & 0xFFFFFFu);
    return c & 0xFFFFFF;
}

fw::TColor GradientColorAt(fw::TColor c1, fw::TColor c2, int n, int i)
{
    const std::int64_t e = GradientStep(n);
    return fw::RGBColor(GradientChannel(fw::GetRValue(c1), fw::GetRValue(c2), e, i),
                        GradientChannel(fw::GetGValue(c1), fw::GetGValue(c2), e, i),
                        GradientChannel(fw::GetBValue(c1), fw::GetBValue(c2), e, i));
}

void GradientFillBitmap(TCustomBitmap32& dst, fw::TColor c1, fw::TColor c2, bool vertical, const TRect& rect)
{
    c1 = ResolveColor(c1);
    c2 = ResolveColor(c2);
    const int w = rect.Width() > 0 ? rect.Width() : 1;
    const int h = rect.Height() > 0 ? rect.Height() : 1;
    const int n = vertical ? h : w;
    const int x0 = rect.Left;
    const int y0 = rect.Top;
    // Rows or columns outside the bitmap are skipped, not computed.
    int first = 0;
    int last = n;
    if (vertical) {
        first = std::max(0, -y0);
        last = std::min(n, dst.Height() - y0);
    } else {
        first = std::max(0, -x0);
        last = std::min(n, dst.Width() - x0);
    }
    if (vertical) {
        for (int i = first; i < last; ++i)
            dst.FillArea(std::max(x0, 0), y0 + i, std::min(x0 + w, dst.Width()), y0 + i + 1,
                         ColorToColor32(GradientColorAt(c1, c2, n, i)));
        return;
    }
    // Horizontally every row is the same: compute it once and copy it down,
    // row by row, rather than filling the bitmap column by column.
    const int top = std::max(y0, 0);
    const int bottom = std::min(y0 + h, dst.Height());
    if (first >= last || top >= bottom || dst.IsEmpty())
        return;
    std::vector<TColor32> row(static_cast<std::size_t>(last - first));
    for (int i = first; i < last; ++i)
        row[static_cast<std::size_t>(i - first)] = ColorToColor32(GradientColorAt(c1, c2, n, i));
    if (!dst.MeasuringMode())
        for (int y = top; y < bottom; ++y)
            std::copy(row.begin(), row.end(), dst.ScanLine(y) + x0 + first);
    dst.Changed(TRect(x0 + first, top, x0 + last, bottom));
}

WindowPosAction WindowPosChangingAction(const WindowPosInput& in)
{
    const unsigned f = in.Flags;
    const bool minimizing = (f & kSwpMinimizeShowPattern) == kSwpMinimizeShowPattern ||
                            ((f & kSwpMinimizeHidePattern) == kSwpMinimizeHidePattern && in.IsMainForm);
    if (minimizing)
        return in.Visible ? WindowPosAction::EnterMinimized : WindowPosAction::None;
    if (!in.IsMainForm && in.BorderLinked) {
        if (f & kSwpHideWindow)
            return WindowPosAction::SuspendBorder;
        if ((f & kSwpShowWindow) && !in.Minimized)
            return WindowPosAction::ResumeBorder;
    }
    return WindowPosAction::None;
}

TitleDoubleClick TitleDoubleClickAction(const TitleDoubleClickInput& in)
{
    if (in.ElementHot || !in.HasMaximizeIcon || !in.SizeableOrSingle)
        return TitleDoubleClick::Nothing;
    if (!TRect(0, 0, in.Width, in.TitleHeight).Contains(in.Point))
        return TitleDoubleClick::Nothing;
    return in.Zoomed ? TitleDoubleClick::Restore : TitleDoubleClick::Maximize;
}

int DragFullWindowsValue(int kind, int hitCode)
{
    if (kind == 0)
        return -1;
    if (hitCode != kHitCaption && !IsSizingHitCode(hitCode))
        return -1;
    return kind == 1 ? 1 : 0;
}

}  // namespace ks
