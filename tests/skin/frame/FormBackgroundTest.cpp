#include "skin/frame/FormBackground.h"

#include <gtest/gtest.h>

using fw::TPoint;
using fw::TSize;
using namespace ks;

namespace {

constexpr fw::TColor kTitle = 0x000000FF;   // red
constexpr fw::TColor kClient = 0x00FF0000;  // blue

TEST(FormBackground, ColorBackgroundContinuesTheTitleGradient)
{
    TBitmap32 gradient;
    BuildGradient(gradient, 100, 30, 30, kTitle, kClient);
    ASSERT_EQ(gradient.Width(), 100 + kBackgroundSlack);
    ASSERT_EQ(gradient.Height(), 30);
    EXPECT_EQ(gradient.PixelAt(0, 0), ColorToColor32(kTitle));
    EXPECT_EQ(gradient.PixelAt(109, 0), ColorToColor32(kTitle));  // every column alike
    EXPECT_EQ(gradient.PixelAt(7, 17), gradient.PixelAt(93, 17));

    // The client starts 20 rows into the gradient and shows the client
    // colour where the gradient ends.
    TBitmap32 background;
    BuildColorBackground(background, TSize(50, 40), kClient, &gradient, TPoint(0, -20));
    EXPECT_EQ(background.Width(), 60);
    EXPECT_EQ(background.Height(), 50);
    EXPECT_EQ(background.PixelAt(5, 0), gradient.PixelAt(5, 20));
    EXPECT_EQ(background.PixelAt(5, 9), gradient.PixelAt(5, 29));
    EXPECT_EQ(background.PixelAt(5, 10), ColorToColor32(kClient));

    BuildColorBackground(background, TSize(20, 20), kTitle, nullptr, TPoint(0, -20));
    EXPECT_EQ(background.Width(), 30);
    EXPECT_EQ(background.PixelAt(0, 0), ColorToColor32(kTitle));
    EXPECT_EQ(background.PixelAt(29, 29), ColorToColor32(kTitle));

    // A gradient taller than the form keeps only the rows that can show; they
    // are the first rows of the whole gradient, and a huge height costs nothing.
    TBitmap32 cut;
    BuildGradient(cut, 100, VisibleGradientRows(30, 10, 5), 30, kTitle, kClient);
    ASSERT_EQ(cut.Height(), 25);
    EXPECT_EQ(cut.PixelAt(3, 24), gradient.PixelAt(3, 24));
    EXPECT_EQ(VisibleGradientRows(2000000000, 27, 100), 137);
    EXPECT_EQ(VisibleGradientRows(-5, 27, 100), 0);
}

TEST(FormBackground, PictureFillStyles)
{
    TBitmap32 source;
    source.Resize(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            source.PixelAt(x, y) = 0xFF000000u | static_cast<TColor32>(y * 16 + x);
    TBitmap32 background;

    FillPictureBackground(background, source, mfsBlur, TSize(20, 10), kClient, TPoint(0, 0));
    EXPECT_EQ(background.Width(), 30);
    EXPECT_EQ(background.Height(), 20);
    EXPECT_EQ(background.PixelAt(3, 2), source.PixelAt(3, 2));
    EXPECT_EQ(background.PixelAt(4, 0), ColorToColor32(kClient));

    FillPictureBackground(background, source, mfsTile, TSize(20, 10), kClient, TPoint(0, 0));
    EXPECT_EQ(background.PixelAt(4, 0), source.PixelAt(0, 0));
    EXPECT_EQ(background.PixelAt(29, 19), source.PixelAt(29 % 4, 19 % 3));

    background.Clear(0);
    FillPictureBackground(background, source, mfsStretch, TSize(20, 10), kClient, TPoint(0, 0));
    EXPECT_EQ(background.Width(), 30);
    EXPECT_EQ(AlphaOf(background.PixelAt(15, 10)), 0xFFu);  // the picture covers the middle

    // Nine-sliced pictures take the form's exact size, corners as they are.
    FillPictureBackground(background, source, mfs9Block, TSize(20, 10), kClient, TPoint(0, 0));
    EXPECT_EQ(background.Width(), 20);
    EXPECT_EQ(background.Height(), 10);
    EXPECT_EQ(background.PixelAt(0, 0), source.PixelAt(0, 0));
    EXPECT_EQ(background.PixelAt(19, 9), source.PixelAt(3, 2));
}

TEST(FormBackground, StorageGrowsAheadOfAGrowingForm)
{
    const TSize limit(1930, 1090);
    // First build, and without a limit: exactly what is needed.
    EXPECT_EQ(BackgroundStorage(TSize(), TSize(340, 110), limit), TSize(340, 110));
    EXPECT_EQ(BackgroundStorage(TSize(340, 110), TSize(500, 300), TSize()), TSize(500, 300));
    // Kept while it holds the size and is not four times too large.
    EXPECT_EQ(BackgroundStorage(TSize(900, 700), TSize(810, 610), limit), TSize(900, 700));
    EXPECT_EQ(BackgroundStorage(TSize(1930, 1090), TSize(400, 300), limit), TSize(400, 300));
    // Outgrown: half as much again, up to the limit, never below the need.
    EXPECT_EQ(BackgroundStorage(TSize(810, 610), TSize(815, 612), limit), TSize(1215, 915));
    EXPECT_EQ(BackgroundStorage(TSize(1500, 1000), TSize(1510, 1005), limit), TSize(1930, 1090));
    EXPECT_EQ(BackgroundStorage(TSize(1930, 1090), TSize(2500, 1100), limit), TSize(2500, 1100));

    // Reused storage: stretched and nine-sliced pictures fill only their part,
    // which is what an exact build holds; tiles are laid afresh.
    TBitmap32 source;
    source.Resize(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            source.PixelAt(x, y) = 0xFF000000u | static_cast<TColor32>(y * 16 + x);
    for (TKsFillStyle style : {mfsTile, mfsStretch, mfs9Block}) {
        TBitmap32 exact, kept;
        FillPictureBackground(exact, source, style, TSize(20, 10), kClient, TPoint(3, 1));
        kept.Resize(34, 22);
        kept.Clear(0xFFABCDEFu);
        FillPictureBackground(kept, source, style, TSize(20, 10), kClient, TPoint(3, 1), limit);
        ASSERT_EQ(kept.Width(), 34) << style;
        for (int y = 0; y < exact.Height(); ++y)
            for (int x = 0; x < exact.Width(); ++x)
                ASSERT_EQ(kept.PixelAt(x, y), exact.PixelAt(x, y)) << style << " at " << x << "," << y;
    }
}

TEST(FormBackground, WhenABackgroundMustBeRebuilt)
{
    TBitmap32 background;
    background.Resize(60, 50);
    EXPECT_FALSE(ColorBackgroundStale(background, TSize(60, 50)));
    EXPECT_TRUE(ColorBackgroundStale(background, TSize(61, 50)));
    EXPECT_TRUE(ColorBackgroundStale(background, TSize(60, 51)));
}

}  // namespace
