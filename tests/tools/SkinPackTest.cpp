// The image-store packer: manifest parsing, the exact stream layout, and the
// built-in images packed from skin/resources/images read back item by item.
#include "tools/skinpack/SkinPack.h"

#include "framework/Streams.h"
#include "tools/skingen/PngFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using ks::skinpack::LoadImages;
using ks::skinpack::ManifestEntry;
using ks::skinpack::ParseManifest;
using ks::skinpack::StoreImage;
using ks::skinpack::WriteImageStore;

using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& b, std::string_view s) { b.insert(b.end(), s.begin(), s.end()); }
void AppendName(Bytes& b, std::string_view s)
{
    b.push_back(static_cast<std::uint8_t>(s.size()));
    Append(b, s);
}

// The stream up to the first collection item, byte for byte.
Bytes ExpectedHeader()
{
    Bytes b;
    Append(b, "TPF0");
    AppendName(b, "TKsSkinResDM");
    AppendName(b, "KsSkinResDM");
    AppendName(b, "OldCreateOrder");
    b.push_back(8);
    AppendName(b, "Height");
    b.insert(b.end(), {3, 0x09, 0x01});  // 265
    AppendName(b, "Width");
    b.insert(b.end(), {3, 0x39, 0x01});  // 313
    b.push_back(0);
    AppendName(b, "TKsSkinImageList");
    AppendName(b, "KsSkinImageListMain");
    AppendName(b, "Bitmaps");
    b.push_back(14);
    return b;
}

Bytes ExpectedTrailer()
{
    Bytes b{0};  // end of the collection
    AppendName(b, "Left");
    b.insert(b.end(), {3, 136, 0});
    AppendName(b, "Top");
    b.insert(b.end(), {2, 88});
    b.insert(b.end(), {0, 0, 0});
    return b;
}

TEST(SkinPackStream, SmallStoreIsExactBytes)
{
    std::vector<StoreImage> images;
    images.push_back({{"A", 1, 1, false}, {10, 20, 30, 40}});
    // An opaque image keeps its colours and gets alpha 255.
    images.push_back({{"fav", 2, 1, true}, {1, 2, 3, 7, 4, 5, 6, 0}});

    Bytes expected = ExpectedHeader();
    expected.push_back(1);
    AppendName(expected, "ResID");
    expected.insert(expected.end(), {6, 1, 'A'});
    AppendName(expected, "Bitmap.DrawMode");
    expected.push_back(7);
    AppendName(expected, "dmBlend");
    AppendName(expected, "Bitmap.ResamplerClassName");
    expected.push_back(6);
    AppendName(expected, "TNearestResampler");
    AppendName(expected, "Bitmap.Data");
    expected.insert(expected.end(), {10, 12, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 30, 20, 10, 40});
    expected.push_back(0);

    expected.push_back(1);
    AppendName(expected, "ResID");
    expected.insert(expected.end(), {6, 3, 'f', 'a', 'v'});
    AppendName(expected, "Bitmap.ResamplerClassName");
    expected.push_back(6);
    AppendName(expected, "TNearestResampler");
    AppendName(expected, "Bitmap.Data");
    expected.insert(expected.end(), {10, 16, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 3, 2, 1, 255, 6, 5, 4, 255});
    expected.push_back(0);
    const Bytes trailer = ExpectedTrailer();
    expected.insert(expected.end(), trailer.begin(), trailer.end());

    EXPECT_EQ(WriteImageStore(images), expected);
}

TEST(SkinPackStream, EmptyStoreAndPixelMismatch)
{
    Bytes expected = ExpectedHeader();
    const Bytes trailer = ExpectedTrailer();
    expected.insert(expected.end(), trailer.begin(), trailer.end());
    EXPECT_EQ(WriteImageStore({}), expected);

    EXPECT_THROW(WriteImageStore({{{"A", 2, 2, false}, Bytes(12)}}), std::runtime_error);
}

TEST(SkinPackManifest, ParsesLinesCommentsAndLineEnds)
{
    const auto entries =
        ParseManifest("# the store\r\nKsSkinTabDown 10 35 dmOpaque\r\n\n  KsSkinBtn_close\t117 19 dmBlend\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].id, "KsSkinTabDown");
    EXPECT_EQ(entries[0].width, 10);
    EXPECT_EQ(entries[0].height, 35);
    EXPECT_TRUE(entries[0].opaque);
    EXPECT_EQ(entries[1].id, "KsSkinBtn_close");
    EXPECT_EQ(entries[1].width, 117);
    EXPECT_FALSE(entries[1].opaque);
}

TEST(SkinPackManifest, RejectsMalformedLines)
{
    const char* bad[] = {
        "A 1 1\n",                // missing mode
        "A 1 1 dmTransparent\n",  // not a mode of the store
        "A 0 1 dmBlend\n",        // empty image
        "A 1 -1 dmBlend\n",
        "A 1x 1 dmBlend\n",
        "A 99999 1 dmBlend\n",
        "A 1 1 dmBlend extra\n",
        "A 1 1 dmBlend\na 2 2 dmBlend\n",  // ids are looked up without case
    };
    for (const char* text : bad)
        EXPECT_THROW(ParseManifest(text), std::runtime_error) << text;
    try {
        ParseManifest("A 1 1 dmBlend\n\nB 1 1 dmOops\n");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("line 3"), std::string::npos) << e.what();
    }
}

class SkinPackFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("skinpack_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    void WriteFile(const std::string& name, const std::string& text)
    {
        std::ofstream(m_dir / name, std::ios::binary) << text;
    }
    void WriteImage(const std::string& name, int w, int h)
    {
        ks::skingen::RgbaImage image;
        image.width = w;
        image.height = h;
        for (int i = 0; i < w * h; ++i)
            image.pixels.insert(image.pixels.end(), {200, 100, 50, static_cast<std::uint8_t>(i)});
        ks::skingen::WritePng((m_dir / name).string(), image);
    }
    std::string Manifest() const { return (m_dir / "manifest.txt").string(); }

    std::filesystem::path m_dir;
};

TEST_F(SkinPackFolder, LoadsPngsBesideTheManifest)
{
    WriteFile("manifest.txt", "Two 2 1 dmBlend\n");
    WriteImage("Two.png", 2, 1);
    const auto images = LoadImages(Manifest());
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].rgba, (Bytes{200, 100, 50, 0, 200, 100, 50, 1}));
}

TEST_F(SkinPackFolder, RejectsWrongSizeAndMissingFiles)
{
    WriteFile("manifest.txt", "Two 2 2 dmBlend\n");
    WriteImage("Two.png", 2, 1);
    EXPECT_THROW(LoadImages(Manifest()), std::runtime_error);
    WriteFile("manifest.txt", "Three 2 1 dmBlend\n");
    EXPECT_THROW(LoadImages(Manifest()), std::runtime_error);
    WriteFile("Bad.png", "not a png");
    WriteFile("manifest.txt", "Bad 2 1 dmBlend\n");
    EXPECT_THROW(LoadImages(Manifest()), std::runtime_error);
    EXPECT_THROW(LoadImages((m_dir / "none.txt").string()), std::runtime_error);
}

// The ids, sizes and draw modes of the built-in store, in stored order.
const ManifestEntry kBuiltIn[] = {
    {"KsSkinCheckBox", 68, 17},
    {"KsSkinButton", 340, 27},
    {"KsSkinRadiobtn", 68, 17},
    {"KsSkinDropdownMenu", 60, 32},
    {"KsSkinFlatBtn", 66, 22},
    {"KsSkinMsgIcon_Error", 40, 40},
    {"KsSkinMsgIcon_Warn", 40, 40},
    {"KsSkinMsgIcon_Info", 40, 40},
    {"KsSkinMsgIcon_OK", 40, 40},
    {"KsSkinMsgIcon_Question", 40, 40},
    {"KsSkinBorderHot", 20, 26},
    {"KsSkinBorderNormal", 20, 26},
    {"KsSkinBtn_close", 117, 19},
    {"KsSkinBtn_max", 84, 19},
    {"KsSkinBtn_mini", 84, 19},
    {"KsSkinBtn_restore", 84, 19},
    {"KsSkinTips_close", 54, 18},
    {"KsSkinSlider_dragBackground", 12, 21},
    {"KsSkinPreview_bkg", 60, 134},
    {"KsSkinSlider_Aio_light_bkg", 60, 134},
    {"KsSkinPasswordchar", 6, 6},
    {"KsSkinKeyboard", 20, 20},
    {"KsSkinDrop_arrow_hot", 23, 24},
    {"KsSkinDrop_arrow_normal", 23, 24},
    {"KsSkinExpand_1", 17, 17},
    {"KsSkinExpand_2", 17, 17},
    {"KsSkinCancel_18_Normal", 18, 18},
    {"KsSkinCancel_18_Hot", 18, 18},
    {"KsSkinMenu_bk", 157, 38},
    {"KsSkinMenu_hilight", 22, 22},
    {"KsSkinMenu_sub_arrow", 21, 11},
    {"KsSkinMenu_icon_check", 60, 20},
    {"KsSkinMenu_icon_radio", 60, 20},
    {"KsSkinTabDown", 10, 35, true},
    {"KsSkinTabHover", 10, 35},
    {"KsSkinTab_button_normal", 10, 25},
    {"KsSkinTab_button_hot", 10, 25},
    {"KsSkinTab_button_down", 10, 25},
    {"KsSkinBar_base", 102, 13},
    {"KsSkinBar_cur", 102, 13},
    {"KsSkinScrollbar_bar_down", 10, 42},
    {"KsSkinScrollbar_bar_highlight", 10, 42},
    {"KsSkinScrollbar_bar_normal", 10, 42},
    {"KsSkinScrollbar_bkg", 10, 62},
    {"KsSkinScrollbar_arrowdown_normal", 10, 9},
    {"KsSkinScrollbar_arrowup_normal", 10, 9},
    {"KsSkinScrollbar_horz_bkg", 34, 10},
    {"KsSkinScrollbar_horzbar_down", 34, 10},
    {"KsSkinScrollbar_horzbar_highlight", 34, 10},
    {"KsSkinScrollbar_horzbar_normal", 34, 10},
    {"KsSkinScrollbar_arrowleft_normal", 9, 10},
    {"KsSkinScrollbar_arrowright_normal", 9, 10},
    {"KsSkinScrollbar_arrowdown_down", 10, 9},
    {"KsSkinScrollbar_arrowdown_highlight", 10, 9},
    {"KsSkinScrollbar_arrowleft_down", 9, 10},
    {"KsSkinScrollbar_arrowleft_highlight", 9, 10},
    {"KsSkinScrollbar_arrowright_down", 9, 10},
    {"KsSkinScrollbar_arrowright_highlight", 9, 10},
    {"KsSkinScrollbar_arrowup_down", 10, 9},
    {"KsSkinScrollbar_arrowup_highlight", 10, 9},
    {"KsSkinDrag_flag", 8, 8},
    {"KsSkinSwitch_on", 102, 17},
    {"KsSkinSwitch_off", 102, 17},
    {"KsSkinMini_close_btn", 24, 12},
    {"KsSkinColor_tabs", 360, 40},
    {"KsSkinBrower_back", 120, 29},
    {"KsSkinBrower_front", 120, 29},
    {"KsSkinBrower_up", 29, 120},
    {"KsSkinBrower_down", 29, 120},
    {"KsSkinSearch_icon", 16, 14},
    {"KsSkinCalendar_18_N", 25, 16},
    {"KsSkinCalendar_18_H", 25, 16},
    {"KsSkinSpin_normal_up", 23, 12},
    {"KsSkinSpin_highlight_up", 23, 12},
    {"KsSkinSpin_pushed_up", 23, 12},
    {"KsSkinSpin_normal_down", 23, 12},
    {"KsSkinSpin_highlight_down", 23, 12},
    {"KsSkinSpin_pushed_down", 23, 12},
    {"KsSkinToolbtn", 87, 29},
    {"KsSkinCheckedCheckbox_18", 15, 15},
    {"KsSkinCheckedCheckbox_h_18", 15, 15},
    {"KsSkinUncheckedCheckbox_18", 15, 15},
    {"KsSkinUncheckedCheckbox_h_18", 15, 15},
    {"KsSkinSlides", 160, 69},
    {"fav", 120, 120, true},
};

std::string PropertyName(fw::TStreamReader& r) { return r.ReadShortString(); }

std::string ReadStringValue(fw::TStreamReader& r, fw::TValueType type)
{
    EXPECT_EQ(r.ReadValueType(), type);
    return r.ReadShortString();
}

TEST(SkinPackBuiltIn, StreamReadsBackAsTheStoreTable)
{
    const std::string images = std::string(KS_SOURCE_DIR) + "/skin/resources/images";
    const Bytes stream = WriteImageStore(LoadImages(images + "/manifest.txt"));
    EXPECT_EQ(stream.size(), 539451u);

    const Bytes header = ExpectedHeader();
    ASSERT_GT(stream.size(), header.size());
    EXPECT_TRUE(std::equal(header.begin(), header.end(), stream.begin()));

    fw::TStreamReader r(stream);
    r.Seek(header.size());
    for (const ManifestEntry& want : kBuiltIn) {
        SCOPED_TRACE(want.id);
        ASSERT_EQ(r.ReadByte(), fw::vaList);
        ASSERT_EQ(PropertyName(r), "ResID");
        EXPECT_EQ(ReadStringValue(r, fw::vaString), want.id);
        std::string name = PropertyName(r);
        if (!want.opaque) {
            EXPECT_EQ(name, "Bitmap.DrawMode");
            EXPECT_EQ(ReadStringValue(r, fw::vaIdent), "dmBlend");
            name = PropertyName(r);
        }
        EXPECT_EQ(name, "Bitmap.ResamplerClassName");
        EXPECT_EQ(ReadStringValue(r, fw::vaString), "TNearestResampler");
        ASSERT_EQ(PropertyName(r), "Bitmap.Data");
        ASSERT_EQ(r.ReadValueType(), fw::vaBinary);
        const std::uint32_t n = r.ReadUInt32();
        ASSERT_EQ(n, 8u + 4u * want.width * want.height);
        EXPECT_EQ(r.ReadUInt32(), static_cast<std::uint32_t>(want.width));
        EXPECT_EQ(r.ReadUInt32(), static_cast<std::uint32_t>(want.height));
        const auto pixels = r.ReadBytes(n - 8);

        // Blue, green, red, alpha in the stream; red, green, blue, alpha in the PNG.
        const auto png = ks::skingen::ReadPng(images + "/" + want.id + ".png");
        bool same = true, allOpaque = true;
        for (size_t i = 0; i < pixels.size(); i += 4) {
            same = same && pixels[i] == png.pixels[i + 2] && pixels[i + 1] == png.pixels[i + 1] &&
                   pixels[i + 2] == png.pixels[i] && pixels[i + 3] == png.pixels[i + 3];
            allOpaque = allOpaque && pixels[i + 3] == 255;
        }
        EXPECT_TRUE(same);
        if (want.opaque) {
            EXPECT_TRUE(allOpaque);
        }
        ASSERT_EQ(r.ReadByte(), 0);
    }
    const Bytes trailer = ExpectedTrailer();
    ASSERT_EQ(r.Remaining(), trailer.size());
    EXPECT_TRUE(std::equal(trailer.begin(), trailer.end(), stream.end() - static_cast<std::ptrdiff_t>(trailer.size())));
}

}  // namespace
