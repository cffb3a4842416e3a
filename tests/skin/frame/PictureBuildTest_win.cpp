// The kept picture background on a real form: after paints and a resize it
// is, pixel for pixel, what a rebuild from the picture source gives.
#include "tests/skin/frame/FrameWinSupport_win.h"

#include "skin/render/NineSlice.h"

#include <algorithm>

using namespace ks;
using frametest::SkinFormTest;

namespace {

bool SameAsAFreshZoom(const TBitmap32& background, const TBitmap32& source)
{
    TBitmap32 picture, fresh;
    picture.AssignFrom(&source);
    fresh.Resize(background.Width(), background.Height());
    DrawCoverZoom(&picture, &fresh, 0.0f);
    return std::equal(fresh.Bits(), fresh.Bits() + fresh.Width() * fresh.Height(), background.Bits());
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
    EXPECT_TRUE(SameAsAFreshZoom(skin->PictureBackground(), skin->PictureSource()));

    form->SetBounds(100, 100, 400, 160);
    fwtest::PumpFor(100);
    ::RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(skin->PictureBackground().Width(), 410);
    EXPECT_EQ(skin->PictureBackground().Height(), 170);
    EXPECT_TRUE(SameAsAFreshZoom(skin->PictureBackground(), skin->PictureSource()));
}
