// The kept picture background on a real form: after paints and a resize it
// is, pixel for pixel, what a rebuild from the picture source gives.
#include "tests/skin/frame/FrameWinSupport_win.h"

#include "skin/render/NineSlice.h"

#include <algorithm>

using namespace ks;
using frametest::SkinFormTest;

namespace {

// The background's top-left w x h (it may be kept larger) against a fresh
// zoom into a bitmap of that size.
bool SameAsAFreshZoom(const TBitmap32& background, const TBitmap32& source, int w, int h)
{
    TBitmap32 picture, fresh;
    picture.AssignFrom(&source);
    fresh.Resize(w, h);
    DrawCoverZoom(&picture, &fresh, 0.0f);
    if (background.Width() < w || background.Height() < h)
        return false;
    for (int y = 0; y < h; ++y)
        if (!std::equal(fresh.ScanLine(y), fresh.ScanLine(y) + w, background.ScanLine(y)))
            return false;
    return true;
}

}  // namespace

TEST_F(SkinFormTest, KeptStretchedPictureIsWhatARebuildGives)
{
    TKsSkinForm* skin = AddSkin();
    skin->SetStyle(ssPicture);
    skin->SetFillStyle(mfsStretch);
    skin->SetCustomPicture("KsSkinButton");
    ShowAndSettle();
    ASSERT_FALSE(skin->PictureSource().IsEmpty());
    for (int paint = 0; paint < 3; ++paint)
        ::RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(skin->PictureBackground().Width(), 340);
    EXPECT_TRUE(SameAsAFreshZoom(skin->PictureBackground(), skin->PictureSource(), 340, 110));

    // Grown ahead of the form: the part the new size needs is rebuilt.
    form->SetBounds(100, 100, 400, 160);
    fwtest::PumpFor(100);
    ::RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(skin->PictureBackground().Width(), 510);
    EXPECT_EQ(skin->PictureBackground().Height(), 170);
    EXPECT_TRUE(SameAsAFreshZoom(skin->PictureBackground(), skin->PictureSource(), 410, 170));
    // Smaller again: the same bitmap, its top-left part rebuilt.
    form->SetBounds(100, 100, 350, 120);
    fwtest::PumpFor(100);
    ::RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(skin->PictureBackground().Width(), 510);
    EXPECT_TRUE(SameAsAFreshZoom(skin->PictureBackground(), skin->PictureSource(), 360, 130));
}
