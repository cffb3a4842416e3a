// The 32-bit paint box (run under Wine): buffer sizing, painting from the
// buffer, mouse enter and leave.
#include "skin/controls/PaintBox32_win.h"

#include "framework/ScopedGdi_win.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

long Live() { return fw::gdi::LiveObjectCount(); }

class TTestPaintBox : public TCustomPaintBox32_ks {
public:
    using TCustomPaintBox32_ks::TCustomPaintBox32_ks;
    int paints = 0;

protected:
    void DoPaintBuffer() override
    {
        ++paints;
        Buffer().Clear(0xFF336699);
    }
};

TEST(PaintBox32Win, BufferSizingAndPainting)
{
    EXPECT_EQ(PaintBoxBufferExtent(100, 1, 40), 140);
    EXPECT_EQ(PaintBoxBufferExtent(100, 120, 40), 120);  // within the oversize: kept
    EXPECT_EQ(PaintBoxBufferExtent(50, 120, 40), 50);
    EXPECT_EQ(PaintBoxBufferExtent(-5, 120, 40), 1);

    const long before = Live();
    {
        TTestPaintBox box(nullptr);
        EXPECT_EQ(box.Width(), 192);
        EXPECT_EQ(box.Buffer().Width(), 232);
        EXPECT_FALSE(box.BufferValid());
        box.SetBounds(0, 0, 300, 100);
        EXPECT_EQ(box.Buffer().Width(), 340);
        EXPECT_EQ(box.Buffer().Height(), 100);  // below 232 - 40: shrinks to the client
    }
    EXPECT_EQ(Live(), before);
}

TEST(PaintBox32Win, PaintsFromTheBuffer)
{
    fw::TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 200, 200);
    TTestPaintBox box(nullptr);
    box.SetParent(&parent);
    box.SetBounds(0, 0, 50, 40);
    box.AddInvalidRect(TRect(0, 0, 5, 5));
    EXPECT_EQ(box.Perform(WM_ERASEBKGND, 0, 0), 1);

    TBitmap32 target;
    target.Resize(60, 60);
    box.Perform(WM_PAINT, reinterpret_cast<WPARAM>(target.Handle()), 0);
    ::GdiFlush();
    EXPECT_EQ(box.paints, 1);
    EXPECT_TRUE(box.BufferValid());
    EXPECT_TRUE(box.InvalidRects().empty());
    EXPECT_EQ(target.PixelAt(10, 10) & 0xFFFFFF, 0x336699u);
    box.Perform(WM_PAINT, reinterpret_cast<WPARAM>(target.Handle()), 0);
    EXPECT_EQ(box.paints, 1);  // valid buffer: no repaint
    box.Invalidate();
    box.Perform(WM_PAINT, reinterpret_cast<WPARAM>(target.Handle()), 0);
    EXPECT_EQ(box.paints, 2);

    int entered = 0, left = 0;
    box.OnMouseEnter = [&](fw::TObject*) { ++entered; };
    box.OnMouseLeave = [&](fw::TObject*) { ++left; };
    box.Perform(fw::CM_MOUSEENTER);
    EXPECT_TRUE(box.MouseInControl());
    box.Perform(fw::CM_MOUSELEAVE);
    EXPECT_FALSE(box.MouseInControl());
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);
}

}  // namespace
}  // namespace ks
