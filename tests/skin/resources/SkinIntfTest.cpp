// Picture references (frame geometry, the eight compositions, notification
// rules, stored values), light and offset, and the glow's pixel work.
#include "skin/resources/uKsSkinIntf.h"
#include "skin/resources/uKsSkinResManager.h"

#include "framework/TypInfo.h"
#include "skin/render/Blend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace ks {
namespace {

namespace fs = std::filesystem;

// Pixel (x, y) of the test strips: every pixel distinct, opaque.
TColor32 StripPixel(int x, int y) { return MakeColor32(static_cast<unsigned>(x), static_cast<unsigned>(y), 99, 255); }

// Writes a 32-bit top-down bitmap file of StripPixel and returns its path
// (read with dmOpaque, so frames are plain copies).
std::string WriteStrip(int width, int height)
{
    // One file per test and size: ctest runs tests side by side.
    const fs::path path = fs::temp_directory_path() /
                          ("ks_strip_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                           "_" + std::to_string(width) + "x" + std::to_string(height) + ".bmp");
    std::vector<std::uint8_t> file = {'B', 'M'};
    const auto put32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    const auto put16 = [&](std::uint32_t v) {
        file.push_back(static_cast<std::uint8_t>(v));
        file.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    put32(54 + 4u * width * height);
    put32(0);
    put32(54);
    put32(40);
    put32(static_cast<std::uint32_t>(width));
    put32(static_cast<std::uint32_t>(-height));
    put16(1);
    put16(32);
    for (int i = 0; i < 6; ++i)
        put32(0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            put32(StripPixel(x, y));
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return path.string();
}

void ExpectFrame(const TCustomBitmap32& frame, int width, int height, int dx, int dy)
{
    ASSERT_EQ(frame.Width(), width);
    ASSERT_EQ(frame.Height(), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(frame.PixelAt(x, y), StripPixel(x + dx, y + dy)) << "at " << x << ", " << y;
}

TEST(PngPictures, CutsFramesAcrossTheStrip)
{
    TPngPictures pictures;
    pictures.SetImage(WriteStrip(90, 30));
    ASSERT_NE(pictures.Source(), nullptr);
    EXPECT_EQ(pictures.FrameWidth(), 30);
    EXPECT_EQ(pictures.FrameHeight(), 30);
    TBitmap32 frame;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(pictures.GetFrame(i, &frame));
        ExpectFrame(frame, 30, 30, 30 * i, 0);
    }
    // Out of range: false, target untouched.
    frame.FillArea(0, 0, 30, 30, 0x12345678);
    EXPECT_FALSE(pictures.GetFrame(3, &frame));
    EXPECT_FALSE(pictures.GetFrame(-1, &frame));
    EXPECT_FALSE(pictures.GetFrame(0, nullptr));
    EXPECT_EQ(frame.PixelAt(29, 29), 0x12345678u);

    // The named states.
    pictures.SetNormal(2);
    pictures.SetHot(0);
    pictures.SetPressed(1);
    pictures.SetDisable(2);
    ASSERT_TRUE(pictures.GetHotFrame(&frame));
    ExpectFrame(frame, 30, 30, 0, 0);
    ASSERT_TRUE(pictures.GetPressedFrame(&frame));
    ExpectFrame(frame, 30, 30, 30, 0);
    ASSERT_TRUE(pictures.GetNormalFrame(&frame));
    ExpectFrame(frame, 30, 30, 60, 0);
    ASSERT_TRUE(pictures.GetDisableFrame(&frame));
    ExpectFrame(frame, 30, 30, 60, 0);
}

TEST(PngPictures, LeavesTheRemainderOfTheStripUnshown)
{
    TPngPictures pictures;
    pictures.SetImage(WriteStrip(91, 30));
    EXPECT_EQ(pictures.FrameWidth(), 30);
    TBitmap32 frame;
    ASSERT_TRUE(pictures.GetFrame(2, &frame));
    ExpectFrame(frame, 30, 30, 60, 0);
}

TEST(PngPictures, CutsFramesDownAStackedStrip)
{
    TPngPictures pictures;
    pictures.SetMultiLineMode(true);
    pictures.SetImage(WriteStrip(30, 90));
    EXPECT_EQ(pictures.FrameWidth(), 30);
    EXPECT_EQ(pictures.FrameHeight(), 30);
    TBitmap32 frame;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(pictures.GetFrame(i, &frame));
        ExpectFrame(frame, 30, 30, 0, 30 * i);
    }
}

TEST(PngPictures, WithoutAPictureOrFramesThereIsNothingToCut)
{
    TPngPictures pictures;
    TBitmap32 frame;
    EXPECT_EQ(pictures.FrameWidth(), 0);
    EXPECT_FALSE(pictures.GetFrame(0, &frame));
    pictures.SetImage("NoSuchImageAnywhere");
    EXPECT_EQ(pictures.Source(), nullptr);
    EXPECT_EQ(pictures.FrameWidth(), 0);
    EXPECT_EQ(pictures.FrameHeight(), 0);
    EXPECT_FALSE(pictures.GetFrame(0, &frame));

    pictures.SetImage(WriteStrip(4, 30));
    pictures.SetCount(0);
    EXPECT_EQ(pictures.FrameWidth(), 0);
    EXPECT_EQ(pictures.FrameHeight(), 30);
    EXPECT_FALSE(pictures.GetFrame(0, &frame));
    pictures.SetCount(5);  // frames would be 0 pixels wide
    EXPECT_FALSE(pictures.GetFrame(0, &frame));
    EXPECT_TRUE(frame.IsEmpty());
}

TEST(PngPictures, FileThatIsNoImageIsReportedAndLeavesNoPicture)
{
    // Named like a built-in image, in the current folder: the file is tried
    // first and fails.
    const fs::path folder = fs::temp_directory_path() / "ks_bad_skin_file";
    fs::create_directories(folder);
    std::ofstream(folder / "KsSkinBtn_close") << "not an image";
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
#ifndef _WIN32
    ::testing::internal::CaptureStderr();
#endif
    TPngPictures pictures;
    EXPECT_NO_THROW(pictures.SetImage("KsSkinBtn_close"));
    fs::current_path(previous);
    EXPECT_EQ(pictures.Source(), nullptr);
    EXPECT_EQ(pictures.Image(), "KsSkinBtn_close");
#ifndef _WIN32
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("KsSkinBtn_close"), std::string::npos);
#endif
}

TEST(PngPictures, ComposesABlendingFrameEightTimes)
{
    // The built-in close button strip blends: each frame pixel is the result
    // of eight compositions onto what the target held.
    TPngPictures pictures;
    pictures.SetImage("KsSkinBtn_close");
    const TBitmap32* strip = pictures.Source();
    ASSERT_NE(strip, nullptr);
    ASSERT_EQ(strip->DrawMode(), dmBlend);
    const int fw = pictures.FrameWidth();
    const int fh = pictures.FrameHeight();
    ASSERT_EQ(fw, strip->Width() / 3);

    const auto expect = [&](const TBitmap32& frame, TColor32 start) {
        int checked = 0;
        for (int y = 0; y < fh; ++y) {
            for (int x = 0; x < fw; ++x) {
                TColor32 v = start;
                for (int pass = 0; pass < 8; ++pass)
                    v = BlendPixelMaster(strip->PixelAt(fw + x, y), v, 255);
                ASSERT_EQ(frame.PixelAt(x, y), v) << "at " << x << ", " << y;
                ++checked;
            }
        }
        EXPECT_EQ(checked, fw * fh);
    };
    TBitmap32 fresh;
    ASSERT_TRUE(pictures.GetHotFrame(&fresh));
    EXPECT_EQ(fresh.DrawMode(), dmBlend);
    expect(fresh, 0);  // a new size starts transparent black
    // A target that already has the frame's size keeps the fill colour
    // under the frame.
    fresh.FillArea(0, 0, fw, fh, 0xFF000000);
    ASSERT_TRUE(pictures.GetHotFrame(&fresh));
    expect(fresh, MakeColor32(244, 255, 255, 0));
}

TEST(PngPictures, TargetTakesTheSourcesDrawProperties)
{
    TPngPictures pictures;
    pictures.SetImage("KsSkinBtn_max");
    TBitmap32 frame;
    frame.SetMasterAlpha(10);
    frame.SetOuterColor(0x55555555);
    frame.SetResamplerClassName("TLinearResampler");
    ASSERT_TRUE(pictures.GetFrame(0, &frame));
    EXPECT_EQ(frame.DrawMode(), dmBlend);
    EXPECT_EQ(frame.MasterAlpha(), 255u);
    EXPECT_EQ(frame.OuterColor(), 0u);
    EXPECT_EQ(frame.ResamplerClassName(), "TNearestResampler");
}

TEST(PngPictures, NotifiesAsEachSetterSays)
{
    TPngPictures pictures;
    int changes = 0;
    pictures.SetPicturesChanged([&](fw::TObject* sender) {
        EXPECT_EQ(sender, &pictures);
        ++changes;
    });
    EXPECT_EQ(changes, 1);  // subscribing notifies at once

    pictures.SetPressed(5);
    pictures.SetMultiLineMode(true);
    pictures.SetMultiLineMode(false);
    EXPECT_EQ(changes, 1);

    // No equality test on these.
    pictures.SetNormal(pictures.Normal());
    pictures.SetHot(1);
    pictures.SetDisable(0);
    pictures.SetCount(3);
    pictures.SetActive(false);
    EXPECT_EQ(changes, 6);

    int lookups = 0;
    SkinResManager().OnGetBitmap = [&](TKsSkinResManager*, const std::string&, const TBitmap32*&) { ++lookups; };
    pictures.SetImage("KsSkinBtn_close");
    EXPECT_EQ(changes, 7);
    EXPECT_EQ(lookups, 1);
    pictures.SetImage("KsSkinBtn_close");  // same name: nothing
    pictures.SetImage("KsSkinBtn_close");
    EXPECT_EQ(changes, 7);
    EXPECT_EQ(lookups, 1);
    pictures.SetImage("ksskinbtn_close");  // another spelling is another name
    EXPECT_EQ(changes, 8);
    EXPECT_EQ(lookups, 2);
    SkinResManager().OnGetBitmap = nullptr;

    pictures.BeginChange();
    pictures.SetNormal(1);
    pictures.SetImage("KsSkinBtn_mini");
    pictures.EndChange();
    EXPECT_EQ(changes, 8);  // nothing deferred either
    EXPECT_EQ(pictures.Image(), "KsSkinBtn_mini");
    EXPECT_NE(pictures.Source(), nullptr);
}

TEST(PngPictures, AssignCopiesValuesButNotTheEvent)
{
    TPngPictures source;
    source.SetActive(true);
    source.SetImage("KsSkinBtn_restore");
    source.SetCount(4);
    source.SetNormal(3);
    source.SetHot(2);
    source.SetPressed(1);
    source.SetDisable(0);
    source.SetMultiLineMode(true);
    int sourceChanges = 0;
    source.SetPicturesChanged([&](fw::TObject*) { ++sourceChanges; });

    TPngPictures copy;
    int changes = 0;
    copy.SetPicturesChanged([&](fw::TObject*) { ++changes; });
    copy.Assign(source);
    EXPECT_TRUE(copy.Active());
    EXPECT_EQ(copy.Image(), "KsSkinBtn_restore");
    EXPECT_EQ(copy.Source(), source.Source());
    EXPECT_EQ(copy.Count(), 4);
    EXPECT_EQ(copy.Normal(), 3);
    EXPECT_EQ(copy.Hot(), 2);
    EXPECT_EQ(copy.Pressed(), 1);
    EXPECT_EQ(copy.Disable(), 0);
    EXPECT_TRUE(copy.MultiLineMode());
    EXPECT_EQ(changes, 1 + 6);  // Active, Image, Count, Normal, Hot, Disable
    EXPECT_EQ(sourceChanges, 1);

    TKsOffset notAPicture;
    EXPECT_THROW(copy.Assign(notAPicture), fw::EFrameworkError);
}

TEST(PngPictures, StoresWhatTheLayoutNeeds)
{
    TPngPictures pictures;
    const fw::TClassInfo& info = TPngPictures::StaticClass();
    const auto stored = [&](const char* name) { return info.FindProperty(name)->IsStored(pictures); };
    std::vector<std::string> order;
    for (const fw::TPropInfo* p : info.Properties())
        order.push_back(p->Name);
    EXPECT_EQ(order, (std::vector<std::string>{"Active", "MultiLineMode", "Image", "Normal", "Hot", "Disable", "Count",
                                               "Pressed", "PicturesChanged"}));
    EXPECT_TRUE(stored("Active"));
    EXPECT_TRUE(stored("Normal"));
    EXPECT_TRUE(stored("Count"));
    EXPECT_TRUE(stored("Pressed"));
    EXPECT_FALSE(stored("MultiLineMode"));
    EXPECT_FALSE(stored("Image"));
    pictures.SetMultiLineMode(true);
    pictures.SetImage("KsSkinBtn_close");
    EXPECT_TRUE(stored("MultiLineMode"));
    EXPECT_TRUE(stored("Image"));
}

TEST(KsLightClass, NotifiesOnlyRealChangesAndAssignsActiveAndColor)
{
    TKsLightClass light;
    EXPECT_EQ(light.BlurRadius(), 1);
    EXPECT_TRUE(light.Active());
    EXPECT_EQ(light.Color(), 0xFFFFFE);
    int changes = 0;
    light.OnChanged = [&](fw::TObject* sender) {
        EXPECT_EQ(sender, &light);
        ++changes;
    };
    light.SetBlurRadius(1);
    light.SetActive(true);
    light.SetColor(0xFFFFFE);
    EXPECT_EQ(changes, 0);
    light.SetBlurRadius(3);
    light.SetActive(false);
    light.SetColor(fw::clRed);
    EXPECT_EQ(changes, 3);

    TKsLightClass copy;
    copy.Assign(light);
    EXPECT_FALSE(copy.Active());
    EXPECT_EQ(copy.Color(), fw::clRed);
    EXPECT_EQ(copy.BlurRadius(), 1);  // not copied
}

TEST(KsOffset, NotifiesOnlyRealChangesAndAssignsBothValues)
{
    TKsOffset offset;
    std::vector<std::pair<int, int>> seen;
    offset.OnChanged = [&](fw::TObject*) { seen.emplace_back(offset.X(), offset.Y()); };
    offset.SetX(0);
    offset.SetY(0);
    EXPECT_TRUE(seen.empty());
    TKsOffset source;
    source.SetX(4);
    source.SetY(-2);
    offset.Assign(source);
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{4, 0}, {4, -2}}));
}

TEST(FreeBitmaps, FreesEveryEntryAndEmptiesTheList)
{
    std::vector<TBitmap32*> bitmaps = {new TBitmap32, nullptr, new TBitmap32};
    FreeBitmaps(bitmaps);
    EXPECT_TRUE(bitmaps.empty());
}

// --- blur and glow ---------------------------------------------------------

struct Rgb24 {
    Rgb24(int w, int h) : width(w), height(h), stride((w * 3 + 3) & ~3), bytes(static_cast<std::size_t>(stride * h)) {}
    TRgb24View View() { return {bytes.data(), width, height, stride}; }
    std::uint8_t* At(int x, int y) { return bytes.data() + y * stride + 3 * x; }
    int width, height, stride;
    std::vector<std::uint8_t> bytes;
};

// The blur as its definition reads: every pass over an explicitly extended
// copy of the line.
void ReferenceBlurGray(Rgb24& image, int r, int passes)
{
    const auto line = [&](int n, const std::function<std::uint8_t*(int)>& at) {
        std::vector<int> extended;
        for (int c = 0; c < 3; ++c) {
            extended.clear();
            for (int i = -r; i < n + r; ++i)
                extended.push_back(at(std::clamp(i, 0, n - 1))[c]);
            for (int x = 0; x < n; ++x) {
                int sum = 0;
                for (int i = 0; i < 2 * r + 1; ++i)
                    sum += extended[static_cast<std::size_t>(x + i)];
                at(x)[c] = static_cast<std::uint8_t>(sum / (2 * r + 1));
            }
        }
    };
    for (int p = 0; p < passes; ++p)
        for (int y = 0; y < image.height; ++y)
            line(image.width, [&](int x) { return image.At(x, y); });
    for (int p = 0; p < passes + 1; ++p)
        for (int x = 0; x < image.width; ++x)
            line(image.height, [&](int y) { return image.At(x, y); });
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* p = image.At(x, y);
            p[0] = p[1] = p[2] = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 3);
        }
}

TEST(BoxBlurGray, UniformImageTurnsToItsGrey)
{
    Rgb24 image(9, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x) {
            image.At(x, y)[0] = 30;   // blue
            image.At(x, y)[1] = 200;  // green
            image.At(x, y)[2] = 101;  // red
        }
    BoxBlurGray(image.View(), 1, 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(image.At(x, y)[c], (30 + 200 + 101) / 3);
}

TEST(BoxBlurGray, MatchesTheDefinitionForRadiiAndSizes)
{
    std::mt19937 random(7);
    for (int r : {1, 2, 5, 12}) {
        for (auto [w, h] : {std::pair{1, 1}, {3, 7}, {11, 5}, {16, 16}}) {
            SCOPED_TRACE(std::to_string(r) + " " + std::to_string(w) + "x" + std::to_string(h));
            Rgb24 image(w, h);
            for (auto& b : image.bytes)
                b = static_cast<std::uint8_t>(random());
            Rgb24 expected = image;
            ReferenceBlurGray(expected, r, 2);
            BoxBlurGray(image.View(), r, 2);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    for (int c = 0; c < 3; ++c)
                        ASSERT_EQ(image.At(x, y)[c], expected.At(x, y)[c]) << x << "," << y;
        }
    }
    Rgb24 untouched(4, 4);
    untouched.At(1, 1)[0] = 200;
    BoxBlurGray(untouched.View(), 0, 2);
    EXPECT_EQ(untouched.At(1, 1)[0], 200);
}

TEST(GlowPass, PullsTowardsTheGlowColourByTheMasksDarkness)
{
    Rgb24 background(3, 1);
    Rgb24 mask(3, 1);
    const std::uint8_t masks[3] = {255, 85, 0};
    for (int x = 0; x < 3; ++x) {
        background.At(x, 0)[0] = 0;    // blue
        background.At(x, 0)[1] = 200;  // green
        background.At(x, 0)[2] = 10;   // red
        for (int c = 0; c < 3; ++c)
            mask.At(x, 0)[c] = masks[x];
    }
    ApplyGlowPass(background.View(), mask.View(), 250, 100, 255);
    // q + floor((v - q) * m / 256), rounding down also below zero.
    const auto f = [](int v, int q, int m) {
        const int p = (v - q) * m;
        return q + (p >= 0 ? p / 256 : -((-p + 255) / 256));
    };
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(background.At(x, 0)[2], f(10, 250, masks[x]));
        EXPECT_EQ(background.At(x, 0)[1], f(200, 100, masks[x]));
        EXPECT_EQ(background.At(x, 0)[0], f(0, 255, masks[x]));
    }
    EXPECT_EQ(background.At(0, 0)[0], 0);    // white mask: 255 + floor(-255 * 255 / 256) = 0
    EXPECT_EQ(background.At(0, 0)[1], 199);  // 100 + floor(100 * 255 / 256)
    EXPECT_EQ(background.At(2, 0)[2], 250);  // black mask: the glow colour
}

}  // namespace
}  // namespace ks
