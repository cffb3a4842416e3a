// Colour shifts and PNG encoding.
#include "skin/render/BitmapHelpers.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>

namespace ks {
namespace {

constexpr std::int32_t Rgb(int r, int g, int b) { return r | g << 8 | b << 16; }

TEST(ShiftColorHsb, GreysOnlyFollowBrightness)
{
    for (int grey : {0, 64, 128, 200, 255}) {
        const std::int32_t c = Rgb(grey, grey, grey);
        EXPECT_EQ(ShiftColorHsb(c, 120, 50, 0), c);
        EXPECT_EQ(ShiftColorHsb(c, -45, -30, 0), c);
        EXPECT_EQ(ShiftColorHsb(c, 200, 40, 20), ShiftColorHsb(c, 0, 0, 20));
    }
    // Brightness: 20 % -> b' = 51; toward white 51 * (255 - 100) / 255 + 100.
    EXPECT_EQ(ShiftColorHsb(Rgb(100, 100, 100), 0, 0, 20), Rgb(131, 131, 131));
    // -20 %: toward black: -51 * 100 / 255 + 100 = 80.
    EXPECT_EQ(ShiftColorHsb(Rgb(100, 100, 100), 0, 0, -20), Rgb(80, 80, 80));
}

TEST(ShiftColorHsb, HueTurnsAndSaturation)
{
    const std::int32_t primaries[] = {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255), Rgb(0, 128, 0)};
    for (std::int32_t c : primaries) {
        EXPECT_EQ(ShiftColorHsb(c, 360, 0, 0), c);
        EXPECT_EQ(ShiftColorHsb(c, 0, 0, 0), c);
    }
    EXPECT_EQ(ShiftColorHsb(Rgb(255, 0, 0), 120, 0, 0), Rgb(0, 255, 0));
    EXPECT_EQ(ShiftColorHsb(Rgb(255, 0, 0), 240, 0, 0), Rgb(0, 0, 255));
    EXPECT_EQ(ShiftColorHsb(Rgb(255, 0, 0), -120, 0, 0), Rgb(0, 0, 255));
    // sat -100: the lightness grey.
    EXPECT_EQ(ShiftColorHsb(Rgb(200, 100, 50), 0, -100, 0), Rgb(125, 125, 125));
    // A known mixed case, worked by hand: (200, 100, 50), hue 0, sat +50.
    // s' = 127, L = 125, S = 150 * 255 / 250 = 153; k + S >= 255 so d = 153,
    // k = 65025 / 153 - 255 = 170; X += 170 * (X - 125) / 255.
    EXPECT_EQ(ShiftColorHsb(Rgb(200, 100, 50), 0, 50, 0), Rgb(250, 84, 0));
    // System colours are resolved first.
    EXPECT_EQ(ShiftColorHsb(static_cast<std::int32_t>(0x8000000F), 0, 0, 0),
              static_cast<std::int32_t>(SystemColorRGB(15)));
    // Hue shifts beyond a turn stay in range.
    const std::int32_t far = ShiftColorHsb(Rgb(10, 200, 90), 1000, 0, 0);
    EXPECT_GE(far, 0);
    EXPECT_LE(far, 0xFFFFFF);
}

TEST(ShiftBitmapHsl, KeepsAlphaAndSkipsTransparent)
{
    TBitmap32 b;
    b.Resize(4, 1);
    b.PixelAt(0, 0) = 0x00FF0000;  // transparent: untouched
    b.PixelAt(1, 0) = 0x80FF0000;
    b.PixelAt(2, 0) = 0xFF808080;
    b.PixelAt(3, 0) = 0x40000000;
    ShiftBitmapHsl(&b, 85, 0, 0);  // a third of a turn
    EXPECT_EQ(b.PixelAt(0, 0), 0x00FF0000u);
    EXPECT_EQ(AlphaOf(b.PixelAt(1, 0)), 0x80u);
    // Red turns green (within the integer arithmetic's few steps).
    EXPECT_LE(RedOf(b.PixelAt(1, 0)), 4u);
    EXPECT_GE(GreenOf(b.PixelAt(1, 0)), 250u);
    EXPECT_LE(BlueOf(b.PixelAt(1, 0)), 4u);
    EXPECT_EQ(b.PixelAt(2, 0), 0xFF808080u);  // grey stays grey
    EXPECT_EQ(b.PixelAt(3, 0), 0x40000000u);  // black keeps its alpha

    // No shift: a round trip close to the original (hue in 1/256 turns).
    for (TColor32 p : {0xFF3366CCu, 0xFFC08040u, 0xFF10E0A0u}) {
        const TColor32 q = ShiftPixelHsl(p, 0, 0, 0);
        EXPECT_NEAR(static_cast<int>(RedOf(q)), static_cast<int>(RedOf(p)), 6);
        EXPECT_NEAR(static_cast<int>(GreenOf(q)), static_cast<int>(GreenOf(p)), 6);
        EXPECT_NEAR(static_cast<int>(BlueOf(q)), static_cast<int>(BlueOf(p)), 6);
    }
    // Lightness step and saturation to grey.
    EXPECT_EQ(ShiftPixelHsl(0xFF000000, 0, 0, 255), 0xFFFFFFFFu);
    const TColor32 grey = ShiftPixelHsl(0xFFFF0000, 0, -100, 0);
    EXPECT_EQ(RedOf(grey), GreenOf(grey));
    EXPECT_EQ(GreenOf(grey), BlueOf(grey));
}

TEST(BitmapToPng, EncodesWithAlpha)
{
    EXPECT_FALSE(BitmapToPng(nullptr).has_value());
    TBitmap32 empty;
    EXPECT_FALSE(BitmapToPng(&empty).has_value());

    TBitmap32 b;
    b.Resize(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            b.PixelAt(x, y) = MakeColor32(10 * x, 20 * y, 30, 40 * x + 80 * y);
    const auto png = BitmapToPng(&b);
    ASSERT_TRUE(png.has_value());

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, png->data(), png->size()));
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_NE(image.format & PNG_FORMAT_FLAG_ALPHA, 0u);
    image.format = PNG_FORMAT_BGRA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            TColor32 p;
            std::memcpy(&p, pixels.data() + (y * 3 + x) * 4, 4);
            EXPECT_EQ(p, b.PixelAt(x, y));
        }
}

// Columns alternate blue 0 and 200 over green 100, red 50: the average is
// (100, 100, 50) in blue, green, red.
std::vector<std::uint8_t> StripedImage(int w, int h, std::ptrdiff_t stride)
{
    std::vector<std::uint8_t> image(static_cast<std::size_t>(stride * h), 0xEE);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &image[static_cast<std::size_t>(y * stride + 3 * x)];
            p[0] = x % 2 != 0 ? 200 : 0;
            p[1] = 100;
            p[2] = 50;
        }
    return image;
}

TEST(FeatherEdges, BandsFadeIntoTheAverageColour)
{
    const int w = 120, h = 110;
    const std::ptrdiff_t stride = 3 * w + 2;  // padding bytes stay as they are
    std::vector<std::uint8_t> image = StripedImage(w, h, stride);
    EXPECT_EQ(FeatherEdgesPixels(image.data(), w, h, stride), 50 | 100 << 8 | 100 << 16);
    const auto at = [&](int x, int y) { return image[static_cast<std::size_t>(y * stride + 3 * x)]; };
    EXPECT_EQ(at(5, 5), 200);
    EXPECT_EQ(at(18, 9), 0);
    // Where the bands start the opacity is full, one pixel in it is 252:
    // (200 * 252 + 100 * 3 + 127) div 255 = 199.
    EXPECT_EQ(at(20, 3), 0);
    EXPECT_EQ(at(21, 3), 199);
    EXPECT_EQ(at(3, 10), 200);
    EXPECT_EQ(at(20, 10), 0);
    EXPECT_EQ(at(21, 10), 199);
    // The outermost column, row and corner pixel keep an opacity of 3:
    // (200 * 3 + 100 * 252 + 127) div 255 = 101; the column before it 5:
    // (0 * 5 + 100 * 250 + 127) div 255 = 98.
    EXPECT_EQ(at(119, 0), 101);
    EXPECT_EQ(at(118, 0), 98);
    EXPECT_EQ(at(1, 109), 101);
    EXPECT_EQ(at(119, 109), 101);
    EXPECT_EQ(image[static_cast<std::size_t>(stride - 1)], 0xEE);
    // Green and red lie on the average already and stay.
    EXPECT_EQ(image[static_cast<std::size_t>(50 * stride + 3 * 119 + 1)], 100);

    // Smaller than the band: every pixel is far into the corner.
    std::vector<std::uint8_t> small = StripedImage(30, 20, 90);
    FeatherEdgesPixels(small.data(), 30, 20, 90);
    EXPECT_EQ(small[3], 101);
    EXPECT_EQ(small[90 * 19], 99);  // (0 * 3 + 100 * 252 + 127) div 255
    EXPECT_EQ(FeatherEdgesPixels(nullptr, 0, 5, 0), 0);
}

}  // namespace
}  // namespace ks
