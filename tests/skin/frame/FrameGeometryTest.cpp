#include "skin/frame/FrameGeometry.h"

#include "skin/render/Bitmap32.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using fw::TPoint;
using fw::TRect;
using namespace ks;

namespace {

FrameMetrics Launcher(int hitTestWidth = 5)
{
    FrameMetrics m;
    m.Width = 330;
    m.Height = 100;
    m.TitleHeight = 27;
    m.FrameWidth = 2;
    m.HitTestWidth = hitTestWidth;
    m.Sizable = true;
    return m;
}

}  // namespace

TEST(HitTestFrame, SizableFormFollowsTheBandTable)
{
    const FrameMetrics m = Launcher();
    struct Case {
        TPoint P;
        int Code;
    };
    const Case cases[] = {
        {{0, 0}, kHitTopLeft},        {{4, 4}, kHitTopLeft},        {{5, 0}, kHitTop},        {{324, 4}, kHitTop},
        {{325, 0}, kHitTopRight},     {{329, 4}, kHitTopRight},     {{329, 5}, kHitRight},    {{325, 94}, kHitRight},
        {{329, 95}, kHitBottomRight}, {{325, 99}, kHitBottomRight}, {{5, 95}, kHitBottom},    {{324, 99}, kHitBottom},
        {{0, 99}, kHitBottomLeft},    {{4, 95}, kHitBottomLeft},    {{0, 5}, kHitLeft},       {{4, 94}, kHitLeft},
        {{5, 5}, kHitCaption},        {{324, 26}, kHitCaption},     {{5, 27}, kHitClient},    {{324, 94}, kHitClient},
        {{-1, 50}, kHitNowhere},      {{330, 50}, kHitNowhere},     {{50, 100}, kHitNowhere},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitTestFrame(m, c.P), c.Code) << c.P.X << "," << c.P.Y;
}

TEST(HitTestFrame, ZeroBandWidthGivesNoSizingAnswers)
{
    const FrameMetrics m = Launcher(0);
    for (int y = -1; y <= 100; ++y) {
        for (int x = -1; x <= 330; ++x)
            ASSERT_FALSE(IsSizingHitCode(HitTestFrame(m, {x, y}))) << x << "," << y;
    }
    EXPECT_EQ(HitTestFrame(m, {0, 0}), kHitCaption);
    // The frame itself is neither caption nor client.
    EXPECT_EQ(HitTestFrame(m, {1, 50}), kHitNowhere);
    EXPECT_EQ(HitTestFrame(m, {2, 50}), kHitClient);
    EXPECT_EQ(HitTestFrame(m, {327, 97}), kHitClient);
    EXPECT_EQ(HitTestFrame(m, {328, 50}), kHitNowhere);
    EXPECT_EQ(HitTestFrame(m, {50, 98}), kHitNowhere);
}

TEST(HitTestFrame, MaximisedOrFixedFormsOnlyAnswerCaptionClientNowhere)
{
    FrameMetrics maximised = Launcher();
    maximised.Maximized = true;
    FrameMetrics fixed = Launcher();
    fixed.Sizable = false;
    for (const FrameMetrics& m : {maximised, fixed}) {
        for (int y = -2; y <= 101; ++y) {
            for (int x = -2; x <= 331; ++x) {
                const int code = HitTestFrame(m, {x, y});
                ASSERT_TRUE(code == kHitCaption || code == kHitClient || code == kHitNowhere) << x << "," << y;
            }
        }
        EXPECT_EQ(HitTestFrame(m, {0, 0}), kHitCaption);
        EXPECT_EQ(HitTestFrame(m, {0, 99}), kHitNowhere);
    }
}

TEST(HitTestFrame, CornersWinWhenTheBandsOverlap)
{
    // A form narrower than two bands: the top-left corner is tested first.
    FrameMetrics m = Launcher();
    m.Width = 6;
    EXPECT_EQ(HitTestFrame(m, {3, 0}), kHitTopLeft);
    EXPECT_EQ(HitTestFrame(m, {5, 0}), kHitTopRight);
    EXPECT_EQ(HitTestFrame(m, {5, 50}), kHitRight);
}

TEST(SkinClientRect, TakesFrameAndTitleAndNeverInverts)
{
    EXPECT_EQ(SkinClientRect({100, 100, 430, 200}, 27, 2), TRect(102, 127, 428, 198));
    EXPECT_EQ(SkinClientRect({0, 0, 330, 100}, 0, 0), TRect(0, 0, 330, 100));
    // A frame wider than the window: right is raised to left, bottom to top.
    EXPECT_EQ(SkinClientRect({10, 10, 40, 30}, 27, 20), TRect(30, 37, 30, 37));
}

TEST(ApplyMinMaxRule, PrimaryMonitorAndTrackingDefaults)
{
    MinMaxInput in;
    in.WorkArea = {0, 0, 1024, 738};
    in.TitleHeight = 27;
    MinMaxInfo info;
    info.MaxTrackSize = {1036, 780};  // what the system filled in
    ApplyMinMaxRule(in, info);
    EXPECT_EQ(info.MaxPosition, TPoint(0, 0));
    EXPECT_EQ(info.MaxSize, TPoint(1024, 738));
    EXPECT_EQ(info.MinTrackSize, TPoint(120, 33));  // TitleHeight + 6
    EXPECT_EQ(info.MaxTrackSize, TPoint(1036, 780));

    in.FlatFrame = true;
    ApplyMinMaxRule(in, info);
    EXPECT_EQ(info.MinTrackSize, TPoint(120, 57));  // TitleHeight + 30
}

TEST(ApplyMinMaxRule, ConstraintsWinWhereSet)
{
    MinMaxInput in;
    in.WorkArea = {0, 0, 1024, 738};
    in.TitleHeight = 27;
    in.MinHeight = 80;
    in.MaxWidth = 500;
    MinMaxInfo info;
    info.MaxTrackSize = {1036, 780};
    ApplyMinMaxRule(in, info);
    EXPECT_EQ(info.MinTrackSize, TPoint(120, 80));
    EXPECT_EQ(info.MaxTrackSize, TPoint(500, 780));
    in.MinWidth = 200;
    in.MaxHeight = 300;
    ApplyMinMaxRule(in, info);
    EXPECT_EQ(info.MinTrackSize, TPoint(200, 80));
    EXPECT_EQ(info.MaxTrackSize, TPoint(500, 300));
}

TEST(ApplyMinMaxRule, DesignedMaximisedIsOnePixelShortAndOtherMonitorsStartAtZero)
{
    MinMaxInput in;
    in.WorkArea = {1024, 20, 2048, 760};
    in.PrimaryMonitor = false;
    MinMaxInfo info;
    ApplyMinMaxRule(in, info);
    EXPECT_EQ(info.MaxPosition, TPoint(0, 0));
    EXPECT_EQ(info.MaxSize, TPoint(1024, 740));

    in.DesignedMaximized = true;
    ApplyMinMaxRule(in, info);
    EXPECT_EQ(info.MaxPosition, TPoint(1024, 20));
    EXPECT_EQ(info.MaxSize, TPoint(1024, 739));
}

namespace {

// Two monitors whose numbers swap when the list is enumerated afresh (as after
// a monitor change); the form is on the second one, B.
class SwappingMonitors : public MonitorList {
public:
    const TRect A{0, 0, 1024, 738};
    const TRect B{1024, 0, 2944, 1050};
    int Refresh() override
    {
        m_fresh = true;
        return 2;
    }
    int FormMonitorNumber() override { return m_fresh ? 0 : 1; }
    TRect WorkAreaAt(int number) override { return (number == 0) == m_fresh ? B : A; }
    TRect FormMonitorWorkArea() override { return B; }

private:
    bool m_fresh = false;
};

class NoListedMonitor : public SwappingMonitors {
public:
    int FormMonitorNumber() override { return 5; }
};

}  // namespace

TEST(MaxInfoWorkArea, ReadsTheMonitorNumberFromTheRefreshedList)
{
    SwappingMonitors monitors;
    EXPECT_EQ(MaxInfoWorkArea(monitors), monitors.B);
    // A number the list does not have: the form's monitor itself.
    NoListedMonitor unlisted;
    EXPECT_EQ(MaxInfoWorkArea(unlisted), unlisted.B);
}

TEST(FrameRegionFor, ShapeByRoundnessFrameWidthAndState)
{
    FrameRegionShape s = FrameRegionFor(330, 100, true, false, 2, false);
    EXPECT_EQ(s.Kind, FrameRegionKind::RoundRect);
    EXPECT_EQ(s.Bounds, TRect(0, 0, 331, 101));
    EXPECT_EQ(s.CornerEllipse, 4);

    s = FrameRegionFor(330, 100, true, false, 1, false);
    EXPECT_EQ(s.Kind, FrameRegionKind::RoundTopSquareBottom);
    EXPECT_EQ(s.SquareBottom, TRect(0, 90, 331, 101));

    EXPECT_EQ(FrameRegionFor(330, 100, true, false, 0, true).Kind, FrameRegionKind::RoundRect);
    EXPECT_EQ(FrameRegionFor(330, 100, true, false, 0, false).Kind, FrameRegionKind::RoundTopSquareBottom);
    EXPECT_EQ(FrameRegionFor(330, 100, false, false, 2, false).Kind, FrameRegionKind::Rectangle);
    s = FrameRegionFor(1024, 738, true, true, 2, false);
    EXPECT_EQ(s.Kind, FrameRegionKind::Rectangle);
    EXPECT_EQ(s.Bounds, TRect(0, 0, 1025, 739));
}

// --- frame lines -------------------------------------------------------------

namespace {

constexpr TColor32 kBg = 0xFF336699u;

std::unique_ptr<TCustomBitmap32> Piece(int w, int h)
{
    auto b = std::make_unique<TCustomBitmap32>();
    b->Resize(w, h);
    b->Clear(kBg);
    return b;
}

TColor32 Over(std::initializer_list<TColor32> layers, TColor32 bg = kBg)
{
    TColor32 p = bg;
    for (TColor32 c : layers)
        p = BlendPixel(c, p);
    return p;
}

}  // namespace

TEST(FrameLines, NothingForFlatZeroNegativeOrMaximised)
{
    const TRect clip(0, 0, 330, 27);
    FrameLineStyle style;
    EXPECT_FALSE(FrameLineStrokes(FramePiece::Top, clip, style).empty());
    FrameLineStyle flat = style;
    flat.FlatFrame = true;
    FrameLineStyle zero = style;
    zero.FrameWidth = 0;
    FrameLineStyle negative = style;
    negative.FrameWidth = -3;
    FrameLineStyle maximised = style;
    maximised.Maximized = true;
    for (const FrameLineStyle& s : {flat, zero, negative, maximised}) {
        for (FramePiece p : {FramePiece::Top, FramePiece::Left, FramePiece::Right, FramePiece::Bottom})
            EXPECT_TRUE(FrameLineStrokes(p, clip, s).empty());
    }
}

TEST(FrameLines, TopPieceOuterInnerAndCornerPixels)
{
    auto topOwner = Piece(330, 27);
    TCustomBitmap32& top = *topOwner;
    DrawFrameStrokes(top, FrameLineStrokes(FramePiece::Top, top.BoundsRect(), FrameLineStyle{}));
    const TColor32 a = kFrameOuterColor;
    const TColor32 b = kFrameInnerColor;
    // Outer top line and both outer verticals; the top line leaves out its
    // end point, which the right vertical covers.
    EXPECT_EQ(top.PixelAt(0, 0), Over({a, a}));
    EXPECT_EQ(top.PixelAt(100, 0), Over({a}));
    EXPECT_EQ(top.PixelAt(329, 0), Over({a}));
    EXPECT_EQ(top.PixelAt(0, 26), Over({a}));
    EXPECT_EQ(top.PixelAt(329, 26), Over({a}));
    // Inner lines one pixel in; the rounded corner darkens (1, 1) again.
    EXPECT_EQ(top.PixelAt(100, 1), Over({b}));
    EXPECT_EQ(top.PixelAt(1, 1), Over({b, b, a}));
    EXPECT_EQ(top.PixelAt(328, 1), Over({b, a}));
    EXPECT_EQ(top.PixelAt(1, 26), Over({b}));
    EXPECT_EQ(top.PixelAt(328, 26), Over({b}));
    // Inner corner pixels for a frame wider than one pixel.
    EXPECT_EQ(top.PixelAt(2, 2), Over({b}, kBg));
    EXPECT_EQ(top.PixelAt(327, 2), Over({b}));
    EXPECT_EQ(top.PixelAt(100, 2), kBg);
    EXPECT_EQ(top.PixelAt(2, 3), kBg);
}

TEST(FrameLines, TopPieceVariants)
{
    const TRect clip(0, 0, 330, 27);
    FrameLineStyle single;
    single.DoubleFrame = false;
    for (const FrameStroke& s : FrameLineStrokes(FramePiece::Top, clip, single))
        EXPECT_EQ(s.Color, kFrameOuterColor);

    FrameLineStyle thin;
    thin.FrameWidth = 1;
    int innerPixels = 0;
    for (const FrameStroke& s : FrameLineStrokes(FramePiece::Top, clip, thin))
        innerPixels += (s.Pixel && s.Color == kFrameInnerColor) ? 1 : 0;
    EXPECT_EQ(innerPixels, 0);

    FrameLineStyle square;
    square.RoundWindow = false;
    for (const FrameStroke& s : FrameLineStrokes(FramePiece::Top, clip, square))
        EXPECT_FALSE(s.Pixel);

    FrameLineStyle keep;
    keep.KeepFrameColor = true;
    keep.FrameColor = 0x00112233;  // red 0x33, green 0x22, blue 0x11
    const auto strokes = FrameLineStrokes(FramePiece::Top, clip, keep);
    EXPECT_EQ(strokes.front().Color, 0xFF332211u);
    auto topOwner = Piece(330, 27);
    TCustomBitmap32& top = *topOwner;
    DrawFrameStrokes(top, strokes);
    EXPECT_EQ(top.PixelAt(100, 0), 0xFF332211u);
}

TEST(FrameLines, SideStrips)
{
    auto leftOwner = Piece(2, 98);
    TCustomBitmap32& left = *leftOwner;
    DrawFrameStrokes(left, FrameLineStrokes(FramePiece::Left, left.BoundsRect(), FrameLineStyle{}));
    auto rightOwner = Piece(2, 98);
    TCustomBitmap32& right = *rightOwner;
    DrawFrameStrokes(right, FrameLineStrokes(FramePiece::Right, right.BoundsRect(), FrameLineStyle{}));
    for (int y = 0; y < 97; ++y) {
        ASSERT_EQ(left.PixelAt(0, y), Over({kFrameOuterColor}));
        ASSERT_EQ(left.PixelAt(1, y), Over({kFrameInnerColor}));
        ASSERT_EQ(right.PixelAt(1, y), Over({kFrameOuterColor}));
        ASSERT_EQ(right.PixelAt(0, y), Over({kFrameInnerColor}));
    }
    // The lines leave out their end point: the last row stays untouched.
    EXPECT_EQ(left.PixelAt(0, 97), kBg);
    EXPECT_EQ(right.PixelAt(1, 97), kBg);
}

TEST(FrameLines, BottomStripWithTheDefaultWidth)
{
    auto bottomOwner = Piece(330, 2);
    TCustomBitmap32& bottom = *bottomOwner;
    DrawFrameStrokes(bottom, FrameLineStrokes(FramePiece::Bottom, bottom.BoundsRect(), FrameLineStyle{}));
    const TColor32 a = kFrameOuterColor;
    const TColor32 b = kFrameInnerColor;
    // The short verticals cover rows 0 and 1 of the outer columns.
    EXPECT_EQ(bottom.PixelAt(0, 0), Over({a}));
    EXPECT_EQ(bottom.PixelAt(0, 1), Over({a, a}));
    EXPECT_EQ(bottom.PixelAt(329, 0), Over({a}));
    EXPECT_EQ(bottom.PixelAt(329, 1), Over({a}));
    // The outer bottom line stops short of the right edge; the inner line runs
    // on row 0 up to column 327; rounded corners at (1, 0) and (328, 0).
    EXPECT_EQ(bottom.PixelAt(100, 1), Over({a}));
    EXPECT_EQ(bottom.PixelAt(328, 1), Over({a}));
    EXPECT_EQ(bottom.PixelAt(100, 0), Over({b}));
    EXPECT_EQ(bottom.PixelAt(1, 0), Over({b, a}));
    EXPECT_EQ(bottom.PixelAt(327, 0), Over({b}));
    EXPECT_EQ(bottom.PixelAt(328, 0), Over({a}));
}

TEST(FramePieceLayouts, ColourAndPictureSources)
{
    auto c = FramePieceLayouts(330, 100, 27, 2, false, 340);
    EXPECT_EQ(c[0].Width, 330);
    EXPECT_EQ(c[0].Height, 27);
    EXPECT_EQ(c[1].Kind, FramePiece::Left);
    EXPECT_EQ(c[1].Width, 2);
    EXPECT_EQ(c[1].Height, 98);
    EXPECT_EQ(c[1].WindowAt, TPoint(0, 27));
    EXPECT_EQ(c[1].BackgroundAt, TPoint(0, 0));
    EXPECT_EQ(c[2].BackgroundAt, TPoint(-338, 0));
    EXPECT_EQ(c[2].WindowAt, TPoint(328, 27));
    EXPECT_EQ(c[3].Width, 330);
    EXPECT_EQ(c[3].Height, 2);
    EXPECT_EQ(c[3].BackgroundAt, TPoint(0, -71));
    EXPECT_EQ(c[3].WindowAt, TPoint(0, 98));

    auto p = FramePieceLayouts(330, 100, 27, 2, true, 340);
    EXPECT_EQ(p[1].BackgroundAt, TPoint(0, -27));
    EXPECT_EQ(p[2].BackgroundAt, TPoint(-328, -27));
    EXPECT_EQ(p[3].BackgroundAt, TPoint(0, -98));

    auto z = FramePieceLayouts(330, 100, 0, 0, false, 340);
    EXPECT_EQ(z[0].Height, 0);
    EXPECT_EQ(z[1].Width, 0);
    auto tiny = FramePieceLayouts(10, 1, 27, 2, false, 20);
    EXPECT_EQ(tiny[1].Height, 0);  // H - F below zero
}

// --- gradient ------------------------------------------------------------------

TEST(Gradient, StepAndKnownRows)
{
    EXPECT_EQ(GradientStep(1), 1 << 24);
    EXPECT_EQ(GradientStep(0), 1 << 24);
    EXPECT_EQ(GradientStep(168), 99864);  // 16777216 / 168 = 99864.38
    EXPECT_EQ(GradientStep(3), 5592405);  // .33 rounds down
    EXPECT_EQ(GradientStep(6), 2796203);  // .67 rounds up
    // Title colour 0x00FFC446 to client colour 0x00F2ECE1 over 168 rows:
    // red 70 -> 225, green 196 -> 236, blue 255 -> 242.
    EXPECT_EQ(GradientColorAt(16761926, 15920353, 168, 0), 16761926);
    // Row 100: red 70 + floor(155 * 99864 * 100 / 2^24) = 70 + 92,
    // green 196 + 23, blue 255 + floor(-13 * 0.5952) = 255 - 8.
    EXPECT_EQ(GradientColorAt(16761926, 15920353, 168, 100), fw::RGBColor(162, 219, 247));
}

TEST(Gradient, FarApartPairsStayBetweenTheColours)
{
    for (int n : {1, 2, 3, 7, 27, 168, 255, 256, 1000, 6000, 20000}) {
        int prevUp = -1;
        int prevDown = 256;
        for (int i = 0; i < n; ++i) {
            const int up = GradientChannel(0, 255, GradientStep(n), i);
            const int down = GradientChannel(255, 0, GradientStep(n), i);
            ASSERT_GE(up, prevUp) << n << " " << i;
            ASSERT_LE(down, prevDown) << n << " " << i;
            ASSERT_TRUE(up >= 0 && up <= 255 && down >= 0 && down <= 255);
            prevUp = up;
            prevDown = down;
        }
        EXPECT_EQ(GradientChannel(0, 255, GradientStep(n), 0), 0);
        EXPECT_EQ(GradientChannel(255, 0, GradientStep(n), 0), 255);
        // The last row comes within one step of the end colour.
        EXPECT_GE(prevUp, 255 - (255 + n - 1) / n - 1) << n;
        EXPECT_LE(prevDown, (255 + n - 1) / n + 1) << n;
    }
}

TEST(Gradient, FillsRowsAtTheRectangleAndTreatsEmptyAsOneRow)
{
    TCustomBitmap32 b;
    b.Resize(4, 6);
    b.Clear(0);
    GradientFillBitmap(b, fw::clBlack, fw::clWhite, true, TRect(0, 0, 4, 4));
    EXPECT_EQ(b.PixelAt(0, 0), 0xFF000000u);
    EXPECT_EQ(b.PixelAt(3, 1), 0xFF3F3F3Fu);  // 255 * 1/4, floored
    EXPECT_EQ(b.PixelAt(0, 3), 0xFFBFBFBFu);
    EXPECT_EQ(b.PixelAt(0, 4), 0u);  // below the rectangle: untouched

    // Empty height: one row of the first colour.
    b.Clear(0);
    GradientFillBitmap(b, fw::clRed, fw::clBlue, true, TRect(0, 2, 4, 2));
    EXPECT_EQ(b.PixelAt(0, 2), 0xFFFF0000u);
    EXPECT_EQ(b.PixelAt(0, 3), 0u);

    // Horizontal, placed partly outside the bitmap.
    b.Clear(0);
    GradientFillBitmap(b, fw::clBlack, fw::clWhite, false, TRect(-2, 0, 2, 1));
    EXPECT_EQ(b.PixelAt(0, 0), 0xFF7F7F7Fu);  // column 2 of 4
    EXPECT_EQ(b.PixelAt(1, 0), 0xFFBFBFBFu);
    EXPECT_EQ(b.PixelAt(2, 0), 0u);

    // A tall gradient into a short piece: only its top rows land.
    TCustomBitmap32 piece;
    piece.Resize(3, 2);
    GradientFillBitmap(piece, 16761926, 15920353, true, TRect(0, 0, 3, 168));
    EXPECT_EQ(piece.PixelAt(0, 0), ColorToColor32(16761926));
    EXPECT_EQ(piece.PixelAt(2, 1), ColorToColor32(GradientColorAt(16761926, 15920353, 168, 1)));
}

TEST(Gradient, SystemColoursAreResolved)
{
    EXPECT_EQ(ResolveColor(fw::clBtnFace), static_cast<fw::TColor>(SystemColorRGB(15)));
    EXPECT_EQ(ResolveColor(0x01123456), 0x123456);
}

// --- decisions ------------------------------------------------------------------

TEST(WindowPosChangingAction, MinimisePatternsAndBorderFollowing)
{
    WindowPosInput in;
    in.Flags = 0x170;
    in.Visible = true;
    EXPECT_EQ(WindowPosChangingAction(in), WindowPosAction::EnterMinimized);
    in.Flags = 0x177;
    EXPECT_EQ(WindowPosChangingAction(in), WindowPosAction::EnterMinimized);
    in.Visible = false;
    EXPECT_EQ(WindowPosChangingAction(in), WindowPosAction::None);

    in = {};
    in.Flags = 0x97;
    in.Visible = true;
    in.BorderLinked = true;
    // The hide pattern counts only for the main form; for another form with a
    // border it hides the border.
    EXPECT_EQ(WindowPosChangingAction(in), WindowPosAction::SuspendBorder);
    in.IsMainForm = true;
    EXPECT_EQ(WindowPosChangingAction(in), WindowPosAction::EnterMinimized);

    in = {};
    in.BorderLinked = true;
    in.Flags = kSwpShowWindow;
    EXPECT_EQ(WindowPosChangingAction(in), WindowPosAction::ResumeBorder);
    in.Minimized = true;
    EXPECT_EQ(WindowPosChangingAction(in), WindowPosAction::None);
    in.BorderLinked = false;
    in.Flags = kSwpHideWindow;
    EXPECT_EQ(WindowPosChangingAction(in), WindowPosAction::None);
}

TEST(TitleDoubleClickAction, ToggleOnlyOnTheTitleOfAMaximisableForm)
{
    TitleDoubleClickInput in;
    in.HasMaximizeIcon = true;
    in.SizeableOrSingle = true;
    in.Width = 330;
    in.TitleHeight = 27;
    in.Point = {100, 10};
    EXPECT_EQ(TitleDoubleClickAction(in), TitleDoubleClick::Maximize);
    in.Zoomed = true;
    EXPECT_EQ(TitleDoubleClickAction(in), TitleDoubleClick::Restore);
    in.Point = {100, 27};
    EXPECT_EQ(TitleDoubleClickAction(in), TitleDoubleClick::Nothing);
    in.Point = {100, 10};
    in.ElementHot = true;
    EXPECT_EQ(TitleDoubleClickAction(in), TitleDoubleClick::Nothing);
    in.ElementHot = false;
    in.HasMaximizeIcon = false;
    EXPECT_EQ(TitleDoubleClickAction(in), TitleDoubleClick::Nothing);
    in.HasMaximizeIcon = true;
    in.SizeableOrSingle = false;
    EXPECT_EQ(TitleDoubleClickAction(in), TitleDoubleClick::Nothing);
}

TEST(DragFullWindowsValue, OnlyForCaptionAndSizingPresses)
{
    EXPECT_EQ(DragFullWindowsValue(0, kHitCaption), -1);
    EXPECT_EQ(DragFullWindowsValue(1, kHitCaption), 1);
    EXPECT_EQ(DragFullWindowsValue(2, kHitCaption), 0);
    EXPECT_EQ(DragFullWindowsValue(1, kHitBottomRight), 1);
    EXPECT_EQ(DragFullWindowsValue(2, kHitLeft), 0);
    EXPECT_EQ(DragFullWindowsValue(1, kHitClient), -1);
    EXPECT_EQ(DragFullWindowsValue(1, 18), -1);  // HTCLOSE is not a sizing code
}
