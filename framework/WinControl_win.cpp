#include "framework/Controls_win.h"

#include "framework/ScopeGuard.h"
#include "framework/TypInfo.h"
#include "framework/UtilWindow_win.h"
#include "framework/WideText_win.h"
#include "framework/WindowProcedure_win.h"

#include <algorithm>

namespace fw {

const TClassInfo& TWinControl::StaticClass()
{
    static const TClassInfo& info = DefineClass<TWinControl, TControl>("TWinControl").Register();
    return info;
}
FW_REGISTER_CLASS(TWinControl)

// ---------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { m_brush.SetColor(Color()); }

TWinControl::~TWinControl()
{
    for (DispatchFrame* f = m_frames; f; f = f->previous)
        f->destroyed = true;
    m_frames = nullptr;
    if (m_handle) {
        // Derived parts are gone: the window goes without this object seeing its
        // last messages (children still see theirs and let go of their windows).
        HWND h = m_handle;
        DetachHandle();
        if (m_defWndProc && m_defWndProc != &::DefWindowProcW) {
            ::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_defWndProc));
        }
        ::DestroyWindow(h);
    }
    if (Parent())
        Parent()->RemoveControl(this);
    while (!m_controls.empty()) {
        TControl* child = m_controls.back();
        RemoveControl(child);
        delete child;
    }
}

HWND TWinControl::Handle()
{
    if (!m_handle)
        CreateHandle();
    return m_handle;
}

void TWinControl::CreateParams(TCreateParams& params)
{
    params = TCreateParams{};
    params.Caption = CaptionW();
    params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (ControlStyle().Contains(csAcceptsControls))
        params.Style |= WS_CLIPCHILDREN;
    if (!Enabled())
        params.Style |= WS_DISABLED;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    if (Parent() && Parent()->HandleAllocated()) {
        params.WndParent = Parent()->m_handle;
    } else {
        params.WndParent = m_parentWindow;
    }
    params.WindowClass.cbSize = sizeof(WNDCLASSEXW);
    params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    params.WindowClass.lpfnWndProc = &::DefWindowProcW;
    params.WindowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    params.WinClassName = Utf8ToWide(ClassName());
}

void TWinControl::CreateSubClass(TCreateParams& params, const wchar_t* systemClassName)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(nullptr, systemClassName, &wc)) {
        throw EFrameworkError("Window class " + WideToUtf8(systemClassName) + " not found");
    }
    params.WindowClass.cbClsExtra = wc.cbClsExtra;
    params.WindowClass.cbWndExtra = wc.cbWndExtra;
    params.WindowClass.hbrBackground = wc.hbrBackground;
    params.WindowClass.hCursor = wc.hCursor;
    params.WindowClass.lpfnWndProc = wc.lpfnWndProc;
    params.WindowClass.style = wc.style & ~(CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS);
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if (params.Style & WS_CHILD) {
        if (!params.WndParent) {
            throw EFrameworkError("Control '" + (Name().empty() ? ClassName() : Name()) + "' has no parent window");
        }
    }
    CreateWindowHandle(params);
}

void TWinControl::DestroyWnd()
{
    if (m_handle)
        ::DestroyWindow(m_handle);  // WM_NCDESTROY detaches the control
    if (m_handle)
        DetachHandle();
}

void TWinControl::CreateHandle()
{
    if (m_handle)
        return;
    if (Parent())
        Parent()->HandleNeeded();
    CreateWnd();
    UpdateBounds();
}

void TWinControl::DestroyHandle()
{
    if (!m_handle)
        return;
    ControlState().Include(csDestroyingHandle);
    auto done = OnScopeExit([this] { ControlState().Exclude(csDestroyingHandle); });
    DestroyWnd();
}

void TWinControl::RecreateWnd()
{
    if (!m_handle || m_recreating)
        return;
    m_recreating = true;
    const bool wasShowing = m_showing;
    // Remember which children had windows; theirs go with ours.
    std::vector<TWinControl*> hadWindows;
    for (TControl* c : m_controls) {
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->m_handle)
            hadWindows.push_back(w);
    }
    auto done = OnScopeExit([this] { m_recreating = false; });
    DestroyHandle();
    CreateHandle();
    for (TWinControl* w : hadWindows) {
        if (ContainsControl(w) && !w->m_handle)
            w->HandleNeeded();
    }
    if (wasShowing) {
        UpdateShowing();
    } else {
        for (TWinControl* w : hadWindows) {
            if (ContainsControl(w))
                w->UpdateShowing();
        }
    }
}

void TWinControl::SetParentWindow(HWND window)
{
    if (window == m_parentWindow)
        return;
    m_parentWindow = window;
    if (!Parent() && m_handle) {
        if (m_showing || Visible()) {
            RecreateWnd();
        } else {
            DestroyHandle();
        }
    }
    if (!Parent())
        UpdateControlState();
}

void TWinControl::InsertControl(TControl* control)
{
    if (!control || ContainsControl(control))
        return;
    control->m_parent = this;
    m_controls.push_back(control);
    if (control->ParentFont())
        control->Perform(CM_PARENTFONTCHANGED);
    if (control->ParentColor())
        control->Perform(CM_PARENTCOLORCHANGED);
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        if (m_showing)
            w->UpdateControlState();
    } else {
        control->InvalidateControl();
    }
}

void TWinControl::RemoveControl(TControl* control)
{
    auto it = std::find(m_controls.begin(), m_controls.end(), control);
    if (it == m_controls.end())
        return;
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        if (w->m_handle && !w->IsDestroying())
            w->DestroyHandle();
    } else {
        control->InvalidateControl();
    }
    m_controls.erase(std::find(m_controls.begin(), m_controls.end(), control));
    control->m_parent = nullptr;
}

bool TWinControl::ContainsControl(const TControl* control) const
{
    return std::find(m_controls.begin(), m_controls.end(), control) != m_controls.end();
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const
{
    for (TControl* c : m_controls) {
        if (c->Owner() == root)
            proc(c);
    }
    if (this == root) {
        for (int i = 0; i < ComponentCount(); ++i) {
            TComponent* c = Components(i);
            if (!c->HasParent() || !c->GetParentComponent())
                proc(c);
        }
    }
}

bool TWinControl::Focused() const { return m_handle && ::GetFocus() == m_handle; }

bool TWinControl::CanFocus() const
{
    for (const TControl* c = this; c; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled())
            return false;
    }
    return true;
}

void TWinControl::SetFocus() { ::SetFocus(Handle()); }

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    Constraints().Constrain(width, height);
    if (left == Left() && top == Top() && width == Width() && height == Height())
        return;
    if (m_handle && !::IsIconic(m_handle)) {
        ::SetWindowPos(m_handle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateBounds();
        return;
    }
    StoreBounds(left, top, width, height);
    if (m_handle) {
        // Minimised: the new bounds are where the window comes back to.
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        ::GetWindowPlacement(m_handle, &wp);
        wp.rcNormalPosition = RECT{left, top, left + width, top + height};
        ::SetWindowPlacement(m_handle, &wp);
    }
}

void TWinControl::UpdateBounds()
{
    if (!m_handle)
        return;
    RECT r{};
    if (::IsIconic(m_handle)) {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        ::GetWindowPlacement(m_handle, &wp);
        r = wp.rcNormalPosition;
    } else {
        ::GetWindowRect(m_handle, &r);
        if (::GetWindowLongPtrW(m_handle, GWL_STYLE) & WS_CHILD) {
            if (HWND parent = ::GetParent(m_handle))
                ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
        }
    }
    StoreBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

TRect TWinControl::ClientRect() const
{
    if (m_handle) {
        RECT r{};
        ::GetClientRect(m_handle, &r);
        return TRect(r.left, r.top, r.right, r.bottom);
    }
    // Without a window, the frame the window would get.
    TCreateParams params;
    const_cast<TWinControl*>(this)->CreateParams(params);
    RECT frame{0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
    int w = std::max(0, Width() - static_cast<int>(frame.right - frame.left));
    int h = std::max(0, Height() - static_cast<int>(frame.bottom - frame.top));
    return TRect(0, 0, w, h);
}

TPoint TWinControl::ClientOrigin() const
{
    if (m_handle) {
        POINT p{0, 0};
        ::ClientToScreen(m_handle, &p);
        return {p.x, p.y};
    }
    return TControl::ClientOrigin();
}

void TWinControl::Invalidate() { Perform(CM_INVALIDATE); }

void TWinControl::Update()
{
    if (m_handle)
        ::UpdateWindow(m_handle);
}

void TWinControl::UpdateShowing()
{
    const bool showNow = Visible() || IsDesigning();
    if (showNow) {
        if (!m_handle)
            CreateHandle();
        // Children first: they are ready when the parent appears.
        std::vector<TControl*> children = m_controls;
        for (TControl* c : children) {
            if (!ContainsControl(c))
                continue;
            if (auto* w = dynamic_cast<TWinControl*>(c))
                w->UpdateShowing();
        }
    }
    if (m_handle && m_showing != showNow) {
        m_showing = showNow;
        auto undo = OnScopeExit([this, showNow] { m_showing = !showNow; });
        Perform(CM_SHOWINGCHANGED);
        undo.Dismiss();
    }
}

void TWinControl::UpdateControlState()
{
    const TWinControl* top = this;
    while (top->Parent()) {
        top = top->Parent();
        if (!top->Showing())
            return;
    }
    if (top->IsTopLevel() || top->m_parentWindow)
        UpdateShowing();
}

void TWinControl::WndProc(TMessage& message) { TControl::WndProc(message); }

void TWinControl::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_PAINT:
        WMPaint(message);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(message);
        return;
    case WM_SIZE:
        UpdateBounds();
        DefaultHandler(message);
        if (!IsLoading())
            Resize();
        return;
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED:
        DefaultHandler(message);
        UpdateBounds();
        return;
    case WM_SETTEXT:
        WMSetText(message);
        return;
    case WM_SETCURSOR:
        WMSetCursor(message);
        return;
    case WM_GETMINMAXINFO:
        WMGetMinMaxInfo(message);
        return;
    case CM_SHOWINGCHANGED:
        CMShowingChanged(message);
        return;
    case CM_VISIBLECHANGED:
        UpdateControlState();
        return;
    case CM_ENABLEDCHANGED:
        if (m_handle)
            ::EnableWindow(m_handle, Enabled());
        Invalidate();
        return;
    case CM_COLORCHANGED:
        m_brush.SetColor(Color());
        Invalidate();
        for (TControl* c : std::vector<TControl*>(m_controls))
            c->Perform(CM_PARENTCOLORCHANGED);
        return;
    case CM_FONTCHANGED:
        Invalidate();
        for (TControl* c : std::vector<TControl*>(m_controls))
            c->Perform(CM_PARENTFONTCHANGED);
        return;
    case CM_INVALIDATE:
        if (m_handle)
            ::InvalidateRect(m_handle, nullptr, !ControlStyle().Contains(csOpaque));
        return;
    case CM_RELEASE:
        return;
    }
    TControl::Dispatch(message);
}

void TWinControl::WMSetText(TMessage& message)
{
    DefaultHandler(message);
    const auto* text = reinterpret_cast<const wchar_t*>(message.LParam);
    std::string caption = text ? WideToUtf8(text) : std::string();
    if (caption != Caption())
        TControl::m_caption = caption;
    Perform(CM_TEXTCHANGED);
}

void TWinControl::WMSetCursor(TMessage& message)
{
    if (reinterpret_cast<HWND>(message.WParam) == m_handle && LOWORD(message.LParam) == HTCLIENT) {
        TCursor cursor = ScreenCursorValue();
        if (cursor == crDefault)
            cursor = Cursor();
        if (cursor != crDefault) {
            ::SetCursor(CursorHandleOf(cursor));
            message.Result = 1;
            return;
        }
    }
    DefaultHandler(message);
}

void TWinControl::WMGetMinMaxInfo(TMessage& message)
{
    DefaultHandler(message);
    auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
    const TSizeConstraints& c = Constraints();
    if (c.MinWidth() > 0)
        info->ptMinTrackSize.x = c.MinWidth();
    if (c.MinHeight() > 0)
        info->ptMinTrackSize.y = c.MinHeight();
    if (c.MaxWidth() > 0)
        info->ptMaxTrackSize.x = c.MaxWidth();
    if (c.MaxHeight() > 0)
        info->ptMaxTrackSize.y = c.MaxHeight();
}

void TWinControl::DefaultHandler(TMessage& message)
{
    if (!m_handle)
        return;
    message.Result = ::CallWindowProcW(m_defWndProc ? m_defWndProc : &::DefWindowProcW, m_handle, message.Msg,
                                       message.WParam, message.LParam);
}

void TWinControl::WMPaint(TMessage& message) { DefaultHandler(message); }

void TWinControl::WMEraseBkgnd(TMessage& message)
{
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    if (!dc) {
        message.Result = 0;
        return;
    }
    RECT r{};
    TRect client = ClientRect();
    r = RECT{client.Left, client.Top, client.Right, client.Bottom};
    ::FillRect(dc, &r, m_brush.Handle());
    message.Result = 1;
}

void TWinControl::CMShowingChanged(TMessage& message)
{
    if (!m_handle)
        return;
    const UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    ::SetWindowPos(m_handle, nullptr, 0, 0, 0, 0, flags | (m_showing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::PaintWindow(HDC dc)
{
    TMessage message{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(message);
}

void TWinControl::PaintTo(HDC dc, int x, int y)
{
    if (!dc)
        return;
    {
        ControlState().Include(csPaintCopy);
        auto done = OnScopeExit([this] { ControlState().Exclude(csPaintCopy); });
        ScopedSaveDC saved(dc);
        ::SetWindowOrgEx(dc, -x, -y, nullptr);
        ::IntersectClipRect(dc, 0, 0, Width(), Height());
        Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        PaintWindow(dc);
    }
    for (TControl* c : std::vector<TControl*>(m_controls)) {
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible() && ContainsControl(w)) {
            w->PaintTo(dc, x + w->Left(), y + w->Top());
        }
    }
}

}  // namespace fw
