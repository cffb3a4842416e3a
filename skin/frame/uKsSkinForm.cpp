#include "skin/frame/uKsSkinForm.h"
#include "skin/frame/uKsSkinForm_internal.h"

#include "skin/frame/SharedClassBrushes.h"
#include "skin/frame/uKsFormBorder.h"
#include "skin/frame/uKsSkinMainMenu.h"
#include "skin/frame/uKsSkinNCCtrlBase.h"

#include "framework/Forms_win.h"
#include "framework/ReportException_win.h"
#include "framework/ScopeGuard.h"
#include "framework/TypInfo.h"
#include "framework/UtilWindow_win.h"

#include <algorithm>
#include <exception>

namespace ks {

using skinform::Contained;
using skinform::kNoPublishTag;

namespace {

// The NT family, as the system reports it when the form unit starts.
bool DetectWinNT()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);  // 148
    static_assert(sizeof(OSVERSIONINFOA) == 148, "version structure size");
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    if (!::GetVersionExA(&info))
        return false;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

[[maybe_unused]] const bool g_winNTDetected = (IsWinNT = DetectWinNT());

bool IsSizeableStyle(fw::TFormBorderStyle s) { return s == fw::bsSizeable || s == fw::bsSizeToolWin; }

// The screen's monitors, for the max-info rule.
class ScreenMonitors final : public MonitorList {
public:
    explicit ScreenMonitors(fw::TCustomForm& form) : m_form(form) {}
    int Refresh() override { return fw::Screen->MonitorCount(); }
    int FormMonitorNumber() override
    {
        m_monitor = m_form.Monitor();
        return m_monitor != nullptr ? m_monitor->MonitorNum() : -1;
    }
    fw::TRect WorkAreaAt(int number) override
    {
        fw::TMonitor* monitor = fw::Screen->Monitors(number);
        return monitor != nullptr ? monitor->WorkareaRect() : fw::TRect();
    }
    fw::TRect FormMonitorWorkArea() override { return m_monitor != nullptr ? m_monitor->WorkareaRect() : fw::TRect(); }
    // The form's monitor as the refreshed list has it; null without one.
    fw::TMonitor* FormMonitor() const { return m_monitor; }

private:
    fw::TCustomForm& m_form;
    fw::TMonitor* m_monitor = nullptr;
};

}  // namespace

// --- life ---------------------------------------------------------------------------------------

TKsSkinForm::TKsSkinForm(fw::TComponent* owner)
    : TKsHookWindowProc(owner),
      m_options(std::make_unique<TKsSkinFormOptions>()),
      m_gradientBitmap(std::make_unique<TBitmap32>()),
      m_colorBackground(std::make_unique<TBitmap32>()),
      m_pictureSource(std::make_unique<TBitmap32>()),
      m_pictureBackground(std::make_unique<TBitmap32>()),
      m_rowPiece(std::make_unique<TBitmap32>()),
      m_sidePiece(std::make_unique<TBitmap32>())
{
    const bool designing = DesigningNow();
    if (!designing)
        m_form = dynamic_cast<fw::TCustomForm*>(owner);
    FormSkinHelper().Add(m_form, this);
    m_mainMenu = std::make_unique<TKsSkinMainMenu>(this);
    if (designing)
        return;
    m_active = true;
    if (m_form != nullptr) {
        m_savedBorderIcons = m_form->BorderIcons();
        m_state.SetDesignedMaximized(m_form->WindowState() == fw::wsMaximized);
        m_form->SetAutoScroll(false);
        m_form->SetScaled(false);
    }
    if (IsWinNT && fw::Application != nullptr)
        m_appHookCookie = fw::Application->HookMainWindow([this](fw::TMessage& m) { return AppWindowHook(m); });
}

TKsSkinForm::~TKsSkinForm()
{
    m_dying = true;
    m_active = false;
    if (FormWindow() != nullptr)
        m_state.KillTimers();
    if (m_classBrush) {
        // The window class, and with it the background brush, is shared with
        // the other forms of the class: it must not keep ours once ours goes.
        HWND h = FormWindow();
        if (h != nullptr) {
            const auto current = static_cast<std::uintptr_t>(::GetClassLongPtrW(h, GCLP_HBRBACKGROUND));
            if (const auto instead = SharedClassBrushes().Release(m_classBrushKey, this, current))
                ::SetClassLongPtrW(h, GCLP_HBRBACKGROUND, static_cast<LONG_PTR>(*instead));
            m_classBrush.Reset();
        } else {
            // No window to reach the class through: the class may still show
            // the brush, so it is left to the class rather than deleted.
            (void)m_classBrush.Release();
        }
    }
    if (m_appHookCookie != 0 && fw::Application != nullptr)
        fw::Application->UnhookMainWindow(m_appHookCookie);
    FormSkinHelper().Remove(m_form, this);
    if (TKsFormLayerBorder* border = Border())
        border->ForgetElements(&m_elements);
    // The main-menu settings, options, bitmaps and element list go with their
    // owners; the hook puts the form's previous window procedure back.
}

void TKsSkinForm::Notification(fw::TComponent* component, fw::TOperation operation)
{
    TKsHookWindowProc::Notification(component, operation);
    if (operation != fw::opRemove)
        return;
    if (component == m_skinRes)
        m_skinRes = nullptr;
    if (component == m_imageBorder)
        m_imageBorder = nullptr;
    if (m_mainMenu)
        m_mainMenu->LinkRemoved(component);
}

// --- small queries ----------------------------------------------------------------------------

HWND TKsSkinForm::FormWindow() const
{
    if (m_form == nullptr || !m_form->HandleAllocated())
        return nullptr;
    return m_form->Handle();
}

bool TKsSkinForm::Designing() const { return IsDesigning() || m_form == nullptr; }

bool TKsSkinForm::BorderNone() const { return m_form == nullptr || m_form->BorderStyle() == fw::bsNone; }

bool TKsSkinForm::Zoomed() const
{
    HWND h = FormWindow();
    return h != nullptr && ::IsZoomed(h);
}

bool TKsSkinForm::Iconic() const
{
    HWND h = FormWindow();
    return h != nullptr && ::IsIconic(h);
}

// --- the window as the state sees it ----------------------------------------------------------

FormAlpha TKsSkinForm::StateWindow::Alpha() const
{
    return FormAlpha{m_owner.m_form->AlphaBlend(), m_owner.m_form->AlphaBlendValue()};
}

void TKsSkinForm::StateWindow::SetAlpha(const FormAlpha& alpha)
{
    m_owner.m_form->SetAlphaBlend(alpha.Blend);
    m_owner.m_form->SetAlphaBlendValue(alpha.Value);
}

void TKsSkinForm::StateWindow::SetTimer(unsigned id, unsigned ms)
{
    if (HWND h = m_owner.FormWindow())
        ::SetTimer(h, id, ms, nullptr);
}

void TKsSkinForm::StateWindow::KillTimer(unsigned id)
{
    if (HWND h = m_owner.FormWindow())
        ::KillTimer(h, id);
}

void TKsSkinForm::StateWindow::RepaintFrame()
{
    if (HWND h = m_owner.FormWindow())
        ::SendMessageW(h, WM_NCPAINT, 0, 0);
}

void TKsSkinForm::StateWindow::Focus()
{
    if (m_owner.m_form->CanFocus())
        m_owner.m_form->SetFocus();
}

void TKsSkinForm::StateWindow::GrowHeightByOne() { m_owner.m_form->SetHeight(m_owner.m_form->Height() + 1); }

// --- dispatch ---------------------------------------------------------------------------------

void TKsSkinForm::HookedWndProc(fw::TMessage& m)
{
    if (m_dying || !m_active || m_form == nullptr) {
        CallDefault(m);
        return;
    }
    switch (m.Msg) {
    case WM_SIZE:
        WMSize(m);
        return;
    case WM_PAINT:
        WMPaint(m);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(m);
        return;
    case WM_SETCURSOR:
        WMSetCursor(m);
        return;
    case WM_GETMINMAXINFO:
        WMGetMinMaxInfo(m);
        return;
    case WM_WINDOWPOSCHANGING:
        WMWindowPosChanging(m);
        return;
    case WM_WINDOWPOSCHANGED:
        WMWindowPosChanged(m);
        return;
    case WM_NCCALCSIZE:
        WMNCCalcSize(m);
        return;
    case WM_NCHITTEST:
        WMNCHitTest(m);
        return;
    case WM_NCPAINT:
        WMNCPaint(m);
        return;
    case WM_NCACTIVATE:
        // Activation never changes the frame's look, and the system never
        // draws its own caption.
        m.Result = 1;
        return;
    case WM_NCMOUSEMOVE:
        CallDefault(m);
        RouteNCMouseMove(fw::TPoint(fw::MessageX(m.LParam), fw::MessageY(m.LParam)));
        return;
    case WM_NCLBUTTONDOWN:
        WMNCLButtonDown(m);
        return;
    case WM_NCLBUTTONUP:
        WMNCLButtonUp(m);
        return;
    case WM_NCLBUTTONDBLCLK:
        WMNCLButtonDblClk(m);
        return;
    case WM_SYSCOMMAND:
        WMSysCommand(m);
        return;
    case WM_TIMER:
        WMTimer(m);
        return;
    case CM_SKIN_NCREPAINT:
        CMSkinNCRepaint(m);
        return;
    case CM_SKIN_REBUILD:
        CMSkinRebuild(m);
        return;
    case CM_SKIN_SKINCHANGED:
        ApplySkinRes();
        return;
    case CM_SKIN_ADDELEMENT:
        CMSkinAddElement(m);
        return;
    case CM_SKIN_REMOVEELEMENT:
        HostRemoveElement(m_elements, m.WParam);
        return;
    case fw::CM_DIALOGKEY:
    case fw::CM_DIALOGCHAR:
        CMDialogKey(m);
        return;
    case fw::CM_VISIBLECHANGED:
        CMVisibleChanged(m);
        return;
    case fw::CM_SHOWINGCHANGED:
        CMShowingChanged(m);
        return;
    case CM_SKIN_MENUCLOSED:
        // Only the title-bar menu bar waits for this; never passed on.
        m_mainMenu->MenuClosed(FormWindow());
        return;
    default:
        CallDefault(m);
        return;
    }
}

void TKsSkinForm::WMSize(fw::TMessage& m)
{
    CallDefault(m);
    m_regionDirty = true;
    if (Designing())
        return;
    m_state.Resized();
    if (TKsFormLayerBorder* border = Border())
        border->Relayout();
    // Stretched and nine-sliced pictures change everywhere with the size:
    // the client and every control on it (which show the picture through
    // their own backgrounds and frames) are repainted. The frame paint that
    // any size change brings fits the picture to the size first.
    if (m_style == ssPicture && (m_fillStyle == mfsStretch || m_fillStyle == mfs9Block)) {
        if (HWND h = FormWindow()) {
            ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
            for (HWND child = ::GetWindow(h, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
                ::RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
    }
}

void TKsSkinForm::WMPaint(fw::TMessage& m)
{
    if (m.WParam != 0) {
        Contained([&] { PaintClient(reinterpret_cast<HDC>(m.WParam)); });
    } else if (HWND h = FormWindow()) {
        fw::ScopedPaint paint(h);
        Contained([&] { PaintClient(paint.Get()); });
    }
    m.Result = 1;
}

void TKsSkinForm::WMEraseBkgnd(fw::TMessage& m)
{
    m.Result = 1;
    if (m_eraseBackGround && m.WParam != 0)
        Contained([&] { EraseClient(reinterpret_cast<HDC>(m.WParam)); });
}

void TKsSkinForm::WMSetCursor(fw::TMessage& m)
{
    if (ElementCursorSet && reinterpret_cast<HWND>(m.WParam) == FormWindow() && FormWindow() != nullptr) {
        // A title-bar button chose the cursor; keep it.
        m.Result = 1;
        return;
    }
    CallDefault(m);
}

void TKsSkinForm::WMGetMinMaxInfo(fw::TMessage& m)
{
    if (!BorderNone() && m.LParam != 0 && FormWindow() != nullptr && fw::Screen != nullptr) {
        ScreenMonitors monitors(*m_form);
        MinMaxInput in;
        in.WorkArea = MaxInfoWorkArea(monitors);
        if (fw::TMonitor* monitor = monitors.FormMonitor()) {
            in.PrimaryMonitor = monitor->Primary();
            in.DesignedMaximized = m_state.DesignedMaximized();
            in.TitleHeight = m_titleHeight;
            in.FlatFrame = m_state.FlatFrame();
            fw::TSizeConstraints& c = m_form->Constraints();
            in.MinWidth = c.MinWidth();
            in.MinHeight = c.MinHeight();
            in.MaxWidth = c.MaxWidth();
            in.MaxHeight = c.MaxHeight();

            auto* mmi = reinterpret_cast<MINMAXINFO*>(m.LParam);
            MinMaxInfo info;
            info.MaxSize = fw::TPoint(mmi->ptMaxSize.x, mmi->ptMaxSize.y);
            info.MaxPosition = fw::TPoint(mmi->ptMaxPosition.x, mmi->ptMaxPosition.y);
            info.MinTrackSize = fw::TPoint(mmi->ptMinTrackSize.x, mmi->ptMinTrackSize.y);
            info.MaxTrackSize = fw::TPoint(mmi->ptMaxTrackSize.x, mmi->ptMaxTrackSize.y);
            ApplyMinMaxRule(in, info);
            mmi->ptMaxSize = {info.MaxSize.X, info.MaxSize.Y};
            mmi->ptMaxPosition = {info.MaxPosition.X, info.MaxPosition.Y};
            mmi->ptMinTrackSize = {info.MinTrackSize.X, info.MinTrackSize.Y};
            mmi->ptMaxTrackSize = {info.MaxTrackSize.X, info.MaxTrackSize.Y};
            m.Result = 0;
        }
    }
    CallDefault(m);
}

void TKsSkinForm::WMWindowPosChanging(fw::TMessage& m)
{
    if (m.LParam != 0) {
        const auto* wp = reinterpret_cast<const WINDOWPOS*>(m.LParam);
        WindowPosInput in;
        in.Flags = wp->flags;
        in.IsMainForm = fw::Application != nullptr && fw::Application->MainForm() == m_form;
        in.Visible = m_form->Visible();
        TKsFormLayerBorder* border = Border();
        in.BorderLinked = border != nullptr;
        in.Minimized = Iconic();
        const bool wasMinimized = m_state.Minimized();
        m_state.PositionChanging(in);
        BorderFollowsMinimize(wasMinimized);
        // A form that is not the main form hides and shows its border with
        // itself.
        if (border != nullptr) {
            switch (WindowPosChangingAction(in)) {
            case WindowPosAction::SuspendBorder:
                border->Suspend();
                break;
            case WindowPosAction::ResumeBorder:
                border->Resume();
                break;
            case WindowPosAction::EnterMinimized:
            case WindowPosAction::None:
                break;
            }
        }
    }
    CallDefault(m);
}

void TKsSkinForm::WMWindowPosChanged(fw::TMessage& m)
{
    const bool wasMinimized = m_state.Minimized();
    m_state.PositionChanged(Zoomed(), Iconic(), m_form->Visible());
    BorderFollowsMinimize(wasMinimized);
    if (TKsFormLayerBorder* border = Border()) {
        const auto* wp = reinterpret_cast<const WINDOWPOS*>(m.LParam);
        if (Zoomed() || Iconic()) {
            // No border around a maximised or minimised form.
            border->HideAll();
        } else if (wp != nullptr) {
            // A change that does not move the form carries no position.
            if (wp->flags & SWP_NOMOVE)
                border->Move(m_form->Left(), m_form->Top());
            else
                border->Move(wp->x, wp->y);
        }
    }
    CallDefault(m);
}

void TKsSkinForm::WMNCCalcSize(fw::TMessage& m)
{
    if (BorderNone() || m.LParam == 0) {
        CallDefault(m);
        return;
    }
    // Both forms of the message start with the window rectangle, which
    // becomes the client rectangle.
    auto* r = reinterpret_cast<RECT*>(m.LParam);
    const fw::TRect client =
        SkinClientRect(fw::TRect(r->left, r->top, r->right, r->bottom), m_titleHeight, FramWidth());
    *r = RECT{client.Left, client.Top, client.Right, client.Bottom};
    m.Result = 0;
}

void TKsSkinForm::WMNCHitTest(fw::TMessage& m)
{
    if (BorderNone()) {
        CallDefault(m);
        return;
    }
    fw::TPoint p(fw::MessageX(m.LParam) - m_form->Left(), fw::MessageY(m.LParam) - m_form->Top());
    if (m_form->Parent() != nullptr)
        p = m_form->Parent()->ScreenToClient(p);
    FrameMetrics fm;
    fm.Width = m_form->Width();
    fm.Height = m_form->Height();
    fm.TitleHeight = m_titleHeight;
    fm.FrameWidth = FramWidth();
    fm.HitTestWidth = m_hitTestWidth;
    fm.Sizable = IsSizeableStyle(m_form->BorderStyle());
    fm.Maximized = m_form->WindowState() == fw::wsMaximized;
    const int code = HitTestFrame(fm, p);
    m_onSizingBorder = IsSizingHitCode(code);
    m.Result = code;
}

void TKsSkinForm::WMNCPaint(fw::TMessage& m)
{
    RepaintFrameNow();
    // The system never draws its own frame.
    m.Result = 1;
}

void TKsSkinForm::RepaintFrameNow()
{
    Contained([&] {
        UpdateRegion();
        PaintFrame();
    });
}

void TKsSkinForm::WMNCLButtonDown(fw::TMessage& m)
{
    const int value = DragFullWindowsValue(static_cast<int>(m_options->DragFullWindows()), static_cast<int>(m.WParam));
    // Each press puts back what it found, so a press routed inside another
    // one (from an element's handler, or inside the system's move loop)
    // cannot leave the user's setting changed. The global keeps the value
    // the outermost press found: the user's own.
    // The setting comes back whatever happens in the move or size loop that
    // the default handling runs.
    static int s_pressesHoldingSetting = 0;
    struct PutBack {
        bool Armed = false;
        std::uint8_t Saved = 0;
        ~PutBack()
        {
            if (!Armed)
                return;
            ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, Saved, nullptr, 0);
            --s_pressesHoldingSetting;
        }
    } putBack;
    if (value >= 0) {
        BOOL current = FALSE;
        ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &current, 0);
        putBack.Saved = static_cast<std::uint8_t>(current & 0xFF);
        if (s_pressesHoldingSetting == 0)
            SavedDragFullWindows = putBack.Saved;
        putBack.Armed = ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, static_cast<UINT>(value), nullptr, 0) != 0;
        if (putBack.Armed)
            ++s_pressesHoldingSetting;
    }
    // The routing may free the form, and this controller with it.
    const std::weak_ptr<const int> alive = m_elements.LifeToken();
    const bool taken = RouteNCButton(true);
    if (alive.expired())
        return;
    if (!taken)
        CallDefault(m);
    if (TKsFormLayerBorder* border = Border())
        border->Move(m_form->Left(), m_form->Top());
}

void TKsSkinForm::WMNCLButtonUp(fw::TMessage& m)
{
    const std::weak_ptr<const int> alive = m_elements.LifeToken();
    const bool taken = RouteNCButton(false);
    if (!alive.expired() && !taken)
        CallDefault(m);
}

void TKsSkinForm::WMNCLButtonDblClk(fw::TMessage& m)
{
    HWND h = FormWindow();
    if (h == nullptr)
        return;
    TitleDoubleClickInput in;
    in.ElementHot = HostTitleDoubleClickBlocked(m_elements);
    in.HasMaximizeIcon = m_savedBorderIcons.Contains(fw::biMaximize);
    const fw::TFormBorderStyle bs = m_form->BorderStyle();
    in.SizeableOrSingle = bs == fw::bsSizeable || bs == fw::bsSingle;
    in.Zoomed = (::GetWindowLongPtrW(h, GWL_STYLE) & WS_MAXIMIZE) != 0;
    in.Point = fw::TPoint(fw::MessageX(m.LParam) - m_form->Left(), fw::MessageY(m.LParam) - m_form->Top());
    in.Width = m_form->Width();
    in.TitleHeight = m_titleHeight;
    switch (TitleDoubleClickAction(in)) {
    case TitleDoubleClick::Maximize:
        ::SendMessageW(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        break;
    case TitleDoubleClick::Restore:
        ::SendMessageW(h, WM_SYSCOMMAND, SC_RESTORE, 0);
        break;
    case TitleDoubleClick::Nothing:
        break;
    }
}

void TKsSkinForm::WMSysCommand(fw::TMessage& m)
{
    switch (m.WParam & 0xFFF0) {
    case SC_MINIMIZE: {
        CallDefault(m);
        const bool wasMinimized = m_state.Minimized();
        m_state.EnterMinimized();
        BorderFollowsMinimize(wasMinimized);
        return;
    }
    case SC_MAXIMIZE:
        m_state.MaximizeCommand();
        CallDefault(m);
        if (TKsFormLayerBorder* border = Border())
            border->CheckZoom();
        return;
    case SC_RESTORE: {
        CallDefault(m);
        const bool wasMinimized = m_state.Minimized();
        m_state.RestoreCommand(Iconic());
        BorderFollowsMinimize(wasMinimized);
        BorderFollowsRestore();
        return;
    }
    default:
        CallDefault(m);
        return;
    }
}

void TKsSkinForm::WMTimer(fw::TMessage& m)
{
    if (TKsFormLayerBorder* border = Border()) {
        if (m.WParam == kTimerFirstShowSettle)
            border->Setup(&m_elements);
        // Keeps firing: a form minimised behind the controller's back loses
        // its border too.
        else if (m.WParam == kTimerBorderWatch && Iconic())
            border->Suspend();
    }
    if (m.WParam == kTimerMenuReopen) {
        // The title-bar menu bar opens the item that was entered while
        // another item's drop-down was open.
        ::KillTimer(FormWindow(), kTimerMenuReopen);
        m_mainMenu->OpenNextItem();
        return;
    }
    if (!m_state.TimerFired(static_cast<unsigned>(m.WParam), m_form->WindowState() == fw::wsMaximized))
        CallDefault(m);
}

void TKsSkinForm::CMSkinAddElement(fw::TMessage& m)
{
    // A registration posted by an element that is gone meanwhile is ignored.
    if (HostAddElement(m_elements, m_form, m.WParam))
        m_form->Perform(CM_SKIN_NCREPAINT, 0, 0);
}

void TKsSkinForm::CMVisibleChanged(fw::TMessage& m)
{
    CallDefault(m);
    if (TKsFormLayerBorder* border = Border()) {
        if (m_form->Visible())
            border->Resume();
        else
            border->Suspend();
    }
}

void TKsSkinForm::CMDialogKey(fw::TMessage& m)
{
    if (m.WParam == VK_MENU) {
        // Alt alone: answered, and still handed on so the form sees it.
        m.Result = 1;
        CallDefault(m);
        return;
    }
    if (m_mainMenu->AcceleratorKey(m.Msg, m.WParam, m.LParam)) {
        m.Result = 1;
        return;
    }
    CallDefault(m);
}

void TKsSkinForm::CMShowingChanged(fw::TMessage& m)
{
    HWND h = FormWindow();
    if (!m_form->Showing() || h == nullptr) {
        CallDefault(m);
        if (TKsFormLayerBorder* border = Border())
            border->HideAll();
        return;
    }
    fw::TCustomForm* mainForm = fw::Application != nullptr ? fw::Application->MainForm() : nullptr;
    LONG_PTR ex = ::GetWindowLongPtrW(h, GWL_EXSTYLE);
    if (m_options->MinimizeToTaskbar() && mainForm != nullptr && mainForm != m_form) {
        // A taskbar entry of its own.
        ::SetWindowLongPtrW(h, GWL_EXSTYLE, ex | WS_EX_APPWINDOW);
        m_form->SetParentWindow(nullptr);
        h = FormWindow();
        if (h == nullptr) {
            CallDefault(m);
            return;
        }
        ex = ::GetWindowLongPtrW(h, GWL_EXSTYLE);
    }
    if (m_options->HideInTaskbar() && mainForm != nullptr)
        ::SetWindowLongPtrW(h, GWL_EXSTYLE, (ex & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW);
    const LONG_PTR style = ::GetWindowLongPtrW(h, GWL_STYLE);
    if (style & WS_SYSMENU)
        ::SetWindowLongPtrW(h, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_SYSMENU));
    TKsFormLayerBorder* border = Border();
    if (border != nullptr) {
        border->Attach(m_form);
        border->ShowAll();
    }
    if (m_skinRes == nullptr)
        RebuildBackgrounds();
    // The first show also starts the border's watch of the minimised state.
    if (border != nullptr && !m_state.FirstShowDone())
        ::SetTimer(h, kTimerBorderWatch, kBorderWatchMs, nullptr);
    m_state.BeforeShow();
    CallDefault(m);
    m_state.AfterShow(FormWindow() != nullptr && m_form->Showing(), m_form->WindowState() == fw::wsMaximized);
}

void TKsSkinForm::CMSkinNCRepaint(fw::TMessage& m)
{
    if (!Iconic())
        RepaintFrameNow();
    // A border that takes input carries title-bar elements: its top window
    // repaints with the frame.
    TKsFormLayerBorder* border = Border();
    if (border != nullptr && !border->Transparent())
        if (TksFormLayerWindow* top = border->Window(kSideTop); top != nullptr && top->HandleAllocated())
            top->Perform(CM_SKIN_NCREPAINT, m.WParam, m.LParam);
}

void TKsSkinForm::CMSkinRebuild(fw::TMessage& m)
{
    RebuildBackgrounds();
    RefreshAll();
}

void TKsSkinForm::RebuildBackgrounds()
{
    Contained([&] {
        if (m_style == ssColor)
            BuildColorBackground();
        else if (m_style == ssPicture)
            BuildPictureBackground();
    });
}

}  // namespace ks
