// Title-bar elements: small non-windowed components that live in the drawn
// title bar of a skinned form (system buttons, the caption label, menu-bar
// items).
//
// TNCCtrlPos places an element: from which vertical edge of its owner it
// counts, how far, and how far from the top of the window.
//
// TKsSkinNCCtrlBase (Windows) is the common base of the elements. It registers
// with its form's controller by a posted message (posted again on every tick
// of its 100 ms poll until the controller has it), tracks whether the mouse is
// over its box, shows its hint, raises enter/leave/press/release events and
// asks the controller to repaint the frame when its look changes. It never
// gets window messages of its own: the controller forwards non-client mouse
// moves, presses and releases, and calls Paint with the frame bitmap.
#pragma once

#include "skin/frame/NCElementLayout.h"
#include "skin/frame/NCElementList.h"

#include "framework/Classes.h"
#include "framework/Types.h"

#include <memory>
#include <string>

namespace fw {
class TControl;
}

namespace ks {

class TNCCtrlPos : public fw::TPersistent {
    FW_CLASS(TNCCtrlPos)

    // owner: the control whose width caRight counts from; may be none.
    explicit TNCCtrlPos(fw::TControl* owner = nullptr) : m_owner(owner) {}

    TNCCtrlAlign Align() const { return m_align; }
    void SetAlign(TNCCtrlAlign v);
    int XValue() const { return m_xValue; }
    void SetXValue(int v);
    int YValue() const { return m_yValue; }
    void SetYValue(int v);
    bool UseDefault() const { return m_useDefault; }
    void SetUseDefault(bool v) { m_useDefault = v; }

    // Size of the element's box (not published, no notification).
    int ElementWidth() const { return m_elementWidth; }
    void SetElementWidth(int v) { m_elementWidth = v; }
    int ElementHeight() const { return m_elementHeight; }
    void SetElementHeight(int v) { m_elementHeight = v; }

    fw::TControl* OwnerControl() const { return m_owner; }
    // A layered border that takes an element over becomes the owner.
    void SetOwnerControl(fw::TControl* owner) { m_owner = owner; }

    // Left edge for an owner of the given width: XValue from the left edge
    // for caLeft, XValue left of the right edge for caRight.
    int LeftFor(int ownerWidth) const { return ElementLeft(m_align, m_xValue, ownerWidth); }
    // Left edge in the owner's window. Without an owner there is no right
    // edge to count from: caRight then counts from a zero-wide owner.
    int Left() const { return LeftFor(OwnerWidth()); }
    int Top() const { return m_yValue; }

    // The change handler runs after Align, XValue or YValue changed, unless
    // the lock is on.
    fw::TNotifyEvent OnChange;
    void BeginChange() { m_locked = true; }
    void EndChange() { m_locked = false; }
    bool ChangeLocked() const { return m_locked; }

    // From another TNCCtrlPos: Align, XValue, YValue through the setters,
    // then UseDefault.
    void Assign(const fw::TPersistent& source) override;

protected:
    void Changed();

private:
    // The owner's width, 0 without an owner.
    int OwnerWidth() const;

    fw::TControl* m_owner;
    TNCCtrlAlign m_align = caLeft;
    int m_xValue = 0;
    int m_yValue = 0;
    bool m_useDefault = false;
    int m_elementWidth = 0;
    int m_elementHeight = 0;
    bool m_locked = false;
};

}  // namespace ks

#ifdef _WIN32

#include "framework/Messages_win.h"
#include "skin/frame/NCHoverTracker.h"
#include "skin/frame/SkinVocabulary.h"

namespace fw {
class THintWindow;
class TTimer;
class TWinControl;
}  // namespace fw

namespace ks {

class TBitmap32;

class TKsSkinNCCtrlBase : public fw::TComponent, public TKsNCListedElement, public NCHoverTracker {
    FW_CLASS(TKsSkinNCCtrlBase)

    // owner: the form. Unless designing, the element posts its registration
    // to the form's window (creating the window if needed).
    explicit TKsSkinNCCtrlBase(fw::TComponent* owner);
    // Leaves the controller's list first; frees the poll timer, the hint
    // window and the position record. The form is not told: a component
    // freed with its form needs no message, and removal by the controller
    // goes through CM_SKIN_REMOVEELEMENT.
    ~TKsSkinNCCtrlBase() override;

    // --- published ----------------------------------------------------------------
    TKsAboutInfo About() const { return aiKsSkinComponent; }
    void SetAbout(TKsAboutInfo) {}
    TSideKind PutSide() const { return m_putSide; }
    void SetPutSide(TSideKind v) { m_putSide = v; }
    TNCCtrlPos* Pos() const { return m_pos.get(); }
    // Copies the values; the element keeps its own record.
    void SetPos(const TNCCtrlPos& v) { m_pos->Assign(v); }
    const fw::TNotifyEvent& OnLMouseDown() const { return m_onLMouseDown; }
    void SetOnLMouseDown(fw::TNotifyEvent e) { m_onLMouseDown = std::move(e); }
    const fw::TNotifyEvent& OnLMouseUp() const { return m_onLMouseUp; }
    void SetOnLMouseUp(fw::TNotifyEvent e) { m_onLMouseUp = std::move(e); }
    const fw::TNotifyEvent& OnMouseEnter() const { return m_onMouseEnter; }
    void SetOnMouseEnter(fw::TNotifyEvent e) { m_onMouseEnter = std::move(e); }
    const fw::TNotifyEvent& OnMouseLeave() const { return m_onMouseLeave; }
    void SetOnMouseLeave(fw::TNotifyEvent e) { m_onMouseLeave = std::move(e); }
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& v) { m_hint = v; }
    bool Visible() const { return m_visible; }
    // A change repaints the frame.
    void SetVisible(bool v);

    // --- run-time state -------------------------------------------------------------
    // The windowed control the element reports to and is painted by: the
    // form, or a layered border that took the element over.
    fw::TWinControl* OwnerControl() const { return m_ownerControl; }
    void SetOwnerControl(fw::TWinControl* control);
    // The form, when a layered border hosts the element; none otherwise.
    fw::TWinControl* HostForm() const { return m_hostForm; }
    void SetHostForm(fw::TWinControl* form) { m_hostForm = form; }
    // The controller that has the element in its list, or null.
    TKsSkinForm* Controller() const { return ListController(); }
    bool Registered() const { return OwningList() != nullptr; }
    // The position as last set (painting a maximised form shifts Pos but
    // not this).
    int StoredX() const { return m_storedX; }
    int StoredY() const { return m_storedY; }
    fw::THintWindow& HintWindow() const { return *m_hintWindow; }
    fw::TTimer& PollTimer() const { return *m_pollTimer; }
    fw::TRect Bounds();

    // Unless designing, performs CM_SKIN_NCREPAINT on the owner control.
    void RequestRepaint();

    // --- element operations --------------------------------------------------------
    // The poll (every 100 ms): re-posts an unprocessed registration and
    // notices the mouse leaving the box without a non-client move (out of
    // the window, or straight into the client area).
    virtual void TimerTick(fw::TObject* sender);
    virtual void MouseEnter();
    virtual void MouseLeave();
    // The mouse moved inside the box.
    virtual void MouseMove();
    virtual int GetWidth();
    virtual int GetHeight();
    // The box in the owner's window coordinates.
    virtual void GetBounds(fw::TRect& rect);
    virtual void LMouseDown();
    virtual void LMouseUp();
    // Draws into the frame bitmap, whose (0, 0) is the window's top-left.
    // The base only shifts the position for a maximised form.
    virtual void Paint(TBitmap32& bitmap);
    // Hit test of the cursor and enter/leave; the point is not used (the
    // cursor position is read, through FrameInput()).
    virtual void TrackMouse(fw::TPoint point);

    // Whether this element, when hot, keeps a double click on the title bar
    // from maximising the form (every element but the title-bar label).
    virtual bool BlocksTitleDoubleClick() const { return true; }

    // A layered border window that hosts the element routes its presses;
    // on the form's title bar it is not there.
    bool ElementVisible() const override { return m_visible && m_hostForm == nullptr; }
    bool HostedOnBorder() const { return m_hostForm != nullptr; }
    bool ElementHot() const override { return Hot(); }

protected:
    bool Designing() const { return IsDesigning(); }
    // The owner control's window, or null when it has none yet.
    HWND OwnerWindow() const;
    // Calls an event handler with this element as sender.
    void Fire(const fw::TNotifyEvent& event);
    // After Visible changed (and the repaint was asked for).
    virtual void VisibleChanged() {}

    TKsWindowId HoverWindow() const override;
    fw::TPoint HoverPoint(fw::TPoint screen) override;
    fw::TRect HoverBox() override { return Bounds(); }
    void HoverMove() override { MouseMove(); }
    void HoverEnter() override { MouseEnter(); }
    void HoverLeave() override { MouseLeave(); }

private:
    void PostRegistration();

    fw::TWinControl* m_ownerControl = nullptr;
    fw::TWinControl* m_hostForm = nullptr;
    std::unique_ptr<fw::THintWindow> m_hintWindow;
    std::unique_ptr<TNCCtrlPos> m_pos;
    std::unique_ptr<fw::TTimer> m_pollTimer;
    int m_storedX = 0;
    int m_storedY = 0;
    bool m_visible = true;
    std::string m_hint;
    TSideKind m_putSide = skdTop;
    fw::TNotifyEvent m_onLMouseDown;
    fw::TNotifyEvent m_onLMouseUp;
    fw::TNotifyEvent m_onMouseEnter;
    fw::TNotifyEvent m_onMouseLeave;
};

// --- for the hosts of title-bar elements (the form controller) -------------------------
// The WParam of CM_SKIN_ADDELEMENT and CM_SKIN_REMOVEELEMENT naming element.
WPARAM ElementMessageParam(const TKsSkinNCCtrlBase* element);
// The live element a WParam names, or null (an element freed before its
// posted registration arrived, or no element at all).
TKsSkinNCCtrlBase* ElementFromMessageParam(WPARAM param);

// CM_SKIN_ADDELEMENT on host: appends the element when it is alive, reports
// to host and is in no list yet. True when it was added (the host then
// repaints its frame).
bool HostAddElement(TKsNCElementList& list, fw::TWinControl* host, WPARAM param);
// CM_SKIN_REMOVEELEMENT: takes the element out of the list and frees it.
void HostRemoveElement(TKsNCElementList& list, WPARAM param);
// Paint of every visible element onto the title-bar bitmap, in list order.
// A failing element draws nothing; the others still draw.
void HostPaintElements(const TKsNCElementList& list, TBitmap32& bitmap);
// TrackMouse of every element, in list order.
void HostTrackElements(const TKsNCElementList& list, fw::TPoint screenPoint);
// A press or release for the first visible and hot element; pump runs before
// each element is looked at. True when an element took it.
bool HostRouteButton(const TKsNCElementList& list, bool press, const std::function<void()>& pump);
// Whether a hot, visible element other than a title-bar label is listed.
bool HostTitleDoubleClickBlocked(const TKsNCElementList& list);

}  // namespace ks

#endif  // _WIN32
