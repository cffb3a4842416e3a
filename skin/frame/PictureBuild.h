// When the form's picture background may be kept between paints. Stretched
// and nine-sliced pictures follow every size of the form, so they used to be
// rebuilt on every client paint; built again from the same source, at the
// same size and in the same style, they come out pixel for pixel as they are,
// so the controller keeps them. (A nine-sliced source that does not draw
// opaquely is composed over transparent pixels at every build, never over
// the previous build, so it is kept too.)
#pragma once

#include "skin/frame/FormSkinSettings.h"

#include <cstdint>

namespace ks {

// What a picture background was (or would be) built from.
struct TPictureBuild {
    std::uint64_t Source = 0;  // generation of the picture source: every change counts
    TKsFillStyle Style = mfsBlur;
    int Width = 0;  // the form's size
    int Height = 0;
    bool OpaqueSource = false;  // the source draws with dmOpaque

    friend bool operator==(const TPictureBuild&, const TPictureBuild&) = default;
};

// Whether the background (backgroundWidth x backgroundHeight, last built as
// built) must be built again for wanted: when the form has outgrown it, and
// for stretched and nine-sliced pictures whenever a rebuild could differ.
inline bool PictureRebuildNeeded(int backgroundWidth, int backgroundHeight, const TPictureBuild& built,
                                 const TPictureBuild& wanted)
{
    if (backgroundWidth < wanted.Width || backgroundHeight < wanted.Height)
        return true;
    switch (wanted.Style) {
    case mfsStretch:
    case mfs9Block:
        return !(built == wanted);
    case mfsBlur:
    case mfsTile:
        break;
    }
    return false;
}

}  // namespace ks
