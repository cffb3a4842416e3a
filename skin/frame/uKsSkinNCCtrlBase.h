// Placement of a title-bar element. TNCCtrlPos says from which vertical edge
// of its owner an element is placed and how far, and how far from the top of
// the window.
#pragma once

#include "framework/Classes.h"
#include "framework/Types.h"

namespace fw {
class TControl;
}

namespace ks {

enum TNCCtrlAlign { caLeft, caRight };

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

    // Left edge for an owner of the given width: XValue from the left edge
    // for caLeft, XValue left of the right edge for caRight.
    int LeftFor(int ownerWidth) const { return m_align == caLeft ? m_xValue : ownerWidth - m_xValue; }
    int Top() const { return m_yValue; }

    // The change handler runs after Align, XValue or YValue changed, unless
    // the lock is on.
    fw::TNotifyEvent OnChange;
    void BeginChange() { m_locked = true; }
    void EndChange() { m_locked = false; }
    bool ChangeLocked() const { return m_locked; }

    void Assign(const fw::TPersistent& source) override;

protected:
    void Changed();

private:
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
