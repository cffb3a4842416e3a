// Graphics objects on GDI: fonts, brushes, pens, the canvas over a device
// context, bitmaps, and pictures loaded by file extension.
//
// Handles are created lazily and owned by the objects (through the wrappers of
// ScopedGdi_win.h). A canvas selects its font, brush and pen into its device
// context only when an operation needs them and selects the context's original
// objects back before it lets the context go or a handle it selected changes.
#pragma once

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/ScopedGdi_win.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// A system colour (negative TColor) resolved with GetSysColor; other values
// with the top byte cleared (clNone and clDefault keep theirs).
COLORREF ColorToColorRef(TColor color);

class EInvalidGraphic : public EFrameworkError {
public:
    using EFrameworkError::EFrameworkError;
};

// Base of fonts, brushes and pens: values plus a lazily created handle and one
// change listener (the canvas or control that uses the object).
class TGraphicsObject : public TPersistent {
    FW_CLASS(TGraphicsObject)

    const TNotifyEvent& OnChange() const { return m_onChange; }
    void SetOnChange(TNotifyEvent handler) { m_onChange = std::move(handler); }

protected:
    // Tells the listener. Subclasses keep a replaced handle alive until this
    // returns, so that a canvas can select it out of its context first.
    virtual void Changed();

private:
    TNotifyEvent m_onChange;
};

class TFont : public TGraphicsObject {
    FW_CLASS(TFont)

    TFont();
    ~TFont() override;

    void Assign(const TPersistent& source) override;

    // The font handle, created on first use with CreateFontIndirectW.
    HFONT Handle() const;
    bool HandleAllocated() const { return static_cast<bool>(m_handle); }
    // The LOGFONTW that Handle() is made from.
    LOGFONTW MakeLogFont() const;

    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name);
    int Height() const { return m_height; }
    void SetHeight(int height);
    // Point size at PixelsPerInch: -Height * 72 / PixelsPerInch.
    int Size() const;
    void SetSize(int points);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TFontCharset Charset() const { return m_charset; }
    void SetCharset(TFontCharset charset);
    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles style);
    TFontPitch Pitch() const { return m_pitch; }
    void SetPitch(TFontPitch pitch);
    TFontQuality Quality() const { return m_quality; }
    void SetQuality(TFontQuality quality);
    // Escapement in tenths of a degree.
    int Orientation() const { return m_orientation; }
    void SetOrientation(int orientation);
    int PixelsPerInch() const { return m_pixelsPerInch; }
    void SetPixelsPerInch(int ppi) { m_pixelsPerInch = ppi > 0 ? ppi : 96; }

private:
    // Drops the handle (kept alive until the listener has heard) and notifies.
    void HandleChanged();

    std::string m_name = kDefaultFontName;
    int m_height = kDefaultFontHeight;
    TColor m_color = clWindowText;
    TFontCharset m_charset = kDefaultFontCharset;
    TFontStyles m_style;
    TFontPitch m_pitch = fpDefault;
    TFontQuality m_quality = fqDefault;
    int m_orientation = 0;
    int m_pixelsPerInch = 96;
    mutable ScopedFont m_handle;
};

class TBrush : public TGraphicsObject {
    FW_CLASS(TBrush)

    TBrush() = default;
    ~TBrush() override;
    void Assign(const TPersistent& source) override;

    HBRUSH Handle() const;
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return m_style; }
    void SetStyle(TBrushStyle style);

private:
    void HandleChanged();

    TColor m_color = clWhite;
    TBrushStyle m_style = bsSolid;
    mutable ScopedBrush m_handle;
};

class TPen : public TGraphicsObject {
    FW_CLASS(TPen)

    TPen() = default;
    ~TPen() override;
    void Assign(const TPersistent& source) override;

    HPEN Handle() const;
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    int Width() const { return m_width; }
    void SetWidth(int width);
    TPenStyle Style() const { return m_style; }
    void SetStyle(TPenStyle style);

private:
    void HandleChanged();

    TColor m_color = clBlack;
    int m_width = 1;
    TPenStyle m_style = psSolid;
    mutable ScopedPen m_handle;
};

class TGraphic;

// Drawing on a device context. The base canvas draws on a context it is handed
// (SetHandle) and does not own; subclasses create their own (a bitmap's memory
// context, a control's window context).
class TCanvas : public TPersistent {
    FW_CLASS(TCanvas)

    TCanvas();
    ~TCanvas() override;

    // The device context; subclasses create one on demand. Null when none can be
    // had.
    HDC Handle();
    bool HandleAllocated() const { return m_dc != nullptr; }
    // Draws on an external context from now on (null: none). The context's
    // original objects are selected back into the previous one first.
    void SetHandle(HDC dc);
    // Selects the context's original font, brush and pen back in, so the next
    // operation selects ours afresh.
    void Refresh();

    TFont& Font() { return m_font; }
    void SetFont(const TFont& font) { m_font.Assign(font); }
    TBrush& Brush() { return m_brush; }
    void SetBrush(const TBrush& brush) { m_brush.Assign(brush); }
    TPen& Pen() { return m_pen; }
    void SetPen(const TPen& pen) { m_pen.Assign(pen); }

    TPoint PenPos() const { return m_penPos; }
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(std::span<const TPoint> points);
    void Polygon(std::span<const TPoint> points);
    void Rectangle(const TRect& r);
    void RoundRect(const TRect& r, int cornerWidth, int cornerHeight);
    void Ellipse(const TRect& r);
    // Fills with the brush, no outline.
    void FillRect(const TRect& r);
    // A one-pixel frame in the brush's colour.
    void FrameRect(const TRect& r);

    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    void TextOut(int x, int y, std::string_view utf8);
    void TextOut(int x, int y, std::wstring_view text);
    // Text at (x, y) clipped to r; the background is filled with the brush
    // unless its style is bsClear.
    void TextRect(const TRect& r, int x, int y, std::string_view utf8);
    void TextRect(const TRect& r, int x, int y, std::wstring_view text);
    // DrawTextW with the given DT_ flags; with DT_CALCRECT r receives the size.
    int DrawText(TRect& r, std::wstring_view text, UINT flags);
    TSize TextExtent(std::string_view utf8);
    TSize TextExtent(std::wstring_view text);
    int TextWidth(std::string_view utf8) { return TextExtent(utf8).cx; }
    int TextWidth(std::wstring_view text) { return TextExtent(text).cx; }
    int TextHeight(std::string_view utf8) { return TextExtent(utf8).cy; }
    int TextHeight(std::wstring_view text) { return TextExtent(text).cy; }

    void Draw(int x, int y, TGraphic& graphic);
    void StretchDraw(const TRect& r, TGraphic& graphic);
    // StretchBlt from another canvas with CopyMode (SRCCOPY by default).
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
    DWORD CopyMode() const { return m_copyMode; }
    void SetCopyMode(DWORD rop) { m_copyMode = rop; }

    // The context's clip box.
    TRect ClipRect();

protected:
    // Subclasses create a context here and hand it over with AdoptHandle.
    virtual void CreateHandle() {}
    // For subclasses: take a context they manage themselves.
    void AdoptHandle(HDC dc);
    // For subclasses, before they release their context: select our objects out.
    void DeselectHandles();

    void RequireFont();
    void RequireBrush();
    void RequirePen();

private:
    void FontChanged();
    void BrushChanged();
    void PenChanged();

    HDC m_dc = nullptr;
    HGDIOBJ m_originalFont = nullptr;
    HGDIOBJ m_originalBrush = nullptr;
    HGDIOBJ m_originalPen = nullptr;
    bool m_fontSelected = false;
    bool m_brushSelected = false;
    bool m_penSelected = false;
    TFont m_font;
    TBrush m_brush;
    TPen m_pen;
    TPoint m_penPos;
    DWORD m_copyMode = SRCCOPY;
};

// A picture of some file format. Subclasses: TBitmap here; PNG and JPEG
// graphics are added by the skin resources.
class TGraphic : public TPersistent {
    FW_CLASS(TGraphic)

    ~TGraphic() override;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const { return Width() == 0 || Height() == 0; }
    virtual bool Transparent() const { return m_transparent; }
    virtual void SetTransparent(bool value);

    // Draws the whole picture into r on the canvas.
    virtual void Draw(TCanvas& canvas, const TRect& r) = 0;

    virtual void LoadFromBytes(std::span<const std::uint8_t> data) = 0;
    // Reads the file and passes its bytes to LoadFromBytes.
    virtual void LoadFromFile(const std::wstring& fileName);
    void LoadFromFile(const std::string& utf8FileName);

    const TNotifyEvent& OnChange() const { return m_onChange; }
    void SetOnChange(TNotifyEvent handler) { m_onChange = std::move(handler); }

protected:
    TGraphic() = default;
    virtual void Changed();

private:
    bool m_transparent = false;
    TNotifyEvent m_onChange;
};

class TBitmap;

// The canvas of a bitmap: a memory context with the bitmap selected, made on
// first use and let go when the bitmap's handle changes.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& bitmap);
    ~TBitmapCanvas() override;
    // Deletes the memory context (the bitmap is selected out first).
    void FreeContext();

protected:
    void CreateHandle() override;

private:
    TBitmap& m_bitmap;
    std::unique_ptr<ScopedCreateDC> m_memoryDC;
    std::unique_ptr<ScopedSelectObject> m_selected;
};

enum TTransparentMode { tmAuto, tmFixed };

// A GDI bitmap held as a DIB section (or a device-compatible bitmap for
// pfDevice), with a canvas.
class TBitmap : public TGraphic {
    FW_CLASS(TBitmap)

    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pf32bit);
    ~TBitmap() override;

    void Assign(const TPersistent& source) override;

    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    void SetWidth(int width) { SetSize(width, m_height); }
    void SetHeight(int height) { SetSize(m_width, height); }
    // New contents are black. Negative sizes count as 0.
    void SetSize(int width, int height);
    TPixelFormat PixelFormat() const { return m_pixelFormat; }
    // Converts the existing contents through GDI.
    void SetPixelFormat(TPixelFormat format);

    // The colour that is left out when the bitmap is drawn transparently. In
    // tmAuto mode it is the bottom-left pixel's colour.
    TColor TransparentColor();
    void SetTransparentColor(TColor color);
    TTransparentMode TransparentMode() const { return m_transparentMode; }
    void SetTransparentMode(TTransparentMode mode) { m_transparentMode = mode; }

    // The bitmap handle; an empty bitmap has none (null).
    HBITMAP Handle() const { return m_handle.Get(); }
    bool HandleAllocated() const { return static_cast<bool>(m_handle); }
    // Takes over a bitmap handle (owned from now on); size and format are read
    // from it.
    void SetHandle(HBITMAP bitmap);
    // Gives up the handle; the bitmap becomes empty.
    [[nodiscard]] HBITMAP ReleaseHandle();

    TCanvas& Canvas();

    // The bytes of row y of a DIB section (null for device bitmaps or y out of
    // range). Rows are DWORD-aligned.
    void* ScanLine(int y);
    int BytesPerScanLine() const;

    void Draw(TCanvas& canvas, const TRect& r) override;
    // Reads a BMP file image (BITMAPFILEHEADER, info header, colour table,
    // pixels) after checking every size against the data.
    void LoadFromBytes(std::span<const std::uint8_t> data) override;
    void LoadFromFile(const std::wstring& fileName) override;
    using TGraphic::LoadFromFile;
    void LoadFromResourceName(HINSTANCE instance, const std::wstring& name);

private:
    friend class TBitmapCanvas;
    void Replace(HBITMAP bitmap);
    void ReadFormat();

    ScopedBitmap m_handle;  // declared before the canvas: the canvas lets go first
    int m_width = 0;
    int m_height = 0;
    TPixelFormat m_pixelFormat = pfDevice;
    bool m_topDown = false;
    TColor m_transparentColor = clDefault;
    TTransparentMode m_transparentMode = tmAuto;
    std::unique_ptr<TBitmapCanvas> m_canvas;
};

// A holder of one graphic of any registered file format.
class TPicture : public TPersistent {
    FW_CLASS(TPicture)

    using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

    TPicture();
    ~TPicture() override;

    void Assign(const TPersistent& source) override;

    TGraphic* Graphic() const { return m_graphic.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    // The graphic as a bitmap; replaces any other graphic by an empty bitmap.
    TBitmap& Bitmap();
    int Width() const { return m_graphic ? m_graphic->Width() : 0; }
    int Height() const { return m_graphic ? m_graphic->Height() : 0; }

    // Chooses the graphic class by the file's extension (case-insensitive).
    // Throws EInvalidGraphic for an unknown extension.
    void LoadFromFile(const std::wstring& fileName);
    void LoadFromFile(const std::string& utf8FileName);

    // File format registry: ".bmp" is registered from the start.
    static void RegisterFileFormat(const std::wstring& extension, const std::wstring& description,
                                   TGraphicFactory factory);
    static void UnregisterFileFormat(const std::wstring& extension);
    static bool IsRegisteredFileFormat(const std::wstring& extension);

    const TNotifyEvent& OnChange() const { return m_onChange; }
    void SetOnChange(TNotifyEvent handler) { m_onChange = std::move(handler); }

private:
    void Changed();

    std::unique_ptr<TGraphic> m_graphic;
    TNotifyEvent m_onChange;
};

// Reads a whole file; throws EFrameworkError when it cannot.
std::vector<std::uint8_t> ReadFileBytes(const std::wstring& fileName);

}  // namespace fw
