#include "TypInfo.h"

#include <algorithm>
#include <map>

namespace fw {

const char* TypeKindName(TTypeKind kind)
{
    switch (kind) {
    case TTypeKind::Integer:
        return "Integer";
    case TTypeKind::Int64:
        return "Int64";
    case TTypeKind::Enum:
        return "Enumeration";
    case TTypeKind::Set:
        return "Set";
    case TTypeKind::Bool:
        return "Boolean";
    case TTypeKind::String:
        return "String";
    case TTypeKind::WString:
        return "WideString";
    case TTypeKind::Float:
        return "Float";
    case TTypeKind::Class:
        return "Class";
    case TTypeKind::Component:
        return "Component";
    case TTypeKind::Method:
        return "Method";
    case TTypeKind::Collection:
        return "Collection";
    case TTypeKind::Binary:
        return "Binary";
    case TTypeKind::Strings:
        return "Strings";
    }
    return "?";
}

int TEnumNames::IndexOf(std::string_view name) const
{
    for (std::size_t i = 0; i < Names.size(); ++i) {
        if (SameText(Names[i], name))
            return static_cast<int>(i);
    }
    return -1;
}

// ---------------------------------------------------------------------------
// TPropInfo

bool TPropInfo::IsReadOnly() const
{
    switch (Kind) {
    case TTypeKind::Integer:
    case TTypeKind::Int64:
    case TTypeKind::Enum:
    case TTypeKind::Set:
    case TTypeKind::Bool:
        return !SetOrd;
    case TTypeKind::String:
    case TTypeKind::WString:
        return !SetStr;
    case TTypeKind::Float:
        return !SetFloat;
    case TTypeKind::Component:
        return !SetComponent;
    case TTypeKind::Method:
        return !SetEvent;
    case TTypeKind::Binary:
        return !ReadData;
    case TTypeKind::Strings:
        return !SetStrings;
    case TTypeKind::Class:
    case TTypeKind::Collection:
        return false;  // set through the sub-object
    }
    return true;
}

bool TPropInfo::IsStored(TObject& obj) const
{
    if (StoredFn && !StoredFn(obj))
        return false;
    // What cannot be read back is not written.
    if (IsReadOnly())
        return false;
    switch (Kind) {
    case TTypeKind::Integer:
    case TTypeKind::Int64:
    case TTypeKind::Enum:
    case TTypeKind::Set:
    case TTypeKind::Bool:
        return !HasDefault || GetOrd(obj) != DefaultOrd;
    case TTypeKind::String:
    case TTypeKind::WString:
        return GetStr(obj) != DefaultString;
    case TTypeKind::Float:
        return GetFloat(obj) != DefaultFloat;
    case TTypeKind::Class:
    case TTypeKind::Component:
        return GetObjectValue(obj) != nullptr;
    case TTypeKind::Method: {
        auto* p = dynamic_cast<TPersistent*>(&obj);
        return p != nullptr && p->BoundMethodName(*this) != nullptr;
    }
    case TTypeKind::Collection: {
        auto* c = dynamic_cast<TCollection*>(GetObjectValue(obj));
        return c != nullptr && c->Count() > 0;
    }
    case TTypeKind::Binary:
        return static_cast<bool>(WriteData);
    case TTypeKind::Strings:
        return !GetStrings(obj).empty();
    }
    return false;
}

// ---------------------------------------------------------------------------
// TClassInfo

TClassInfo::TClassInfo(std::string name, const TClassInfo* parent) : m_name(std::move(name)), m_parent(parent) {}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const
{
    for (const TClassInfo* c = this; c != nullptr; c = c->m_parent) {
        if (c == &other)
            return true;
    }
    return false;
}

TComponent* TClassInfo::CreateComponent(TComponent* owner) const
{
    if (m_componentFactory == nullptr)
        throw EFrameworkError("Class " + m_name + " cannot be created");
    return m_componentFactory(owner);
}

TCollectionItem* TClassInfo::CreateItem(TCollection* collection) const
{
    if (m_itemFactory == nullptr)
        throw EFrameworkError("Class " + m_name + " cannot be created");
    return m_itemFactory(collection);
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const
{
    for (const TPropInfo* p : m_allProps) {
        if (SameText(p->Name, name))
            return p;
    }
    return nullptr;
}

namespace {

// The first entry of that name in the class's own list, then its ancestors'.
template <class Info, class List>
const Info* FindInClassChain(const TClassInfo* c, std::string_view name, List list)
{
    for (; c != nullptr; c = c->Parent()) {
        for (const Info& entry : (c->*list)()) {
            if (SameText(entry.Name, name))
                return &entry;
        }
    }
    return nullptr;
}

}  // namespace

const TFieldInfo* TClassInfo::FindField(std::string_view name) const
{
    return FindInClassChain<TFieldInfo>(this, name, &TClassInfo::Fields);
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view name) const
{
    return FindInClassChain<TMethodInfo>(this, name, &TClassInfo::Methods);
}

// Builds the stored order: ordinary properties of the ancestors, then this
// class's; then the late ones in the same way. A property declared again
// keeps the place of the one it hides.
void TClassInfo::Finish()
{
    std::vector<const TPropInfo*> ordinary;
    std::vector<const TPropInfo*> late;
    if (m_parent != nullptr) {
        for (const TPropInfo* p : m_parent->m_allProps)
            (p->Late ? late : ordinary).push_back(p);
    }
    for (const auto& own : m_ownProps) {
        const TPropInfo* p = own.get();
        bool replaced = false;
        for (auto* list : {&ordinary, &late}) {
            auto it = std::find_if(list->begin(), list->end(),
                                   [&](const TPropInfo* q) { return SameText(q->Name, p->Name); });
            if (it == list->end())
                continue;
            if ((list == &late) == p->Late) {
                *it = p;
                replaced = true;
            } else {
                list->erase(it);
            }
        }
        if (!replaced)
            (p->Late ? late : ordinary).push_back(p);
    }
    m_allProps = std::move(ordinary);
    m_allProps.insert(m_allProps.end(), late.begin(), late.end());
}

// ---------------------------------------------------------------------------
// Registry

namespace {

std::map<std::string, const TClassInfo*>& Registry()
{
    static std::map<std::string, const TClassInfo*> registry;
    return registry;
}

}  // namespace

void RegisterClassInfo(const TClassInfo& info)
{
    auto [it, inserted] = Registry().emplace(AsciiUpperCase(info.Name()), &info);
    if (!inserted && it->second != &info) {
        throw EFrameworkError("A class named " + info.Name() + " is already registered");
    }
}

const TClassInfo* FindClass(std::string_view name)
{
    auto it = Registry().find(AsciiUpperCase(name));
    return it == Registry().end() ? nullptr : it->second;
}

const TClassInfo& GetClass(std::string_view name)
{
    const TClassInfo* info = FindClass(name);
    if (info == nullptr)
        throw EFrameworkError("Class " + std::string(name) + " not found");
    return *info;
}

std::vector<const TClassInfo*> RegisteredClasses()
{
    std::vector<const TClassInfo*> out;
    for (const auto& [key, info] : Registry())
        out.push_back(info);
    return out;
}

// ---------------------------------------------------------------------------
// Access by name

const TPropInfo* FindPropertyPath(TObject& obj, std::string_view path, TObject*& target)
{
    target = &obj;
    while (true) {
        const auto dot = path.find('.');
        const std::string_view part = path.substr(0, dot);
        const TPropInfo* prop = target->ClassType().FindProperty(part);
        if (prop == nullptr)
            return nullptr;
        if (dot == std::string_view::npos)
            return prop;
        if (prop->Kind != TTypeKind::Class)
            return nullptr;
        target = prop->GetObjectValue(*target);
        if (target == nullptr)
            return nullptr;
        path = path.substr(dot + 1);
    }
}

void BindEvent(TObject& obj, const TPropInfo& event, TObject& root, std::string_view methodName)
{
    if (event.Kind != TTypeKind::Method || !event.SetEvent) {
        throw EFrameworkError("Property " + event.Name + " is not an event");
    }
    const TMethodInfo* method = root.ClassType().FindMethod(methodName);
    if (method == nullptr) {
        throw EFrameworkError("Method " + std::string(methodName) + " not found in " + root.ClassName());
    }
    if (method->Signature == nullptr || event.EventType == nullptr || *method->Signature != *event.EventType) {
        throw EFrameworkError("Method " + method->Name + " does not match event " + event.Name);
    }
    event.SetEvent(obj, method->Bind(root));
    if (auto* p = dynamic_cast<TPersistent*>(&obj))
        p->SetBoundMethodName(event, method->Name);
}

}  // namespace fw
