// Form vocabulary shared by portable and Windows code (frame geometry and the
// skin engine's pure decisions use these): border styles and icons, window
// states, positions, close actions. The forms themselves are in Forms_win.h.
#pragma once

#include "framework/Types.h"

namespace fw {

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
inline constexpr TBorderIcons kDefaultBorderIcons{biSystemMenu, biMinimize, biMaximize};

enum TWindowState { wsNormal, wsMinimized, wsMaximized };

enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

enum TCloseAction { caNone, caHide, caFree, caMinimize };

// Top-left corner that centres a box of the given size on an area, kept
// inside the area's top-left corner when the box is larger.
constexpr TPoint CenterIn(const TRect& area, TSize size)
{
    int x = area.Left + (area.Width() - size.cx) / 2;
    int y = area.Top + (area.Height() - size.cy) / 2;
    return {x < area.Left ? area.Left : x, y < area.Top ? area.Top : y};
}

}  // namespace fw
