// Placement, press counting and drop-down points of the title-bar menu bar.
#include "skin/frame/MenuBarLayout.h"

#include <gtest/gtest.h>

using namespace ks;

TEST(MenuBarLayout, ItemsRunLeftToRightFromEitherEdge)
{
    EXPECT_EQ(MenuBarItemXValues(caLeft, 5, {30, 40, 20}), (std::vector<int>{5, 43, 91}));
    // From the right edge: on a 400-wide form the lefts are 200, 238, 286.
    const std::vector<int> xs = MenuBarItemXValues(caRight, 200, {30, 40, 20});
    EXPECT_EQ(xs, (std::vector<int>{200, 162, 114}));
    EXPECT_EQ(ElementLeft(caRight, xs[1], 400), 238);
    EXPECT_TRUE(MenuBarItemXValues(caLeft, 5, {}).empty());
}

TEST(MenuBarLayout, PressCountSequence)
{
    // An item with sub-items: press (count 0) only counts, the click inside
    // the release opens (count 1); later presses open at 4, 7, ...
    std::vector<int> opened;
    int count = 0;
    for (int step = 0; step < 8; ++step) {
        const MenuBarPress p = MenuBarPressStep(count, true);
        if (p.Acts)
            opened.push_back(count);
        count = p.NextCount;
    }
    EXPECT_EQ(opened, (std::vector<int>{1, 4, 7}));
    // Without sub-items press and click alternate: every click acts.
    opened.clear();
    count = 0;
    for (int step = 0; step < 6; ++step) {
        const MenuBarPress p = MenuBarPressStep(count, false);
        if (p.Acts)
            opened.push_back(count);
        count = p.NextCount;
    }
    EXPECT_EQ(opened, (std::vector<int>{1, 3, 5}));
    EXPECT_FALSE(MenuBarPressStep(-1, true).Acts);  // -2 % 3 == -2
}

TEST(MenuBarLayout, DropDownPointSwitchAndRectangles)
{
    EXPECT_EQ(MenuBarPopupPoint(5, 5, 100, 200, 19, true, 6), fw::TPoint(99, 224));
    EXPECT_EQ(MenuBarPopupPoint(5, 5, 100, 200, 19, false, 6), fw::TPoint(105, 225));
    EXPECT_TRUE(MenuBarSwitchesOnEnter(5, 19));
    EXPECT_FALSE(MenuBarSwitchesOnEnter(-10, 17));
    EXPECT_EQ(MenuBarHighlightRect(5, 5, 30, 19), fw::TRect(5, 3, 35, 26));
    EXPECT_EQ(MenuBarCaptionRect(5, 5, 30, 19), fw::TRect(5, 2, 35, 25));
}
