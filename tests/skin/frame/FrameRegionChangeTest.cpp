// When a frame paint gives the window its region again, and which client
// pixels the change uncovers.
#include "skin/frame/FrameRegionChange.h"

#include <gtest/gtest.h>

using fw::TRect;
using namespace ks;

namespace {

TEST(PlanRegionChange, OnlyChangedShapesAndTheCornersTheyUncover)
{
    const FrameRegionShape small = FrameRegionFor(330, 100, true, false, 2, false);
    const FrameRegionShape large = FrameRegionFor(400, 160, true, false, 2, false);
    const TRect client = SkinClientRect(TRect(0, 0, 400, 160), 27, 2);

    // The same shape again: nothing to do.
    const TRegionChange same = PlanRegionChange(small, FrameRegionFor(330, 100, true, false, 2, false), client);
    EXPECT_FALSE(same.Set);
    EXPECT_TRUE(same.Repaint.empty());

    // Never given one (or another window): set, and the whole client repainted.
    const TRegionChange first = PlanRegionChange(std::nullopt, large, client);
    EXPECT_TRUE(first.Set);
    EXPECT_EQ(first.Repaint, std::vector<TRect>{client});

    // A resize: only the old rounded corners that now lie in the client (the
    // top ones are in the title bar).
    const TRegionChange grown = PlanRegionChange(small, large, client);
    EXPECT_TRUE(grown.Set);
    EXPECT_EQ(grown.Repaint, (std::vector<TRect>{TRect(2, 97, 4, 101), TRect(327, 97, 331, 101)}));

    // Another kind (maximised: a plain rectangle) repaints the whole client.
    const FrameRegionShape maximised = FrameRegionFor(400, 160, true, true, 0, false);
    EXPECT_EQ(PlanRegionChange(small, maximised, client).Repaint, std::vector<TRect>{client});
    // Rectangles cut nothing off, and square bottom corners are whole.
    EXPECT_TRUE(PlanRegionChange(FrameRegionFor(300, 90, false, false, 2, false),
                                 FrameRegionFor(400, 160, false, false, 2, false), client)
                    .Repaint.empty());
    const TRegionChange squareBottom = PlanRegionChange(FrameRegionFor(330, 100, true, false, 1, false),
                                                        FrameRegionFor(400, 160, true, false, 1, false), client);
    EXPECT_TRUE(squareBottom.Set);
    EXPECT_TRUE(squareBottom.Repaint.empty());
}

TEST(PlanRegionChange, NoRegionWhileResizingAndTheShapeAfterwards)
{
    const FrameRegionShape small = FrameRegionFor(330, 100, true, false, 2, false);
    const FrameRegionShape large = FrameRegionFor(400, 160, true, false, 2, false);
    const TRect client = SkinClientRect(TRect(0, 0, 400, 160), 27, 2);

    // Resizing takes the region away, uncovering the old bottom corners.
    const TRegionChange cleared = PlanRegionChange(small, large, client, true);
    EXPECT_TRUE(cleared.Set);
    EXPECT_EQ(cleared.Shape.Kind, FrameRegionKind::None);
    EXPECT_EQ(cleared.Repaint, (std::vector<TRect>{TRect(2, 97, 4, 101), TRect(327, 97, 331, 101)}));
    // Further sizes leave it away, and an unchanged size keeps the shape.
    EXPECT_FALSE(PlanRegionChange(cleared.Shape, large, client, true).Set);
    EXPECT_FALSE(PlanRegionChange(large, large, client, true).Set);
    // A window not shaped yet is shaped at once.
    const TRegionChange first = PlanRegionChange(std::nullopt, large, client, true);
    EXPECT_EQ(first.Shape.Kind, FrameRegionKind::RoundRect);

    // Once the resize is over: the shape for the size, which uncovers nothing.
    const TRegionChange after = PlanRegionChange(cleared.Shape, large, client, false);
    EXPECT_TRUE(after.Set);
    EXPECT_TRUE(SameRegionShape(after.Shape, large));
    EXPECT_TRUE(after.Repaint.empty());
}

}  // namespace
