// TKsSkinNCCtrlBase: registration, placement, mouse tracking, hints and
// repaint requests of a title-bar element; and the calls a host makes on its
// element list.
#include "skin/frame/uKsSkinNCCtrlBase.h"

#include "framework/Controls_win.h"
#include "framework/ExtCtrls_win.h"
#include "framework/Forms_win.h"
#include "framework/ScopeGuard.h"
#include "framework/TypInfo.h"
#include "framework/ReportException_win.h"
#include "skin/frame/uKsSkinForm.h"
#include "skin/frame/uKsSkinHelper.h"
#include "skin/render/Bitmap32.h"

namespace ks {

namespace {

inline constexpr unsigned kPollIntervalMs = 100;
inline constexpr int kDefaultElementSize = 25;

}  // namespace

int TNCCtrlPos::OwnerWidth() const { return m_owner != nullptr ? m_owner->Width() : 0; }

// --- published table -----------------------------------------------------------------------

const fw::TClassInfo& TKsSkinNCCtrlBase::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinNCCtrlBase, fw::TComponent>("TKsSkinNCCtrlBase")
            .Enum("About", &TKsSkinNCCtrlBase::About, &TKsSkinNCCtrlBase::SetAbout, {"aiKsSkinComponent"})
            .Stored(false)
            .Enum("PutSide", &TKsSkinNCCtrlBase::PutSide, &TKsSkinNCCtrlBase::SetPutSide,
                  {"skdTop", "skdBottom", "skdLeft", "skdRight"}, skdTop)
            .Object("Pos", &TKsSkinNCCtrlBase::Pos)
            .Event("OnLMouseDown", &TKsSkinNCCtrlBase::SetOnLMouseDown)
            .Event("OnLMouseUp", &TKsSkinNCCtrlBase::SetOnLMouseUp)
            .Event("OnMouseEnter", &TKsSkinNCCtrlBase::SetOnMouseEnter)
            .Event("OnMouseLeave", &TKsSkinNCCtrlBase::SetOnMouseLeave)
            .WString("Hint", &TKsSkinNCCtrlBase::Hint, &TKsSkinNCCtrlBase::SetHint)
            .Bool("Visible", &TKsSkinNCCtrlBase::Visible, &TKsSkinNCCtrlBase::SetVisible, true)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinNCCtrlBase)

// --- life ---------------------------------------------------------------------------------------

TKsSkinNCCtrlBase::TKsSkinNCCtrlBase(fw::TComponent* owner)
    : fw::TComponent(owner),
      m_ownerControl(dynamic_cast<fw::TWinControl*>(owner))
{
    m_hintWindow = std::make_unique<fw::THintWindow>(nullptr);
    m_pos = std::make_unique<TNCCtrlPos>(m_ownerControl);
    // The stored position follows every change that is not a paint's shift.
    m_pos->OnChange = [this](fw::TObject*) {
        m_storedX = m_pos->XValue();
        m_storedY = m_pos->YValue();
    };
    m_pos->SetXValue(0);
    m_pos->SetYValue(0);
    m_pos->SetElementWidth(kDefaultElementSize);
    m_pos->SetElementHeight(kDefaultElementSize);

    m_pollTimer = std::make_unique<fw::TTimer>(nullptr);
    m_pollTimer->SetInterval(kPollIntervalMs);
    // Through the virtual slot, so that a subclass's tick is the one called.
    m_pollTimer->SetOnTimer([this](fw::TObject* sender) { TimerTick(sender); });
    m_pollTimer->SetEnabled(true);

    if (!Designing()) {
        try {
            PostRegistration();
        } catch (const std::exception&) {
            // The poll posts it again.
        }
    }
}

TKsSkinNCCtrlBase::~TKsSkinNCCtrlBase()
{
    Retire();
    EndLife();
    m_pollTimer.reset();
    m_hintWindow.reset();
    m_pos.reset();
}

void TKsSkinNCCtrlBase::PostRegistration()
{
    if (m_ownerControl == nullptr || m_ownerControl->IsDestroying())
        return;
    if (HWND h = m_ownerControl->Handle())
        ::PostMessageW(h, CM_SKIN_ADDELEMENT, ElementMessageParam(this), 0);
}

void TKsSkinNCCtrlBase::SetOwnerControl(fw::TWinControl* control)
{
    m_ownerControl = control;
    m_pos->SetOwnerControl(control);
}

HWND TKsSkinNCCtrlBase::OwnerWindow() const
{
    if (m_ownerControl == nullptr || !m_ownerControl->HandleAllocated())
        return nullptr;
    return m_ownerControl->Handle();
}

void TKsSkinNCCtrlBase::SetVisible(bool v)
{
    if (v == m_visible)
        return;
    m_visible = v;
    const std::weak_ptr<int> alive = LifeToken();
    RequestRepaint();
    if (!alive.expired())
        VisibleChanged();
}

void TKsSkinNCCtrlBase::RequestRepaint()
{
    if (Designing() || m_ownerControl == nullptr || m_ownerControl->IsDestroying())
        return;
    m_ownerControl->Perform(CM_SKIN_NCREPAINT, 0, 0);
}

void TKsSkinNCCtrlBase::Fire(const fw::TNotifyEvent& event)
{
    if (!event)
        return;
    // A copy: the handler may replace itself or free the element.
    fw::TNotifyEvent handler = event;
    handler(this);
}

fw::TRect TKsSkinNCCtrlBase::Bounds()
{
    fw::TRect r;
    GetBounds(r);
    return r;
}

// --- element operations ---------------------------------------------------------------------------

void TKsSkinNCCtrlBase::TimerTick(fw::TObject*)
{
    if (Designing())
        return;
    try {
        fw::TPoint cursor;
        if (!FrameInput().CursorPos(cursor))
            return;
        if (!Registered())
            PostRegistration();
    } catch (...) {
        // A window that is gone: the next tick tries again.
    }
    Poll();
}

void TKsSkinNCCtrlBase::TrackMouse(fw::TPoint)
{
    if (Designing() || m_ownerControl == nullptr)
        return;
    Track();
}

TKsWindowId TKsSkinNCCtrlBase::HoverWindow() const { return reinterpret_cast<TKsWindowId>(OwnerWindow()); }

fw::TPoint TKsSkinNCCtrlBase::HoverPoint(fw::TPoint screen)
{
    if (m_ownerControl == nullptr)
        return screen;
    fw::TPoint p(screen.X - m_ownerControl->Left(), screen.Y - m_ownerControl->Top());
    if (fw::TWinControl* parent = m_ownerControl->Parent())
        p = parent->ScreenToClient(p);
    return p;
}

void TKsSkinNCCtrlBase::MouseEnter()
{
    if (!m_visible)
        return;
    RequestRepaint();
    if (!m_hint.empty()) {
        fw::TCanvas& canvas = m_hintWindow->Canvas();
        canvas.SetFont(m_hintWindow->Font());
        const fw::TSize text = canvas.TextExtent(m_hint);
        fw::TPoint cursor;
        FrameInput().CursorPos(cursor);
        m_hintWindow->ActivateHint(HintRectAt(cursor, text.cx, text.cy), m_hint);
    }
    Fire(m_onMouseEnter);
}

void TKsSkinNCCtrlBase::MouseLeave()
{
    if (!m_visible)
        return;
    RequestRepaint();
    m_hintWindow->ReleaseHandle();
    Fire(m_onMouseLeave);
}

void TKsSkinNCCtrlBase::MouseMove() {}

int TKsSkinNCCtrlBase::GetWidth() { return m_pos->ElementWidth(); }

int TKsSkinNCCtrlBase::GetHeight() { return m_pos->ElementHeight(); }

void TKsSkinNCCtrlBase::GetBounds(fw::TRect& rect)
{
    rect = ElementBox(m_pos->Left(), m_pos->Top(), GetWidth(), GetHeight());
}

void TKsSkinNCCtrlBase::LMouseDown()
{
    RequestRepaint();
    Fire(m_onLMouseDown);
}

void TKsSkinNCCtrlBase::LMouseUp()
{
    RequestRepaint();
    Fire(m_onLMouseUp);
}

void TKsSkinNCCtrlBase::Paint(TBitmap32&)
{
    if (IsDestroying() || m_ownerControl == nullptr)
        return;
    const auto* form = dynamic_cast<const fw::TCustomForm*>(m_ownerControl);
    const bool maximized = form != nullptr && form->WindowState() == fw::wsMaximized;
    const NCPlacement at = PaintPlacement(m_storedX, m_storedY, maximized);
    // Locked, so that the stored position keeps the values as set and the
    // shift never accumulates.
    m_pos->BeginChange();
    auto unlock = fw::OnScopeExit([this] { m_pos->EndChange(); });
    m_pos->SetXValue(at.XValue);
    m_pos->SetYValue(at.YValue);
}

// --- hosts ---------------------------------------------------------------------------------------

WPARAM ElementMessageParam(const TKsSkinNCCtrlBase* element)
{
    if (element == nullptr)
        return 0;
    return static_cast<WPARAM>(static_cast<const TKsNCListedElement*>(element)->MessageParam());
}

TKsSkinNCCtrlBase* ElementFromMessageParam(WPARAM param)
{
    return dynamic_cast<TKsSkinNCCtrlBase*>(TKsNCListedElement::FromMessageParam(param));
}

bool HostAddElement(TKsNCElementList& list, fw::TWinControl* host, WPARAM param)
{
    TKsSkinNCCtrlBase* element = ElementFromMessageParam(param);
    if (element == nullptr || element->IsDestroying() || element->OwnerControl() != host)
        return false;
    return list.Add(element);
}

void HostRemoveElement(TKsNCElementList& list, WPARAM param)
{
    TKsSkinNCCtrlBase* element = ElementFromMessageParam(param);
    if (element == nullptr || !list.Remove(element))
        return;
    delete element;
}

void HostPaintElements(const TKsNCElementList& list, TBitmap32& bitmap)
{
    list.ForEach([&](TKsNCListedElement& listed) {
        auto* element = dynamic_cast<TKsSkinNCCtrlBase*>(&listed);
        // Elements hosted by a border window are painted there.
        if (element == nullptr || !element->Visible() || element->HostedOnBorder())
            return;
        try {
            element->Paint(bitmap);
        } catch (...) {
            // The element draws nothing; the others still draw.
            fw::ReportException(std::current_exception());
        }
    });
}

void HostTrackElements(const TKsNCElementList& list, fw::TPoint screenPoint)
{
    list.ForEach([&](TKsNCListedElement& listed) {
        if (auto* element = dynamic_cast<TKsSkinNCCtrlBase*>(&listed))
            element->TrackMouse(screenPoint);
    });
}

bool HostRouteButton(const TKsNCElementList& list, bool press, const std::function<void()>& pump)
{
    auto* element = dynamic_cast<TKsSkinNCCtrlBase*>(list.FirstVisibleHot(pump));
    if (element == nullptr)
        return false;
    if (press)
        element->LMouseDown();
    else
        element->LMouseUp();
    return true;
}

bool HostTitleDoubleClickBlocked(const TKsNCElementList& list)
{
    for (int i = 0; i < list.Count(); ++i) {
        auto* element = dynamic_cast<TKsSkinNCCtrlBase*>(list.Items(i));
        if (element != nullptr && element->Visible() && element->Hot() && element->BlocksTitleDoubleClick() &&
            !element->HostedOnBorder())
            return true;
    }
    return false;
}

}  // namespace ks
