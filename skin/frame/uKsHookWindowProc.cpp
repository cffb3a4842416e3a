#include "skin/frame/uKsHookWindowProc.h"

#include "framework/Forms_win.h"
#include "framework/TypInfo.h"

namespace ks {

// The hook, until it goes, and the procedure that was installed before it,
// which never changes.
struct TKsHookWindowProc::Link {
    TKsHookWindowProc* Hook = nullptr;
    fw::TWndMethod Next;

    // The WindowProc entry a procedure is, or null when it is none of ours.
    static Link* Of(const fw::TWndMethod& proc);
};

// It holds the link, not the hook: once the hook is gone the link passes every
// message on.
struct TKsHookWindowProc::Entry {
    std::shared_ptr<Link> Target;

    void operator()(fw::TMessage& message) const
    {
        // A copy: the form's WindowProc, and this entry with it, may be
        // replaced while the message is handled.
        const std::shared_ptr<Link> link = Target;
        if (link->Hook != nullptr)
            link->Hook->HookedWndProc(message);
        else if (link->Next)
            link->Next(message);
    }
};

TKsHookWindowProc::Link* TKsHookWindowProc::Link::Of(const fw::TWndMethod& proc)
{
    const Entry* entry = proc.target<Entry>();
    return entry != nullptr ? entry->Target.get() : nullptr;
}

const fw::TClassInfo& TKsHookWindowProc::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsHookWindowProc, fw::TComponent>("TKsHookWindowProc").Register();
    return info;
}

TKsHookWindowProc::TKsHookWindowProc(fw::TComponent* owner) : fw::TComponent(owner)
{
    if (DesigningNow())
        return;
    auto* form = dynamic_cast<fw::TCustomForm*>(owner);
    if (form == nullptr)
        return;
    m_hooked = form;
    m_link = std::make_shared<Link>();
    m_link->Hook = this;
    m_link->Next = form->WindowProc();
    form->SetWindowProc(Entry{m_link});
}

TKsHookWindowProc::~TKsHookWindowProc()
{
    if (m_link == nullptr)
        return;
    // From here on the link only passes messages on.
    m_link->Hook = nullptr;
    // Links of hooks that are gone are dropped from the top of the chain;
    // one further down stays and passes messages on, because whatever is
    // above it may still call it.
    fw::TWndMethod top = m_hooked->WindowProc();
    bool changed = false;
    for (Link* link = Link::Of(top); link != nullptr && link->Hook == nullptr; link = Link::Of(top)) {
        fw::TWndMethod next = link->Next;
        top = std::move(next);
        changed = true;
    }
    if (changed)
        m_hooked->SetWindowProc(top);
}

bool TKsHookWindowProc::DesigningNow() const { return IsDesigning() || (Owner() != nullptr && Owner()->IsDesigning()); }

void TKsHookWindowProc::HookedWndProc(fw::TMessage& message) { CallDefault(message); }

void TKsHookWindowProc::CallDefault(fw::TMessage& message)
{
    // A copy: the hook may go while the message is handled.
    const std::shared_ptr<Link> link = m_link;
    if (link != nullptr && link->Next)
        link->Next(message);
}

}  // namespace ks
