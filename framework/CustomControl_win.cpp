#include "framework/Controls_win.h"

#include "framework/ScopeGuard.h"
#include "framework/TypInfo.h"

namespace fw {

const TClassInfo& TCustomControl::StaticClass()
{
    static const TClassInfo& info = DefineClass<TCustomControl, TWinControl>("TCustomControl").Register();
    return info;
}
FW_REGISTER_CLASS(TCustomControl)

// ---------------------------------------------------------------------------
// TCustomControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), m_canvas(*this) {}

TCustomControl::~TCustomControl() { m_canvas.FreeHandle(); }

void TCustomControl::Paint() {}

void TCustomControl::DestroyWnd()
{
    m_canvas.FreeHandle();  // the window's context goes before the window
    TWinControl::DestroyWnd();
}

void TCustomControl::Dispatch(TMessage& message)
{
    if (message.Msg == WM_NCDESTROY)
        m_canvas.FreeHandle();
    TWinControl::Dispatch(message);
}

void TCustomControl::WMPaint(TMessage& message)
{
    if (message.WParam) {
        PaintWindow(reinterpret_cast<HDC>(message.WParam));
    } else {
        ScopedPaint paint(Handle());
        if (paint)
            PaintWindow(paint.Get());
    }
    message.Result = 0;
}

void TCustomControl::PaintWindow(HDC dc)
{
    m_canvas.FreeHandle();
    ScopedSaveDC saved(dc);
    m_canvas.SetHandle(dc);
    ControlState().Include(csCustomPaint);
    auto done = OnScopeExit([this] {
        m_canvas.SetHandle(nullptr);
        ControlState().Exclude(csCustomPaint);
    });
    m_canvas.SetFont(Font());
    m_canvas.Brush().SetColor(Color());
    Paint();
}

}  // namespace fw
