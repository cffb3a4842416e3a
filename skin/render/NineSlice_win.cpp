#include "skin/render/NineSlice.h"

namespace ks {

void CopyStretchedViaGdi(TBitmap32* dst, const TRect& dstRect, const TRect& srcRect, const TBitmap32* src)
{
    if (dst == nullptr || src == nullptr || src->Handle() == nullptr)
        return;
    dst->CopyFromDC(dstRect, srcRect, src->Handle());
}

}  // namespace ks
