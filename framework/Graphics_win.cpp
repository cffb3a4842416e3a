#include "framework/Graphics_win.h"

#include "framework/TypInfo.h"
#include "framework/WideText_win.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <limits>
#include <map>

namespace fw {

// ---------------------------------------------------------------------------
// Colours

TColor ColorToRGB(TColor color)
{
    if (color < 0)
        return static_cast<TColor>(::GetSysColor(color & 0xFF));
    return color;
}

COLORREF ColorToColorRef(TColor color)
{
    if (color < 0)
        return ::GetSysColor(color & 0xFF);
    if (color == clNone || color == clDefault)
        return static_cast<COLORREF>(color);
    return static_cast<COLORREF>(color) & 0x00FFFFFFu;
}

// ---------------------------------------------------------------------------
// Registration

const TClassInfo& TGraphicsObject::StaticClass()
{
    static const TClassInfo& info = DefineClass<TGraphicsObject, TPersistent>("TGraphicsObject").Register();
    return info;
}

const TClassInfo& TFont::StaticClass()
{
    static const TClassInfo& info =
        DefineClass<TFont, TGraphicsObject>("TFont")
            .Int("Charset", &TFont::Charset, &TFont::SetCharset, kDefaultFontCharset, CharsetIdents())
            .NoDefault()
            .Int("Color", &TFont::Color, &TFont::SetColor, clWindowText, ColorIdents())
            .NoDefault()
            .Int("Height", &TFont::Height, &TFont::SetHeight)
            .String("Name", &TFont::Name, &TFont::SetName)
            .Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, {"fpDefault", "fpVariable", "fpFixed"}, fpDefault)
            .Int("Size", &TFont::Size, &TFont::SetSize)
            .Stored(false)
            .Set("Style", &TFont::Style, &TFont::SetStyle, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"})
            .NoDefault()
            .Enum("Quality", &TFont::Quality, &TFont::SetQuality,
                  {"fqDefault", "fqDraft", "fqProof", "fqNonAntialiased", "fqAntialiased", "fqClearType",
                   "fqClearTypeNatural"},
                  fqDefault)
            .Int("Orientation", &TFont::Orientation, &TFont::SetOrientation, 0)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TFont)

const TClassInfo& TBrush::StaticClass()
{
    static const TClassInfo& info = DefineClass<TBrush, TGraphicsObject>("TBrush")
                                        .Int("Color", &TBrush::Color, &TBrush::SetColor, clWhite, ColorIdents())
                                        .Enum("Style", &TBrush::Style, &TBrush::SetStyle,
                                              {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                                               "bsBDiagonal", "bsCross", "bsDiagCross"},
                                              bsSolid)
                                        .Register();
    return info;
}
FW_REGISTER_CLASS(TBrush)

const TClassInfo& TPen::StaticClass()
{
    static const TClassInfo& info =
        DefineClass<TPen, TGraphicsObject>("TPen")
            .Int("Color", &TPen::Color, &TPen::SetColor, clBlack, ColorIdents())
            .Enum("Style", &TPen::Style, &TPen::SetStyle,
                  {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"}, psSolid)
            .Int("Width", &TPen::Width, &TPen::SetWidth, 1)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TPen)

// ---------------------------------------------------------------------------
// TGraphicsObject

void TGraphicsObject::Changed()
{
    if (m_onChange)
        m_onChange(this);
}

// ---------------------------------------------------------------------------
// TFont

TFont::TFont() = default;
TFont::~TFont() = default;

void TFont::Assign(const TPersistent& source)
{
    if (auto* font = dynamic_cast<const TFont*>(&source)) {
        if (font == this)
            return;
        m_name = font->m_name;
        m_height = font->m_height;
        m_color = font->m_color;
        m_charset = font->m_charset;
        m_style = font->m_style;
        m_pitch = font->m_pitch;
        m_quality = font->m_quality;
        m_orientation = font->m_orientation;
        m_pixelsPerInch = font->m_pixelsPerInch;
        HandleChanged();
        return;
    }
    TGraphicsObject::Assign(source);
}

LOGFONTW TFont::MakeLogFont() const
{
    LOGFONTW lf{};
    lf.lfHeight = m_height;
    lf.lfEscapement = m_orientation;
    lf.lfOrientation = m_orientation;
    lf.lfWeight = m_style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = m_style.Contains(fsItalic) ? 1 : 0;
    lf.lfUnderline = m_style.Contains(fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = m_style.Contains(fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = static_cast<BYTE>(m_charset);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    switch (m_quality) {
    case fqDefault:
        lf.lfQuality = DEFAULT_QUALITY;
        break;
    case fqDraft:
        lf.lfQuality = DRAFT_QUALITY;
        break;
    case fqProof:
        lf.lfQuality = PROOF_QUALITY;
        break;
    case fqNonAntialiased:
        lf.lfQuality = NONANTIALIASED_QUALITY;
        break;
    case fqAntialiased:
        lf.lfQuality = ANTIALIASED_QUALITY;
        break;
    case fqClearType:
        lf.lfQuality = CLEARTYPE_QUALITY;
        break;
    case fqClearTypeNatural:
        lf.lfQuality = 6;
        break;  // CLEARTYPE_NATURAL_QUALITY
    }
    switch (m_pitch) {
    case fpDefault:
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        break;
    case fpVariable:
        lf.lfPitchAndFamily = VARIABLE_PITCH;
        break;
    case fpFixed:
        lf.lfPitchAndFamily = FIXED_PITCH;
        break;
    }
    std::wstring face = Utf8ToWide(m_name);
    if (face.size() >= LF_FACESIZE)
        face.resize(LF_FACESIZE - 1);
    std::copy(face.begin(), face.end(), lf.lfFaceName);
    lf.lfFaceName[face.size()] = L'\0';
    return lf;
}

HFONT TFont::Handle() const
{
    if (!m_handle) {
        LOGFONTW lf = MakeLogFont();
        m_handle.Reset(::CreateFontIndirectW(&lf));
    }
    return m_handle.Get();
}

void TFont::HandleChanged()
{
    ScopedFont old = std::move(m_handle);  // deleted after the listener has let go of it
    Changed();
}

void TFont::SetName(const std::string& name)
{
    if (name.empty() || name == m_name)
        return;
    m_name = name;
    HandleChanged();
}

void TFont::SetHeight(int height)
{
    if (height == m_height)
        return;
    m_height = height;
    HandleChanged();
}

int TFont::Size() const { return ::MulDiv(-m_height, 72, m_pixelsPerInch); }

void TFont::SetSize(int points) { SetHeight(-::MulDiv(points, m_pixelsPerInch, 72)); }

void TFont::SetColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    Changed();  // the colour is not part of the font handle
}

void TFont::SetCharset(TFontCharset charset)
{
    if (charset == m_charset)
        return;
    m_charset = charset;
    HandleChanged();
}

void TFont::SetStyle(TFontStyles style)
{
    if (style == m_style)
        return;
    m_style = style;
    HandleChanged();
}

void TFont::SetPitch(TFontPitch pitch)
{
    if (pitch == m_pitch)
        return;
    m_pitch = pitch;
    HandleChanged();
}

void TFont::SetQuality(TFontQuality quality)
{
    if (quality == m_quality)
        return;
    m_quality = quality;
    HandleChanged();
}

void TFont::SetOrientation(int orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    HandleChanged();
}

// ---------------------------------------------------------------------------
// TBrush

TBrush::~TBrush() = default;

void TBrush::Assign(const TPersistent& source)
{
    if (auto* brush = dynamic_cast<const TBrush*>(&source)) {
        if (brush == this)
            return;
        m_color = brush->m_color;
        m_style = brush->m_style;
        HandleChanged();
        return;
    }
    TGraphicsObject::Assign(source);
}

HBRUSH TBrush::Handle() const
{
    if (!m_handle) {
        LOGBRUSH lb{};
        lb.lbColor = ColorToColorRef(m_color);
        switch (m_style) {
        case bsSolid:
            lb.lbStyle = BS_SOLID;
            break;
        case bsClear:
            lb.lbStyle = BS_HOLLOW;
            break;
        default:
            lb.lbStyle = BS_HATCHED;
            lb.lbHatch = static_cast<ULONG_PTR>(m_style - bsHorizontal);  // HS_HORIZONTAL..HS_DIAGCROSS
            break;
        }
        m_handle.Reset(::CreateBrushIndirect(&lb));
    }
    return m_handle.Get();
}

void TBrush::HandleChanged()
{
    ScopedBrush old = std::move(m_handle);
    Changed();
}

void TBrush::SetColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    if (m_style == bsClear)
        m_style = bsSolid;
    HandleChanged();
}

void TBrush::SetStyle(TBrushStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    HandleChanged();
}

// ---------------------------------------------------------------------------
// TPen

TPen::~TPen() = default;

void TPen::Assign(const TPersistent& source)
{
    if (auto* pen = dynamic_cast<const TPen*>(&source)) {
        if (pen == this)
            return;
        m_color = pen->m_color;
        m_width = pen->m_width;
        m_style = pen->m_style;
        HandleChanged();
        return;
    }
    TGraphicsObject::Assign(source);
}

HPEN TPen::Handle() const
{
    if (!m_handle) {
        int style = PS_SOLID;
        switch (m_style) {
        case psSolid:
            style = PS_SOLID;
            break;
        case psDash:
            style = PS_DASH;
            break;
        case psDot:
            style = PS_DOT;
            break;
        case psDashDot:
            style = PS_DASHDOT;
            break;
        case psDashDotDot:
            style = PS_DASHDOTDOT;
            break;
        case psClear:
            style = PS_NULL;
            break;
        case psInsideFrame:
            style = PS_INSIDEFRAME;
            break;
        }
        m_handle.Reset(::CreatePen(style, m_width, ColorToColorRef(m_color)));
    }
    return m_handle.Get();
}

void TPen::HandleChanged()
{
    ScopedPen old = std::move(m_handle);
    Changed();
}

void TPen::SetColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    HandleChanged();
}

void TPen::SetWidth(int width)
{
    if (width < 0)
        width = 0;
    if (width == m_width)
        return;
    m_width = width;
    HandleChanged();
}

void TPen::SetStyle(TPenStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    HandleChanged();
}

}  // namespace fw
