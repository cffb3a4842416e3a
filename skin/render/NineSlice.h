// Turning small skin images into large surfaces: nine-slice, tiling, cover
// zoom, stretched copies and strips cut into frames.
#pragma once

#include "skin/render/Bitmap32.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace ks {

// Creates the bitmaps that MakeStretchedCopy and SplitStrip return (the skin
// resources pass a factory of skin images).
using TBitmap32Factory = std::function<std::unique_ptr<TBitmap32>()>;
std::unique_ptr<TBitmap32> NewBitmap32();

// One piece of a nine-slice: source and destination rectangles, and how the
// bitmap path draws it.
enum class TSlicePieceKind { Stretched, Tiled, Copied };
struct TSlicePiece {
    TRect Src;
    TRect Dst;
    TSlicePieceKind Kind;
};

// The nine pieces in drawing order: middle, left, top, right, bottom edge,
// then the corners top-left, top-right, bottom-left, bottom-right. middle is
// the middle rectangle in source coordinates.
std::array<TSlicePiece, 9> NineSlicePieces(TSize srcSize, TSize dstSize, const TRect& middle);
// The middle rectangle of DrawNineSliceThirds.
TRect NineSliceThirdsMiddle(TSize srcSize, TSize dstSize);

// Fills the whole of dst from src keeping src's corners and edges at their
// size. viaGdi false: pieces drawn by src's draw mode (edges top and bottom
// tiled); viaGdi true: every piece copied, stretched (StretchBlt SRCCOPY).
void DrawNineSlice(const TBitmap32* src, TBitmap32* dst, const TRect& middle, bool viaGdi);
void DrawNineSliceThirds(const TBitmap32* src, TBitmap32* dst, bool viaGdi);
// The same pieces drawn by src's draw mode into area of dst (clipped to it)
// instead of the whole of dst: area shows what a bitmap of area's size would,
// and dst outside area is left as it was.
void DrawNineSliceThirds(const TBitmap32* src, TBitmap32* dst, const TRect& area);

// Repeats srcRect along the one axis whose size matches dstRect's; the last
// tile shows the start of the source uncut in scale. Nothing when neither
// size matches.
void TileAlongAxis(const TCustomBitmap32* src, TCustomBitmap32* dst, const TRect& srcRect, const TRect& dstRect);
// Repeats the whole of src over dst from (offsetX, offsetY).
void TileBitmap(const TCustomBitmap32* src, TCustomBitmap32* dst, int offsetX, int offsetY);
// 0 at the origin, 1 tiled, 2 nine-slice by thirds, 3 centred, 4 stretched.
void DrawFilled(const TBitmap32* src, TBitmap32* dst, int kind);
// Scales src (bilinear, transparent edges) to cover dst enlarged by extra,
// centred. src keeps the linear resampler afterwards.
void DrawCoverZoom(TCustomBitmap32* src, TCustomBitmap32* dst, float extra);
// The same into area of dst: every pixel of area is written with what a
// bitmap of area's size would hold, and dst outside area is left as it was.
void DrawCoverZoom(TCustomBitmap32* src, TCustomBitmap32* dst, const TRect& area, float extra);

// A new w x h image with src's draw properties, filled by nine-slice thirds
// through GDI; nullptr for a null src.
std::unique_ptr<TBitmap32> MakeStretchedCopy(const TBitmap32* src, int w, int h,
                                             const TBitmap32Factory& factory = NewBitmap32);
// Cuts src into n equal frames side by side; frames replaces what frames
// held. Each frame is composed eight times over itself through the
// transformation, as the stored skin strips expect (a blending source gains
// opacity; an opaque one is copied).
void SplitStrip(const TCustomBitmap32* src, int n, std::vector<std::unique_ptr<TBitmap32>>& frames,
                const TBitmap32Factory& factory = NewBitmap32);

// StretchBlt-style copy of srcRect of src into dstRect of dst (pixels
// copied, not blended). On Windows it is dst's CopyFromDC from src's device
// context; elsewhere a nearest-pixel copy.
void CopyStretchedViaGdi(TBitmap32* dst, const TRect& dstRect, const TRect& srcRect, const TBitmap32* src);

}  // namespace ks
