#include "framework/Graphics_win.h"

#include "framework/Dib_win.h"
#include "framework/ImageDecoding.h"
#include "framework/SystemLibrary_win.h"
#include "framework/TypInfo.h"
#include "framework/WideText_win.h"

#include <algorithm>
#include <cstring>

namespace fw {

const TClassInfo& TGraphic::StaticClass()
{
    static const TClassInfo& info = DefineClass<TGraphic, TPersistent>("TGraphic").Register();
    return info;
}

const TClassInfo& TBitmap::StaticClass()
{
    static const TClassInfo& info = DefineClass<TBitmap, TGraphic>("TBitmap").Register();
    return info;
}

// ---------------------------------------------------------------------------
// TGraphic

TGraphic::~TGraphic() = default;

void TGraphic::SetTransparent(bool value)
{
    if (value == m_transparent)
        return;
    m_transparent = value;
    Changed();
}

void TGraphic::Changed()
{
    if (m_onChange)
        m_onChange(this);
}

void TGraphic::LoadFromFile(const std::wstring& fileName)
{
    std::vector<std::uint8_t> bytes = ReadFileBytes(fileName);
    LoadFromBytes(bytes);
}

void TGraphic::LoadFromFile(const std::string& utf8FileName) { LoadFromFile(Utf8ToWide(utf8FileName)); }

// ---------------------------------------------------------------------------
// TBitmapCanvas

TBitmapCanvas::TBitmapCanvas(TBitmap& bitmap) : m_bitmap(bitmap) {}

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::CreateHandle()
{
    auto dc = std::make_unique<ScopedCreateDC>(nullptr);
    if (!*dc)
        throw EFrameworkError("Can't create compatible DC");
    std::unique_ptr<ScopedSelectObject> selected;
    if (m_bitmap.HandleAllocated())
        selected = std::make_unique<ScopedSelectObject>(dc->Get(), m_bitmap.Handle());
    m_memoryDC = std::move(dc);
    m_selected = std::move(selected);
    AdoptHandle(m_memoryDC->Get());
}

void TBitmapCanvas::FreeContext()
{
    if (!m_memoryDC)
        return;
    DeselectHandles();
    AdoptHandle(nullptr);
    m_selected.reset();
    m_memoryDC.reset();
}

// ---------------------------------------------------------------------------
// TBitmap

namespace {

int BitsOf(TPixelFormat format)
{
    switch (format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf15bit:
        return 16;
    case pf16bit:
        return 16;
    case pf24bit:
        return 24;
    case pf32bit:
        return 32;
    default:
        return 0;
    }
}

// A top-down DIB section of the given format with a plain palette for the
// indexed ones; bits, when given, receives the address of its pixels.
HBITMAP CreateDib(int width, int height, TPixelFormat format, void** bits = nullptr)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{};
    info.header = TopDownDibHeader(width, height, static_cast<WORD>(BitsOf(format)));
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
    void* pixels = nullptr;
    HBITMAP bmp =
        ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits)
        *bits = pixels;
    return bmp;
}

HBITMAP CreateBitmapOf(int width, int height, TPixelFormat format)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    HBITMAP bmp = nullptr;
    if (format == pfDevice || format == pfCustom) {
        ScopedGetDC screen(nullptr);
        bmp = ::CreateCompatibleBitmap(screen.Get(), width, height);
    } else {
        bmp = CreateDib(width, height, format);
    }
    if (!bmp)
        throw EInvalidGraphic("Can't allocate the bitmap handle");
    return bmp;
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) : m_pixelFormat(format) { SetSize(width, height); }

TBitmap::~TBitmap()
{
    m_canvas.reset();  // lets go of the bitmap before it is deleted
}

void TBitmap::Replace(HBITMAP bitmap)
{
    if (m_canvas)
        m_canvas->FreeContext();
    m_handle.Reset(bitmap);
    ReadFormat();
}

void TBitmap::ReadFormat()
{
    m_width = m_height = 0;
    if (!m_handle)
        return;
    DIBSECTION ds{};
    int got = ::GetObjectW(m_handle.Get(), sizeof(ds), &ds);
    if (got == sizeof(DIBSECTION)) {
        m_width = ds.dsBm.bmWidth;
        m_height = ds.dsBm.bmHeight;
        // Wine: the header of a top-down section may come back with a positive
        // height; callers that made the section say which way it runs.
        m_topDown = ds.dsBmih.biHeight < 0;
        switch (ds.dsBmih.biBitCount) {
        case 1:
            m_pixelFormat = pf1bit;
            break;
        case 4:
            m_pixelFormat = pf4bit;
            break;
        case 8:
            m_pixelFormat = pf8bit;
            break;
        case 16:
            m_pixelFormat =
                (ds.dsBmih.biCompression == BI_BITFIELDS && ds.dsBitfields[1] == 0x07E0) ? pf16bit : pf15bit;
            break;
        case 24:
            m_pixelFormat = pf24bit;
            break;
        case 32:
            m_pixelFormat = pf32bit;
            break;
        default:
            m_pixelFormat = pfCustom;
            break;
        }
    } else {
        BITMAP bm{};
        ::GetObjectW(m_handle.Get(), sizeof(bm), &bm);
        m_width = bm.bmWidth;
        m_height = bm.bmHeight;
        m_pixelFormat = pfDevice;
    }
}

void TBitmap::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == m_width && height == m_height)
        return;
    Replace(CreateBitmapOf(width, height, m_pixelFormat));
    m_topDown = true;  // CreateDib makes top-down sections
    m_width = width;   // an empty bitmap has no handle but keeps a size of 0
    m_height = height;
    if (!m_handle)
        m_width = m_height = 0;
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    if (format == m_pixelFormat)
        return;
    if (!m_handle) {
        m_pixelFormat = format;
        Changed();
        return;
    }
    ScopedBitmap converted(CreateBitmapOf(m_width, m_height, format));
    {
        ScopedCreateDC src(nullptr), dst(nullptr);
        if (m_canvas)
            m_canvas->FreeContext();
        ScopedSelectObject selSrc(src.Get(), m_handle.Get());
        ScopedSelectObject selDst(dst.Get(), converted.Get());
        ::BitBlt(dst.Get(), 0, 0, m_width, m_height, src.Get(), 0, 0, SRCCOPY);
    }
    Replace(converted.Release());
    m_topDown = true;
    m_pixelFormat = format;
    Changed();
}

TColor TBitmap::TransparentColor()
{
    if (m_transparentMode == tmFixed && m_transparentColor != clDefault)
        return m_transparentColor;
    if (Empty())
        return clDefault;
    return Canvas().Pixel(0, m_height - 1);
}

void TBitmap::SetTransparentColor(TColor color)
{
    m_transparentColor = color;
    m_transparentMode = color == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetHandle(HBITMAP bitmap)
{
    if (bitmap == m_handle.Get())
        return;
    Replace(bitmap);
    Changed();
}

HBITMAP TBitmap::ReleaseHandle()
{
    if (m_canvas)
        m_canvas->FreeContext();
    HBITMAP h = m_handle.Release();
    m_width = m_height = 0;
    return h;
}

TCanvas& TBitmap::Canvas()
{
    if (!m_canvas)
        m_canvas = std::make_unique<TBitmapCanvas>(*this);
    return *m_canvas;
}

int TBitmap::BytesPerScanLine() const
{
    int bits = BitsOf(m_pixelFormat);
    if (bits == 0)
        return 0;
    return ((m_width * bits + 31) / 32) * 4;
}

void* TBitmap::ScanLine(int y)
{
    if (!m_handle || y < 0 || y >= m_height)
        return nullptr;
    DIBSECTION ds{};
    if (::GetObjectW(m_handle.Get(), sizeof(ds), &ds) != sizeof(DIBSECTION) || !ds.dsBm.bmBits)
        return nullptr;
    ::GdiFlush();
    auto* bits = static_cast<std::uint8_t*>(ds.dsBm.bmBits);
    int stride = ds.dsBm.bmWidthBytes;
    int row = m_topDown ? y : (m_height - 1 - y);  // bottom-up DIBs keep the last row first
    return bits + static_cast<ptrdiff_t>(row) * stride;
}

void TBitmap::Assign(const TPersistent& source)
{
    if (auto* other = dynamic_cast<const TBitmap*>(&source)) {
        if (other == this)
            return;
        auto& src = const_cast<TBitmap&>(*other);
        if (m_canvas)
            m_canvas->FreeContext();
        m_pixelFormat = src.m_pixelFormat;
        m_transparentColor = src.m_transparentColor;
        m_transparentMode = src.m_transparentMode;
        if (!src.m_handle) {
            m_handle.Reset();
            m_width = m_height = 0;
        } else {
            ScopedBitmap copy(CreateBitmapOf(src.m_width, src.m_height, src.m_pixelFormat));
            {
                if (src.m_canvas)
                    src.m_canvas->FreeContext();
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

void TBitmap::Draw(TCanvas& canvas, const TRect& r)
{
    if (Empty() || r.IsEmpty())
        return;
    HDC dst = canvas.Handle();
    if (!dst)
        return;
    HDC src = Canvas().Handle();
    if (!src)
        return;
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

namespace {

// Decodes straight into a 32-bit top-down DIB section.
class TDibSink : public TImageSink {
public:
    std::uint32_t* SetSize(int width, int height) override
    {
        void* pixels = nullptr;
        m_bitmap.Reset(CreateDib(width, height, pf32bit, &pixels));
        if (!m_bitmap || !pixels)
            throw EInvalidGraphic("Can't allocate the bitmap handle");
        return static_cast<std::uint32_t*>(pixels);
    }
    ScopedBitmap& Bitmap() { return m_bitmap; }

private:
    ScopedBitmap m_bitmap;
};

}  // namespace

// One decoder reads bitmap files everywhere (framework/BmpDecoder.cpp): the
// pixels come as 32 bits; a 24-bit file keeps its 24-bit format.
void TBitmap::LoadFromBytes(std::span<const std::uint8_t> data)
{
    TDibSink sink;
    TBmpInfo info;
    try {
        info = DecodeBmp(data, sink);
    } catch (const EImageError&) {
        throw EInvalidGraphic("Bitmap image is not valid");
    }
    ::GdiFlush();
    Replace(sink.Bitmap().Release());
    m_topDown = true;
    if (info.BitCount == 24)
        SetPixelFormat(pf24bit);
    Changed();
}

void TBitmap::LoadFromFile(const std::wstring& fileName)
{
    std::vector<std::uint8_t> bytes = ReadFileBytes(fileName);
    LoadFromBytes(bytes);
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::wstring& name)
{
    HANDLE h = ::LoadImageW(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!h)
        throw EInvalidGraphic("Bitmap resource \"" + WideToUtf8(name) + "\" not found");
    Replace(static_cast<HBITMAP>(h));
    Changed();
}

}  // namespace fw
