// The glow behind text and the text measuring: GDI work on 24-bit
// device-independent bitmaps, the pixel arithmetic in the portable part.
#include "skin/resources/uKsSkinIntf.h"

#include "framework/Dib_win.h"
#include "framework/Graphics_win.h"
#include "framework/ScopedGdi_win.h"
#include "framework/UtilWindow_win.h"

#include <windows.h>

#include <cstring>
#include <optional>

namespace ks {

// The framework's one report: the application's exception event, or its
// default line.
void ReportSkinFailure(std::exception_ptr error) noexcept { fw::ReportException(error); }

namespace {

// A top-down 24-bit DIB section selected into a memory context of its own.
class TDib24 {
public:
    TDib24(HDC reference, int width, int height) : m_dc(reference)
    {
        BITMAPINFO info = fw::TopDownDibInfo(width, height, 24);
        void* bits = nullptr;
        m_bitmap.Reset(CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!m_bitmap || !m_dc || bits == nullptr)
            return;
        m_select.emplace(m_dc.Get(), m_bitmap.Get());
        m_view.Bits = static_cast<std::uint8_t*>(bits);
        m_view.Width = width;
        m_view.Height = height;
        m_view.Stride = (static_cast<std::ptrdiff_t>(width) * 3 + 3) & ~std::ptrdiff_t{3};
    }

    bool Valid() const { return m_view.Bits != nullptr; }
    HDC Dc() const { return m_dc.Get(); }
    const TRgb24View& View() const { return m_view; }

private:
    fw::ScopedCreateDC m_dc;
    fw::ScopedBitmap m_bitmap;
    std::optional<fw::ScopedSelectObject> m_select;  // last: deselects before the bitmap goes
    TRgb24View m_view;
};

bool IsBlank(std::wstring_view text)
{
    for (wchar_t c : text)
        if (c > 32)
            return false;
    return true;
}

}  // namespace

void DrawGlowText(fw::TCanvas& canvas, const fw::TRect& rect, std::wstring_view text, int blurRadius, fw::TColor color,
                  unsigned format)
{
    if (IsBlank(text))
        return;
    const int width = rect.Width();
    const int height = rect.Height();
    if (width <= 0 || height <= 0)
        return;
    HDC target = canvas.Handle();
    if (target == nullptr)
        return;

    TDib24 background(target, width, height);
    TDib24 mask(target, width, height);
    if (!background.Valid() || !mask.Valid())
        return;  // too large for memory: no glow, like any failed drawing
    BitBlt(background.Dc(), 0, 0, width, height, target, rect.Left, rect.Top, SRCCOPY);

    // The mask: the text in pure red on white, laid out as the caller lays
    // out the text itself. Wide DrawText, so that the glow follows the
    // letters of any script whatever the system's code page.
    std::memset(mask.View().Bits, 0xFF,
                static_cast<std::size_t>(mask.View().Stride) * static_cast<std::size_t>(height));
    fw::TFont font;
    font.Assign(canvas.Font());
    font.SetColor(fw::clRed);
    {
        fw::ScopedSelectObject selectFont(mask.Dc(), font.Handle());
        SetTextColor(mask.Dc(), RGB(255, 0, 0));
        SetBkMode(mask.Dc(), TRANSPARENT);
        RECT r{0, 0, width, height};
        DrawTextW(mask.Dc(), text.data(), static_cast<int>(text.size()), &r, format);
    }
    GdiFlush();

    BoxBlurGray(mask.View(), 1, 2);
    const fw::TColor rgb = fw::ColorToRGB(color);
    for (int pass = 0; pass < 2 * blurRadius; ++pass)
        ApplyGlowPass(background.View(), mask.View(), rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);

    BitBlt(target, rect.Left, rect.Top, width, height, background.Dc(), 0, 0, SRCCOPY);
}

int MeasureTextWidth(HDC dc, std::wstring_view text)
{
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r, DT_CALCRECT);
    return r.right - r.left;
}

int MeasureTextHeight(HDC dc, std::wstring_view text)
{
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r, DT_CALCRECT);
    return r.bottom - r.top;
}

}  // namespace ks
