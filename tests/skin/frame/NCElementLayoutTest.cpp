// Title-bar elements without windows: placement and the maximised shift, the
// hint rectangle, the button state machine with groups, the system buttons'
// commands and strips, and the label's layout flags.
#include "skin/frame/NCElementLayout.h"
#include "skin/frame/NCElementList.h"
#include "skin/frame/uKsSkinNCCtrlBase.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace ks;

namespace {

// The element base's bookkeeping of its position: the record's change
// handler keeps the stored position, and a paint shifts the record under the
// change lock.
struct PlacedElement {
    TNCCtrlPos Pos;
    int StoredX = 0;
    int StoredY = 0;
    int Width = 39;
    int Height = 19;

    PlacedElement()
    {
        Pos.OnChange = [this](fw::TObject*) {
            StoredX = Pos.XValue();
            StoredY = Pos.YValue();
        };
    }

    fw::TRect PaintedBox(int ownerWidth, bool maximized)
    {
        const NCPlacement at = PaintPlacement(StoredX, StoredY, maximized);
        Pos.BeginChange();
        Pos.SetXValue(at.XValue);
        Pos.SetYValue(at.YValue);
        Pos.EndChange();
        return ElementBox(Pos.LeftFor(ownerWidth), Pos.Top(), Width, Height);
    }
};

// A listed title-bar button as the Windows button wires it: repaints are
// counted, pressing raises the group through the list.
class FakeButton : public TKsNCListedElement {
public:
    NCButtonModel Model;
    bool Visible = true;
    bool Hot = false;
    int Repaints = 0;

    FakeButton()
    {
        Model.OnRepaint = [this] { ++Repaints; };
        Model.OnReleaseGroup = [this] { ReleaseButtonGroup(*this); };
    }
    ~FakeButton() override { Retire(); }
    bool ElementVisible() const override { return Visible; }
    bool ElementHot() const override { return Hot; }
    NCButtonModel* ButtonModel() override { return &Model; }
};

// A listed element that is not a button.
class FakeLabel : public TKsNCListedElement {
public:
    bool Visible = true;
    bool Hot = false;
    ~FakeLabel() override { Retire(); }
    bool ElementVisible() const override { return Visible; }
    bool ElementHot() const override { return Hot; }
};

}  // namespace

TEST(NCPlacement, RightAlignedElementAndTheMaximisedShiftWithoutDrift)
{
    PlacedElement e;
    e.Pos.SetAlign(caRight);
    e.Pos.SetXValue(40);
    e.Pos.SetYValue(-1);
    EXPECT_EQ(e.PaintedBox(330, false), fw::TRect(290, -1, 329, 18));

    // Maximised to 1024: one pixel right and one up, however often it paints.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(e.PaintedBox(1024, true), fw::TRect(1024 - 39, -2, 1024, 17));
    EXPECT_EQ(e.StoredX, 40);
    EXPECT_EQ(e.StoredY, -1);

    // Restored: back where it was.
    EXPECT_EQ(e.PaintedBox(330, false), fw::TRect(290, -1, 329, 18));
    EXPECT_EQ(e.Pos.XValue(), 40);

    // A value set while maximised becomes the stored one.
    e.PaintedBox(1024, true);
    e.Pos.SetXValue(68);
    EXPECT_EQ(e.PaintedBox(1024, true).Left, 1024 - 67);
    EXPECT_EQ(e.PaintedBox(330, false).Left, 330 - 68);
}

TEST(NCPlacement, LeftAlignedElementMovesLeftWhenMaximisedAndBoxEdges)
{
    PlacedElement e;
    e.Pos.SetXValue(5);
    e.Pos.SetYValue(5);
    EXPECT_EQ(e.PaintedBox(330, true).TopLeft(), fw::TPoint(4, 4));
    const fw::TRect box = e.PaintedBox(330, false);
    EXPECT_EQ(box.TopLeft(), fw::TPoint(5, 5));
    // Left and top inclusive, right and bottom exclusive.
    EXPECT_TRUE(box.Contains(fw::TPoint(5, 5)));
    EXPECT_TRUE(box.Contains(fw::TPoint(43, 23)));
    EXPECT_FALSE(box.Contains(fw::TPoint(44, 23)));
    EXPECT_FALSE(box.Contains(fw::TPoint(43, 24)));

    // A record without an owner has no right edge: caRight counts from 0.
    TNCCtrlPos orphan;
    orphan.SetAlign(caRight);
    orphan.SetXValue(40);
    EXPECT_EQ(orphan.Left(), -40);
}

TEST(NCHint, RectangleBelowRightOfTheCursorAndLargerThanTheText)
{
    EXPECT_EQ(HintRectAt(fw::TPoint(100, 200), 50, 13), fw::TRect(116, 216, 174, 231));
    EXPECT_EQ(HintRectAt(fw::TPoint(-10, 0), 0, 0), fw::TRect(6, 16, 14, 18));
}

TEST(NCButtonModel, PlainButtonHotPressedAndBack)
{
    NCButtonModel b;
    int repaints = 0;
    b.OnRepaint = [&] { ++repaints; };
    b.Enter();
    EXPECT_EQ(b.DrawingState(), bdsHot);
    b.Press();
    EXPECT_EQ(b.DrawingState(), bdsPressed);
    EXPECT_TRUE(b.Release(true));
    EXPECT_EQ(b.DrawingState(), bdsHot);
    EXPECT_FALSE(b.Down());
    b.Leave();
    EXPECT_EQ(b.DrawingState(), bdsNormal);
    // The state changes themselves ask for nothing; the element repaints.
    EXPECT_EQ(repaints, 0);

    // A hidden button's release is not a click and changes nothing.
    b.Enter();
    b.Press();
    EXPECT_FALSE(b.Release(false));
    EXPECT_EQ(b.DrawingState(), bdsPressed);
}

TEST(NCButtonModel, AllowAllUpTogglesDownOnEveryRelease)
{
    NCButtonModel b;
    int repaints = 0;
    b.OnRepaint = [&] { ++repaints; };
    b.SetAllowAllUp(true);
    b.Enter();
    EXPECT_TRUE(b.Release(true));
    EXPECT_TRUE(b.Down());
    EXPECT_EQ(b.DrawingState(), bdsPressed);
    b.Leave();
    EXPECT_EQ(b.DrawingState(), bdsPressed);  // stays pressed while down
    b.Enter();
    EXPECT_EQ(b.DrawingState(), bdsPressed);
    EXPECT_TRUE(b.Release(true));
    EXPECT_FALSE(b.Down());
    EXPECT_EQ(b.DrawingState(), bdsNormal);
    EXPECT_EQ(repaints, 2);
    b.SetDown(false);  // unchanged: no repaint
    EXPECT_EQ(repaints, 2);
}

TEST(NCButtonModel, DisabledButtonKeepsItsStateAndShowsTheDisableFrame)
{
    NCButtonModel b;
    int repaints = 0;
    b.OnRepaint = [&] { ++repaints; };
    b.SetEnabled(false);
    EXPECT_EQ(repaints, 1);
    b.SetEnabled(false);
    EXPECT_EQ(repaints, 1);
    b.Enter();
    b.Press();
    EXPECT_FALSE(b.Release(true));
    EXPECT_EQ(b.DrawingState(), bdsNormal);
    EXPECT_FALSE(b.Down());
    for (int state : {bdsNormal, bdsHot, bdsPressed})
        EXPECT_EQ(FrameKindFor(state, false), NCFrameKind::Disable);
    EXPECT_EQ(FrameKindFor(bdsNormal, true), NCFrameKind::Normal);
    EXPECT_EQ(FrameKindFor(bdsHot, true), NCFrameKind::Hot);
    EXPECT_EQ(FrameKindFor(bdsPressed, true), NCFrameKind::Pressed);

    // Down set by code still works on a disabled button.
    b.SetDown(true);
    EXPECT_EQ(b.DrawingState(), bdsPressed);
    EXPECT_EQ(FrameKindFor(b.DrawingState(), b.Enabled()), NCFrameKind::Disable);
}

TEST(NCButtonGroups, ReleasingOneButtonOfAGroupRaisesTheOthers)
{
    TKsNCElementList list;
    FakeButton a, b, c;
    FakeLabel label;
    a.Model.SetGroupIndex(5);
    b.Model.SetGroupIndex(5);
    c.Model.SetGroupIndex(6);
    for (TKsNCListedElement* e : std::vector<TKsNCListedElement*>{&a, &label, &b, &c})
        ASSERT_TRUE(list.Add(e));

    c.Model.SetDown(true);
    a.Model.Enter();
    a.Model.Press();
    EXPECT_TRUE(a.Model.Release(true));
    EXPECT_TRUE(a.Model.Down());

    b.Model.Enter();
    EXPECT_TRUE(b.Model.Release(true));
    EXPECT_TRUE(b.Model.Down());
    EXPECT_FALSE(a.Model.Down());
    EXPECT_EQ(a.Model.DrawingState(), bdsNormal);
    EXPECT_TRUE(c.Model.Down());  // another group

    // A release of the button that is down keeps it down (radio).
    EXPECT_TRUE(b.Model.Release(true));
    EXPECT_TRUE(b.Model.Down());
}

TEST(NCButtonGroups, GroupZeroReleasesByCodeOnlyAndUnlistedButtonsStayAlone)
{
    TKsNCElementList list;
    FakeButton a, b;
    ASSERT_TRUE(list.Add(&a));
    ASSERT_TRUE(list.Add(&b));
    a.Model.SetDown(true);
    // Group 0: a release only makes the button hot...
    b.Model.Enter();
    EXPECT_TRUE(b.Model.Release(true));
    EXPECT_FALSE(b.Model.Down());
    EXPECT_TRUE(a.Model.Down());
    // ...but Down set by code raises every other button with index 0.
    b.Model.SetDown(true);
    EXPECT_FALSE(a.Model.Down());

    FakeButton loose;
    loose.Model.SetDown(true);  // in no list: nothing to raise
    EXPECT_TRUE(b.Model.Down());
}

TEST(NCSystemButton, CommandsDefaultsAndStrips)
{
    EXPECT_EQ(SystemButtonCommand(bkClose, false), 0xF060u);
    EXPECT_EQ(SystemButtonCommand(bkClose, true), 0xF060u);
    EXPECT_EQ(SystemButtonCommand(bkMinimize, true), 0xF020u);
    EXPECT_EQ(SystemButtonCommand(bkMaximize, false), 0xF030u);
    EXPECT_EQ(SystemButtonCommand(bkMaximize, true), 0xF120u);

    // Minimise, maximise and close edge to edge on the right.
    EXPECT_EQ(330 - SystemButtonDefaultX(bkMinimize) + 28, 330 - SystemButtonDefaultX(bkMaximize));
    EXPECT_EQ(330 - SystemButtonDefaultX(bkMaximize) + 28, 330 - SystemButtonDefaultX(bkClose));
    EXPECT_EQ(330 - SystemButtonDefaultX(bkClose) + 39, 330 - 1);

    const SystemButtonImages images{"c", "n", "x", "r"};
    EXPECT_EQ(SystemButtonImage(bkMaximize, images), "x");
    EXPECT_EQ(SystemButtonPaintImage(bkMaximize, true, images), "r");
    EXPECT_EQ(SystemButtonPaintImage(bkMaximize, false, images), "x");
    EXPECT_EQ(SystemButtonPaintImage(bkClose, true, images), "c");
    EXPECT_EQ(SystemButtonPaintImage(bkMinimize, true, images), "n");
}

TEST(NCLabelLayout, WholeCaptionOrAnEllipsisInsideMaxWidth)
{
    const NCLabelLayout plain = LayOutNCLabel(5, 5, 140, 13, 0, epEndEllipsis);
    EXPECT_EQ(plain.Rect, fw::TRect(5, 5, 145, 18));
    EXPECT_FALSE(plain.InRect);
    EXPECT_EQ(plain.GlowFormat, kDtVCenter);

    const NCLabelLayout cut = LayOutNCLabel(5, 5, 140, 13, 60, epEndEllipsis);
    EXPECT_EQ(cut.Rect, fw::TRect(5, 5, 65, 18));
    EXPECT_TRUE(cut.InRect);
    EXPECT_EQ(cut.TextFlags, 0x8000u);
    EXPECT_EQ(cut.GlowFormat, 0x8000u);

    EXPECT_EQ(LayOutNCLabel(0, 0, 10, 10, 60, epPathEllipsis).TextFlags, 0x4000u);
    EXPECT_EQ(LayOutNCLabel(0, 0, 10, 10, 60, epWordEllipsis).TextFlags, 0x40000u);
    // A limit without an ellipsis: clipped, and the glow loses DT_VCENTER.
    const NCLabelLayout clipped = LayOutNCLabel(0, 0, 10, 10, 60, epNone);
    EXPECT_EQ(clipped.TextFlags, 0u);
    EXPECT_EQ(clipped.GlowFormat, 0u);
    // A limit wider than the caption still lays it out in the wider box.
    EXPECT_EQ(LayOutNCLabel(0, 0, 10, 10, 60, epNone).Rect.Right, 60);
}
