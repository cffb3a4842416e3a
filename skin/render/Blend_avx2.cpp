// AVX2 binding of the per-pixel operators (compiled with -mavx2). Eight pixels
// per step; the same lane arithmetic as the SSE2 binding, within each 128-bit
// half. Every entry point leaves with vzeroupper so that callers' SSE code
// does not pay the transition penalty.
#include "Blend.h"
#include "BlendScalar.h"
#include "BlendSimd.h"

#if KS_PIXEL_X86

#include <immintrin.h>

#include <cstring>

namespace ks {
namespace {

inline __m256i AlphaLanes(__m256i v16) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v16, 0xFF), 0xFF); }

// BlendRow on eight pixels. R(x * Fa) = (x * Fa + 128) >> 8 is computed as
// mulhrs(x, Fa << 7) = (x * Fa * 128 + 2^14) >> 15, which is the same value.
inline __m256i BlendRow8(__m256i f, __m256i b)
{
    const __m256i zero = _mm256_setzero_si256();
    // Alpha bytes of pixels 0, 1 (low) and 2, 3 (high) of each 128-bit lane
    // spread over their four 16-bit channels.
    const __m256i alphaLo = _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1,  //
                                             3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1);
    const __m256i alphaHi = _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1,  //
                                             11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
    const __m256i alpha256 = _mm256_set1_epi16(256);

    const __m256i al = _mm256_slli_epi16(_mm256_shuffle_epi8(f, alphaLo), 7);
    const __m256i ah = _mm256_slli_epi16(_mm256_shuffle_epi8(f, alphaHi), 7);
    // Alpha lane of F := 256, so R(256 * Fa) = Fa yields Fa + Ba - R(Ba * Fa).
    const __m256i fl = _mm256_blend_epi16(_mm256_unpacklo_epi8(f, zero), alpha256, 0x88);
    const __m256i fh = _mm256_blend_epi16(_mm256_unpackhi_epi8(f, zero), alpha256, 0x88);
    const __m256i bl = _mm256_unpacklo_epi8(b, zero);
    const __m256i bh = _mm256_unpackhi_epi8(b, zero);

    const __m256i rl = _mm256_sub_epi16(_mm256_add_epi16(_mm256_mulhrs_epi16(fl, al), bl), _mm256_mulhrs_epi16(bl, al));
    const __m256i rh = _mm256_sub_epi16(_mm256_add_epi16(_mm256_mulhrs_epi16(fh, ah), bh), _mm256_mulhrs_epi16(bh, ah));
    return _mm256_packus_epi16(rl, rh);  // clamps the alpha of (255, 255) from 256
}

// ((F - B) * W + B * 256 + 128) >> 8 = B + floor(((F - B) * W + 128) / 256),
// the second term being mulhrs(F - B, W << 7) (signed, rounds the same way).
inline __m256i Lerp16(__m256i f, __m256i b, __m256i w7)
{
    return _mm256_add_epi16(b, _mm256_mulhrs_epi16(_mm256_sub_epi16(f, b), w7));
}

inline __m256i BlendRowMaster8(__m256i f, __m256i b, __m256i master)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i one = _mm256_set1_epi16(1);
    const __m256i fl = _mm256_unpacklo_epi8(f, zero);
    const __m256i fh = _mm256_unpackhi_epi8(f, zero);
    const __m256i wl =
        _mm256_slli_epi16(_mm256_srli_epi16(_mm256_mullo_epi16(_mm256_add_epi16(AlphaLanes(fl), one), master), 8), 7);
    const __m256i wh =
        _mm256_slli_epi16(_mm256_srli_epi16(_mm256_mullo_epi16(_mm256_add_epi16(AlphaLanes(fh), one), master), 8), 7);
    const __m256i rl = Lerp16(fl, _mm256_unpacklo_epi8(b, zero), wl);
    const __m256i rh = Lerp16(fh, _mm256_unpackhi_epi8(b, zero), wh);
    return _mm256_packus_epi16(rl, rh);
}

inline __m256i Mix8(__m256i f, __m256i b, __m256i w7)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i rl = Lerp16(_mm256_unpacklo_epi8(f, zero), _mm256_unpacklo_epi8(b, zero), w7);
    const __m256i rh = Lerp16(_mm256_unpackhi_epi8(f, zero), _mm256_unpackhi_epi8(b, zero), w7);
    return _mm256_packus_epi16(rl, rh);
}

inline __m256i Load8(const TColor32* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
inline void Store8(TColor32* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// The last n < 8 pixels of a row: masked loads and stores touch only them.
inline __m256i TailMask(std::size_t n)
{
    const __m256i index = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(static_cast<int>(n)), index);
}

template <typename Kernel>
inline void Tail(const TColor32* f, TColor32* b, std::size_t n, Kernel kernel)
{
    if (n == 0)
        return;
    const __m256i mask = TailMask(n);
    const __m256i fv = _mm256_maskload_epi32(reinterpret_cast<const int*>(f), mask);
    const __m256i bv = _mm256_maskload_epi32(reinterpret_cast<const int*>(b), mask);
    _mm256_maskstore_epi32(reinterpret_cast<int*>(b), mask, kernel(fv, bv));
}

void Avx2BlendRow(const TColor32* f, TColor32* b, std::size_t n)
{
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m256i r0 = BlendRow8(Load8(f + i), Load8(b + i));
        const __m256i r1 = BlendRow8(Load8(f + i + 8), Load8(b + i + 8));
        Store8(b + i, r0);
        Store8(b + i + 8, r1);
    }
    for (; i + 8 <= n; i += 8)
        Store8(b + i, BlendRow8(Load8(f + i), Load8(b + i)));
    Tail(f + i, b + i, n - i, BlendRow8);
    _mm256_zeroupper();
}

void Avx2BlendRowMaster(const TColor32* f, TColor32* b, std::size_t n, unsigned master)
{
    const __m256i m = _mm256_set1_epi16(static_cast<short>(master));
    const auto kernel = [m](__m256i fv, __m256i bv) { return BlendRowMaster8(fv, bv, m); };
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
        Store8(b + i, kernel(Load8(f + i), Load8(b + i)));
    Tail(f + i, b + i, n - i, kernel);
    _mm256_zeroupper();
}

void Avx2FillRow(TColor32* b, std::size_t n, TColor32 v)
{
    const __m256i vv = _mm256_set1_epi32(static_cast<int>(v));
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
        Store8(b + i, vv);
    if (i < n)
        _mm256_maskstore_epi32(reinterpret_cast<int*>(b + i), TailMask(n - i), vv);
    _mm256_zeroupper();
}

void Avx2MixRow(TColor32 f, TColor32* b, std::size_t n, unsigned weight)
{
    if (weight == 0)
        return;
    if (weight >= 255) {
        Avx2FillRow(b, n, f);
        return;
    }
    const __m256i w = _mm256_set1_epi16(static_cast<short>(weight << 7));
    const __m256i fv = _mm256_set1_epi32(static_cast<int>(f));
    const auto kernel = [w](__m256i fx, __m256i bx) { return Mix8(fx, bx, w); };
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
        Store8(b + i, kernel(fv, Load8(b + i)));
    if (i < n) {
        const TColor32 fs[8] = {f, f, f, f, f, f, f, f};
        Tail(fs, b + i, n - i, kernel);
    }
    _mm256_zeroupper();
}

const TBlendOps g_avx2BlendOps = {
    scalar::BlendPixel,       Avx2BlendRow, Avx2BlendRowMaster, scalar::MixPixel, Avx2MixRow,
    scalar::BlendPixelMaster, Avx2FillRow,
};

}  // namespace

const TBlendOps& Avx2BlendOps() { return g_avx2BlendOps; }

}  // namespace ks

#else

namespace ks {
const TBlendOps& Avx2BlendOps() { return ScalarBlendOps(); }
}  // namespace ks

#endif
