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

} // namespace

int MeasureTextWidthW(HDC dc, std::wstring_view text) { return MeasureWide(dc, text).cx; }
int MeasureTextHeightW(HDC dc, std::wstring_view text) { return MeasureWide(dc, text).cy; }

std::int32_t FeatherEdges(fw::TBitmap& bitmap)
{
    constexpr int n = kFeatherBand;
    bitmap.SetPixelFormat(fw::pf24bit);
    const int w = bitmap.Width();
    const int h = bitmap.Height();

    // Average colour over all pixels.
    std::uint64_t sumR = 0, sumG = 0, sumB = 0;
    for (int y = 0; y < h; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(bitmap.ScanLine(y));
        if (row == nullptr)
            continue;
        for (int x = 0; x < w; ++x) {
            sumB += row[3 * x];
            sumG += row[3 * x + 1];
            sumR += row[3 * x + 2];
        }
    }
    const std::uint64_t count = (w > 0 && h > 0) ? static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) : 1;
    const auto average = static_cast<std::int32_t>((sumR / count) | (sumG / count) << 8 | (sumB / count) << 16);
    if (w <= 0 || h <= 0)
        return average;

    HDC source = bitmap.Canvas().Handle();
    fw::ScopedCreateDC work(source);
    fw::ScopedBitmap workBitmap(::CreateCompatibleBitmap(source, w, h));
    if (!work || !workBitmap)
        return average;
    {
        fw::ScopedSelectObject selected(work.Get(), workBitmap.Get());
        HDC dc = work.Get();
        ::BitBlt(dc, 0, 0, w - n, h - n, source, 0, 0, SRCCOPY);
        FillSolidRect(dc, w - n, 0, average, h - n, n);
        FillSolidRect(dc, 0, h - n, average, n, w - n);
        FillSolidRect(dc, w - n, h - n, average, n, n);

        auto compose = [&](int dx, int dy, int cw, int ch, int sx, int sy, int opacity) {
            BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(opacity), 0};
            fw::SystemAlphaBlend(dc, dx, dy, cw, ch, source, sx, sy, cw, ch, blend);
        };
        // Corner: fades with the distance from its inner corner.
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                const double d = std::min(std::sqrt(static_cast<double>(i * i + j * j)), 99.0);
                const int v = static_cast<int>(std::lround(d / n * 100.0 * 2.55));
                compose(w - n + i, h - n + j, 1, 1, w - n + i, h - n + j, static_cast<BYTE>(~v & 0xFF));
            }
        // Right band, column by column.
        for (int k = 0; k < n; ++k)
            if (h - n > 0)
                compose(w - n + k, 0, 1, h - n, w - n + k, 0, 255 - static_cast<int>(std::lround(k * 2.55)));
        // Bottom band, row by row.
        for (int r = 0; r < n; ++r)
            if (w - n > 0)
                compose(0, h - n + r, w - n, 1, 0, h - n + r, 255 - static_cast<int>(std::lround(r * 255.0 / n)));
        ::GdiFlush();
        ::BitBlt(source, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    }
    return average;
}

} // namespace ks
