// The layered border without windows: slice sizes and where the windows go,
// the slices against cuts of the whole stretched image, the tiled border's
// rule, the z-order plan and the premultiplied push.
#include "skin/frame/uKsFormBorderSlices.h"

#include "skin/render/NineSlice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>

using namespace ks;

namespace {

// A 60 x 134 image (the default border image's size) of random pixels with
// random alpha, fixed seed.
std::unique_ptr<TBitmap32> RandomImage(int w = 60, int h = 134)
{
    auto b = std::make_unique<TBitmap32>();
    b->Resize(w, h);
    std::mt19937 rng(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->PixelAt(x, y) = rng();
    b->SetDrawMode(dmBlend);
    return b;
}

// The whole image the slices are cut from, made the plain way.
std::unique_ptr<TBitmap32> FullImage(const TBitmap32& image, TKsStretchKind kind, int fw, int fh)
{
    TBitmap32 copy;
    copy.AssignFrom(&image);
    copy.SetDrawMode(dmOpaque);
    auto full = std::make_unique<TBitmap32>();
    full->Resize(fw, fh);
    if (kind == skAuto)
        DrawNineSliceThirds(&copy, full.get(), false);
    else
        TileBitmap(&copy, full.get(), 0, 0);
    return full;
}

// The first pixel of slice that differs from rect r of full, or -1.
long FirstDifference(const TBitmap32& slice, const TBitmap32& full, const TRect& r)
{
    if (slice.Width() != r.Width() || slice.Height() != r.Height())
        return -2;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x)
            if (slice.PixelAt(x, y) != full.PixelAt(r.Left + x, r.Top + y))
                return static_cast<long>(y) * r.Width() + x;
    return -1;
}

TKsBorderSize DefaultInflate() { return TKsBorderSize(5, 5, -5, -5); }

}  // namespace

TEST(FormBorderSlices, DefaultsOnTheLaunchersSize)
{
    const TKsBorderSize size;
    TKsBorderSize inflate = DefaultInflate();
    const auto imageOwner = RandomImage();
    const TBitmap32& image = *imageOwner;
    TKsBorderSlices slices;
    slices.Build(&image, skAuto, true, size, inflate, 330, 100);

    const BorderSliceLayout layout = LayoutBorderSlices(MakeBorderMetrics(size, inflate, true), 330, 100);
    EXPECT_EQ(346, layout.FullWidth);
    EXPECT_EQ(116, layout.FullHeight);
    // The side bands start where the top window ends, on the screen and in
    // the image alike.
    EXPECT_EQ(TRect(0, 13, 13, 103), layout.Source[kSideLeft]);
    EXPECT_EQ(TRect(333, 13, 346, 103), layout.Source[kSideRight]);
    const std::array<TSize, 4> sizes = {TSize(13, 90), TSize(346, 13), TSize(13, 90), TSize(346, 13)};
    for (int side = 0; side < 4; ++side) {
        ASSERT_NE(nullptr, slices.Slice(side));
        EXPECT_EQ(sizes[side].cx, slices.Slice(side)->Width()) << side;
        EXPECT_EQ(sizes[side].cy, slices.Slice(side)->Height()) << side;
    }

    const int X = 400, Y = 300;
    const BorderPlacement p = PlaceBorderWindows(MakeBorderMetrics(size, inflate, true), X, Y, 330, 100, 13);
    EXPECT_EQ(TPoint(X - 8, Y - 8), p.At[kSideTop]);
    EXPECT_EQ(TPoint(X - 8, Y + 95), p.At[kSideBottom]);
    EXPECT_EQ(TPoint(X - 8, Y + 5), p.At[kSideLeft]);
    EXPECT_EQ(TPoint(X + 325, Y + 5), p.At[kSideRight]);
    EXPECT_EQ((std::array<int, 4>{kSideTop, kSideBottom, kSideLeft, kSideRight}), p.Order);
}

TEST(FormBorderSlices, NonTransparentSidesAreFullHeight)
{
    const TKsBorderSize size;
    TKsBorderSize inflate = DefaultInflate();
    const auto imageOwner = RandomImage();
    const TBitmap32& image = *imageOwner;
    TKsBorderSlices slices;
    slices.Build(&image, skAuto, false, size, inflate, 330, 100);
    EXPECT_EQ(5, inflate.Left()) << "only a transparent tiled border drops its inflate";
    for (int side : {kSideLeft, kSideRight}) {
        EXPECT_EQ(13, slices.Slice(side)->Width());
        EXPECT_EQ(116, slices.Slice(side)->Height());
    }
    const BorderPlacement p = PlaceBorderWindows(MakeBorderMetrics(size, inflate, false), 0, 0, 330, 100, 13);
    EXPECT_EQ(TPoint(-8, -8), p.At[kSideLeft]);
    EXPECT_EQ(TPoint(325, -8), p.At[kSideRight]);
    EXPECT_EQ(TPoint(-8, 95), p.At[kSideBottom]);
    EXPECT_EQ((std::array<int, 4>{kSideLeft, kSideRight, kSideTop, kSideBottom}), p.Order);
}

// Each slice is drawn on its own; it must hold exactly the band of the whole
// stretched (or tiled) image that its window shows, with the image's own
// straight pixels. Odd sizes, a size smaller than the image and a size
// that equals the image's in one direction.
TEST(FormBorderSlices, SlicesAreTheBandsOfTheWholeImage)
{
    const auto imageOwner = RandomImage();
    const TBitmap32& image = *imageOwner;
    struct Case {
        TKsStretchKind Kind;
        bool Transparent;
        int W, H;
        TKsBorderSize Size;
    };
    const Case cases[] = {
        {skAuto, true, 330, 100, TKsBorderSize()},
        {skAuto, false, 331, 97, TKsBorderSize(3, 11, 20, 6)},
        {skAuto, true, 25, 20, TKsBorderSize()},
        {skAuto, true, 44, 118, TKsBorderSize()},  // full width 60: not divided across
        {skTile, false, 333, 201, TKsBorderSize(9, 7, 13, 5)},
        {skTile, true, 130, 300, TKsBorderSize()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " " << c.Transparent << " " << c.W << "x" << c.H);
        TKsBorderSize inflate = DefaultInflate();
        TKsBorderSlices slices;
        slices.Build(&image, c.Kind, c.Transparent, c.Size, inflate, c.W, c.H);
        const BorderSliceLayout layout =
            LayoutBorderSlices(MakeBorderMetrics(c.Size, inflate, c.Transparent), c.W, c.H);
        const auto full = FullImage(image, c.Kind, layout.FullWidth, layout.FullHeight);
        for (int side = 0; side < 4; ++side)
            EXPECT_EQ(-1, FirstDifference(*slices.Slice(side), *full, layout.Source[side])) << "side " << side;
    }
    // The corner keeps the image's straight pixel, not a blended one.
    TKsBorderSize inflate = DefaultInflate();
    TKsBorderSlices slices;
    slices.Build(&image, skAuto, true, TKsBorderSize(), inflate, 330, 100);
    EXPECT_EQ(image.PixelAt(0, 0), slices.Slice(kSideTop)->PixelAt(0, 0));
    EXPECT_EQ(image.PixelAt(59, 133), slices.Slice(kSideBottom)->PixelAt(345, 12));
}

TEST(FormBorderSlices, TransparentTileDropsInflateForGood)
{
    const auto imageOwner = RandomImage(16, 16);
    const TBitmap32& image = *imageOwner;
    TKsBorderSize inflate = DefaultInflate();
    TKsBorderSlices slices;
    slices.Build(&image, skTile, true, TKsBorderSize(), inflate, 330, 100);
    EXPECT_EQ(0, inflate.Left());
    EXPECT_EQ(0, inflate.Top());
    EXPECT_EQ(0, inflate.Right());
    EXPECT_EQ(0, inflate.Bottom());
    EXPECT_EQ(8, slices.Slice(kSideTop)->Height());
    EXPECT_EQ(100, slices.Slice(kSideLeft)->Height());
    // Switching back to stretching does not bring the old values back.
    slices.Build(&image, skAuto, true, TKsBorderSize(), inflate, 330, 100);
    EXPECT_EQ(0, inflate.Left());
    EXPECT_EQ(8, slices.Slice(kSideTop)->Height());
}

TEST(FormBorderSlices, NoImageNoSlices)
{
    const auto imageOwner = RandomImage();
    const TBitmap32& image = *imageOwner;
    TKsBorderSize inflate = DefaultInflate();
    TKsBorderSlices slices;
    slices.Build(&image, skAuto, true, TKsBorderSize(), inflate, 330, 100);
    ASSERT_FALSE(slices.Empty());
    slices.Build(nullptr, skTile, true, TKsBorderSize(), inflate, 330, 100);
    EXPECT_TRUE(slices.Empty());
    EXPECT_EQ(nullptr, slices.Slice(kSideRight));
    EXPECT_EQ(0, inflate.Left()) << "the tiled border's rule does not wait for an image";
}

TEST(FormBorderSlices, ZOrderPlan)
{
    BorderZOrderInput in;
    BorderZOrderPlan plan = PlanBorderZOrder(in);
    EXPECT_EQ(BorderAnchor::Form, plan.Anchor);
    EXPECT_FALSE(plan.BringFormToTop || plan.MakeFormTopmostFirst || plan.MakeFormTopmostAfter);

    in.FormTopmost = true;  // a topmost form that is not stay-on-top: put back on top after placing
    plan = PlanBorderZOrder(in);
    EXPECT_EQ(BorderAnchor::Topmost, plan.Anchor);
    EXPECT_TRUE(plan.MakeFormTopmostFirst);
    EXPECT_TRUE(plan.MakeFormTopmostAfter);

    in.StayOnTop = true;
    in.FormActive = true;
    plan = PlanBorderZOrder(in);
    EXPECT_EQ(BorderAnchor::Form, plan.Anchor);
    EXPECT_TRUE(plan.BringFormToTop);
    EXPECT_FALSE(plan.MakeFormTopmostAfter);

    in.FormActive = false;
    in.FormMinimized = true;
    plan = PlanBorderZOrder(in);
    EXPECT_EQ(BorderAnchor::WindowBeforeForm, plan.Anchor);
    EXPECT_FALSE(plan.BringFormToTop);
}

// What the system makes of a premultiplied pixel (colour + (1 - a) x below)
// must be straight-alpha compositing of the slice's pixel (a x colour +
// (1 - a) x below), within rounding, for every alpha and colour.
TEST(FormBorderSlices, PremultipliedPushComposesLikeStraightAlpha)
{
    for (unsigned a = 0; a < 256; ++a) {
        for (unsigned c = 0; c < 256; c += 3) {
            TColor32 px = (a << 24) | (c << 16) | (c << 8) | c;
            PremultiplyPixels(&px, 1);
            ASSERT_EQ(a, px >> 24);
            const unsigned pc = px & 0xFF;
            for (unsigned below : {0u, 77u, 255u}) {
                const double shown = pc + (255.0 - a) * below / 255.0;
                const double straight = (a * c + (255.0 - a) * below) / 255.0;
                ASSERT_NEAR(straight, shown, 1.0) << "a " << a << " c " << c << " below " << below;
            }
        }
    }
}
