// The pixel kernels: every binding against the scalar reference over many
// fixed-seed random cases, the reference against hand-worked values, and
// the zoomed draw against its definition through a temporary bitmap.
#include "skin/render/Kernels.h"
#include "skin/render/NineSlice.h"
#include "skin/render/Resamplers.h"
#include "skin/render/Transform.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace ks {
namespace {

std::string BindingName(const ::testing::TestParamInfo<TPixelBinding>& info) { return PixelBindingName(info.param); }

class KernelBinding : public ::testing::TestWithParam<TPixelBinding> {
protected:
    const TPixelKernels& Kernel() const { return KernelsFor(GetParam()); }
};

// Mostly opaque pictures with runs of equal translucent and transparent
// pixels, so that both mixing paths and their borders are met often.
std::vector<TColor32> RandomPicture(std::mt19937& rng, int w, int h)
{
    std::vector<TColor32> p(static_cast<std::size_t>(w) * h);
    const unsigned alphas[] = {255, 255, 255, 128, 0};
    unsigned alpha = 255;
    for (TColor32& c : p) {
        if (rng() % 7 == 0)
            alpha = rng() % 3 == 0 ? rng() & 0xFF : alphas[rng() % 5];
        c = (rng() & 0xFFFFFF) | alpha << 24;
    }
    return p;
}

TEST_P(KernelBinding, LinearRowEqualsTheReference)
{
    std::mt19937 rng(20240611);
    for (int round = 0; round < 3000; ++round) {
        const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 12);
        const std::vector<TColor32> picture = RandomPicture(rng, w, h);
        const TSampleSource src{picture.data(), w, h, static_cast<TPixelAccessMode>(rng() % 3)};
        // Steps from a fortieth of a pixel (zoom) to three pixels, starting a
        // little outside the picture on either side.
        const std::int64_t du = 1600 + static_cast<std::int64_t>(rng() % (3 * 65536));
        const std::int64_t u = static_cast<std::int64_t>(rng() % ((w + 8) * 65536)) - 4 * 65536;
        const std::int64_t v = static_cast<std::int64_t>(rng() % ((h + 4) * 65536)) - 2 * 65536;
        const std::size_t n = 1 + rng() % 300;
        std::vector<TColor32> expected(n), actual(n);
        ScalarKernels().LinearRow(src, u, du, v, expected.data(), n);
        Kernel().LinearRow(src, u, du, v, actual.data(), n);
        for (std::size_t i = 0; i < n; ++i)
            ASSERT_EQ(actual[i], expected[i]) << "round " << round << " sample " << i;
    }
}

TEST_P(KernelBinding, ShiftHslRowEqualsTheReference)
{
    struct TShift {
        int Hue, Sat, Light;
    };
    const TShift shifts[] = {{0, 0, 0},      {37, -40, 12},       {-90, 60, -30}, {200, -100, 255},
                             {5, 255, -255}, {1000, -1000, 1000}, {128, 1, 1}};
    std::mt19937 rng(7);
    // Every red and green level against edge and random blues, random alpha
    // (transparent pixels included).
    std::vector<TColor32> pixels;
    for (unsigned r = 0; r < 256; ++r)
        for (unsigned g = 0; g < 256; ++g)
            for (unsigned b : {0u, 1u, 127u, 128u, 254u, 255u, r, static_cast<unsigned>(rng() & 0xFF)})
                pixels.push_back(MakeColor32(r, g, b, rng() % 9 == 0 ? 0 : rng() & 0xFF));
    for (const TShift& s : shifts) {
        std::vector<TColor32> expected = pixels, actual = pixels;
        // Odd lengths exercise the row tails.
        ScalarKernels().ShiftHslRow(expected.data(), expected.size() - 3, s.Hue, s.Sat, s.Light);
        Kernel().ShiftHslRow(actual.data(), actual.size() - 3, s.Hue, s.Sat, s.Light);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            ASSERT_EQ(actual[i], expected[i])
                << std::hex << pixels[i] << std::dec << " shift " << s.Hue << "," << s.Sat << "," << s.Light;
    }
}

TEST_P(KernelBinding, BoxBlurGrayEqualsTheReference)
{
    std::mt19937 rng(31);
    for (int round = 0; round < 60; ++round) {
        const int w = 1 + static_cast<int>(rng() % 70), h = 1 + static_cast<int>(rng() % 40);
        const int radius = round < 40 ? 1 + static_cast<int>(rng() % 3) : static_cast<int>(rng() % 40);
        const int passes = static_cast<int>(rng() % 4);
        // Rows padded beyond the pixels, which must stay as they are.
        const std::ptrdiff_t stride = 3 * w + static_cast<std::ptrdiff_t>(rng() % 5);
        std::vector<std::uint8_t> expected(static_cast<std::size_t>(stride * h));
        for (auto& b : expected)
            b = static_cast<std::uint8_t>(rng() % 3 == 0 ? 255 : rng());
        std::vector<std::uint8_t> actual = expected;
        ScalarKernels().BoxBlurGray(expected.data(), w, h, stride, radius, passes);
        Kernel().BoxBlurGray(actual.data(), w, h, stride, radius, passes);
        ASSERT_EQ(actual, expected) << "round " << round << ": " << w << " x " << h << " radius " << radius;
    }
}

INSTANTIATE_TEST_SUITE_P(Bindings, KernelBinding, ::testing::ValuesIn(SupportedPixelBindings()), BindingName);

TEST(SampleBilinear, WorkedValues)
{
    // 2 x 2 opaque: (0, 0) = 0, (1, 0) = 255, (0, 1) = 100, (1, 1) = 200 in
    // every channel. A quarter across and half down, wx = 64, wy = 128:
    // (192*128*0 + 64*128*255 + 192*128*100 + 64*128*200 + 32768) >> 16 = 94.
    const TColor32 grey[4] = {0xFF000000, 0xFFFFFFFF, 0xFF646464, 0xFFC8C8C8};
    const TSampleSource src{grey, 2, 2, pamClamp};
    EXPECT_EQ(SampleBilinear(src, 0x4000, 0x8000), 0xFF5E5E5Eu);
    // Unequal alpha: a transparent neighbour lends no colour.
    const TColor32 half[4] = {0xFF102030, 0x00FFFFFF, 0xFF102030, 0x00FFFFFF};
    const TSampleSource fade{half, 2, 2, pamClamp};
    EXPECT_EQ(SampleBilinear(fade, 0x8000, 0) & 0xFFFFFF, 0x102030u);
    EXPECT_EQ(AlphaOf(SampleBilinear(fade, 0x8000, 0)), 128u);
    // Outside a transparent-edge source everything is 0.
    const TSampleSource edge{grey, 2, 2, pamTransparentEdge};
    EXPECT_EQ(SampleBilinear(edge, -5 * 65536, 0), 0u);
    EXPECT_EQ(SampleBilinear(TSampleSource{grey, 2, 2, pamWrap}, 2 * 65536, 65536), 0xFF646464u);
}

// TransformDraw by its definition, pixel by pixel: row samples from the
// row's first pixel centre, points mapping outside the source rectangle (by
// half a pixel) skipped, the rest combined by the source's draw mode.
void TransformDrawPerPixel(TBitmap32& dst, const TBitmap32& src, const TAffineTransformation& t)
{
    const TRect area = fw::IntersectRect(RoundRect(t.GetTransformedBounds()), dst.ClipRect());
    const TFloatRect& r = t.SrcRect();
    const TFloatPoint step = t.ReverseStepX();
    std::vector<TColor32> samples(static_cast<std::size_t>(std::max(area.Width(), 0)));
    for (int y = area.Top; y < area.Bottom; ++y) {
        const TFloatPoint start = t.ReverseTransform(area.Left + 0.5, y + 0.5);
        src.Resampler().SampleRow(src, start.X, start.Y, step.X, step.Y, samples.data(), samples.size());
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const double px = start.X + static_cast<double>(i) * step.X;
            const double py = start.Y + static_cast<double>(i) * step.Y;
            if (px < r.Left - 0.5 || py < r.Top - 0.5 || px >= r.Right + 0.5 || py >= r.Bottom + 0.5)
                continue;
            CombinePixel(src, samples[i], dst.PixelAt(area.Left + static_cast<int>(i), y));
        }
    }
}

// TransformDraw, and the zoomed draw without its temporary bitmap, give
// what the definition gives through a temporary: rotated and mirrored
// transformations, every draw mode, clips cutting the picture.
TEST(TransformDraw, EqualsItsDefinitionAlsoWithoutTheTemporary)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 200; ++round) {
        TBitmap32 src;
        src.Resize(3 + static_cast<int>(rng() % 20), 3 + static_cast<int>(rng() % 20));
        const std::vector<TColor32> picture = RandomPicture(rng, src.Width(), src.Height());
        std::copy(picture.begin(), picture.end(), src.Bits());
        src.SetResampler(std::make_unique<TLinearResampler>());
        src.Resampler().SetPixelAccessMode(static_cast<TPixelAccessMode>(rng() % 3));
        src.SetDrawMode(static_cast<TDrawMode>(rng() % 4));
        src.SetMasterAlpha(rng() % 2 == 0 ? 255 : rng() % 256);
        src.SetOuterColor(picture[0]);

        TAffineTransformation t;
        t.SetSrcRect({0, 0, static_cast<double>(src.Width()), static_cast<double>(src.Height())});
        const double scale = 0.3 + (rng() % 100) / 20.0;
        t.Scale(rng() % 5 == 0 ? -scale : scale, scale);
        if (rng() % 3 == 0)
            t.Rotate(src.Width() / 2.0, src.Height() / 2.0, static_cast<double>(rng() % 360));
        const TRect bounds = RoundRect(t.GetTransformedBounds());

        TBitmap32 expected, actual;
        expected.Resize(40, 30);
        std::generate_n(expected.Bits(), 40 * 30, [&] { return static_cast<TColor32>(rng()); });
        actual.AssignFrom(&expected);
        const TRect clip(static_cast<int>(rng() % 10), static_cast<int>(rng() % 10), 20 + static_cast<int>(rng() % 25),
                         15 + static_cast<int>(rng() % 20));
        expected.SetClipRect(clip);
        actual.SetClipRect(clip);
        const int x = static_cast<int>(rng() % 30) - 10, y = static_cast<int>(rng() % 30) - 10;

        TBitmap32 temporary, drawn;
        temporary.Resize(bounds.Width(), bounds.Height());
        drawn.Resize(bounds.Width(), bounds.Height());
        // Only what lands in the destination's clip is drawn.
        temporary.SetClipRect(fw::OffsetRect(clip, -x, -y));
        drawn.SetClipRect(temporary.ClipRect());
        TransformDrawPerPixel(temporary, src, t);
        TransformDraw(&drawn, &src, t);
        ASSERT_TRUE(
            std::equal(temporary.Bits(), temporary.Bits() + temporary.Width() * temporary.Height(), drawn.Bits()))
            << "round " << round;
        temporary.ResetClipRect();
        DrawAt(&expected, x, y, &temporary);
        TransformDrawCopied(actual, x, y, bounds.Width(), bounds.Height(), src, t);
        ASSERT_TRUE(std::equal(expected.Bits(), expected.Bits() + 40 * 30, actual.Bits())) << "round " << round;
    }
}

TEST(DrawCoverZoom, OpaquePictureCoversWithoutTransparentHoles)
{
    TBitmap32 src, dst;
    src.Resize(33, 10);
    std::mt19937 rng(3);
    std::generate_n(src.Bits(), 330, [&] { return static_cast<TColor32>(rng() | 0xFF000000u); });
    dst.Resize(192, 108);
    DrawCoverZoom(&src, &dst, 0.0f);
    // The middle is opaque; only the picture's own edge rows fade.
    for (int y = 6; y < 102; ++y)
        for (int x = 0; x < 192; ++x)
            ASSERT_EQ(AlphaOf(dst.PixelAt(x, y)), 255u) << x << "," << y;
    EXPECT_LT(AlphaOf(dst.PixelAt(96, 0)), 255u);
}

}  // namespace
}  // namespace ks
