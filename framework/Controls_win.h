// Controls on Win32: TControl (position, parent, caption, colour, font,
// visibility, messages), TWinControl (a window created on demand, a
// replaceable WindowProc through which every message passes, child controls,
// window re-creation with adjustable creation parameters) and TCustomControl
// (a windowed control with a canvas and a Paint step).
//
// Message path: the window procedure trampoline finds the control of a window,
// wraps the message in a TMessage and hands it to the control's WindowProc;
// Perform hands a message to WindowProc directly. The default WindowProc is the
// virtual WndProc, which does the framework's bookkeeping and calls Dispatch;
// Dispatch handles the messages a class knows (each class overrides it and
// passes the rest to its base) and ends in DefaultHandler, which for a window
// is the window class's own procedure.
#pragma once

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "framework/Graphics_win.h"
#include "framework/Messages_win.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fw {

class TControl;
class TWinControl;

// The screen's cursors (Forms_win.cpp): the handle of a cursor number and the
// cursor the whole application shows right now (crDefault: none forced).
HCURSOR CursorHandleOf(TCursor cursor);
TCursor ScreenCursorValue();

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;

// Size limits of a control; 0 means no limit.
class TSizeConstraints : public TPersistent {
    FW_CLASS(TSizeConstraints)

    explicit TSizeConstraints(TControl* control = nullptr);
    void Assign(const TPersistent& source) override;

    int MinWidth() const { return m_minWidth; }
    int MinHeight() const { return m_minHeight; }
    int MaxWidth() const { return m_maxWidth; }
    int MaxHeight() const { return m_maxHeight; }
    void SetMinWidth(int value);
    void SetMinHeight(int value);
    void SetMaxWidth(int value);
    void SetMaxHeight(int value);

    // Applies the limits to a size.
    void Constrain(int& width, int& height) const;

    const TNotifyEvent& OnChange() const { return m_onChange; }
    void SetOnChange(TNotifyEvent handler) { m_onChange = std::move(handler); }

private:
    void Changed();

    TControl* m_control;
    int m_minWidth = 0;
    int m_minHeight = 0;
    int m_maxWidth = 0;
    int m_maxHeight = 0;
    TNotifyEvent m_onChange;
};

class TControl : public TComponent {
    FW_CLASS(TControl)

    explicit TControl(TComponent* owner);
    ~TControl() override;

    // --- messages
    // Hands the message to WindowProc and returns its result. Exceptions reach
    // the caller (only window-procedure trampolines catch them).
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // The handler every message of this control passes through. Replace it to
    // see messages first; keep the previous one to pass messages on and to put
    // it back. Setting an empty handler restores the control's own.
    const TWndMethod& WindowProc() const { return m_windowProc; }
    void SetWindowProc(TWndMethod handler);
    // The control's own message handling (the initial WindowProc).
    virtual void WndProc(TMessage& message);
    // What happens to a message nobody handled.
    virtual void DefaultHandler(TMessage& message);

    // --- position and size (relative to the parent's client area; screen
    // coordinates for top-level windows)
    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void SetLeft(int value) { SetBounds(value, m_top, m_width, m_height); }
    void SetTop(int value) { SetBounds(m_left, value, m_width, m_height); }
    void SetWidth(int value) { SetBounds(m_left, m_top, value, m_height); }
    void SetHeight(int value) { SetBounds(m_left, m_top, m_width, value); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(m_left, m_top, m_width, m_height); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }

    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int value) { SetClientSize(value, ClientHeight()); }
    void SetClientHeight(int value) { SetClientSize(ClientWidth(), value); }
    virtual void SetClientSize(int width, int height);
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;

    TSizeConstraints& Constraints() { return m_constraints; }
    TSizeConstraints* ConstraintsObject() { return &m_constraints; }
    void SetConstraints(const TSizeConstraints& value) { m_constraints.Assign(value); }

    TAlign Align() const { return m_align; }
    void SetAlign(TAlign value) { m_align = value; }  // stored; controls are not realigned yet

    // --- parent
    TWinControl* Parent() const { return m_parent; }
    virtual void SetParent(TWinControl* parent);
    void SetParentComponent(TComponent* parent) override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }

    // --- state
    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool value);
    void Show();
    void Hide();
    bool Enabled() const { return m_enabled; }
    virtual void SetEnabled(bool value);
    // UTF-8; windows keep UTF-16.
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& utf8);
    std::wstring CaptionW() const;
    void SetCaptionW(const std::wstring& text);
    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool value);
    TFont& Font() { return m_font; }
    TFont* FontObject() { return &m_font; }
    void SetFont(const TFont& font) { m_font.Assign(font); }
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool value);
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& value) { m_hint = value; }
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool value) { m_showHint = value; }
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor value);
    TControlState& ControlState() { return m_controlState; }
    TControlState ControlState() const { return m_controlState; }
    TControlStyle& ControlStyle() { return m_controlStyle; }
    TControlStyle ControlStyle() const { return m_controlStyle; }
    TDragMode DragMode() const { return m_dragMode; }
    void SetDragMode(TDragMode v) { m_dragMode = v; }
    TDragKind DragKind() const { return m_dragKind; }
    void SetDragKind(TDragKind v) { m_dragKind = v; }
    TCursor DragCursor() const { return m_dragCursor; }
    void SetDragCursor(TCursor v) { m_dragCursor = v; }

    // --- painting
    virtual void Invalidate();
    // Invalidate and paint now.
    virtual void Repaint();
    virtual void Update();
    void Refresh() { Repaint(); }

    // --- events
    const TNotifyEvent& OnClick() const { return m_onClick; }
    void SetOnClick(TNotifyEvent e) { m_onClick = std::move(e); }
    const TNotifyEvent& OnDblClick() const { return m_onDblClick; }
    void SetOnDblClick(TNotifyEvent e) { m_onDblClick = std::move(e); }
    const TNotifyEvent& OnResize() const { return m_onResize; }
    void SetOnResize(TNotifyEvent e) { m_onResize = std::move(e); }
    const TMouseEvent& OnMouseDown() const { return m_onMouseDown; }
    void SetOnMouseDown(TMouseEvent e) { m_onMouseDown = std::move(e); }
    const TMouseEvent& OnMouseUp() const { return m_onMouseUp; }
    void SetOnMouseUp(TMouseEvent e) { m_onMouseUp = std::move(e); }
    const TMouseMoveEvent& OnMouseMove() const { return m_onMouseMove; }
    void SetOnMouseMove(TMouseMoveEvent e) { m_onMouseMove = std::move(e); }

    virtual void Click();

    void Loaded() override;

protected:
    // Handles the messages this class knows; the rest goes to the base class
    // and finally to DefaultHandler.
    virtual void Dispatch(TMessage& message);
    // Stores new bounds after the window (if any) moved.
    void StoreBounds(int left, int top, int width, int height);
    virtual void Resize();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    // Called while the control is being created from a layout or code to tell
    // the parent that the control's area needs repainting.
    void InvalidateControl();
    virtual void FontChanged();

private:
    friend class TWinControl;
    void HandleMouse(TMessage& message);

    TWndMethod m_windowProc;
    TWinControl* m_parent = nullptr;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    TSizeConstraints m_constraints{this};
    TAlign m_align = alNone;
    bool m_visible = true;
    bool m_enabled = true;
    std::string m_caption;
    TColor m_color = clWindow;
    bool m_parentColor = false;
    TFont m_font;
    bool m_parentFont = true;
    std::string m_hint;
    bool m_showHint = false;
    TCursor m_cursor = crDefault;
    TControlState m_controlState;
    TControlStyle m_controlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TDragMode m_dragMode = dmManual;
    TDragKind m_dragKind = dkDrag;
    TCursor m_dragCursor = crDrag;
    bool m_syncingParentFont = false;
    TNotifyEvent m_onClick;
    TNotifyEvent m_onDblClick;
    TNotifyEvent m_onResize;
    TMouseEvent m_onMouseDown;
    TMouseEvent m_onMouseUp;
    TMouseMoveEvent m_onMouseMove;
};

// What CreateWindowExW is called with. CreateParams fills it; subclasses
// change it (styles, window class style, owner).
struct TCreateParams {
    std::wstring Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    // lpfnWndProc is the procedure unhandled messages go to (DefWindowProcW, or
    // a system class's procedure after CreateSubClass); the class is registered
    // under WinClassName with the framework's own procedure.
    WNDCLASSEXW WindowClass{};
    std::wstring WinClassName;
};

class TWinControl : public TControl {
    FW_CLASS(TWinControl)

    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // The window, created on first use (also the parents' windows).
    HWND Handle();
    bool HandleAllocated() const { return m_handle != nullptr; }
    void HandleNeeded() { Handle(); }
    // Destroys the window and creates it again with fresh creation parameters;
    // the control's properties are kept. A showing control shows again.
    void RecreateWnd();
    // A window outside the framework that hosts this control (a child window of
    // it); null for none.
    HWND ParentWindow() const { return m_parentWindow; }
    void SetParentWindow(HWND window);
    // Handle and shown on the screen as far as the framework knows.
    bool Showing() const { return m_showing; }

    // Child controls in insertion order.
    int ControlCount() const { return static_cast<int>(m_controls.size()); }
    TControl* Controls(int index) const { return m_controls.at(static_cast<size_t>(index)); }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    bool ContainsControl(const TControl* control) const;

    bool Focused() const;
    virtual bool CanFocus() const;
    virtual void SetFocus();

    void SetBounds(int left, int top, int width, int height) override;
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    void Invalidate() override;
    void Update() override;

    // Paints the control into a context through its own painting (WM_PAINT with
    // the context as wParam).
    void PaintTo(HDC dc, int x, int y);
    // Sends the window-painting step of this control to a context (used when a
    // child captures what its parent draws).
    virtual void PaintWindow(HDC dc);

    TBrush& Brush() { return m_brush; }

    // The control that owns a window made by the framework, or null.
    static TWinControl* FindControl(HWND window);

    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const override;

protected:
    virtual void CreateParams(TCreateParams& params);
    // Takes the window class of a system control (e.g. L"BUTTON") so the new
    // window behaves like it.
    void CreateSubClass(TCreateParams& params, const wchar_t* systemClassName);
    // Registers the class if needed and creates the window.
    virtual void CreateWindowHandle(const TCreateParams& params);
    // Called after the window exists (properties applied to it).
    virtual void CreateWnd();
    virtual void DestroyWnd();
    void CreateHandle();
    void DestroyHandle();
    // The framework's view of whether the control shows, pushed to the window.
    void UpdateShowing();
    void UpdateControlState();
    // True for controls that may show without a parent (forms).
    virtual bool IsTopLevel() const { return false; }

    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    // Message handlers of this class.
    virtual void WMPaint(TMessage& message);
    virtual void WMEraseBkgnd(TMessage& message);
    virtual void CMShowingChanged(TMessage& message);
    void UpdateBounds();

    WNDPROC DefWndProc() const { return m_defWndProc; }

private:
    friend struct TWinControlAccess;
    static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    void AttachHandle(HWND hwnd);
    void DetachHandle();
    void ShowingChanged(bool showing);
    void WMSetText(TMessage& message);
    void WMSetCursor(TMessage& message);
    void WMGetMinMaxInfo(TMessage& message);

    HWND m_handle = nullptr;
    HWND m_parentWindow = nullptr;
    WNDPROC m_defWndProc = nullptr;
    bool m_showing = false;
    bool m_recreating = false;
    std::vector<TControl*> m_controls;
    TBrush m_brush;
    struct DispatchFrame* m_frames = nullptr;
};

// The canvas of a windowed control. Outside painting it draws on a context
// of the control's window (GetDC), which it keeps until the application is
// idle, the window goes or FreeHandle is called; during WM_PAINT it draws on
// the paint context.
class TControlCanvas : public TCanvas {
public:
    explicit TControlCanvas(TWinControl& control);
    ~TControlCanvas() override;
    // Lets the window's context go.
    void FreeHandle();
    // Lets every control canvas's window context go (called when idle).
    static void FreeDeviceContexts();

protected:
    void CreateHandle() override;

private:
    TWinControl& m_control;
    std::unique_ptr<ScopedGetDC> m_windowDC;
};

// A windowed control that paints itself on a canvas.
class TCustomControl : public TWinControl {
    FW_CLASS(TCustomControl)

    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;

    TCanvas& Canvas() { return m_canvas; }
    void PaintWindow(HDC dc) override;

protected:
    // Draws the control on Canvas; the default does nothing.
    virtual void Paint();
    void WMPaint(TMessage& message) override;
    void DestroyWnd() override;
    void Dispatch(TMessage& message) override;

private:
    TControlCanvas m_canvas;
};

}  // namespace fw
