// Measuring and laying out skinned popup-menu items.
#include "skin/controls/SkinMenuLayout.h"

#include <gtest/gtest.h>

using namespace ks;

namespace {
constexpr int kHilight = 22;  // height of the built-in hilight image
constexpr int kOffset = 6;    // default BorderOffset
}  // namespace

TEST(SkinMenuLayout, ItemHeightsWithTheDefaults)
{
    EXPECT_EQ(SkinMenuItemHeight(17, kHilight, kOffset, {}), 25);
    EXPECT_EQ(SkinMenuItemHeight(17, kHilight, kOffset, {false, true, false}), 28);
    EXPECT_EQ(SkinMenuItemHeight(17, kHilight, kOffset, {false, false, true}), 28);
    // A lone item is first and last at once, and gets the whole offset once.
    EXPECT_EQ(SkinMenuItemHeight(17, kHilight, kOffset, {true, true, true}), 31);
    // Without the hilight image the framework's height stays, plus the additions.
    EXPECT_EQ(SkinMenuItemHeight(17, -1, kOffset, {false, true, false}), 20);
    EXPECT_EQ(SkinMenuItemWidth(60), 105);
    EXPECT_EQ(kSkinMenuSeparatorHeight, 3);
}

TEST(SkinMenuLayout, RoundingHalvesToEven)
{
    EXPECT_EQ(HalfRoundEven(5), 2);
    EXPECT_EQ(HalfRoundEven(7), 4);
    EXPECT_EQ(HalfRoundEven(6), 3);
    EXPECT_EQ(HalfRoundEven(-1), 0);
    EXPECT_EQ(HalfRoundEven(-3), -2);
}

TEST(SkinMenuLayout, ItemRectanglesArrowCheckAndImage)
{
    // The first visible item of a menu, 28 high, 120 wide.
    const SkinMenuItemRects first = LayOutSkinMenuItem(fw::TRect(0, 0, 120, 28), kOffset, 31, {false, true, false});
    EXPECT_EQ(first.Cell, fw::TRect(3, 3, 123, 31));
    EXPECT_EQ(first.Content, fw::TRect(3, 6, 123, 31));
    EXPECT_EQ(first.GlyphBar, fw::TRect(3, 6, 34, 31));
    EXPECT_EQ(first.Text, fw::TRect(35, 6, 111, 31));
    EXPECT_EQ(SkinMenuHilightRect(first.Content, kOffset), fw::TRect(7, 7, 119, 30));

    // A middle item: content is the cell. Arrow 7 x 11 of a 21 x 11 strip.
    const SkinMenuItemRects mid = LayOutSkinMenuItem(fw::TRect(0, 28, 120, 53), kOffset, 31, {});
    EXPECT_EQ(mid.Content, fw::TRect(3, 31, 123, 56));
    EXPECT_EQ(SkinMenuArrowPos(mid.Content, 7, 11, kOffset), fw::TPoint(106, 38));  // 14 / 2 = 7
    // Check frames are 20 x 20: (25 - 20) / 2 = 2.5 -> 2, plus 1; x always 8.
    EXPECT_EQ(SkinMenuCheckPos(mid.GlyphBar, 20), fw::TPoint(8, 34));
    // A 16 x 16 picture: (31 - 16) / 2 = 7.5 -> 8, (25 - 16) / 2 = 4.5 -> 4.
    EXPECT_EQ(SkinMenuImagePos(mid.GlyphBar, 16, 16), fw::TPoint(11, 35));

    const SkinMenuItemRects last = LayOutSkinMenuItem(fw::TRect(0, 53, 120, 81), kOffset, 31, {false, false, true});
    EXPECT_EQ(last.Content, fw::TRect(3, 56, 123, 81));
}

TEST(SkinMenuLayout, MarkAndArrowFrames)
{
    struct Case {
        bool checked, radio, selected, enabled, image;
        SkinMenuStrip strip;
        int frame;
    };
    const Case cases[] = {
        {false, false, true, true, false, SkinMenuStrip::None, 0},
        {true, false, false, true, false, SkinMenuStrip::Check, 0},
        {true, false, true, true, false, SkinMenuStrip::Check, 1},
        {true, false, true, false, false, SkinMenuStrip::Check, 2},
        {true, true, false, true, false, SkinMenuStrip::Radio, 0},
        {true, true, true, true, false, SkinMenuStrip::Radio, 1},
        {true, true, false, false, false, SkinMenuStrip::Radio, 2},
        {true, false, true, true, true, SkinMenuStrip::None, 0},  // the picture wins
    };
    for (const Case& c : cases) {
        const SkinMenuMark m = SkinMenuCheckMark(c.checked, c.radio, c.selected, c.enabled, c.image);
        EXPECT_EQ(m.Strip, c.strip);
        if (c.strip != SkinMenuStrip::None) {
            EXPECT_EQ(m.Frame, c.frame);
        }
    }
    EXPECT_EQ(SkinMenuArrowFrame(false, true), 0);
    EXPECT_EQ(SkinMenuArrowFrame(true, true), 1);
    EXPECT_EQ(SkinMenuArrowFrame(true, false), 2);
}

TEST(SkinMenuLayout, TextFlagsPushesAndRoutes)
{
    const SkinMenuTextLayout ltr = LayOutSkinMenuText(fw::TRect(35, 6, 111, 31), false);
    EXPECT_EQ(ltr.CaptionFlags, 36u);
    EXPECT_EQ(ltr.ShortcutFlags, 38u);
    EXPECT_EQ(ltr.ShortcutRect.Right, 107);
    const SkinMenuTextLayout rtl = LayOutSkinMenuText(fw::TRect(35, 6, 111, 31), true);
    EXPECT_EQ(rtl.CaptionFlags, 38u);
    EXPECT_EQ(rtl.ShortcutFlags, 40u);

    EXPECT_FALSE(SkinMenuPushesWindow(false, false));
    EXPECT_TRUE(SkinMenuPushesWindow(true, false));
    EXPECT_TRUE(SkinMenuPushesWindow(false, true));

    EXPECT_EQ(ChooseSkinMenuPushRoute(false, true), SkinMenuPushRoute::Direct);
    EXPECT_EQ(ChooseSkinMenuPushRoute(true, true), SkinMenuPushRoute::ViaGdiPlus);
    EXPECT_EQ(ChooseSkinMenuPushRoute(false, false), SkinMenuPushRoute::ViaGdiPlus);
    EXPECT_TRUE(ThemesOffByValue(true, L"0"));
    EXPECT_FALSE(ThemesOffByValue(true, L"1"));
    EXPECT_FALSE(ThemesOffByValue(false, L""));
}

TEST(SkinMenuLayout, PremultipliedPixels)
{
    EXPECT_EQ(PremultipliedPixel(0x80FF8000u), 0x80804000u);
    EXPECT_EQ(PremultipliedPixel(0xFF123456u), 0xFF123456u);
    EXPECT_EQ(PremultipliedPixel(0x00FFFFFFu), 0x00000000u);
    // Never above alpha, for every alpha and channel value.
    for (unsigned a = 0; a < 256; ++a)
        for (unsigned c = 0; c < 256; ++c)
            ASSERT_LE(RedOf(PremultipliedPixel(MakeColor32(c, 0, 0, a))), a);
}
