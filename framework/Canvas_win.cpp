#include "framework/Graphics_win.h"

#include "framework/TypInfo.h"
#include "framework/WideText_win.h"

#include <vector>

namespace fw {

const TClassInfo& TCanvas::StaticClass()
{
    static const TClassInfo& info = DefineClass<TCanvas, TPersistent>("TCanvas").Register();
    return info;
}

// ---------------------------------------------------------------------------
// TCanvas

TCanvas::TCanvas()
{
    m_font.SetOnChange([this](TObject*) { FontChanged(); });
    m_brush.SetOnChange([this](TObject*) { BrushChanged(); });
    m_pen.SetOnChange([this](TObject*) { PenChanged(); });
}

TCanvas::~TCanvas() { DeselectHandles(); }

HDC TCanvas::Handle()
{
    if (!m_dc)
        CreateHandle();
    return m_dc;
}

void TCanvas::SetHandle(HDC dc)
{
    if (dc == m_dc)
        return;
    DeselectHandles();
    m_dc = dc;
}

void TCanvas::AdoptHandle(HDC dc) { SetHandle(dc); }

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::DeselectHandles()
{
    if (m_dc) {
        if (m_fontSelected && m_originalFont)
            ::SelectObject(m_dc, m_originalFont);
        if (m_brushSelected && m_originalBrush)
            ::SelectObject(m_dc, m_originalBrush);
        if (m_penSelected && m_originalPen)
            ::SelectObject(m_dc, m_originalPen);
    }
    m_fontSelected = m_brushSelected = m_penSelected = false;
    m_originalFont = m_originalBrush = m_originalPen = nullptr;
}

void TCanvas::FontChanged()
{
    if (m_fontSelected && m_dc && m_originalFont) {
        ::SelectObject(m_dc, m_originalFont);
        m_originalFont = nullptr;
    }
    m_fontSelected = false;
}

void TCanvas::BrushChanged()
{
    if (m_brushSelected && m_dc && m_originalBrush) {
        ::SelectObject(m_dc, m_originalBrush);
        m_originalBrush = nullptr;
    }
    m_brushSelected = false;
}

void TCanvas::PenChanged()
{
    if (m_penSelected && m_dc && m_originalPen) {
        ::SelectObject(m_dc, m_originalPen);
        m_originalPen = nullptr;
    }
    m_penSelected = false;
}

void TCanvas::RequireFont()
{
    HDC dc = Handle();
    if (!dc)
        return;
    if (!m_fontSelected) {
        HGDIOBJ old = ::SelectObject(dc, m_font.Handle());
        if (old && old != HGDI_ERROR) {
            if (!m_originalFont)
                m_originalFont = old;
            m_fontSelected = true;
        }
    }
    ::SetTextColor(dc, ColorToColorRef(m_font.Color()));
}

void TCanvas::RequireBrush()
{
    HDC dc = Handle();
    if (!dc)
        return;
    if (!m_brushSelected) {
        HGDIOBJ old = ::SelectObject(dc, m_brush.Handle());
        if (old && old != HGDI_ERROR) {
            if (!m_originalBrush)
                m_originalBrush = old;
            m_brushSelected = true;
        }
    }
    ::SetBkColor(dc, ColorToColorRef(m_brush.Color()));
    ::SetBkMode(dc, m_brush.Style() == bsSolid ? OPAQUE : TRANSPARENT);
}

void TCanvas::RequirePen()
{
    HDC dc = Handle();
    if (!dc)
        return;
    if (!m_penSelected) {
        HGDIOBJ old = ::SelectObject(dc, m_pen.Handle());
        if (old && old != HGDI_ERROR) {
            if (!m_originalPen)
                m_originalPen = old;
            m_penSelected = true;
        }
    }
}

void TCanvas::MoveTo(int x, int y)
{
    if (HDC dc = Handle())
        ::MoveToEx(dc, x, y, nullptr);
    m_penPos = {x, y};
}

void TCanvas::LineTo(int x, int y)
{
    RequirePen();
    if (HDC dc = Handle())
        ::LineTo(dc, x, y);
    m_penPos = {x, y};
}

namespace {
std::vector<POINT> ToPoints(std::span<const TPoint> points)
{
    std::vector<POINT> pts(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        pts[i] = {points[i].X, points[i].Y};
    return pts;
}
RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
}  // namespace

void TCanvas::Polyline(std::span<const TPoint> points)
{
    if (points.empty())
        return;
    RequirePen();
    std::vector<POINT> pts = ToPoints(points);
    if (HDC dc = Handle())
        ::Polyline(dc, pts.data(), static_cast<int>(pts.size()));
}

void TCanvas::Polygon(std::span<const TPoint> points)
{
    if (points.empty())
        return;
    RequirePen();
    RequireBrush();
    std::vector<POINT> pts = ToPoints(points);
    if (HDC dc = Handle())
        ::Polygon(dc, pts.data(), static_cast<int>(pts.size()));
}

void TCanvas::Rectangle(const TRect& r)
{
    RequirePen();
    RequireBrush();
    if (HDC dc = Handle())
        ::Rectangle(dc, r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvas::RoundRect(const TRect& r, int cornerWidth, int cornerHeight)
{
    RequirePen();
    RequireBrush();
    if (HDC dc = Handle())
        ::RoundRect(dc, r.Left, r.Top, r.Right, r.Bottom, cornerWidth, cornerHeight);
}

void TCanvas::Ellipse(const TRect& r)
{
    RequirePen();
    RequireBrush();
    if (HDC dc = Handle())
        ::Ellipse(dc, r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvas::FillRect(const TRect& r)
{
    RequireBrush();
    RECT rc = ToRECT(r);
    if (HDC dc = Handle())
        ::FillRect(dc, &rc, m_brush.Handle());
}

void TCanvas::FrameRect(const TRect& r)
{
    RequireBrush();
    RECT rc = ToRECT(r);
    if (HDC dc = Handle())
        ::FrameRect(dc, &rc, m_brush.Handle());
}

TColor TCanvas::Pixel(int x, int y)
{
    HDC dc = Handle();
    if (!dc)
        return clNone;
    COLORREF c = ::GetPixel(dc, x, y);
    return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    if (HDC dc = Handle())
        ::SetPixelV(dc, x, y, ColorToColorRef(color));
}

void TCanvas::TextOut(int x, int y, std::string_view utf8) { TextOut(x, y, std::wstring_view(Utf8ToWide(utf8))); }

void TCanvas::TextOut(int x, int y, std::wstring_view text)
{
    RequireFont();
    RequireBrush();
    HDC dc = Handle();
    if (!dc)
        return;
    ::ExtTextOutW(dc, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
    SIZE sz{};
    ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &sz);
    m_penPos = {x + sz.cx, y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::string_view utf8)
{
    TextRect(r, x, y, std::wstring_view(Utf8ToWide(utf8)));
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::wstring_view text)
{
    RequireFont();
    RequireBrush();
    HDC dc = Handle();
    if (!dc)
        return;
    RECT rc = ToRECT(r);
    UINT options = ETO_CLIPPED;
    if (m_brush.Style() == bsSolid)
        options |= ETO_OPAQUE;
    ::ExtTextOutW(dc, x, y, options, &rc, text.data(), static_cast<UINT>(text.size()), nullptr);
}

int TCanvas::DrawText(TRect& r, std::wstring_view text, UINT flags)
{
    RequireFont();
    RequireBrush();
    HDC dc = Handle();
    if (!dc)
        return 0;
    RECT rc = ToRECT(r);
    int result = ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rc, flags);
    r = TRect(rc.left, rc.top, rc.right, rc.bottom);
    return result;
}

TSize TCanvas::TextExtent(std::string_view utf8) { return TextExtent(std::wstring_view(Utf8ToWide(utf8))); }

TSize TCanvas::TextExtent(std::wstring_view text)
{
    RequireFont();
    SIZE sz{};
    if (HDC dc = Handle())
        ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &sz);
    return {sz.cx, sz.cy};
}

void TCanvas::Draw(int x, int y, TGraphic& graphic)
{
    if (graphic.Empty())
        return;
    graphic.Draw(*this, Bounds(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::StretchDraw(const TRect& r, TGraphic& graphic)
{
    if (graphic.Empty())
        return;
    graphic.Draw(*this, r);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect)
{
    HDC dc = Handle();
    HDC src = source.Handle();
    if (!dc || !src)
        return;
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), src, sourceRect.Left, sourceRect.Top,
                 sourceRect.Width(), sourceRect.Height(), m_copyMode);
}

TRect TCanvas::ClipRect()
{
    RECT rc{};
    if (HDC dc = Handle())
        ::GetClipBox(dc, &rc);
    return TRect(rc.left, rc.top, rc.right, rc.bottom);
}

}  // namespace fw
