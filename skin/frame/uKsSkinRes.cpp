#include "skin/frame/uKsSkinRes.h"

#include "framework/TypInfo.h"
#include "skin/frame/uKsSkinHelper.h"

#include <pugixml.hpp>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string_view>

namespace ks {

namespace {

const char* const kConfigFile = "Skin\\Config.xml";
const char* const kCustomFolder = "Skin\\Custom\\";
const char* const kDefaultFolder = "Skin\\Default\\";

bool SameNameIgnoringCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        auto la = static_cast<unsigned char>(*a);
        auto lb = static_cast<unsigned char>(*b);
        if (la >= 'A' && la <= 'Z')
            la = static_cast<unsigned char>(la - 'A' + 'a');
        if (lb >= 'A' && lb <= 'Z')
            lb = static_cast<unsigned char>(lb - 'A' + 'a');
        if (la != lb)
            return false;
    }
    return *a == *b;
}

// The first element below node named name (any letter case), depth-first in
// document order; an empty node when there is none.
pugi::xml_node FindElement(pugi::xml_node node, const char* name)
{
    if (!node)
        return {};
    return node.find_node(
        [name](pugi::xml_node n) { return n.type() == pugi::node_element && SameNameIgnoringCase(n.name(), name); });
}

// The element's text: the concatenated character data of its direct children.
std::string ElementText(pugi::xml_node element)
{
    std::string text;
    for (pugi::xml_node child : element.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            text += child.value();
    return text;
}

// Reads the named integer below parent into apply; a missing element keeps
// the current value.
template <class Apply>
void ReadInt(pugi::xml_node parent, const char* name, Apply apply)
{
    pugi::xml_node element = FindElement(parent, name);
    if (element)
        apply(ConfigStrToInt(ElementText(element)));
}

std::string FileNamePart(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPart(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Restores the loading flag on every path out of a load.
class TLoadScope {
public:
    explicit TLoadScope(TKsFormSkinRes& form) : m_form(form) { m_form.BeginLoad(); }
    ~TLoadScope() { m_form.EndLoad(); }
    TLoadScope(const TLoadScope&) = delete;
    TLoadScope& operator=(const TLoadScope&) = delete;

private:
    TKsFormSkinRes& m_form;
};

}  // namespace

int ConfigStrToInt(const std::string& text)
{
    // Decimal with an optional sign, surrounding blanks allowed, within the
    // 32-bit range; anything else is malformed.
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
        ++p;
    const char* digits = (*p == '-' || *p == '+') ? p + 1 : p;
    bool ok = *digits >= '0' && *digits <= '9';
    long long value = 0;
    const char* end = digits;
    for (; ok && *end >= '0' && *end <= '9'; ++end) {
        value = value * 10 + (*end - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            ok = false;
    }
    while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n')
        ++end;
    if (*p == '-')
        value = -value;
    if (!ok || *end != '\0' || value > INT_MAX || value < INT_MIN)
        throw EConfigError("'" + text + "' is not a valid integer value");
    return static_cast<int>(value);
}

const fw::TClassInfo& TKsSkinRes::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinRes, fw::TComponent>("TKsSkinRes")
            .Object("Form", &TKsSkinRes::Form)
            .Bool("UseSkinFile", &TKsSkinRes::UseSkinFile, &TKsSkinRes::SetUseSkinFile, true)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinRes)

TKsSkinRes::TKsSkinRes(fw::TComponent* owner) : TKsSkinRes(owner, CreatePlatformConfigFiles()) {}

TKsSkinRes::TKsSkinRes(fw::TComponent* owner, std::unique_ptr<TKsConfigFiles> files)
    : fw::TComponent(owner),
      m_files(std::move(files)),
      m_form(std::make_unique<TKsFormSkinRes>())
{
    m_form->NotifyOwner = [this] { NotifyForms(); };
    m_configPath = m_files->ProgramFolder() + kConfigFile;
    LoadConfig();
}

TKsSkinRes::~TKsSkinRes() { m_form->NotifyOwner = nullptr; }

void TKsSkinRes::Loaded()
{
    fw::TComponent::Loaded();
    if (m_useSkinFile)
        LoadConfig();
    else
        SaveConfig();
}

void TKsSkinRes::LoadConfig()
{
    if (!m_files->FileExists(m_configPath)) {
        // Looking for the default picture cannot fail, so the update always
        // ends, and ending it tells the forms.
        m_form->BeginUpdate();
        PickDefaultBackground();
        m_form->EndUpdate();
        return;
    }
    // Parse before the loading flag is raised: a file that is not XML changes
    // nothing at all.
    LoadDocument(m_files->ReadFile(m_configPath));
}

void TKsSkinRes::LoadDocument(const std::string& bytes)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(bytes.data(), bytes.size());
    if (!parsed) {
        std::ostringstream msg;
        msg << "The skin configuration '" << m_configPath << "' is not valid XML: " << parsed.description()
            << " at offset " << parsed.offset;
        throw EConfigError(msg.str());
    }
    pugi::xml_node custom = FindElement(FindElement(doc.document_element(), "Config"), "Custom");
    pugi::xml_node node = FindElement(custom, "Form");

    TLoadScope load(*m_form);
    TKsFormSkinRes& f = *m_form;
    ReadInt(node, "Style", [&](int v) { f.SetStyle(static_cast<TKsSkinStyle>(static_cast<std::uint8_t>(v))); });
    ReadInt(node, "DefaultSkinOrder", [&](int v) { f.SetDefaultSkinOrder(v); });

    const pugi::xml_node bg = FindElement(node, "FormBg");
    const std::string name = bg ? ElementText(bg) : std::string();
    const std::string custom_path = m_files->ProgramFolder() + kCustomFolder + name;
    if (!name.empty() && m_files->FileExists(custom_path)) {
        f.SetFormBg(FileNamePart(custom_path));
        f.SetCustomPicture(custom_path);
    } else {
        PickDefaultBackground();
    }

    ReadInt(node, "GradientHeight", [&](int v) { f.SetGradientHeight(v); });
    ReadInt(node, "HitTestWidth", [&](int v) { f.SetHitTestWidth(v); });
    ReadInt(node, "TitleHeight", [&](int v) { f.SetTitleHeight(v); });
    ReadInt(node, "TitlerColor", [&](int v) { f.SetTitlerColor(static_cast<fw::TColor>(v)); });
    ReadInt(node, "Color", [&](int v) { f.SetColor(static_cast<fw::TColor>(v)); });
    ReadInt(node, "FramWidth", [&](int v) { f.SetFramWidth(v); });
    ReadInt(node, "HSB_H", [](int v) { SkinHsbH = v; });
    ReadInt(node, "HSB_S", [](int v) { SkinHsbS = v; });
    ReadInt(node, "HSB_B", [](int v) { SkinHsbB = v; });
}

void TKsSkinRes::PickDefaultBackground()
{
    const std::string path = m_files->ProgramFolder() + kDefaultFolder + kDefaultSkinBackground;
    if (!m_files->FileExists(path))
        return;
    m_form->SetFormBg(kDefaultSkinBackground);
    m_form->SetCustomPicture(path);
}

void TKsSkinRes::SaveConfig()
{
    pugi::xml_document doc;
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    pugi::xml_node form =
        doc.append_child("KsSkinRes").append_child("Config").append_child("Custom").append_child("Form");
    const TKsFormSkinRes& f = *m_form;
    auto add = [&form](const char* name, long long value) { form.append_child(name).text().set(value); };
    add("Style", static_cast<int>(f.Style()));
    form.append_child("FormBg").text().set(f.FormBg().c_str());
    add("DefaultSkinOrder", f.DefaultSkinOrder());
    add("HitTestWidth", f.HitTestWidth());
    add("GradientHeight", f.GradientHeight());
    add("TitleHeight", f.TitleHeight());
    add("TitlerColor", static_cast<std::int32_t>(f.TitlerColor()));
    add("Color", static_cast<std::int32_t>(f.Color()));
    add("FramWidth", f.FramWidth());
    add("HSB_H", SkinHsbH);
    add("HSB_S", SkinHsbS);
    add("HSB_B", SkinHsbB);

    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    try {
        m_files->CreateFolders(FolderPart(m_configPath));
        m_files->WriteAtomically(m_configPath, out.str());
    } catch (const EConfigError&) {
        // At run time a read-only program folder only means the settings are
        // not kept; the designer is told once.
        if (!IsDesigning() || m_saveWarned)
            return;
        m_saveWarned = true;
        throw;
    }
}

void TKsSkinRes::NotifyForms()
{
    if (IsDesigning()) {
        SaveConfig();
        return;
    }
    BroadcastSkinChanged();
}

}  // namespace ks
