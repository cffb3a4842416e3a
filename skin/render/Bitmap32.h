// The 32-bit bitmap of the skin engine.
//
// TCustomBitmap32 holds Width x Height straight-alpha pixels in plain memory,
// rows top to bottom, with the draw properties that decide how it is drawn
// onto another bitmap (DrawMode, MasterAlpha, OuterColor, resampler), a clip
// rectangle, change notification and a lock. Storage is a virtual step:
// TBitmap32 on Windows keeps its pixels in a DIB section selected into a
// memory device context of its own and adds the font, the canvas, text and
// the device-context bridge.
#pragma once

#include "skin/render/Blend.h"
#include "skin/render/Color32.h"

#include "framework/Classes.h"
#include "framework/Types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
// The handle types as <windows.h> declares them (STRICT), without it.
struct HDC__;
typedef HDC__* HDC;
struct HFONT__;
typedef HFONT__* HFONT;
#endif

namespace fw {
class TFont;
class TCanvas;
class TGraphic;
class TPicture;
}  // namespace fw

namespace ks {

using fw::TPoint;
using fw::TRect;
using fw::TSize;

class ERenderError : public fw::EFrameworkError {
public:
    using fw::EFrameworkError::EFrameworkError;
};

enum TDrawMode { dmOpaque, dmBlend, dmCustom, dmTransparent };
enum TCombineMode { cmBlend, cmMerge };
enum TWrapMode { wmClamp, wmRepeat, wmMirror };

// The info word of OnAreaChanged.
constexpr std::uint32_t AREAINFO_RECT = 0x80000000u;
constexpr std::uint32_t AREAINFO_LINE = 0x40000000u;  // or'ed with the line width

// Largest pixel storage a bitmap accepts, in bytes (a DIB's image size is a
// 32-bit value, and no 32-bit process can hold more anyway).
constexpr std::uint64_t kMaxBitmapBytes = 0x7FFFFFFFu;

class TCustomBitmap32;
class TCustomResampler;

using TAreaChangedEvent = std::function<void(fw::TObject* sender, const TRect& area, std::uint32_t info)>;
// dmCustom: combines F into B with the source's master alpha M.
using TPixelCombineEvent = std::function<void(TColor32 f, TColor32& b, unsigned master)>;

class TCustomBitmap32 : public fw::TPersistent {
    FW_CLASS(TCustomBitmap32)

    TCustomBitmap32();
    ~TCustomBitmap32() override;

    // --- size -------------------------------------------------------------
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void SetWidth(int w) { Resize(w, m_height); }
    void SetHeight(int h) { Resize(m_width, h); }
    // Negative values become 0. Unchanged size: nothing happens, false.
    // Otherwise new storage, every pixel 0, ClipRect reset, OnChange then
    // OnResize, true. A size whose storage cannot be had throws and leaves
    // the bitmap empty (0 x 0).
    bool Resize(int w, int h);
    bool IsEmpty() const { return m_width == 0 || m_height == 0 || m_bits == nullptr; }
    TRect BoundsRect() const { return {0, 0, m_width, m_height}; }

    // --- pixels -----------------------------------------------------------
    TColor32* Bits() { return m_bits; }
    const TColor32* Bits() const { return m_bits; }
    TColor32* ScanLine(int y) { return m_bits + static_cast<std::ptrdiff_t>(y) * m_width; }
    const TColor32* ScanLine(int y) const { return m_bits + static_cast<std::ptrdiff_t>(y) * m_width; }
    // No bounds test.
    TColor32& PixelAt(int x, int y) { return ScanLine(y)[x]; }
    TColor32 PixelAt(int x, int y) const { return ScanLine(y)[x]; }
    // Bounds-checked read: OuterColor outside the bitmap.
    TColor32 PixelSafe(int x, int y) const;

    // Every alpha byte 255, colour bytes untouched.
    void MakeOpaque();
    // FillArea over the whole bitmap.
    void Clear(TColor32 v = 0);

    // --- copying ----------------------------------------------------------
    // nullptr: size 0 x 0. Otherwise size, pixels and draw properties.
    virtual void AssignFrom(const TCustomBitmap32* source);
    void AssignFrom(std::nullptr_t) { AssignFrom(static_cast<const TCustomBitmap32*>(nullptr)); }
    // DrawMode, CombineMode, WrapMode, MasterAlpha, OuterColor, the resampler
    // class and settings (and, for TBitmap32, the font when both have one).
    virtual void CopyPropertiesTo(TCustomBitmap32& dest) const;
    void Assign(const fw::TPersistent& source) override;

    // --- clipping -----------------------------------------------------------
    const TRect& ClipRect() const { return m_clipRect; }
    // Cut to the bounds; Clipping is set while it differs from them.
    void SetClipRect(const TRect& r);
    void ResetClipRect() { SetClipRect(BoundsRect()); }
    bool Clipping() const { return m_clipping; }

    // --- draw properties --------------------------------------------------
    TDrawMode DrawMode() const { return m_drawMode; }
    void SetDrawMode(TDrawMode mode);
    TCombineMode CombineMode() const { return m_combineMode; }
    void SetCombineMode(TCombineMode mode);
    TWrapMode WrapMode() const { return m_wrapMode; }
    void SetWrapMode(TWrapMode mode);
    unsigned MasterAlpha() const { return m_masterAlpha; }
    void SetMasterAlpha(int alpha);  // clamped to 0..255
    TColor32 OuterColor() const { return m_outerColor; }
    void SetOuterColor(TColor32 color);
    TColor32 PenColor() const { return m_penColor; }
    void SetPenColor(TColor32 color) { m_penColor = color; }

    TCustomResampler& Resampler() const { return *m_resampler; }
    // Takes ownership; nullptr installs a new TNearestResampler.
    void SetResampler(std::unique_ptr<TCustomResampler> resampler);
    std::string ResamplerClassName() const;
    // Installs a new resampler of that class; throws ERenderError for an
    // unknown class name.
    void SetResamplerClassName(const std::string& name);

    // --- fills and primitives (x2 and y2 exclusive unless stated) ---------
    // Plain store, no clip rectangle (cut to the bitmap's bounds only).
    void FillArea(int x1, int y1, int x2, int y2, TColor32 v);
    // Cut to ClipRect; nothing in measuring mode.
    void FillAreaClipped(int x1, int y1, int x2, int y2, TColor32 v);
    // Cut to ClipRect; alpha 255 stores, alpha 0 leaves, else MixPixel.
    void FillAreaMixed(int x1, int y1, int x2, int y2, TColor32 v);
    void FillAreaMixed(const TRect& r, TColor32 v) { FillAreaMixed(r.Left, r.Top, r.Right, r.Bottom, v); }
    // Pixels x1..x2 inclusive of row y, plain store, no clip rectangle.
    void FillRowSpan(int x1, int y, int x2, TColor32 v);
    // BlendPixel onto (x, y) when it lies inside ClipRect.
    void PutPixelBlended(int x, int y, TColor32 v);
    // Anti-aliased line with gamma weighting, clipped to ClipRect.
    void DrawSmoothLine(int x1, int y1, int x2, int y2, TColor32 v, bool includeLast);

    // --- streamed pixel data ------------------------------------------------
    // Width, Height (32-bit little-endian), then the pixels as B, G, R, A.
    std::vector<std::uint8_t> SaveData() const;
    // Checks the byte count against the declared size before it allocates;
    // throws ERenderError on damaged data.
    void LoadData(std::span<const std::uint8_t> data);

    // --- change notification ------------------------------------------------
    void BeginUpdate() { ++m_updateCount; }
    void EndUpdate()
    {
        if (m_updateCount > 0)
            --m_updateCount;
    }
    int UpdateCount() const { return m_updateCount; }
    // OnChange, unless updating or measuring.
    void Changed();
    // OnAreaChanged (unless updating and not measuring), then Changed().
    void Changed(const TRect& area, std::uint32_t info = AREAINFO_RECT);

    // In measuring mode drawing operations skip the pixel work and only
    // report the area they would touch, to handler.
    void BeginMeasuring(TAreaChangedEvent handler);
    void EndMeasuring();
    bool MeasuringMode() const { return m_measuring; }

    fw::TNotifyEvent OnChange;
    fw::TNotifyEvent OnResize;
    TAreaChangedEvent OnAreaChanged;
    TPixelCombineEvent OnPixelCombine;

    // --- lock ---------------------------------------------------------------
    void Lock();
    void Unlock();
    int LockCount() const { return m_lockCount; }

protected:
    // Creates storage for w x h pixels (w, h > 0, size already checked), every
    // pixel 0, and returns the pixels. Throws on failure with nothing held.
    virtual TColor32* AllocateStorage(int w, int h);
    virtual void ReleaseStorage();
    // Called after the pixels moved (new storage or none).
    virtual void StorageChanged() {}
    // For subclass destructors: release storage with their own override.
    void ResetStorageState();

private:
    int m_width = 0;
    int m_height = 0;
    TColor32* m_bits = nullptr;
    std::unique_ptr<TColor32[]> m_memory;  // plain storage of this class
    TRect m_clipRect;
    bool m_clipping = false;
    TDrawMode m_drawMode = dmOpaque;
    TCombineMode m_combineMode = cmBlend;
    TWrapMode m_wrapMode = wmClamp;
    unsigned m_masterAlpha = 255;
    TColor32 m_outerColor = 0;
    TColor32 m_penColor = 0xFFFFFFFF;
    std::unique_ptr<TCustomResampler> m_resampler;
    bool m_measuring = false;
    TAreaChangedEvent m_savedAreaChanged;
    int m_updateCount = 0;
    std::recursive_mutex m_lock;
    int m_lockCount = 0;
};

// RAII for TCustomBitmap32::Lock.
class TBitmapLock {
public:
    explicit TBitmapLock(TCustomBitmap32& bitmap) : m_bitmap(bitmap) { m_bitmap.Lock(); }
    ~TBitmapLock() { m_bitmap.Unlock(); }
    TBitmapLock(const TBitmapLock&) = delete;
    TBitmapLock& operator=(const TBitmapLock&) = delete;

private:
    TCustomBitmap32& m_bitmap;
};

// RAII for BeginUpdate / EndUpdate.
class TBitmapUpdate {
public:
    explicit TBitmapUpdate(TCustomBitmap32& bitmap) : m_bitmap(bitmap) { m_bitmap.BeginUpdate(); }
    ~TBitmapUpdate() { m_bitmap.EndUpdate(); }
    TBitmapUpdate(const TBitmapUpdate&) = delete;
    TBitmapUpdate& operator=(const TBitmapUpdate&) = delete;

private:
    TCustomBitmap32& m_bitmap;
};

// The bitmap the engine creates everywhere. On Windows its pixels live in a
// top-down 32-bit DIB section selected into its own memory device context;
// elsewhere it is the plain-memory bitmap.
class TBitmap32 : public TCustomBitmap32 {
    FW_CLASS(TBitmap32)

    TBitmap32();
    ~TBitmap32() override;

    void CopyPropertiesTo(TCustomBitmap32& dest) const override;

#ifdef _WIN32
    // The memory device context (null while the bitmap is empty).
    HDC Handle() const;
    fw::TFont& Font() const;
    void SetFont(const fw::TFont& font);
    // GDI drawing on Handle. GDI writes colour bytes only.
    fw::TCanvas& Canvas() const;
    bool CanvasAllocated() const { return m_canvas != nullptr; }

    using TCustomBitmap32::AssignFrom;
    // A framework TBitmap, PNG or JPEG graphic (drawn through GDI).
    void AssignFrom(const fw::TGraphic* graphic);
    void AssignFrom(const fw::TPicture* picture);

    // StretchDIBits 1:1 of the colour values; nothing when empty.
    void CopyToDC(HDC dc, int x, int y) const;
    // The same for the part of the bitmap in part (cut to the bitmap), its
    // top-left at (x, y).
    void CopyToDC(HDC dc, int x, int y, const TRect& part) const;
    // StretchBlt SRCCOPY from hsrc (srcRect) into dstRect; nothing when empty.
    void CopyFromDC(const TRect& dstRect, const TRect& srcRect, HDC hsrc);

    void TextOutAt(int x, int y, std::wstring_view text);
    void TextOutAt(int x, int y, std::string_view utf8);
    void TextOutInRect(const TRect& rect, unsigned flags, std::wstring_view text);
    void TextOutInRect(const TRect& rect, unsigned flags, std::string_view utf8);
    TSize MeasureText(std::wstring_view text) const;
    TSize MeasureText(std::string_view utf8) const;
    int MeasureTextWidth(std::wstring_view text) const { return MeasureText(text).cx; }
    int MeasureTextHeight(std::wstring_view text) const { return MeasureText(text).cy; }
    int MeasureTextWidth(std::string_view utf8) const { return MeasureText(utf8).cx; }
    int MeasureTextHeight(std::string_view utf8) const { return MeasureText(utf8).cy; }

    // Text with a real alpha channel; level -1..4 (see the implementation).
    void RenderAlphaText(int x, int y, std::wstring_view text, int level, TColor32 color);
    void RenderAlphaText(int x, int y, std::string_view utf8, int level, TColor32 color);
    void RenderAlphaTextInRect(const TRect& rect, unsigned flags, TColor32 color, std::wstring_view text);
    void RenderAlphaTextInRect(const TRect& rect, unsigned flags, TColor32 color, std::string_view utf8);
    void RenderAlphaTextInRectQ(const TRect& rect, unsigned flags, TColor32 color, int quality, std::wstring_view text);
    void RenderAlphaTextInRectQ(const TRect& rect, unsigned flags, TColor32 color, int quality, std::string_view utf8);

    fw::TNotifyEvent OnHandleChanged;

protected:
    TColor32* AllocateStorage(int w, int h) override;
    void ReleaseStorage() override;

private:
    struct TDib;
    struct TFontHolder;
    void FontChanged();
    HFONT FontHandle() const;
    void SelectFontInto(HDC dc) const;
    void PrepareText() const;
    // The font handle made again with the given quality (NONANTIALIASED_QUALITY
    // and so on); "Default" as face name stands for the framework's default.
    void RebuildFont(int quality);
    void RenderAlphaTextInRectAt(const TRect& rect, unsigned flags, TColor32 color, std::wstring_view text);

    std::unique_ptr<TDib> m_dib;
    std::unique_ptr<TFontHolder> m_fontHolder;
    std::unique_ptr<fw::TFont> m_font;
    mutable std::unique_ptr<fw::TCanvas> m_canvas;
#endif
};

// --- drawing one bitmap onto another ---------------------------------------
// Every variant does nothing when src is nullptr; a null dst raises
// "Destination bitmap is nil". The source's draw mode, master alpha and
// resampler decide how its pixels combine with the destination's.

void DrawAt(TCustomBitmap32* dst, int x, int y, const TCustomBitmap32* src);
void DrawPartAt(TCustomBitmap32* dst, int x, int y, const TRect& srcRect, const TCustomBitmap32* src);
void DrawStretched(TCustomBitmap32* dst, const TRect& dstRect, const TRect& srcRect, const TCustomBitmap32* src);
void DrawStretched(TCustomBitmap32* dst, const TRect& dstRect, const TCustomBitmap32* src);

inline void DrawAt(TCustomBitmap32& dst, int x, int y, const TCustomBitmap32& src) { DrawAt(&dst, x, y, &src); }
inline void DrawPartAt(TCustomBitmap32& dst, int x, int y, const TRect& srcRect, const TCustomBitmap32& src)
{
    DrawPartAt(&dst, x, y, srcRect, &src);
}
inline void DrawStretched(TCustomBitmap32& dst, const TRect& dstRect, const TRect& srcRect, const TCustomBitmap32& src)
{
    DrawStretched(&dst, dstRect, srcRect, &src);
}
inline void DrawStretched(TCustomBitmap32& dst, const TRect& dstRect, const TCustomBitmap32& src)
{
    DrawStretched(&dst, dstRect, &src);
}

// The draw core. BlockTransfer draws srcRect of src unscaled with its corner
// at (dstX, dstY), touching only dstClip; StretchTransfer stretches srcRect
// into dstRect, touching only dstClip.
void BlockTransfer(TCustomBitmap32* dst, int dstX, int dstY, const TRect& dstClip, const TCustomBitmap32* src,
                   TRect srcRect);
void StretchTransfer(TCustomBitmap32* dst, TRect dstRect, const TRect& dstClip, const TCustomBitmap32* src,
                     TRect srcRect);

// Combines a row of source pixels f into the destination row b by src's
// draw mode (dmOpaque store, dmBlend BlendRow / BlendRowMaster, dmTransparent
// skip OuterColor, dmCustom OnPixelCombine).
void CombineRow(const TCustomBitmap32& src, const TColor32* f, TColor32* b, std::size_t n);
// The same for one sample with the single-pixel operators (TransformDraw):
// dmBlend uses BlendPixelMaster with the source's MasterAlpha.
void CombinePixel(const TCustomBitmap32& src, TColor32 f, TColor32& b);

}  // namespace ks
