// The built-in image store: the stream the packer makes, loaded back through
// the component reader, and the lookup by id.
#include "skin/resources/uKsSkinImageList.h"
#include "skin/resources/uKsSkinResDM.h"
#include "skin/resources/uKsSkinResManager.h"

#include "framework/Reader.h"
#include "framework/Writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace ks {
namespace {

struct ManifestLine {
    std::string id;
    int width = 0;
    int height = 0;
    std::string mode;
};

std::vector<ManifestLine> ReadManifest()
{
    std::ifstream in(std::string(KS_SOURCE_DIR) + "/skin/resources/images/manifest.txt");
    std::vector<ManifestLine> lines;
    std::string text;
    while (std::getline(in, text)) {
        if (text.empty() || text[0] == '#')
            continue;
        std::istringstream fields(text);
        ManifestLine line;
        fields >> line.id >> line.width >> line.height >> line.mode;
        lines.push_back(line);
    }
    return lines;
}

TEST(SkinStore, LoadsEveryImageWithItsIdSizeDrawModeAndResampler)
{
    TKsSkinResDM* dm = KsSkinResDM();
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->Name(), "KsSkinResDM");
    EXPECT_FALSE(dm->OldCreateOrder());
    EXPECT_EQ(dm->Height(), 265);
    EXPECT_EQ(dm->Width(), 313);
    ASSERT_NE(dm->KsSkinImageListMain, nullptr);
    EXPECT_EQ(dm->KsSkinImageListMain->Name(), "KsSkinImageListMain");
    EXPECT_EQ(dm->KsSkinImageListMain->Owner(), dm);
    EXPECT_EQ(dm->KsSkinImageListMain->DesignLeft(), 136);
    EXPECT_EQ(dm->KsSkinImageListMain->DesignTop(), 88);

    const TKsSkinBitmapCollection& items = *dm->KsSkinImageListMain->Bitmaps();
    const std::vector<ManifestLine> manifest = ReadManifest();
    ASSERT_EQ(manifest.size(), 85u);
    ASSERT_EQ(items.Count(), 85);
    for (int i = 0; i < items.Count(); ++i) {
        const TKsSkinBitmapItem& item = *items.Items(i);
        SCOPED_TRACE(item.ResID());
        EXPECT_EQ(item.ResID(), manifest[static_cast<std::size_t>(i)].id);
        EXPECT_EQ(item.Description(), "");
        const TBitmap32& bitmap = *item.Bitmap();
        EXPECT_EQ(bitmap.Width(), manifest[static_cast<std::size_t>(i)].width);
        EXPECT_EQ(bitmap.Height(), manifest[static_cast<std::size_t>(i)].height);
        EXPECT_EQ(bitmap.SaveData().size(), 8u + 4u * bitmap.Width() * bitmap.Height());
        EXPECT_EQ(bitmap.ResamplerClassName(), "TNearestResampler");
        EXPECT_EQ(bitmap.MasterAlpha(), 255u);
        const bool opaque = item.ResID() == "KsSkinTabDown" || item.ResID() == "fav";
        EXPECT_EQ(bitmap.DrawMode(), opaque ? dmOpaque : dmBlend);
    }
    EXPECT_EQ(items.Items(0)->ResID(), "KsSkinCheckBox");
    EXPECT_EQ(items.Items(84)->ResID(), "fav");
    const TBitmap32& up = *items.Items(items.IndexOf("KsSkinBrower_up"))->Bitmap();
    const TBitmap32& back = *items.Items(items.IndexOf("KsSkinBrower_back"))->Bitmap();
    EXPECT_EQ(fw::TSize(up.Width(), up.Height()), fw::TSize(29, 120));
    EXPECT_EQ(fw::TSize(back.Width(), back.Height()), fw::TSize(120, 29));
}

TEST(SkinStore, WritesBackTheSameStream)
{
    // Every stored value has a home in the classes: writing the loaded
    // module gives the packed bytes again.
    const std::vector<std::uint8_t> written = fw::WriteComponentStream(*KsSkinResDM());
    const std::span<const std::uint8_t> stored = BuiltInSkinStore();
    ASSERT_EQ(written.size(), stored.size());
    EXPECT_TRUE(std::equal(written.begin(), written.end(), stored.begin()));
}

TEST(SkinStore, DamagedStreamFailsWithTheReadersError)
{
    const std::span<const std::uint8_t> stored = BuiltInSkinStore();
    const std::vector<std::uint8_t> cut(stored.begin(),
                                        stored.begin() + static_cast<std::ptrdiff_t>(stored.size() / 2));
    EXPECT_THROW(TKsSkinResDM(nullptr, cut), fw::EReadError);
    std::vector<std::uint8_t> wrongClass(stored.begin(), stored.end());
    wrongClass[6] = 'X';  // "TKsSkinResDM" -> "TXsSkinResDM"
    EXPECT_THROW(TKsSkinResDM(nullptr, wrongClass), fw::EReadError);
}

// Each file under tests/data/fuzz/fuzz_stream/ must give the outcome recorded
// here: "loaded" or the reader's error message. A new input needs its line.
TEST(SkinStore, FuzzInputsGiveTheirRecordedOutcome)
{
    const std::map<std::string, std::string> expected = {
        {"seed_small_store.bin", "loaded"},
    };
    const std::filesystem::path folder = std::filesystem::path(KS_TEST_DATA_DIR) / "fuzz" / "fuzz_stream";
    std::set<std::string> seen;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(bytes.empty()) << name;
        std::string outcome = "loaded";
        try {
            // As the fuzz target reads it.
            if (fw::ReadStreamClassName(bytes) == "TKsSkinResDM") {
                TKsSkinResDM module(nullptr, bytes);
            } else {
                const std::unique_ptr<fw::TComponent> root(fw::CreateComponentFromStream(bytes, nullptr));
            }
        } catch (const fw::EFrameworkError& e) {
            outcome = e.what();
        }
        const auto it = expected.find(name);
        if (it == expected.end())
            ADD_FAILURE() << name << " has no recorded outcome; it gives \"" << outcome << "\"";
        else
            EXPECT_EQ(outcome, it->second) << name;
        seen.insert(name);
    }
    for (const auto& [name, outcome] : expected)
        EXPECT_TRUE(seen.count(name)) << name << " is missing";
}

TEST(SkinStore, FinalisingFreesTheManagerBeforeTheStore)
{
    SkinResManager().GetBitmap("KsSkinBtn_close");
    FinalizeKsSkinResDM();
    // Both come back on demand, the new manager on the new store's list.
    TKsSkinResManager& manager = SkinResManager();
    EXPECT_EQ(manager.BuiltInList(), KsSkinResDM()->KsSkinImageListMain);
    const TBitmap32* close = manager.GetBitmap("KsSkinBtn_close");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->Width(), 117);
}

TEST(SkinImageLookup, TrimsAndFoldsOnlyAsciiCase)
{
    const TKsSkinBitmapCollection& items = *KsSkinResDM()->KsSkinImageListMain->Bitmaps();
    const int close = items.IndexOf("KsSkinBtn_close");
    ASSERT_GE(close, 0);
    EXPECT_EQ(items.Items(close)->ResID(), "KsSkinBtn_close");
    for (const char* id : {"KSSKINBTN_CLOSE", "ksskinbtn_close", "  KsSkinBtn_close ", "\t\x01KsSkinBtn_close\r\n"})
        EXPECT_EQ(items.IndexOf(id), close) << id;
    for (const char* id : {"KsSkinBtn", "KsSkinBtn_close.png", "", "   ", "KsSkin Btn_close", "KsSkinBtn_close\x7f"})
        EXPECT_EQ(items.IndexOf(id), -1) << id;

    // Characters above 127 keep their bytes: no case folding beyond ASCII.
    EXPECT_EQ(SkinImageKey(" \xc3\xa4"
                           "b\x7f "),
              "\xc3\xa4"
              "B\x7f");
    EXPECT_EQ(SkinImageKey("\xc3\xa4"), "\xc3\xa4");
}

TEST(SkinImageLookup, FirstMatchWins)
{
    TKsSkinImageList list(nullptr);
    list.Bitmaps()->Add()->SetResID(" Same");
    list.Bitmaps()->Add()->SetResID("SAME");
    list.Bitmaps()->Add()->SetResID("other");
    EXPECT_EQ(list.Bitmaps()->IndexOf("same"), 0);
    EXPECT_EQ(list.Bitmaps()->IndexOf("OTHER "), 2);
    list.Bitmaps()->Items(0)->SetResID("renamed");
    EXPECT_EQ(list.Bitmaps()->IndexOf("same"), 1);
}

TEST(SkinImageItem, AssignCopiesIdDescriptionAndBitmap)
{
    TKsSkinImageList list(nullptr);
    TKsSkinBitmapItem* source = list.Bitmaps()->Add();
    source->SetResID("Strip");
    source->SetDescription("three frames");
    source->Bitmap()->Resize(3, 2);
    source->Bitmap()->FillArea(0, 0, 3, 2, 0x80112233);
    source->Bitmap()->SetDrawMode(dmBlend);
    source->Bitmap()->SetMasterAlpha(77);

    TKsSkinBitmapItem* copy = list.Bitmaps()->Add();
    copy->Assign(*source);
    EXPECT_EQ(copy->ResID(), "Strip");
    EXPECT_EQ(copy->Key(), "STRIP");
    EXPECT_EQ(copy->Description(), "three frames");
    ASSERT_NE(copy->Bitmap(), source->Bitmap());
    EXPECT_EQ(copy->Bitmap()->Width(), 3);
    EXPECT_EQ(copy->Bitmap()->PixelAt(2, 1), 0x80112233u);
    EXPECT_EQ(copy->Bitmap()->DrawMode(), dmBlend);
    EXPECT_EQ(copy->Bitmap()->MasterAlpha(), 77u);
}

}  // namespace
}  // namespace ks
