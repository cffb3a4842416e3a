// Resolution of image names: files first, then the built-in store, then the
// program's folder; the file cache and what it is keyed by; image files of
// every kind, damaged ones included. Real files in a temporary folder, with
// the program's folder injected.
#include "skin/resources/uKsSkinResDM.h"
#include "skin/resources/uKsSkinResManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace ks {
namespace {

namespace fs = std::filesystem;

// Paths as the manager takes them: UTF-8, with the platform's separator.
fs::path Path(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }
std::string Utf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
std::string Local(std::string relative)
{
#ifdef _WIN32
    for (char& c : relative)
        if (c == '/')
            c = '\\';
#endif
    return relative;
}

// Counts file reads on top of the real file system.
class TCountingFileSystem : public TLocalFileSystem {
public:
    using TLocalFileSystem::TLocalFileSystem;
    std::vector<std::uint8_t> ReadFile(const std::string& path) const override
    {
        ++reads;
        return TLocalFileSystem::ReadFile(path);
    }
    mutable int reads = 0;
};

class ResManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() /
                 ("ks_resmanager_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        fs::create_directories(m_root / "program" / "skin");
        fs::create_directories(m_root / "elsewhere");
        m_savedCwd = fs::current_path();
        fs::current_path(m_root / "elsewhere");
        UseProgramFolder(m_root / "program");
    }
    void UseProgramFolder(const fs::path& folder)
    {
        auto fileSystem = std::make_unique<TCountingFileSystem>(Utf8(folder.lexically_normal() / ""));
        m_fs = fileSystem.get();
        m_manager = std::make_unique<TKsSkinResManager>(KsSkinResDM()->KsSkinImageListMain, std::move(fileSystem));
    }
    void TearDown() override
    {
        m_manager.reset();
        fs::current_path(m_savedCwd);
        fs::remove_all(m_root);
    }

    // Copies a sample of tests/data/images to path (relative to the root).
    std::string Place(const std::string& sample, const std::string& path)
    {
        const fs::path target = (m_root / Path(path)).lexically_normal();
        fs::create_directories(target.parent_path());
        fs::copy_file(fs::path(KS_TEST_DATA_DIR) / "images" / sample, target, fs::copy_options::overwrite_existing);
        return Utf8(target);
    }
    int CacheCount() const { return m_manager->FileCache()->Bitmaps()->Count(); }

    fs::path m_root;
    fs::path m_savedCwd;
    TCountingFileSystem* m_fs = nullptr;
    std::unique_ptr<TKsSkinResManager> m_manager;
};

TEST_F(ResManager, BlankNamesResolveToNothingWithoutAnEvent)
{
    int events = 0;
    m_manager->OnGetBitmap = [&](TKsSkinResManager*, const std::string&, const TBitmap32*&) { ++events; };
    for (const char* name : {"", " ", "\t \r\n"})
        EXPECT_EQ(m_manager->GetBitmap(name), nullptr);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(m_manager->GetBitmap("NoSuchImage"), nullptr);
    EXPECT_EQ(events, 1);
}

TEST_F(ResManager, BuiltInImagesAreTheStoresOwnBitmaps)
{
    const TBitmap32* close = m_manager->GetBitmap("KsSkinBtn_close");
    ASSERT_NE(close, nullptr);
    const TKsSkinBitmapCollection& builtIn = *KsSkinResDM()->KsSkinImageListMain->Bitmaps();
    EXPECT_EQ(close, builtIn.Items(builtIn.IndexOf("KsSkinBtn_close"))->Bitmap());
    EXPECT_EQ(m_manager->GetBitmap("KsSkinBtn_close"), close);
    EXPECT_EQ(m_manager->GetBitmap(" ksskinbtn_CLOSE "), close);
    EXPECT_EQ(m_manager->FindBuiltIn("KsSkinBtn_close"), builtIn.IndexOf("KsSkinBtn_close"));
    EXPECT_EQ(CacheCount(), 0);
    EXPECT_EQ(m_fs->reads, 0);
}

TEST_F(ResManager, AFileOfTheSameNameWinsOverTheBuiltInImage)
{
    // No extension: read because it is a "BM" file.
    Place("bmp32.bmp", "elsewhere/KsSkinBtn_close");
    const TBitmap32* bitmap = m_manager->GetBitmap("KsSkinBtn_close");
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 7);
    EXPECT_EQ(m_manager->FindCached("KsSkinBtn_close"), 0);
    EXPECT_NE(bitmap, m_manager->GetBitmap("KsSkinBtn_max"));
}

TEST_F(ResManager, FallsBackToTheProgramFolderAndCachesTheCombinedPath)
{
    const std::string full = Place("png_rgba8.png", "program/skin/strip.png");
    const TBitmap32* first = m_manager->GetBitmap(Local("skin/strip.png"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(m_fs->reads, 1);
    EXPECT_EQ(m_manager->FindCached(full), 0);
    EXPECT_EQ(m_manager->FindCached(Local("skin/strip.png")), -1);
    EXPECT_EQ(m_manager->FileCache()->Bitmaps()->Items(0)->ResID(), full);

    EXPECT_EQ(m_manager->GetBitmap(Local("skin/strip.png")), first);
    EXPECT_EQ(m_manager->GetBitmap(full), first);
    // Combined paths are normalised.
    EXPECT_EQ(m_manager->GetBitmap(Local("skin/../skin/strip.png")), first);
    EXPECT_EQ(m_fs->reads, 1);
    EXPECT_EQ(CacheCount(), 1);
}

TEST_F(ResManager, RelativeAndAbsoluteNamesAreCachedSeparately)
{
    const std::string full = Place("png_rgb8.png", "elsewhere/pic.png");
    const TBitmap32* relative = m_manager->GetBitmap("pic.png");
    const TBitmap32* absolute = m_manager->GetBitmap(full);
    ASSERT_NE(relative, nullptr);
    ASSERT_NE(absolute, nullptr);
    EXPECT_NE(relative, absolute);
    EXPECT_EQ(CacheCount(), 2);
    EXPECT_EQ(m_fs->reads, 2);
    // The cache compares names trimmed and without ASCII case.
    EXPECT_EQ(m_manager->LoadFileBitmap(" PIC.PNG"), relative);
    EXPECT_EQ(m_fs->reads, 2);
}

TEST_F(ResManager, EventSeesEveryResolutionAndMayReplaceTheResult)
{
    Place("png_rgb8.png", "elsewhere/pic.png");
    std::vector<std::string> names;
    const TBitmap32* replacement = m_manager->GetBitmap("KsSkinBtn_max");
    m_manager->OnGetBitmap = [&](TKsSkinResManager* sender, const std::string& name, const TBitmap32*& bitmap) {
        EXPECT_EQ(sender, m_manager.get());
        names.push_back(name);
        if (name == "replace me")
            bitmap = replacement;
    };
    m_manager->GetBitmap("pic.png");  // once from the file load, once from the resolution
    EXPECT_EQ(m_manager->GetBitmap("replace me"), replacement);
    EXPECT_EQ(names, (std::vector<std::string>{"pic.png", "pic.png", "replace me"}));
}

TEST_F(ResManager, DecodesEveryKindOfImageFile)
{
    struct Case {
        const char* sample;
        const char* name;
        TDrawMode mode;
        TColor32 pixel00;
    };
    // Pixel (0, 0) of each sample (see ImageSamples.h): colour 05 C8 28,
    // alpha 0 where the sample stores one.
    const Case cases[] = {
        {"png_rgba8.png", "a.png", dmBlend, 0x0005C828},
        {"png_rgb8.png", "b.PNG", dmOpaque, 0xFF05C828},
        {"png_rgb8_trns.png", "c.png", dmBlend, 0xFF05C828},
        {"bmp32.bmp", "d.bmp", dmOpaque, 0x0005C828},
        {"bmp24.bmp", "e.bmp", dmOpaque, 0xFF05C828},
        {"bmp24.bmp", "bitmap.dat", dmOpaque, 0xFF05C828},  // "BM" decides, not the extension
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Place(c.sample, std::string("elsewhere/") + c.name);
        const TBitmap32* bitmap = m_manager->GetBitmap(c.name);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->DrawMode(), c.mode);
        EXPECT_EQ(bitmap->PixelAt(0, 0), c.pixel00);
    }
    Place("jpeg_rgb.jpg", "elsewhere/photo.JPEG");
    const TBitmap32* photo = m_manager->GetBitmap("photo.JPEG");
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->DrawMode(), dmOpaque);
    EXPECT_EQ(AlphaOf(photo->PixelAt(5, 5)), 255u);
}

TEST_F(ResManager, UndecodableFilesThrowAndCacheNothing)
{
    struct Case {
        const char* sample;
        const char* name;
        const char* reason;
    };
    const Case cases[] = {
        {"png_truncated.png", "cut.png", "Damaged PNG file"},
        {"png_oversized.png", "wide.png", "exceeds the limit of 16384 pixels on a side"},
        {"jpeg_truncated.jpg", "cut.jpg", "Damaged JPEG file"},
        {"bmp_oversized.bmp", "huge.bmp", "exceeds the limit"},
        {"jpeg_rgb.jpg", "photo.bmp", "Not a bitmap file"},
        {"jpeg_rgb.jpg", "photo.png", "Not a PNG file"},
        {"jpeg_rgb.jpg", "photo.gif", "Unknown picture file extension (.GIF)"},
        {"png_rgb8.png", "noextension", "Unknown picture file extension ()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Place(c.sample, std::string("elsewhere/") + c.name);
        try {
            m_manager->GetBitmap(c.name);
            ADD_FAILURE() << "no error";
        } catch (const EImageError& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind(std::string("Cannot load the image \"") + c.name + "\": ", 0), 0u) << message;
            EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        }
        EXPECT_EQ(CacheCount(), 0);
    }
}

TEST_F(ResManager, FindsFilesInFoldersWithAnyCharacters)
{
    // A program folder and an image name outside every ANSI code page.
    UseProgramFolder(m_root / Path("\xe7\xa8\x8b\xe5\xba\x8f"));  // "程序"
    const std::string full =
        Place("png_rgb8.png", "\xe7\xa8\x8b\xe5\xba\x8f/\xe7\x9a\xae\xe8\x82\xa4/\xe5\x9b\xbe.png");
    const std::string relative = Local("\xe7\x9a\xae\xe8\x82\xa4/\xe5\x9b\xbe.png");  // "皮肤/图.png"
    const TBitmap32* bitmap = m_manager->GetBitmap(relative);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 7);
    EXPECT_EQ(m_manager->FileCache()->Bitmaps()->Items(0)->ResID(), full);
    EXPECT_EQ(m_manager->GetBitmap(full), bitmap);
}

#ifndef _WIN32
TEST(LocalFileSystem, CombinesAndTestsPaths)
{
    const TLocalFileSystem fileSystem("/opt/prog/");
    EXPECT_EQ(fileSystem.ProgramFolder(), "/opt/prog/");
    EXPECT_EQ(fileSystem.CombinePath("/opt/prog/", "skin/a.png"), "/opt/prog/skin/a.png");
    EXPECT_EQ(fileSystem.CombinePath("/opt/prog/", "../a.png"), "/opt/a.png");
    EXPECT_EQ(fileSystem.CombinePath("/opt/prog/", "/abs/a.png"), "/abs/a.png");
    EXPECT_FALSE(fileSystem.FileExists(""));
    EXPECT_FALSE(fileSystem.FileExists(fs::temp_directory_path().string()));  // a folder is no file

    // The real program folder: the folder of this test program.
    const std::string folder = TLocalFileSystem().ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(fs::exists(fs::path(folder) / "resources_tests"));
}
#else
TEST(LocalFileSystem, CombinesAndTestsPaths)
{
    const TLocalFileSystem fileSystem("C:\\prog\\");
    EXPECT_EQ(fileSystem.CombinePath("C:\\prog\\", "skin\\a.png"), "C:\\prog\\skin\\a.png");
    EXPECT_EQ(fileSystem.CombinePath("C:\\prog\\", "..\\a.png"), "C:\\a.png");
    EXPECT_EQ(fileSystem.CombinePath("C:\\prog\\", "D:\\abs\\a.png"), "D:\\abs\\a.png");
    EXPECT_EQ(fileSystem.CombinePath("C:\\prog\\", std::string(300, 'x')), "");  // too long
    EXPECT_FALSE(fileSystem.FileExists(""));
    EXPECT_FALSE(fileSystem.FileExists(Utf8(fs::temp_directory_path())));

    const std::string folder = TLocalFileSystem().ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(fs::exists(Path(folder) / "resources_win_tests.exe"));
}
#endif

}  // namespace
}  // namespace ks
