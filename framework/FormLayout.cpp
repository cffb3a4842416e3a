#include "framework/FormLayout.h"

namespace fw {

TWindowStyles FormFrameStyles(TFormBorderStyle border, TBorderIcons icons, TFormStyle formStyle, bool topLevel)
{
    using namespace wsbits;
    TWindowStyles s;
    switch (border) {
    case bsNone:
        if (topLevel)
            s.Style |= kPopup;
        break;
    case bsSingle:
    case bsToolWindow:
        s.Style |= kCaption | kBorder;
        break;
    case bsSizeable:
    case bsSizeToolWin:
        s.Style |= kCaption | kThickFrame;
        break;
    case bsDialog:
        s.Style |= kPopup | kCaption;
        s.ExStyle |= kExDlgModalFrame | kExWindowEdge;
        break;
    }
    const bool tool = border == bsToolWindow || border == bsSizeToolWin;
    if (tool)
        s.ExStyle |= kExToolWindow;
    if (border != bsNone && icons.Contains(biSystemMenu)) {
        s.Style |= kSysMenu;
        const bool boxes = border != bsDialog && !tool;
        if (boxes && icons.Contains(biMinimize))
            s.Style |= kMinimizeBox;
        if (boxes && icons.Contains(biMaximize))
            s.Style |= kMaximizeBox;
        if (icons.Contains(biHelp) &&
            (border == bsDialog || !(icons.Contains(biMinimize) || icons.Contains(biMaximize)))) {
            s.ExStyle |= kExContextHelp;
        }
    }
    if (formStyle == fsStayOnTop)
        s.ExStyle |= kExTopmost;
    return s;
}

TPoint PlaceCentred(const TRect& area, TSize size, const TRect& desktop)
{
    TPoint p = CenterIn(area, size);
    if (p.X < desktop.Left)
        p.X = desktop.Left;
    if (p.Y < desktop.Top)
        p.Y = desktop.Top;
    return p;
}

TRect KeepOnDesktop(TRect r, const TRect& desktop)
{
    if (r.Right > desktop.Right)
        r.Offset(desktop.Right - r.Right, 0);
    if (r.Bottom > desktop.Bottom)
        r.Offset(0, desktop.Bottom - r.Bottom);
    if (r.Left < desktop.Left)
        r.Offset(desktop.Left - r.Left, 0);
    if (r.Top < desktop.Top)
        r.Offset(0, desktop.Top - r.Top);
    return r;
}

}  // namespace fw
