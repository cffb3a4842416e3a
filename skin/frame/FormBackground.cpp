#include "skin/frame/FormBackground.h"

#include "skin/frame/FrameGeometry.h"
#include "skin/render/NineSlice.h"

#include <algorithm>
#include <cstdint>

namespace ks {

int VisibleGradientRows(int gradientHeight, int titleHeight, int formHeight)
{
    const int reach = std::max(0, titleHeight) + std::max(0, formHeight) + kBackgroundSlack;
    return std::clamp(gradientHeight, 0, reach);
}

void BuildGradient(TBitmap32& gradient, int width, int rows, int gradientHeight, fw::TColor title, fw::TColor client)
{
    gradient.Resize(width + kBackgroundSlack, rows);
    if (rows <= 0)
        return;
    TBitmap32 column;
    column.Resize(1, rows);
    GradientFillBitmap(column, title, client, true, fw::TRect(0, 0, 1, gradientHeight));
    DrawStretched(&gradient, fw::TRect(0, 0, gradient.Width(), column.Height()), &column);
}

fw::TSize BackgroundStorage(fw::TSize present, fw::TSize needed, fw::TSize limit)
{
    needed = fw::TSize(std::max(needed.cx, 0), std::max(needed.cy, 0));
    if (limit.cx <= 0 || limit.cy <= 0 || present.cx <= 0 || present.cy <= 0)
        return needed;
    const auto area = [](fw::TSize s) { return static_cast<std::int64_t>(s.cx) * s.cy; };
    if (present.cx >= needed.cx && present.cy >= needed.cy)
        return area(present) > 4 * area(needed) ? needed : present;
    const auto grown = [](int now, int need, int most) { return std::max(need, std::min(now + now / 2, most)); };
    return fw::TSize(grown(present.cx, needed.cx, limit.cx), grown(present.cy, needed.cy, limit.cy));
}

namespace {

// Sizes background for a build; true when it kept its previous pixels.
bool SizeForBuild(TBitmap32& background, fw::TSize needed, fw::TSize limit)
{
    const fw::TSize storage = BackgroundStorage(fw::TSize(background.Width(), background.Height()), needed, limit);
    return !background.Resize(storage.cx, storage.cy) && !background.IsEmpty();
}

}  // namespace

void BuildColorBackground(TBitmap32& background, fw::TSize form, fw::TColor client, const TBitmap32* gradient,
                          fw::TPoint gradientAt, fw::TSize limit)
{
    SizeForBuild(background, fw::TSize(form.cx + kBackgroundSlack, form.cy + kBackgroundSlack), limit);
    background.Clear(ColorToColor32(client));
    if (gradient != nullptr)
        DrawAt(&background, gradientAt.X, gradientAt.Y, gradient);
}

void FillPictureBackground(TBitmap32& background, TBitmap32& source, TKsFillStyle style, fw::TSize form,
                           fw::TColor pictureColor, fw::TPoint origin, fw::TSize limit)
{
    if (style == mfs9Block) {
        const fw::TRect area(0, 0, std::max(form.cx, 0), std::max(form.cy, 0));
        const bool reused = SizeForBuild(background, form, limit);
        // The pieces cover the area when it is at least the source's size;
        // a blending source composes over what is there.
        const bool covered =
            source.DrawMode() == dmOpaque && area.Width() >= source.Width() && area.Height() >= source.Height();
        if (reused && !covered)
            background.FillAreaClipped(area.Left, area.Top, area.Right, area.Bottom, 0);
        DrawNineSliceThirds(&source, &background, area);
        return;
    }
    const fw::TSize needed(form.cx + kBackgroundSlack, form.cy + kBackgroundSlack);
    const bool reused = SizeForBuild(background, needed, limit);
    switch (style) {
    case mfsTile:
        // Tiles need not reach the top-left corner, and a blending source
        // composes over what is there.
        if (reused)
            background.Clear(0);
        TileBitmap(&source, &background, origin.X, origin.Y);
        break;
    case mfsStretch:
        DrawCoverZoom(&source, &background, fw::TRect(0, 0, std::max(needed.cx, 0), std::max(needed.cy, 0)), 0.0f);
        break;
    case mfsBlur:
    case mfs9Block:
        background.Clear(ColorToColor32(pictureColor));
        DrawAt(&background, origin.X, origin.Y, &source);
        break;
    }
}

bool ColorBackgroundStale(const TBitmap32& background, fw::TSize form)
{
    return background.Width() < form.cx || background.Height() < form.cy;
}

}  // namespace ks
