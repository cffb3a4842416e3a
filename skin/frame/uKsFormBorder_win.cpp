// The layered border and its four windows.
#include "skin/frame/uKsFormBorder.h"

#include "skin/frame/NCElementList.h"
#include "skin/frame/uKsSkinHelper.h"
#include "skin/frame/uKsSkinNCCtrlBase.h"

#include "framework/ScopedGdi_win.h"
#include "framework/TypInfo.h"

#include "skin/resources/uKsSkinResManager.h"

#include <exception>
#include <vector>

namespace ks {

namespace {

// SetWindowPos flags for re-asserting the form's place without moving it.
constexpr UINT kZOrderOnlyFlags =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;  // 0x0613
constexpr UINT kBatchFlags = SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW;              // 0x51
constexpr UINT kCreateFlags = SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE;
// Moves the form with the mouse: a move command with the caption's hit
// code, as a press on a caption. (With hit code 1 the system runs its move
// loop without moving anything.)
constexpr WPARAM kDragFormCommand = kScDragMove;  // 0xF012
// The one system command a border window hands to its form.
constexpr WPARAM kPassedCommand = 0xF012;
constexpr COLORREF kIgnoredColorKey = 0x1FFFFFFF;

const TBitmap32* ResolveImage(const std::string& name)
{
    try {
        return SkinResManager().GetBitmap(name);
    } catch (const std::exception&) {
        return nullptr;
    }
}

// The window side that hosts elements put on side.
int WindowSideOf(TSideKind side)
{
    switch (side) {
    case skdLeft:
        return kSideLeft;
    case skdTop:
        return kSideTop;
    case skdRight:
        return kSideRight;
    case skdBottom:
        return kSideBottom;
    }
    return kSideTop;
}

std::vector<TKsSkinNCCtrlBase*> ListedElements(const TKsNCElementList* list)
{
    std::vector<TKsSkinNCCtrlBase*> out;
    if (list == nullptr)
        return out;
    for (int i = 0; i < list->Count(); ++i)
        if (auto* e = dynamic_cast<TKsSkinNCCtrlBase*>(list->Items(i)))
            out.push_back(e);
    return out;
}

struct PlacingGuard {
    bool& Flag;
    explicit PlacingGuard(bool& flag) : Flag(flag) { Flag = true; }
    ~PlacingGuard() { Flag = false; }
};

}  // namespace

LayerPressAction LayerWindowPressAction(bool elementHot, bool dragEnabled)
{
    if (elementHot)
        return LayerPressAction::ElementDown;
    return dragEnabled ? LayerPressAction::DragForm : LayerPressAction::None;
}

// --- the border ---------------------------------------------------------------------------------

const fw::TClassInfo& TKsFormLayerBorder::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsFormLayerBorder, fw::TComponent>("TKsFormLayerBorder")
            .Bool("DragEnabled", &TKsFormLayerBorder::DragEnabled, &TKsFormLayerBorder::SetDragEnabled, true)
            .Enum("StretchKind", &TKsFormLayerBorder::StretchKind, &TKsFormLayerBorder::SetStretchKind,
                  {"skAuto", "skTile"}, skAuto)
            .String("Image", &TKsFormLayerBorder::Image, &TKsFormLayerBorder::SetImage)
            .Object("Size", &TKsFormLayerBorder::Size)
            .Bool("Transparent", &TKsFormLayerBorder::Transparent, &TKsFormLayerBorder::SetTransparent, true)
            .Object("InflateSize", &TKsFormLayerBorder::InflateSize)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsFormLayerBorder)

TKsFormLayerBorder::TKsFormLayerBorder(fw::TComponent* owner)
    : fw::TComponent(owner),
      m_size(std::make_unique<TKsBorderSize>()),
      m_inflateSize(std::make_unique<TKsBorderSize>(5, 5, -5, -5))
{}

TKsFormLayerBorder::~TKsFormLayerBorder()
{
    m_life.reset();
    DestroyWindows();
    if (m_form != nullptr)
        m_form->RemoveFreeNotification(this);
}

void TKsFormLayerBorder::Notification(fw::TComponent* component, fw::TOperation operation)
{
    fw::TComponent::Notification(component, operation);
    if (operation == fw::opRemove && component != nullptr && component == m_form) {
        // The form goes first: its windows, and the elements' hosting, go now.
        DestroyWindows();
        m_form = nullptr;
        m_elements = nullptr;
        m_created = false;
    }
}

HWND TKsFormLayerBorder::FormWindow() const
{
    if (m_form == nullptr || !m_form->HandleAllocated())
        return nullptr;
    return m_form->Handle();
}

bool TKsFormLayerBorder::FormMinimized() const
{
    HWND f = FormWindow();
    return f != nullptr && ::IsIconic(f);
}

void TKsFormLayerBorder::Attach(fw::TCustomForm* form)
{
    if (m_attached || form == nullptr || IsDesigning())
        return;
    m_attached = true;
    m_form = form;
    form->FreeNotification(this);
    const fw::TCloseEvent previousClose = form->OnClose();
    const fw::TNotifyEvent previousShow = form->OnShow();
    const std::weak_ptr<int> life = m_life;
    TKsFormLayerBorder* self = this;
    form->SetOnClose([previousClose, life, self](fw::TObject* sender, fw::TCloseAction& action) {
        if (previousClose)
            previousClose(sender, action);
        // A close that a handler refused leaves the form up, and the border
        // with it.
        if (!life.expired() && action != fw::caNone)
            self->m_closed = true;
    });
    form->SetOnShow([previousShow, life, self](fw::TObject* sender) {
        if (previousShow)
            previousShow(sender);
        if (!life.expired())
            self->m_closed = false;
    });
}

void TKsFormLayerBorder::Setup(TKsNCElementList* elements)
{
    if (m_closed || m_form == nullptr)
        return;
    m_elements = elements;
    CreateWindows(m_form->Left(), m_form->Top(), m_form->Width(), m_form->Height());
}

void TKsFormLayerBorder::ForgetElements(const TKsNCElementList* list)
{
    if (list == nullptr || list != m_elements)
        return;
    for (TksFormLayerWindow* w : m_windows)
        if (w != nullptr)
            w->ReleaseElements();
    m_elements = nullptr;
}

void TKsFormLayerBorder::BuildSlices(int w, int h)
{
    ++m_sliceBuilds;
    try {
        m_slices.Build(ResolveImage(m_image), m_stretchKind, m_transparent, *m_size, *m_inflateSize, w, h);
    } catch (const std::exception&) {
        // Drawing failures are silent: no slices, the windows keep what they show.
        m_slices.Clear();
    }
}

void TKsFormLayerBorder::DestroyWindows()
{
    for (TksFormLayerWindow*& w : m_windows) {
        TksFormLayerWindow* gone = w;
        w = nullptr;
        delete gone;
    }
    m_needsRecreate = true;
}

void TKsFormLayerBorder::WindowGone(TksFormLayerWindow* window)
{
    for (TksFormLayerWindow*& w : m_windows)
        if (w == window)
            w = nullptr;
}

void TKsFormLayerBorder::RedrawAll(bool hide)
{
    for (int side : {kSideTop, kSideBottom, kSideLeft, kSideRight})
        if (TksFormLayerWindow* w = m_windows[static_cast<std::size_t>(side)])
            w->Redraw(hide);
}

bool TKsFormLayerBorder::PlaceWindows(int x, int y, int w, int h, HDWP& batch, UINT flags)
{
    HWND f = FormWindow();
    if (f == nullptr)
        return false;
    BorderZOrderInput in;
    in.StayOnTop = m_form->FormStyle() == fw::fsStayOnTop;
    in.FormActive = ::GetActiveWindow() == f;
    in.FormTopmost = (::GetWindowLongPtrW(f, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    in.FormMinimized = ::IsIconic(f) != 0;
    const BorderZOrderPlan plan = PlanBorderZOrder(in);
    if (plan.BringFormToTop)
        ::SetWindowPos(f, HWND_TOP, 0, 0, 0, 0, kZOrderOnlyFlags);
    if (plan.MakeFormTopmostFirst)
        ::SetWindowPos(f, HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnlyFlags);
    HWND anchor = f;
    if (plan.Anchor == BorderAnchor::Topmost)
        anchor = HWND_TOPMOST;
    else if (plan.Anchor == BorderAnchor::WindowBeforeForm)
        anchor = ::GetWindow(f, GW_HWNDPREV);

    TksFormLayerWindow* top = m_windows[kSideTop];
    int topHeight = 0;
    if (TBitmap32* s = m_slices.Slice(kSideTop))
        topHeight = s->Height();
    else if (top != nullptr && top->HandleAllocated()) {
        RECT r{};
        ::GetWindowRect(top->Handle(), &r);
        topHeight = r.bottom - r.top;
    }
    const BorderPlacement at =
        PlaceBorderWindows(MakeBorderMetrics(*m_size, *m_inflateSize, m_transparent), x, y, w, h, topHeight);
    for (int side : at.Order) {
        TksFormLayerWindow* win = m_windows[static_cast<std::size_t>(side)];
        if (win == nullptr || !win->HandleAllocated())
            continue;
        HWND hw = win->Handle();
        const fw::TPoint p = at.At[static_cast<std::size_t>(side)];
        HWND after = anchor;
        UINT f2 = flags;
        // A topmost border window under a topmost anchor only moves.
        if (anchor == HWND_TOPMOST && (::GetWindowLongPtrW(hw, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) {
            after = nullptr;
            f2 |= SWP_NOZORDER;
        }
        if (batch != nullptr)
            batch = ::DeferWindowPos(batch, hw, after, p.X, p.Y, 0, 0, f2);
        else
            ::SetWindowPos(hw, after, p.X, p.Y, 0, 0, f2);
    }
    return plan.MakeFormTopmostAfter;
}

void TKsFormLayerBorder::CreateWindows(int x, int y, int w, int h)
{
    if ((m_created && !m_needsRecreate) || m_closed || m_form == nullptr || IsDesigning())
        return;
    m_width = w;
    m_height = h;
    m_created = true;
    m_hidden = false;
    BuildSlices(w, h);
    DestroyWindows();
    m_needsRecreate = false;
    for (int side : {kSideLeft, kSideRight, kSideTop, kSideBottom}) {
        auto* win = new TksFormLayerWindow(this, m_form, side, m_dragEnabled);
        m_windows[static_cast<std::size_t>(side)] = win;
        win->Handle();
    }
    RedrawAll(false);
    PlacingGuard guard(m_placing);
    HDWP none = nullptr;
    FinishPlacing(none, PlaceWindows(x, y, w, h, none, kCreateFlags));
}

void TKsFormLayerBorder::Reposition(int x, int y, int w, int h)
{
    if (!m_created || m_closed || m_form == nullptr || m_placing)
        return;
    PlacingGuard guard(m_placing);
    HDWP batch = ::BeginDeferWindowPos(kBorderSideCount);
    m_width = w;
    m_height = h;
    BuildSlices(w, h);
    RedrawAll(false);
    bool topmostAfter = false;
    if (!FormMinimized())
        topmostAfter = PlaceWindows(x, y, w, h, batch, kBatchFlags);
    FinishPlacing(batch, topmostAfter);
}

void TKsFormLayerBorder::Move(int x, int y)
{
    if (!m_created || m_closed || m_hidden || m_form == nullptr || FormWindow() == nullptr || FormMinimized() ||
        m_placing)
        return;
    for (TksFormLayerWindow* win : m_windows)
        if (win == nullptr || !win->HandleAllocated())
            return;
    // Putting a topmost form back on top tells the form its position
    // changed; that must not place the windows again.
    PlacingGuard guard(m_placing);
    HDWP batch = ::BeginDeferWindowPos(kBorderSideCount);
    const bool topmostAfter = PlaceWindows(x, y, m_form->Width(), m_form->Height(), batch, kBatchFlags);
    FinishPlacing(batch, topmostAfter);
}

void TKsFormLayerBorder::FinishPlacing(HDWP batch, bool formTopmostAgain)
{
    // The batch is ended in every case; a topmost form goes back on top of
    // its border after it.
    if (batch != nullptr)
        ::EndDeferWindowPos(batch);
    if (formTopmostAgain)
        if (HWND f = FormWindow())
            ::SetWindowPos(f, HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnlyFlags);
}

void TKsFormLayerBorder::Relayout()
{
    if (m_closed || m_form == nullptr)
        return;
    if (m_form->WindowState() == fw::wsMaximized) {
        Suspend();
        return;
    }
    if (m_hidden && !FormMinimized())
        Resume();
    if (m_created && m_form->Visible())
        Reposition(m_form->Left(), m_form->Top(), m_form->Width(), m_form->Height());
}

void TKsFormLayerBorder::HideAll()
{
    m_hidden = true;
    for (TksFormLayerWindow* w : m_windows)
        if (w != nullptr)
            w->SetHiddenFlag(true);
    RedrawAll(true);
}

void TKsFormLayerBorder::ShowAll()
{
    if (m_closed)
        return;
    m_hidden = false;
    for (TksFormLayerWindow* w : m_windows)
        if (w != nullptr)
            w->SetHiddenFlag(false);
    RedrawAll(false);
}

void TKsFormLayerBorder::Suspend()
{
    if (m_suspended)
        return;
    m_suspended = true;
    m_created = false;
    HideAll();
}

void TKsFormLayerBorder::Resume()
{
    if (m_closed || !m_suspended)
        return;
    m_suspended = false;
    m_created = true;
    ShowAll();
}

void TKsFormLayerBorder::CheckZoom()
{
    HWND f = FormWindow();
    if (f != nullptr && ::IsZoomed(f))
        Suspend();
    else
        Resume();
}

// --- one border window ----------------------------------------------------------------------------

const fw::TClassInfo& TksFormLayerWindow::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TksFormLayerWindow, fw::TCustomForm>("TksFormLayerWindow").Register();
    return info;
}

TksFormLayerWindow::TksFormLayerWindow(TKsFormLayerBorder* border, fw::TCustomForm* form, int side, bool drag)
    : fw::TCustomForm(border),
      m_border(border),
      m_owningForm(form),
      m_side(side),
      m_drag(drag),
      m_transparent(border->Transparent())
{
    SetTag(0);
    SetScaled(false);
    SetBorderStyle(fw::bsNone);
    SetPosition(fw::poScreenCenter);
    SetFormStyle(form != nullptr && form->FormStyle() == fw::fsStayOnTop ? fw::fsStayOnTop : fw::fsNormal);
}

TksFormLayerWindow::~TksFormLayerWindow()
{
    m_life.reset();
    ReleaseElements();
    if (m_border != nullptr)
        m_border->WindowGone(this);
}

void TksFormLayerWindow::CreateParams(fw::TCreateParams& params)
{
    fw::TCustomForm::CreateParams(params);
    params.ExStyle |= WS_EX_TOOLWINDOW;
    if (fw::Application != nullptr && fw::Application->MainForm() == m_owningForm)
        params.WndParent = nullptr;
    params.WindowClass.style = CS_OWNDC | CS_DBLCLKS;
    params.Style = WS_POPUP;
}

void TksFormLayerWindow::CreateWnd()
{
    fw::TCustomForm::CreateWnd();
    HWND h = Handle();
    const LONG_PTR ex = ::GetWindowLongPtrW(h, GWL_EXSTYLE);
    // Transparent: mouse input passes through to what lies below.
    const LONG_PTR add = m_transparent ? (WS_EX_LAYERED | WS_EX_TRANSPARENT) : (WS_EX_LAYERED | WS_EX_NOACTIVATE);
    ::SetWindowLongPtrW(h, GWL_EXSTYLE, ex | add);
}

bool TksFormLayerWindow::Hosts(const TKsSkinNCCtrlBase* element) const
{
    return element != nullptr && element->OwnerControl() == this;
}

void TksFormLayerWindow::HostElements()
{
    for (TKsSkinNCCtrlBase* e : ListedElements(m_border->Elements())) {
        if (WindowSideOf(e->PutSide()) != m_side || Hosts(e))
            continue;
        e->SetHostForm(e->OwnerControl());
        e->SetOwnerControl(this);
        if (e->Pos()->Align() == caRight)
            e->Pos()->SetXValue(e->Pos()->XValue() - m_border->Size()->Horizontal());
        m_shifts.push_back({e, e->Pos()->Align() == caRight ? m_border->Size()->Horizontal() : 0});
    }
}

void TksFormLayerWindow::ReleaseElements()
{
    if (m_border == nullptr)
        return;
    for (TKsSkinNCCtrlBase* e : ListedElements(m_border->Elements())) {
        if (!Hosts(e))
            continue;
        e->SetOwnerControl(e->HostForm() != nullptr ? e->HostForm() : m_owningForm);
        e->SetHostForm(nullptr);
        for (const auto& s : m_shifts)
            if (s.first == e && s.second != 0)
                e->Pos()->SetXValue(e->Pos()->XValue() + s.second);
    }
    m_shifts.clear();
}

TKsSkinNCCtrlBase* TksFormLayerWindow::HotHostedElement() const
{
    for (TKsSkinNCCtrlBase* e : ListedElements(m_border->Elements()))
        if (Hosts(e) && e->Visible() && e->Hot())
            return e;
    return nullptr;
}

void TksFormLayerWindow::Redraw(bool hide)
{
    if (!HandleAllocated() || m_border == nullptr)
        return;
    const TBitmap32* slice = m_border->Slices().Slice(m_side);
    if (slice == nullptr || slice->IsEmpty())
        return;
    try {
        TBitmap32 copy;
        copy.Resize(slice->Width(), slice->Height());
        DrawAt(copy, 0, 0, *slice);
        const bool invisible = hide || m_hidden || m_border->Hidden();
        if (!invisible && !m_border->Transparent() && m_border->Elements() != nullptr) {
            HostElements();
            for (TKsSkinNCCtrlBase* e : ListedElements(m_border->Elements()))
                if (Hosts(e) && e->Visible())
                    e->Paint(copy);
        }
        // The system composes a layered window's pixels as premultiplied;
        // the slices stay straight, the copy is converted.
        PremultiplyPixels(copy.Bits(), static_cast<std::size_t>(copy.Width()) * copy.Height());
        HWND h = Handle();
        RECT r{};
        ::GetWindowRect(h, &r);
        POINT dst{r.left, r.top};
        SIZE size{copy.Width(), copy.Height()};
        POINT src{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(invisible ? 0 : 255), AC_SRC_ALPHA};
        fw::ScopedGetDC screen(nullptr);
        if (::UpdateLayeredWindow(h, screen.Get(), &dst, &size, copy.Handle(), &src, kIgnoredColorKey, &blend,
                                  ULW_ALPHA))
            m_pushedAlpha = blend.SourceConstantAlpha;
    } catch (const std::exception&) {
        // Drawing failures are silent.
    }
}

void TksFormLayerWindow::Dispatch(fw::TMessage& m)
{
    switch (m.Msg) {
    case WM_NCHITTEST:
        // Every mouse message arrives as a non-client one.
        fw::TCustomForm::Dispatch(m);
        m.Result = HTOBJECT;
        return;
    case WM_MOUSEACTIVATE:
        m.Result = MA_NOACTIVATE;
        return;
    case WM_NCLBUTTONDOWN:
        WMNCLButtonDown(m);
        return;
    case WM_NCLBUTTONUP:
        WMNCLButtonUp(m);
        return;
    case WM_NCMOUSEMOVE:
        WMNCMouseMove(m);
        return;
    case WM_SYSCOMMAND:
        WMSysCommand(m);
        return;
    case CM_SKIN_NCREPAINT:
        Redraw(false);
        return;
    default:
        fw::TCustomForm::Dispatch(m);
        return;
    }
}

void TksFormLayerWindow::WMNCLButtonDown(fw::TMessage&)
{
    TKsSkinNCCtrlBase* element = HotHostedElement();
    switch (LayerWindowPressAction(element != nullptr, m_drag)) {
    case LayerPressAction::ElementDown: {
        const std::weak_ptr<int> alive = m_life;
        element->LMouseDown();
        if (!alive.expired())
            Redraw(false);
        return;
    }
    case LayerPressAction::DragForm:
        if (m_owningForm != nullptr && m_owningForm->HandleAllocated()) {
            ::ReleaseCapture();
            ::SendMessageW(m_owningForm->Handle(), WM_SYSCOMMAND, kDragFormCommand, 0);
        }
        return;
    case LayerPressAction::None:
        return;
    }
}

void TksFormLayerWindow::WMNCLButtonUp(fw::TMessage&)
{
    const std::weak_ptr<int> alive = m_life;
    if (TKsSkinNCCtrlBase* element = HotHostedElement())
        element->LMouseUp();
    if (!alive.expired())
        Redraw(false);
}

void TksFormLayerWindow::WMNCMouseMove(fw::TMessage& m)
{
    fw::TCustomForm::Dispatch(m);
    if (m_border != nullptr && m_border->Elements() != nullptr)
        HostTrackElements(*m_border->Elements(), fw::TPoint(fw::MessageX(m.LParam), fw::MessageY(m.LParam)));
}

void TksFormLayerWindow::WMSysCommand(fw::TMessage& m)
{
    m.Result = 0;
    if ((m.WParam & 0xFFFF) == kPassedCommand && m_owningForm != nullptr && m_owningForm->HandleAllocated())
        ::SendMessageW(m_owningForm->Handle(), WM_SYSCOMMAND, kPassedCommand, 0);
}

}  // namespace ks
