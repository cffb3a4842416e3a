// The helpers that work on device contexts and framework bitmaps.
#include "skin/render/BitmapHelpers.h"

#include "framework/Graphics_win.h"
#include "framework/ScopedGdi_win.h"
#include "framework/SystemLibrary_win.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace ks {

void FillSolidRect(HDC dc, int x, int y, std::int32_t color, int h, int w)
{
    if (dc == nullptr)
        return;
    ::SetBkColor(dc, fw::ColorToColorRef(color));
    const RECT r{x, y, x + w, y + h};
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void FillTranslucent(HDC dc, const TRect& rect, std::int32_t color, int alpha)
{
    if (dc == nullptr || rect.IsEmpty())
        return;
    fw::ScopedCreateDC memory(dc);
    fw::ScopedBitmap bitmap(::CreateCompatibleBitmap(dc, rect.Width(), rect.Height()));
    if (!memory || !bitmap)
        return;
    fw::ScopedSelectObject selected(memory.Get(), bitmap.Get());
    fw::ScopedBrush brush(::CreateSolidBrush(fw::ColorToColorRef(color)));
    const RECT r{0, 0, rect.Width(), rect.Height()};
    ::FillRect(memory.Get(), &r, brush.Get());
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(alpha, 0, 255)), 0};
    fw::SystemAlphaBlend(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), memory.Get(), 0, 0, rect.Width(),
                         rect.Height(), blend);
}

namespace {

TSize MeasureWide(HDC dc, std::wstring_view text)
{
    if (dc == nullptr)
        return {};
    RECT r{0, 0, 0, 0};
    // Every NT-family system has DrawTextW; the ANSI route of older systems
    // is not needed on the systems we run on.
    ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r, DT_CALCRECT);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

int MeasureTextWidthW(HDC dc, std::wstring_view text) { return MeasureWide(dc, text).cx; }
int MeasureTextHeightW(HDC dc, std::wstring_view text) { return MeasureWide(dc, text).cy; }

std::int32_t FeatherEdges(fw::TBitmap& bitmap)
{
    bitmap.SetPixelFormat(fw::pf24bit);
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    auto* first = static_cast<std::uint8_t*>(w > 0 && h > 0 ? bitmap.ScanLine(0) : nullptr);
    if (first == nullptr)
        return FeatherEdgesPixels(nullptr, 0, 0, 0);
    // GDI may still hold drawing into the section.
    ::GdiFlush();
    const std::ptrdiff_t stride = h > 1 ? static_cast<std::uint8_t*>(bitmap.ScanLine(1)) - first : 0;
    return FeatherEdgesPixels(first, w, h, stride);
}

}  // namespace ks
