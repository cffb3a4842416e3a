#include "skin/render/Bitmap32.h"

#include "skin/render/Resamplers.h"

#include "framework/ScopeGuard.h"
#include "framework/TypInfo.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <string>

namespace ks {

namespace {

TRect Cut(const TRect& a, const TRect& b) { return fw::IntersectRect(a, b); }

// A double pinned to the int range (coordinates far outside any bitmap).
int PinToInt(double v)
{
    if (!(v > -2147483648.0))
        return INT_MIN;
    if (!(v < 2147483647.0))
        return INT_MAX;
    return static_cast<int>(v);
}

int PinToInt(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX)); }

// Extents in 64 bits: a rectangle may span more than the int range.
std::int64_t Width64(const TRect& r) { return static_cast<std::int64_t>(r.Right) - r.Left; }
std::int64_t Height64(const TRect& r) { return static_cast<std::int64_t>(r.Bottom) - r.Top; }

void StoreLE32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint32_t LoadLE32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

// ---------------------------------------------------------------------------
// Registration: the published properties that component streams set on a
// bitmap (Bitmap.DrawMode, Bitmap.ResamplerClassName, Bitmap.Data, ...).

const fw::TClassInfo& TCustomBitmap32::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TCustomBitmap32, fw::TPersistent>("TCustomBitmap32")
            .Enum("DrawMode", &TCustomBitmap32::DrawMode, &TCustomBitmap32::SetDrawMode,
                  {"dmOpaque", "dmBlend", "dmCustom", "dmTransparent"}, dmOpaque)
            .Enum("CombineMode", &TCustomBitmap32::CombineMode, &TCustomBitmap32::SetCombineMode,
                  {"cmBlend", "cmMerge"}, cmBlend)
            .Enum("WrapMode", &TCustomBitmap32::WrapMode, &TCustomBitmap32::SetWrapMode,
                  {"wmClamp", "wmRepeat", "wmMirror"}, wmClamp)
            .Int(
                "MasterAlpha", &TCustomBitmap32::MasterAlpha,
                [](TCustomBitmap32& b, std::int64_t v) {
                    b.SetMasterAlpha(static_cast<int>(std::clamp<std::int64_t>(v, 0, 255)));
                },
                255)
            .Int("OuterColor", &TCustomBitmap32::OuterColor, &TCustomBitmap32::SetOuterColor, 0)
            .String("ResamplerClassName", &TCustomBitmap32::ResamplerClassName, &TCustomBitmap32::SetResamplerClassName)
            .Binary("Data", &TCustomBitmap32::LoadData, &TCustomBitmap32::SaveData)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TCustomBitmap32)

const fw::TClassInfo& TBitmap32::StaticClass()
{
    static const fw::TClassInfo& info = fw::DefineClass<TBitmap32, TCustomBitmap32>("TBitmap32").Register();
    return info;
}
FW_REGISTER_CLASS(TBitmap32)

// ---------------------------------------------------------------------------
// Life cycle and storage

TCustomBitmap32::TCustomBitmap32() : m_resampler(std::make_unique<TNearestResampler>()) {}

TCustomBitmap32::~TCustomBitmap32()
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    ResetStorageState();
}

TColor32* TCustomBitmap32::AllocateStorage(int w, int h)
{
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    TColor32* pixels = new (std::nothrow) TColor32[count];
    if (pixels == nullptr)
        throw ERenderError("Out of memory for a bitmap of " + std::to_string(w) + " x " + std::to_string(h));
    std::memset(pixels, 0, count * sizeof(TColor32));
    m_memory.reset(pixels);
    return pixels;
}

void TCustomBitmap32::ReleaseStorage() { m_memory.reset(); }

void TCustomBitmap32::ResetStorageState()
{
    m_memory.reset();
    m_bits = nullptr;
    m_width = 0;
    m_height = 0;
}

bool TCustomBitmap32::Resize(int w, int h)
{
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (w == m_width && h == m_height)
        return false;

    {
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        if (m_bits != nullptr) {
            ReleaseStorage();
            m_bits = nullptr;
        }
        m_width = 0;
        m_height = 0;
        m_clipRect = TRect{};
        m_clipping = false;
        if (w > 0 && h > 0) {
            const std::uint64_t bytes = static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) * 4u;
            if (bytes > kMaxBitmapBytes || bytes > SIZE_MAX) {
                StorageChanged();
                throw ERenderError("Bitmap size " + std::to_string(w) + " x " + std::to_string(h) + " is too large");
            }
            auto undo = fw::OnScopeExit([this] {
                m_bits = nullptr;
                StorageChanged();
            });
            m_bits = AllocateStorage(w, h);
            undo.Dismiss();
        }
        m_width = w;
        m_height = h;
        m_clipRect = BoundsRect();
        StorageChanged();
    }
    Changed();
    if (OnResize)
        OnResize(this);
    return true;
}

TColor32 TCustomBitmap32::PixelSafe(int x, int y) const
{
    if (m_bits == nullptr || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return m_outerColor;
    return PixelAt(x, y);
}

void TCustomBitmap32::MakeOpaque()
{
    if (m_measuring || IsEmpty())
        return;
    const std::size_t count = static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height);
    for (std::size_t i = 0; i < count; ++i)
        m_bits[i] |= 0xFF000000u;
    Changed();
}

void TCustomBitmap32::Clear(TColor32 v) { FillArea(0, 0, m_width, m_height, v); }

// ---------------------------------------------------------------------------
// Copying

void TCustomBitmap32::AssignFrom(const TCustomBitmap32* source)
{
    if (source == this)
        return;
    BeginUpdate();
    {
        auto done = fw::OnScopeExit([this] { EndUpdate(); });
        if (source == nullptr) {
            Resize(0, 0);
        } else {
            source->CopyPropertiesTo(*this);
            Resize(source->Width(), source->Height());
            if (!IsEmpty() && !source->IsEmpty())
                std::memcpy(m_bits, source->Bits(),
                            static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height) * 4u);
        }
    }
    Changed();
}

void TCustomBitmap32::CopyPropertiesTo(TCustomBitmap32& dest) const
{
    if (&dest == this)
        return;
    dest.m_drawMode = m_drawMode;
    dest.m_combineMode = m_combineMode;
    dest.m_wrapMode = m_wrapMode;
    dest.m_masterAlpha = m_masterAlpha;
    dest.m_outerColor = m_outerColor;
    dest.SetResampler(m_resampler->Clone());
}

void TCustomBitmap32::Assign(const fw::TPersistent& source)
{
    if (const auto* bitmap = dynamic_cast<const TCustomBitmap32*>(&source)) {
        AssignFrom(bitmap);
        return;
    }
    fw::TPersistent::Assign(source);
}

// ---------------------------------------------------------------------------
// Clipping and draw properties

void TCustomBitmap32::SetClipRect(const TRect& r)
{
    m_clipRect = Cut(r, BoundsRect());
    m_clipping = m_clipRect != BoundsRect();
}

void TCustomBitmap32::SetDrawMode(TDrawMode mode)
{
    if (mode != m_drawMode) {
        m_drawMode = mode;
        Changed();
    }
}

void TCustomBitmap32::SetCombineMode(TCombineMode mode)
{
    if (mode != m_combineMode) {
        m_combineMode = mode;
        Changed();
    }
}

void TCustomBitmap32::SetWrapMode(TWrapMode mode)
{
    if (mode != m_wrapMode) {
        m_wrapMode = mode;
        Changed();
    }
}

void TCustomBitmap32::SetMasterAlpha(int alpha)
{
    const unsigned a = static_cast<unsigned>(std::clamp(alpha, 0, 255));
    if (a != m_masterAlpha) {
        m_masterAlpha = a;
        Changed();
    }
}

void TCustomBitmap32::SetOuterColor(TColor32 color)
{
    if (color != m_outerColor) {
        m_outerColor = color;
        Changed();
    }
}

void TCustomBitmap32::SetResampler(std::unique_ptr<TCustomResampler> resampler)
{
    m_resampler = resampler ? std::move(resampler) : std::make_unique<TNearestResampler>();
    Changed();
}

std::string TCustomBitmap32::ResamplerClassName() const { return m_resampler->ClassName(); }

void TCustomBitmap32::SetResamplerClassName(const std::string& name)
{
    if (fw::SameText(name, m_resampler->ClassName()))
        return;
    std::unique_ptr<TCustomResampler> resampler = CreateResampler(name);
    if (!resampler)
        throw ERenderError("Unknown resampler class '" + name + "'");
    SetResampler(std::move(resampler));
}

// ---------------------------------------------------------------------------
// Fills and primitives

void TCustomBitmap32::FillArea(int x1, int y1, int x2, int y2, TColor32 v)
{
    if (m_bits == nullptr || y2 <= y1)
        return;
    // The area is not clipped to ClipRect; it is cut to the bounds so that a
    // careless caller cannot write outside the pixels.
    const TRect area = Cut(TRect(x1, y1, x2, y2), BoundsRect());
    if (!area.IsEmpty() && !m_measuring) {
        for (int y = area.Top; y < area.Bottom; ++y)
            FillRow(ScanLine(y) + area.Left, static_cast<std::size_t>(area.Width()), v);
    }
    Changed(TRect(x1, y1, x2, y2));
}

void TCustomBitmap32::FillAreaClipped(int x1, int y1, int x2, int y2, TColor32 v)
{
    if (x2 <= x1 || y2 <= y1 || m_measuring)
        return;
    const TRect area = Cut(TRect(x1, y1, x2, y2), m_clipRect);
    if (area.IsEmpty())
        return;
    FillArea(area.Left, area.Top, area.Right, area.Bottom, v);
}

void TCustomBitmap32::FillAreaMixed(int x1, int y1, int x2, int y2, TColor32 v)
{
    if (x2 <= x1 || y2 <= y1)
        return;
    const TRect area = Cut(TRect(x1, y1, x2, y2), m_clipRect);
    if (area.IsEmpty() || m_bits == nullptr)
        return;
    const unsigned alpha = AlphaOf(v);
    if (alpha == 255) {
        FillArea(area.Left, area.Top, area.Right, area.Bottom, v);
        return;
    }
    if (alpha == 0)
        return;
    if (!m_measuring) {
        for (int y = area.Top; y < area.Bottom; ++y)
            MixRow(v, ScanLine(y) + area.Left, static_cast<std::size_t>(area.Width()), alpha);
    }
    Changed(area);
}

void TCustomBitmap32::FillRowSpan(int x1, int y, int x2, TColor32 v)
{
    if (m_bits == nullptr || y < 0 || y >= m_height)
        return;
    const int left = std::max(x1, 0);
    const int right = std::min(x2, m_width - 1);
    if (right >= left && !m_measuring)
        FillRow(ScanLine(y) + left, static_cast<std::size_t>(right - left + 1), v);
    Changed(TRect(x1, y, PinToInt(static_cast<std::int64_t>(x2) + 1), y + 1));
}

void TCustomBitmap32::PutPixelBlended(int x, int y, TColor32 v)
{
    if (m_bits == nullptr || !m_clipRect.Contains(TPoint(x, y)))
        return;
    if (!m_measuring) {
        TColor32& p = PixelAt(x, y);
        p = BlendPixel(v, p);
    }
    Changed(TRect(x, y, x + 1, y + 1));
}

// ---------------------------------------------------------------------------
// Streamed pixel data

std::vector<std::uint8_t> TCustomBitmap32::SaveData() const
{
    std::vector<std::uint8_t> out;
    const std::size_t count = IsEmpty() ? 0 : static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height);
    out.reserve(8 + count * 4);
    StoreLE32(out, static_cast<std::uint32_t>(m_width));
    StoreLE32(out, static_cast<std::uint32_t>(m_height));
    for (std::size_t i = 0; i < count; ++i)
        StoreLE32(out, m_bits[i]);
    return out;
}

void TCustomBitmap32::LoadData(std::span<const std::uint8_t> data)
{
    if (data.size() < 8)
        throw ERenderError("Bitmap data too short: " + std::to_string(data.size()) + " bytes, the size needs 8");
    const auto w = static_cast<std::int32_t>(LoadLE32(data.data()));
    const auto h = static_cast<std::int32_t>(LoadLE32(data.data() + 4));
    if (w < 0 || h < 0)
        throw ERenderError("Bitmap data has a negative size " + std::to_string(w) + " x " + std::to_string(h));
    // Declared size checked against what is there before anything is
    // allocated: damaged data must not make us reserve gigabytes.
    const std::uint64_t pixels = (w == 0 || h == 0) ? 0 : static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h);
    const std::uint64_t available = data.size() - 8;
    if (pixels > available / 4)
        throw ERenderError("Bitmap data too short: " + std::to_string(w) + " x " + std::to_string(h) + " needs " +
                           std::to_string(pixels * 4) + " bytes of pixels, " + std::to_string(available) +
                           " available");
    BeginUpdate();
    {
        auto done = fw::OnScopeExit([this] { EndUpdate(); });
        Resize(w, h);
        if (m_bits != nullptr)
            for (std::size_t i = 0; i < pixels; ++i)
                m_bits[i] = LoadLE32(data.data() + 8 + i * 4);
    }
    Changed();
}

// ---------------------------------------------------------------------------
// Change notification, measuring, lock

void TCustomBitmap32::Changed()
{
    if (m_updateCount == 0 && !m_measuring && OnChange)
        OnChange(this);
}

void TCustomBitmap32::Changed(const TRect& area, std::uint32_t info)
{
    if ((m_updateCount == 0 || m_measuring) && OnAreaChanged)
        OnAreaChanged(this, area, info);
    Changed();
}

void TCustomBitmap32::BeginMeasuring(TAreaChangedEvent handler)
{
    if (!m_measuring)
        m_savedAreaChanged = std::move(OnAreaChanged);
    OnAreaChanged = std::move(handler);
    m_measuring = true;
}

void TCustomBitmap32::EndMeasuring()
{
    if (!m_measuring)
        return;
    m_measuring = false;
    OnAreaChanged = std::move(m_savedAreaChanged);
    m_savedAreaChanged = nullptr;
}

void TCustomBitmap32::Lock()
{
    m_lock.lock();
    ++m_lockCount;
}

void TCustomBitmap32::Unlock()
{
    --m_lockCount;
    m_lock.unlock();
}

// ---------------------------------------------------------------------------
// TBitmap32 outside Windows: the plain-memory bitmap.

#ifndef _WIN32
TBitmap32::TBitmap32() = default;
TBitmap32::~TBitmap32() = default;
void TBitmap32::CopyPropertiesTo(TCustomBitmap32& dest) const { TCustomBitmap32::CopyPropertiesTo(dest); }
#endif

// ---------------------------------------------------------------------------
// The draw core

void CombineRow(const TCustomBitmap32& src, const TColor32* f, TColor32* b, std::size_t n)
{
    switch (src.DrawMode()) {
    case dmBlend:
        if (src.MasterAlpha() >= 255)
            BlendRow(f, b, n);
        else
            BlendRowMaster(f, b, n, src.MasterAlpha());
        return;
    case dmTransparent: {
        const TColor32 key = src.OuterColor();
        for (std::size_t i = 0; i < n; ++i)
            if (f[i] != key)
                b[i] = f[i];
        return;
    }
    case dmCustom:
        if (src.OnPixelCombine) {
            for (std::size_t i = 0; i < n; ++i)
                src.OnPixelCombine(f[i], b[i], src.MasterAlpha());
            return;
        }
        break;  // without a handler it copies
    case dmOpaque:
        break;
    }
    std::memmove(b, f, n * sizeof(TColor32));
}

void CombinePixel(const TCustomBitmap32& src, TColor32 f, TColor32& b)
{
    switch (src.DrawMode()) {
    case dmBlend:
        b = BlendPixelMaster(f, b, src.MasterAlpha());
        return;
    case dmTransparent:
        if (f != src.OuterColor())
            b = f;
        return;
    case dmCustom:
        if (src.OnPixelCombine) {
            src.OnPixelCombine(f, b, src.MasterAlpha());
            return;
        }
        break;
    case dmOpaque:
        break;
    }
    b = f;
}

namespace {

bool SkipsAll(const TCustomBitmap32& src) { return src.DrawMode() == dmBlend && src.MasterAlpha() == 0; }

}  // namespace

void BlockTransfer(TCustomBitmap32* dst, int dstX, int dstY, const TRect& dstClip, const TCustomBitmap32* src,
                   TRect srcRect)
{
    if (dst == nullptr)
        throw ERenderError("Destination bitmap is nil");
    if (src == nullptr)
        throw ERenderError("Source bitmap is nil");
    if (dst->IsEmpty() || src->IsEmpty() || SkipsAll(*src))
        return;

    srcRect = Cut(srcRect, src->BoundsRect());
    if (srcRect.IsEmpty())
        return;
    TRect dstRect(dstX, dstY, PinToInt(static_cast<std::int64_t>(dstX) + srcRect.Width()),
                  PinToInt(static_cast<std::int64_t>(dstY) + srcRect.Height()));
    dstRect = Cut(dstRect, Cut(dstClip, dst->BoundsRect()));
    if (dstRect.IsEmpty())
        return;
    srcRect.Left = PinToInt(srcRect.Left + (static_cast<std::int64_t>(dstRect.Left) - dstX));
    srcRect.Top = PinToInt(srcRect.Top + (static_cast<std::int64_t>(dstRect.Top) - dstY));

    if (!dst->MeasuringMode()) {
        const int w = dstRect.Width();
        const int h = dstRect.Height();
        // Drawing a bitmap onto itself: take the source rows from a copy so
        // that overlapping rows are read before they are written.
        std::vector<TColor32> copy;
        const TColor32* from = src->ScanLine(srcRect.Top) + srcRect.Left;
        std::ptrdiff_t fromStride = src->Width();
        if (src == dst) {
            copy.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
            for (int y = 0; y < h; ++y)
                std::memcpy(copy.data() + static_cast<std::size_t>(y) * w, from + y * fromStride,
                            static_cast<std::size_t>(w) * sizeof(TColor32));
            from = copy.data();
            fromStride = w;
        }
        for (int y = 0; y < h; ++y)
            CombineRow(*src, from + y * fromStride, dst->ScanLine(dstRect.Top + y) + dstRect.Left,
                       static_cast<std::size_t>(w));
    }
    dst->Changed(dstRect);
}

void StretchTransfer(TCustomBitmap32* dst, TRect dstRect, const TRect& dstClip, const TCustomBitmap32* src,
                     TRect srcRect)
{
    if (dst == nullptr)
        throw ERenderError("Destination bitmap is nil");
    if (src == nullptr)
        throw ERenderError("Source bitmap is nil");
    if (dst->IsEmpty() || src->IsEmpty() || SkipsAll(*src) || srcRect.IsEmpty() || dstRect.IsEmpty())
        return;

    const TRect clip = Cut(Cut(dstClip, dst->BoundsRect()), dstRect);
    if (clip.IsEmpty())
        return;

    if (Width64(srcRect) == Width64(dstRect) && Height64(srcRect) == Height64(dstRect)) {
        BlockTransfer(dst, dstRect.Left, dstRect.Top, clip, src, srcRect);
        return;
    }

    if (!dst->MeasuringMode()) {
        if (src == dst) {
            TCustomBitmap32 copy;
            copy.AssignFrom(src);
            src->Resampler().Resample(*dst, dstRect, clip, copy, srcRect);
        } else {
            src->Resampler().Resample(*dst, dstRect, clip, *src, srcRect);
        }
    }
    dst->Changed(dstRect);
}

void DrawAt(TCustomBitmap32* dst, int x, int y, const TCustomBitmap32* src)
{
    if (src == nullptr)
        return;
    if (dst == nullptr)
        throw ERenderError("Destination bitmap is nil");
    BlockTransfer(dst, x, y, dst->ClipRect(), src, src->BoundsRect());
}

void DrawPartAt(TCustomBitmap32* dst, int x, int y, const TRect& srcRect, const TCustomBitmap32* src)
{
    if (src == nullptr)
        return;
    if (dst == nullptr)
        throw ERenderError("Destination bitmap is nil");
    BlockTransfer(dst, x, y, dst->ClipRect(), src, srcRect);
}

void DrawStretched(TCustomBitmap32* dst, const TRect& dstRect, const TRect& srcRect, const TCustomBitmap32* src)
{
    if (src == nullptr)
        return;
    if (dst == nullptr)
        throw ERenderError("Destination bitmap is nil");

    TRect d = dstRect;
    TRect s = srcRect;
    // A source rectangle reaching outside the source is cut, and the
    // destination shrinks in proportion.
    if (Width64(s) > 0 && Height64(s) > 0) {
        const double sx = static_cast<double>(Width64(d)) / static_cast<double>(Width64(s));
        const double sy = static_cast<double>(Height64(d)) / static_cast<double>(Height64(s));
        if (s.Left < 0) {
            d.Left = PinToInt(d.Left + std::ceil(-static_cast<double>(s.Left) * sx));
            s.Left = 0;
        }
        if (s.Top < 0) {
            d.Top = PinToInt(d.Top + std::ceil(-static_cast<double>(s.Top) * sy));
            s.Top = 0;
        }
        if (s.Right > src->Width()) {
            d.Right = PinToInt(d.Right - std::floor(static_cast<double>(s.Right - src->Width()) * sx));
            s.Right = src->Width();
        }
        if (s.Bottom > src->Height()) {
            d.Bottom = PinToInt(d.Bottom - std::floor(static_cast<double>(s.Bottom - src->Height()) * sy));
            s.Bottom = src->Height();
        }
    }
    StretchTransfer(dst, d, dst->ClipRect(), src, s);
}

void DrawStretched(TCustomBitmap32* dst, const TRect& dstRect, const TCustomBitmap32* src)
{
    if (src == nullptr)
        return;
    DrawStretched(dst, dstRect, src->BoundsRect(), src);
}

}  // namespace ks
