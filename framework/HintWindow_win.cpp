#include "framework/HintWindow_win.h"

#include "framework/Application_win.h"
#include "framework/FormLayout.h"
#include "framework/Screen_win.h"
#include "framework/TypInfo.h"
#include "framework/WideText_win.h"

#include <algorithm>

namespace fw {

// ---------------------------------------------------------------------------
// THintWindow

const TClassInfo& THintWindow::StaticClass()
{
    static const TClassInfo& info = DefineClass<THintWindow, TCustomControl>("THintWindow").Register();
    return info;
}

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner)
{
    SetVisible(false);
    SetColor(clInfoBk);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        const LOGFONTW& lf = metrics.lfStatusFont;
        Font().SetName(WideToUtf8(lf.lfFaceName));
        Font().SetHeight(lf.lfHeight);
        Font().SetCharset(lf.lfCharSet);
    }
    Font().SetColor(clInfoText);
}

THintWindow::~THintWindow() = default;

void THintWindow::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP | WS_BORDER;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.WindowClass.style |= CS_SAVEBITS;
    params.WndParent = Application ? Application->Handle() : nullptr;
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& utf8)
{
    TRect r(0, 0, std::max(maxWidth, 0), 0);
    std::wstring text = Utf8ToWide(utf8);
    Canvas().SetFont(Font());
    Canvas().DrawText(r, text, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    r.Right += 6;
    r.Bottom += 2;
    return r;
}

void THintWindow::ActivateHint(const TRect& rect, const std::string& utf8)
{
    SetCaption(utf8);
    const TRect r = Screen ? KeepOnDesktop(rect, Screen->DesktopRect()) : rect;
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    ::SetWindowPos(Handle(), HWND_TOPMOST, r.Left, r.Top, r.Width(), r.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
}

void THintWindow::ReleaseHandle() { DestroyHandle(); }

void THintWindow::Paint()
{
    TRect r = ClientRect();
    Canvas().FillRect(r);
    r.Inflate(-2, -1);
    Canvas().Brush().SetStyle(bsClear);
    std::wstring text = CaptionW();
    Canvas().DrawText(r, text, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

void THintWindow::Dispatch(TMessage& message)
{
    if (message.Msg == WM_NCHITTEST) {
        message.Result = HTTRANSPARENT;  // the mouse goes through to what lies below
        return;
    }
    TCustomControl::Dispatch(message);
}

}  // namespace fw
