#include "Reader.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <vector>

#include "ScopeGuard.h"
#include "Streams.h"
#include "TypInfo.h"

namespace fw {

EReadError::EReadError(const std::string& message, std::size_t offset) : EFrameworkError(message), m_offset(offset) {}

namespace {

// Nesting of component records and of collections inside items; real
// layouts stay far below this.
constexpr int kMaxDepth = 64;

// Record prefix flags.
constexpr std::uint8_t ffInherited = 0x01;
constexpr std::uint8_t ffChildPos = 0x02;

bool IsIntegerType(TValueType t) { return t == vaInt8 || t == vaInt16 || t == vaInt32 || t == vaInt64; }

// 8-bit text that is not UTF-8 is taken as Latin-1.
std::string BytesToUtf8(std::string bytes)
{
    if (IsValidUtf8(bytes))
        return bytes;
    std::u16string wide;
    wide.reserve(bytes.size());
    for (char c : bytes)
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return Utf16ToUtf8(wide);
}

class TComponentReader {
public:
    TComponentReader(std::span<const std::uint8_t> data, TComponent& root) : m_in(data), m_root(root) {}

    void ReadRoot();

private:
    struct Fixup {
        TObject* Instance;
        const TPropInfo* Prop;
        std::string Name;
        std::string Where;
        std::size_t Offset;
    };

    [[noreturn]] void Error(const std::string& reason, std::size_t offset) const
    {
        throw EReadError("Error reading " + m_where + " at offset " + std::to_string(offset) + ": " + reason, offset);
    }

    // Runs fn; stream and framework errors become EReadError naming m_where
    // (framework errors at offset `at`, stream errors at their own offset).
    template <class F>
    void Guard(std::size_t at, F&& fn)
    {
        try {
            fn();
        } catch (const EReadError&) {
            throw;
        } catch (const EStreamError& e) {
            Error(e.Reason(), e.Offset());
        } catch (const EFrameworkError& e) {
            Error(e.what(), at);
        } catch (const std::exception& e) {
            // Setters and constructors may throw anything; callers get one
            // kind of error for a stream that cannot be applied.
            Error(e.what(), at);
        }
    }

    std::uint8_t ReadPrefix();
    void ReadChildren(TComponent& parent, int depth);
    void ReadChild(TComponent& parent, int depth);
    const TClassInfo* FindComponentClass(const std::string& name) const;
    void ReadProperties(TObject& instance, std::string path, int depth);
    void ReadProperty(TObject& instance, std::string path, int depth);
    void ReadValue(TObject& instance, const TPropInfo& prop, std::string path, int depth);
    void ReadCollection(TCollection& collection, std::string path, int depth);
    std::string ReadStringValue(TValueType type, bool wide);
    std::int64_t ReadIntegerValue(TValueType type, const TPropInfo& prop);
    std::uint64_t ReadSetValue(const TPropInfo& prop);
    double ReadFloatValue(TValueType type, const TPropInfo& prop);
    std::vector<std::string> ReadStringList();
    void ResolveFixups();
    TComponent* FindReference(const std::string& name) const;
    void RunLoaded();
    void ClearFlags(std::size_t from);

    TStreamReader m_in;
    TComponent& m_root;
    std::string m_where = "stream header";
    std::vector<TComponent*> m_loaded;
    std::vector<Fixup> m_fixups;
};

void TComponentReader::ReadRoot()
{
    auto undo = OnScopeExit([this] { ClearFlags(0); });
    if (m_in.Remaining() < 4 || !std::equal(kStreamSignature, kStreamSignature + 4, m_in.ReadBytes(4).begin())) {
        Error("Invalid stream format", 0);
    }
    m_where = "root record";
    std::string className;
    std::string name;
    const std::size_t recordStart = m_in.Position();
    Guard(recordStart, [&] {
        ReadPrefix();
        className = m_in.ReadShortString();
        name = m_in.ReadShortString();
    });
    if (!SameText(className, m_root.ClassName())) {
        Error("Stream class " + className + " does not match " + m_root.ClassName(), recordStart);
    }
    m_root.SetComponentState(csLoading | csReading, true);
    m_loaded.push_back(&m_root);
    m_where = name.empty() ? className : name;
    Guard(recordStart, [&] {
        if (name.empty() || SameText(name, m_root.Name()))
            return;
        // Another instance may already carry the stored name.
        std::string unique = name;
        TComponent* owner = m_root.Owner();
        for (int i = 1; owner != nullptr && owner->FindComponent(unique) != nullptr; ++i) {
            unique = name + "_" + std::to_string(i);
        }
        m_root.SetName(unique);
    });
    ReadProperties(m_root, m_where, 0);
    ReadChildren(m_root, 1);
    m_root.SetComponentState(csReading, false);
    ResolveFixups();
    undo.Dismiss();
    RunLoaded();
}

std::uint8_t TComponentReader::ReadPrefix()
{
    std::uint8_t flags = 0;
    if ((m_in.PeekByte() & 0xF0) == 0xF0) {
        flags = m_in.ReadByte() & 0x0F;
        if ((flags & ffChildPos) != 0) {
            const TValueType t = m_in.ReadValueType();
            if (!IsIntegerType(t))
                throw EStreamError("Child position expected", m_in.Position() - 1);
            m_in.ReadIntegerValue(t);
        }
    }
    return flags;
}

void TComponentReader::ReadChildren(TComponent& parent, int depth)
{
    const std::string where = (parent.Name().empty() ? parent.ClassName() : parent.Name()) + " (child list)";
    while (true) {
        m_where = where;
        bool end = false;
        Guard(m_in.Position(), [&] { end = m_in.PeekByte() == vaNull; });
        if (end) {
            m_in.ReadByte();
            return;
        }
        ReadChild(parent, depth);
    }
}

const TClassInfo* TComponentReader::FindComponentClass(const std::string& name) const
{
    if (const TClassInfo* cls = FindClass(name))
        return cls;
    // A class not registered by name is still known through the root's
    // published fields.
    for (const TClassInfo* c = &m_root.ClassType(); c != nullptr; c = c->Parent()) {
        for (const TFieldInfo& f : c->Fields()) {
            if (const TClassInfo* fc = f.FieldClass(); fc != nullptr && SameText(fc->Name(), name))
                return fc;
        }
    }
    return nullptr;
}

void TComponentReader::ReadChild(TComponent& parent, int depth)
{
    const std::size_t recordStart = m_in.Position();
    m_where = "component record";
    if (depth > kMaxDepth)
        Error("Components nested too deeply", recordStart);
    std::uint8_t flags = 0;
    std::string className;
    std::string name;
    Guard(recordStart, [&] {
        flags = ReadPrefix();
        className = m_in.ReadShortString();
        name = m_in.ReadShortString();
    });
    m_where = name.empty() ? className : name;

    TComponent* component = nullptr;
    bool created = false;
    if ((flags & ffInherited) != 0) {
        component = m_root.FindComponent(name);
        if (component == nullptr)
            Error("Inherited component " + name + " not found", recordStart);
        if (!SameText(component->ClassName(), className)) {
            Error("Inherited component " + name + " is not of class " + className, recordStart);
        }
    } else {
        const TClassInfo* cls = FindComponentClass(className);
        if (cls == nullptr)
            Error("Class " + className + " not found", recordStart);
        if (!cls->CanCreateComponent())
            Error("Class " + className + " cannot be created", recordStart);
        Guard(recordStart, [&] { component = cls->CreateComponent(&m_root); });
        created = true;
    }

    const std::size_t loadedMark = m_loaded.size();
    // Forget what this record read (its nested records too) before the
    // component goes: nested controls may go with it.
    auto undo = OnScopeExit([&] {
        ClearFlags(loadedMark);
        m_loaded.resize(loadedMark);
        if (created)
            delete component;
    });
    component->SetComponentState(csLoading | csReading, true);
    m_loaded.push_back(component);
    Guard(recordStart, [&] {
        component->SetName(name);
        component->SetParentComponent(&parent);
    });
    const std::string path = m_where;
    ReadProperties(*component, path, depth);
    ReadChildren(*component, depth + 1);
    component->SetComponentState(csReading, false);
    undo.Dismiss();
}

void TComponentReader::ReadProperties(TObject& instance, std::string path, int depth)
{
    while (true) {
        m_where = path;
        bool end = false;
        Guard(m_in.Position(), [&] { end = m_in.PeekByte() == vaNull; });
        if (end) {
            m_in.ReadByte();
            return;
        }
        ReadProperty(instance, path, depth);
    }
}

void TComponentReader::ReadProperty(TObject& instance, std::string path, int depth)
{
    const std::size_t propStart = m_in.Position();
    std::string fullName;
    m_where = path + ".<property name>";
    Guard(propStart, [&] { fullName = m_in.ReadShortString(); });
    m_where = path + "." + fullName;

    // Dotted names set values on the sub-objects the getters return.
    TObject* target = &instance;
    std::string_view rest = fullName;
    const TPropInfo* prop = nullptr;
    while (true) {
        const auto dot = rest.find('.');
        const std::string part(rest.substr(0, dot));
        prop = target->ClassType().FindProperty(part);
        if (prop == nullptr)
            Error("Property " + part + " does not exist", propStart);
        if (dot == std::string_view::npos)
            break;
        if (prop->Kind != TTypeKind::Class)
            Error("Property " + part + " has no sub-properties", propStart);
        target = prop->GetObjectValue(*target);
        if (target == nullptr)
            Error("Property " + part + " is not assigned", propStart);
        rest = rest.substr(dot + 1);
    }
    ReadValue(*target, *prop, m_where, depth);
}

std::string TComponentReader::ReadStringValue(TValueType type, bool wide)
{
    switch (type) {
    case vaString: {
        std::string s = m_in.ReadShortString();
        return wide ? BytesToUtf8(std::move(s)) : s;
    }
    case vaLString: {
        auto bytes = m_in.ReadBytes(m_in.ReadLength(1));
        std::string s(bytes.begin(), bytes.end());
        return wide ? BytesToUtf8(std::move(s)) : s;
    }
    case vaWString:
        return Utf16ToUtf8(m_in.ReadUtf16(m_in.ReadLength(2)));
    case vaUTF8String: {
        auto bytes = m_in.ReadBytes(m_in.ReadLength(1));
        // Normalise invalid sequences.
        return Utf16ToUtf8(Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    }
    default:
        throw EFrameworkError(std::string("Invalid property value: string expected, found ") + ValueTypeName(type));
    }
}

namespace {

EFrameworkError ValueMismatch(TValueType type, const TPropInfo& prop)
{
    return EFrameworkError(std::string("Invalid property value: ") + ValueTypeName(type) + " for a " +
                           TypeKindName(prop.Kind) + " property");
}

}  // namespace

std::int64_t TComponentReader::ReadIntegerValue(TValueType type, const TPropInfo& prop)
{
    std::int64_t v = 0;
    if (IsIntegerType(type)) {
        v = m_in.ReadIntegerValue(type);
    } else if (type == vaIdent && prop.Idents != nullptr) {
        const std::string ident = m_in.ReadShortString();
        if (!prop.Idents->IdentToInt(ident, v)) {
            throw EFrameworkError("Invalid property value " + ident);
        }
    } else {
        throw ValueMismatch(type, prop);
    }
    if (v < prop.MinValue || v > prop.MaxValue)
        throw EFrameworkError("Value out of range");
    return v;
}

std::uint64_t TComponentReader::ReadSetValue(const TPropInfo& prop)
{
    std::uint64_t mask = 0;
    while (true) {
        const std::string member = m_in.ReadShortString();
        if (member.empty())
            break;
        const int index = prop.Enum.IndexOf(member);
        if (index < 0 || index >= 64)
            throw EFrameworkError("Invalid property value " + member);
        mask |= std::uint64_t{1} << index;
    }
    return mask;
}

double TComponentReader::ReadFloatValue(TValueType type, const TPropInfo& prop)
{
    switch (type) {
    case vaExtended:
        return m_in.ReadExtended();
    case vaSingle:
        return m_in.ReadSingle();
    case vaDouble:
    case vaDate:
        return m_in.ReadDouble();
    case vaCurrency:
        return static_cast<double>(m_in.ReadInt64()) / 10000.0;
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64:
        return static_cast<double>(m_in.ReadIntegerValue(type));
    default:
        throw ValueMismatch(type, prop);
    }
}

std::vector<std::string> TComponentReader::ReadStringList()
{
    std::vector<std::string> items;
    while (!m_in.EndOfList()) {
        items.push_back(ReadStringValue(m_in.ReadValueType(), true));
    }
    m_in.ReadListEnd();
    return items;
}

// One case a property kind: the value types it takes and where the value goes.
void TComponentReader::ReadValue(TObject& instance, const TPropInfo& prop, std::string path, int depth)
{
    const std::size_t valueStart = m_in.Position();
    Guard(valueStart, [&] {
        const TValueType type = m_in.ReadValueType();
        const auto expect = [&](bool accepted) {
            if (!accepted)
                throw ValueMismatch(type, prop);
        };
        if (prop.IsReadOnly())
            throw EFrameworkError("Property " + prop.Name + " is read-only");
        switch (prop.Kind) {
        case TTypeKind::Integer:
        case TTypeKind::Int64:
            prop.SetOrd(instance, ReadIntegerValue(type, prop));
            return;
        case TTypeKind::Enum: {
            expect(type == vaIdent);
            const std::string ident = m_in.ReadShortString();
            const int index = prop.Enum.IndexOf(ident);
            if (index < 0)
                throw EFrameworkError("Invalid property value " + ident);
            prop.SetOrd(instance, index);
            return;
        }
        case TTypeKind::Bool:
            expect(type == vaFalse || type == vaTrue);
            prop.SetOrd(instance, type == vaTrue ? 1 : 0);
            return;
        case TTypeKind::Set:
            expect(type == vaSet);
            prop.SetOrd(instance, static_cast<std::int64_t>(ReadSetValue(prop)));
            return;
        case TTypeKind::String:
        case TTypeKind::WString:
            expect(type == vaString || type == vaLString || type == vaWString || type == vaUTF8String);
            prop.SetStr(instance, ReadStringValue(type, prop.Kind == TTypeKind::WString));
            return;
        case TTypeKind::Float:
            prop.SetFloat(instance, ReadFloatValue(type, prop));
            return;
        case TTypeKind::Component:
            expect(type == vaNil || type == vaIdent);
            if (type == vaNil)
                prop.SetComponent(instance, nullptr);
            else
                m_fixups.push_back({&instance, &prop, m_in.ReadShortString(), path, valueStart});
            return;
        case TTypeKind::Method:
            expect(type == vaNil || type == vaIdent);
            if (type == vaIdent) {
                BindEvent(instance, prop, m_root, m_in.ReadShortString());
                return;
            }
            prop.SetEvent(instance, std::any());
            if (auto* p = dynamic_cast<TPersistent*>(&instance))
                p->ClearBoundMethodName(prop);
            return;
        case TTypeKind::Collection: {
            expect(type == vaCollection);
            auto* collection = dynamic_cast<TCollection*>(prop.GetObjectValue(instance));
            if (collection == nullptr)
                throw EFrameworkError("Collection is not assigned");
            ReadCollection(*collection, path, depth + 1);
            return;
        }
        case TTypeKind::Binary:
            expect(type == vaBinary);
            prop.ReadData(instance, m_in.ReadBytes(m_in.ReadLength(1)));
            return;
        case TTypeKind::Strings:
            expect(type == vaList);
            prop.SetStrings(instance, ReadStringList());
            return;
        case TTypeKind::Class:
            expect(false);
        }
    });
}

void TComponentReader::ReadCollection(TCollection& collection, std::string path, int depth)
{
    if (depth > kMaxDepth)
        throw EFrameworkError("Collections nested too deeply");
    collection.BeginUpdate();
    auto done = OnScopeExit([&collection] { collection.EndUpdate(); });
    if (!m_in.EndOfList())
        collection.Clear();
    for (int index = 0; !m_in.EndOfList(); ++index) {
        const std::string itemPath = path + "[" + std::to_string(index) + "]";
        m_where = itemPath;
        const std::size_t itemStart = m_in.Position();
        Guard(itemStart, [&] {
            TValueType t = m_in.ReadValueType();
            if (IsIntegerType(t)) {
                m_in.ReadIntegerValue(t);  // stored item order, not needed
                t = m_in.ReadValueType();
            }
            if (t != vaList)
                throw EFrameworkError("Collection item expected");
        });
        TCollectionItem* item = nullptr;
        Guard(itemStart, [&] { item = collection.Add(); });
        ReadProperties(*item, itemPath, depth);
        m_where = path;
    }
    m_in.ReadListEnd();
}

TComponent* TComponentReader::FindReference(const std::string& name) const
{
    std::string_view rest = name;
    const auto dot = rest.find('.');
    TComponent* c = nullptr;
    const std::string_view first = rest.substr(0, dot);
    if (SameText(first, m_root.Name())) {
        c = &m_root;
        if (dot == std::string_view::npos)
            return c;
        rest = rest.substr(dot + 1);
    } else {
        c = &m_root;
    }
    while (c != nullptr && !rest.empty()) {
        const auto d = rest.find('.');
        c = c->FindComponent(rest.substr(0, d));
        rest = d == std::string_view::npos ? std::string_view() : rest.substr(d + 1);
    }
    return c;
}

void TComponentReader::ResolveFixups()
{
    for (const Fixup& f : m_fixups) {
        m_where = f.Where;
        TComponent* target = FindReference(f.Name);
        if (target == nullptr)
            Error("Component " + f.Name + " not found", f.Offset);
        Guard(f.Offset, [&] { f.Prop->SetComponent(*f.Instance, target); });
    }
    m_fixups.clear();
}

void TComponentReader::ClearFlags(std::size_t from)
{
    for (std::size_t i = from; i < m_loaded.size(); ++i) {
        m_loaded[i]->SetComponentState(csLoading | csReading, false);
    }
}

void TComponentReader::RunLoaded()
{
    for (std::size_t i = 0; i < m_loaded.size(); ++i) {
        m_loaded[i]->SetComponentState(csLoading, false);
        auto undo = OnScopeExit([this, i] { ClearFlags(i + 1); });
        m_loaded[i]->Loaded();
        undo.Dismiss();
    }
}

}  // namespace

void ReadComponentStream(std::span<const std::uint8_t> data, TComponent& root)
{
    TComponentReader reader(data, root);
    reader.ReadRoot();
}

std::string ReadStreamClassName(std::span<const std::uint8_t> data)
{
    TStreamReader in(data);
    if (in.Remaining() < 4 || !std::equal(kStreamSignature, kStreamSignature + 4, in.ReadBytes(4).begin())) {
        throw EReadError("Error reading stream header at offset 0: Invalid stream format", 0);
    }
    try {
        if ((in.PeekByte() & 0xF0) == 0xF0 && (in.ReadByte() & ffChildPos) != 0) {
            in.ReadIntegerValue(in.ReadValueType());
        }
        return in.ReadShortString();
    } catch (const EStreamError& e) {
        throw EReadError("Error reading root record at offset " + std::to_string(e.Offset()) + ": " + e.Reason(),
                         e.Offset());
    }
}

TComponent* CreateComponentFromStream(std::span<const std::uint8_t> data, TComponent* owner)
{
    const std::string className = ReadStreamClassName(data);
    const TClassInfo* cls = FindClass(className);
    if (cls == nullptr || !cls->CanCreateComponent()) {
        throw EReadError("Error reading root record at offset 4: Class " + className + " not found", 4);
    }
    std::unique_ptr<TComponent> component(cls->CreateComponent(owner));
    ReadComponentStream(data, *component);
    return component.release();
}

}  // namespace fw
