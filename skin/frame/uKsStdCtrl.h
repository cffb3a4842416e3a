// TKsHookWindowProc: a component that takes over its form's window procedure
// for its whole life. Every message of the form reaches HookedWndProc first;
// what a descendant does not consume it passes on with CallDefault, which
// calls the procedure that was installed before.
#pragma once

#include "framework/Classes.h"
#include "framework/Messages_win.h"

namespace fw {
class TControl;
}

namespace ks {

class TKsHookWindowProc : public fw::TComponent {
    FW_CLASS(TKsHookWindowProc)

    // At run time, when the owner is a form, saves the form's WindowProc and
    // installs HookedWndProc in its place. Any other owner, or construction
    // while designing, leaves the object inert.
    explicit TKsHookWindowProc(fw::TComponent* owner);
    // Puts the saved WindowProc back. Hooks on one form must go in the reverse
    // order of their installation, which owned components do.
    ~TKsHookWindowProc() override;

    // The hooked form, or null.
    fw::TControl* HookedControl() const { return m_hooked; }

protected:
    virtual void HookedWndProc(fw::TMessage& message);
    // Passes the message to the saved procedure; nothing when none is saved.
    void CallDefault(fw::TMessage& message);

    // Designing: this component's own state or, while it is being created,
    // its owner's.
    bool DesigningNow() const;

private:
    fw::TControl* m_hooked = nullptr;
    fw::TWndMethod m_saved;
};

}  // namespace ks
