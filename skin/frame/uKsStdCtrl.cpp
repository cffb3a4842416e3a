#include "skin/frame/uKsStdCtrl.h"

#include "framework/Forms_win.h"
#include "framework/TypInfo.h"

namespace ks {

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
    m_saved = form->WindowProc();
    form->SetWindowProc([this](fw::TMessage& message) { HookedWndProc(message); });
}

TKsHookWindowProc::~TKsHookWindowProc()
{
    if (m_hooked != nullptr)
        m_hooked->SetWindowProc(m_saved);
}

bool TKsHookWindowProc::DesigningNow() const
{
    return IsDesigning() || (Owner() != nullptr && Owner()->IsDesigning());
}

void TKsHookWindowProc::HookedWndProc(fw::TMessage& message) { CallDefault(message); }

void TKsHookWindowProc::CallDefault(fw::TMessage& message)
{
    if (m_saved)
        m_saved(message);
}

}  // namespace ks
