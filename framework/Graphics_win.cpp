#include "framework/Graphics_win.h"

#include "framework/SystemLibrary_win.h"
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

TColor ColorToRGB(TColor color) {
  if (color < 0) return static_cast<TColor>(::GetSysColor(color & 0xFF));
  return color;
}

COLORREF ColorToColorRef(TColor color) {
  if (color < 0) return ::GetSysColor(color & 0xFF);
  if (color == clNone || color == clDefault) return static_cast<COLORREF>(color);
  return static_cast<COLORREF>(color) & 0x00FFFFFFu;
}

// ---------------------------------------------------------------------------
// Registration

const TClassInfo& TGraphicsObject::StaticClass() {
  static const TClassInfo& info = DefineClass<TGraphicsObject, TPersistent>("TGraphicsObject").Register();
  return info;
}

const TClassInfo& TFont::StaticClass() {
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

const TClassInfo& TBrush::StaticClass() {
  static const TClassInfo& info =
      DefineClass<TBrush, TGraphicsObject>("TBrush")
          .Int("Color", &TBrush::Color, &TBrush::SetColor, clWhite, ColorIdents())
          .Enum("Style", &TBrush::Style, &TBrush::SetStyle,
                {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross",
                 "bsDiagCross"},
                bsSolid)
          .Register();
  return info;
}
FW_REGISTER_CLASS(TBrush)

const TClassInfo& TPen::StaticClass() {
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

const TClassInfo& TCanvas::StaticClass() {
  static const TClassInfo& info = DefineClass<TCanvas, TPersistent>("TCanvas").Register();
  return info;
}

const TClassInfo& TGraphic::StaticClass() {
  static const TClassInfo& info = DefineClass<TGraphic, TPersistent>("TGraphic").Register();
  return info;
}

const TClassInfo& TBitmap::StaticClass() {
  static const TClassInfo& info = DefineClass<TBitmap, TGraphic>("TBitmap").Register();
  return info;
}

const TClassInfo& TPicture::StaticClass() {
  static const TClassInfo& info = DefineClass<TPicture, TPersistent>("TPicture").Register();
  return info;
}

// ---------------------------------------------------------------------------
// TGraphicsObject

void TGraphicsObject::Changed() {
  if (m_onChange) m_onChange(this);
}

// ---------------------------------------------------------------------------
// TFont

TFont::TFont() = default;
TFont::~TFont() = default;

void TFont::Assign(const TPersistent& source) {
  if (auto* font = dynamic_cast<const TFont*>(&source)) {
    if (font == this) return;
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

LOGFONTW TFont::MakeLogFont() const {
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
    case fqDefault: lf.lfQuality = DEFAULT_QUALITY; break;
    case fqDraft: lf.lfQuality = DRAFT_QUALITY; break;
    case fqProof: lf.lfQuality = PROOF_QUALITY; break;
    case fqNonAntialiased: lf.lfQuality = NONANTIALIASED_QUALITY; break;
    case fqAntialiased: lf.lfQuality = ANTIALIASED_QUALITY; break;
    case fqClearType: lf.lfQuality = CLEARTYPE_QUALITY; break;
    case fqClearTypeNatural: lf.lfQuality = 6; break;  // CLEARTYPE_NATURAL_QUALITY
  }
  switch (m_pitch) {
    case fpDefault: lf.lfPitchAndFamily = DEFAULT_PITCH; break;
    case fpVariable: lf.lfPitchAndFamily = VARIABLE_PITCH; break;
    case fpFixed: lf.lfPitchAndFamily = FIXED_PITCH; break;
  }
  std::wstring face = Utf8ToWide(m_name);
  if (face.size() >= LF_FACESIZE) face.resize(LF_FACESIZE - 1);
  std::copy(face.begin(), face.end(), lf.lfFaceName);
  lf.lfFaceName[face.size()] = L'\0';
  return lf;
}

HFONT TFont::Handle() const {
  if (!m_handle) {
    LOGFONTW lf = MakeLogFont();
    m_handle.Reset(::CreateFontIndirectW(&lf));
  }
  return m_handle.Get();
}

void TFont::HandleChanged() {
  ScopedFont old = std::move(m_handle);  // deleted after the listener has let go of it
  Changed();
}

void TFont::SetName(const std::string& name) {
  if (name.empty() || name == m_name) return;
  m_name = name;
  HandleChanged();
}

void TFont::SetHeight(int height) {
  if (height == m_height) return;
  m_height = height;
  HandleChanged();
}

int TFont::Size() const {
  return ::MulDiv(-m_height, 72, m_pixelsPerInch);
}

void TFont::SetSize(int points) { SetHeight(-::MulDiv(points, m_pixelsPerInch, 72)); }

void TFont::SetColor(TColor color) {
  if (color == m_color) return;
  m_color = color;
  Changed();  // the colour is not part of the font handle
}

void TFont::SetCharset(TFontCharset charset) {
  if (charset == m_charset) return;
  m_charset = charset;
  HandleChanged();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == m_style) return;
  m_style = style;
  HandleChanged();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == m_pitch) return;
  m_pitch = pitch;
  HandleChanged();
}

void TFont::SetQuality(TFontQuality quality) {
  if (quality == m_quality) return;
  m_quality = quality;
  HandleChanged();
}

void TFont::SetOrientation(int orientation) {
  if (orientation == m_orientation) return;
  m_orientation = orientation;
  HandleChanged();
}

// ---------------------------------------------------------------------------
// TBrush

TBrush::~TBrush() = default;

void TBrush::Assign(const TPersistent& source) {
  if (auto* brush = dynamic_cast<const TBrush*>(&source)) {
    if (brush == this) return;
    m_color = brush->m_color;
    m_style = brush->m_style;
    HandleChanged();
    return;
  }
  TGraphicsObject::Assign(source);
}

HBRUSH TBrush::Handle() const {
  if (!m_handle) {
    LOGBRUSH lb{};
    lb.lbColor = ColorToColorRef(m_color);
    switch (m_style) {
      case bsSolid: lb.lbStyle = BS_SOLID; break;
      case bsClear: lb.lbStyle = BS_HOLLOW; break;
      default:
        lb.lbStyle = BS_HATCHED;
        lb.lbHatch = static_cast<ULONG_PTR>(m_style - bsHorizontal);  // HS_HORIZONTAL..HS_DIAGCROSS
        break;
    }
    m_handle.Reset(::CreateBrushIndirect(&lb));
  }
  return m_handle.Get();
}

void TBrush::HandleChanged() {
  ScopedBrush old = std::move(m_handle);
  Changed();
}

void TBrush::SetColor(TColor color) {
  if (color == m_color) return;
  m_color = color;
  if (m_style == bsClear) m_style = bsSolid;
  HandleChanged();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == m_style) return;
  m_style = style;
  HandleChanged();
}

// ---------------------------------------------------------------------------
// TPen

TPen::~TPen() = default;

void TPen::Assign(const TPersistent& source) {
  if (auto* pen = dynamic_cast<const TPen*>(&source)) {
    if (pen == this) return;
    m_color = pen->m_color;
    m_width = pen->m_width;
    m_style = pen->m_style;
    HandleChanged();
    return;
  }
  TGraphicsObject::Assign(source);
}

HPEN TPen::Handle() const {
  if (!m_handle) {
    int style = PS_SOLID;
    switch (m_style) {
      case psSolid: style = PS_SOLID; break;
      case psDash: style = PS_DASH; break;
      case psDot: style = PS_DOT; break;
      case psDashDot: style = PS_DASHDOT; break;
      case psDashDotDot: style = PS_DASHDOTDOT; break;
      case psClear: style = PS_NULL; break;
      case psInsideFrame: style = PS_INSIDEFRAME; break;
    }
    m_handle.Reset(::CreatePen(style, m_width, ColorToColorRef(m_color)));
  }
  return m_handle.Get();
}

void TPen::HandleChanged() {
  ScopedPen old = std::move(m_handle);
  Changed();
}

void TPen::SetColor(TColor color) {
  if (color == m_color) return;
  m_color = color;
  HandleChanged();
}

void TPen::SetWidth(int width) {
  if (width < 0) width = 0;
  if (width == m_width) return;
  m_width = width;
  HandleChanged();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == m_style) return;
  m_style = style;
  HandleChanged();
}

// ---------------------------------------------------------------------------
// TCanvas

TCanvas::TCanvas() {
  m_font.SetOnChange([this](TObject*) { FontChanged(); });
  m_brush.SetOnChange([this](TObject*) { BrushChanged(); });
  m_pen.SetOnChange([this](TObject*) { PenChanged(); });
}

TCanvas::~TCanvas() { DeselectHandles(); }

HDC TCanvas::Handle() {
  if (!m_dc) CreateHandle();
  return m_dc;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == m_dc) return;
  DeselectHandles();
  m_dc = dc;
}

void TCanvas::AdoptHandle(HDC dc) { SetHandle(dc); }

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::DeselectHandles() {
  if (m_dc) {
    if (m_fontSelected && m_originalFont) ::SelectObject(m_dc, m_originalFont);
    if (m_brushSelected && m_originalBrush) ::SelectObject(m_dc, m_originalBrush);
    if (m_penSelected && m_originalPen) ::SelectObject(m_dc, m_originalPen);
  }
  m_fontSelected = m_brushSelected = m_penSelected = false;
  m_originalFont = m_originalBrush = m_originalPen = nullptr;
}

void TCanvas::FontChanged() {
  if (m_fontSelected && m_dc && m_originalFont) {
    ::SelectObject(m_dc, m_originalFont);
    m_originalFont = nullptr;
  }
  m_fontSelected = false;
}

void TCanvas::BrushChanged() {
  if (m_brushSelected && m_dc && m_originalBrush) {
    ::SelectObject(m_dc, m_originalBrush);
    m_originalBrush = nullptr;
  }
  m_brushSelected = false;
}

void TCanvas::PenChanged() {
  if (m_penSelected && m_dc && m_originalPen) {
    ::SelectObject(m_dc, m_originalPen);
    m_originalPen = nullptr;
  }
  m_penSelected = false;
}

void TCanvas::RequireFont() {
  HDC dc = Handle();
  if (!dc) return;
  if (!m_fontSelected) {
    HGDIOBJ old = ::SelectObject(dc, m_font.Handle());
    if (old && old != HGDI_ERROR) {
      if (!m_originalFont) m_originalFont = old;
      m_fontSelected = true;
    }
  }
  ::SetTextColor(dc, ColorToColorRef(m_font.Color()));
}

void TCanvas::RequireBrush() {
  HDC dc = Handle();
  if (!dc) return;
  if (!m_brushSelected) {
    HGDIOBJ old = ::SelectObject(dc, m_brush.Handle());
    if (old && old != HGDI_ERROR) {
      if (!m_originalBrush) m_originalBrush = old;
      m_brushSelected = true;
    }
  }
  ::SetBkColor(dc, ColorToColorRef(m_brush.Color()));
  ::SetBkMode(dc, m_brush.Style() == bsSolid ? OPAQUE : TRANSPARENT);
}

void TCanvas::RequirePen() {
  HDC dc = Handle();
  if (!dc) return;
  if (!m_penSelected) {
    HGDIOBJ old = ::SelectObject(dc, m_pen.Handle());
    if (old && old != HGDI_ERROR) {
      if (!m_originalPen) m_originalPen = old;
      m_penSelected = true;
    }
  }
}

void TCanvas::MoveTo(int x, int y) {
  if (HDC dc = Handle()) ::MoveToEx(dc, x, y, nullptr);
  m_penPos = {x, y};
}

void TCanvas::LineTo(int x, int y) {
  RequirePen();
  if (HDC dc = Handle()) ::LineTo(dc, x, y);
  m_penPos = {x, y};
}

namespace {
std::vector<POINT> ToPoints(std::span<const TPoint> points) {
  std::vector<POINT> pts(points.size());
  for (size_t i = 0; i < points.size(); ++i) pts[i] = {points[i].X, points[i].Y};
  return pts;
}
RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
}  // namespace

void TCanvas::Polyline(std::span<const TPoint> points) {
  if (points.empty()) return;
  RequirePen();
  std::vector<POINT> pts = ToPoints(points);
  if (HDC dc = Handle()) ::Polyline(dc, pts.data(), static_cast<int>(pts.size()));
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  if (points.empty()) return;
  RequirePen();
  RequireBrush();
  std::vector<POINT> pts = ToPoints(points);
  if (HDC dc = Handle()) ::Polygon(dc, pts.data(), static_cast<int>(pts.size()));
}

void TCanvas::Rectangle(const TRect& r) {
  RequirePen();
  RequireBrush();
  if (HDC dc = Handle()) ::Rectangle(dc, r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvas::RoundRect(const TRect& r, int cornerWidth, int cornerHeight) {
  RequirePen();
  RequireBrush();
  if (HDC dc = Handle()) ::RoundRect(dc, r.Left, r.Top, r.Right, r.Bottom, cornerWidth, cornerHeight);
}

void TCanvas::Ellipse(const TRect& r) {
  RequirePen();
  RequireBrush();
  if (HDC dc = Handle()) ::Ellipse(dc, r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvas::FillRect(const TRect& r) {
  RequireBrush();
  RECT rc = ToRECT(r);
  if (HDC dc = Handle()) ::FillRect(dc, &rc, m_brush.Handle());
}

void TCanvas::FrameRect(const TRect& r) {
  RequireBrush();
  RECT rc = ToRECT(r);
  if (HDC dc = Handle()) ::FrameRect(dc, &rc, m_brush.Handle());
}

TColor TCanvas::Pixel(int x, int y) {
  HDC dc = Handle();
  if (!dc) return clNone;
  COLORREF c = ::GetPixel(dc, x, y);
  return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  if (HDC dc = Handle()) ::SetPixelV(dc, x, y, ColorToColorRef(color));
}

void TCanvas::TextOut(int x, int y, std::string_view utf8) { TextOut(x, y, std::wstring_view(Utf8ToWide(utf8))); }

void TCanvas::TextOut(int x, int y, std::wstring_view text) {
  RequireFont();
  RequireBrush();
  HDC dc = Handle();
  if (!dc) return;
  ::ExtTextOutW(dc, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
  SIZE sz{};
  ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &sz);
  m_penPos = {x + sz.cx, y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::string_view utf8) {
  TextRect(r, x, y, std::wstring_view(Utf8ToWide(utf8)));
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::wstring_view text) {
  RequireFont();
  RequireBrush();
  HDC dc = Handle();
  if (!dc) return;
  RECT rc = ToRECT(r);
  UINT options = ETO_CLIPPED;
  if (m_brush.Style() == bsSolid) options |= ETO_OPAQUE;
  ::ExtTextOutW(dc, x, y, options, &rc, text.data(), static_cast<UINT>(text.size()), nullptr);
}

int TCanvas::DrawText(TRect& r, std::wstring_view text, UINT flags) {
  RequireFont();
  RequireBrush();
  HDC dc = Handle();
  if (!dc) return 0;
  RECT rc = ToRECT(r);
  int result = ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rc, flags);
  r = TRect(rc.left, rc.top, rc.right, rc.bottom);
  return result;
}

TSize TCanvas::TextExtent(std::string_view utf8) { return TextExtent(std::wstring_view(Utf8ToWide(utf8))); }

TSize TCanvas::TextExtent(std::wstring_view text) {
  RequireFont();
  SIZE sz{};
  if (HDC dc = Handle()) ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &sz);
  return {sz.cx, sz.cy};
}

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
  if (graphic.Empty()) return;
  graphic.Draw(*this, Bounds(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::StretchDraw(const TRect& r, TGraphic& graphic) {
  if (graphic.Empty()) return;
  graphic.Draw(*this, r);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  HDC dc = Handle();
  HDC src = source.Handle();
  if (!dc || !src) return;
  ::SetStretchBltMode(dc, COLORONCOLOR);
  ::StretchBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), src, sourceRect.Left, sourceRect.Top,
               sourceRect.Width(), sourceRect.Height(), m_copyMode);
}

TRect TCanvas::ClipRect() {
  RECT rc{};
  if (HDC dc = Handle()) ::GetClipBox(dc, &rc);
  return TRect(rc.left, rc.top, rc.right, rc.bottom);
}

// ---------------------------------------------------------------------------
// TGraphic

TGraphic::~TGraphic() = default;

void TGraphic::SetTransparent(bool value) {
  if (value == m_transparent) return;
  m_transparent = value;
  Changed();
}

void TGraphic::Changed() {
  if (m_onChange) m_onChange(this);
}

void TGraphic::LoadFromFile(const std::wstring& fileName) {
  std::vector<std::uint8_t> bytes = ReadFileBytes(fileName);
  LoadFromBytes(bytes);
}

void TGraphic::LoadFromFile(const std::string& utf8FileName) { LoadFromFile(Utf8ToWide(utf8FileName)); }

std::vector<std::uint8_t> ReadFileBytes(const std::wstring& fileName) {
  HANDLE file = ::CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw EFrameworkError("Cannot open file \"" + WideToUtf8(fileName) + "\"");
  struct Closer {
    HANDLE h;
    ~Closer() { ::CloseHandle(h); }
  } closer{file};
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size)) throw EFrameworkError("Cannot read file \"" + WideToUtf8(fileName) + "\"");
  // Pictures and layouts are small; refuse anything that cannot be one.
  constexpr LONGLONG kMaxFileSize = 512LL * 1024 * 1024;
  if (size.QuadPart < 0 || size.QuadPart > kMaxFileSize) {
    throw EFrameworkError("File \"" + WideToUtf8(fileName) + "\" is too large");
  }
  std::vector<std::uint8_t> bytes(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD read = 0;
    if (!::ReadFile(file, bytes.data() + done, chunk, &read, nullptr) || read == 0) {
      throw EFrameworkError("Cannot read file \"" + WideToUtf8(fileName) + "\"");
    }
    done += read;
  }
  return bytes;
}

// ---------------------------------------------------------------------------
// TBitmapCanvas

TBitmapCanvas::TBitmapCanvas(TBitmap& bitmap) : m_bitmap(bitmap) {}

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::CreateHandle() {
  auto dc = std::make_unique<ScopedCreateDC>(nullptr);
  if (!*dc) throw EFrameworkError("Can't create compatible DC");
  std::unique_ptr<ScopedSelectObject> selected;
  if (m_bitmap.HandleAllocated()) selected = std::make_unique<ScopedSelectObject>(dc->Get(), m_bitmap.Handle());
  m_memoryDC = std::move(dc);
  m_selected = std::move(selected);
  AdoptHandle(m_memoryDC->Get());
}

void TBitmapCanvas::FreeContext() {
  if (!m_memoryDC) return;
  DeselectHandles();
  AdoptHandle(nullptr);
  m_selected.reset();
  m_memoryDC.reset();
}

// ---------------------------------------------------------------------------
// TBitmap

namespace {

int BitsOf(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit: return 16;
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: return 0;
  }
}

// A DIB section of the given format with a plain palette for the indexed ones.
HBITMAP CreateDib(int width, int height, TPixelFormat format) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = -height;  // top-down
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(BitsOf(format));
  info.header.biCompression = BI_RGB;
  if (format == pf16bit) {
    // 5-6-5 masks follow the header.
    info.header.biCompression = BI_BITFIELDS;
    auto* masks = reinterpret_cast<DWORD*>(info.colors);
    masks[0] = 0xF800;
    masks[1] = 0x07E0;
    masks[2] = 0x001F;
  } else if (info.header.biBitCount <= 8) {
    int count = 1 << info.header.biBitCount;
    info.header.biClrUsed = static_cast<DWORD>(count);
    for (int i = 0; i < count; ++i) {
      BYTE v = static_cast<BYTE>(i * 255 / (count - 1));
      info.colors[i] = RGBQUAD{v, v, v, 0};
    }
  }
  void* bits = nullptr;
  HBITMAP bmp = ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  return bmp;
}

HBITMAP CreateBitmapOf(int width, int height, TPixelFormat format) {
  if (width <= 0 || height <= 0) return nullptr;
  HBITMAP bmp = nullptr;
  if (format == pfDevice || format == pfCustom) {
    ScopedGetDC screen(nullptr);
    bmp = ::CreateCompatibleBitmap(screen.Get(), width, height);
  } else {
    bmp = CreateDib(width, height, format);
  }
  if (!bmp) throw EInvalidGraphic("Can't allocate the bitmap handle");
  return bmp;
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) : m_pixelFormat(format) { SetSize(width, height); }

TBitmap::~TBitmap() {
  m_canvas.reset();  // lets go of the bitmap before it is deleted
}

void TBitmap::Replace(HBITMAP bitmap) {
  if (m_canvas) m_canvas->FreeContext();
  m_handle.Reset(bitmap);
  ReadFormat();
}

void TBitmap::ReadFormat() {
  m_width = m_height = 0;
  if (!m_handle) return;
  DIBSECTION ds{};
  int got = ::GetObjectW(m_handle.Get(), sizeof(ds), &ds);
  if (got == sizeof(DIBSECTION)) {
    m_width = ds.dsBm.bmWidth;
    m_height = ds.dsBm.bmHeight;
    // Wine: the header of a top-down section may come back with a positive
    // height; callers that made the section say which way it runs.
    m_topDown = ds.dsBmih.biHeight < 0;
    switch (ds.dsBmih.biBitCount) {
      case 1: m_pixelFormat = pf1bit; break;
      case 4: m_pixelFormat = pf4bit; break;
      case 8: m_pixelFormat = pf8bit; break;
      case 16:
        m_pixelFormat = (ds.dsBmih.biCompression == BI_BITFIELDS && ds.dsBitfields[1] == 0x07E0) ? pf16bit : pf15bit;
        break;
      case 24: m_pixelFormat = pf24bit; break;
      case 32: m_pixelFormat = pf32bit; break;
      default: m_pixelFormat = pfCustom; break;
    }
  } else {
    BITMAP bm{};
    ::GetObjectW(m_handle.Get(), sizeof(bm), &bm);
    m_width = bm.bmWidth;
    m_height = bm.bmHeight;
    m_pixelFormat = pfDevice;
  }
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == m_width && height == m_height) return;
  Replace(CreateBitmapOf(width, height, m_pixelFormat));
  m_topDown = true;  // CreateDib makes top-down sections
  m_width = width;  // an empty bitmap has no handle but keeps a size of 0
  m_height = height;
  if (!m_handle) m_width = m_height = 0;
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == m_pixelFormat) return;
  if (!m_handle) {
    m_pixelFormat = format;
    Changed();
    return;
  }
  ScopedBitmap converted(CreateBitmapOf(m_width, m_height, format));
  {
    ScopedCreateDC src(nullptr), dst(nullptr);
    if (m_canvas) m_canvas->FreeContext();
    ScopedSelectObject selSrc(src.Get(), m_handle.Get());
    ScopedSelectObject selDst(dst.Get(), converted.Get());
    ::BitBlt(dst.Get(), 0, 0, m_width, m_height, src.Get(), 0, 0, SRCCOPY);
  }
  Replace(converted.Release());
  m_topDown = true;
  m_pixelFormat = format;
  Changed();
}

TColor TBitmap::TransparentColor() {
  if (m_transparentMode == tmFixed && m_transparentColor != clDefault) return m_transparentColor;
  if (Empty()) return clDefault;
  return Canvas().Pixel(0, m_height - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  m_transparentColor = color;
  m_transparentMode = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (bitmap == m_handle.Get()) return;
  Replace(bitmap);
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  if (m_canvas) m_canvas->FreeContext();
  HBITMAP h = m_handle.Release();
  m_width = m_height = 0;
  return h;
}

TCanvas& TBitmap::Canvas() {
  if (!m_canvas) m_canvas = std::make_unique<TBitmapCanvas>(*this);
  return *m_canvas;
}

int TBitmap::BytesPerScanLine() const {
  int bits = BitsOf(m_pixelFormat);
  if (bits == 0) return 0;
  return ((m_width * bits + 31) / 32) * 4;
}

void* TBitmap::ScanLine(int y) {
  if (!m_handle || y < 0 || y >= m_height) return nullptr;
  DIBSECTION ds{};
  if (::GetObjectW(m_handle.Get(), sizeof(ds), &ds) != sizeof(DIBSECTION) || !ds.dsBm.bmBits) return nullptr;
  ::GdiFlush();
  auto* bits = static_cast<std::uint8_t*>(ds.dsBm.bmBits);
  int stride = ds.dsBm.bmWidthBytes;
  int row = m_topDown ? y : (m_height - 1 - y);  // bottom-up DIBs keep the last row first
  return bits + static_cast<ptrdiff_t>(row) * stride;
}

void TBitmap::Assign(const TPersistent& source) {
  if (auto* other = dynamic_cast<const TBitmap*>(&source)) {
    if (other == this) return;
    auto& src = const_cast<TBitmap&>(*other);
    if (m_canvas) m_canvas->FreeContext();
    m_pixelFormat = src.m_pixelFormat;
    m_transparentColor = src.m_transparentColor;
    m_transparentMode = src.m_transparentMode;
    if (!src.m_handle) {
      m_handle.Reset();
      m_width = m_height = 0;
    } else {
      ScopedBitmap copy(CreateBitmapOf(src.m_width, src.m_height, src.m_pixelFormat));
      {
        if (src.m_canvas) src.m_canvas->FreeContext();
        ScopedCreateDC sdc(nullptr), ddc(nullptr);
        ScopedSelectObject ss(sdc.Get(), src.m_handle.Get());
        ScopedSelectObject ds(ddc.Get(), copy.Get());
        ::BitBlt(ddc.Get(), 0, 0, src.m_width, src.m_height, sdc.Get(), 0, 0, SRCCOPY);
      }
      m_handle = std::move(copy);
      ReadFormat();
      m_topDown = true;
    }
    TGraphic::SetTransparent(other->Transparent());
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TBitmap::Draw(TCanvas& canvas, const TRect& r) {
  if (Empty() || r.IsEmpty()) return;
  HDC dst = canvas.Handle();
  if (!dst) return;
  HDC src = Canvas().Handle();
  if (!src) return;
  if (Transparent()) {
    COLORREF key = ColorToColorRef(TransparentColor());
    SystemTransparentBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, m_width, m_height, key);
  } else if (r.Width() == m_width && r.Height() == m_height) {
    ::BitBlt(dst, r.Left, r.Top, m_width, m_height, src, 0, 0, canvas.CopyMode());
  } else {
    int oldMode = ::SetStretchBltMode(dst, COLORONCOLOR);
    ::StretchBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, m_width, m_height, canvas.CopyMode());
    ::SetStretchBltMode(dst, oldMode);
  }
}

void TBitmap::LoadFromBytes(std::span<const std::uint8_t> data) {
  auto fail = [] { throw EInvalidGraphic("Bitmap image is not valid"); };
  if (data.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) fail();
  BITMAPFILEHEADER fh;
  std::memcpy(&fh, data.data(), sizeof(fh));
  if (fh.bfType != 0x4D42) fail();  // "BM"
  std::span<const std::uint8_t> rest = data.subspan(sizeof(fh));
  DWORD headerSize;
  std::memcpy(&headerSize, rest.data(), sizeof(headerSize));
  if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > rest.size()) fail();
  BITMAPINFOHEADER ih;
  std::memcpy(&ih, rest.data(), sizeof(ih));
  const LONG width = ih.biWidth;
  const LONG absHeight = ih.biHeight < 0 ? -static_cast<LONGLONG>(ih.biHeight) : ih.biHeight;
  if (width <= 0 || absHeight <= 0 || width > 65535 || absHeight > 65535 || ih.biPlanes != 1) fail();
  const WORD bits = ih.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) fail();
  if (ih.biCompression != BI_RGB && ih.biCompression != BI_BITFIELDS) fail();
  if (ih.biCompression == BI_BITFIELDS && bits != 16 && bits != 32) fail();

  // Colour table (or the three masks of BI_BITFIELDS with a 40-byte header).
  size_t tableBytes = 0;
  if (bits <= 8) {
    size_t used = ih.biClrUsed ? ih.biClrUsed : (size_t{1} << bits);
    if (used > (size_t{1} << bits)) fail();
    tableBytes = used * sizeof(RGBQUAD);
  } else if (ih.biCompression == BI_BITFIELDS && headerSize == sizeof(BITMAPINFOHEADER)) {
    tableBytes = 3 * sizeof(DWORD);
  }
  if (headerSize + tableBytes > rest.size()) fail();
  const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  const size_t imageBytes = stride * static_cast<size_t>(absHeight);
  if (fh.bfOffBits < sizeof(fh) + headerSize + tableBytes || fh.bfOffBits > data.size() ||
      data.size() - fh.bfOffBits < imageBytes) {
    fail();
  }

  // The info block as GDI wants it: the standard header plus the table.
  std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + std::max<size_t>(tableBytes, 3 * sizeof(DWORD)));
  BITMAPINFOHEADER hdr = ih;
  hdr.biSize = sizeof(BITMAPINFOHEADER);
  hdr.biSizeImage = 0;
  std::memcpy(info.data(), &hdr, sizeof(hdr));
  if (ih.biCompression == BI_BITFIELDS && headerSize > sizeof(BITMAPINFOHEADER)) {
    // V4/V5 headers keep the masks inside the header.
    if (headerSize < sizeof(BITMAPINFOHEADER) + 3 * sizeof(DWORD)) fail();
    std::memcpy(info.data() + sizeof(hdr), rest.data() + sizeof(BITMAPINFOHEADER), 3 * sizeof(DWORD));
  } else if (tableBytes) {
    std::memcpy(info.data() + sizeof(hdr), rest.data() + headerSize, tableBytes);
  }
  void* pixels = nullptr;
  ScopedBitmap bmp(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS,
                                      &pixels, nullptr, 0));
  if (!bmp || !pixels) throw EInvalidGraphic("Can't allocate the bitmap handle");
  std::memcpy(pixels, data.data() + fh.bfOffBits, imageBytes);
  ::GdiFlush();
  Replace(bmp.Release());
  m_topDown = ih.biHeight < 0;
  Changed();
}

void TBitmap::LoadFromFile(const std::wstring& fileName) {
  std::vector<std::uint8_t> bytes = ReadFileBytes(fileName);
  LoadFromBytes(bytes);
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::wstring& name) {
  HANDLE h = ::LoadImageW(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!h) throw EInvalidGraphic("Bitmap resource \"" + WideToUtf8(name) + "\" not found");
  Replace(static_cast<HBITMAP>(h));
  Changed();
}

// ---------------------------------------------------------------------------
// TPicture

namespace {

struct TFileFormat {
  std::wstring Description;
  TPicture::TGraphicFactory Factory;
};

std::wstring NormalizeExtension(std::wstring ext) {
  if (!ext.empty() && ext[0] != L'.') ext.insert(ext.begin(), L'.');
  for (auto& c : ext) c = static_cast<wchar_t>(std::towlower(c));
  return ext;
}

std::map<std::wstring, TFileFormat>& FileFormats() {
  static std::map<std::wstring, TFileFormat> formats = [] {
    std::map<std::wstring, TFileFormat> m;
    m[L".bmp"] = {L"Bitmaps", [] { return std::unique_ptr<TGraphic>(std::make_unique<TBitmap>()); }};
    return m;
  }();
  return formats;
}

}  // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Assign(const TPersistent& source) {
  if (auto* picture = dynamic_cast<const TPicture*>(&source)) {
    if (picture == this) return;
    if (!picture->m_graphic) {
      SetGraphic(nullptr);
      return;
    }
    const TClassInfo& cls = picture->m_graphic->ClassType();
    std::unique_ptr<TGraphic> copy;
    if (dynamic_cast<const TBitmap*>(picture->m_graphic.get())) {
      copy = std::make_unique<TBitmap>();
    } else {
      for (auto& [ext, format] : FileFormats()) {
        std::unique_ptr<TGraphic> candidate = format.Factory();
        if (&candidate->ClassType() == &cls) {
          copy = std::move(candidate);
          break;
        }
      }
    }
    if (!copy) throw EFrameworkError("Cannot assign a " + cls.Name() + " to a TPicture");
    copy->Assign(*picture->m_graphic);
    SetGraphic(std::move(copy));
    return;
  }
  if (auto* graphic = dynamic_cast<const TGraphic*>(&source)) {
    if (dynamic_cast<const TBitmap*>(graphic)) {
      auto copy = std::make_unique<TBitmap>();
      copy->Assign(*graphic);
      SetGraphic(std::move(copy));
      return;
    }
  }
  TPersistent::Assign(source);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
  m_graphic = std::move(graphic);
  if (m_graphic) m_graphic->SetOnChange([this](TObject*) { Changed(); });
  Changed();
}

TBitmap& TPicture::Bitmap() {
  auto* bitmap = dynamic_cast<TBitmap*>(m_graphic.get());
  if (!bitmap) {
    auto fresh = std::make_unique<TBitmap>();
    bitmap = fresh.get();
    SetGraphic(std::move(fresh));
  }
  return *bitmap;
}

void TPicture::LoadFromFile(const std::wstring& fileName) {
  size_t dot = fileName.find_last_of(L'.');
  size_t slash = fileName.find_last_of(L"\\/");
  std::wstring ext;
  if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) ext = fileName.substr(dot);
  ext = NormalizeExtension(ext);
  auto it = FileFormats().find(ext);
  if (ext.empty() || it == FileFormats().end()) {
    throw EInvalidGraphic("Unknown picture file extension (" + WideToUtf8(ext) + ")");
  }
  std::unique_ptr<TGraphic> graphic = it->second.Factory();
  graphic->LoadFromFile(fileName);
  SetGraphic(std::move(graphic));
}

void TPicture::LoadFromFile(const std::string& utf8FileName) { LoadFromFile(Utf8ToWide(utf8FileName)); }

void TPicture::RegisterFileFormat(const std::wstring& extension, const std::wstring& description,
                                  TGraphicFactory factory) {
  FileFormats()[NormalizeExtension(extension)] = {description, std::move(factory)};
}

void TPicture::UnregisterFileFormat(const std::wstring& extension) {
  FileFormats().erase(NormalizeExtension(extension));
}

bool TPicture::IsRegisteredFileFormat(const std::wstring& extension) {
  return FileFormats().count(NormalizeExtension(extension)) != 0;
}

void TPicture::Changed() {
  if (m_onChange) m_onChange(this);
}

}  // namespace fw
