// SSE2 binding of the pixel kernels (compiled with -msse2): four 32-bit lanes.
#include "skin/render/BlendSimd.h"
#include "skin/render/Kernels.h"

#if KS_PIXEL_X86

#include <emmintrin.h>

#include "skin/render/KernelsSimd.h"

namespace ks {
namespace {

struct TSse2 {
    using V = __m128i;
    static constexpr std::size_t N = 4;

    static V Load(const TColor32* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void Store(TColor32* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static V Set(int x) { return _mm_set1_epi32(x); }
    static V Zero() { return _mm_setzero_si128(); }
    static V Add(V a, V b) { return _mm_add_epi32(a, b); }
    static V Sub(V a, V b) { return _mm_sub_epi32(a, b); }
    static V And(V a, V b) { return _mm_and_si128(a, b); }
    static V Or(V a, V b) { return _mm_or_si128(a, b); }
    static V AndNot(V a, V b) { return _mm_andnot_si128(a, b); }
    template <int k>
    static V Srli(V a)
    {
        return _mm_srli_epi32(a, k);
    }
    template <int k>
    static V Slli(V a)
    {
        return _mm_slli_epi32(a, k);
    }
    template <int k>
    static V Srai(V a)
    {
        return _mm_srai_epi32(a, k);
    }
    static V CmpEq(V a, V b) { return _mm_cmpeq_epi32(a, b); }
    static V CmpGt(V a, V b) { return _mm_cmpgt_epi32(a, b); }
    // A 32-bit lane holding a value within int16 is that value's 16-bit lane
    // and its sign extension: the 16-bit max and min give the 32-bit answer.
    static V Max(V a, V b) { return _mm_max_epi16(a, b); }
    static V Min(V a, V b) { return _mm_min_epi16(a, b); }
    static V MulLo16(V a, V b) { return _mm_mullo_epi16(a, b); }
    static V Madd16(V a, V b) { return _mm_madd_epi16(a, b); }
    static V MulHiU16(V a, V b) { return _mm_mulhi_epu16(a, b); }
    static V DivTrunc(V a, V b) { return _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(a), _mm_cvtepi32_ps(b))); }
    using W = __m128i;
    static constexpr std::size_t NB = 8;
    static W Widen(const std::uint8_t* p)
    {
        return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
    }
    static void Narrow(std::uint8_t* p, W v)
    {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(v, v));
    }
    static W LoadW(const std::uint16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void StoreW(std::uint16_t* p, W v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static W Set16(int x) { return _mm_set1_epi16(static_cast<short>(x)); }
    static W Add16(W a, W b) { return _mm_add_epi16(a, b); }
    static W Sub16(W a, W b) { return _mm_sub_epi16(a, b); }
    static W MulHiU16W(W a, W b) { return _mm_mulhi_epu16(a, b); }
    static W Srl16(W a, int k) { return _mm_srl_epi16(a, _mm_cvtsi32_si128(k)); }
    static void Leave() {}

    // Column k of pairs: channel by channel (Vk - 32768, Vk+1 - 32768).
    static void VerticalPairs(const TColor32* row0, const TColor32* row1, int count, unsigned wy, std::int16_t* pairs)
    {
        const __m128i zero = _mm_setzero_si128();
        const __m128i w0 = _mm_set1_epi16(static_cast<short>(256 - wy));
        const __m128i w1 = _mm_set1_epi16(static_cast<short>(wy));
        const __m128i bias = _mm_set1_epi16(static_cast<short>(0x8000));
        const auto mix = [&](const TColor32* a, const TColor32* b) {
            const __m128i ca = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a)), zero);
            const __m128i cb = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(b)), zero);
            return _mm_add_epi16(_mm_mullo_epi16(ca, w0), _mm_mullo_epi16(cb, w1));
        };
        for (int k = 0; k < count; k += 2) {
            const __m128i here = mix(row0 + k, row1 + k);          // V[k], V[k+1]
            const __m128i next = mix(row0 + k + 1, row1 + k + 1);  // V[k+1], V[k+2]
            __m128i* out = reinterpret_cast<__m128i*>(pairs + 8 * k);
            _mm_storeu_si128(out, _mm_xor_si128(_mm_unpacklo_epi16(here, next), bias));
            _mm_storeu_si128(out + 1, _mm_xor_si128(_mm_unpackhi_epi16(here, next), bias));
        }
    }

    // n (a multiple of 4) samples at u + i * du, u relative to the first column.
    static void HorizontalRow(const std::int16_t* pairs, std::uint32_t u, std::uint32_t du, TColor32* out,
                              std::size_t n)
    {
        const __m128i* columns = reinterpret_cast<const __m128i*>(pairs);
        __m128i uv = _mm_setr_epi32(static_cast<int>(u), static_cast<int>(u + du), static_cast<int>(u + 2 * du),
                                    static_cast<int>(u + 3 * du));
        const __m128i step = _mm_set1_epi32(static_cast<int>(4 * du));
        const __m128i frac = _mm_set1_epi32(0xFFFF);
        const __m128i half = _mm_set1_epi32(128);
        const __m128i full = _mm_set1_epi32(256);
        const __m128i round = _mm_set1_epi32(8388608 + 32768);
        const __m128i zero = _mm_setzero_si128();
        alignas(16) std::uint32_t k[4];
        for (std::size_t i = 0; i < n; i += 4, uv = _mm_add_epi32(uv, step)) {
            _mm_store_si128(reinterpret_cast<__m128i*>(k), _mm_srli_epi32(uv, 16));
            const __m128i wx = _mm_srli_epi32(_mm_add_epi32(_mm_and_si128(uv, frac), half), 8);
            const __m128i w = _mm_or_si128(_mm_slli_epi32(wx, 16), _mm_sub_epi32(full, wx));
            const auto sample = [&](std::uint32_t column, __m128i weights) {
                return _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_loadu_si128(columns + column), weights), round),
                                      16);
            };
            const __m128i p0 = sample(k[0], _mm_shuffle_epi32(w, 0x00));
            const __m128i p1 = sample(k[1], _mm_shuffle_epi32(w, 0x55));
            const __m128i p2 = sample(k[2], _mm_shuffle_epi32(w, 0xAA));
            const __m128i p3 = sample(k[3], _mm_shuffle_epi32(w, 0xFF));
            __m128i px = _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3));
            // Four transparent pixels sample as 0.
            px = _mm_andnot_si128(_mm_cmpeq_epi32(_mm_srli_epi32(px, 24), zero), px);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), px);
        }
    }
};

void Sse2LinearRow(const TSampleSource& src, std::int64_t u, std::int64_t du, std::int64_t v, TColor32* out,
                   std::size_t n)
{
    LinearRowSimd<TSse2>(src, u, du, v, out, n);
}

void Sse2ShiftHslRow(TColor32* p, std::size_t n, int hue, int sat, int light)
{
    ShiftHslRowSimd<TSse2>(p, n, hue, sat, light);
}

void Sse2BoxBlurGray(std::uint8_t* bits, int width, int height, std::ptrdiff_t stride, int radius, int passes)
{
    BoxBlurGraySimd<TSse2>(bits, width, height, stride, radius, passes);
}

const TPixelKernels g_sse2Kernels = {Sse2LinearRow, Sse2ShiftHslRow, Sse2BoxBlurGray};

}  // namespace

const TPixelKernels& Sse2Kernels() { return g_sse2Kernels; }

}  // namespace ks

#else

namespace ks {
const TPixelKernels& Sse2Kernels() { return ScalarKernels(); }
}  // namespace ks

#endif
