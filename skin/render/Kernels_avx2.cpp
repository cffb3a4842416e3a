// AVX2 binding of the pixel kernels (compiled with -mavx2): eight 32-bit
// lanes. Every entry point leaves with vzeroupper.
#include "skin/render/BlendSimd.h"
#include "skin/render/Kernels.h"

#if KS_PIXEL_X86

#include <immintrin.h>

#include "skin/render/KernelsSimd.h"

namespace ks {
namespace {

struct TAvx2 {
    using V = __m256i;
    static constexpr std::size_t N = 8;

    static V Load(const TColor32* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void Store(TColor32* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static V Set(int x) { return _mm256_set1_epi32(x); }
    static V Zero() { return _mm256_setzero_si256(); }
    static V Add(V a, V b) { return _mm256_add_epi32(a, b); }
    static V Sub(V a, V b) { return _mm256_sub_epi32(a, b); }
    static V And(V a, V b) { return _mm256_and_si256(a, b); }
    static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    static V AndNot(V a, V b) { return _mm256_andnot_si256(a, b); }
    template <int k>
    static V Srli(V a)
    {
        return _mm256_srli_epi32(a, k);
    }
    template <int k>
    static V Slli(V a)
    {
        return _mm256_slli_epi32(a, k);
    }
    template <int k>
    static V Srai(V a)
    {
        return _mm256_srai_epi32(a, k);
    }
    static V CmpEq(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
    static V CmpGt(V a, V b) { return _mm256_cmpgt_epi32(a, b); }
    static V Max(V a, V b) { return _mm256_max_epi32(a, b); }
    static V Min(V a, V b) { return _mm256_min_epi32(a, b); }
    static V MulLo16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static V Madd16(V a, V b) { return _mm256_madd_epi16(a, b); }
    static V MulHiU16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
    static V DivTrunc(V a, V b)
    {
        return _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(a), _mm256_cvtepi32_ps(b)));
    }
    using W = __m256i;
    static constexpr std::size_t NB = 16;
    static W Widen(const std::uint8_t* p)
    {
        return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    }
    static void Narrow(std::uint8_t* p, W v)
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p),
                         _mm_packus_epi16(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)));
    }
    static W LoadW(const std::uint16_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void StoreW(std::uint16_t* p, W v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static W Set16(int x) { return _mm256_set1_epi16(static_cast<short>(x)); }
    static W Add16(W a, W b) { return _mm256_add_epi16(a, b); }
    static W Sub16(W a, W b) { return _mm256_sub_epi16(a, b); }
    static W MulHiU16W(W a, W b) { return _mm256_mulhi_epu16(a, b); }
    static W Srl16(W a, int k) { return _mm256_srl_epi16(a, _mm_cvtsi32_si128(k)); }
    static void Leave() { _mm256_zeroupper(); }

    // Column k of pairs: channel by channel (Vk - 32768, Vk+1 - 32768); four
    // columns per step.
    static void VerticalPairs(const TColor32* row0, const TColor32* row1, int count, unsigned wy, std::int16_t* pairs)
    {
        const __m256i w0 = _mm256_set1_epi16(static_cast<short>(256 - wy));
        const __m256i w1 = _mm256_set1_epi16(static_cast<short>(wy));
        const __m256i bias = _mm256_set1_epi16(static_cast<short>(0x8000));
        const auto widen = [](const TColor32* p) {
            return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
        };
        const auto mix = [&](const TColor32* a, const TColor32* b) {
            return _mm256_add_epi16(_mm256_mullo_epi16(widen(a), w0), _mm256_mullo_epi16(widen(b), w1));
        };
        int k = 0;
        for (; k + 4 <= count; k += 4) {
            const __m256i here = mix(row0 + k, row1 + k);                                  // V[k] .. V[k+3]
            const __m256i next = mix(row0 + k + 1, row1 + k + 1);                          // V[k+1] .. V[k+4]
            const __m256i lo = _mm256_xor_si256(_mm256_unpacklo_epi16(here, next), bias);  // pairs k, k+2
            const __m256i hi = _mm256_xor_si256(_mm256_unpackhi_epi16(here, next), bias);  // pairs k+1, k+3
            __m256i* out = reinterpret_cast<__m256i*>(pairs + 8 * k);
            _mm256_storeu_si256(out, _mm256_permute2x128_si256(lo, hi, 0x20));
            _mm256_storeu_si256(out + 1, _mm256_permute2x128_si256(lo, hi, 0x31));
        }
        // The last columns, one at a time.
        const __m128i zero = _mm_setzero_si128();
        for (; k < count; ++k) {
            const auto column = [&](int j) {
                const __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(row0[j])), zero);
                const __m128i b = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(row1[j])), zero);
                return _mm_add_epi16(_mm_mullo_epi16(a, _mm256_castsi256_si128(w0)),
                                     _mm_mullo_epi16(b, _mm256_castsi256_si128(w1)));
            };
            const __m128i pair = _mm_unpacklo_epi16(column(k), column(k + 1));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pairs + 8 * k),
                             _mm_xor_si128(pair, _mm256_castsi256_si128(bias)));
        }
    }

    // n (a multiple of 8) samples at u + i * du, u relative to the first column.
    static void HorizontalRow(const std::int16_t* pairs, std::uint32_t u, std::uint32_t du, TColor32* out,
                              std::size_t n)
    {
        const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
        __m256i uv = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(u)),
                                      _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(du))));
        const __m256i step = _mm256_set1_epi32(static_cast<int>(8 * du));
        const __m256i frac = _mm256_set1_epi32(0xFFFF);
        const __m256i half = _mm256_set1_epi32(128);
        const __m256i full = _mm256_set1_epi32(256);
        const __m256i round = _mm256_set1_epi32(8388608 + 32768);
        const __m256i zero = _mm256_setzero_si256();
        const __m256i spread[4] = {_mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1), _mm256_setr_epi32(2, 2, 2, 2, 3, 3, 3, 3),
                                   _mm256_setr_epi32(4, 4, 4, 4, 5, 5, 5, 5),
                                   _mm256_setr_epi32(6, 6, 6, 6, 7, 7, 7, 7)};
        const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
        alignas(32) std::uint32_t k[8];
        for (std::size_t i = 0; i < n; i += 8, uv = _mm256_add_epi32(uv, step)) {
            _mm256_store_si256(reinterpret_cast<__m256i*>(k), _mm256_srli_epi32(uv, 16));
            const __m256i wx = _mm256_srli_epi32(_mm256_add_epi32(_mm256_and_si256(uv, frac), half), 8);
            const __m256i w = _mm256_or_si256(_mm256_slli_epi32(wx, 16), _mm256_sub_epi32(full, wx));
            const auto sample = [&](int j) {
                const __m256i columns = _mm256_inserti128_si256(
                    _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pairs + 8 * k[j]))),
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(pairs + 8 * k[j + 1])), 1);
                const __m256i weights = _mm256_permutevar8x32_epi32(w, spread[j / 2]);
                return _mm256_srli_epi32(_mm256_add_epi32(_mm256_madd_epi16(columns, weights), round), 16);
            };
            // packs and packus work within 128-bit halves: pixels come out in
            // the order 0 2 4 6 1 3 5 7 and are put back in order.
            const __m256i a = _mm256_packs_epi32(sample(0), sample(2));
            const __m256i b = _mm256_packs_epi32(sample(4), sample(6));
            __m256i px = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(a, b), order);
            px = _mm256_andnot_si256(_mm256_cmpeq_epi32(_mm256_srli_epi32(px, 24), zero), px);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), px);
        }
    }
};

void Avx2LinearRow(const TSampleSource& src, std::int64_t u, std::int64_t du, std::int64_t v, TColor32* out,
                   std::size_t n)
{
    LinearRowSimd<TAvx2>(src, u, du, v, out, n);
}

void Avx2ShiftHslRow(TColor32* p, std::size_t n, int hue, int sat, int light)
{
    ShiftHslRowSimd<TAvx2>(p, n, hue, sat, light);
}

void Avx2BoxBlurGray(std::uint8_t* bits, int width, int height, std::ptrdiff_t stride, int radius, int passes)
{
    BoxBlurGraySimd<TAvx2>(bits, width, height, stride, radius, passes);
}

const TPixelKernels g_avx2Kernels = {Avx2LinearRow, Avx2ShiftHslRow, Avx2BoxBlurGray};

}  // namespace

const TPixelKernels& Avx2Kernels() { return g_avx2Kernels; }

}  // namespace ks

#else

namespace ks {
const TPixelKernels& Avx2Kernels() { return ScalarKernels(); }
}  // namespace ks

#endif
