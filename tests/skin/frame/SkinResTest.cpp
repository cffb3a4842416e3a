#include "skin/frame/uKsSkinRes.h"

#include "skin/frame/uKsSkinHelper.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#if !defined(_WIN32)
#include <unistd.h>
#endif

using namespace ks;

namespace {

const std::string kFolder = "C:\\App\\";
const std::string kConfig = kFolder + "Skin\\Config.xml";
const std::string kLeaf = kFolder + "Skin\\Default\\skin_bk_leaf.jpg";

// Files in memory; a failing replace leaves the old content, as the real one does.
struct MemoryFiles : TKsConfigFiles {
    std::map<std::string, std::string>* files;
    bool failWrites = false;

    explicit MemoryFiles(std::map<std::string, std::string>* f) : files(f) {}
    std::string ProgramFolder() const override { return kFolder; }
    bool FileExists(const std::string& path) const override { return files->count(path) != 0; }
    std::string ReadFile(const std::string& path) const override { return files->at(path); }
    void CreateFolders(const std::string&) const override {}
    void WriteAtomically(const std::string& path, const std::string& bytes) const override
    {
        if (failWrites)
            throw EConfigError("disk full");
        (*files)[path] = bytes;
    }
};

std::string FormXml(const std::string& children)
{
    return "<?xml version=\"1.0\"?><KsSkinRes><Config><Custom><Form>" + children +
           "</Form></Custom></Config></KsSkinRes>";
}

class SkinResTest : public ::testing::Test {
protected:
    void SetUp() override { SaveHsb(); }
    void TearDown() override { RestoreHsb(); }

    std::unique_ptr<TKsSkinRes> Make()
    {
        auto files = std::make_unique<MemoryFiles>(&m_files);
        m_memory = files.get();
        return std::make_unique<TKsSkinRes>(nullptr, std::move(files));
    }

    void SaveHsb() { m_hsb[0] = SkinHsbH, m_hsb[1] = SkinHsbS, m_hsb[2] = SkinHsbB; }
    void RestoreHsb() { SkinHsbH = m_hsb[0], SkinHsbS = m_hsb[1], SkinHsbB = m_hsb[2]; }

    std::map<std::string, std::string> m_files;
    MemoryFiles* m_memory = nullptr;
    int m_hsb[3] = {};
};

}  // namespace

TEST_F(SkinResTest, WithoutAFileDefaultsStayAndFormsAreToldOnce)
{
    auto res = Make();
    int changes = 0;
    res->Form()->OnChange = [&](fw::TObject*) { ++changes; };
    res->LoadConfig();
    const TKsFormSkinRes& f = *res->Form();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(f.TitleHeight(), 27);
    EXPECT_EQ(f.TitlerColor(), 16761926u);
    EXPECT_EQ(f.Color(), 15920353u);
    EXPECT_EQ(f.FramWidth(), 2);
    EXPECT_EQ(f.HitTestWidth(), 5);
    EXPECT_EQ(f.GradientHeight(), 168);
    EXPECT_EQ(f.Style(), ssColor);
    EXPECT_EQ(f.CustomPicture(), "");
    EXPECT_EQ(res->ConfigPath(), kConfig);

    m_files[kLeaf] = "jpeg";
    res->LoadConfig();
    EXPECT_EQ(f.CustomPicture(), kLeaf);
    EXPECT_EQ(f.FormBg(), "skin_bk_leaf.jpg");
}

TEST_F(SkinResTest, LoadsEveryValueWhateverTheCaseAndDepth)
{
    m_files[kLeaf] = "jpeg";
    m_files[kFolder + "Skin\\Custom\\sea.png"] = "png";
    m_files[kConfig] =
        FormXml("<STYLE>2</STYLE><formbg>sea.png</formbg><DefaultSkinOrder>4</DefaultSkinOrder>"
                "<Extra><HitTestWidth>7</HitTestWidth></Extra><HitTestWidth>99</HitTestWidth>"
                "<GradientHeight>-40</GradientHeight><TitleHeight>31</TitleHeight><TitlerColor>255</TitlerColor>"
                "<Color> 65280 </Color><FramWidth>-3</FramWidth><HSB_H>-2147483648</HSB_H><hsb_s>50</hsb_s>"
                "<HSB_B>+7</HSB_B>");
    auto res = Make();
    const TKsFormSkinRes& f = *res->Form();
    // Style keeps a byte the enumeration does not name.
    EXPECT_EQ(static_cast<int>(f.Style()), 2);
    EXPECT_EQ(f.DefaultSkinOrder(), 4);
    EXPECT_EQ(f.CustomPicture(), kFolder + "Skin\\Custom\\sea.png");
    EXPECT_EQ(f.FormBg(), "sea.png");
    EXPECT_EQ(f.HitTestWidth(), 7);  // the first in document order wins
    EXPECT_EQ(f.GradientHeight(), -40);
    EXPECT_EQ(f.TitleHeight(), 31);
    EXPECT_EQ(f.TitlerColor(), 255u);
    EXPECT_EQ(f.Color(), 65280u);
    EXPECT_EQ(f.FramWidth(), 2);  // negative widths are ignored
    EXPECT_EQ(SkinHsbH, INT_MIN);
    EXPECT_EQ(SkinHsbS, 50);
    EXPECT_EQ(SkinHsbB, 7);
    EXPECT_FALSE(f.Loading());

    // A background missing from Custom falls back to the default picture.
    m_files.erase(kFolder + "Skin\\Custom\\sea.png");
    res->LoadConfig();
    EXPECT_EQ(f.CustomPicture(), kLeaf);
}

TEST_F(SkinResTest, ABadNumberStopsLoadingKeepingWhatCameBefore)
{
    auto res = Make();
    m_files[kConfig] = FormXml("<Style>1</Style><GradientHeight>90</GradientHeight>"
                               "<HitTestWidth>7x</HitTestWidth><TitleHeight>40</TitleHeight>");
    int changes = 0;
    res->Form()->OnChange = [&](fw::TObject*) { ++changes; };
    try {
        res->LoadConfig();
        FAIL() << "loading a malformed number succeeded";
    } catch (const EConfigError& e) {
        EXPECT_STREQ(e.what(), "'7x' is not a valid integer value");
    }
    const TKsFormSkinRes& f = *res->Form();
    EXPECT_EQ(f.GradientHeight(), 90);
    EXPECT_EQ(f.TitleHeight(), 27);
    EXPECT_FALSE(f.Loading());
    EXPECT_EQ(changes, 0);
    // The error leaves the component working: the next change notifies.
    res->Form()->SetTitleHeight(30);
    EXPECT_EQ(changes, 1);
}

TEST_F(SkinResTest, AFileThatIsNotXmlChangesNothingAndSaysWhy)
{
    m_files[kConfig] = "<KsSkinRes><Config><Form><TitleHeight>40</TitleHeight></Config>";
    try {
        Make();
        FAIL() << "a broken file loaded";
    } catch (const EConfigError& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find(kConfig), std::string::npos) << what;
        EXPECT_NE(what.find("offset"), std::string::npos) << what;
    }
}

TEST_F(SkinResTest, SaveWritesTheShapeThatLoadsBack)
{
    m_files[kFolder + "Skin\\Custom\\sea.png"] = "png";
    auto res = Make();
    TKsFormSkinRes& f = *res->Form();
    f.BeginUpdate();
    f.SetStyle(ssPicture);
    f.SetFormBg("sea.png");
    f.SetDefaultSkinOrder(3);
    f.SetHitTestWidth(6);
    f.SetGradientHeight(120);
    f.SetTitleHeight(30);
    f.SetTitlerColor(0x123456);
    f.SetColor(0x654321);
    f.SetFramWidth(4);
    f.EndUpdate();
    SkinHsbH = 120, SkinHsbS = -20, SkinHsbB = 5;
    res->SaveConfig();

    const std::string& xml = m_files.at(kConfig);
    const char* order[] = {"Style",       "FormBg", "DefaultSkinOrder", "HitTestWidth", "GradientHeight", "TitleHeight",
                           "TitlerColor", "Color",  "FramWidth",        "HSB_H",        "HSB_S",          "HSB_B"};
    std::size_t at = xml.find("<KsSkinRes>\n  <Config>\n    <Custom>\n      <Form>");
    ASSERT_NE(at, std::string::npos) << xml;
    for (const char* name : order) {
        const std::size_t next = xml.find(std::string("<") + name + ">", at);
        ASSERT_NE(next, std::string::npos) << name << " missing or out of order\n" << xml;
        at = next;
    }

    SkinHsbH = SkinHsbS = SkinHsbB = 0;
    auto again = Make();
    const TKsFormSkinRes& g = *again->Form();
    EXPECT_EQ(g.Style(), ssPicture);
    EXPECT_EQ(g.CustomPicture(), kFolder + "Skin\\Custom\\sea.png");
    EXPECT_EQ(g.DefaultSkinOrder(), 3);
    EXPECT_EQ(g.HitTestWidth(), 6);
    EXPECT_EQ(g.GradientHeight(), 120);
    EXPECT_EQ(g.TitleHeight(), 30);
    EXPECT_EQ(g.TitlerColor(), 0x123456u);
    EXPECT_EQ(g.Color(), 0x654321u);
    EXPECT_EQ(g.FramWidth(), 4);
    EXPECT_EQ(SkinHsbH, 120);
    EXPECT_EQ(SkinHsbS, -20);
    EXPECT_EQ(SkinHsbB, 5);

    // A failed write keeps the previous file whole and is not an error at run time.
    m_memory->failWrites = true;
    again->Form()->SetTitleHeight(50);
    again->SaveConfig();
    EXPECT_EQ(m_files.at(kConfig), xml);
}

TEST_F(SkinResTest, UseSkinFileOffWritesTheStoredValuesOnLoaded)
{
    m_files[kConfig] = FormXml("<TitleHeight>40</TitleHeight>");
    auto res = Make();
    res->SetUseSkinFile(false);
    res->Form()->SetTitleHeight(33);
    res->Loaded();
    EXPECT_NE(m_files.at(kConfig).find("<TitleHeight>33</TitleHeight>"), std::string::npos);
}

TEST(ConfigStrToInt, AcceptsDecimalIntegersOnly)
{
    EXPECT_EQ(ConfigStrToInt("12"), 12);
    EXPECT_EQ(ConfigStrToInt(" -5\n"), -5);
    EXPECT_EQ(ConfigStrToInt("2147483647"), INT_MAX);
    EXPECT_EQ(ConfigStrToInt("-2147483648"), INT_MIN);
    for (const char* bad :
         {"", " ", "-", "12a", "0x10", "$10", "2147483648", "-2147483649", "1 2", "99999999999999999999"})
        EXPECT_THROW(ConfigStrToInt(bad), EConfigError) << '"' << bad << '"';
}

#if !defined(_WIN32)
// The host's files: backslashes in the engine's paths map to folders.
TEST(HostConfigFiles, ReplaceLeavesOnlyTheNewFile)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("ks-config-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    auto files = CreatePlatformConfigFiles(dir.string() + "/");
    files->CreateFolders(dir.string() + "/Skin\\");
    const std::string path = dir.string() + "/Skin\\Config.xml";
    files->WriteAtomically(path, "old");
    files->WriteAtomically(path, "new");
    EXPECT_EQ(files->ReadFile(path), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "Skin"), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}
#endif
