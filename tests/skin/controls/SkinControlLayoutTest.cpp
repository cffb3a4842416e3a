#include "skin/controls/SkinControlLayout.h"

#include "skin/render/Bitmap32.h"
#include "skin/render/Blend.h"

#include <gtest/gtest.h>

using namespace ks;
using fw::TRect;

// --- background source -------------------------------------------------------------

namespace {

TBackgroundQuery SkinnedForm(bool picture, bool borderNone)
{
    TBackgroundQuery q;
    q.HasParent = true;
    q.ParentIsForm = true;
    q.FormHasController = true;
    q.PictureStyle = picture;
    q.BorderNone = borderNone;
    q.FrameWidth = 2;
    q.TitleHeight = 27;
    return q;
}

}  // namespace

TEST(BackgroundSource, ControllerBackgroundIsShiftedByTheFrame)
{
    // The launcher's label: 120, 24, 84 x 13.
    const TRect capture = CaptureRect(120, 24, 84, 13, 0, 0);
    EXPECT_EQ(capture, TRect(120, 24, 204, 37));

    TBackgroundChoice color = ChooseBackgroundSource(SkinnedForm(false, false), capture);
    EXPECT_EQ(color.Source, TBackgroundSource::ControllerBitmap);
    EXPECT_EQ(color.SourceRect, TRect(122, 24, 206, 37));  // frame width only

    TBackgroundChoice picture = ChooseBackgroundSource(SkinnedForm(true, false), capture);
    EXPECT_EQ(picture.Source, TBackgroundSource::ControllerBitmap);
    EXPECT_EQ(picture.SourceRect, TRect(122, 51, 206, 64));  // frame width and title height

    for (bool pictureStyle : {false, true}) {
        TBackgroundChoice none = ChooseBackgroundSource(SkinnedForm(pictureStyle, true), capture);
        EXPECT_EQ(none.Source, TBackgroundSource::ControllerBitmap);
        EXPECT_EQ(none.SourceRect, capture);
    }
}

TEST(BackgroundSource, OtherParents)
{
    const TRect capture(5, 6, 25, 16);

    TBackgroundQuery none;
    EXPECT_EQ(ChooseBackgroundSource(none, capture).Source, TBackgroundSource::White);

    TBackgroundQuery skinnedParent;
    skinnedParent.HasParent = true;
    skinnedParent.ParentIsSkinnedControl = true;
    TBackgroundChoice c = ChooseBackgroundSource(skinnedParent, capture);
    EXPECT_EQ(c.Source, TBackgroundSource::ParentBuffer);
    EXPECT_EQ(c.SourceRect, capture);  // the parent's buffer is in its client coordinates

    TBackgroundQuery plainForm = SkinnedForm(false, false);
    plainForm.FormHasController = false;
    EXPECT_EQ(ChooseBackgroundSource(plainForm, capture).Source, TBackgroundSource::ParentPaint);

    TBackgroundQuery plainParent;
    plainParent.HasParent = true;
    EXPECT_EQ(ChooseBackgroundSource(plainParent, capture).Source, TBackgroundSource::ParentPaint);
}

TEST(BackgroundSource, DesigningAlwaysAsksTheParentToPaint)
{
    const TRect capture(5, 6, 25, 16);
    TBackgroundQuery form = SkinnedForm(true, false);
    form.Designing = true;
    EXPECT_EQ(ChooseBackgroundSource(form, capture).Source, TBackgroundSource::ParentPaint);

    TBackgroundQuery skinnedParent;
    skinnedParent.HasParent = true;
    skinnedParent.ParentIsSkinnedControl = true;
    skinnedParent.Designing = true;
    EXPECT_EQ(ChooseBackgroundSource(skinnedParent, capture).Source, TBackgroundSource::ParentPaint);
}

TEST(BufferValidity, OnlyInsideTheParentsOuterSize)
{
    EXPECT_TRUE(BufferStaysValid(330, 100, 120, 24, 84, 13));
    EXPECT_TRUE(BufferStaysValid(204, 37, 120, 24, 84, 13));   // touches both edges
    EXPECT_FALSE(BufferStaysValid(203, 37, 120, 24, 84, 13));  // one pixel over the right edge
    EXPECT_FALSE(BufferStaysValid(204, 36, 120, 24, 84, 13));  // one pixel over the bottom edge
    EXPECT_TRUE(BufferStaysValid(10, 10, -5, -5, 15, 15));     // over the left and top edges is fine
}

// --- panel layer -------------------------------------------------------------------

TEST(PanelTint, OpaqueAtFullAlphaOrWhileDesigning)
{
    struct Case {
        bool designing;
        int alpha;
        bool fill;
        unsigned fillAlpha;
        bool customDraw;
    } cases[] = {
        {false, 0, false, 0, true},  // no tint, the background shows as captured
        {false, 1, true, 1, true},      {false, 192, true, 192, true}, {false, 254, true, 254, true},
        {false, 255, true, 255, false}, {true, 0, false, 255, false},  {true, 100, true, 255, false},
        {true, 255, true, 255, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "designing " << c.designing << " alpha " << c.alpha);
        const TPanelTint t = PlanPanelTint(c.designing, c.alpha);
        EXPECT_EQ(t.Fill, c.fill);
        if (c.fill) {
            EXPECT_EQ(t.FillAlpha, c.fillAlpha);
        }
        EXPECT_EQ(t.CallCustomDraw, c.customDraw);
    }
}

TEST(PanelBorder, LinesOfEverySideWithHighlight)
{
    const TKsBorderSides all{bdLeft, bdTop, bdRight, bdBottom};
    const std::vector<TBorderLine> expected{
        {0, 0, 0, 5, false},  {1, 1, 1, 5, true},   // left
        {0, 0, 10, 0, false}, {1, 1, 10, 1, true},  // top
        {9, 0, 9, 5, false},  {8, 1, 8, 4, true},   // right
        {0, 4, 10, 4, false}, {1, 3, 9, 3, true},   // bottom
    };
    EXPECT_EQ(PanelBorderLines(all, true, 10, 5), expected);

    const std::vector<TBorderLine> plain{
        {0, 0, 0, 5, false}, {0, 0, 10, 0, false}, {9, 0, 9, 5, false}, {0, 4, 10, 4, false}};
    EXPECT_EQ(PanelBorderLines(all, false, 10, 5), plain);
    EXPECT_TRUE(PanelBorderLines({}, true, 10, 5).empty());
}

TEST(PanelBorder, TinyControlsDropLinesThatDoNotFit)
{
    const TKsBorderSides rightBottom{bdRight, bdBottom};
    EXPECT_TRUE(PanelBorderLines(rightBottom, true, 1, 1).empty());
    // 2 x 2: the border lines fit, no highlight does.
    const std::vector<TBorderLine> two{{1, 0, 1, 2, false}, {0, 1, 2, 1, false}};
    EXPECT_EQ(PanelBorderLines(rightBottom, true, 2, 2), two);
    // 3 x 2: the right highlight fits, the bottom one does not.
    const std::vector<TBorderLine> threeByTwo{{2, 0, 2, 2, false}, {1, 1, 1, 1, true}, {0, 1, 3, 1, false}};
    EXPECT_EQ(PanelBorderLines(rightBottom, true, 3, 2), threeByTwo);
}

TEST(PanelBorder, ClientRectInset)
{
    const TRect client(0, 0, 185, 114);
    EXPECT_EQ(InsetForBorder(client, {}, true), client);
    EXPECT_EQ(InsetForBorder(client, {bdLeft, bdTop, bdRight, bdBottom}, true), TRect(2, 2, 183, 112));
    EXPECT_EQ(InsetForBorder(client, {bdLeft, bdBottom}, false), TRect(1, 0, 185, 113));
}

// --- caption layout ---------------------------------------------------------------

TEST(CaptionLayout, FlagsOfEveryAlignmentWithoutWrapping)
{
    const unsigned horizontal[] = {kDtLeft, kDtRight, kDtCenter};
    const unsigned vertical[] = {0, kDtBottom | kDtSingleLine, kDtSingleLine | kDtVCenter};
    EXPECT_EQ(kDtBottom | kDtSingleLine, 40u);
    EXPECT_EQ(kDtSingleLine | kDtVCenter, 36u);
    for (int h = 0; h < 3; ++h) {
        for (int v = 0; v < 3; ++v) {
            TCaptionQuery q;
            q.Width = 84;
            q.Height = 13;
            q.Horizontal = static_cast<TAlignment>(h);
            q.Vertical = static_cast<TVerticalAlignment>(v);
            q.TextHeight = 40;  // ignored without wrapping
            const TCaptionLayout l = LayoutCaption(q);
            EXPECT_EQ(l.Rect, TRect(0, 0, 84, 13));
            EXPECT_EQ(l.Flags, horizontal[h] | vertical[v]) << h << "," << v;
        }
    }
}

TEST(CaptionLayout, WrappedTextGetsABandOfTheUnwrappedHeight)
{
    TCaptionQuery q;
    q.Width = 60;
    q.Height = 50;
    q.WordWrap = true;
    q.TextHeight = 13;

    q.Vertical = taAlignTop;
    EXPECT_EQ(LayoutCaption(q), (TCaptionLayout{TRect(0, 0, 60, 50), kDtWordBreak}));

    q.Vertical = taVerticalCenter;
    q.Horizontal = taCenter;
    // (50 - 13) div 2 = 18; DT_VCENTER stays, DT_SINGLELINE goes.
    EXPECT_EQ(LayoutCaption(q), (TCaptionLayout{TRect(0, 18, 60, 31), kDtCenter | kDtVCenter | kDtWordBreak}));

    q.Vertical = taAlignBottom;
    q.Horizontal = taRightJustify;
    EXPECT_EQ(LayoutCaption(q), (TCaptionLayout{TRect(0, 37, 60, 50), kDtRight | kDtBottom | kDtWordBreak}));
}

TEST(CaptionLayout, CentredBandTruncatesTowardsZero)
{
    TCaptionQuery q;
    q.Width = 60;
    q.Height = 13;
    q.WordWrap = true;
    q.Vertical = taVerticalCenter;
    q.TextHeight = 30;  // taller than the label: (13 - 30) div 2 = -8
    EXPECT_EQ(LayoutCaption(q).Rect, TRect(0, -8, 60, 22));
    q.TextHeight = 12;  // (13 - 12) div 2 = 0
    EXPECT_EQ(LayoutCaption(q).Rect, TRect(0, 0, 60, 12));
}

TEST(CaptionLayout, EllipsisFlags)
{
    TCaptionQuery q;
    q.Width = 60;
    q.Height = 17;
    const unsigned expected[] = {0, 0x4000, 0x8000, 0x40000};
    for (int e = 0; e < 4; ++e) {
        q.Ellipsis = static_cast<TEllipsisPosition>(e);
        q.Vertical = taVerticalCenter;
        q.WordWrap = true;
        q.TextHeight = 13;
        EXPECT_EQ(LayoutCaption(q).Flags, kDtVCenter | kDtWordBreak | expected[e]);
    }
}

// --- rounded background ----------------------------------------------------------------

TEST(RoundBackground, CoverageShape)
{
    const int w = 84, h = 13, r = 5;
    // Symmetric in both directions.
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(RoundRectCoverage(x, y, w, h, r), RoundRectCoverage(w - 1 - x, y, w, h, r)) << x << "," << y;
            ASSERT_EQ(RoundRectCoverage(x, y, w, h, r), RoundRectCoverage(x, h - 1 - y, w, h, r)) << x << "," << y;
        }
    }
    EXPECT_EQ(RoundRectCoverage(0, 0, w, h, r), 0);    // the corner is cut away
    EXPECT_EQ(RoundRectCoverage(0, 6, w, h, r), 255);  // the straight edges are full
    EXPECT_EQ(RoundRectCoverage(42, 0, w, h, r), 255);
    EXPECT_EQ(RoundRectCoverage(42, 6, w, h, r), 255);
    // The arc is anti-aliased: some corner pixels are partly covered, and
    // coverage never falls while walking from the corner towards the middle.
    int partial = 0;
    for (int i = 0; i < r; ++i) {
        const int c = RoundRectCoverage(i, i, w, h, r);
        if (c > 0 && c < 255)
            ++partial;
        EXPECT_LE(c, RoundRectCoverage(i + 1, i + 1, w, h, r));
    }
    EXPECT_GT(partial, 0);
}

TEST(RoundBackground, RadiusZeroAndOversizedRadius)
{
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(RoundRectCoverage(x, y, 6, 4, 0), 255);
            EXPECT_EQ(RoundRectCoverage(x, y, 6, 4, -3), 255);
        }
    // A radius larger than half the size collapses the inset onto the middle
    // line: a 10 x 4 area with radius 5 is a capsule, full in the middle.
    EXPECT_EQ(RoundRectCoverage(5, 0, 10, 4, 5), 255);
    EXPECT_EQ(RoundRectCoverage(5, 3, 10, 4, 5), 255);
    EXPECT_LT(RoundRectCoverage(0, 0, 10, 4, 5), 255);
}

TEST(RoundBackground, FillBlendsByCoverageInsideTheClip)
{
    TCustomBitmap32 bmp;
    bmp.Resize(20, 10);
    bmp.Clear(0xFF000000u);
    const TColor32 red = MakeColor32(255, 0, 0, 255);
    FillRoundRect(bmp, 4, red);
    EXPECT_EQ(bmp.PixelAt(10, 5), red);         // fully covered, opaque: exact colour
    EXPECT_EQ(bmp.PixelAt(0, 0), 0xFF000000u);  // outside the outline: untouched
    const TColor32 edge = bmp.PixelAt(1, 1);
    const unsigned c = RoundRectCoverage(1, 1, 20, 10, 4);
    ASSERT_GT(c, 0u);
    ASSERT_LT(c, 255u);
    EXPECT_EQ(edge, MixPixel(red, 0xFF000000u, c));

    // Translucent colour, clip rectangle honoured.
    bmp.Clear(0xFF000000u);
    bmp.SetClipRect(TRect(0, 0, 10, 10));
    const TColor32 tint = MakeColor32(255, 255, 255, 128);
    FillRoundRect(bmp, 4, tint);
    EXPECT_EQ(bmp.PixelAt(5, 5), MixPixel(0xFFFFFFFFu, 0xFF000000u, 128));  // stays opaque
    EXPECT_EQ(AlphaOf(bmp.PixelAt(5, 5)), 255u);
    EXPECT_EQ(bmp.PixelAt(15, 5), 0xFF000000u);
}
