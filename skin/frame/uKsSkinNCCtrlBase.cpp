// The portable part of the title-bar elements: the placement record and the
// element list with its bookkeeping of live elements. The element base itself
// is in uKsSkinNCCtrlBase_win.cpp.
#include "skin/frame/uKsSkinNCCtrlBase.h"

#include "framework/TypInfo.h"

#include <algorithm>
#include <unordered_set>

namespace ks {

// --- TNCCtrlPos ---------------------------------------------------------------------------

// Every value is always stored: none has a declared default.
const fw::TClassInfo& TNCCtrlPos::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TNCCtrlPos, fw::TPersistent>("TNCCtrlPos")
            .Enum("Align", &TNCCtrlPos::Align, &TNCCtrlPos::SetAlign, {"caLeft", "caRight"})
            .Int("XValue", &TNCCtrlPos::XValue, &TNCCtrlPos::SetXValue)
            .Int("YValue", &TNCCtrlPos::YValue, &TNCCtrlPos::SetYValue)
            .Bool("UseDefault", &TNCCtrlPos::UseDefault, &TNCCtrlPos::SetUseDefault)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TNCCtrlPos)

void TNCCtrlPos::SetAlign(TNCCtrlAlign v)
{
    if (v == m_align)
        return;
    m_align = v;
    Changed();
}

void TNCCtrlPos::SetXValue(int v)
{
    if (v == m_xValue)
        return;
    m_xValue = v;
    Changed();
}

void TNCCtrlPos::SetYValue(int v)
{
    if (v == m_yValue)
        return;
    m_yValue = v;
    Changed();
}

void TNCCtrlPos::Changed()
{
    if (!m_locked && OnChange)
        OnChange(this);
}

void TNCCtrlPos::Assign(const fw::TPersistent& source)
{
    const auto* s = dynamic_cast<const TNCCtrlPos*>(&source);
    if (s == nullptr) {
        fw::TPersistent::Assign(source);
        return;
    }
    SetAlign(s->m_align);
    SetXValue(s->m_xValue);
    SetYValue(s->m_yValue);
    m_useDefault = s->m_useDefault;
}

#ifndef _WIN32
// The host build has no controls, so a record never has an owner there.
int TNCCtrlPos::OwnerWidth() const { return 0; }
#endif

// --- live elements --------------------------------------------------------------------------

namespace {

// Every element alive right now. Touched on the GUI thread only.
std::unordered_set<const TKsNCListedElement*>& LiveElements()
{
    static std::unordered_set<const TKsNCListedElement*> live;
    return live;
}

}  // namespace

TKsNCListedElement::TKsNCListedElement() { LiveElements().insert(this); }

TKsNCListedElement::~TKsNCListedElement() { Retire(); }

void TKsNCListedElement::Retire()
{
    LeaveList();
    LiveElements().erase(this);
}

TKsSkinForm* TKsNCListedElement::ListController() const { return m_list != nullptr ? m_list->Controller() : nullptr; }

void TKsNCListedElement::LeaveList()
{
    if (m_list != nullptr)
        m_list->Remove(this);
}

TKsNCListedElement* TKsNCListedElement::FromMessageParam(std::uintptr_t param)
{
    // Compared as a number: the parameter may name memory that is gone.
    auto* candidate = reinterpret_cast<const TKsNCListedElement*>(param);
    auto& live = LiveElements();
    if (candidate == nullptr || live.find(candidate) == live.end())
        return nullptr;
    return const_cast<TKsNCListedElement*>(candidate);
}

int TKsNCListedElement::LiveCount() { return static_cast<int>(LiveElements().size()); }

// --- TKsNCElementList ---------------------------------------------------------------------------

TKsNCElementList::~TKsNCElementList()
{
    for (TKsNCListedElement* e : m_items)
        e->m_list = nullptr;
}

bool TKsNCElementList::Add(TKsNCListedElement* element)
{
    if (element == nullptr || element->m_list != nullptr)
        return false;
    m_items.push_back(element);
    element->m_list = this;
    return true;
}

bool TKsNCElementList::Remove(TKsNCListedElement* element)
{
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
        if (*it == element) {
            m_items.erase(std::next(it).base());
            element->m_list = nullptr;
            return true;
        }
    }
    return false;
}

TKsNCListedElement* TKsNCElementList::Items(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_items[static_cast<std::size_t>(index)];
}

int TKsNCElementList::IndexOf(const TKsNCListedElement* element) const
{
    auto it = std::find(m_items.begin(), m_items.end(), element);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

void TKsNCElementList::ForEach(const std::function<void(TKsNCListedElement&)>& visit) const
{
    // A copy to walk, checked against the list before each call: whatever a
    // visit frees has left the list by then.
    const std::vector<TKsNCListedElement*> snapshot = m_items;
    for (TKsNCListedElement* e : snapshot) {
        if (Contains(e))
            visit(*e);
    }
}

TKsNCListedElement* TKsNCElementList::FirstVisibleHot(const std::function<void()>& pump) const
{
    const std::weak_ptr<const int> alive = m_life;
    for (int i = 0; i < Count(); ++i) {
        if (pump) {
            pump();
            if (alive.expired())
                return nullptr;  // freed with its host: nothing of it is touched
        }
        TKsNCListedElement* e = Items(i);
        if (e == nullptr)
            break;  // the list became shorter meanwhile
        if (e->ElementVisible() && e->ElementHot())
            return e;
    }
    return nullptr;
}

void ReleaseButtonGroup(TKsNCListedElement& element)
{
    TKsNCElementList* list = element.OwningList();
    NCButtonModel* own = element.ButtonModel();
    if (list == nullptr || own == nullptr)
        return;
    const int group = own->GroupIndex();
    list->ForEach([&](TKsNCListedElement& other) {
        if (&other == &element)
            return;
        if (NCButtonModel* m = other.ButtonModel(); m != nullptr && m->GroupIndex() == group)
            m->SetDown(false);
    });
}

}  // namespace ks
