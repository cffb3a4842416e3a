#include "skin/frame/FormBackground.h"

#include "skin/frame/FrameGeometry.h"
#include "skin/render/NineSlice.h"

#include <algorithm>

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

void BuildColorBackground(TBitmap32& background, fw::TSize form, fw::TColor client, const TBitmap32* gradient,
                          fw::TPoint gradientAt)
{
    background.Resize(form.cx + kBackgroundSlack, form.cy + kBackgroundSlack);
    background.Clear(ColorToColor32(client));
    if (gradient != nullptr)
        DrawAt(&background, gradientAt.X, gradientAt.Y, gradient);
}

void FillPictureBackground(TBitmap32& background, TBitmap32& source, TKsFillStyle style, fw::TSize form,
                           fw::TColor pictureColor, fw::TPoint origin)
{
    if (style == mfs9Block) {
        background.Resize(form.cx, form.cy);
        DrawNineSliceThirds(&source, &background, false);
        return;
    }
    background.Resize(form.cx + kBackgroundSlack, form.cy + kBackgroundSlack);
    switch (style) {
    case mfsTile:
        TileBitmap(&source, &background, origin.X, origin.Y);
        break;
    case mfsStretch:
        DrawCoverZoom(&source, &background, 0.0f);
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
