#include "skin/controls/SkinControlLayout.h"

#include "skin/render/Bitmap32.h"
#include "skin/render/Blend.h"

#include <algorithm>
#include <cmath>

namespace ks {

// --- background ---------------------------------------------------------------------

fw::TRect CaptureRect(int left, int top, int width, int height, int offsetX, int offsetY)
{
    return {left + offsetX, top + offsetY, left + width + offsetX, top + height + offsetY};
}

TBackgroundChoice ChooseBackgroundSource(const TBackgroundQuery& query, const fw::TRect& capture)
{
    TBackgroundChoice choice;
    if (!query.HasParent) {
        choice.Source = TBackgroundSource::White;
        return choice;
    }
    // While designing, nothing of the run-time skin is there to copy from.
    if (!query.Designing && query.ParentIsForm && query.FormHasController) {
        const int dx = query.BorderNone ? 0 : query.FrameWidth;
        const int dy = query.BorderNone ? 0 : query.TitleHeight;
        choice.Source = TBackgroundSource::ControllerBitmap;
        choice.SourceRect = fw::OffsetRect(capture, dx, query.PictureStyle ? dy : 0);
        return choice;
    }
    if (!query.Designing && query.ParentIsSkinnedControl) {
        choice.Source = TBackgroundSource::ParentBuffer;
        choice.SourceRect = capture;
        return choice;
    }
    choice.Source = TBackgroundSource::ParentPaint;
    choice.SourceRect = capture;
    return choice;
}

bool BufferStaysValid(int parentWidth, int parentHeight, int left, int top, int width, int height)
{
    return parentWidth >= left + width && parentHeight >= top + height;
}

// --- panel layer -------------------------------------------------------------------

TPanelTint PlanPanelTint(bool designing, int alpha)
{
    TPanelTint tint;
    if (designing || alpha >= 255) {
        tint.Fill = alpha > 0;
        tint.FillAlpha = 255;
        tint.CallCustomDraw = false;
    } else {
        tint.Fill = alpha > 0;
        tint.FillAlpha = static_cast<unsigned>(std::max(alpha, 0));
        tint.CallCustomDraw = true;
    }
    return tint;
}

std::vector<TBorderLine> PanelBorderLines(TKsBorderSides sides, bool innerHighlight, int width, int height)
{
    std::vector<TBorderLine> lines;
    const int w = width;
    const int h = height;
    if (sides.Contains(bdLeft)) {
        lines.push_back({0, 0, 0, h, false});
        if (innerHighlight)
            lines.push_back({1, 1, 1, h, true});
    }
    if (sides.Contains(bdTop)) {
        lines.push_back({0, 0, w, 0, false});
        if (innerHighlight)
            lines.push_back({1, 1, w, 1, true});
    }
    if (sides.Contains(bdRight) && w > 1) {
        lines.push_back({w - 1, 0, w - 1, h, false});
        if (innerHighlight && w > 2 && h > 1)
            lines.push_back({w - 2, 1, w - 2, h - 1, true});
    }
    if (sides.Contains(bdBottom) && w > 1 && h > 1) {
        lines.push_back({0, h - 1, w, h - 1, false});
        if (innerHighlight && w > 2 && h > 2)
            lines.push_back({1, h - 2, w - 1, h - 2, true});
    }
    return lines;
}

fw::TRect InsetForBorder(const fw::TRect& client, TKsBorderSides sides, bool innerHighlight)
{
    const int d = innerHighlight ? 2 : 1;
    fw::TRect r = client;
    if (sides.Contains(bdLeft))
        r.Left += d;
    if (sides.Contains(bdTop))
        r.Top += d;
    if (sides.Contains(bdRight))
        r.Right -= d;
    if (sides.Contains(bdBottom))
        r.Bottom -= d;
    return r;
}

// --- label layer ------------------------------------------------------------------

unsigned HorizontalAlignmentFlag(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify:
        return kDtRight;
    case taCenter:
        return kDtCenter;
    case taLeftJustify:
        break;
    }
    return kDtLeft;
}

unsigned VerticalAlignmentFlags(TVerticalAlignment alignment)
{
    switch (alignment) {
    case taAlignBottom:
        return kDtBottom | kDtSingleLine;
    case taVerticalCenter:
        return kDtSingleLine | kDtVCenter;
    case taAlignTop:
        break;
    }
    return 0;
}

TCaptionLayout LayoutCaption(const TCaptionQuery& query)
{
    TCaptionLayout layout;
    layout.Rect = {0, 0, query.Width, query.Height};
    layout.Flags = HorizontalAlignmentFlag(query.Horizontal) | VerticalAlignmentFlags(query.Vertical);
    if (query.WordWrap) {
        const int h = query.TextHeight;
        if (query.Vertical == taVerticalCenter) {
            layout.Flags &= ~kDtSingleLine;
            layout.Rect.Top = (query.Height - h) / 2;
            layout.Rect.Bottom = layout.Rect.Top + h;
        } else if (query.Vertical == taAlignBottom) {
            layout.Flags &= ~kDtSingleLine;
            layout.Rect.Top = layout.Rect.Bottom - h;
        }
        layout.Flags |= kDtWordBreak;
    }
    layout.Flags |= EllipsisFlag(query.Ellipsis);
    return layout;
}

bool ShouldAdjustBounds(bool reading, bool autoSize, bool roundBackground)
{
    return !reading && autoSize && !roundBackground;
}

// --- rounded background ----------------------------------------------------------------

namespace {

struct RoundShape {
    double Left, Top, Right, Bottom;  // the inset rectangle
    double Radius;
};

RoundShape MakeShape(int w, int h, int radius)
{
    const double r = std::max(radius, 0);
    RoundShape s{r, r, w - r, h - r, r};
    if (s.Left > s.Right)
        s.Left = s.Right = w / 2.0;
    if (s.Top > s.Bottom)
        s.Top = s.Bottom = h / 2.0;
    return s;
}

std::uint8_t Coverage(const RoundShape& s, int x, int y)
{
    const double px = x + 0.5;
    const double py = y + 0.5;
    const double ox = std::max(s.Left - px, 0.0) + std::max(px - s.Right, 0.0);
    const double oy = std::max(s.Top - py, 0.0) + std::max(py - s.Bottom, 0.0);
    double distance;  // signed distance from the inset rectangle
    if (ox > 0.0 || oy > 0.0) {
        distance = std::sqrt(ox * ox + oy * oy);
    } else {
        distance = -std::min(std::min(px - s.Left, s.Right - px), std::min(py - s.Top, s.Bottom - py));
    }
    const double outside = distance - s.Radius;  // signed distance from the outline
    const double c = std::clamp(0.5 - outside, 0.0, 1.0);
    return static_cast<std::uint8_t>(std::lround(c * 255.0));
}

}  // namespace

std::uint8_t RoundRectCoverage(int x, int y, int w, int h, int radius)
{
    return Coverage(MakeShape(w, h, radius), x, y);
}

void FillRoundRect(TCustomBitmap32& dst, int radius, TColor32 color)
{
    if (dst.IsEmpty() || dst.MeasuringMode())
        return;
    const int w = dst.Width();
    const int h = dst.Height();
    const RoundShape shape = MakeShape(w, h, radius);
    // The colour is laid on at its alpha times the coverage, and the pixel
    // moves towards opaque: a fully covered pixel at alpha 255 takes the
    // colour exactly.
    const unsigned alpha = AlphaOf(color);
    const TColor32 opaque = WithAlpha(color, 255);
    const fw::TRect clip = fw::IntersectRect(dst.ClipRect(), dst.BoundsRect());
    if (clip.IsEmpty())
        return;
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        TColor32* row = dst.ScanLine(y);
        for (int x = clip.Left; x < clip.Right; ++x) {
            const unsigned weight = (Coverage(shape, x, y) * alpha + 127) / 255;
            if (weight != 0)
                row[x] = MixPixel(opaque, row[x], weight);
        }
    }
    dst.Changed(clip);
}

}  // namespace ks
