// TBitmap32 on Windows: the pixels live in a top-down 32-bit DIB section
// selected into a memory device context of the bitmap's own, with a font for
// text and a framework canvas on the same context.
#include "skin/render/Bitmap32.h"

#include "framework/Dib_win.h"
#include "framework/Graphics_win.h"
#include "framework/ScopeGuard.h"
#include "framework/ScopedGdi_win.h"
#include "framework/WideText_win.h"

#include <algorithm>
#include <cstring>

namespace ks {

struct TBitmap32::TDib {
    // Declared in release order reversed: the bitmap is selected out of the
    // context, then the context goes, then the bitmap.
    fw::ScopedBitmap bitmap;
    fw::ScopedCreateDC dc{static_cast<HDC>(nullptr)};
    std::unique_ptr<fw::ScopedSelectObject> selected;
    BITMAPINFO info{};
    HGDIOBJ originalFont = nullptr;  // the context's own font, selected back before ours goes
    HFONT selectedFont = nullptr;
};

struct TBitmap32::TFontHolder {
    fw::ScopedFont handle;
};

namespace {

// Every pixel p != 0 becomes (blue of p) as alpha with the colour rgb: white
// text drawn by GDI on black gives its coverage in the blue channel.
void BlueToAlpha(TCustomBitmap32& b, TColor32 rgb)
{
    if (b.IsEmpty())
        return;
    TColor32* p = b.Bits();
    const std::size_t n = static_cast<std::size_t>(b.Width()) * static_cast<std::size_t>(b.Height());
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] != 0)
            p[i] = ((p[i] & 0xFFu) << 24) + rgb;
}

}  // namespace

TBitmap32::TBitmap32() : m_fontHolder(std::make_unique<TFontHolder>()), m_font(std::make_unique<fw::TFont>())
{
    m_font->SetOnChange([this](fw::TObject*) { FontChanged(); });
}

TBitmap32::~TBitmap32()
{
    TBitmapLock lock(*this);
    OnHandleChanged = nullptr;
    if (m_canvas)
        m_canvas->SetHandle(nullptr);
    ReleaseStorage();
    ResetStorageState();
    m_fontHolder->handle.Reset();
}

TColor32* TBitmap32::AllocateStorage(int w, int h)
{
    auto dib = std::make_unique<TDib>();
    BITMAPINFOHEADER& header = dib->info.bmiHeader;
    header = fw::TopDownDibHeader(w, h, 32);
    header.biSizeImage = static_cast<DWORD>(w) * static_cast<DWORD>(h) * 4u;

    void* bits = nullptr;
    dib->bitmap.Reset(::CreateDIBSection(nullptr, &dib->info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib->bitmap || bits == nullptr)
        throw ERenderError("Can't allocate the DIB handle");
    dib->dc = fw::ScopedCreateDC(static_cast<HDC>(nullptr));
    if (!dib->dc)
        throw ERenderError("Can't create compatible DC");  // the DIB goes with dib
    dib->selected = std::make_unique<fw::ScopedSelectObject>(dib->dc.Get(), dib->bitmap.Get());
    if (!*dib->selected)
        throw ERenderError("Can't select an object into DC");
    // Stretching through GDI keeps colours (no AND/OR of dropped pixels).
    ::SetStretchBltMode(dib->dc.Get(), COLORONCOLOR);
    std::memset(bits, 0, static_cast<std::size_t>(header.biSizeImage));

    m_dib = std::move(dib);
    if (m_canvas)
        m_canvas->SetHandle(m_dib->dc.Get());
    if (OnHandleChanged)
        OnHandleChanged(this);
    return static_cast<TColor32*>(bits);
}

void TBitmap32::ReleaseStorage()
{
    if (!m_dib)
        return;
    if (m_canvas)
        m_canvas->SetHandle(nullptr);
    if (m_dib->originalFont != nullptr)
        ::SelectObject(m_dib->dc.Get(), m_dib->originalFont);
    m_dib.reset();
    if (OnHandleChanged)
        OnHandleChanged(this);
}

HDC TBitmap32::Handle() const { return m_dib ? m_dib->dc.Get() : nullptr; }

fw::TFont& TBitmap32::Font() const { return *m_font; }

void TBitmap32::SetFont(const fw::TFont& font) { m_font->Assign(font); }

fw::TCanvas& TBitmap32::Canvas() const
{
    if (!m_canvas) {
        m_canvas = std::make_unique<fw::TCanvas>();
        m_canvas->SetHandle(Handle());
    }
    return *m_canvas;
}

void TBitmap32::CopyPropertiesTo(TCustomBitmap32& dest) const
{
    TCustomBitmap32::CopyPropertiesTo(dest);
    if (auto* other = dynamic_cast<TBitmap32*>(&dest); other != nullptr && other != this)
        other->SetFont(*m_font);
}

// ---------------------------------------------------------------------------
// Fonts

void TBitmap32::FontChanged()
{
    // The old handle may still be selected into our context: select the
    // context's own font back before the handle goes.
    if (m_dib && m_dib->originalFont != nullptr && m_dib->selectedFont != nullptr)
        ::SelectObject(m_dib->dc.Get(), m_dib->originalFont);
    if (m_dib)
        m_dib->selectedFont = nullptr;
    m_fontHolder->handle.Reset();
}

HFONT TBitmap32::FontHandle() const
{
    fw::ScopedFont& handle = m_fontHolder->handle;
    if (!handle) {
        LOGFONTW lf = m_font->MakeLogFont();
        // A face named "Default" stands for the framework's default face.
        if (fw::SameText(m_font->Name(), "Default")) {
            const std::wstring face = fw::Utf8ToWide(fw::kDefaultFontName);
            std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), L'\0');
            std::copy(face.begin(), face.begin() + std::min<std::size_t>(face.size(), LF_FACESIZE - 1), lf.lfFaceName);
        }
        handle.Reset(::CreateFontIndirectW(&lf));
    }
    return handle.Get();
}

void TBitmap32::SelectFontInto(HDC dc) const
{
    HFONT font = FontHandle();
    if (dc == nullptr || font == nullptr)
        return;
    HGDIOBJ old = ::SelectObject(dc, font);
    if (m_dib && dc == m_dib->dc.Get()) {
        if (m_dib->originalFont == nullptr && old != nullptr && old != HGDI_ERROR && old != font)
            m_dib->originalFont = old;
        m_dib->selectedFont = font;
    }
}

void TBitmap32::RebuildFont(int quality)
{
    // Rebuilding: height, weight, italic, underline, strike-out, charset,
    // face, default precisions, pitch; the quality asked for.
    m_font->SetQuality(static_cast<fw::TFontQuality>(std::clamp(quality, 0, 6)));
    FontChanged();
}

// ---------------------------------------------------------------------------
// Copying from framework graphics

void TBitmap32::AssignFrom(const fw::TGraphic* graphic)
{
    if (graphic == nullptr) {
        TCustomBitmap32::AssignFrom(nullptr);
        return;
    }
    auto* g = const_cast<fw::TGraphic*>(graphic);
    BeginUpdate();
    {
        auto done = fw::OnScopeExit([this] { EndUpdate(); });
        Resize(g->Width(), g->Height());
        if (!IsEmpty()) {
            if (auto* bmp = dynamic_cast<fw::TBitmap*>(g)) {
                const bool has32 = bmp->PixelFormat() == fw::pf32bit;
                if (has32 && bmp->ScanLine(0) != nullptr) {
                    // 32-bit bitmaps keep their alpha bytes: copy the rows.
                    for (int y = 0; y < Height(); ++y)
                        std::memcpy(ScanLine(y), bmp->ScanLine(y), static_cast<std::size_t>(Width()) * 4u);
                } else {
                    // Copied, not drawn: drawing a transparent bitmap leaves
                    // its key pixels out, and the key scan below must see them.
                    ::BitBlt(Handle(), 0, 0, Width(), Height(), bmp->Canvas().Handle(), 0, 0, SRCCOPY);
                    ::GdiFlush();
                    if (!has32)
                        MakeOpaque();
                }
                if (bmp->Transparent()) {
                    const std::uint32_t key = static_cast<std::uint32_t>(fw::ColorToColorRef(bmp->TransparentColor()));
                    const TColor32 keyColour = ColorToColor32(static_cast<std::int32_t>(key & 0xFFFFFF)) & 0xFFFFFF;
                    TColor32* p = Bits();
                    const std::size_t n = static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Height());
                    for (std::size_t i = 0; i < n; ++i)
                        if ((p[i] & 0xFFFFFF) == keyColour)
                            p[i] = keyColour;
                }
            } else {
                Clear(0xFFFFFFFF);
                g->Draw(Canvas(), BoundsRect());
                ::GdiFlush();
                MakeOpaque();
            }
        }
    }
    Changed();
}

void TBitmap32::AssignFrom(const fw::TPicture* picture)
{
    AssignFrom(picture != nullptr ? picture->Graphic() : static_cast<const fw::TGraphic*>(nullptr));
}

// ---------------------------------------------------------------------------
// Device contexts

void TBitmap32::CopyToDC(HDC dc, int x, int y) const
{
    if (IsEmpty() || !m_dib || dc == nullptr)
        return;
    ::GdiFlush();
    ::StretchDIBits(dc, x, y, Width(), Height(), 0, 0, Width(), Height(), Bits(), &m_dib->info, DIB_RGB_COLORS,
                    SRCCOPY);
}

void TBitmap32::CopyToDC(HDC dc, int x, int y, const TRect& part) const
{
    const TRect r = fw::IntersectRect(part, BoundsRect());
    if (IsEmpty() || !m_dib || dc == nullptr || r.IsEmpty())
        return;
    ::GdiFlush();
    ::BitBlt(dc, x + r.Left - part.Left, y + r.Top - part.Top, r.Width(), r.Height(), m_dib->dc.Get(), r.Left, r.Top,
             SRCCOPY);
}

void TBitmap32::CopyFromDC(const TRect& dstRect, const TRect& srcRect, HDC hsrc)
{
    if (IsEmpty() || !m_dib || hsrc == nullptr)
        return;
    ::StretchBlt(m_dib->dc.Get(), dstRect.Left, dstRect.Top, dstRect.Width(), dstRect.Height(), hsrc, srcRect.Left,
                 srcRect.Top, srcRect.Width(), srcRect.Height(), SRCCOPY);
    ::GdiFlush();
    Changed(dstRect);
}

// ---------------------------------------------------------------------------
// Text

void TBitmap32::PrepareText() const
{
    HDC dc = Handle();
    SelectFontInto(dc);
    ::SetTextColor(dc, fw::ColorToColorRef(m_font->Color()));
    ::SetBkMode(dc, TRANSPARENT);
}

void TBitmap32::TextOutAt(int x, int y, std::wstring_view text)
{
    if (IsEmpty())
        return;
    HDC dc = Handle();
    PrepareText();
    if (!MeasuringMode()) {
        RECT clip{ClipRect().Left, ClipRect().Top, ClipRect().Right, ClipRect().Bottom};
        ::ExtTextOutW(dc, x, y, Clipping() ? ETO_CLIPPED : 0u, Clipping() ? &clip : nullptr, text.data(),
                      static_cast<UINT>(text.size()), nullptr);
        ::GdiFlush();
    }
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent);
    Changed(TRect(x, y, x + extent.cx + 1, y + extent.cy + 1));
}

void TBitmap32::TextOutAt(int x, int y, std::string_view utf8)
{
    TextOutAt(x, y, std::wstring_view(fw::Utf8ToWide(utf8)));
}

void TBitmap32::TextOutInRect(const TRect& rect, unsigned flags, std::wstring_view text)
{
    if (IsEmpty())
        return;
    PrepareText();
    if (!MeasuringMode()) {
        RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
        ::DrawTextW(Handle(), text.data(), static_cast<int>(text.size()), &r, flags);
        ::GdiFlush();
    }
    Changed(rect);
}

void TBitmap32::TextOutInRect(const TRect& rect, unsigned flags, std::string_view utf8)
{
    TextOutInRect(rect, flags, std::wstring_view(fw::Utf8ToWide(utf8)));
}

TSize TBitmap32::MeasureText(std::wstring_view text) const
{
    SIZE extent{};
    if (HDC dc = Handle()) {
        SelectFontInto(dc);
        ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent);
    } else {
        // Without a context of our own: a screen-compatible one, our font
        // selected in and out again.
        fw::ScopedCreateDC screen(static_cast<HDC>(nullptr));
        fw::ScopedSelectObject font(screen.Get(), FontHandle());
        ::GetTextExtentPoint32W(screen.Get(), text.data(), static_cast<int>(text.size()), &extent);
    }
    return {extent.cx, extent.cy};
}

TSize TBitmap32::MeasureText(std::string_view utf8) const
{
    return MeasureText(std::wstring_view(fw::Utf8ToWide(utf8)));
}

// ---------------------------------------------------------------------------
// Alpha text: GDI draws white text on black into a temporary bitmap, whose
// blue channel becomes the alpha of the text colour; the temporary is then
// blended onto this bitmap with the colour's alpha as master alpha.

void TBitmap32::RenderAlphaText(int x, int y, std::wstring_view text, int level, TColor32 color)
{
    if (IsEmpty())
        return;
    const unsigned alpha = AlphaOf(color);
    const TColor32 rgb = color & 0xFFFFFFu;
    level = std::clamp(level, -1, 4);
    std::wstring measuring(text);
    measuring += L' ';

    RebuildFont(level >= 0 ? NONANTIALIASED_QUALITY : ANTIALIASED_QUALITY);
    TBitmap32 small;
    auto restore = fw::OnScopeExit([this] { RebuildFont(DEFAULT_QUALITY); });
    if (level <= 0) {
        const TSize size = MeasureText(measuring);
        small.SetFont(*m_font);
        small.Resize(std::min(size.cx, Width()), std::min(size.cy, Height()));
        small.Clear(0);
        small.Font().SetColor(0xFFFFFF);
        small.TextOutAt(0, 0, text);
        BlueToAlpha(small, rgb);
    } else {
        const int n = 1 << level;
        TBitmap32 big;
        big.SetFont(*m_font);
        big.Font().SetHeight(m_font->Height() * n);
        big.Font().SetColor(0xFFFFFF);
        const TSize size = big.MeasureText(measuring);
        big.Resize(size.cx + n, size.cy + n);
        big.Clear(0);
        big.TextOutAt(0, 0, text);
        small.Resize(big.Width() >> level, big.Height() >> level);
        for (int sy = 0; sy < small.Height(); ++sy) {
            for (int sx = 0; sx < small.Width(); ++sx) {
                unsigned sum = 0;
                for (int j = 0; j < n; ++j) {
                    const TColor32* row = big.ScanLine(sy * n + j) + sx * n;
                    for (int i = 0; i < n; ++i)
                        sum += row[i] & 0xFFu;
                }
                small.PixelAt(sx, sy) = rgb + (((sum >> level) >> level) << 24);
            }
        }
    }
    small.SetDrawMode(dmBlend);
    small.SetMasterAlpha(static_cast<int>(alpha));
    DrawAt(this, x, y, &small);
}

void TBitmap32::RenderAlphaText(int x, int y, std::string_view utf8, int level, TColor32 color)
{
    RenderAlphaText(x, y, std::wstring_view(fw::Utf8ToWide(utf8)), level, color);
}

void TBitmap32::RenderAlphaTextInRectAt(const TRect& rect, unsigned flags, TColor32 color, std::wstring_view text)
{
    TBitmap32 temporary;
    temporary.SetFont(*m_font);
    temporary.Resize(rect.Width(), rect.Height());
    temporary.Clear(0);
    temporary.Font().SetColor(0xFFFFFF);
    temporary.TextOutInRect(TRect(0, 0, rect.Width(), rect.Height()), flags, text);
    BlueToAlpha(temporary, color & 0xFFFFFFu);
    temporary.SetDrawMode(dmBlend);
    temporary.SetMasterAlpha(static_cast<int>(AlphaOf(color)));
    temporary.SetCombineMode(CombineMode());
    DrawAt(this, rect.Left, rect.Top, &temporary);
}

void TBitmap32::RenderAlphaTextInRect(const TRect& rect, unsigned flags, TColor32 color, std::wstring_view text)
{
    if (IsEmpty())
        return;
    // The font stays non-antialiased afterwards.
    RebuildFont(NONANTIALIASED_QUALITY);
    RenderAlphaTextInRectAt(rect, flags, color, text);
}

void TBitmap32::RenderAlphaTextInRect(const TRect& rect, unsigned flags, TColor32 color, std::string_view utf8)
{
    RenderAlphaTextInRect(rect, flags, color, std::wstring_view(fw::Utf8ToWide(utf8)));
}

void TBitmap32::RenderAlphaTextInRectQ(const TRect& rect, unsigned flags, TColor32 color, int quality,
                                       std::wstring_view text)
{
    if (IsEmpty())
        return;
    RebuildFont(quality);
    auto restore = fw::OnScopeExit([this] { RebuildFont(DEFAULT_QUALITY); });
    RenderAlphaTextInRectAt(rect, flags, color, text);
}

void TBitmap32::RenderAlphaTextInRectQ(const TRect& rect, unsigned flags, TColor32 color, int quality,
                                       std::string_view utf8)
{
    RenderAlphaTextInRectQ(rect, flags, color, quality, std::wstring_view(fw::Utf8ToWide(utf8)));
}

}  // namespace ks
