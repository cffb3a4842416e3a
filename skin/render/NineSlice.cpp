#include "skin/render/NineSlice.h"

#include "skin/render/Resamplers.h"
#include "skin/render/Transform.h"

#include <algorithm>
#include <cmath>

namespace ks {

std::unique_ptr<TBitmap32> NewBitmap32() { return std::make_unique<TBitmap32>(); }

std::array<TSlicePiece, 9> NineSlicePieces(TSize srcSize, TSize dstSize, const TRect& m)
{
    const int sw = srcSize.cx, sh = srcSize.cy;
    const int dw = dstSize.cx, dh = dstSize.cy;
    const int dr = dw - (sw - m.Right);
    const int db = dh - (sh - m.Bottom);
    using K = TSlicePieceKind;
    return {{
        {{m.Left, m.Top, m.Right, m.Bottom}, {m.Left, m.Top, dr, db}, K::Stretched},  // middle
        {{0, m.Top, m.Left, m.Bottom}, {0, m.Top, m.Left, db}, K::Stretched},         // left edge
        {{m.Left, 0, m.Right, m.Top}, {m.Left, 0, dr, m.Top}, K::Tiled},              // top edge
        {{m.Right, m.Top, sw, m.Bottom}, {dr, m.Top, dw, db}, K::Stretched},          // right edge
        {{m.Left, m.Bottom, m.Right, sh}, {m.Left, db, dr, dh}, K::Tiled},            // bottom edge
        {{0, 0, m.Left, m.Top}, {0, 0, m.Left, m.Top}, K::Copied},                    // top-left
        {{m.Right, 0, sw, m.Top}, {dr, 0, dw, m.Top}, K::Copied},                     // top-right
        {{0, m.Bottom, m.Left, sh}, {0, db, m.Left, dh}, K::Copied},                  // bottom-left
        {{m.Right, m.Bottom, sw, sh}, {dr, db, dw, dh}, K::Copied},                   // bottom-right
    }};
}

TRect NineSliceThirdsMiddle(TSize srcSize, TSize dstSize)
{
    const int w3 = std::max(srcSize.cx / 3, 1);
    const int h3 = std::max(srcSize.cy / 3, 1);
    TRect m(w3, h3, 2 * w3, 2 * h3);
    // A direction whose size does not change becomes a plain copy: carried by
    // the right column (or the bottom row). Equal heights win.
    if (srcSize.cx == dstSize.cx)
        m = TRect(0, h3, 0, 2 * h3);
    if (srcSize.cy == dstSize.cy)
        m = TRect(w3, 0, 2 * w3, 0);
    return m;
}

void DrawNineSlice(const TBitmap32* src, TBitmap32* dst, const TRect& middle, bool viaGdi)
{
    if (src == nullptr || dst == nullptr || src->IsEmpty() || dst->IsEmpty())
        return;
    const TSize srcSize(src->Width(), src->Height());
    const TSize dstSize(dst->Width(), dst->Height());
    for (const TSlicePiece& piece : NineSlicePieces(srcSize, dstSize, middle)) {
        if (piece.Dst.IsEmpty())
            continue;
        if (viaGdi)
            CopyStretchedViaGdi(dst, piece.Dst, piece.Src, src);
        else if (piece.Kind == TSlicePieceKind::Tiled)
            TileAlongAxis(src, dst, piece.Src, piece.Dst);
        else
            DrawStretched(dst, piece.Dst, piece.Src, src);
    }
}

void DrawNineSliceThirds(const TBitmap32* src, TBitmap32* dst, bool viaGdi)
{
    if (src == nullptr || dst == nullptr)
        return;
    DrawNineSlice(src, dst, NineSliceThirdsMiddle({src->Width(), src->Height()}, {dst->Width(), dst->Height()}),
                  viaGdi);
}

namespace {

// Limits dst's clip to area for the lifetime of the guard.
class TClipToArea {
public:
    TClipToArea(TCustomBitmap32& dst, const TRect& area) : m_dst(dst), m_saved(dst.ClipRect())
    {
        m_dst.SetClipRect(fw::IntersectRect(m_saved, area));
    }
    ~TClipToArea() { m_dst.SetClipRect(m_saved); }
    TClipToArea(const TClipToArea&) = delete;
    TClipToArea& operator=(const TClipToArea&) = delete;

private:
    TCustomBitmap32& m_dst;
    TRect m_saved;
};

}  // namespace

void DrawNineSliceThirds(const TBitmap32* src, TBitmap32* dst, const TRect& area)
{
    if (src == nullptr || dst == nullptr || src->IsEmpty() || dst->IsEmpty() || area.IsEmpty())
        return;
    const TSize srcSize(src->Width(), src->Height());
    const TSize areaSize(area.Width(), area.Height());
    TClipToArea clip(*dst, area);
    for (const TSlicePiece& piece : NineSlicePieces(srcSize, areaSize, NineSliceThirdsMiddle(srcSize, areaSize))) {
        if (piece.Dst.IsEmpty())
            continue;
        const TRect at = fw::OffsetRect(piece.Dst, area.Left, area.Top);
        if (piece.Kind == TSlicePieceKind::Tiled)
            TileAlongAxis(src, dst, piece.Src, at);
        else
            DrawStretched(dst, at, piece.Src, src);
    }
}

void TileAlongAxis(const TCustomBitmap32* src, TCustomBitmap32* dst, const TRect& s, const TRect& d)
{
    if (src == nullptr || dst == nullptr)
        return;
    const int a = std::max(s.Width(), 1);
    const int b = std::max(s.Height(), 1);
    const int dw = std::max(d.Width(), 0);
    const int dh = std::max(d.Height(), 0);
    if (a == dw) {
        const int n = dh / b + (dh % b > 0 ? 1 : 0);
        for (int k = 0; k < n; ++k) {
            TRect tile(d.Left, d.Top + k * b, d.Right, d.Top + (k + 1) * b);
            TRect part = s;
            if (k == n - 1) {
                tile.Bottom = d.Bottom;
                part.Bottom = s.Top + tile.Height();
            }
            DrawStretched(dst, tile, part, src);
        }
    } else if (b == dh) {
        const int n = dw / a + (dw % a > 0 ? 1 : 0);
        for (int k = 0; k < n; ++k) {
            TRect tile(d.Left + k * a, d.Top, d.Left + (k + 1) * a, d.Bottom);
            TRect part = s;
            if (k == n - 1) {
                tile.Right = d.Right;
                part.Right = s.Left + tile.Width();
            }
            DrawStretched(dst, tile, part, src);
        }
    }
}

void TileBitmap(const TCustomBitmap32* src, TCustomBitmap32* dst, int offsetX, int offsetY)
{
    if (src == nullptr || dst == nullptr)
        return;
    const int w = std::max(src->Width(), 1);
    const int h = std::max(src->Height(), 1);
    TBitmapLock lock(*dst);
    TBitmapUpdate update(*dst);
    for (int j = 0; j <= dst->Height() / h; ++j)
        for (int i = 0; i <= dst->Width() / w; ++i)
            DrawAt(dst, offsetX + i * src->Width(), offsetY + j * src->Height(), src);
}

void DrawFilled(const TBitmap32* src, TBitmap32* dst, int kind)
{
    if (src == nullptr || dst == nullptr)
        return;
    const int dw = dst->Width(), dh = dst->Height();
    const int sw = src->Width(), sh = src->Height();
    switch (kind) {
    case 0:
        DrawAt(dst, 0, 0, src);
        break;
    case 1:
        TileBitmap(src, dst, 0, 0);
        break;
    case 2:
        DrawNineSliceThirds(src, dst, false);
        break;
    case 3:
        DrawAt(dst, (dw - sw) / 2, (dh - sh) / 2, src);
        break;
    case 4:
        DrawStretched(dst, TRect(0, 0, dw, dh), TRect(0, 0, sw, sh), src);
        break;
    default:
        break;
    }
}

void DrawCoverZoom(TCustomBitmap32* src, TCustomBitmap32* dst, float extra)
{
    if (dst != nullptr)
        DrawCoverZoom(src, dst, dst->BoundsRect(), extra);
}

void DrawCoverZoom(TCustomBitmap32* src, TCustomBitmap32* dst, const TRect& area, float extra)
{
    if (src == nullptr || dst == nullptr || src->IsEmpty() || dst->IsEmpty() || area.IsEmpty())
        return;
    const float scale = std::max(static_cast<float>(area.Width()) / static_cast<float>(src->Width()),
                                 static_cast<float>(area.Height()) / static_cast<float>(src->Height())) +
                        extra;
    auto resampler = std::make_unique<TLinearResampler>();
    resampler->SetPixelAccessMode(pamTransparentEdge);
    src->SetResampler(std::move(resampler));

    TAffineTransformation t;
    t.SetSrcRect({0, 0, static_cast<double>(src->Width()), static_cast<double>(src->Height())});
    t.Scale(scale, scale);
    const TRect bounds = RoundRect(t.GetTransformedBounds());
    // The zoomed picture goes into a temporary of the bounds' size that is
    // then copied centred onto the area; only the part inside the area (and
    // dst's clip) is ever seen, and that part is drawn straight into dst.
    const int x = area.Left + (area.Width() - bounds.Width()) / 2;
    const int y = area.Top + (area.Height() - bounds.Height()) / 2;
    TClipToArea clip(*dst, area);
    // A zoom a little short of the area (a negative extra) leaves transparent
    // pixels around it, as a fresh bitmap would show.
    if (fw::IntersectRect(area, TRect(x, y, x + bounds.Width(), y + bounds.Height())) != area)
        dst->FillAreaClipped(area.Left, area.Top, area.Right, area.Bottom, 0);
    TransformDrawCopied(*dst, x, y, bounds.Width(), bounds.Height(), *src, t);
}

std::unique_ptr<TBitmap32> MakeStretchedCopy(const TBitmap32* src, int w, int h, const TBitmap32Factory& factory)
{
    if (src == nullptr)
        return nullptr;
    std::unique_ptr<TBitmap32> copy = factory();
    src->CopyPropertiesTo(*copy);
    copy->Resize(w, h);
    DrawNineSliceThirds(src, copy.get(), true);
    return copy;
}

void SplitStrip(const TCustomBitmap32* src, int n, std::vector<std::unique_ptr<TBitmap32>>& frames,
                const TBitmap32Factory& factory)
{
    frames.clear();
    if (src == nullptr || n <= 0)
        return;
    const int frameWidth = src->Width() / n;
    TAffineTransformation t;
    for (int i = 0; i < n; ++i) {
        std::unique_ptr<TBitmap32> frame = factory();
        src->CopyPropertiesTo(*frame);
        frame->Resize(frameWidth, src->Height());
        t.Clear();
        t.SetSrcRect({static_cast<double>(i * frameWidth), 0, static_cast<double>(i * frameWidth + frameWidth),
                      static_cast<double>(src->Height())});
        t.Translate(-i * frameWidth, 0);
        for (int pass = 0; pass < 8; ++pass)
            TransformDraw(frame.get(), src, t);
        frames.push_back(std::move(frame));
    }
}

}  // namespace ks
