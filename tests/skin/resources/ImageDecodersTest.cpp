// Decoding of the sample images in tests/data/images against the patterns
// they were written with (ImageSamples.h), and refusal of damaged files.
#include "skin/resources/ImageDecoders.h"
#include "tests/skin/resources/ImageSamples.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace ks {
namespace {

using namespace samples;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadSample(const std::string& name)
{
    std::ifstream in(std::string(KS_TEST_DATA_DIR) + "/images/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Hex(TColor32 c)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", c);
    return buf;
}

// Compares every pixel with expected(x, y); reports the first few misses.
void ExpectPixels(const TPixelBuffer& image, int width, int height, const std::function<TColor32(int, int)>& expected)
{
    ASSERT_EQ(image.Width(), width);
    ASSERT_EQ(image.Height(), height);
    int misses = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (image.PixelAt(x, y) != expected(x, y) && ++misses <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << Hex(image.PixelAt(x, y)) << ", expected "
                              << Hex(expected(x, y));
}

TColor32 PatternRgb(int x, int y, unsigned a = 255) { return MakeColor32(Red(x, y), Green(x, y), Blue(x, y), a); }
TColor32 PatternRgba(int x, int y) { return PatternRgb(x, y, Alpha(x, y)); }
TColor32 PaletteColor(unsigned i, unsigned a = 255)
{
    return MakeColor32(PaletteRed(i), PaletteGreen(i), PaletteBlue(i), a);
}
TColor32 Grey(int x, int y, int depth)
{
    const unsigned g = GreyLevel(GreySample(x, y, depth), depth);
    return MakeColor32(g, g, g, 255);
}

// Counts SetSize calls: a refused header must not ask for storage.
class CountingSink : public TPixelBuffer {
public:
    TColor32* SetSize(int width, int height) override
    {
        ++calls;
        return TPixelBuffer::SetSize(width, height);
    }
    int calls = 0;
};

std::string ErrorOf(const std::function<void()>& decode)
{
    try {
        decode();
    } catch (const EImageError& e) {
        return e.what();
    }
    return "(no error)";
}

// --- PNG ----------------------------------------------------------------------

struct PngCase {
    const char* file;
    TPngTransparency mode;
    std::function<TColor32(int, int)> expected;
};

class PngSamples : public ::testing::TestWithParam<PngCase> {};

TEST_P(PngSamples, DecodeToThePattern)
{
    const PngCase& c = GetParam();
    TPixelBuffer image;
    EXPECT_EQ(DecodePng(ReadSample(c.file), image), c.mode);
    ExpectPixels(image, kWidth, kHeight, c.expected);
}

TColor32 GreyKeyed(int x, int y, int depth)
{
    const TColor32 c = Grey(x, y, depth);
    return c == Grey(1, 1, depth) ? WithAlpha(c, 0) : c;
}
TColor32 RgbKeyed(int x, int y)
{
    const TColor32 c = PatternRgb(x, y);
    return c == PatternRgb(3, 2) ? WithAlpha(c, 0) : c;
}

INSTANTIATE_TEST_SUITE_P(
    ColourTypes, PngSamples,
    ::testing::Values(
        PngCase{"png_gray1.png", TPngTransparency::None, [](int x, int y) { return Grey(x, y, 1); }},
        PngCase{"png_gray2.png", TPngTransparency::None, [](int x, int y) { return Grey(x, y, 2); }},
        PngCase{"png_gray2_interlaced.png", TPngTransparency::None, [](int x, int y) { return Grey(x, y, 2); }},
        PngCase{"png_gray4.png", TPngTransparency::None, [](int x, int y) { return Grey(x, y, 4); }},
        PngCase{"png_gray8.png", TPngTransparency::None, [](int x, int y) { return Grey(x, y, 8); }},
        PngCase{"png_gray16.png", TPngTransparency::None, [](int x, int y) { return Grey(x, y, 16); }},
        // A transparent grey: every pixel of that level loses its alpha
        // (16-bit files compare at 8 bits, like the pixels they become).
        PngCase{"png_gray4_trns.png", TPngTransparency::SingleColor, [](int x, int y) { return GreyKeyed(x, y, 4); }},
        PngCase{"png_gray8_trns.png", TPngTransparency::SingleColor, [](int x, int y) { return GreyKeyed(x, y, 8); }},
        PngCase{"png_gray16_trns.png", TPngTransparency::SingleColor,
                [](int x, int y) { return GreyKeyed(x, y, 16); }},
        PngCase{"png_ga8.png", TPngTransparency::Partial,
                [](int x, int y) { return MakeColor32(Red(x, y), Red(x, y), Red(x, y), Alpha(x, y)); }},
        PngCase{"png_ga16.png", TPngTransparency::Partial,
                [](int x, int y) { return MakeColor32(Red(x, y), Red(x, y), Red(x, y), Alpha(x, y)); }},
        PngCase{"png_rgb8.png", TPngTransparency::None, [](int x, int y) { return PatternRgb(x, y); }},
        PngCase{"png_rgb16.png", TPngTransparency::None, [](int x, int y) { return PatternRgb(x, y); }},
        PngCase{"png_rgb8_trns.png", TPngTransparency::SingleColor, RgbKeyed},
        PngCase{"png_rgba8.png", TPngTransparency::Partial, PatternRgba},
        PngCase{"png_rgba16.png", TPngTransparency::Partial, PatternRgba},
        PngCase{"png_rgba8_interlaced.png", TPngTransparency::Partial, PatternRgba},
        PngCase{"png_pal1.png", TPngTransparency::None,
                [](int x, int y) { return PaletteColor(PaletteIndex(x, y, 2)); }},
        PngCase{"png_pal2.png", TPngTransparency::None,
                [](int x, int y) { return PaletteColor(PaletteIndex(x, y, 4)); }},
        PngCase{"png_pal4.png", TPngTransparency::None,
                [](int x, int y) { return PaletteColor(PaletteIndex(x, y, 16)); }},
        PngCase{"png_pal8.png", TPngTransparency::None,
                [](int x, int y) { return PaletteColor(PaletteIndex(x, y, 13)); }},
        // Entry 4 is transparent, and entry 9 (same colour) goes with it.
        PngCase{"png_pal8_trns.png", TPngTransparency::SingleColor,
                [](int x, int y) {
                    const unsigned i = PaletteIndex(x, y, 13);
                    return i == 4 || i == 9 ? PaletteColor(4, 0) : PaletteColor(i);
                }},
        PngCase{"png_pal8_alpha.png", TPngTransparency::Partial,
                [](int x, int y) {
                    static const unsigned alpha[] = {255, 0, 128, 64, 255, 10};
                    const unsigned i = PaletteIndex(x, y, 13);
                    return PaletteColor(i, i < 6 ? alpha[i] : 255u);
                }}),
    [](const ::testing::TestParamInfo<PngCase>& info) {
        std::string name = info.param.file;
        name = name.substr(0, name.find('.'));
        return name;
    });

TEST(PngDecoder, RefusesDamagedFilesWithAMessage)
{
    for (const char* file : {"png_truncated.png", "png_bad_crc.png"}) {
        TPixelBuffer image;
        const std::string message = ErrorOf([&] { DecodePng(ReadSample(file), image); });
        EXPECT_NE(message.find("Damaged PNG file"), std::string::npos) << file << ": " << message;
    }
    TPixelBuffer image;
    EXPECT_EQ(ErrorOf([&] { DecodePng(ReadSample("jpeg_rgb.jpg"), image); }), "Not a PNG file");
    EXPECT_EQ(ErrorOf([&] { DecodePng({}, image); }), "Not a PNG file");
}

TEST(PngDecoder, RefusesOversizedImagesBeforeAllocating)
{
    CountingSink sink;
    const std::string message = ErrorOf([&] { DecodePng(ReadSample("png_oversized.png"), sink); });
    EXPECT_EQ(message, "PNG image of 20000 x 16 pixels exceeds the limit of 16384 pixels on a side");
    // 16384 x 16384 is allowed, but a file of a few hundred bytes cannot
    // hold its data.
    EXPECT_NE(ErrorOf([&] { DecodePng(ReadSample("png_huge_claim.png"), sink); }).find("too short"), std::string::npos);
    EXPECT_EQ(sink.calls, 0);
}

TEST(PngDecoder, LowerLimitsApply)
{
    TPixelBuffer image;
    TDecodeLimits limits;
    limits.MaxPixels = 20;
    EXPECT_EQ(ErrorOf([&] { DecodePng(ReadSample("png_rgb8.png"), image, limits); }),
              "PNG image of 7 x 5 pixels is too large");
}

// --- JPEG ---------------------------------------------------------------------

void ExpectNear(const TPixelBuffer& image, const std::function<TColor32(int, int)>& expected, int tolerance)
{
    ASSERT_EQ(image.Width(), kJpegSize);
    ASSERT_EQ(image.Height(), kJpegSize);
    int worst = 0;
    for (int y = 0; y < kJpegSize; ++y) {
        for (int x = 0; x < kJpegSize; ++x) {
            const TColor32 got = image.PixelAt(x, y);
            const TColor32 want = expected(x, y);
            ASSERT_EQ(AlphaOf(got), 255u);
            worst = std::max({worst, std::abs(int(RedOf(got)) - int(RedOf(want))),
                              std::abs(int(GreenOf(got)) - int(GreenOf(want))),
                              std::abs(int(BlueOf(got)) - int(BlueOf(want)))});
        }
    }
    EXPECT_LE(worst, tolerance);
}

TEST(JpegDecoder, DecodesColourGreyAndProgressiveFiles)
{
    const auto colour = [](int x, int y) { return MakeColor32(JpegRed(x, y), JpegGreen(x, y), JpegBlue(x, y)); };
    for (const char* file : {"jpeg_rgb.jpg", "jpeg_progressive.jpg"}) {
        SCOPED_TRACE(file);
        TPixelBuffer image;
        DecodeJpeg(ReadSample(file), image);
        ExpectNear(image, colour, 4);
    }
    TPixelBuffer grey;
    DecodeJpeg(ReadSample("jpeg_gray.jpg"), grey);
    ExpectNear(
        grey, [](int x, int y) { return MakeColor32(JpegRed(x, y), JpegRed(x, y), JpegRed(x, y)); }, 2);
}

TEST(JpegDecoder, RefusesTruncatedAndOversizedFiles)
{
    for (const char* file : {"jpeg_truncated.jpg", "jpeg_progressive_truncated.jpg"}) {
        TPixelBuffer image;
        const std::string message = ErrorOf([&] { DecodeJpeg(ReadSample(file), image); });
        EXPECT_NE(message.find("Damaged JPEG file"), std::string::npos) << file << ": " << message;
    }
    CountingSink sink;
    EXPECT_EQ(ErrorOf([&] { DecodeJpeg(ReadSample("jpeg_oversized.jpg"), sink); }),
              "JPEG image of 20000 x 20000 pixels exceeds the limit of 16384 pixels on a side");
    EXPECT_EQ(sink.calls, 0);
    EXPECT_EQ(ErrorOf([&] { DecodeJpeg(ReadSample("png_rgb8.png"), sink); }), "Not a JPEG file");
}

// --- BMP ----------------------------------------------------------------------

struct BmpCase {
    const char* file;
    std::function<TColor32(int, int)> expected;
};

class BmpSamples : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BmpSamples, DecodeToThePattern)
{
    TPixelBuffer image;
    DecodeBmp(ReadSample(GetParam().file), image);
    ExpectPixels(image, kWidth, kHeight, GetParam().expected);
}

unsigned Top5(unsigned v) { return (v >> 3) * 255 / 31 + ((v >> 3) * 255 % 31 >= 16 ? 1 : 0); }
unsigned Top6(unsigned v) { return (v >> 2) * 255 / 63 + ((v >> 2) * 255 % 63 >= 32 ? 1 : 0); }

INSTANTIATE_TEST_SUITE_P(
    Depths, BmpSamples,
    ::testing::Values(
        // 32 bits without compression: stored alpha kept, bottom-up and
        // top-down alike.
        BmpCase{"bmp32.bmp", PatternRgba}, BmpCase{"bmp32_topdown.bmp", PatternRgba},
        BmpCase{"bmp32_v5_alpha.bmp", PatternRgba},
        BmpCase{"bmp32_bitfields.bmp", [](int x, int y) { return PatternRgb(x, y); }},
        BmpCase{"bmp24.bmp", [](int x, int y) { return PatternRgb(x, y); }},
        BmpCase{"bmp_core24.bmp", [](int x, int y) { return PatternRgb(x, y); }},
        BmpCase{"bmp16_555.bmp",
                [](int x, int y) { return MakeColor32(Top5(Red(x, y)), Top5(Green(x, y)), Top5(Blue(x, y))); }},
        BmpCase{"bmp16_565.bmp",
                [](int x, int y) { return MakeColor32(Top5(Red(x, y)), Top6(Green(x, y)), Top5(Blue(x, y))); }},
        BmpCase{"bmp1.bmp", [](int x, int y) { return PaletteColor(PaletteIndex(x, y, 2)); }},
        BmpCase{"bmp4.bmp", [](int x, int y) { return PaletteColor(PaletteIndex(x, y, 16)); }},
        BmpCase{"bmp8.bmp", [](int x, int y) { return PaletteColor(PaletteIndex(x, y, 13)); }},
        BmpCase{"bmp_rle8.bmp", [](int x, int y) { return PaletteColor(RleIndex(x, y, 13)); }},
        BmpCase{"bmp_rle4.bmp", [](int x, int y) { return PaletteColor(RleIndex(x, y, 16)); }}),
    [](const ::testing::TestParamInfo<BmpCase>& info) {
        std::string name = info.param.file;
        return name.substr(0, name.find('.'));
    });

TEST(BmpDecoder, RefusesDamagedAndOversizedFiles)
{
    CountingSink sink;
    EXPECT_EQ(ErrorOf([&] { DecodeBmp(ReadSample("bmp_truncated.bmp"), sink); }),
              "Damaged bitmap file: the pixel data is truncated");
    EXPECT_EQ(ErrorOf([&] { DecodeBmp(ReadSample("bmp_short_data.bmp"), sink); }),
              "Damaged bitmap file: the pixel data is truncated");
    EXPECT_EQ(ErrorOf([&] { DecodeBmp(ReadSample("bmp_oversized.bmp"), sink); }),
              "Bitmap image of 20000 x 20000 pixels exceeds the limit of 16384 pixels on a side");
    EXPECT_EQ(sink.calls, 0);

    Bytes header = ReadSample("bmp24.bmp");
    header.resize(20);
    EXPECT_EQ(ErrorOf([&] { DecodeBmp(header, sink); }), "Damaged bitmap file: the header is truncated");
    EXPECT_EQ(ErrorOf([&] { DecodeBmp(ReadSample("png_rgb8.png"), sink); }), "Not a bitmap file");
}

TEST(BmpDecoder, RunLengthDataCannotWriteOutsideTheImage)
{
    // Runs longer than a row, deltas past the edge and an absolute run that
    // claims more bytes than the file has.
    Bytes bmp = ReadSample("bmp_rle8.bmp");
    const std::size_t offset = bmp[10] | (bmp[11] << 8);
    bmp.resize(offset);
    for (std::uint8_t b : {200, 3, 0, 2, 250, 0, 5, 7, 0, 200, 1})
        bmp.push_back(b);
    TPixelBuffer image;
    EXPECT_EQ(ErrorOf([&] { DecodeBmp(bmp, image); }), "Damaged bitmap file: the run-length data is truncated");
}

// --- inputs the fuzz targets once failed on -----------------------------------------

// Each file under tests/data/fuzz/<target>/ must give the outcome recorded
// here, under the fuzz targets' pixel budget: "WxH" for an image that decodes,
// otherwise the refusal's message. A new regression input needs its line.
TEST(FuzzRegressions, EachInputGivesItsRecordedOutcome)
{
    const std::map<std::string, std::string> expected = {
        {"fuzz_png/ztxt-chunk-length-past-end.png", "Damaged PNG file: the file is truncated"},
    };
    TDecodeLimits limits;
    limits.MaxPixels = 2048u * 2048u;
    const std::pair<const char*, void (*)(std::span<const std::uint8_t>, TImageSink&, const TDecodeLimits&)> targets[] =
        {
            {"fuzz_png", [](auto d, auto& s, const auto& l) { DecodePng(d, s, l); }},
            {"fuzz_jpeg", DecodeJpeg},
            {"fuzz_bmp", [](auto d, auto& s, const auto& l) { DecodeBmp(d, s, l); }},
        };
    std::set<std::string> seen;
    for (const auto& [dir, decode] : targets) {
        const std::filesystem::path folder = std::filesystem::path(KS_TEST_DATA_DIR) / "fuzz" / dir;
        if (!std::filesystem::exists(folder))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = std::string(dir) + "/" + entry.path().filename().string();
            std::ifstream in(entry.path(), std::ios::binary);
            const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            ASSERT_FALSE(bytes.empty()) << name;
            TPixelBuffer image;
            std::string outcome;
            try {
                decode(bytes, image, limits);
                outcome = std::to_string(image.Width()) + "x" + std::to_string(image.Height());
            } catch (const EImageError& e) {
                outcome = e.what();
            }
            const auto it = expected.find(name);
            if (it == expected.end())
                ADD_FAILURE() << name << " has no recorded outcome; it gives \"" << outcome << "\"";
            else
                EXPECT_EQ(outcome, it->second) << name;
            seen.insert(name);
        }
    }
    for (const auto& [name, outcome] : expected)
        EXPECT_TRUE(seen.count(name)) << name << " is missing";
}

}  // namespace
}  // namespace ks
