#include "Writer.h"

#include "ScopeGuard.h"
#include "Streams.h"
#include "TypInfo.h"

namespace fw {

namespace {

// Sub-objects are written recursively; a getter that returns an ancestor
// must not send the writer round in circles.
constexpr int kMaxObjectDepth = 32;

class TComponentWriter {
public:
    explicit TComponentWriter(TComponent& root) : m_root(root) {}

    std::vector<std::uint8_t> Write()
    {
        m_out.WriteSignature();
        WriteComponent(m_root);
        return m_out.Take();
    }

private:
    void WriteComponent(TComponent& component)
    {
        component.SetComponentState(csWriting, true);
        auto done = OnScopeExit([&component] { component.SetComponentState(csWriting, false); });
        m_out.WriteShortString(component.ClassName());
        m_out.WriteShortString(component.Name());
        WriteProperties(component, std::string(), 0);
        m_out.WriteListEnd();
        component.GetChildren([this](TComponent* child) { WriteComponent(*child); }, &m_root);
        m_out.WriteListEnd();
    }

    void WriteProperties(TObject& instance, const std::string& prefix, int depth)
    {
        if (depth > kMaxObjectDepth)
            throw EFrameworkError("Sub-objects nested too deeply at " + prefix);
        for (const TPropInfo* prop : instance.ClassType().Properties()) {
            if (!prop->IsStored(instance))
                continue;
            WriteProperty(instance, *prop, prefix, depth);
        }
    }

    std::string ReferenceName(TComponent& target) const
    {
        if (&target == &m_root || target.Owner() == &m_root)
            return target.Name();
        if (target.Owner() != nullptr && !target.Owner()->Name().empty()) {
            return target.Owner()->Name() + "." + target.Name();
        }
        return target.Name();
    }

    // Sub-objects, references and binary data are written only when there
    // is something to write; every other kind always is.
    void WriteProperty(TObject& instance, const TPropInfo& prop, const std::string& prefix, int depth)
    {
        const std::string name = prefix + prop.Name;
        switch (prop.Kind) {
        case TTypeKind::Class: {
            TPersistent* sub = prop.GetObjectValue(instance);
            // Components reached through a property are written in
            // their own records.
            if (sub != nullptr && dynamic_cast<TComponent*>(sub) == nullptr) {
                WriteProperties(*sub, name + ".", depth + 1);
            }
            return;
        }
        case TTypeKind::Component: {
            auto* target = dynamic_cast<TComponent*>(prop.GetObjectValue(instance));
            if (target == nullptr || target->Name().empty())
                return;
            m_out.WriteShortString(name);
            m_out.WriteIdent(ReferenceName(*target));
            return;
        }
        case TTypeKind::Binary: {
            const std::vector<std::uint8_t> data = prop.WriteData(instance);
            if (data.empty() && !prop.StoredFn)
                return;
            m_out.WriteShortString(name);
            m_out.WriteBinary(data);
            return;
        }
        default:
            m_out.WriteShortString(name);
            WriteValue(instance, prop, name, depth);
            return;
        }
    }

    // The value of a property that is always written, after its name.
    void WriteValue(TObject& instance, const TPropInfo& prop, const std::string& name, int depth)
    {
        switch (prop.Kind) {
        case TTypeKind::Integer:
        case TTypeKind::Int64: {
            const std::int64_t v = prop.GetOrd(instance);
            const char* ident = prop.Idents != nullptr ? prop.Idents->IntToIdent(v) : nullptr;
            if (ident != nullptr) {
                m_out.WriteIdent(ident);
            } else {
                m_out.WriteInteger(v);
            }
            break;
        }
        case TTypeKind::Enum: {
            const std::int64_t v = prop.GetOrd(instance);
            if (v < 0 || v >= static_cast<std::int64_t>(prop.Enum.Names.size())) {
                throw EFrameworkError("Enumeration value " + std::to_string(v) + " of " + name + " has no name");
            }
            m_out.WriteIdent(prop.Enum.Names[static_cast<std::size_t>(v)]);
            break;
        }
        case TTypeKind::Bool:
            m_out.WriteBoolean(prop.GetOrd(instance) != 0);
            break;
        case TTypeKind::Set: {
            const auto mask = static_cast<std::uint64_t>(prop.GetOrd(instance));
            std::vector<std::string> members;
            for (std::size_t i = 0; i < prop.Enum.Names.size() && i < 64; ++i) {
                if ((mask >> i) & 1u)
                    members.push_back(prop.Enum.Names[i]);
            }
            m_out.WriteSet(members);
            break;
        }
        case TTypeKind::String:
            m_out.WriteString(prop.GetStr(instance));
            break;
        case TTypeKind::WString:
            WriteText(prop.GetStr(instance));
            break;
        case TTypeKind::Float:
            m_out.WriteExtended(prop.GetFloat(instance));
            break;
        case TTypeKind::Method: {
            auto* p = dynamic_cast<TPersistent*>(&instance);
            const std::string* method = p != nullptr ? p->BoundMethodName(prop) : nullptr;
            m_out.WriteIdent(method != nullptr ? *method : std::string());
            break;
        }
        case TTypeKind::Collection: {
            auto* collection = dynamic_cast<TCollection*>(prop.GetObjectValue(instance));
            m_out.WriteValueType(vaCollection);
            for (int i = 0; collection != nullptr && i < collection->Count(); ++i) {
                m_out.WriteListBegin();
                WriteProperties(*collection->Items(i), std::string(), depth + 1);
                m_out.WriteListEnd();
            }
            m_out.WriteListEnd();
            break;
        }
        case TTypeKind::Strings: {
            m_out.WriteListBegin();
            for (const std::string& s : prop.GetStrings(instance))
                WriteText(s);
            m_out.WriteListEnd();
            break;
        }
        case TTypeKind::Class:
        case TTypeKind::Component:
        case TTypeKind::Binary:
            break;  // handled above
        }
    }

    // Unicode text: plain ASCII goes as an 8-bit string, anything else as
    // UTF-16, as the layout compiler does.
    void WriteText(const std::string& utf8)
    {
        if (IsAscii(utf8)) {
            m_out.WriteString(utf8);
        } else {
            m_out.WriteWString(std::string_view(utf8));
        }
    }

    TComponent& m_root;
    TStreamWriter m_out;
};

}  // namespace

std::vector<std::uint8_t> WriteComponentStream(TComponent& root)
{
    TComponentWriter writer(root);
    return writer.Write();
}

}  // namespace fw
