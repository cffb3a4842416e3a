// Nine-slice, tiling, fills by kind, cover zoom and strips.
#include "skin/render/NineSlice.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

// Pixel (x, y) = opaque (x, y, 1).
std::unique_ptr<TBitmap32> Grid(int w, int h, TDrawMode mode = dmOpaque)
{
    auto b = std::make_unique<TBitmap32>();
    b->Resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->PixelAt(x, y) = MakeColor32(static_cast<unsigned>(x), static_cast<unsigned>(y), 1);
    b->SetDrawMode(mode);
    return b;
}

unsigned X(TColor32 p) { return RedOf(p); }
unsigned Y(TColor32 p) { return GreenOf(p); }

TEST(NineSlice, ThirdsOfAWideFrame)
{
    // 60 x 134 into 300 x 134: m = (20, 0, 40, 0); vertically a plain copy,
    // the outer 20 columns copied, the middle 20 repeated (bitmap path) or
    // stretched (GDI path) across the 260 between them.
    auto src = Grid(60, 134);
    EXPECT_EQ(NineSliceThirdsMiddle({60, 134}, {300, 134}), TRect(20, 0, 40, 0));
    for (bool viaGdi : {false, true}) {
        TBitmap32 dst;
        dst.Resize(300, 134);
        DrawNineSliceThirds(src.get(), &dst, viaGdi);
        for (int y : {0, 57, 133}) {
            for (int x = 0; x < 20; ++x)
                EXPECT_EQ(dst.PixelAt(x, y), src->PixelAt(x, y));
            for (int x = 280; x < 300; ++x)
                EXPECT_EQ(dst.PixelAt(x, y), src->PixelAt(x - 240, y));
            for (int x = 20; x < 280; ++x) {
                ASSERT_EQ(Y(dst.PixelAt(x, y)), static_cast<unsigned>(y));
                if (!viaGdi)
                    ASSERT_EQ(X(dst.PixelAt(x, y)), 20u + (x - 20) % 20) << x;
                else
                    ASSERT_EQ(X(dst.PixelAt(x, y)), 20u + (x - 20) * 20 / 260) << x;
            }
        }
    }
}

TEST(NineSlice, PiecesAndSmallSources)
{
    // 2 x 2: thirds are never 0.
    EXPECT_EQ(NineSliceThirdsMiddle({2, 2}, {10, 10}), TRect(1, 1, 2, 2));
    EXPECT_EQ(NineSliceThirdsMiddle({9, 6}, {9, 20}), TRect(0, 2, 0, 4));
    EXPECT_EQ(NineSliceThirdsMiddle({9, 6}, {9, 6}), TRect(3, 0, 6, 0));

    const auto pieces = NineSlicePieces({9, 9}, {30, 20}, TRect(3, 3, 6, 6));
    EXPECT_EQ(pieces[0].Dst, TRect(3, 3, 27, 17));  // middle
    EXPECT_EQ(pieces[2].Kind, TSlicePieceKind::Tiled);
    EXPECT_EQ(pieces[8].Src, TRect(6, 6, 9, 9));
    EXPECT_EQ(pieces[8].Dst, TRect(27, 17, 30, 20));

    auto src = Grid(2, 2);
    TBitmap32 dst;
    dst.Resize(5, 4);
    DrawNineSliceThirds(src.get(), &dst, false);
    EXPECT_EQ(dst.PixelAt(0, 0), src->PixelAt(0, 0));
    EXPECT_EQ(dst.PixelAt(4, 3), src->PixelAt(1, 1));
    EXPECT_EQ(dst.PixelAt(4, 0), src->PixelAt(1, 0));
    EXPECT_EQ(dst.PixelAt(0, 3), src->PixelAt(0, 1));

    // A blending source composes its pieces over dst.
    auto glass = Grid(3, 3, dmBlend);
    glass->Clear(0x80FFFFFF);
    TBitmap32 back;
    back.Resize(6, 6);
    back.Clear(0xFF000000);
    DrawNineSliceThirds(glass.get(), &back, false);
    TColor32 expected = 0xFF000000;
    BlendRow(&glass->PixelAt(0, 0), &expected, 1);
    EXPECT_EQ(back.PixelAt(3, 3), expected);
    EXPECT_EQ(back.PixelAt(0, 5), expected);
}

TEST(Tiling, AlongAnAxis)
{
    // 10 x 5 into 10 x 12: tiles of height 5, 5 and 2, the last one showing
    // the source's top two rows.
    auto src = Grid(10, 5);
    TBitmap32 dst;
    dst.Resize(10, 12);
    TileAlongAxis(src.get(), &dst, TRect(0, 0, 10, 5), TRect(0, 0, 10, 12));
    for (int y = 0; y < 12; ++y)
        EXPECT_EQ(dst.PixelAt(3, y), src->PixelAt(3, y % 5)) << y;

    // Horizontal: heights match.
    TBitmap32 wide;
    wide.Resize(23, 5);
    TileAlongAxis(src.get(), &wide, TRect(2, 0, 7, 5), TRect(0, 0, 23, 5));
    for (int x = 0; x < 23; ++x)
        EXPECT_EQ(wide.PixelAt(x, 1), src->PixelAt(2 + x % 5, 1)) << x;

    // Neither matches: nothing.
    TBitmap32 other;
    other.Resize(20, 20);
    TileAlongAxis(src.get(), &other, TRect(0, 0, 10, 5), TRect(0, 0, 11, 12));
    EXPECT_EQ(other.PixelAt(0, 0), 0u);
}

TEST(Tiling, OverABitmapAndFilledKinds)
{
    auto src = Grid(3, 2);
    TBitmap32 dst;
    dst.Resize(8, 5);
    int changes = 0;
    dst.OnChange = [&](fw::TObject*) { ++changes; };
    TileBitmap(src.get(), &dst, 1, 1);
    EXPECT_EQ(changes, 0);             // inside an update
    EXPECT_EQ(dst.PixelAt(0, 0), 0u);  // never left of or above the offset
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 8; ++x)
            EXPECT_EQ(dst.PixelAt(x, y), src->PixelAt((x - 1) % 3, (y - 1) % 2));
    EXPECT_EQ(dst.LockCount(), 0);

    TBitmap32 centred;
    centred.Resize(8, 5);
    DrawFilled(src.get(), &centred, 3);
    EXPECT_EQ(centred.PixelAt(2, 1), src->PixelAt(0, 0));  // (8-3)/2, (5-2)/2
    TBitmap32 stretched;
    stretched.Resize(6, 4);
    DrawFilled(src.get(), &stretched, 4);
    EXPECT_EQ(stretched.PixelAt(5, 3), src->PixelAt(2, 1));
    TBitmap32 untouched;
    untouched.Resize(6, 4);
    DrawFilled(src.get(), &untouched, 9);
    EXPECT_EQ(untouched.PixelAt(0, 0), 0u);
}

TEST(CoverZoom, CoversAndCentres)
{
    auto src = Grid(10, 5);
    src->Clear(0xFF336699);
    TBitmap32 dst;
    dst.Resize(40, 40);
    DrawCoverZoom(src.get(), &dst, 0.0f);
    EXPECT_EQ(src->ResamplerClassName(), "TLinearResampler");
    // Scale 8: 80 x 40 centred horizontally: the whole area is covered.
    for (int y : {0, 20, 39})
        for (int x : {0, 20, 39})
            EXPECT_EQ(dst.PixelAt(x, y) & 0xFFFFFF, 0x336699u) << x << "," << y;
}

// Drawn into the top-left part of a larger bitmap that holds other pixels,
// the nine-slice and the cover zoom give that part exactly what a bitmap of
// its size gets, and leave the rest alone.
TEST(CoverZoom, IntoAnAreaAsIntoABitmapOfItsSize)
{
    const auto same = [](const TBitmap32& exact, const TBitmap32& large) {
        for (int y = 0; y < large.Height(); ++y)
            for (int x = 0; x < large.Width(); ++x) {
                const TColor32 want = x < exact.Width() && y < exact.Height() ? exact.PixelAt(x, y) : 0xFF123456u;
                if (large.PixelAt(x, y) != want)
                    return ::testing::AssertionFailure() << x << "," << y;
            }
        return ::testing::AssertionSuccess();
    };
    for (TDrawMode mode : {dmOpaque, dmBlend}) {
        auto src = Grid(30, 21, mode);
        src->PixelAt(3, 4) = 0x80102030u;
        for (const TSize size : {TSize(97, 61), TSize(31, 200), TSize(20, 15)}) {
            TBitmap32 exact, large;
            exact.Resize(size.cx, size.cy);
            large.Resize(size.cx + 23, size.cy + 9);
            large.Clear(0xFF123456u);
            DrawNineSliceThirds(src.get(), &exact, false);
            large.FillArea(0, 0, size.cx, size.cy, 0);
            DrawNineSliceThirds(src.get(), &large, TRect(0, 0, size.cx, size.cy));
            EXPECT_TRUE(same(exact, large)) << "nine-slice " << size.cx << " x " << size.cy;

            large.Clear(0xFF123456u);
            for (float extra : {0.0f, 0.3f, -0.05f}) {
                exact.Clear(0);
                DrawCoverZoom(src.get(), &exact, extra);
                DrawCoverZoom(src.get(), &large, TRect(0, 0, size.cx, size.cy), extra);
                EXPECT_TRUE(same(exact, large)) << "zoom " << size.cx << " x " << size.cy << " extra " << extra;
            }
        }
    }
}

TEST(Strips, SplitAndStretchedCopy)
{
    auto strip = Grid(117, 19, dmBlend);
    std::vector<std::unique_ptr<TBitmap32>> frames;
    frames.push_back(std::make_unique<TBitmap32>());
    SplitStrip(strip.get(), 3, frames);
    ASSERT_EQ(frames.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(frames[i]->Width(), 39);
        EXPECT_EQ(frames[i]->Height(), 19);
        EXPECT_EQ(frames[i]->DrawMode(), dmBlend);
    }
    // Opaque strip pixels come out as eight compositions over transparent:
    // the first makes alpha 254 (weight 255), later ones bring it back up.
    TColor32 expected = 0;
    for (int pass = 0; pass < 8; ++pass)
        expected = BlendPixelMaster(strip->PixelAt(40, 3), expected, 255);
    EXPECT_EQ(frames[1]->PixelAt(1, 3), expected);

    // Partly transparent pixels gain opacity over what one pass gives.
    strip->Clear(0x40FF0000);
    SplitStrip(strip.get(), 3, frames);
    EXPECT_EQ(AlphaOf(BlendPixelMaster(0x40FF0000, 0, 255)), 16u);
    EXPECT_EQ(AlphaOf(frames[2]->PixelAt(0, 0)), 58u);

    SplitStrip(nullptr, 3, frames);
    EXPECT_TRUE(frames.empty());
    SplitStrip(strip.get(), 0, frames);
    EXPECT_TRUE(frames.empty());

    EXPECT_EQ(MakeStretchedCopy(nullptr, 10, 10), nullptr);
    auto button = Grid(6, 6, dmBlend);
    auto copy = MakeStretchedCopy(button.get(), 12, 6);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Width(), 12);
    EXPECT_EQ(copy->DrawMode(), dmBlend);
    EXPECT_EQ(copy->PixelAt(0, 0), button->PixelAt(0, 0));
    EXPECT_EQ(copy->PixelAt(11, 5), button->PixelAt(5, 5));
}

}  // namespace
}  // namespace ks
