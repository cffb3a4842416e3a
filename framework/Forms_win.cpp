#include "framework/Forms_win.h"

#include "framework/FormLayout.h"
#include "framework/Reader.h"
#include "framework/TypInfo.h"
#include "framework/WideText_win.h"

#include <algorithm>

namespace fw {

static_assert(wsbits::kPopup == WS_POPUP && wsbits::kCaption == WS_CAPTION && wsbits::kBorder == WS_BORDER &&
              wsbits::kSysMenu == WS_SYSMENU && wsbits::kThickFrame == WS_THICKFRAME &&
              wsbits::kMinimizeBox == WS_MINIMIZEBOX && wsbits::kMaximizeBox == WS_MAXIMIZEBOX);
static_assert(wsbits::kExDlgModalFrame == WS_EX_DLGMODALFRAME && wsbits::kExTopmost == WS_EX_TOPMOST &&
              wsbits::kExToolWindow == WS_EX_TOOLWINDOW && wsbits::kExWindowEdge == WS_EX_WINDOWEDGE &&
              wsbits::kExContextHelp == WS_EX_CONTEXTHELP);

const TClassInfo& TCustomForm::StaticClass()
{
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

const TClassInfo& TForm::StaticClass()
{
    static const TClassInfo& info = DefineClass<TForm, TCustomForm>("TForm").Register();
    return info;
}
FW_REGISTER_CLASS(TForm)

// ---------------------------------------------------------------------------
// TCustomForm

TCustomForm::TCustomForm(TComponent* owner) : TCustomControl(owner)
{
    ControlStyle() = TControlStyle{csAcceptsControls, csSetCaption, csDoubleClicks};
    SetVisible(false);  // stored only: still creating
    SetColor(clBtnFace);
    SetParentFont(false);
    StoreBounds(0, 0, 320, 240);
    if (Screen)
        Screen->AddForm(this);
    m_creating = false;
}

TCustomForm::~TCustomForm()
{
    BeforeDestruction();
    Destroying();
    if (Screen)
        Screen->RemoveForm(this);
    if (Application)
        Application->FormDestroyed(this);
    // Owned components go first, while the form is still whole: one that hooked
    // the form's WindowProc puts the previous one back as it goes.
    DestroyComponents();
    DestroyHandle();
}

void TCustomForm::BeforeDestruction()
{
    if (m_destroyDone)
        return;
    m_destroyDone = true;
    try {
        if (m_onDestroy)
            m_onDestroy(this);
    } catch (...) {
        ReportException(std::current_exception());
    }
}

std::span<const std::uint8_t> TCustomForm::FindLayoutResource(const std::string& className)
{
    std::wstring name = Utf8ToWide(AsciiUpperCase(className));
    HMODULE module = ModuleInstance();
    HRSRC resource = ::FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!resource)
        return {};
    HGLOBAL loaded = ::LoadResource(module, resource);
    if (!loaded)
        return {};
    const void* data = ::LockResource(loaded);
    DWORD size = ::SizeofResource(module, resource);
    if (!data || size == 0)
        return {};
    return {static_cast<const std::uint8_t*>(data), size};
}

void TCustomForm::InitFromLayout()
{
    std::span<const std::uint8_t> stream = FindLayoutResource(ClassName());
    if (stream.empty())
        throw EFrameworkError("Resource " + AsciiUpperCase(ClassName()) + " not found");
    InitFromLayout(stream);
}

void TCustomForm::InitFromLayout(std::span<const std::uint8_t> stream)
{
    m_creating = true;
    ReadComponentStream(stream, *this);
    m_creating = false;
    DoCreate();
    if (Visible())
        UpdateControlState();
}

void TCustomForm::DoCreate()
{
    if (m_onCreate)
        m_onCreate(this);
}

void TCustomForm::DoShow()
{
    if (m_onShow)
        m_onShow(this);
}

void TCustomForm::DoHide()
{
    if (m_onHide)
        m_onHide(this);
}

void TCustomForm::DoClose(TCloseAction& action)
{
    if (m_onClose)
        m_onClose(this, action);
}

void TCustomForm::Paint()
{
    if (m_onPaint)
        m_onPaint(this);
}

void TCustomForm::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation == opRemove) {
        if (component == m_activeControl)
            m_activeControl = nullptr;
        if (component == m_menu)
            m_menu = nullptr;
    }
}

void TCustomForm::SetActiveControl(TWinControl* control)
{
    if (control == m_activeControl)
        return;
    m_activeControl = control;
    if (control && !IsLoading() && m_active && control->HandleAllocated() && control->CanFocus())
        control->SetFocus();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value)
{
    if (value == m_borderStyle)
        return;
    m_borderStyle = value;
    if (HandleAllocated() && !IsLoading())
        RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value)
{
    if (value == m_borderIcons)
        return;
    m_borderIcons = value;
    if (HandleAllocated() && !IsLoading())
        RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle value)
{
    if (value == m_formStyle)
        return;
    m_formStyle = value;
    if (HandleAllocated() && !IsLoading()) {
        ::SetWindowPos(Handle(), value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TCustomForm::SetWindowState(TWindowState value)
{
    if (value == m_windowState)
        return;
    m_windowState = value;
    if (!HandleAllocated() || !Showing() || IsLoading())
        return;
    if (value == wsMinimized && Application && Application->MainForm() == this) {
        Application->Minimize();
        return;
    }
    static constexpr int kShowCommands[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
    ::ShowWindow(Handle(), kShowCommands[value]);
}

void TCustomForm::SetAlphaBlend(bool value)
{
    if (value == m_alphaBlend)
        return;
    m_alphaBlend = value;
    ApplyLayered();
}

void TCustomForm::SetAlphaBlendValue(int value)
{
    value = std::clamp(value, 0, 255);
    if (value == m_alphaBlendValue)
        return;
    m_alphaBlendValue = value;
    ApplyLayered();
}

void TCustomForm::ApplyLayered()
{
    if (!HandleAllocated())
        return;
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

TMonitor* TCustomForm::Monitor()
{
    if (!Screen)
        return nullptr;
    if (HandleAllocated())
        return Screen->MonitorFromWindow(Handle());
    return Screen->MonitorFromRect(BoundsRect());
}

void TCustomForm::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    const bool topLevel = !Parent() && !ParentWindow();
    if (topLevel) {
        params.WndParent = Application ? Application->Handle() : nullptr;
        params.Style &= ~static_cast<DWORD>(WS_CHILD | WS_GROUP | WS_TABSTOP);
    }
    params.WindowClass.style = CS_DBLCLKS;
    const TWindowStyles frame = FormFrameStyles(m_borderStyle, m_borderIcons, m_formStyle, topLevel);
    params.Style |= frame.Style;
    params.ExStyle |= frame.ExStyle;
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

void TCustomForm::CreateWnd()
{
    TCustomControl::CreateWnd();
    m_layeredByUs = false;
    ApplyLayered();
    if (m_menu && !Parent() && !ParentWindow()) {
        ::SetMenu(Handle(), m_menu->Handle());
        m_menu->SetWindowHandle(Handle());
    }
}

void TCustomForm::DestroyWnd()
{
    // The menu bar outlives the window: a window destroys the menu it shows.
    if (m_menu && HandleAllocated()) {
        ::SetMenu(Handle(), nullptr);
        m_menu->SetWindowHandle(nullptr);
    }
    TCustomControl::DestroyWnd();
}

void TCustomForm::SetMenu(TMainMenu* menu)
{
    if (menu == m_menu)
        return;
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

void TCustomForm::ApplyPosition()
{
    if (Parent() || ParentWindow())
        return;
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
        if (m_position == poOwnerFormCenter)
            center = dynamic_cast<TCustomForm*>(Owner());
        if (!center && Application)
            center = Application->MainForm();
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
    const TPoint p = PlaceCentred(area, TSize(Width(), Height()), Screen->DesktopRect());
    SetBounds(p.X, p.Y, Width(), Height());
}

void TCustomForm::Show()
{
    SetVisible(true);
    if (HandleAllocated() && Showing()) {
        ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (m_onCloseQuery)
        m_onCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close()
{
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
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

void TCustomForm::Release()
{
    if (Application)
        Application->ScheduleRelease(this);
}

void TCustomForm::CMShowingChanged(TMessage& message)
{
    if (!HandleAllocated())
        return;
    HWND h = Handle();
    if (Showing()) {
        DoShow();
        if (!HandleAllocated())
            return;  // OnShow may re-create the window
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
            ::SetWindowPos(h, nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        } else if (m_windowState == wsMaximized) {
            ::ShowWindow(h, SW_SHOWMAXIMIZED);
        } else if (m_windowState == wsMinimized) {
            ::ShowWindow(h, SW_SHOWMINIMIZED);
        } else {
            ::ShowWindow(h, SW_SHOWNORMAL);
        }
    } else {
        DoHide();
        if (!HandleAllocated())
            return;
        if (Screen && Screen->ActiveForm() == this)
            Screen->SetActiveForm(nullptr);
        ::ShowWindow(Handle(), SW_HIDE);
    }
}

void TCustomForm::WMSysCommand(TMessage& message)
{
    const WPARAM command = message.WParam & 0xFFF0;
    if (command == SC_MINIMIZE && Application && Application->MainForm() == this) {
        // The main form goes down with the whole application.
        Application->Minimize();
        message.Result = 0;
        return;
    }
    DefaultHandler(message);
}

void TCustomForm::Dispatch(TMessage& message)
{
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
        if (IsDestroying())
            return;
        m_active = active;
        if (active) {
            if (Screen)
                Screen->SetActiveForm(this);
            if (m_activeControl && m_activeControl->HandleAllocated() && m_activeControl->CanFocus()) {
                m_activeControl->SetFocus();
            }
            if (m_onActivate)
                m_onActivate(this);
        } else if (m_onDeactivate) {
            m_onDeactivate(this);
        }
        return;
    }
    case WM_SIZE:
        if (Showing() && !IsLoading()) {
            switch (message.WParam) {
            case SIZE_MINIMIZED:
                m_windowState = wsMinimized;
                break;
            case SIZE_MAXIMIZED:
                m_windowState = wsMaximized;
                break;
            case SIZE_RESTORED:
                m_windowState = wsNormal;
                break;
            default:
                break;
            }
        }
        break;
    case CM_VISIBLECHANGED:
        if (m_creating || IsLoading())
            return;  // shown once the form is complete
        break;
    }
    if (m_menu && m_menu->HandleMenuMessage(message))
        return;
    TCustomControl::Dispatch(message);
}

// ---------------------------------------------------------------------------
// TForm

TForm::TForm(TComponent* owner) : TCustomForm(owner) {}
TForm::~TForm() = default;

}  // namespace fw
