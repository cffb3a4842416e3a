#include "framework/Forms_win.h"

#include "framework/Reader.h"
#include "framework/TypInfo.h"
#include "framework/WideText_win.h"

#include <algorithm>

namespace fw {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

constexpr wchar_t kApplicationWindowClass[] = L"TApplication";

void ApplicationExceptionSink(std::exception_ptr error) noexcept {
  try {
    if (Application) {
      Application->HandleException(error);
      return;
    }
  } catch (...) {
  }
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    std::string text = std::string("Unhandled exception: ") + e.what() + "\n";
    ::OutputDebugStringA(text.c_str());
  } catch (...) {
    ::OutputDebugStringA("Unhandled exception of unknown type\n");
  }
}

// Creates the program's application object and screen before main() runs.
struct TFormsUnit {
  TFormsUnit() {
    Screen = new TScreen(nullptr);
    Application = new TApplication(nullptr);
    SetExceptionSink(&ApplicationExceptionSink);
  }
};
TFormsUnit g_formsUnit;

TRect FromRECT(const RECT& r) { return TRect(r.left, r.top, r.right, r.bottom); }

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  reinterpret_cast<std::vector<HMONITOR>*>(data)->push_back(monitor);
  return TRUE;
}

}  // namespace

// Cursor hooks for the controls.
HCURSOR CursorHandleOf(TCursor cursor) { return Screen ? Screen->Cursors(cursor) : ::LoadCursorW(nullptr, IDC_ARROW); }
TCursor ScreenCursorValue() { return Screen ? Screen->Cursor() : crDefault; }

// ---------------------------------------------------------------------------
// Registration

const TClassInfo& TScreen::StaticClass() {
  static const TClassInfo& info = DefineClass<TScreen, TComponent>("TScreen").Register();
  return info;
}

const TClassInfo& TApplication::StaticClass() {
  static const TClassInfo& info = DefineClass<TApplication, TComponent>("TApplication").Register();
  return info;
}

const TClassInfo& TCustomForm::StaticClass() {
  static const TClassInfo& info =
      DefineClass<TCustomForm, TCustomControl>("TCustomForm")
          .Component("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl)
          .Bool("AlphaBlend", &TCustomForm::AlphaBlend, &TCustomForm::SetAlphaBlend, false)
          .Int("AlphaBlendValue", &TCustomForm::AlphaBlendValue, &TCustomForm::SetAlphaBlendValue, 255)
          .Bool("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll, true)
          .Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
               {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}, kDefaultBorderIcons)
          .Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
                {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}, bsSizeable)
          .Int("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight)
          .Stored(false)
          .Int("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth)
          .Stored(false)
          .Int("Color", &TCustomForm::Color, &TCustomForm::SetColor, clBtnFace, ColorIdents())
          .NoDefault()
          .Enum("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle,
                {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}, fsNormal)
          .Bool("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview, false)
          .Component("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu)
          .Bool("OldCreateOrder", &TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder)
          .Bool("ParentFont", &TCustomForm::ParentFont, &TCustomForm::SetParentFont, false)
          .Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition,
                {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                 "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"},
                poDesigned)
          .Bool("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled, true)
          .Bool("Visible", &TCustomForm::Visible, &TCustomForm::SetVisible, false)
          .Enum("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState,
                {"wsNormal", "wsMinimized", "wsMaximized"}, wsNormal)
          .Event("OnActivate", &TCustomForm::SetOnActivate)
          .Event("OnClose", &TCustomForm::SetOnClose)
          .Event("OnCloseQuery", &TCustomForm::SetOnCloseQuery)
          .Event("OnCreate", &TCustomForm::SetOnCreate)
          .Event("OnDeactivate", &TCustomForm::SetOnDeactivate)
          .Event("OnDestroy", &TCustomForm::SetOnDestroy)
          .Event("OnHide", &TCustomForm::SetOnHide)
          .Event("OnPaint", &TCustomForm::SetOnPaint)
          .Event("OnShow", &TCustomForm::SetOnShow)
          .Late()
          .Int("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch)
          .Int("TextHeight", &TCustomForm::TextHeight, &TCustomForm::SetTextHeight)
          .Register();
  return info;
}
FW_REGISTER_CLASS(TCustomForm)

const TClassInfo& TForm::StaticClass() {
  static const TClassInfo& info = DefineClass<TForm, TCustomForm>("TForm").Register();
  return info;
}
FW_REGISTER_CLASS(TForm)

// ---------------------------------------------------------------------------
// TMonitor

namespace {
bool MonitorInfo(HMONITOR handle, MONITORINFO& info) {
  info = MONITORINFO{};
  info.cbSize = sizeof(info);
  return ::GetMonitorInfoW(handle, &info) != 0;
}
}  // namespace

bool TMonitor::Primary() const {
  MONITORINFO info;
  return MonitorInfo(m_handle, info) && (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
}

TRect TMonitor::BoundsRect() const {
  MONITORINFO info;
  if (!MonitorInfo(m_handle, info)) return TRect();
  return FromRECT(info.rcMonitor);
}

TRect TMonitor::WorkareaRect() const {
  MONITORINFO info;
  if (!MonitorInfo(m_handle, info)) return TRect();
  return FromRECT(info.rcWork);
}

// ---------------------------------------------------------------------------
// TScreen

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

TScreen::~TScreen() {
  for (auto& [index, cursor] : m_ownCursors) ::DestroyCursor(cursor);
}

int TScreen::Width() const { return ::GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return ::GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::DesktopRect() const {
  int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  return Bounds(x, y, ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

TRect TScreen::WorkAreaRect() const {
  RECT r{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) return Bounds(0, 0, Width(), Height());
  return FromRECT(r);
}

int TScreen::PixelsPerInch() const {
  ScopedGetDC dc(nullptr);
  return dc ? ::GetDeviceCaps(dc.Get(), LOGPIXELSY) : 96;
}

void TScreen::RefreshMonitors() {
  std::vector<HMONITOR> handles;
  ::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&handles));
  // Keep the objects of monitors that are still there, so pointers handed out
  // stay valid while the set of monitors does not change.
  std::vector<std::unique_ptr<TMonitor>> fresh;
  for (size_t i = 0; i < handles.size(); ++i) {
    auto it = std::find_if(m_monitors.begin(), m_monitors.end(),
                           [&](const std::unique_ptr<TMonitor>& m) { return m && m->m_handle == handles[i]; });
    if (it != m_monitors.end()) {
      fresh.push_back(std::move(*it));
      fresh.back()->m_number = static_cast<int>(i);
    } else {
      fresh.push_back(std::make_unique<TMonitor>(handles[i], static_cast<int>(i)));
    }
  }
  m_monitors = std::move(fresh);
}

int TScreen::MonitorCount() {
  RefreshMonitors();
  return static_cast<int>(m_monitors.size());
}

TMonitor* TScreen::Monitors(int index) {
  if (m_monitors.empty()) RefreshMonitors();
  if (index < 0 || index >= static_cast<int>(m_monitors.size())) return nullptr;
  return m_monitors[static_cast<size_t>(index)].get();
}

TMonitor* TScreen::FindMonitor(HMONITOR handle) {
  if (!handle) return nullptr;
  for (auto& m : m_monitors) {
    if (m->m_handle == handle) return m.get();
  }
  RefreshMonitors();
  for (auto& m : m_monitors) {
    if (m->m_handle == handle) return m.get();
  }
  return nullptr;
}

TMonitor* TScreen::PrimaryMonitor() { return FindMonitor(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY)); }

namespace {
DWORD MonitorFlags(TMonitorDefaultTo fallback) {
  switch (fallback) {
    case mdNull: return MONITOR_DEFAULTTONULL;
    case mdPrimary: return MONITOR_DEFAULTTOPRIMARY;
    default: return MONITOR_DEFAULTTONEAREST;
  }
}
}  // namespace

TMonitor* TScreen::MonitorFromWindow(HWND window, TMonitorDefaultTo fallback) {
  return FindMonitor(::MonitorFromWindow(window, MonitorFlags(fallback)));
}

TMonitor* TScreen::MonitorFromPoint(TPoint p, TMonitorDefaultTo fallback) {
  return FindMonitor(::MonitorFromPoint(POINT{p.X, p.Y}, MonitorFlags(fallback)));
}

TMonitor* TScreen::MonitorFromRect(const TRect& r, TMonitorDefaultTo fallback) {
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  return FindMonitor(::MonitorFromRect(&rc, MonitorFlags(fallback)));
}

HCURSOR TScreen::Cursors(TCursor index) {
  if (index == crNone) return nullptr;
  if (auto it = m_ownCursors.find(index); it != m_ownCursors.end()) return it->second;
  if (auto it = m_cursors.find(index); it != m_cursors.end()) return it->second;
  const wchar_t* id = IDC_ARROW;
  switch (index) {
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crSQLWait: id = IDC_WAIT; break;
    case crNo: id = IDC_NO; break;
    case crNoDrop: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    case crHSplit: id = IDC_SIZEWE; break;
    case crVSplit: id = IDC_SIZENS; break;
    default: id = IDC_ARROW; break;
  }
  HCURSOR cursor = ::LoadCursorW(nullptr, id);
  m_cursors[index] = cursor;
  return cursor;
}

void TScreen::SetCursors(TCursor index, HCURSOR cursor) {
  if (index <= 0) {
    // The built-in numbers keep the system's cursors.
    if (cursor) ::DestroyCursor(cursor);
    return;
  }
  if (auto it = m_ownCursors.find(index); it != m_ownCursors.end()) {
    if (it->second != cursor) ::DestroyCursor(it->second);
    if (!cursor) {
      m_ownCursors.erase(it);
      return;
    }
  }
  if (cursor) m_ownCursors[index] = cursor;
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == m_cursor) return;
  m_cursor = cursor;
  if (cursor == crDefault) {
    // Let the window under the mouse choose its cursor again.
    POINT p{};
    ::GetCursorPos(&p);
    HWND window = ::WindowFromPoint(p);
    if (window && ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) {
      LRESULT code = ::SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
      ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(code, WM_MOUSEMOVE));
      return;
    }
  }
  ::SetCursor(Cursors(cursor == crDefault ? crArrow : cursor));
}

void TScreen::AddForm(TCustomForm* form) { m_forms.push_back(form); }

void TScreen::RemoveForm(TCustomForm* form) {
  std::erase(m_forms, form);
  if (m_activeForm == form) m_activeForm = nullptr;
}

// ---------------------------------------------------------------------------
// TCustomForm

TCustomForm::TCustomForm(TComponent* owner) : TCustomControl(owner) {
  ControlStyle() = TControlStyle{csAcceptsControls, csSetCaption, csDoubleClicks};
  SetVisible(false);  // stored only: still creating
  SetColor(clBtnFace);
  SetParentFont(false);
  StoreBounds(0, 0, 320, 240);
  if (Screen) Screen->AddForm(this);
  m_creating = false;
}

TCustomForm::~TCustomForm() {
  BeforeDestruction();
  Destroying();
  if (Screen) Screen->RemoveForm(this);
  if (Application) Application->FormDestroyed(this);
  // Owned components go first, while the form is still whole: one that hooked
  // the form's WindowProc puts the previous one back as it goes.
  DestroyComponents();
  DestroyHandle();
}

void TCustomForm::BeforeDestruction() {
  if (m_destroyDone) return;
  m_destroyDone = true;
  try {
    if (m_onDestroy) m_onDestroy(this);
  } catch (...) {
    ReportException(std::current_exception());
  }
}

std::span<const std::uint8_t> TCustomForm::FindLayoutResource(const std::string& className) {
  std::wstring name = Utf8ToWide(AsciiUpperCase(className));
  HMODULE module = ModuleInstance();
  HRSRC resource = ::FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!resource) return {};
  HGLOBAL loaded = ::LoadResource(module, resource);
  if (!loaded) return {};
  const void* data = ::LockResource(loaded);
  DWORD size = ::SizeofResource(module, resource);
  if (!data || size == 0) return {};
  return {static_cast<const std::uint8_t*>(data), size};
}

void TCustomForm::InitFromLayout() {
  std::span<const std::uint8_t> stream = FindLayoutResource(ClassName());
  if (stream.empty()) throw EFrameworkError("Resource " + AsciiUpperCase(ClassName()) + " not found");
  InitFromLayout(stream);
}

void TCustomForm::InitFromLayout(std::span<const std::uint8_t> stream) {
  m_creating = true;
  ReadComponentStream(stream, *this);
  m_creating = false;
  DoCreate();
  if (Visible()) UpdateControlState();
}

void TCustomForm::DoCreate() {
  if (m_onCreate) m_onCreate(this);
}

void TCustomForm::DoShow() {
  if (m_onShow) m_onShow(this);
}

void TCustomForm::DoHide() {
  if (m_onHide) m_onHide(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (m_onClose) m_onClose(this, action);
}

void TCustomForm::Paint() {
  if (m_onPaint) m_onPaint(this);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove) {
    if (component == m_activeControl) m_activeControl = nullptr;
    if (component == m_menu) m_menu = nullptr;
  }
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == m_activeControl) return;
  m_activeControl = control;
  if (control && !IsLoading() && m_active && control->HandleAllocated() && control->CanFocus()) control->SetFocus();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == m_borderStyle) return;
  m_borderStyle = value;
  if (HandleAllocated() && !IsLoading()) RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (value == m_borderIcons) return;
  m_borderIcons = value;
  if (HandleAllocated() && !IsLoading()) RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle value) {
  if (value == m_formStyle) return;
  m_formStyle = value;
  if (HandleAllocated() && !IsLoading()) {
    ::SetWindowPos(Handle(), value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void TCustomForm::SetWindowState(TWindowState value) {
  if (value == m_windowState) return;
  m_windowState = value;
  if (!HandleAllocated() || !Showing() || IsLoading()) return;
  if (value == wsMinimized && Application && Application->MainForm() == this) {
    Application->Minimize();
    return;
  }
  static constexpr int kShowCommands[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
  ::ShowWindow(Handle(), kShowCommands[value]);
}

void TCustomForm::SetAlphaBlend(bool value) {
  if (value == m_alphaBlend) return;
  m_alphaBlend = value;
  ApplyLayered();
}

void TCustomForm::SetAlphaBlendValue(int value) {
  value = std::clamp(value, 0, 255);
  if (value == m_alphaBlendValue) return;
  m_alphaBlendValue = value;
  ApplyLayered();
}

void TCustomForm::ApplyLayered() {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  LONG_PTR ex = ::GetWindowLongPtrW(h, GWL_EXSTYLE);
  if (m_alphaBlend) {
    if (!(ex & WS_EX_LAYERED)) {
      ::SetWindowLongPtrW(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
      m_layeredByUs = true;
    }
    ::SetLayeredWindowAttributes(h, 0, static_cast<BYTE>(m_alphaBlendValue), LWA_ALPHA);
  } else if (m_layeredByUs) {
    m_layeredByUs = false;
    if (ex & WS_EX_LAYERED) {
      ::SetWindowLongPtrW(h, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
      ::RedrawWindow(h, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
  }
}

TMonitor* TCustomForm::Monitor() {
  if (!Screen) return nullptr;
  if (HandleAllocated()) return Screen->MonitorFromWindow(Handle());
  return Screen->MonitorFromRect(BoundsRect());
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  const bool topLevel = !Parent() && !ParentWindow();
  if (topLevel) {
    params.WndParent = Application ? Application->Handle() : nullptr;
    params.Style &= ~static_cast<DWORD>(WS_CHILD | WS_GROUP | WS_TABSTOP);
  }
  params.WindowClass.style = CS_DBLCLKS;
  switch (m_borderStyle) {
    case bsNone:
      if (topLevel) params.Style |= WS_POPUP;
      break;
    case bsSingle:
    case bsToolWindow:
      params.Style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
    case bsSizeToolWin:
      params.Style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      params.Style |= WS_POPUP | WS_CAPTION;
      params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  if (m_borderStyle == bsToolWindow || m_borderStyle == bsSizeToolWin) params.ExStyle |= WS_EX_TOOLWINDOW;
  if (m_borderStyle != bsNone && m_borderIcons.Contains(biSystemMenu)) {
    params.Style |= WS_SYSMENU;
    const bool boxes = m_borderStyle != bsDialog && m_borderStyle != bsToolWindow && m_borderStyle != bsSizeToolWin;
    if (boxes && m_borderIcons.Contains(biMinimize)) params.Style |= WS_MINIMIZEBOX;
    if (boxes && m_borderIcons.Contains(biMaximize)) params.Style |= WS_MAXIMIZEBOX;
    if (m_borderIcons.Contains(biHelp) &&
        (m_borderStyle == bsDialog || !(m_borderIcons.Contains(biMinimize) || m_borderIcons.Contains(biMaximize)))) {
      params.ExStyle |= WS_EX_CONTEXTHELP;
    }
  }
  if (m_formStyle == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
  if (topLevel && !m_positioned && !(params.Style & WS_POPUP)) {  // only overlapped windows take defaults
    if (m_position == poDefault || m_position == poDefaultPosOnly) {
      params.X = CW_USEDEFAULT;
      params.Y = CW_USEDEFAULT;
    }
    if (m_position == poDefault || m_position == poDefaultSizeOnly) {
      params.Width = CW_USEDEFAULT;
      params.Height = CW_USEDEFAULT;
    }
  }
}

void TCustomForm::CreateWnd() {
  TCustomControl::CreateWnd();
  m_layeredByUs = false;
  ApplyLayered();
  if (m_menu && !Parent() && !ParentWindow()) {
    ::SetMenu(Handle(), m_menu->Handle());
    m_menu->SetWindowHandle(Handle());
  }
}

void TCustomForm::DestroyWnd() {
  // The menu bar outlives the window: a window destroys the menu it shows.
  if (m_menu && HandleAllocated()) {
    ::SetMenu(Handle(), nullptr);
    m_menu->SetWindowHandle(nullptr);
  }
  TCustomControl::DestroyWnd();
}

void TCustomForm::SetMenu(TMainMenu* menu) {
  if (menu == m_menu) return;
  if (m_menu) {
    m_menu->RemoveFreeNotification(this);
    if (HandleAllocated()) {
      ::SetMenu(Handle(), nullptr);
      m_menu->SetWindowHandle(nullptr);
    }
  }
  m_menu = menu;
  if (m_menu) {
    m_menu->FreeNotification(this);
    if (HandleAllocated() && !Parent() && !ParentWindow() && !IsLoading()) {
      ::SetMenu(Handle(), m_menu->Handle());
      m_menu->SetWindowHandle(Handle());
    }
  }
}

void TCustomForm::ApplyPosition() {
  if (Parent() || ParentWindow()) return;
  TRect area;
  switch (m_position) {
    case poScreenCenter:
      area = Bounds(0, 0, Screen->Width(), Screen->Height());
      break;
    case poDesktopCenter:
      area = Screen->DesktopRect();
      break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      TCustomForm* center = nullptr;
      if (m_position == poOwnerFormCenter) center = dynamic_cast<TCustomForm*>(Owner());
      if (!center && Application) center = Application->MainForm();
      if (center && center != this) {
        area = center->BoundsRect();
      } else {
        area = Bounds(0, 0, Screen->Width(), Screen->Height());
      }
      break;
    }
    default:
      return;
  }
  TPoint p = CenterIn(area, TSize(Width(), Height()));
  TRect desktop = Screen->DesktopRect();
  if (p.X < desktop.Left) p.X = desktop.Left;
  if (p.Y < desktop.Top) p.Y = desktop.Top;
  SetBounds(p.X, p.Y, Width(), Height());
}

void TCustomForm::Show() {
  SetVisible(true);
  if (HandleAllocated() && Showing()) {
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (m_onCloseQuery) m_onCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caHide) {
    Hide();
  } else if (action == caMinimize) {
    SetWindowState(wsMinimized);
  } else {
    Release();
  }
}

void TCustomForm::Release() {
  if (Application) Application->ScheduleRelease(this);
}

void TCustomForm::CMShowingChanged(TMessage& message) {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  if (Showing()) {
    DoShow();
    if (!HandleAllocated()) return;  // OnShow may re-create the window
    h = Handle();
    if (!m_positioned) {
      m_positioned = true;
      ApplyPosition();
    }
    if (Application && Application->MainForm() == this && Application->HandleAllocated() &&
        !::IsWindowVisible(Application->Handle())) {
      // The application window carries the taskbar button of the program.
      ::ShowWindow(Application->Handle(), SW_SHOWNOACTIVATE);
    }
    if (Parent() || ParentWindow()) {
      ::SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else if (m_windowState == wsMaximized) {
      ::ShowWindow(h, SW_SHOWMAXIMIZED);
    } else if (m_windowState == wsMinimized) {
      ::ShowWindow(h, SW_SHOWMINIMIZED);
    } else {
      ::ShowWindow(h, SW_SHOWNORMAL);
    }
  } else {
    DoHide();
    if (!HandleAllocated()) return;
    if (Screen && Screen->ActiveForm() == this) Screen->SetActiveForm(nullptr);
    ::ShowWindow(Handle(), SW_HIDE);
  }
}

void TCustomForm::WMSysCommand(TMessage& message) {
  const WPARAM command = message.WParam & 0xFFF0;
  if (command == SC_MINIMIZE && Application && Application->MainForm() == this) {
    // The main form goes down with the whole application.
    Application->Minimize();
    message.Result = 0;
    return;
  }
  DefaultHandler(message);
}

void TCustomForm::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_CLOSE:
      Close();
      message.Result = 0;
      return;
    case WM_SYSCOMMAND:
      WMSysCommand(message);
      return;
    case WM_ACTIVATE: {
      const bool active = LOWORD(message.WParam) != WA_INACTIVE;
      DefaultHandler(message);
      if (IsDestroying()) return;
      m_active = active;
      if (active) {
        if (Screen) Screen->SetActiveForm(this);
        if (m_activeControl && m_activeControl->HandleAllocated() && m_activeControl->CanFocus()) {
          m_activeControl->SetFocus();
        }
        if (m_onActivate) m_onActivate(this);
      } else if (m_onDeactivate) {
        m_onDeactivate(this);
      }
      return;
    }
    case WM_SIZE:
      if (Showing() && !IsLoading()) {
        switch (message.WParam) {
          case SIZE_MINIMIZED: m_windowState = wsMinimized; break;
          case SIZE_MAXIMIZED: m_windowState = wsMaximized; break;
          case SIZE_RESTORED: m_windowState = wsNormal; break;
          default: break;
        }
      }
      break;
    case CM_VISIBLECHANGED:
      if (m_creating || IsLoading()) return;  // shown once the form is complete
      break;
  }
  if (m_menu && m_menu->HandleMenuMessage(message)) return;
  TCustomControl::Dispatch(message);
}

// ---------------------------------------------------------------------------
// TForm

TForm::TForm(TComponent* owner) : TCustomForm(owner) {}
TForm::~TForm() = default;

// ---------------------------------------------------------------------------
// THintWindow

const TClassInfo& THintWindow::StaticClass() {
  static const TClassInfo& info = DefineClass<THintWindow, TCustomControl>("THintWindow").Register();
  return info;
}

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
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

void THintWindow::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style = WS_POPUP | WS_BORDER;
  params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  params.WindowClass.style |= CS_SAVEBITS;
  params.WndParent = Application ? Application->Handle() : nullptr;
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& utf8) {
  TRect r(0, 0, std::max(maxWidth, 0), 0);
  std::wstring text = Utf8ToWide(utf8);
  Canvas().SetFont(Font());
  Canvas().DrawText(r, text, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  r.Right += 6;
  r.Bottom += 2;
  return r;
}

void THintWindow::ActivateHint(const TRect& rect, const std::string& utf8) {
  SetCaption(utf8);
  TRect r = rect;
  TRect desktop = Screen ? Screen->DesktopRect() : r;
  if (r.Right > desktop.Right) r.Offset(desktop.Right - r.Right, 0);
  if (r.Bottom > desktop.Bottom) r.Offset(0, desktop.Bottom - r.Bottom);
  if (r.Left < desktop.Left) r.Offset(desktop.Left - r.Left, 0);
  if (r.Top < desktop.Top) r.Offset(0, desktop.Top - r.Top);
  SetBounds(r.Left, r.Top, r.Width(), r.Height());
  ::SetWindowPos(Handle(), HWND_TOPMOST, r.Left, r.Top, r.Width(), r.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void THintWindow::ReleaseHandle() { DestroyHandle(); }

void THintWindow::Paint() {
  TRect r = ClientRect();
  Canvas().FillRect(r);
  r.Inflate(-2, -1);
  Canvas().Brush().SetStyle(bsClear);
  std::wstring text = CaptionW();
  Canvas().DrawText(r, text, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

void THintWindow::Dispatch(TMessage& message) {
  if (message.Msg == WM_NCHITTEST) {
    message.Result = HTTRANSPARENT;  // the mouse goes through to what lies below
    return;
  }
  TCustomControl::Dispatch(message);
}

// ---------------------------------------------------------------------------
// TApplication

TApplication::TApplication(TComponent* owner) : TComponent(owner) {}

TApplication::~TApplication() {
  for (TComponent* c = nullptr; ComponentCount() > 0;) {
    c = Components(ComponentCount() - 1);
    if (auto* form = dynamic_cast<TCustomForm*>(c)) form->BeforeDestruction();
    delete c;
  }
  if (m_handle) {
    ::SetWindowLongPtrW(m_handle, GWLP_USERDATA, 0);
    ::DestroyWindow(m_handle);
  }
}

void TApplication::Initialize() { Handle(); }

HWND TApplication::Handle() {
  if (m_handle) return m_handle;
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &TApplication::WindowProcedure;
    wc.hInstance = ModuleInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    wc.lpszClassName = kApplicationWindowClass;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      throw EFrameworkError("Can't register the application window class");
    }
    registered = true;
  }
  // A zero-sized pop-up in the middle of the screen: invisible itself, it
  // owns the forms and carries the program's taskbar button and title.
  m_handle = ::CreateWindowExW(0, kApplicationWindowClass, m_title.c_str(),
                               WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                               ::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                               nullptr, nullptr, ModuleInstance(), this);
  if (!m_handle) throw EFrameworkError("Can't create the application window");
  ::SetWindowLongPtrW(m_handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return m_handle;
}

void TApplication::SetTitle(const std::wstring& title) {
  m_title = title;
  if (m_handle) ::SetWindowTextW(m_handle, m_title.c_str());
}

void TApplication::SetTitleUtf8(const std::string& utf8) { SetTitle(Utf8ToWide(utf8)); }

void TApplication::FormCreated(TCustomForm* form) {
  if (!m_mainForm && form) {
    form->HandleNeeded();
    m_mainForm = form;
  }
}

void TApplication::FormDestroyed(TCustomForm* form) {
  if (m_mainForm == form) m_mainForm = nullptr;
  std::erase(m_pendingRelease, form);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == m_mainForm) m_mainForm = nullptr;
}

void TApplication::ScheduleRelease(TCustomForm* form) {
  if (std::find(m_pendingRelease.begin(), m_pendingRelease.end(), form) != m_pendingRelease.end()) return;
  m_pendingRelease.push_back(form);
  ::PostMessageW(Handle(), CM_RELEASE, 0, 0);
}

void TApplication::Run() {
  m_terminated = false;
  if (m_mainForm) {
    if (m_mainForm->WindowState() == wsMinimized) {
      m_mainForm->SetVisible(true);
      Minimize();
    } else {
      m_mainForm->Show();
    }
  }
  do {
    HandleMessage();
  } while (!m_terminated);
}

void TApplication::Terminate() {
  if (!m_terminated) ::PostQuitMessage(0);
  m_terminated = true;
}

bool TApplication::IsKeyMsg(MSG& msg) {
  UINT kind = msg.message;
  if (kind != WM_KEYDOWN && kind != WM_SYSKEYDOWN && kind != WM_SYSCHAR) return false;
  // The form of the window that has the key.
  TWinControl* control = nullptr;
  for (HWND h = msg.hwnd; h && !control; h = ::GetParent(h)) control = TWinControl::FindControl(h);
  if (!control) return false;
  TControl* top = control;
  while (top->Parent()) top = top->Parent();
  auto* form = dynamic_cast<TCustomForm*>(top);
  if (!form) return false;
  if (kind == WM_SYSCHAR) return form->Perform(CM_DIALOGCHAR, msg.wParam, msg.lParam) != 0;
  if (form->Menu()) {
    TShiftState shift;
    if (::GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
    if (::GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
    if (::GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
    if (TMenuItem* item = form->Menu()->FindShortCut(ShortCut(static_cast<WORD>(msg.wParam), shift))) {
      item->Click();
      return true;
    }
  }
  return form->Perform(CM_DIALOGKEY, msg.wParam, msg.lParam) != 0;
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    m_terminated = true;
    return true;
  }
  bool handled = false;
  if (m_onMessage) m_onMessage(msg, handled);
  if (!handled && !IsKeyMsg(msg)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return true;
}

void TApplication::HandleMessage() {
  try {
    MSG msg{};
    if (!ProcessMessage(msg) && !m_terminated) {
      // Idle: window contexts held by canvases go back before we sleep.
      TControlCanvas::FreeDeviceContexts();
      ::WaitMessage();
    }
  } catch (...) {
    HandleException(std::current_exception());
  }
}

void TApplication::ProcessMessages() {
  MSG msg{};
  for (;;) {
    bool more = false;
    try {
      more = ProcessMessage(msg);
    } catch (...) {
      HandleException(std::current_exception());
      more = true;
    }
    if (!more) break;
  }
}

void TApplication::HandleException(std::exception_ptr error) {
  if (m_onException) {
    try {
      m_onException(this, error);
      return;
    } catch (...) {
      error = std::current_exception();
    }
  }
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    std::string text = std::string("Unhandled exception: ") + e.what() + "\n";
    ::OutputDebugStringA(text.c_str());
  } catch (...) {
    ::OutputDebugStringA("Unhandled exception of unknown type\n");
  }
}

int TApplication::HookMainWindow(TWindowHook hook) {
  int cookie = m_nextCookie++;
  m_hooks.push_back({cookie, std::move(hook)});
  return cookie;
}

void TApplication::UnhookMainWindow(int cookie) {
  std::erase_if(m_hooks, [cookie](const THookEntry& e) { return e.Cookie == cookie; });
}

void TApplication::Minimize() {
  HWND h = Handle();
  if (::IsIconic(h)) return;
  ::SetActiveWindow(h);
  ::ShowWindow(h, SW_MINIMIZE);
  if (m_onMinimize) m_onMinimize(this);
}

void TApplication::Restore() {
  HWND h = Handle();
  if (!::IsIconic(h)) return;
  ::SetActiveWindow(h);
  ::ShowWindow(h, SW_RESTORE);
  if (m_mainForm && m_mainForm->HandleAllocated() && ::IsWindowVisible(m_mainForm->Handle())) {
    ::SetActiveWindow(m_mainForm->Handle());
  }
  if (m_onRestore) m_onRestore(this);
}

void TApplication::WndProc(TMessage& message) {
  // Hooks first, in installation order; a hook may remove hooks meanwhile.
  std::vector<int> cookies;
  cookies.reserve(m_hooks.size());
  for (const THookEntry& e : m_hooks) cookies.push_back(e.Cookie);
  for (int cookie : cookies) {
    auto it = std::find_if(m_hooks.begin(), m_hooks.end(), [cookie](const THookEntry& e) { return e.Cookie == cookie; });
    if (it == m_hooks.end()) continue;
    TWindowHook hook = it->Hook;
    if (hook(message)) return;
  }
  switch (message.Msg) {
    case WM_CLOSE:
      if (m_mainForm) m_mainForm->Close();
      message.Result = 0;
      return;
    case WM_SYSCOMMAND:
      switch (message.WParam & 0xFFF0) {
        case SC_MINIMIZE:
          Minimize();
          message.Result = 0;
          return;
        case SC_RESTORE:
          Restore();
          message.Result = 0;
          return;
      }
      break;
    case WM_ACTIVATEAPP:
      m_active = message.WParam != 0;
      break;
    case WM_SETFOCUS:
      if (m_mainForm && m_mainForm->HandleAllocated() && ::IsWindowVisible(m_mainForm->Handle()) &&
          ::IsWindowEnabled(m_mainForm->Handle())) {
        ::SetFocus(m_mainForm->Handle());
        message.Result = 0;
        return;
      }
      break;
    case WM_QUERYENDSESSION:
      message.Result = 1;
      return;
    case WM_ENDSESSION:
      if (message.WParam) Terminate();
      message.Result = 0;
      return;
    case CM_RELEASE: {
      // Forms released while one of their messages was being handled.
      std::vector<TCustomForm*> pending;
      pending.swap(m_pendingRelease);
      for (TCustomForm* form : pending) {
        form->BeforeDestruction();
        delete form;
      }
      message.Result = 0;
      return;
    }
  }
  message.Result = ::DefWindowProcW(m_handle, message.Msg, message.WParam, message.LParam);
}

LRESULT CALLBACK TApplication::WindowProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<TApplication*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
  TMessage message{msg, wp, lp, 0};
  try {
    self->WndProc(message);
  } catch (...) {
    ReportException(std::current_exception());
  }
  return message.Result;
}

}  // namespace fw
