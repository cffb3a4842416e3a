// The binding of windowed controls to their windows: the window classes the
// controls register, the creation of a control's window, the tag that finds
// the control of a window, and the window-procedure trampoline through which
// every message reaches a control's WindowProc.
#include "framework/WindowProcedure_win.h"

#include "framework/Controls_win.h"
#include "framework/UtilWindow_win.h"
#include "framework/WideText_win.h"

namespace fw {

namespace {

constexpr wchar_t kControlProperty[] = L"FwControl";

// The control whose window CreateWindowExW is making right now: the first
// messages (WM_GETMINMAXINFO, WM_NCCREATE) arrive before the window could be
// tagged with its control.
TWinControl* g_creatingControl = nullptr;

}  // namespace

TWinControl* TWinControl::FindControl(HWND window)
{
    if (!window)
        return nullptr;
    return static_cast<TWinControl*>(::GetPropW(window, kControlProperty));
}

void TWinControl::AttachHandle(HWND hwnd)
{
    m_handle = hwnd;
    ::SetPropW(hwnd, kControlProperty, this);
}

void TWinControl::DetachHandle()
{
    if (m_handle)
        ::RemovePropW(m_handle, kControlProperty);
    m_handle = nullptr;
    m_showing = false;
}

void TWinControl::CreateWindowHandle(const TCreateParams& params)
{
    HINSTANCE instance = ModuleInstance();
    std::wstring className = params.WinClassName;
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    bool known = ::GetClassInfoExW(instance, className.c_str(), &existing) != 0;
    if (known && existing.lpfnWndProc == &TWinControl::WindowProcedure && existing.style != params.WindowClass.style) {
        // A subclass without a class name of its own asks for other class styles
        // (CS_OWNDC for a layered pop-up): it gets a window class of its own.
        wchar_t suffix[16];
        ::wsprintfW(suffix, L".%X", params.WindowClass.style);
        className += suffix;
        existing = WNDCLASSEXW{};
        existing.cbSize = sizeof(existing);
        known = ::GetClassInfoExW(instance, className.c_str(), &existing) != 0;
    }
    if (!known || existing.lpfnWndProc != &TWinControl::WindowProcedure) {
        if (known)
            ::UnregisterClassW(className.c_str(), instance);
        WNDCLASSEXW wc = params.WindowClass;
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &TWinControl::WindowProcedure;
        wc.hInstance = instance;
        wc.lpszClassName = className.c_str();
        if (!::RegisterClassExW(&wc))
            throw EFrameworkError("Can't register window class " + WideToUtf8(className));
    }
    m_defWndProc = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : &::DefWindowProcW;
    TWinControl* previous = g_creatingControl;
    g_creatingControl = this;
    HWND h =
        ::CreateWindowExW(params.ExStyle, className.c_str(), params.Caption.c_str(), params.Style, params.X, params.Y,
                          params.Width, params.Height, params.WndParent, nullptr, instance, params.Param);
    g_creatingControl = previous;
    if (!h)
        throw EFrameworkError("Error creating window for " + (Name().empty() ? ClassName() : Name()));
    if (m_handle != h)
        AttachHandle(h);
}

LRESULT CALLBACK TWinControl::WindowProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    TWinControl* control = FindControl(hwnd);
    if (!control) {
        if (!g_creatingControl)
            return ::DefWindowProcW(hwnd, msg, wp, lp);
        control = g_creatingControl;
        g_creatingControl = nullptr;
        control->AttachHandle(hwnd);
    }
    DispatchFrame frame;
    frame.previous = control->m_frames;
    control->m_frames = &frame;
    TMessage message{msg, wp, lp, 0};
    try {
        TWndMethod handler = control->WindowProc();  // a copy: handlers may replace WindowProc
        handler(message);
    } catch (...) {
        ReportException(std::current_exception());
    }
    if (frame.destroyed)
        return message.Result;
    control->m_frames = frame.previous;
    if (msg == WM_NCDESTROY && control->m_handle == hwnd)
        control->DetachHandle();
    return message.Result;
}

}  // namespace fw
