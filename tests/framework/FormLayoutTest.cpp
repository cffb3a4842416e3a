#include "framework/FormLayout.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

using namespace wsbits;

TEST(FormLayout, FrameStylesFollowBorderStyleAndIcons)
{
    const TBorderIcons all{biSystemMenu, biMinimize, biMaximize};
    const TWindowStyles sizeable = FormFrameStyles(bsSizeable, all, fsNormal, true);
    EXPECT_EQ(sizeable.Style, kCaption | kThickFrame | kSysMenu | kMinimizeBox | kMaximizeBox);
    EXPECT_EQ(sizeable.ExStyle, 0u);

    // No border: a pop-up at the top level, nothing as a child, and never a
    // system menu.
    EXPECT_EQ(FormFrameStyles(bsNone, all, fsNormal, true).Style, kPopup);
    EXPECT_EQ(FormFrameStyles(bsNone, all, fsNormal, false).Style, 0u);

    // Dialogs and tool windows get no minimise or maximise box.
    const TWindowStyles dialog = FormFrameStyles(bsDialog, all, fsStayOnTop, true);
    EXPECT_EQ(dialog.Style, kPopup | kCaption | kSysMenu);
    EXPECT_EQ(dialog.ExStyle, kExDlgModalFrame | kExWindowEdge | kExTopmost);
    const TWindowStyles tool = FormFrameStyles(bsSizeToolWin, all, fsNormal, true);
    EXPECT_EQ(tool.Style, kCaption | kThickFrame | kSysMenu);
    EXPECT_EQ(tool.ExStyle, kExToolWindow);

    // The help button shows only where no box does.
    EXPECT_EQ(FormFrameStyles(bsSingle, {biSystemMenu, biHelp}, fsNormal, true).ExStyle, kExContextHelp);
    EXPECT_EQ(FormFrameStyles(bsSingle, {biSystemMenu, biHelp, biMinimize}, fsNormal, true).ExStyle, 0u);
    EXPECT_EQ(FormFrameStyles(bsDialog, {biSystemMenu, biHelp, biMinimize}, fsNormal, true).ExStyle & kExContextHelp,
              kExContextHelp);
    // Icons without the system menu show nothing.
    EXPECT_EQ(FormFrameStyles(bsSingle, {biMinimize, biMaximize}, fsNormal, true).Style, kCaption | kBorder);
}

TEST(FormLayout, CentredFormsAndHintsStayOnTheDesktop)
{
    const TRect desktop(-1280, 0, 1920, 1080);  // a second monitor on the left
    EXPECT_EQ(PlaceCentred(TRect(0, 0, 1920, 1080), TSize(330, 100), desktop), TPoint(795, 490));
    // A form centred on an owner that hangs off the desktop is pulled back on.
    EXPECT_EQ(PlaceCentred(TRect(-1400, -50, -1000, 250), TSize(300, 100), desktop), TPoint(-1280, 50));

    EXPECT_EQ(KeepOnDesktop(TRect(1900, 1070, 2000, 1090), desktop), TRect(1820, 1060, 1920, 1080));
    EXPECT_EQ(KeepOnDesktop(TRect(-1300, -5, -1200, 15), desktop), TRect(-1280, 0, -1180, 20));
    // Larger than the desktop: the top-left corner wins.
    EXPECT_EQ(KeepOnDesktop(TRect(0, 0, 4000, 10), desktop), TRect(-1280, 0, 2720, 10));
}

}  // namespace
}  // namespace fw
