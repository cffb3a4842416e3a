// The per-pixel operators, exhaustively, on every binding the processor
// supports. The expected values come from the formulas written out here, not
// from the scalar binding.
#include "skin/render/Blend.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace ks {
namespace {

unsigned R8(unsigned v) { return (v + 128) >> 8; }
unsigned Clamp(int v) { return v < 0 ? 0 : (v > 255 ? 255 : static_cast<unsigned>(v)); }
unsigned Lerp(unsigned f, unsigned b, unsigned w)
{
    return Clamp(
        ((static_cast<int>(f) - static_cast<int>(b)) * static_cast<int>(w) + static_cast<int>(b) * 256 + 128) >> 8);
}
TColor32 LerpAll(TColor32 f, TColor32 b, unsigned w)
{
    return MakeColor32(Lerp(RedOf(f), RedOf(b), w), Lerp(GreenOf(f), GreenOf(b), w), Lerp(BlueOf(f), BlueOf(b), w),
                       Lerp(AlphaOf(f), AlphaOf(b), w));
}

TColor32 RefBlendPixel(TColor32 f, TColor32 b)
{
    const unsigned fa = AlphaOf(f);
    return fa == 0 ? b : fa == 255 ? f : LerpAll(f, b, fa);
}

TColor32 RefBlendRow(TColor32 f, TColor32 b)
{
    const unsigned fa = AlphaOf(f), ba = AlphaOf(b);
    auto c = [fa](unsigned fc, unsigned bc) { return Clamp(static_cast<int>(R8(fc * fa) + bc - R8(bc * fa))); };
    return MakeColor32(c(RedOf(f), RedOf(b)), c(GreenOf(f), GreenOf(b)), c(BlueOf(f), BlueOf(b)),
                       Clamp(static_cast<int>(fa + ba - R8(ba * fa))));
}

TColor32 RefBlendRowMaster(TColor32 f, TColor32 b, unsigned m)
{
    const unsigned fa = AlphaOf(f);
    if (fa == 0)
        return b;
    const unsigned w = ((fa + 1) * m) >> 8;
    return w == 0 ? b : LerpAll(f, b, w);
}

TColor32 RefMixPixel(TColor32 f, TColor32 b, unsigned w) { return w == 0 ? b : w == 255 ? f : LerpAll(f, b, w); }

TColor32 RefBlendPixelMaster(TColor32 f, TColor32 b, unsigned m)
{
    const unsigned fa = AlphaOf(f);
    if (fa == 0)
        return b;
    const unsigned w = ((m + 1) * fa) >> 8;
    return w == 0 ? b : LerpAll(f, b, w);
}

// A row of 256 foreground pixels whose three colour channels each run through
// every value 0..255 (in different orders) with alpha fa.
std::vector<TColor32> ForegroundRow(unsigned fa)
{
    std::vector<TColor32> row(256);
    for (unsigned i = 0; i < 256; ++i)
        row[i] = MakeColor32(i, 255 - i, (i * 37 + 11) & 255, fa);
    return row;
}

// The background pixel of value b; its alpha is b too, so the rows over all
// (b, fa) cover every (Fa, Ba) pair as well as every (F, B, Fa) triple.
TColor32 Background(unsigned b) { return MakeColor32(b, b ^ 0x5A, 255 - b, b); }

class BlendBinding : public ::testing::TestWithParam<TPixelBinding> {
protected:
    const TBlendOps& Ops() const { return BlendOpsFor(GetParam()); }
};

TEST_P(BlendBinding, BlendPixelEveryTriple)
{
    const TBlendOps& ops = Ops();
    for (unsigned fa = 0; fa < 256; ++fa) {
        const std::vector<TColor32> f = ForegroundRow(fa);
        for (unsigned b = 0; b < 256; ++b) {
            const TColor32 bg = Background(b);
            for (unsigned i = 0; i < 256; ++i)
                if (ops.BlendPixel(f[i], bg) != RefBlendPixel(f[i], bg))
                    FAIL() << std::hex << "F=" << f[i] << " B=" << bg;
        }
    }
}

TEST_P(BlendBinding, BlendRowEveryTriple)
{
    const TBlendOps& ops = Ops();
    std::vector<TColor32> row(256);
    for (unsigned fa = 0; fa < 256; ++fa) {
        const std::vector<TColor32> f = ForegroundRow(fa);
        for (unsigned b = 0; b < 256; ++b) {
            const TColor32 bg = Background(b);
            row.assign(256, bg);
            ops.BlendRow(f.data(), row.data(), row.size());
            for (unsigned i = 0; i < 256; ++i)
                if (row[i] != RefBlendRow(f[i], bg))
                    FAIL() << std::hex << "F=" << f[i] << " B=" << bg << " got " << row[i];
        }
    }
}

TEST_P(BlendBinding, BlendRowKnownValues)
{
    const TBlendOps& ops = Ops();
    TColor32 f[2] = {0xFFFFFFFF, 0xFFFFFFFF};
    TColor32 b[2] = {0xFF000000, 0x00000000};
    ops.BlendRow(f, b, 2);
    EXPECT_EQ(b[0], 0xFFFEFEFEu);  // the arithmetic does not reproduce opaque white
    EXPECT_EQ(AlphaOf(b[1]), 255u);
    TColor32 bg = 0xFFFFFFFF;
    ops.BlendRow(f, &bg, 1);
    EXPECT_EQ(AlphaOf(bg), 255u);  // 255 + 255 - 254 = 256, clamped
}

TEST_P(BlendBinding, BlendRowMasterEveryTriple)
{
    const TBlendOps& ops = Ops();
    std::vector<TColor32> row(256);
    for (unsigned m : {1u, 77u, 128u, 254u}) {
        for (unsigned fa = 0; fa < 256; ++fa) {
            const std::vector<TColor32> f = ForegroundRow(fa);
            for (unsigned b = 0; b < 256; ++b) {
                const TColor32 bg = Background(b);
                row.assign(256, bg);
                ops.BlendRowMaster(f.data(), row.data(), row.size(), m);
                for (unsigned i = 0; i < 256; ++i)
                    if (row[i] != RefBlendRowMaster(f[i], bg, m))
                        FAIL() << std::hex << "F=" << f[i] << " B=" << bg << " M=" << m << " got " << row[i];
            }
        }
    }
    // Master 128 and an opaque source: weight 128 on all four channels.
    TColor32 f = 0xFFFF0000, b = 0x00000000;
    ops.BlendRowMaster(&f, &b, 1, 128);
    EXPECT_EQ(b, 0x80800000u);
}

TEST_P(BlendBinding, MixPixelEveryTriple)
{
    const TBlendOps& ops = Ops();
    std::vector<TColor32> row(256);
    for (unsigned w = 0; w < 256; ++w) {
        for (unsigned b = 0; b < 256; ++b) {
            const TColor32 bg = Background(b);
            for (unsigned i = 0; i < 256; ++i) {
                const TColor32 f = MakeColor32(i, 255 - i, (i * 37 + 11) & 255, i ^ 0x33);
                if (ops.MixPixel(f, bg, w) != RefMixPixel(f, bg, w))
                    FAIL() << std::hex << "F=" << f << " B=" << bg << " W=" << w;
            }
            // MixRow: one colour over a row of backgrounds.
            const TColor32 f = MakeColor32(b, 255 - b, b ^ 0x81, 255 - b);
            for (unsigned i = 0; i < 256; ++i)
                row[i] = Background(i);
            ops.MixRow(f, row.data(), row.size(), w);
            for (unsigned i = 0; i < 256; ++i)
                if (row[i] != RefMixPixel(f, Background(i), w))
                    FAIL() << std::hex << "MixRow F=" << f << " B=" << Background(i) << " W=" << w;
        }
    }
}

TEST_P(BlendBinding, BlendPixelMasterEveryTriple)
{
    const TBlendOps& ops = Ops();
    for (unsigned m : {0u, 100u, 128u, 255u}) {
        for (unsigned fa = 0; fa < 256; ++fa) {
            const std::vector<TColor32> f = ForegroundRow(fa);
            for (unsigned b = 0; b < 256; ++b) {
                const TColor32 bg = Background(b);
                for (unsigned i = 0; i < 256; ++i)
                    if (ops.BlendPixelMaster(f[i], bg, m) != RefBlendPixelMaster(f[i], bg, m))
                        FAIL() << std::hex << "F=" << f[i] << " B=" << bg << " M=" << m;
            }
        }
    }
}

// Rows of every width 0..17 at every misalignment: exactly the row changes,
// the guard pixels around it never do.
TEST_P(BlendBinding, RowWidthsAndOffsets)
{
    const TBlendOps& ops = Ops();
    constexpr TColor32 kGuard = 0xDEADBEEF;
    constexpr std::size_t kPad = 16;
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed;
    };
    for (std::size_t width = 0; width <= 17; ++width) {
        for (std::size_t offset = 0; offset < 8; ++offset) {
            std::vector<TColor32> f(width + 2 * kPad), b(width + 2 * kPad, kGuard);
            for (auto& p : f)
                p = next();
            // The row starts `offset` pixels before the middle of the buffer.
            TColor32* row = b.data() + kPad - offset;
            for (std::size_t i = 0; i < width; ++i)
                row[i] = next();
            std::vector<TColor32> orig(b);
            const TColor32* src = f.data() + kPad + offset;

            auto check = [&](const char* what, auto expected) {
                for (std::size_t i = 0; i < b.size(); ++i) {
                    const std::ptrdiff_t k = static_cast<std::ptrdiff_t>(i) - (row - b.data());
                    const bool inside = k >= 0 && static_cast<std::size_t>(k) < width;
                    const TColor32 want = inside ? expected(static_cast<std::size_t>(k), orig[i]) : orig[i];
                    ASSERT_EQ(b[i], want) << what << " width " << width << " offset " << offset << " index " << i;
                }
                b = orig;
            };
            ops.BlendRow(src, row, width);
            check("BlendRow", [&](std::size_t k, TColor32 bg) { return RefBlendRow(src[k], bg); });
            ops.BlendRowMaster(src, row, width, 99);
            check("BlendRowMaster", [&](std::size_t k, TColor32 bg) { return RefBlendRowMaster(src[k], bg, 99); });
            ops.MixRow(0x80FF4020, row, width, 77);
            check("MixRow", [&](std::size_t, TColor32 bg) { return RefMixPixel(0x80FF4020, bg, 77); });
            ops.MixRow(0x80FF4020, row, width, 255);
            check("MixRow 255", [&](std::size_t, TColor32) { return TColor32{0x80FF4020}; });
            ops.FillRow(row, width, 0x12345678);
            check("FillRow", [&](std::size_t, TColor32) { return TColor32{0x12345678}; });
        }
    }
}

std::string BindingName(const ::testing::TestParamInfo<TPixelBinding>& info) { return PixelBindingName(info.param); }

INSTANTIATE_TEST_SUITE_P(Bindings, BlendBinding, ::testing::ValuesIn(SupportedPixelBindings()), BindingName);

TEST(BlendBindingSelection, BoundAtStartupAndSwitchable)
{
    const TPixelBinding start = CurrentPixelBinding();
    for (TPixelBinding b : SupportedPixelBindings()) {
        ASSERT_TRUE(SelectPixelBinding(b));
        EXPECT_EQ(CurrentPixelBinding(), b);
        EXPECT_EQ(&BlendOps(), &BlendOpsFor(b));
    }
    SelectPixelBinding(start);
    EXPECT_EQ(SupportedPixelBindings().front(), TPixelBinding::pbScalar);
}

TEST(BlendBindingSelection, ForcedBindingIsHonouredOrRefusedAloud)
{
    const auto sse2Only = [](TPixelBinding b) { return b != TPixelBinding::pbAvx2; };
    std::string refusal;
    EXPECT_EQ(ChooseStartupBinding(nullptr, sse2Only, refusal), TPixelBinding::pbSse2);
    EXPECT_EQ(refusal, "");
    EXPECT_EQ(ChooseStartupBinding("scalar", sse2Only, refusal), TPixelBinding::pbScalar);
    EXPECT_EQ(refusal, "");
    // A processor without AVX2 must not quietly test SSE2 under the name AVX2.
    EXPECT_EQ(ChooseStartupBinding("avx2", sse2Only, refusal), TPixelBinding::pbSse2);
    EXPECT_EQ(refusal, "KS_PIXEL_BINDING=avx2 is not supported by this processor; using sse2");
    EXPECT_EQ(ChooseStartupBinding("AVX2", sse2Only, refusal), TPixelBinding::pbSse2);
    EXPECT_EQ(refusal, "KS_PIXEL_BINDING=AVX2 is not a pixel binding (scalar, sse2, avx2); using sse2");
}

}  // namespace
}  // namespace ks
