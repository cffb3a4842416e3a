// TKsHookWindowProc: a component that takes over its form's window procedure
// for its whole life. Every message of the form reaches HookedWndProc first;
// what a descendant does not consume it passes on with CallDefault, which
// calls the procedure that was installed before.
//
// Several hooks on one form form a chain, the newest first. A hook may go in
// any order: one that goes from the middle of the chain leaves a link behind
// that passes messages straight on, so whatever was installed above it (another
// hook, or a procedure of the application's that wraps it) still reaches the
// rest of the chain and the form.
#pragma once

#include "framework/Classes.h"
#include "framework/Messages_win.h"

#include <memory>

namespace fw {
class TControl;
}

namespace ks {

class TKsHookWindowProc : public fw::TComponent {
    FW_CLASS(TKsHookWindowProc)

    // At run time, when the owner is a form, puts a link to HookedWndProc in
    // front of the form's WindowProc. Any other owner, or construction while
    // designing, leaves the object inert.
    explicit TKsHookWindowProc(fw::TComponent* owner);
    // Takes this hook out of the chain.
    ~TKsHookWindowProc() override;

    // The hooked form, or null.
    fw::TControl* HookedControl() const { return m_hooked; }

protected:
    virtual void HookedWndProc(fw::TMessage& message);
    // Passes the message to the procedure installed before this hook;
    // nothing when there is none.
    void CallDefault(fw::TMessage& message);

    // Designing: this component's own state or, while it is being created,
    // its owner's.
    bool DesigningNow() const;

private:
    // One link of a chain, and what the hook installs as the form's
    // WindowProc (uKsHookWindowProc.cpp).
    struct Link;
    struct Entry;

    fw::TControl* m_hooked = nullptr;
    std::shared_ptr<Link> m_link;
};

}  // namespace ks
