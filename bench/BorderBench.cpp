// ks_bench_border: building the layered border's four slices for a form, at
// 330 x 100 and 1920 x 1080, with a 60 x 134 image (the default border
// image's size) stretched by thirds and tiled; beside it, memcpy of the
// slices' bytes. This is the work a resize costs; a move costs none of it.
#include "skin/frame/uKsFormBorderSlices.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

using namespace ks;

std::unique_ptr<TBitmap32> BorderImage()
{
    auto b = std::make_unique<TBitmap32>();
    b->Resize(60, 134);
    std::mt19937 rng(3);
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x)
            b->PixelAt(x, y) = rng();
    b->SetDrawMode(dmBlend);
    return b;
}

void BM_BorderSlices(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const auto kind = static_cast<TKsStretchKind>(state.range(2));
    const auto image = BorderImage();
    const TKsBorderSize size;
    TKsBorderSlices slices;
    std::int64_t pixels = 0;
    for (auto _ : state) {
        TKsBorderSize inflate(5, 5, -5, -5);
        slices.Build(image.get(), kind, true, size, inflate, w, h);
        benchmark::DoNotOptimize(slices.Slice(kSideTop)->Bits());
    }
    for (int side = 0; side < kBorderSideCount; ++side)
        pixels += static_cast<std::int64_t>(slices.Slice(side)->Width()) * slices.Slice(side)->Height();
    state.SetItemsProcessed(state.iterations() * pixels);
}
BENCHMARK(BM_BorderSlices)
    ->Args({330, 100, skAuto})
    ->Args({1920, 1080, skAuto})
    ->Args({1920, 1080, skTile})
    ->Unit(benchmark::kMicrosecond);

// The same number of bytes copied, for scale.
void BM_SliceBytesMemcpy(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const std::size_t pixels = 2u * (w + 16) * 13 + 2u * 13 * (h - 10);
    std::vector<std::uint32_t> a(pixels, 1), b(pixels);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), pixels * 4);
        benchmark::DoNotOptimize(b.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(pixels));
}
BENCHMARK(BM_SliceBytesMemcpy)->Args({330, 100})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
