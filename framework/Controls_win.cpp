#include "framework/Controls_win.h"

#include "framework/TypInfo.h"
#include "framework/UtilWindow_win.h"
#include "framework/WideText_win.h"

#include <algorithm>

namespace fw {

// One message being handled by a control's window procedure. If the control is
// destroyed while the message is on its way (a handler frees it), the
// destructor marks every open frame so the trampoline does not touch it again.
struct DispatchFrame {
  bool destroyed = false;
  DispatchFrame* previous = nullptr;
};

namespace {

constexpr wchar_t kControlProperty[] = L"FwControl";

// The control whose window CreateWindowExW is making right now: the first
// messages (WM_GETMINMAXINFO, WM_NCCREATE) arrive before the window could be
// tagged with its control.
TWinControl* g_creatingControl = nullptr;

TShiftState ShiftFromKeys(WPARAM keys) {
  TShiftState shift;
  if (keys & MK_SHIFT) shift.Include(ssShift);
  if (keys & MK_CONTROL) shift.Include(ssCtrl);
  if (keys & MK_LBUTTON) shift.Include(ssLeft);
  if (keys & MK_RBUTTON) shift.Include(ssRight);
  if (keys & MK_MBUTTON) shift.Include(ssMiddle);
  if (::GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
  return shift;
}

}  // namespace

// ---------------------------------------------------------------------------
// Registration

const TClassInfo& TSizeConstraints::StaticClass() {
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

const TClassInfo& TControl::StaticClass() {
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

const TClassInfo& TWinControl::StaticClass() {
  static const TClassInfo& info = DefineClass<TWinControl, TControl>("TWinControl").Register();
  return info;
}
FW_REGISTER_CLASS(TWinControl)

const TClassInfo& TCustomControl::StaticClass() {
  static const TClassInfo& info = DefineClass<TCustomControl, TWinControl>("TCustomControl").Register();
  return info;
}
FW_REGISTER_CLASS(TCustomControl)

// ---------------------------------------------------------------------------
// TSizeConstraints

TSizeConstraints::TSizeConstraints(TControl* control) : m_control(control) {}

void TSizeConstraints::Assign(const TPersistent& source) {
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

void TSizeConstraints::SetMinWidth(int value) {
  value = std::max(value, 0);
  if (value == m_minWidth) return;
  m_minWidth = value;
  if (m_maxWidth > 0 && m_maxWidth < value) m_maxWidth = value;
  Changed();
}

void TSizeConstraints::SetMinHeight(int value) {
  value = std::max(value, 0);
  if (value == m_minHeight) return;
  m_minHeight = value;
  if (m_maxHeight > 0 && m_maxHeight < value) m_maxHeight = value;
  Changed();
}

void TSizeConstraints::SetMaxWidth(int value) {
  value = std::max(value, 0);
  if (value == m_maxWidth) return;
  m_maxWidth = value;
  if (value > 0 && m_minWidth > value) m_minWidth = value;
  Changed();
}

void TSizeConstraints::SetMaxHeight(int value) {
  value = std::max(value, 0);
  if (value == m_maxHeight) return;
  m_maxHeight = value;
  if (value > 0 && m_minHeight > value) m_minHeight = value;
  Changed();
}

void TSizeConstraints::Constrain(int& width, int& height) const {
  if (m_maxWidth > 0 && width > m_maxWidth) width = m_maxWidth;
  if (m_minWidth > 0 && width < m_minWidth) width = m_minWidth;
  if (m_maxHeight > 0 && height > m_maxHeight) height = m_maxHeight;
  if (m_minHeight > 0 && height < m_minHeight) height = m_minHeight;
}

void TSizeConstraints::Changed() {
  if (m_control && !m_control->IsLoading()) {
    // The control takes the new limits at once.
    m_control->SetBounds(m_control->Left(), m_control->Top(), m_control->Width(), m_control->Height());
  }
  if (m_onChange) m_onChange(this);
}

// ---------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {
  m_windowProc = [this](TMessage& m) { WndProc(m); };
  m_font.SetOnChange([this](TObject*) { FontChanged(); });
}

TControl::~TControl() {
  if (m_parent) m_parent->RemoveControl(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  TWndMethod handler = m_windowProc;  // the handler may replace itself meanwhile
  handler(message);
  return message.Result;
}

void TControl::SetWindowProc(TWndMethod handler) {
  if (handler) {
    m_windowProc = std::move(handler);
  } else {
    m_windowProc = [this](TMessage& m) { WndProc(m); };
  }
}

void TControl::WndProc(TMessage& message) { Dispatch(message); }

void TControl::DefaultHandler(TMessage& message) {}

void TControl::Dispatch(TMessage& message) {
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
        try {
          m_font.Assign(m_parent->Font());
        } catch (...) {
          m_syncingParentFont = false;
          throw;
        }
        m_syncingParentFont = false;
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

void TControl::HandleMouse(TMessage& message) {
  const int x = MessageX(message.LParam);
  const int y = MessageY(message.LParam);
  TShiftState shift = ShiftFromKeys(message.WParam);
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (m_controlStyle.Contains(csCaptureMouse)) {
        if (auto* self = dynamic_cast<TWinControl*>(this); self && self->HandleAllocated()) ::SetCapture(self->Handle());
      }
      m_controlState.Include(csLButtonDown);
      if (m_controlStyle.Contains(csClickEvents)) m_controlState.Include(csClicked);
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
      if (auto* self = dynamic_cast<TWinControl*>(this); self && self->HandleAllocated() &&
                                                          ::GetCapture() == self->Handle()) {
        ::ReleaseCapture();
      }
      const bool clicked = m_controlState.Contains(csClicked);
      m_controlState.Exclude(csLButtonDown);
      m_controlState.Exclude(csClicked);
      DefaultHandler(message);
      MouseUp(mbLeft, shift, x, y);
      if (clicked && ClientRect().Contains(TPoint(x, y))) Click();
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

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (m_onMouseDown) m_onMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (m_onMouseUp) m_onMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (m_onMouseMove) m_onMouseMove(this, shift, x, y);
}

void TControl::Click() {
  if (m_onClick) m_onClick(this);
}

void TControl::DblClick() {
  if (m_onDblClick) m_onDblClick(this);
}

void TControl::Resize() {
  if (m_onResize) m_onResize(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  m_constraints.Constrain(width, height);
  if (left == m_left && top == m_top && width == m_width && height == m_height) return;
  InvalidateControl();
  StoreBounds(left, top, width, height);
  InvalidateControl();
  if (!IsLoading()) Resize();
}

void TControl::StoreBounds(int left, int top, int width, int height) {
  m_left = left;
  m_top = top;
  m_width = std::max(width, 0);
  m_height = std::max(height, 0);
}

TRect TControl::ClientRect() const { return TRect(0, 0, m_width, m_height); }

void TControl::SetClientSize(int width, int height) {
  TRect client = ClientRect();
  SetBounds(m_left, m_top, m_width - client.Width() + width, m_height - client.Height() + height);
}

TPoint TControl::ClientOrigin() const {
  if (m_parent) {
    TPoint p = m_parent->ClientOrigin();
    return {p.X + m_left, p.Y + m_top};
  }
  return {m_left, m_top};
}

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint origin = ClientOrigin();
  return {p.X + origin.X, p.Y + origin.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint origin = ClientOrigin();
  return {p.X - origin.X, p.Y - origin.Y};
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == m_parent) return;
  if (parent == this) throw EFrameworkError("A control cannot have itself as its parent");
  if (m_parent) m_parent->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

TComponent* TControl::GetParentComponent() const { return m_parent; }

void TControl::SetVisible(bool value) {
  if (value == m_visible) return;
  m_visible = value;
  Perform(CM_VISIBLECHANGED, value ? 1 : 0, 0);
}

void TControl::Show() { SetVisible(true); }
void TControl::Hide() { SetVisible(false); }

void TControl::SetEnabled(bool value) {
  if (value == m_enabled) return;
  m_enabled = value;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetCaption(const std::string& utf8) {
  if (utf8 == m_caption) return;
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

void TControl::SetColor(TColor value) {
  if (value == m_color) {
    m_parentColor = false;
    return;
  }
  m_color = value;
  m_parentColor = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (value == m_parentColor) return;
  m_parentColor = value;
  if (value && m_parent) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (value == m_parentFont) return;
  m_parentFont = value;
  if (value && m_parent) Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChanged() {
  if (!m_syncingParentFont) m_parentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetCursor(TCursor value) {
  if (value == m_cursor) return;
  m_cursor = value;
  Perform(CM_CURSORCHANGED);
}

void TControl::Invalidate() { Perform(CM_INVALIDATE); }

void TControl::InvalidateControl() {
  if (!m_parent || !m_parent->HandleAllocated() || m_width <= 0 || m_height <= 0) return;
  RECT r{m_left, m_top, m_left + m_width, m_top + m_height};
  ::InvalidateRect(m_parent->Handle(), &r, !m_controlStyle.Contains(csOpaque));
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (m_parent) m_parent->Update();
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (m_parent) {
    if (m_parentFont) Perform(CM_PARENTFONTCHANGED);
    if (m_parentColor) Perform(CM_PARENTCOLORCHANGED);
  }
}

// ---------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { m_brush.SetColor(Color()); }

TWinControl::~TWinControl() {
  for (DispatchFrame* f = m_frames; f; f = f->previous) f->destroyed = true;
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
  if (Parent()) Parent()->RemoveControl(this);
  while (!m_controls.empty()) {
    TControl* child = m_controls.back();
    RemoveControl(child);
    delete child;
  }
}

TWinControl* TWinControl::FindControl(HWND window) {
  if (!window) return nullptr;
  return static_cast<TWinControl*>(::GetPropW(window, kControlProperty));
}

HWND TWinControl::Handle() {
  if (!m_handle) CreateHandle();
  return m_handle;
}

void TWinControl::AttachHandle(HWND hwnd) {
  m_handle = hwnd;
  ::SetPropW(hwnd, kControlProperty, this);
}

void TWinControl::DetachHandle() {
  if (m_handle) ::RemovePropW(m_handle, kControlProperty);
  m_handle = nullptr;
  m_showing = false;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params = TCreateParams{};
  params.Caption = CaptionW();
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (ControlStyle().Contains(csAcceptsControls)) params.Style |= WS_CLIPCHILDREN;
  if (!Enabled()) params.Style |= WS_DISABLED;
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

void TWinControl::CreateSubClass(TCreateParams& params, const wchar_t* systemClassName) {
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

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
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
    if (known) ::UnregisterClassW(className.c_str(), instance);
    WNDCLASSEXW wc = params.WindowClass;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &TWinControl::WindowProcedure;
    wc.hInstance = instance;
    wc.lpszClassName = className.c_str();
    if (!::RegisterClassExW(&wc)) throw EFrameworkError("Can't register window class " + WideToUtf8(className));
  }
  m_defWndProc = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : &::DefWindowProcW;
  TWinControl* previous = g_creatingControl;
  g_creatingControl = this;
  HWND h = ::CreateWindowExW(params.ExStyle, className.c_str(), params.Caption.c_str(), params.Style, params.X,
                             params.Y, params.Width, params.Height, params.WndParent, nullptr, instance, params.Param);
  g_creatingControl = previous;
  if (!h) throw EFrameworkError("Error creating window for " + (Name().empty() ? ClassName() : Name()));
  if (m_handle != h) AttachHandle(h);
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (params.Style & WS_CHILD) {
    if (!params.WndParent) {
      throw EFrameworkError("Control '" + (Name().empty() ? ClassName() : Name()) + "' has no parent window");
    }
  }
  CreateWindowHandle(params);
}

void TWinControl::DestroyWnd() {
  if (m_handle) ::DestroyWindow(m_handle);  // WM_NCDESTROY detaches the control
  if (m_handle) DetachHandle();
}

void TWinControl::CreateHandle() {
  if (m_handle) return;
  if (Parent()) Parent()->HandleNeeded();
  CreateWnd();
  UpdateBounds();
}

void TWinControl::DestroyHandle() {
  if (!m_handle) return;
  ControlState().Include(csDestroyingHandle);
  try {
    DestroyWnd();
  } catch (...) {
    ControlState().Exclude(csDestroyingHandle);
    throw;
  }
  ControlState().Exclude(csDestroyingHandle);
}

void TWinControl::RecreateWnd() {
  if (!m_handle || m_recreating) return;
  m_recreating = true;
  const bool wasShowing = m_showing;
  // Remember which children had windows; theirs go with ours.
  std::vector<TWinControl*> hadWindows;
  for (TControl* c : m_controls) {
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->m_handle) hadWindows.push_back(w);
  }
  try {
    DestroyHandle();
    CreateHandle();
    for (TWinControl* w : hadWindows) {
      if (ContainsControl(w) && !w->m_handle) w->HandleNeeded();
    }
    if (wasShowing) {
      UpdateShowing();
    } else {
      for (TWinControl* w : hadWindows) {
        if (ContainsControl(w)) w->UpdateShowing();
      }
    }
  } catch (...) {
    m_recreating = false;
    throw;
  }
  m_recreating = false;
}

void TWinControl::SetParentWindow(HWND window) {
  if (window == m_parentWindow) return;
  m_parentWindow = window;
  if (!Parent() && m_handle) {
    if (m_showing || Visible()) {
      RecreateWnd();
    } else {
      DestroyHandle();
    }
  }
  if (!Parent()) UpdateControlState();
}

void TWinControl::InsertControl(TControl* control) {
  if (!control || ContainsControl(control)) return;
  control->m_parent = this;
  m_controls.push_back(control);
  if (control->ParentFont()) control->Perform(CM_PARENTFONTCHANGED);
  if (control->ParentColor()) control->Perform(CM_PARENTCOLORCHANGED);
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    if (m_showing) w->UpdateControlState();
  } else {
    control->InvalidateControl();
  }
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(m_controls.begin(), m_controls.end(), control);
  if (it == m_controls.end()) return;
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    if (w->m_handle && !w->IsDestroying()) w->DestroyHandle();
  } else {
    control->InvalidateControl();
  }
  m_controls.erase(std::find(m_controls.begin(), m_controls.end(), control));
  control->m_parent = nullptr;
}

bool TWinControl::ContainsControl(const TControl* control) const {
  return std::find(m_controls.begin(), m_controls.end(), control) != m_controls.end();
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const {
  for (TControl* c : m_controls) {
    if (c->Owner() == root) proc(c);
  }
  if (this == root) {
    for (int i = 0; i < ComponentCount(); ++i) {
      TComponent* c = Components(i);
      if (!c->HasParent() || !c->GetParentComponent()) proc(c);
    }
  }
}

bool TWinControl::Focused() const { return m_handle && ::GetFocus() == m_handle; }

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent()) {
    if (!c->Visible() || !c->Enabled()) return false;
  }
  return true;
}

void TWinControl::SetFocus() { ::SetFocus(Handle()); }

void TWinControl::SetBounds(int left, int top, int width, int height) {
  Constraints().Constrain(width, height);
  if (left == Left() && top == Top() && width == Width() && height == Height()) return;
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

void TWinControl::UpdateBounds() {
  if (!m_handle) return;
  RECT r{};
  if (::IsIconic(m_handle)) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    ::GetWindowPlacement(m_handle, &wp);
    r = wp.rcNormalPosition;
  } else {
    ::GetWindowRect(m_handle, &r);
    if (::GetWindowLongPtrW(m_handle, GWL_STYLE) & WS_CHILD) {
      if (HWND parent = ::GetParent(m_handle)) ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    }
  }
  StoreBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

TRect TWinControl::ClientRect() const {
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

TPoint TWinControl::ClientOrigin() const {
  if (m_handle) {
    POINT p{0, 0};
    ::ClientToScreen(m_handle, &p);
    return {p.x, p.y};
  }
  return TControl::ClientOrigin();
}

void TWinControl::Invalidate() { Perform(CM_INVALIDATE); }

void TWinControl::Update() {
  if (m_handle) ::UpdateWindow(m_handle);
}

void TWinControl::UpdateShowing() {
  const bool showNow = Visible() || IsDesigning();
  if (showNow) {
    if (!m_handle) CreateHandle();
    // Children first: they are ready when the parent appears.
    std::vector<TControl*> children = m_controls;
    for (TControl* c : children) {
      if (!ContainsControl(c)) continue;
      if (auto* w = dynamic_cast<TWinControl*>(c)) w->UpdateShowing();
    }
  }
  if (m_handle && m_showing != showNow) {
    m_showing = showNow;
    try {
      Perform(CM_SHOWINGCHANGED);
    } catch (...) {
      m_showing = !showNow;
      throw;
    }
  }
}

void TWinControl::UpdateControlState() {
  const TWinControl* top = this;
  while (top->Parent()) {
    top = top->Parent();
    if (!top->Showing()) return;
  }
  if (top->IsTopLevel() || top->m_parentWindow) UpdateShowing();
}

void TWinControl::WndProc(TMessage& message) { TControl::WndProc(message); }

void TWinControl::Dispatch(TMessage& message) {
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
      if (!IsLoading()) Resize();
      return;
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED:
      DefaultHandler(message);
      UpdateBounds();
      return;
    case WM_SETTEXT: {
      DefaultHandler(message);
      const auto* text = reinterpret_cast<const wchar_t*>(message.LParam);
      std::string caption = text ? WideToUtf8(text) : std::string();
      if (caption != Caption()) TControl::m_caption = caption;
      Perform(CM_TEXTCHANGED);
      return;
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(message.WParam) == m_handle && LOWORD(message.LParam) == HTCLIENT) {
        TCursor cursor = ScreenCursorValue();
        if (cursor == crDefault) cursor = Cursor();
        if (cursor != crDefault) {
          ::SetCursor(CursorHandleOf(cursor));
          message.Result = 1;
          return;
        }
      }
      DefaultHandler(message);
      return;
    case WM_GETMINMAXINFO: {
      DefaultHandler(message);
      auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
      const TSizeConstraints& c = Constraints();
      if (c.MinWidth() > 0) info->ptMinTrackSize.x = c.MinWidth();
      if (c.MinHeight() > 0) info->ptMinTrackSize.y = c.MinHeight();
      if (c.MaxWidth() > 0) info->ptMaxTrackSize.x = c.MaxWidth();
      if (c.MaxHeight() > 0) info->ptMaxTrackSize.y = c.MaxHeight();
      return;
    }
    case CM_SHOWINGCHANGED:
      CMShowingChanged(message);
      return;
    case CM_VISIBLECHANGED:
      UpdateControlState();
      return;
    case CM_ENABLEDCHANGED:
      if (m_handle) ::EnableWindow(m_handle, Enabled());
      Invalidate();
      return;
    case CM_COLORCHANGED:
      m_brush.SetColor(Color());
      Invalidate();
      for (TControl* c : std::vector<TControl*>(m_controls)) c->Perform(CM_PARENTCOLORCHANGED);
      return;
    case CM_FONTCHANGED:
      Invalidate();
      for (TControl* c : std::vector<TControl*>(m_controls)) c->Perform(CM_PARENTFONTCHANGED);
      return;
    case CM_INVALIDATE:
      if (m_handle) ::InvalidateRect(m_handle, nullptr, !ControlStyle().Contains(csOpaque));
      return;
    case CM_RELEASE:
      return;
  }
  TControl::Dispatch(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
  if (!m_handle) return;
  message.Result = ::CallWindowProcW(m_defWndProc ? m_defWndProc : &::DefWindowProcW, m_handle, message.Msg,
                                     message.WParam, message.LParam);
}

void TWinControl::WMPaint(TMessage& message) { DefaultHandler(message); }

void TWinControl::WMEraseBkgnd(TMessage& message) {
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

void TWinControl::CMShowingChanged(TMessage& message) {
  if (!m_handle) return;
  const UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  ::SetWindowPos(m_handle, nullptr, 0, 0, 0, 0, flags | (m_showing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::PaintWindow(HDC dc) {
  TMessage message{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
  DefaultHandler(message);
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  if (!dc) return;
  ControlState().Include(csPaintCopy);
  try {
    ScopedSaveDC saved(dc);
    ::SetWindowOrgEx(dc, -x, -y, nullptr);
    ::IntersectClipRect(dc, 0, 0, Width(), Height());
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    PaintWindow(dc);
  } catch (...) {
    ControlState().Exclude(csPaintCopy);
    throw;
  }
  ControlState().Exclude(csPaintCopy);
  for (TControl* c : std::vector<TControl*>(m_controls)) {
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible() && ContainsControl(w)) {
      w->PaintTo(dc, x + w->Left(), y + w->Top());
    }
  }
}

LRESULT CALLBACK TWinControl::WindowProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TWinControl* control = FindControl(hwnd);
  if (!control) {
    if (!g_creatingControl) return ::DefWindowProcW(hwnd, msg, wp, lp);
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
  if (frame.destroyed) return message.Result;
  control->m_frames = frame.previous;
  if (msg == WM_NCDESTROY && control->m_handle == hwnd) control->DetachHandle();
  return message.Result;
}

// ---------------------------------------------------------------------------
// TControlCanvas

namespace {
std::vector<TControlCanvas*>& CanvasesWithWindowDC() {
  static std::vector<TControlCanvas*> list;
  return list;
}
}  // namespace

TControlCanvas::TControlCanvas(TWinControl& control) : m_control(control) {}

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::CreateHandle() {
  HWND window = m_control.Handle();
  auto dc = std::make_unique<ScopedGetDC>(window);
  if (!*dc) return;
  m_windowDC = std::move(dc);
  CanvasesWithWindowDC().push_back(this);
  AdoptHandle(m_windowDC->Get());
}

void TControlCanvas::FreeHandle() {
  if (!m_windowDC) return;
  DeselectHandles();
  AdoptHandle(nullptr);
  m_windowDC.reset();
  std::erase(CanvasesWithWindowDC(), this);
}

void TControlCanvas::FreeDeviceContexts() {
  std::vector<TControlCanvas*> list = CanvasesWithWindowDC();
  for (TControlCanvas* canvas : list) canvas->FreeHandle();
}

// ---------------------------------------------------------------------------
// TCustomControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), m_canvas(*this) {}

TCustomControl::~TCustomControl() { m_canvas.FreeHandle(); }

void TCustomControl::Paint() {}

void TCustomControl::DestroyWnd() {
  m_canvas.FreeHandle();  // the window's context goes before the window
  TWinControl::DestroyWnd();
}

void TCustomControl::Dispatch(TMessage& message) {
  if (message.Msg == WM_NCDESTROY) m_canvas.FreeHandle();
  TWinControl::Dispatch(message);
}

void TCustomControl::WMPaint(TMessage& message) {
  if (message.WParam) {
    PaintWindow(reinterpret_cast<HDC>(message.WParam));
  } else {
    ScopedPaint paint(Handle());
    if (paint) PaintWindow(paint.Get());
  }
  message.Result = 0;
}

void TCustomControl::PaintWindow(HDC dc) {
  m_canvas.FreeHandle();
  ScopedSaveDC saved(dc);
  m_canvas.SetHandle(dc);
  ControlState().Include(csCustomPaint);
  try {
    m_canvas.SetFont(Font());
    m_canvas.Brush().SetColor(Color());
    Paint();
  } catch (...) {
    m_canvas.SetHandle(nullptr);
    ControlState().Exclude(csCustomPaint);
    throw;
  }
  m_canvas.SetHandle(nullptr);
  ControlState().Exclude(csCustomPaint);
}

}  // namespace fw
