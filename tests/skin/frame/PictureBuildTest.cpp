// When the form keeps its picture background between paints.
#include "skin/frame/PictureBuild.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

TEST(PictureBuild, KeptOnlyWhileARebuildWouldGiveTheSamePixels)
{
    const TPictureBuild stretch{7, mfsStretch, 800, 600, false};
    // Built for exactly this: kept, whatever the source's draw mode.
    EXPECT_FALSE(PictureRebuildNeeded(810, 610, stretch, stretch));
    // Any input changed: another source, size or style.
    const auto changed = [&](auto change) {
        TPictureBuild other = stretch;
        change(other);
        return PictureRebuildNeeded(810, 610, stretch, other);
    };
    EXPECT_TRUE(changed([](TPictureBuild& b) { b.Source = 8; }));
    EXPECT_TRUE(changed([](TPictureBuild& b) { b.Width = 799; }));
    EXPECT_TRUE(changed([](TPictureBuild& b) { b.Height = 601; }));
    EXPECT_TRUE(changed([](TPictureBuild& b) { b.Style = mfs9Block, b.OpaqueSource = true; }));
    // Nine-slice: kept whatever the source's draw mode (every build composes
    // a blending one over transparent pixels), but not once its draw mode
    // changes.
    const TPictureBuild nine{7, mfs9Block, 800, 600, true};
    EXPECT_FALSE(PictureRebuildNeeded(800, 600, nine, nine));
    TPictureBuild blending = nine;
    blending.OpaqueSource = false;
    EXPECT_FALSE(PictureRebuildNeeded(800, 600, blending, blending));
    EXPECT_TRUE(PictureRebuildNeeded(800, 600, nine, blending));
    // Tiled and blurred pictures are rebuilt only when the form outgrows them.
    const TPictureBuild tile{7, mfsTile, 800, 600, false};
    TPictureBuild bigger = tile;
    bigger.Width = 805;
    EXPECT_FALSE(PictureRebuildNeeded(810, 610, tile, bigger));
    bigger.Width = 811;
    EXPECT_TRUE(PictureRebuildNeeded(810, 610, tile, bigger));
}

}  // namespace
}  // namespace ks
