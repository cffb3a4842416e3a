// Host builds have no device contexts: the GDI route of the nine-slice is a
// nearest-pixel copy, as StretchBlt with SRCCOPY does when it enlarges.
#include "skin/render/NineSlice.h"

#include "skin/render/Resamplers.h"

namespace ks {

void CopyStretchedViaGdi(TBitmap32* dst, const TRect& dstRect, const TRect& srcRect, const TBitmap32* src)
{
    if (dst == nullptr || src == nullptr || dst->IsEmpty() || src->IsEmpty() || srcRect.IsEmpty() || dstRect.IsEmpty())
        return;
    const TRect clip = fw::IntersectRect(dstRect, dst->BoundsRect());
    if (clip.IsEmpty())
        return;
    const std::vector<int> columns =
        NearestIndexMap(srcRect.Left, srcRect.Right, dstRect.Left, dstRect.Right, clip.Left, clip.Right);
    const std::vector<int> rows =
        NearestIndexMap(srcRect.Top, srcRect.Bottom, dstRect.Top, dstRect.Bottom, clip.Top, clip.Bottom);
    for (std::size_t j = 0; j < rows.size(); ++j) {
        TColor32* out = dst->ScanLine(clip.Top + static_cast<int>(j)) + clip.Left;
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (src->BoundsRect().Contains(TPoint(columns[i], rows[j])))
                out[i] = src->PixelAt(columns[i], rows[j]);
    }
    dst->Changed(dstRect);
}

}  // namespace ks
