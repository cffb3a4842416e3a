// ks_bench_render: the pixel core against its peers, in one process.
//
//   BlendRow per binding      every row of an F bitmap blended onto B
//   pixman OVER               the same pixels premultiplied, PIXMAN_OP_OVER
//   memcpy                    one bitmap's bytes copied
//
// at 330 x 100, 1920 x 1080 and 3840 x 2160, a 333-pixel-wide sub-rectangle,
// the nearest stretch 330 x 100 -> 1920 x 1080, nine-slice into 1920 x 1080;
// the bilinear cover zoom of 330 x 100 over 1920 x 1080 per binding against
// pixman's bilinear scaling of the same picture to the same size, the HSL
// shift and the glow's box blur of 1920 x 1080 per binding, and the load of
// the built-in image store. items_per_second is pixels per second.
#include "skin/render/BitmapHelpers.h"
#include "skin/render/Bitmap32.h"
#include "skin/render/NineSlice.h"

#include "skin/render/Kernels.h"

#if KS_BENCH_BOX_BLUR
#include "skin/resources/uKsSkinIntf.h"
#include "skin/resources/uKsSkinResDM.h"
#endif

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

using namespace ks;

struct TSize2 {
    int w, h;
};
constexpr TSize2 kSizes[] = {{330, 100}, {1920, 1080}, {3840, 2160}};

// Random pixels with random alpha (fixed seed), so that no opaque or
// transparent shortcut decides the result.
void FillRandom(TCustomBitmap32& b, unsigned seed)
{
    std::mt19937 rng(seed);
    TColor32* p = b.Bits();
    const std::size_t n = static_cast<std::size_t>(b.Width()) * b.Height();
    for (std::size_t i = 0; i < n; ++i)
        p[i] = rng();
}

struct TPair {
    TBitmap32 f, b;
    TPair(int w, int h)
    {
        f.Resize(w, h);
        b.Resize(w, h);
        FillRandom(f, 1);
        FillRandom(b, 2);
    }
};

void SetPixels(benchmark::State& state, std::int64_t pixelsPerIteration)
{
    state.SetItemsProcessed(state.iterations() * pixelsPerIteration);
    state.SetBytesProcessed(state.iterations() * pixelsPerIteration * 4);
}

void BM_BlendRow(benchmark::State& state)
{
    const auto binding = static_cast<TPixelBinding>(state.range(2));
    if (!SelectPixelBinding(binding)) {
        state.SkipWithError("binding not supported here");
        return;
    }
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    TPair pair(w, h);
    const TBlendOps& ops = BlendOps();
    for (auto _ : state) {
        for (int y = 0; y < h; ++y)
            ops.BlendRow(pair.f.ScanLine(y), pair.b.ScanLine(y), static_cast<std::size_t>(w));
        benchmark::ClobberMemory();
    }
    SetPixels(state, static_cast<std::int64_t>(w) * h);
    state.SetLabel(PixelBindingName(binding));
}

struct TPixmanPair {
    std::vector<std::uint32_t> f, b;
    pixman_image_t* src = nullptr;
    pixman_image_t* dst = nullptr;
    TPixmanPair(int w, int h) : f(static_cast<std::size_t>(w) * h), b(static_cast<std::size_t>(w) * h)
    {
        // The same pixels as the BlendRow case, premultiplied.
        TPair pair(w, h);
        auto premultiply = [](TColor32 p) {
            const unsigned a = AlphaOf(p);
            auto c = [a](unsigned v) { return (v * a + 127) / 255; };
            return MakeColor32(c(RedOf(p)), c(GreenOf(p)), c(BlueOf(p)), a);
        };
        for (std::size_t i = 0; i < f.size(); ++i) {
            f[i] = premultiply(pair.f.Bits()[i]);
            b[i] = premultiply(pair.b.Bits()[i]);
        }
        src = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, f.data(), w * 4);
        dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, b.data(), w * 4);
    }
    ~TPixmanPair()
    {
        pixman_image_unref(src);
        pixman_image_unref(dst);
    }
};

void BM_PixmanOver(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    TPixmanPair pair(w, h);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, pair.src, nullptr, pair.dst, 0, 0, 0, 0, 0, 0, w, h);
        benchmark::ClobberMemory();
    }
    SetPixels(state, static_cast<std::int64_t>(w) * h);
}

void BM_Memcpy(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    TPair pair(w, h);
    const std::size_t bytes = static_cast<std::size_t>(w) * h * 4;
    for (auto _ : state) {
        std::memcpy(pair.b.Bits(), pair.f.Bits(), bytes);
        benchmark::ClobberMemory();
    }
    SetPixels(state, static_cast<std::int64_t>(w) * h);
}

// A 333-pixel-wide blend at an odd offset inside a 1920 x 1080 bitmap,
// through the draw core (dmBlend, DrawAt).
void BM_DrawAtSubRect333(benchmark::State& state)
{
    const auto binding = static_cast<TPixelBinding>(state.range(0));
    if (!SelectPixelBinding(binding)) {
        state.SkipWithError("binding not supported here");
        return;
    }
    TBitmap32 src, dst;
    src.Resize(333, 1080);
    dst.Resize(1920, 1080);
    FillRandom(src, 3);
    FillRandom(dst, 4);
    src.SetDrawMode(dmBlend);
    for (auto _ : state) {
        DrawAt(dst, 17, 0, src);
        benchmark::ClobberMemory();
    }
    SetPixels(state, 333 * 1080);
    state.SetLabel(PixelBindingName(binding));
}

void BM_PixmanOverSubRect333(benchmark::State& state)
{
    TPixmanPair src(333, 1080), dst(1920, 1080);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src.src, nullptr, dst.dst, 0, 0, 0, 0, 17, 0, 333, 1080);
        benchmark::ClobberMemory();
    }
    SetPixels(state, 333 * 1080);
}

void BM_MemcpySubRect333(benchmark::State& state)
{
    TBitmap32 src, dst;
    src.Resize(333, 1080);
    dst.Resize(1920, 1080);
    for (auto _ : state) {
        for (int y = 0; y < 1080; ++y)
            std::memcpy(dst.ScanLine(y) + 17, src.ScanLine(y), 333 * 4);
        benchmark::ClobberMemory();
    }
    SetPixels(state, 333 * 1080);
}

// The nearest stretch of a 330 x 100 bitmap over 1920 x 1080.
void BM_StretchNearest(benchmark::State& state)
{
    SelectPixelBinding(SupportedPixelBindings().back());
    TBitmap32 src, dst;
    src.Resize(330, 100);
    dst.Resize(1920, 1080);
    FillRandom(src, 5);
    src.SetDrawMode(state.range(0) != 0 ? dmBlend : dmOpaque);
    for (auto _ : state) {
        DrawStretched(dst, TRect(0, 0, 1920, 1080), src);
        benchmark::ClobberMemory();
    }
    SetPixels(state, 1920 * 1080);
    state.SetLabel(state.range(0) != 0 ? "dmBlend" : "dmOpaque");
}

void BM_PixmanStretchNearest(benchmark::State& state)
{
    TPixmanPair src(330, 100), dst(1920, 1080);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(330.0 / 1920.0), pixman_double_to_fixed(100.0 / 1080.0));
    pixman_image_set_transform(src.src, &t);
    pixman_image_set_filter(src.src, PIXMAN_FILTER_NEAREST, nullptr, 0);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src.src, nullptr, dst.dst, 0, 0, 0, 0, 0, 0, 1920, 1080);
        benchmark::ClobberMemory();
    }
    SetPixels(state, 1920 * 1080);
}

// A 60 x 134 frame image nine-sliced by thirds into 1920 x 1080 (bitmap
// route: stretched middle and sides, tiled top and bottom, copied corners).
void BM_NineSlice(benchmark::State& state)
{
    SelectPixelBinding(SupportedPixelBindings().back());
    TBitmap32 src, dst;
    src.Resize(60, 134);
    dst.Resize(1920, 1080);
    FillRandom(src, 6);
    src.SetDrawMode(dmBlend);
    for (auto _ : state) {
        DrawNineSliceThirds(&src, &dst, false);
        benchmark::ClobberMemory();
    }
    SetPixels(state, 1920 * 1080);
}

bool Bind(benchmark::State& state, std::int64_t binding)
{
    const auto b = static_cast<TPixelBinding>(binding);
    if (!SelectPixelBinding(b)) {
        state.SkipWithError("binding not supported here");
        return false;
    }
    state.SetLabel(PixelBindingName(b));
    return true;
}

// Background pictures are opaque (JPEG).
void FillPicture(TCustomBitmap32& b, unsigned seed)
{
    FillRandom(b, seed);
    b.MakeOpaque();
}

// A 330 x 100 picture zoomed (bilinear, transparent edges) to cover
// 1920 x 1080, as the stretched form background is: scale 10.8, centred.
void BM_CoverZoom(benchmark::State& state)
{
    if (!Bind(state, state.range(0)))
        return;
    TBitmap32 src, dst;
    src.Resize(330, 100);
    dst.Resize(1920, 1080);
    FillPicture(src, 9);
    for (auto _ : state) {
        DrawCoverZoom(&src, &dst, 0.0f);
        benchmark::ClobberMemory();
    }
    SetPixels(state, 1920 * 1080);
}

// pixman scaling the same picture by the same factor to the same 1920 x 1080
// window (bilinear filter, transparent outside, PIXMAN_OP_SRC): pixman picks
// its own fast path.
void BM_PixmanBilinearZoom(benchmark::State& state)
{
    TBitmap32 picture;
    picture.Resize(330, 100);
    FillPicture(picture, 9);
    pixman_image_t* src =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, 330, 100, reinterpret_cast<std::uint32_t*>(picture.Bits()), 330 * 4);
    std::vector<std::uint32_t> out(1920 * 1080);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, 1920, 1080, out.data(), 1920 * 4);
    const double scale = 1080.0 / 100.0;
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(1.0 / scale), pixman_double_to_fixed(1.0 / scale));
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(src, PIXMAN_REPEAT_NONE);
    const int zoomedWidth = static_cast<int>(330 * scale + 0.5);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, (zoomedWidth - 1920) / 2, 0, 0, 0, 0, 0, 1920, 1080);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    SetPixels(state, 1920 * 1080);
}

void BM_ShiftBitmapHsl(benchmark::State& state)
{
    if (!Bind(state, state.range(0)))
        return;
    TBitmap32 b;
    b.Resize(1920, 1080);
    FillPicture(b, 7);
    for (auto _ : state) {
        ShiftBitmapHsl(&b, 3, 0, 0);
        benchmark::ClobberMemory();
    }
    SetPixels(state, 1920 * 1080);
}

#if KS_BENCH_BOX_BLUR
// The glow's blur of a 24-bit image: radius 1, 2 passes (as the glow mask).
void BM_BoxBlurGray(benchmark::State& state)
{
    if (!Bind(state, state.range(0)))
        return;
    const int w = 1920, h = 1080;
    std::vector<std::uint8_t> image(static_cast<std::size_t>(w) * h * 3);
    std::mt19937 rng(8);
    for (auto& byte : image)
        byte = static_cast<std::uint8_t>(rng());
    const TRgb24View view{image.data(), w, h, static_cast<std::ptrdiff_t>(w) * 3};
    for (auto _ : state) {
        BoxBlurGray(view, 1, 2);
        benchmark::ClobberMemory();
    }
    SetPixels(state, static_cast<std::int64_t>(w) * h);
}
BENCHMARK(BM_BoxBlurGray)->DenseRange(0, 2)->ArgName("binding");

// The built-in image store read from the bytes the program carries: all 85
// images decoded into their bitmaps. Items are images.
void BM_StoreLoad(benchmark::State& state)
{
    SelectPixelBinding(SupportedPixelBindings().back());
    std::size_t images = 0;
    for (auto _ : state) {
        TKsSkinResDM store(nullptr, BuiltInSkinStore());
        images = store.KsSkinImageListMain != nullptr
                     ? static_cast<std::size_t>(store.KsSkinImageListMain->Bitmaps()->Count())
                     : 0;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(images));
    state.SetLabel(std::to_string(images) + " images");
}
BENCHMARK(BM_StoreLoad)->Unit(benchmark::kMillisecond);
#endif

void SizeArgs(benchmark::internal::Benchmark* b)
{
    for (const TSize2& s : kSizes)
        b->Args({s.w, s.h});
}

void BindingSizeArgs(benchmark::internal::Benchmark* b)
{
    for (const TSize2& s : kSizes)
        for (int binding = 0; binding < 3; ++binding)
            b->Args({s.w, s.h, binding});
}

BENCHMARK(BM_BlendRow)->Apply(BindingSizeArgs)->ArgNames({"w", "h", "binding"});
BENCHMARK(BM_PixmanOver)->Apply(SizeArgs)->ArgNames({"w", "h"});
BENCHMARK(BM_Memcpy)->Apply(SizeArgs)->ArgNames({"w", "h"});
BENCHMARK(BM_DrawAtSubRect333)->DenseRange(0, 2)->ArgName("binding");
BENCHMARK(BM_PixmanOverSubRect333);
BENCHMARK(BM_MemcpySubRect333);
BENCHMARK(BM_StretchNearest)->Arg(0)->Arg(1)->ArgName("blend");
BENCHMARK(BM_PixmanStretchNearest);
BENCHMARK(BM_NineSlice);
BENCHMARK(BM_CoverZoom)->DenseRange(0, 2)->ArgName("binding");
BENCHMARK(BM_PixmanBilinearZoom);
BENCHMARK(BM_ShiftBitmapHsl)->DenseRange(0, 2)->ArgName("binding");

}  // namespace

BENCHMARK_MAIN();
