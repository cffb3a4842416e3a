#include "framework/Controls_win.h"

#include "framework/ScopeGuard.h"
#include "framework/TypInfo.h"
#include "framework/UtilWindow_win.h"
#include "framework/WideText_win.h"

#include <algorithm>

namespace fw {

namespace {

TShiftState ShiftFromKeys(WPARAM keys)
{
    TShiftState shift;
    if (keys & MK_SHIFT)
        shift.Include(ssShift);
    if (keys & MK_CONTROL)
        shift.Include(ssCtrl);
    if (keys & MK_LBUTTON)
        shift.Include(ssLeft);
    if (keys & MK_RBUTTON)
        shift.Include(ssRight);
    if (keys & MK_MBUTTON)
        shift.Include(ssMiddle);
    if (::GetKeyState(VK_MENU) < 0)
        shift.Include(ssAlt);
    return shift;
}

}  // namespace

const TClassInfo& TSizeConstraints::StaticClass()
{
    static const TClassInfo& info =
        DefineClass<TSizeConstraints, TPersistent>("TSizeConstraints")
            .Int("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight, 0)
            .Int("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth, 0)
            .Int("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight, 0)
            .Int("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth, 0)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TSizeConstraints)

const TClassInfo& TControl::StaticClass()
{
    static const TClassInfo& info =
        DefineClass<TControl, TComponent>("TControl")
            .Int("Left", &TControl::Left, &TControl::SetLeft)
            .Int("Top", &TControl::Top, &TControl::SetTop)
            .Int("Width", &TControl::Width, &TControl::SetWidth)
            .Int("Height", &TControl::Height, &TControl::SetHeight)
            .Enum("Align", &TControl::Align, &TControl::SetAlign,
                  {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"}, alNone)
            .WString("Caption", &TControl::Caption, &TControl::SetCaption)
            .Int("Color", &TControl::Color, &TControl::SetColor, clWindow, ColorIdents())
            .Stored([](TControl& c) { return !c.ParentColor(); })
            .Object("Constraints", &TControl::ConstraintsObject)
            .Int("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault, CursorIdents())
            .Int("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, crDrag, CursorIdents())
            .Enum("DragKind", &TControl::DragKind, &TControl::SetDragKind, {"dkDrag", "dkDock"}, dkDrag)
            .Enum("DragMode", &TControl::DragMode, &TControl::SetDragMode, {"dmManual", "dmAutomatic"}, dmManual)
            .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
            .Object("Font", &TControl::FontObject)
            .WString("Hint", &TControl::Hint, &TControl::SetHint)
            .Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false)
            .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
            .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, false)
            .Bool("Visible", &TControl::Visible, &TControl::SetVisible, true)
            .Event("OnClick", &TControl::SetOnClick)
            .Event("OnDblClick", &TControl::SetOnDblClick)
            .Event("OnMouseDown", &TControl::SetOnMouseDown)
            .Event("OnMouseMove", &TControl::SetOnMouseMove)
            .Event("OnMouseUp", &TControl::SetOnMouseUp)
            .Event("OnResize", &TControl::SetOnResize)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TControl)

// ---------------------------------------------------------------------------
// TSizeConstraints

TSizeConstraints::TSizeConstraints(TControl* control) : m_control(control) {}

void TSizeConstraints::Assign(const TPersistent& source)
{
    if (auto* c = dynamic_cast<const TSizeConstraints*>(&source)) {
        m_minWidth = c->m_minWidth;
        m_minHeight = c->m_minHeight;
        m_maxWidth = c->m_maxWidth;
        m_maxHeight = c->m_maxHeight;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TSizeConstraints::SetMinWidth(int value)
{
    value = std::max(value, 0);
    if (value == m_minWidth)
        return;
    m_minWidth = value;
    if (m_maxWidth > 0 && m_maxWidth < value)
        m_maxWidth = value;
    Changed();
}

void TSizeConstraints::SetMinHeight(int value)
{
    value = std::max(value, 0);
    if (value == m_minHeight)
        return;
    m_minHeight = value;
    if (m_maxHeight > 0 && m_maxHeight < value)
        m_maxHeight = value;
    Changed();
}

void TSizeConstraints::SetMaxWidth(int value)
{
    value = std::max(value, 0);
    if (value == m_maxWidth)
        return;
    m_maxWidth = value;
    if (value > 0 && m_minWidth > value)
        m_minWidth = value;
    Changed();
}

void TSizeConstraints::SetMaxHeight(int value)
{
    value = std::max(value, 0);
    if (value == m_maxHeight)
        return;
    m_maxHeight = value;
    if (value > 0 && m_minHeight > value)
        m_minHeight = value;
    Changed();
}

void TSizeConstraints::Constrain(int& width, int& height) const
{
    if (m_maxWidth > 0 && width > m_maxWidth)
        width = m_maxWidth;
    if (m_minWidth > 0 && width < m_minWidth)
        width = m_minWidth;
    if (m_maxHeight > 0 && height > m_maxHeight)
        height = m_maxHeight;
    if (m_minHeight > 0 && height < m_minHeight)
        height = m_minHeight;
}

void TSizeConstraints::Changed()
{
    if (m_control && !m_control->IsLoading()) {
        // The control takes the new limits at once.
        m_control->SetBounds(m_control->Left(), m_control->Top(), m_control->Width(), m_control->Height());
    }
    if (m_onChange)
        m_onChange(this);
}

// ---------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* owner) : TComponent(owner)
{
    m_windowProc = [this](TMessage& m) { WndProc(m); };
    m_font.SetOnChange([this](TObject*) { FontChanged(); });
}

TControl::~TControl()
{
    if (m_parent)
        m_parent->RemoveControl(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam)
{
    TMessage message{msg, wParam, lParam, 0};
    TWndMethod handler = m_windowProc;  // the handler may replace itself meanwhile
    handler(message);
    return message.Result;
}

void TControl::SetWindowProc(TWndMethod handler)
{
    if (handler) {
        m_windowProc = std::move(handler);
    } else {
        m_windowProc = [this](TMessage& m) { WndProc(m); };
    }
}

void TControl::WndProc(TMessage& message) { Dispatch(message); }

void TControl::DefaultHandler(TMessage& message) {}

void TControl::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
        HandleMouse(message);
        return;
    case CM_INVALIDATE:
        InvalidateControl();
        return;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
        Invalidate();
        return;
    case CM_TEXTCHANGED:
        return;
    case CM_PARENTFONTCHANGED:
        if (m_parentFont && m_parent) {
            m_syncingParentFont = true;
            auto done = OnScopeExit([this] { m_syncingParentFont = false; });
            m_font.Assign(m_parent->Font());
        }
        return;
    case CM_PARENTCOLORCHANGED:
        if (m_parentColor && m_parent && m_color != m_parent->Color()) {
            m_color = m_parent->Color();
            Perform(CM_COLORCHANGED);
        }
        return;
    default:
        DefaultHandler(message);
    }
}

void TControl::HandleMouse(TMessage& message)
{
    const int x = MessageX(message.LParam);
    const int y = MessageY(message.LParam);
    TShiftState shift = ShiftFromKeys(message.WParam);
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (m_controlStyle.Contains(csCaptureMouse)) {
            if (auto* self = dynamic_cast<TWinControl*>(this); self && self->HandleAllocated())
                ::SetCapture(self->Handle());
        }
        m_controlState.Include(csLButtonDown);
        if (m_controlStyle.Contains(csClickEvents))
            m_controlState.Include(csClicked);
        if (message.Msg == WM_LBUTTONDBLCLK) {
            shift.Include(ssDouble);
            DblClick();
        }
        DefaultHandler(message);
        MouseDown(mbLeft, shift, x, y);
        return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        DefaultHandler(message);
        MouseDown(mbRight, shift, x, y);
        return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        DefaultHandler(message);
        MouseDown(mbMiddle, shift, x, y);
        return;
    case WM_LBUTTONUP: {
        if (auto* self = dynamic_cast<TWinControl*>(this);
            self && self->HandleAllocated() && ::GetCapture() == self->Handle()) {
            ::ReleaseCapture();
        }
        const bool clicked = m_controlState.Contains(csClicked);
        m_controlState.Exclude(csLButtonDown);
        m_controlState.Exclude(csClicked);
        DefaultHandler(message);
        MouseUp(mbLeft, shift, x, y);
        if (clicked && ClientRect().Contains(TPoint(x, y)))
            Click();
        return;
    }
    case WM_RBUTTONUP:
        DefaultHandler(message);
        MouseUp(mbRight, shift, x, y);
        return;
    case WM_MBUTTONUP:
        DefaultHandler(message);
        MouseUp(mbMiddle, shift, x, y);
        return;
    case WM_MOUSEMOVE:
        DefaultHandler(message);
        MouseMove(shift, x, y);
        return;
    }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (m_onMouseDown)
        m_onMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (m_onMouseUp)
        m_onMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y)
{
    if (m_onMouseMove)
        m_onMouseMove(this, shift, x, y);
}

void TControl::Click()
{
    if (m_onClick)
        m_onClick(this);
}

void TControl::DblClick()
{
    if (m_onDblClick)
        m_onDblClick(this);
}

void TControl::Resize()
{
    if (m_onResize)
        m_onResize(this);
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    m_constraints.Constrain(width, height);
    if (left == m_left && top == m_top && width == m_width && height == m_height)
        return;
    InvalidateControl();
    StoreBounds(left, top, width, height);
    InvalidateControl();
    if (!IsLoading())
        Resize();
}

void TControl::StoreBounds(int left, int top, int width, int height)
{
    m_left = left;
    m_top = top;
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
}

TRect TControl::ClientRect() const { return TRect(0, 0, m_width, m_height); }

void TControl::SetClientSize(int width, int height)
{
    TRect client = ClientRect();
    SetBounds(m_left, m_top, m_width - client.Width() + width, m_height - client.Height() + height);
}

TPoint TControl::ClientOrigin() const
{
    if (m_parent) {
        TPoint p = m_parent->ClientOrigin();
        return {p.X + m_left, p.Y + m_top};
    }
    return {m_left, m_top};
}

TPoint TControl::ClientToScreen(TPoint p) const
{
    TPoint origin = ClientOrigin();
    return {p.X + origin.X, p.Y + origin.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const
{
    TPoint origin = ClientOrigin();
    return {p.X - origin.X, p.Y - origin.Y};
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == m_parent)
        return;
    if (parent == this)
        throw EFrameworkError("A control cannot have itself as its parent");
    if (m_parent)
        m_parent->RemoveControl(this);
    if (parent)
        parent->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* parent)
{
    if (auto* w = dynamic_cast<TWinControl*>(parent))
        SetParent(w);
}

TComponent* TControl::GetParentComponent() const { return m_parent; }

void TControl::SetVisible(bool value)
{
    if (value == m_visible)
        return;
    m_visible = value;
    Perform(CM_VISIBLECHANGED, value ? 1 : 0, 0);
}

void TControl::Show() { SetVisible(true); }
void TControl::Hide() { SetVisible(false); }

void TControl::SetEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetCaption(const std::string& utf8)
{
    if (utf8 == m_caption)
        return;
    auto* self = dynamic_cast<TWinControl*>(this);
    if (self && self->HandleAllocated()) {
        // WM_SETTEXT passes WindowProc, which stores the text and tells the control.
        std::wstring text = Utf8ToWide(utf8);
        ::SetWindowTextW(self->Handle(), text.c_str());
        m_caption = utf8;
        return;
    }
    m_caption = utf8;
    Perform(CM_TEXTCHANGED);
}

std::wstring TControl::CaptionW() const { return Utf8ToWide(m_caption); }

void TControl::SetCaptionW(const std::wstring& text) { SetCaption(WideToUtf8(text)); }

void TControl::SetColor(TColor value)
{
    if (value == m_color) {
        m_parentColor = false;
        return;
    }
    m_color = value;
    m_parentColor = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value)
{
    if (value == m_parentColor)
        return;
    m_parentColor = value;
    if (value && m_parent)
        Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool value)
{
    if (value == m_parentFont)
        return;
    m_parentFont = value;
    if (value && m_parent)
        Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChanged()
{
    if (!m_syncingParentFont)
        m_parentFont = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetCursor(TCursor value)
{
    if (value == m_cursor)
        return;
    m_cursor = value;
    Perform(CM_CURSORCHANGED);
}

void TControl::Invalidate() { Perform(CM_INVALIDATE); }

void TControl::InvalidateControl()
{
    if (!m_parent || !m_parent->HandleAllocated() || m_width <= 0 || m_height <= 0)
        return;
    RECT r{m_left, m_top, m_left + m_width, m_top + m_height};
    ::InvalidateRect(m_parent->Handle(), &r, !m_controlStyle.Contains(csOpaque));
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::Update()
{
    if (m_parent)
        m_parent->Update();
}

void TControl::Loaded()
{
    TComponent::Loaded();
    if (m_parent) {
        if (m_parentFont)
            Perform(CM_PARENTFONTCHANGED);
        if (m_parentColor)
            Perform(CM_PARENTCOLORCHANGED);
    }
}

}  // namespace fw
