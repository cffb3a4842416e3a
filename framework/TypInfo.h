// Published properties, fields and methods, and the class registry.
//
// Each class has one TClassInfo: its name, its parent's info, a factory
// (components and collection items), an ordered table of published
// properties, and for root classes (forms, data modules) the published
// fields and methods that stored layouts bind to. The stream reader and
// writer use nothing but these tables.
//
// Registration is one readable table per class, in the class's .cpp:
//
//   const fw::TClassInfo& TTimer::StaticClass()
//   {
//       static const fw::TClassInfo& info = fw::DefineClass<TTimer, fw::TComponent>("TTimer")
//           .Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
//           .Int("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000)
//           .Event("OnTimer", &TTimer::SetOnTimer)
//           .Register();
//       return info;
//   }
//   FW_REGISTER_CLASS(TTimer)
//
// More kinds, as they read in a table:
//   .Int("Color", &TControl::Color, &TControl::SetColor, clWindow, ColorIdents())
//   .Enum("Position", &TForm::Position, &TForm::SetPosition, {"poDesigned", ...}, poDesigned)
//   .Set("Style", &TFont::Style, &TFont::SetStyle, {"fsBold", "fsItalic", ...})
//   .WString("Caption", &TKsSkinLabel::Caption, &TKsSkinLabel::SetCaption)
//   .Object("Font", &TControl::Font)              // sets Font.Height etc. on the sub-object
//   .Collection("Bitmaps", &TKsSkinImageList::Bitmaps)
//   .Binary("Data", &TBitmap32::ReadData, &TBitmap32::WriteData)
//   .Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
//   .Stored([](const TControl& c) { return !c.ParentFont(); })   // modifies the last one
// and for the root classes of stored layouts:
//   .Field("Timer1", &TFormMain::Timer1)          // TTimer* member set to the child named Timer1
//   .Method("Timer1Timer", &TFormMain::Timer1Timer)   // OnTimer = Timer1Timer binds to it
//
// Getters may be const member functions or data members; setters may be
// member functions, data members or lambdas taking (T&, value). Properties
// are written in table order, the parent's first; a property declared again
// in a subclass (e.g. with another default) keeps the parent's place.
// Properties added after .Late() are written after every ordinary property of
// the hierarchy (design-time Left/Top of non-visual components, TextHeight).
//
// Read-only properties (setter nullptr) are not stored. Defaults: a
// property without a declared default is always stored, except
// strings (stored when not empty), floats (when not 0), references and
// events (when set), collections (when not empty) and binary data (when the
// writer returns bytes).
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

#include "Classes.h"
#include "Types.h"

namespace fw {

enum class TTypeKind {
    Integer,  // int-like, optionally stored as an identifier (TIdentMap)
    Int64,
    Enum,  // stored as identifier
    Set,   // stored as [member, ...]
    Bool,
    String,   // 8-bit bytes kept verbatim
    WString,  // UTF-8 in memory, UTF-16 in the stream
    Float,
    Class,      // owned sub-object; its properties are stored as Name.Sub
    Component,  // reference to another component by name
    Method,     // event bound to a published method of the root
    Collection,
    Binary,   // custom data block
    Strings,  // list of strings, stored as ( 'a' 'b' )
};

const char* TypeKindName(TTypeKind kind);

// Enumeration member names, index = ordinal.
struct TEnumNames {
    TEnumNames() = default;
    TEnumNames(std::initializer_list<const char*> names) : Names(names.begin(), names.end()) {}
    TEnumNames(std::vector<std::string> names) : Names(std::move(names)) {}
    std::vector<std::string> Names;

    // Case-insensitive; -1 when absent.
    int IndexOf(std::string_view name) const;
};

class TPropInfo {
public:
    std::string Name;
    TTypeKind Kind = TTypeKind::Integer;
    const TClassInfo* Owner = nullptr;  // class that declared it
    bool Late = false;                  // written after ordinary properties

    // Kind details.
    TEnumNames Enum;                    // Enum, Set
    const TIdentMap* Idents = nullptr;  // Integer
    // Class, Component, Collection: the class of the value. Looked up on
    // first use, so that a class may refer to itself (menu items).
    const TClassInfo& (*PropClassOf)() = nullptr;
    const TClassInfo* PropClass() const { return PropClassOf != nullptr ? &PropClassOf() : nullptr; }
    const std::type_info* EventType = nullptr;                           // Method: the std::function type
    std::int64_t MinValue = (std::numeric_limits<std::int64_t>::min)();  // Integer range
    std::int64_t MaxValue = (std::numeric_limits<std::int64_t>::max)();

    // Declared default (HasDefault false: always stored, see above).
    bool HasDefault = false;
    std::int64_t DefaultOrd = 0;
    double DefaultFloat = 0.0;
    std::string DefaultString;
    std::function<bool(TObject&)> StoredFn;  // extra condition, may be empty

    // Accessors; which ones are set depends on Kind. Setters may be empty
    // for read-only properties (the reader then reports an error).
    std::function<std::int64_t(TObject&)> GetOrd;  // Integer Int64 Enum Set Bool
    std::function<void(TObject&, std::int64_t)> SetOrd;
    std::function<std::string(TObject&)> GetStr;  // String WString
    std::function<void(TObject&, const std::string&)> SetStr;
    std::function<double(TObject&)> GetFloat;  // Float
    std::function<void(TObject&, double)> SetFloat;
    std::function<TPersistent*(TObject&)> GetObjectValue;  // Class Collection Component
    std::function<void(TObject&, TComponent*)> SetComponent;
    std::function<void(TObject&, const std::any&)> SetEvent;                // any holds EventType or is empty
    std::function<void(TObject&, std::span<const std::uint8_t>)> ReadData;  // Binary
    std::function<std::vector<std::uint8_t>(TObject&)> WriteData;
    std::function<std::vector<std::string>(TObject&)> GetStrings;  // Strings
    std::function<void(TObject&, std::vector<std::string>)> SetStrings;

    bool IsReadOnly() const;
    // Whether the writer stores the current value of this property.
    bool IsStored(TObject& obj) const;
};

// A published field of a root class: where the reader puts the pointer to
// the child component of the same name.
struct TFieldInfo {
    std::string Name;
    const TClassInfo& (*FieldClassOf)() = nullptr;  // looked up on first use
    const TClassInfo* FieldClass() const { return FieldClassOf != nullptr ? &FieldClassOf() : nullptr; }
    // Returns false when component is not of the field's class.
    std::function<bool(TObject& root, TComponent* component)> Set;
    std::function<TComponent*(TObject& root)> Get;
};

// A published method of a root class that events can be bound to.
struct TMethodInfo {
    std::string Name;
    const std::type_info* Signature = nullptr;  // std::function<...> type
    // Returns a std::any holding the std::function bound to root.
    std::function<std::any(TObject& root)> Bind;
};

class TClassInfo {
public:
    using ComponentFactory = TComponent* (*)(TComponent* owner);
    using ItemFactory = TCollectionItem* (*)(TCollection* collection);

    TClassInfo(std::string name, const TClassInfo* parent);
    TClassInfo(const TClassInfo&) = delete;
    TClassInfo& operator=(const TClassInfo&) = delete;

    const std::string& Name() const { return m_name; }
    const TClassInfo* Parent() const { return m_parent; }
    bool InheritsFrom(const TClassInfo& other) const;

    bool CanCreateComponent() const { return m_componentFactory != nullptr; }
    bool CanCreateItem() const { return m_itemFactory != nullptr; }
    // Throws EFrameworkError when the class has no factory.
    TComponent* CreateComponent(TComponent* owner) const;
    TCollectionItem* CreateItem(TCollection* collection) const;

    // Every property of the class and its ancestors, in stored order.
    const std::vector<const TPropInfo*>& Properties() const { return m_allProps; }
    // Case-insensitive, searching ancestors too.
    const TPropInfo* FindProperty(std::string_view name) const;
    const TFieldInfo* FindField(std::string_view name) const;
    const TMethodInfo* FindMethod(std::string_view name) const;
    const std::vector<TFieldInfo>& Fields() const { return m_fields; }
    const std::vector<TMethodInfo>& Methods() const { return m_methods; }

private:
    template <class T>
    friend class TClassBuilder;
    void Finish();

    std::string m_name;
    const TClassInfo* m_parent;
    ComponentFactory m_componentFactory = nullptr;
    ItemFactory m_itemFactory = nullptr;
    std::vector<std::unique_ptr<TPropInfo>> m_ownProps;
    std::vector<const TPropInfo*> m_allProps;
    std::vector<TFieldInfo> m_fields;
    std::vector<TMethodInfo> m_methods;
};

// ---------------------------------------------------------------------------
// Class registry (case-insensitive names).

// Adds info to the registry; a second class with the same name throws.
void RegisterClassInfo(const TClassInfo& info);
// nullptr when no class of that name is registered.
const TClassInfo* FindClass(std::string_view name);
// Throws EFrameworkError "Class X not found".
const TClassInfo& GetClass(std::string_view name);
std::vector<const TClassInfo*> RegisteredClasses();

// Forces registration of a class at start-up (put in the class's .cpp).
// Note: an object file of a static library is linked only when something
// refers to it; a class used only through stored layouts should also be
// named in a published field or registered explicitly by the program.
#define FW_REGISTER_CLASS(ClassName)                                                                                   \
    namespace {                                                                                                        \
    [[maybe_unused]] const ::fw::TClassInfo& fwClassRegistrar_##ClassName = ClassName::StaticClass();                  \
    }

// ---------------------------------------------------------------------------
// Builder

namespace detail {

template <class T, class G>
decltype(auto) InvokeGet(const G& get, T& obj)
{
    return std::invoke(get, obj);
}

template <class T, class S, class V>
void InvokeSet(const S& set, T& obj, V&& value)
{
    if constexpr (std::is_member_object_pointer_v<S>) {
        obj.*set = std::forward<V>(value);
    } else {
        std::invoke(set, obj, std::forward<V>(value));
    }
}

template <class T, class G>
using GetResult = std::remove_cvref_t<std::invoke_result_t<const G&, T&>>;

template <class V>
struct IsTSet : std::false_type {};
template <class E>
struct IsTSet<TSet<E>> : std::true_type {};

template <class V>
std::uint64_t ToSetMask(const V& v)
{
    if constexpr (IsTSet<V>::value) {
        return v.ToMask();
    } else if constexpr (std::is_enum_v<V>) {
        return static_cast<std::uint64_t>(v);
    } else {
        return static_cast<std::uint64_t>(v);
    }
}

template <class V>
V FromSetMask(std::uint64_t m)
{
    if constexpr (IsTSet<V>::value) {
        return V::FromMask(m);
    } else {
        return static_cast<V>(m);
    }
}

// Throws EFrameworkError when value does not fit V.
template <class V>
V CheckedOrd(std::int64_t value)
{
    using U = std::conditional_t<std::is_enum_v<V>, std::underlying_type<V>, std::type_identity<V>>;
    using I = typename U::type;
    if constexpr (std::is_same_v<I, bool>) {
        return static_cast<V>(value != 0);
    } else {
        if (!std::in_range<I>(value))
            throw EFrameworkError("Value out of range");
        return static_cast<V>(static_cast<I>(value));
    }
}

template <class M>
struct MemberFnTraits;
template <class C, class R, class... A>
struct MemberFnTraits<R (C::*)(A...)> {
    using Class = C;
    using Function = std::function<R(A...)>;
};
template <class C, class R, class... A>
struct MemberFnTraits<R (C::*)(A...) const> : MemberFnTraits<R (C::*)(A...)> {};
template <class C, class R, class... A>
struct MemberFnTraits<R (C::*)(A...) noexcept> : MemberFnTraits<R (C::*)(A...)> {};
template <class C, class R, class... A>
struct MemberFnTraits<R (C::*)(A...) const noexcept> : MemberFnTraits<R (C::*)(A...)> {};

// Parameter type of a one-argument setter (member function or lambda).
template <class S>
struct SetterArg;
template <class C, class R, class A>
struct SetterArg<R (C::*)(A)> {
    using Type = std::remove_cvref_t<A>;
};
template <class C, class R, class A>
struct SetterArg<R (C::*)(A) noexcept> {
    using Type = std::remove_cvref_t<A>;
};
template <class C, class A>
struct SetterArg<A C::*> {
    using Type = std::remove_cvref_t<A>;
};

}  // namespace detail

template <class T>
class TClassBuilder {
public:
    TClassBuilder(std::string name, const TClassInfo* parent)
        : m_info(std::make_unique<TClassInfo>(std::move(name), parent))
    {
        if constexpr (std::is_base_of_v<TComponent, T> && !std::is_abstract_v<T> &&
                      std::is_constructible_v<T, TComponent*>) {
            m_info->m_componentFactory = [](TComponent* owner) -> TComponent* { return new T(owner); };
        }
        if constexpr (std::is_base_of_v<TCollectionItem, T> && !std::is_abstract_v<T> &&
                      std::is_constructible_v<T, TCollection*>) {
            m_info->m_itemFactory = [](TCollection* c) -> TCollectionItem* { return new T(c); };
        }
    }

    // Integer property (int, long, TColor, ...). With idents, values that
    // have a name are stored as that identifier.
    template <class G, class S>
    TClassBuilder& Int(std::string_view name, G get, S set)
    {
        AddOrd<G, S>(name, TTypeKind::Integer, get, set);
        using V = detail::GetResult<T, G>;
        if constexpr (!std::is_same_v<V, bool>) {
            Last().MinValue = (std::numeric_limits<V>::min)();
            Last().MaxValue = static_cast<std::int64_t>(
                (std::min<std::uint64_t>)(static_cast<std::uint64_t>((std::numeric_limits<V>::max)()),
                                          static_cast<std::uint64_t>((std::numeric_limits<std::int64_t>::max)())));
        }
        return *this;
    }
    template <class G, class S>
    TClassBuilder& Int(std::string_view name, G get, S set, std::int64_t def)
    {
        Int(name, get, set);
        return Default(def);
    }
    template <class G, class S>
    TClassBuilder& Int(std::string_view name, G get, S set, std::int64_t def, const TIdentMap& idents)
    {
        Int(name, get, set, def);
        Last().Idents = &idents;
        return *this;
    }
    template <class G, class S>
    TClassBuilder& Int64(std::string_view name, G get, S set)
    {
        AddOrd<G, S>(name, TTypeKind::Int64, get, set);
        return *this;
    }
    template <class G, class S>
    TClassBuilder& Int64(std::string_view name, G get, S set, std::int64_t def)
    {
        Int64(name, get, set);
        return Default(def);
    }

    template <class G, class S>
    TClassBuilder& Bool(std::string_view name, G get, S set)
    {
        AddOrd<G, S>(name, TTypeKind::Bool, get, set);
        return *this;
    }
    template <class G, class S>
    TClassBuilder& Bool(std::string_view name, G get, S set, bool def)
    {
        Bool(name, get, set);
        return Default(def ? 1 : 0);
    }

    // Enumeration: names[i] is the identifier of ordinal i.
    template <class G, class S>
    TClassBuilder& Enum(std::string_view name, G get, S set, TEnumNames names)
    {
        AddOrd<G, S>(name, TTypeKind::Enum, get, set);
        Last().MinValue = 0;
        Last().MaxValue = static_cast<std::int64_t>(names.Names.size()) - 1;
        Last().Enum = std::move(names);
        return *this;
    }
    template <class G, class S, class D>
    TClassBuilder& Enum(std::string_view name, G get, S set, TEnumNames names, D def)
    {
        Enum(name, get, set, std::move(names));
        return Default(static_cast<std::int64_t>(def));
    }

    // Set of enumeration members; the getter returns TSet<E> or a bit mask.
    template <class G, class S>
    TClassBuilder& Set(std::string_view name, G get, S set, TEnumNames names)
    {
        using V = detail::GetResult<T, G>;
        auto& p = Add(name, TTypeKind::Set);
        p.GetOrd = [get](TObject& o) -> std::int64_t {
            return static_cast<std::int64_t>(detail::ToSetMask(detail::InvokeGet(get, Self(o))));
        };
        if constexpr (!std::is_null_pointer_v<S>) {
            p.SetOrd = [set](TObject& o, std::int64_t v) {
                detail::InvokeSet(set, Self(o), detail::FromSetMask<V>(static_cast<std::uint64_t>(v)));
            };
        }
        p.Enum = std::move(names);
        return Default(0);
    }
    template <class G, class S, class D>
    TClassBuilder& Set(std::string_view name, G get, S set, TEnumNames names, D def)
    {
        Set(name, get, set, std::move(names));
        return Default(static_cast<std::int64_t>(detail::ToSetMask(def)));
    }

    // 8-bit string kept byte for byte.
    template <class G, class S>
    TClassBuilder& String(std::string_view name, G get, S set, std::string def = {})
    {
        AddStr(name, TTypeKind::String, get, set);
        Last().DefaultString = std::move(def);
        Last().HasDefault = true;
        return *this;
    }
    // Unicode string, UTF-8 in memory.
    template <class G, class S>
    TClassBuilder& WString(std::string_view name, G get, S set, std::string def = {})
    {
        AddStr(name, TTypeKind::WString, get, set);
        Last().DefaultString = std::move(def);
        Last().HasDefault = true;
        return *this;
    }

    template <class G, class S>
    TClassBuilder& Float(std::string_view name, G get, S set, double def = 0.0)
    {
        auto& p = Add(name, TTypeKind::Float);
        p.GetFloat = [get](TObject& o) -> double { return static_cast<double>(detail::InvokeGet(get, Self(o))); };
        if constexpr (!std::is_null_pointer_v<S>) {
            using V = detail::GetResult<T, G>;
            p.SetFloat = [set](TObject& o, double v) { detail::InvokeSet(set, Self(o), static_cast<V>(v)); };
        }
        p.DefaultFloat = def;
        p.HasDefault = true;
        return *this;
    }

    // Owned sub-object (TFont, TKsOffset, ...); the getter returns a pointer.
    template <class G>
    TClassBuilder& Object(std::string_view name, G get)
    {
        using P = std::remove_pointer_t<detail::GetResult<T, G>>;
        static_assert(std::is_base_of_v<TPersistent, P>, "Object properties hold TPersistent objects");
        auto& p = Add(name, TTypeKind::Class);
        p.GetObjectValue = [get](TObject& o) -> TPersistent* { return detail::InvokeGet(get, Self(o)); };
        p.PropClassOf = &P::StaticClass;
        return *this;
    }

    // Reference to another component, stored by name.
    template <class G, class S>
    TClassBuilder& Component(std::string_view name, G get, S set)
    {
        using P = std::remove_pointer_t<detail::GetResult<T, G>>;
        static_assert(std::is_base_of_v<TComponent, P>, "Component properties refer to components");
        auto& p = Add(name, TTypeKind::Component);
        p.GetObjectValue = [get](TObject& o) -> TPersistent* { return detail::InvokeGet(get, Self(o)); };
        if constexpr (!std::is_null_pointer_v<S>) {
            p.SetComponent = [set](TObject& o, TComponent* c) {
                P* typed = nullptr;
                if (c != nullptr) {
                    typed = dynamic_cast<P*>(c);
                    if (typed == nullptr)
                        throw EFrameworkError("Invalid property value: " + c->Name() + " is a " + c->ClassName());
                }
                detail::InvokeSet(set, Self(o), typed);
            };
        }
        p.PropClassOf = &P::StaticClass;
        return *this;
    }

    // Event: the setter takes a std::function (TNotifyEvent, ...).
    template <class S>
    TClassBuilder& Event(std::string_view name, S set)
    {
        using F = typename detail::SetterArg<S>::Type;
        auto& p = Add(name, TTypeKind::Method);
        p.EventType = &typeid(F);
        p.SetEvent = [set](TObject& o, const std::any& handler) {
            if (!handler.has_value()) {
                detail::InvokeSet(set, Self(o), F{});
            } else {
                detail::InvokeSet(set, Self(o), std::any_cast<const F&>(handler));
            }
        };
        return *this;
    }

    // Stored collection; the getter returns a TCollection-derived pointer.
    template <class G>
    TClassBuilder& Collection(std::string_view name, G get)
    {
        using P = std::remove_pointer_t<detail::GetResult<T, G>>;
        static_assert(std::is_base_of_v<TCollection, P>, "Collection properties hold TCollection objects");
        auto& p = Add(name, TTypeKind::Collection);
        p.GetObjectValue = [get](TObject& o) -> TPersistent* { return detail::InvokeGet(get, Self(o)); };
        p.PropClassOf = &P::StaticClass;
        return *this;
    }

    // Custom binary data: read(T&, span) / write(T&) -> bytes, or member
    // functions void ReadData(std::span<const uint8_t>) and
    // std::vector<uint8_t> WriteData() const.
    template <class R, class W>
    TClassBuilder& Binary(std::string_view name, R read, W write)
    {
        auto& p = Add(name, TTypeKind::Binary);
        p.ReadData = [read](TObject& o, std::span<const std::uint8_t> bytes) { std::invoke(read, Self(o), bytes); };
        p.WriteData = [write](TObject& o) -> std::vector<std::uint8_t> { return std::invoke(write, Self(o)); };
        return *this;
    }

    template <class G, class S>
    TClassBuilder& Strings(std::string_view name, G get, S set)
    {
        auto& p = Add(name, TTypeKind::Strings);
        p.GetStrings = [get](TObject& o) -> std::vector<std::string> { return detail::InvokeGet(get, Self(o)); };
        if constexpr (!std::is_null_pointer_v<S>) {
            p.SetStrings = [set](TObject& o, std::vector<std::string> v) {
                detail::InvokeSet(set, Self(o), std::move(v));
            };
        }
        return *this;
    }

    // Modifiers of the property added last.
    TClassBuilder& Default(std::int64_t def)
    {
        Last().HasDefault = true;
        Last().DefaultOrd = def;
        return *this;
    }
    // No default: always stored.
    TClassBuilder& NoDefault()
    {
        Last().HasDefault = false;
        return *this;
    }
    // Stored only when pred(obj) holds (and the value is not the default).
    template <class P>
    TClassBuilder& Stored(P pred)
    {
        Last().StoredFn = [pred](TObject& o) -> bool { return std::invoke(pred, Self(o)); };
        return *this;
    }
    TClassBuilder& Stored(bool stored)
    {
        Last().StoredFn = [stored](TObject&) { return stored; };
        return *this;
    }

    // Properties added after this are written after all ordinary ones.
    TClassBuilder& Late()
    {
        m_late = true;
        return *this;
    }

    // Published field: pointer member that receives the child of that name.
    template <class C>
    TClassBuilder& Field(std::string_view name, C* T::*member)
    {
        static_assert(std::is_base_of_v<TComponent, C>, "Published fields hold components");
        TFieldInfo f;
        f.Name = std::string(name);
        f.FieldClassOf = &C::StaticClass;
        f.Set = [member](TObject& root, TComponent* c) -> bool {
            C* typed = nullptr;
            if (c != nullptr) {
                typed = dynamic_cast<C*>(c);
                if (typed == nullptr)
                    return false;
            }
            Self(root).*member = typed;
            return true;
        };
        f.Get = [member](TObject& root) -> TComponent* { return Self(root).*member; };
        m_info->m_fields.push_back(std::move(f));
        return *this;
    }

    // Published method that events can be bound to.
    template <class M>
    TClassBuilder& Method(std::string_view name, M method)
    {
        using Traits = detail::MemberFnTraits<M>;
        using F = typename Traits::Function;
        TMethodInfo m;
        m.Name = std::string(name);
        m.Signature = &typeid(F);
        m.Bind = [method](TObject& root) -> std::any {
            T* self = &Self(root);
            return std::any(F([self, method](auto&&... args) {
                return std::invoke(method, self, std::forward<decltype(args)>(args)...);
            }));
        };
        m_info->m_methods.push_back(std::move(m));
        return *this;
    }

    // Finishes the table and adds the class to the registry.
    const TClassInfo& Register()
    {
        m_info->Finish();
        const TClassInfo& info = *m_info.release();  // lives for the whole run
        RegisterClassInfo(info);
        return info;
    }

private:
    static T& Self(TObject& o) { return static_cast<T&>(o); }

    TPropInfo& Add(std::string_view name, TTypeKind kind)
    {
        auto p = std::make_unique<TPropInfo>();
        p->Name = std::string(name);
        p->Kind = kind;
        p->Owner = m_info.get();
        p->Late = m_late;
        m_info->m_ownProps.push_back(std::move(p));
        return *m_info->m_ownProps.back();
    }
    TPropInfo& Last() { return *m_info->m_ownProps.back(); }

    template <class G, class S>
    void AddOrd(std::string_view name, TTypeKind kind, G get, S set)
    {
        using V = detail::GetResult<T, G>;
        auto& p = Add(name, kind);
        p.GetOrd = [get](TObject& o) -> std::int64_t {
            return static_cast<std::int64_t>(detail::InvokeGet(get, Self(o)));
        };
        if constexpr (!std::is_null_pointer_v<S>) {
            p.SetOrd = [set](TObject& o, std::int64_t v) { detail::InvokeSet(set, Self(o), detail::CheckedOrd<V>(v)); };
        }
    }

    template <class G, class S>
    void AddStr(std::string_view name, TTypeKind kind, G get, S set)
    {
        auto& p = Add(name, kind);
        p.GetStr = [get](TObject& o) -> std::string { return std::string(detail::InvokeGet(get, Self(o))); };
        if constexpr (!std::is_null_pointer_v<S>) {
            p.SetStr = [set](TObject& o, const std::string& v) { detail::InvokeSet(set, Self(o), v); };
        }
    }

    std::unique_ptr<TClassInfo> m_info;
    bool m_late = false;
};

// Starts the table of class T derived from Base.
template <class T, class Base>
TClassBuilder<T> DefineClass(std::string name)
{
    static_assert(std::is_base_of_v<Base, T>, "DefineClass<T, Base>: T must derive from Base");
    return TClassBuilder<T>(std::move(name), &Base::StaticClass());
}

// ---------------------------------------------------------------------------
// Access by name, for tools and tests ("Font.Height" walks sub-objects).

// Resolves a dotted path to the object and property it names; nullptr when
// some part is missing.
const TPropInfo* FindPropertyPath(TObject& obj, std::string_view path, TObject*& target);

// Binds event of obj to the published method methodName of root and records
// the name for the writer. Throws EFrameworkError when the method is missing
// or has another signature.
void BindEvent(TObject& obj, const TPropInfo& event, TObject& root, std::string_view methodName);

}  // namespace fw
