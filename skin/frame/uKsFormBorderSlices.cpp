#include "skin/frame/uKsFormBorderSlices.h"

#include "framework/TypInfo.h"
#include "skin/render/NineSlice.h"

#include <algorithm>
#include <cstdlib>

namespace ks {

// --- size record ---------------------------------------------------------------------------

const fw::TClassInfo& TKsBorderSize::StaticClass()
{
    static const fw::TClassInfo& info = fw::DefineClass<TKsBorderSize, fw::TPersistent>("TKsBorderSize")
                                            .Int("Left", &TKsBorderSize::Left, &TKsBorderSize::SetLeft, 8)
                                            .Int("Top", &TKsBorderSize::Top, &TKsBorderSize::SetTop, 8)
                                            .Int("Right", &TKsBorderSize::Right, &TKsBorderSize::SetRight, 8)
                                            .Int("Bottom", &TKsBorderSize::Bottom, &TKsBorderSize::SetBottom, 8)
                                            .Register();
    return info;
}

void TKsBorderSize::Assign(const fw::TPersistent& source)
{
    const auto* s = dynamic_cast<const TKsBorderSize*>(&source);
    if (s == nullptr) {
        fw::TPersistent::Assign(source);
        return;
    }
    m_left = s->m_left;
    m_top = s->m_top;
    m_right = s->m_right;
    m_bottom = s->m_bottom;
}

// --- geometry ------------------------------------------------------------------------------

BorderMetrics MakeBorderMetrics(const TKsBorderSize& size, const TKsBorderSize& inflate, bool transparent)
{
    BorderMetrics m;
    m.SizeLeft = size.Left();
    m.SizeTop = size.Top();
    m.SizeRight = size.Right();
    m.SizeBottom = size.Bottom();
    // Only how far each window reaches under the form counts, not the sign.
    m.InflateLeft = std::abs(inflate.Left());
    m.InflateTop = std::abs(inflate.Top());
    m.InflateRight = std::abs(inflate.Right());
    m.InflateBottom = std::abs(inflate.Bottom());
    m.Transparent = transparent;
    return m;
}

BorderSliceLayout LayoutBorderSlices(const BorderMetrics& m, int w, int h)
{
    BorderSliceLayout out;
    const int fw = std::max(w + m.SizeLeft + m.SizeRight, 0);
    const int fh = std::max(h + m.SizeTop + m.SizeBottom, 0);
    out.FullWidth = fw;
    out.FullHeight = fh;
    const int topH = std::clamp(m.InflateTop + m.SizeTop, 0, fh);
    const int bottomH = std::clamp(m.InflateBottom + m.SizeBottom, 0, fh);
    const int leftW = std::clamp(m.InflateLeft + m.SizeLeft, 0, fw);
    const int rightW = std::clamp(m.InflateRight + m.SizeRight, 0, fw);
    out.Source[kSideTop] = TRect(0, 0, fw, topH);
    out.Source[kSideBottom] = TRect(0, fh - bottomH, fw, fh);
    if (m.Transparent) {
        // Between the top and bottom windows, from the row where the top
        // window ends, so the side bands continue the top band's pixels.
        const int sideH = std::max(fh - topH - bottomH, 0);
        out.Source[kSideLeft] = TRect(0, topH, leftW, topH + sideH);
        out.Source[kSideRight] = TRect(fw - rightW, topH, fw, topH + sideH);
    } else {
        out.Source[kSideLeft] = TRect(0, 0, leftW, fh);
        out.Source[kSideRight] = TRect(fw - rightW, 0, fw, fh);
    }
    return out;
}

BorderPlacement PlaceBorderWindows(const BorderMetrics& m, int x, int y, int w, int h, int topHeight)
{
    BorderPlacement p;
    const int left = x - m.SizeLeft;
    const int top = y - m.SizeTop;
    p.At[kSideTop] = TPoint(left, top);
    p.At[kSideBottom] = TPoint(left, y + h - m.InflateBottom);
    const int sideTop = m.Transparent ? top + topHeight : top;
    p.At[kSideLeft] = TPoint(left, sideTop);
    p.At[kSideRight] = TPoint(x + w - m.InflateRight, sideTop);
    if (m.Transparent)
        p.Order = {kSideTop, kSideBottom, kSideLeft, kSideRight};
    else
        p.Order = {kSideLeft, kSideRight, kSideTop, kSideBottom};
    return p;
}

BorderZOrderPlan PlanBorderZOrder(const BorderZOrderInput& in)
{
    BorderZOrderPlan plan;
    if (in.StayOnTop) {
        plan.BringFormToTop = in.FormActive;
        plan.Anchor = in.FormMinimized ? BorderAnchor::WindowBeforeForm : BorderAnchor::Form;
        return plan;
    }
    if (in.FormTopmost) {
        plan.MakeFormTopmostFirst = true;
        plan.Anchor = BorderAnchor::Topmost;
        plan.MakeFormTopmostAfter = true;
    }
    return plan;
}

// --- slices -----------------------------------------------------------------------------------

void ApplyTileRule(TKsStretchKind kind, bool transparent, TKsBorderSize& inflate)
{
    if (!transparent || kind != skTile)
        return;
    inflate.SetLeft(0);
    inflate.SetTop(0);
    inflate.SetRight(0);
    inflate.SetBottom(0);
}

namespace {

// The nine-slice of src over a full image of fullSize, drawn into band whose
// (0, 0) lies at origin of the full image. Every piece keeps the mapping it
// has on the full image; the band's bounds clip it.
void NineSliceBand(const TCustomBitmap32& src, TCustomBitmap32& band, TSize fullSize, TPoint origin)
{
    const TSize srcSize(src.Width(), src.Height());
    const TRect bounds = band.BoundsRect();
    for (const TSlicePiece& piece : NineSlicePieces(srcSize, fullSize, NineSliceThirdsMiddle(srcSize, fullSize))) {
        if (piece.Dst.IsEmpty())
            continue;
        TRect d = piece.Dst;
        d.Offset(-origin.X, -origin.Y);
        TRect visible;
        if (!fw::IntersectRect(visible, d, bounds))
            continue;
        if (piece.Kind == TSlicePieceKind::Tiled)
            TileAlongAxis(&src, &band, piece.Src, d);
        else
            DrawStretched(&band, d, piece.Src, &src);
    }
}

// src repeated from the full image's (0, 0), seen through band at origin.
void TileBand(const TCustomBitmap32& src, TCustomBitmap32& band, TPoint origin)
{
    const int w = src.Width(), h = src.Height();
    const int firstX = origin.X / w * w - origin.X;
    const int firstY = origin.Y / h * h - origin.Y;
    for (int y = firstY; y < band.Height(); y += h)
        for (int x = firstX; x < band.Width(); x += w)
            DrawAt(&band, x, y, &src);
}

}  // namespace

TKsBorderSlices::TKsBorderSlices() = default;
TKsBorderSlices::~TKsBorderSlices() = default;

void TKsBorderSlices::Clear()
{
    for (auto& s : m_slices)
        s.reset();
}

void TKsBorderSlices::Build(const TCustomBitmap32* image, TKsStretchKind kind, bool transparent,
                            const TKsBorderSize& size, TKsBorderSize& inflate, int w, int h)
{
    Clear();
    ApplyTileRule(kind, transparent, inflate);
    if (image == nullptr || image->IsEmpty())
        return;
    // Drawn onto nothing, the image's pixels are the result: copied, not
    // blended (blending onto transparent black would premultiply them).
    TCustomBitmap32 source;
    source.AssignFrom(image);
    source.SetDrawMode(dmOpaque);

    const BorderSliceLayout layout = LayoutBorderSlices(MakeBorderMetrics(size, inflate, transparent), w, h);
    const TSize fullSize(layout.FullWidth, layout.FullHeight);
    for (int side = 0; side < kBorderSideCount; ++side) {
        const TRect& r = layout.Source[static_cast<std::size_t>(side)];
        auto slice = std::make_unique<TBitmap32>();
        slice->Resize(std::max(r.Width(), 0), std::max(r.Height(), 0));
        if (!slice->IsEmpty()) {
            if (kind == skTile)
                TileBand(source, *slice, r.TopLeft());
            else
                NineSliceBand(source, *slice, fullSize, r.TopLeft());
        }
        m_slices[static_cast<std::size_t>(side)] = std::move(slice);
    }
}

void PremultiplyPixels(TColor32* pixels, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const TColor32 c = pixels[i];
        const unsigned a = c >> 24;
        if (a == 255)
            continue;
        if (a == 0) {
            pixels[i] = 0;
            continue;
        }
        TColor32 out = c & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            const unsigned v = (c >> shift) & 0xFFu;
            out |= ((v * a + 127) / 255) << shift;
        }
        pixels[i] = out;
    }
}

}  // namespace ks
