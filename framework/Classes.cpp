#include "Classes.h"

#include <algorithm>
#include <string>

#include "ScopeGuard.h"
#include "TypInfo.h"

namespace fw {

namespace {

[[noreturn]] void ThrowListIndex(int index)
{
    throw EFrameworkError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

// ---------------------------------------------------------------------------
// TObject

TObject::~TObject() = default;

const TClassInfo& TObject::StaticClass()
{
    static const TClassInfo& info = TClassBuilder<TObject>("TObject", nullptr).Register();
    return info;
}

const TClassInfo& TObject::ClassType() const { return StaticClass(); }

const std::string& TObject::ClassName() const { return ClassType().Name(); }

bool TObject::InheritsFrom(const TClassInfo& cls) const { return ClassType().InheritsFrom(cls); }

// ---------------------------------------------------------------------------
// TPersistent

const TClassInfo& TPersistent::StaticClass()
{
    static const TClassInfo& info = DefineClass<TPersistent, TObject>("TPersistent").Register();
    return info;
}

void TPersistent::Assign(const TPersistent& source)
{
    if (&source == this)
        return;
    source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& dest) const
{
    throw EFrameworkError("Cannot assign a " + ClassName() + " to a " + dest.ClassName());
}

std::string TPersistent::GetNamePath() const { return ClassName(); }

const std::string* TPersistent::BoundMethodName(const TPropInfo& event) const
{
    for (const auto& [prop, name] : m_boundMethods) {
        if (prop == &event)
            return &name;
    }
    return nullptr;
}

void TPersistent::SetBoundMethodName(const TPropInfo& event, std::string methodName)
{
    for (auto& [prop, name] : m_boundMethods) {
        if (prop == &event) {
            name = std::move(methodName);
            return;
        }
    }
    m_boundMethods.emplace_back(&event, std::move(methodName));
}

void TPersistent::ClearBoundMethodName(const TPropInfo& event)
{
    std::erase_if(m_boundMethods, [&](const auto& entry) { return entry.first == &event; });
}

// ---------------------------------------------------------------------------
// TComponent

const TClassInfo& TComponent::StaticClass()
{
    static const TClassInfo& info = DefineClass<TComponent, TPersistent>("TComponent")
                                        .Int("Tag", &TComponent::Tag, &TComponent::SetTag, 0)
                                        .Late()
                                        .Int("Left", &TComponent::DesignLeft, &TComponent::SetDesignLeft, 0)
                                        .Int("Top", &TComponent::DesignTop, &TComponent::SetDesignTop, 0)
                                        .Register();
    return info;
}

TComponent::TComponent(TComponent* owner)
{
    if (owner != nullptr)
        owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    // Tell everyone who asked; each link is dropped before the call so that
    // a handler that does not pass the call on cannot loop here.
    while (!m_freeNotifies.empty()) {
        TComponent* other = m_freeNotifies.back();
        m_freeNotifies.pop_back();
        std::erase(other->m_freeNotifies, this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (m_owner != nullptr)
        m_owner->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const
{
    if (index < 0 || index >= ComponentCount())
        ThrowListIndex(index);
    return m_components[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const
{
    if (m_owner == nullptr)
        return -1;
    const auto& list = m_owner->m_components;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const
{
    if (name.empty())
        return nullptr;
    for (TComponent* c : m_components) {
        if (SameText(c->m_name, name))
            return c;
    }
    return nullptr;
}

void TComponent::ValidateRename(TComponent* component, const std::string& curName, const std::string& newName)
{
    if (newName.empty() || SameText(curName, newName))
        return;
    TComponent* existing = FindComponent(newName);
    if (existing != nullptr && existing != component) {
        throw EFrameworkError("A component named " + newName + " already exists");
    }
}

void TComponent::SetName(const std::string& name)
{
    if (name == m_name)
        return;
    if (!name.empty() && !IsValidIdent(name)) {
        throw EFrameworkError("'" + name + "' is not a valid component name");
    }
    if (m_owner != nullptr) {
        m_owner->ValidateRename(this, m_name, name);
    } else {
        ValidateRename(nullptr, m_name, name);
    }
    SetReference(false);
    std::string old = std::move(m_name);
    m_name = name;
    auto undo = OnScopeExit([&] {
        m_name = std::move(old);
        SetReference(true);
    });
    SetReference(true);
    undo.Dismiss();
}

// Points the owner's published field of this component's name at this
// component (enable) or clears it.
void TComponent::SetReference(bool enable)
{
    if (m_owner == nullptr || m_name.empty())
        return;
    const TFieldInfo* field = m_owner->ClassType().FindField(m_name);
    if (field == nullptr)
        return;
    if (!enable) {
        if (field->Get(*m_owner) == this)
            field->Set(*m_owner, nullptr);
        return;
    }
    if (!field->Set(*m_owner, this)) {
        throw EFrameworkError("Field " + m_owner->ClassName() + "." + field->Name + " is not of class " + ClassName());
    }
}

void TComponent::InsertComponent(TComponent* component)
{
    if (component == nullptr || component->m_owner == this)
        return;
    if (component->m_owner != nullptr)
        component->m_owner->RemoveComponent(component);
    ValidateRename(component, std::string(), component->m_name);
    m_components.push_back(component);
    component->m_owner = this;
    auto undo = OnScopeExit([&] {
        m_components.pop_back();
        component->m_owner = nullptr;
    });
    component->SetReference(true);
    undo.Dismiss();
    if (IsDesigning())
        component->SetDesigning(true);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    if (component == nullptr || component->m_owner != this)
        return;
    Notification(component, opRemove);
    // A handler may already have moved it elsewhere.
    if (component->m_owner != this)
        return;
    component->SetReference(false);
    std::erase(m_components, component);
    component->m_owner = nullptr;
}

void TComponent::DestroyComponents()
{
    // Mark them all first: each one's destructor may look at its siblings.
    for (TComponent* c : m_components)
        c->Destroying();
    while (!m_components.empty()) {
        TComponent* c = m_components.back();
        m_components.pop_back();
        // While this component is being destroyed its published fields
        // belong to parts that are already gone: leave them alone.
        if (!IsDestroying())
            c->SetReference(false);
        c->m_owner = nullptr;
        delete c;
    }
}

void TComponent::Destroying()
{
    if (IsDestroying())
        return;
    m_state |= csDestroying;
    for (TComponent* c : m_components)
        c->Destroying();
}

void TComponent::SetDesigning(bool value)
{
    SetComponentState(csDesigning, value);
    for (TComponent* c : m_components)
        c->SetDesigning(value);
}

void TComponent::SetComponentState(TComponentState flags, bool on)
{
    if (on) {
        m_state |= flags;
    } else {
        m_state &= ~flags;
    }
}

void TComponent::FreeNotification(TComponent* component)
{
    if (component == nullptr || component == this)
        return;
    // Linked both ways, whoever owns the two: the survivor always hears of
    // the other's end, also while a common owner tears everything down.
    if (std::find(m_freeNotifies.begin(), m_freeNotifies.end(), component) == m_freeNotifies.end()) {
        m_freeNotifies.push_back(component);
    }
    if (std::find(component->m_freeNotifies.begin(), component->m_freeNotifies.end(), this) ==
        component->m_freeNotifies.end()) {
        component->m_freeNotifies.push_back(this);
    }
    m_state |= csFreeNotification;
    component->m_state |= csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* component)
{
    RemoveNotification(component);
    if (component != nullptr)
        component->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* component)
{
    std::erase(m_freeNotifies, component);
    if (m_freeNotifies.empty())
        m_state &= ~csFreeNotification;
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component != nullptr)
        RemoveFreeNotification(component);
    // Handlers may add or remove components: walk by index from the end.
    for (std::size_t i = m_components.size(); i-- > 0;) {
        if (i >= m_components.size())
            continue;
        m_components[i]->Notification(component, operation);
    }
}

void TComponent::Loaded() {}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const
{
    if (root != this)
        return;
    for (TComponent* c : m_components) {
        if (!c->HasParent())
            proc(c);
    }
}

// ---------------------------------------------------------------------------
// TCollectionItem

const TClassInfo& TCollectionItem::StaticClass()
{
    static const TClassInfo& info = DefineClass<TCollectionItem, TPersistent>("TCollectionItem").Register();
    return info;
}

TCollectionItem::TCollectionItem(TCollection* collection) : m_collection(collection) {}

TCollectionItem::~TCollectionItem()
{
    // Deleted directly rather than through the collection: leave the list.
    if (m_collection != nullptr) {
        auto& items = m_collection->m_items;
        for (auto it = items.begin(); it != items.end(); ++it) {
            if (it->get() == this) {
                it->release();
                items.erase(it);
                break;
            }
        }
    }
}

TPersistent* TCollectionItem::GetOwner() const { return m_collection; }

int TCollectionItem::Index() const
{
    if (m_collection == nullptr)
        return -1;
    const auto& items = m_collection->m_items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].get() == this)
            return static_cast<int>(i);
    }
    return -1;
}

std::string TCollectionItem::GetNamePath() const
{
    const std::string base = m_collection != nullptr ? m_collection->GetNamePath() : ClassName();
    return base + "[" + std::to_string(Index()) + "]";
}

std::string TCollectionItem::DisplayName() const { return ClassName(); }

void TCollectionItem::Changed(bool allChanged)
{
    if (m_collection == nullptr || m_collection->m_updateCount != 0)
        return;
    if (allChanged) {
        m_collection->Update(nullptr);
    } else {
        m_collection->ItemChanged(this);
    }
}

// ---------------------------------------------------------------------------
// TCollection

const TClassInfo& TCollection::StaticClass()
{
    static const TClassInfo& info = DefineClass<TCollection, TPersistent>("TCollection").Register();
    return info;
}

TCollection::TCollection(const TClassInfo& itemClass, TPersistent* owner) : m_itemClass(&itemClass), m_owner(owner) {}

TCollection::~TCollection()
{
    m_updateCount = 1;
    while (!m_items.empty()) {
        std::unique_ptr<TCollectionItem> item = std::move(m_items.back());
        m_items.pop_back();
        item->m_collection = nullptr;
    }
}

std::string TCollection::GetNamePath() const { return m_owner != nullptr ? m_owner->GetNamePath() : ClassName(); }

TCollectionItem* TCollection::Add()
{
    std::unique_ptr<TCollectionItem> item(m_itemClass->CreateItem(this));
    TCollectionItem* raw = item.get();
    m_items.push_back(std::move(item));
    Notify(raw, cnAdded);
    if (m_updateCount == 0)
        Update(nullptr);
    return raw;
}

TCollectionItem* TCollection::Insert(int index)
{
    if (index < 0 || index > Count())
        ThrowListIndex(index);
    TCollectionItem* item = Add();
    Move(Count() - 1, index);
    return item;
}

TCollectionItem* TCollection::Items(int index) const
{
    if (index < 0 || index >= Count())
        ThrowListIndex(index);
    return m_items[static_cast<std::size_t>(index)].get();
}

void TCollection::Delete(int index)
{
    TCollectionItem* item = Items(index);
    Notify(item, cnDeleting);
    // Notify may have changed the list: find the item again.
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        if (it->get() == item) {
            std::unique_ptr<TCollectionItem> owned = std::move(*it);
            m_items.erase(it);
            owned->m_collection = nullptr;
            break;
        }
    }
    if (m_updateCount == 0)
        Update(nullptr);
}

void TCollection::Clear()
{
    if (m_items.empty())
        return;
    BeginUpdate();
    auto done = OnScopeExit([this] { EndUpdate(); });
    while (!m_items.empty())
        Delete(Count() - 1);
}

void TCollection::Move(int from, int to)
{
    if (from < 0 || from >= Count())
        ThrowListIndex(from);
    if (to < 0 || to >= Count())
        ThrowListIndex(to);
    if (from == to)
        return;
    auto item = std::move(m_items[static_cast<std::size_t>(from)]);
    m_items.erase(m_items.begin() + from);
    m_items.insert(m_items.begin() + to, std::move(item));
    if (m_updateCount == 0)
        Update(nullptr);
}

void TCollection::BeginUpdate() { ++m_updateCount; }

void TCollection::EndUpdate()
{
    if (m_updateCount > 0 && --m_updateCount == 0)
        Update(nullptr);
}

void TCollection::Assign(const TPersistent& source)
{
    if (&source == this)
        return;
    const auto* other = dynamic_cast<const TCollection*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    auto done = OnScopeExit([this] { EndUpdate(); });
    Clear();
    for (const auto& item : other->m_items)
        Add()->Assign(*item);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::ItemChanged(TCollectionItem* item)
{
    if (m_updateCount == 0)
        Update(item);
}

}  // namespace fw
