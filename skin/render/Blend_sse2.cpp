// SSE2 binding of the per-pixel operators (compiled with -msse2). Four pixels
// per step, each channel widened to a 16-bit lane. Bit-exact with the scalar
// reference: every sum stays below 65536, so 16-bit wrap-around of the
// intermediate products cancels out.
#include "Blend.h"
#include "BlendScalar.h"
#include "BlendSimd.h"

#if KS_PIXEL_X86

#include <emmintrin.h>

#include <cstring>

namespace ks {
namespace {

inline __m128i AlphaLanes(__m128i v16) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v16, 0xFF), 0xFF); }

// BlendRow on four pixels.
inline __m128i BlendRow4(__m128i f, __m128i b)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i round = _mm_set1_epi16(128);
    // The alpha lane of F is replaced by 256 so that R(256 * Fa) = Fa gives
    // the alpha formula Fa + Ba - R(Ba * Fa) from the colour formula.
    const __m128i colourMask = _mm_set1_epi64x(0x0000FFFFFFFFFFFFLL);
    const __m128i alpha256 = _mm_set1_epi64x(0x0100000000000000LL);

    __m128i fl = _mm_unpacklo_epi8(f, zero);
    __m128i fh = _mm_unpackhi_epi8(f, zero);
    const __m128i bl = _mm_unpacklo_epi8(b, zero);
    const __m128i bh = _mm_unpackhi_epi8(b, zero);
    const __m128i al = AlphaLanes(fl);
    const __m128i ah = AlphaLanes(fh);
    fl = _mm_or_si128(_mm_and_si128(fl, colourMask), alpha256);
    fh = _mm_or_si128(_mm_and_si128(fh, colourMask), alpha256);

    const __m128i tfl = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(fl, al), round), 8);
    const __m128i tfh = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(fh, ah), round), 8);
    const __m128i tbl = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(bl, al), round), 8);
    const __m128i tbh = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(bh, ah), round), 8);
    const __m128i rl = _mm_sub_epi16(_mm_add_epi16(tfl, bl), tbl);
    const __m128i rh = _mm_sub_epi16(_mm_add_epi16(tfh, bh), tbh);
    return _mm_packus_epi16(rl, rh);  // clamps the alpha of (255, 255) from 256
}

// ((F - B) * W + B * 256 + 128) >> 8 on 16-bit lanes.
inline __m128i Lerp16(__m128i f, __m128i b, __m128i w)
{
    const __m128i round = _mm_set1_epi16(128);
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(f, b), w), _mm_slli_epi16(b, 8));
    return _mm_srli_epi16(_mm_add_epi16(t, round), 8);
}

// Every pixel lerped with its own 16-bit weights wl (low two) and wh (high two).
inline __m128i Lerp4(__m128i f, __m128i b, __m128i wl, __m128i wh)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i rl = Lerp16(_mm_unpacklo_epi8(f, zero), _mm_unpacklo_epi8(b, zero), wl);
    const __m128i rh = Lerp16(_mm_unpackhi_epi8(f, zero), _mm_unpackhi_epi8(b, zero), wh);
    return _mm_packus_epi16(rl, rh);
}

// BlendRowMaster on four pixels: W = ((Fa + 1) * M) >> 8 per pixel; W = 0
// (also for Fa = 0) gives B through the same formula.
inline __m128i BlendRowMaster4(__m128i f, __m128i b, __m128i master)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi16(1);
    const __m128i fl = _mm_unpacklo_epi8(f, zero);
    const __m128i fh = _mm_unpackhi_epi8(f, zero);
    const __m128i wl = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(AlphaLanes(fl), one), master), 8);
    const __m128i wh = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(AlphaLanes(fh), one), master), 8);
    const __m128i rl = Lerp16(fl, _mm_unpacklo_epi8(b, zero), wl);
    const __m128i rh = Lerp16(fh, _mm_unpackhi_epi8(b, zero), wh);
    return _mm_packus_epi16(rl, rh);
}

inline __m128i Load4(const TColor32* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store4(TColor32* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// A row's last n < 4 pixels go through the same kernel via a small buffer,
// so no byte outside the row is read or written.
template <typename Kernel>
inline void Tail(const TColor32* f, TColor32* b, std::size_t n, Kernel kernel)
{
    if (n == 0)
        return;
    alignas(16) TColor32 fb[4] = {0, 0, 0, 0};
    alignas(16) TColor32 bb[4] = {0, 0, 0, 0};
    std::memcpy(fb, f, n * sizeof(TColor32));
    std::memcpy(bb, b, n * sizeof(TColor32));
    Store4(bb, kernel(Load4(fb), Load4(bb)));
    std::memcpy(b, bb, n * sizeof(TColor32));
}

void Sse2BlendRow(const TColor32* f, TColor32* b, std::size_t n)
{
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i r0 = BlendRow4(Load4(f + i), Load4(b + i));
        const __m128i r1 = BlendRow4(Load4(f + i + 4), Load4(b + i + 4));
        Store4(b + i, r0);
        Store4(b + i + 4, r1);
    }
    for (; i + 4 <= n; i += 4)
        Store4(b + i, BlendRow4(Load4(f + i), Load4(b + i)));
    Tail(f + i, b + i, n - i, BlendRow4);
}

void Sse2BlendRowMaster(const TColor32* f, TColor32* b, std::size_t n, unsigned master)
{
    const __m128i m = _mm_set1_epi16(static_cast<short>(master));
    const auto kernel = [m](__m128i fv, __m128i bv) { return BlendRowMaster4(fv, bv, m); };
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4)
        Store4(b + i, kernel(Load4(f + i), Load4(b + i)));
    Tail(f + i, b + i, n - i, kernel);
}

void Sse2FillRow(TColor32* b, std::size_t n, TColor32 v)
{
    const __m128i vv = _mm_set1_epi32(static_cast<int>(v));
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4)
        Store4(b + i, vv);
    for (; i < n; ++i)
        b[i] = v;
}

void Sse2MixRow(TColor32 f, TColor32* b, std::size_t n, unsigned weight)
{
    if (weight == 0)
        return;
    if (weight >= 255) {
        Sse2FillRow(b, n, f);
        return;
    }
    const __m128i w = _mm_set1_epi16(static_cast<short>(weight));
    const __m128i fv = _mm_set1_epi32(static_cast<int>(f));
    const auto kernel = [w](__m128i fx, __m128i bx) { return Lerp4(fx, bx, w, w); };
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4)
        Store4(b + i, kernel(fv, Load4(b + i)));
    if (i < n) {
        const TColor32 fs[4] = {f, f, f, f};
        Tail(fs, b + i, n - i, kernel);
    }
}

const TBlendOps g_sse2BlendOps = {
    scalar::BlendPixel,       Sse2BlendRow, Sse2BlendRowMaster, scalar::MixPixel, Sse2MixRow,
    scalar::BlendPixelMaster, Sse2FillRow,
};

}  // namespace

const TBlendOps& Sse2BlendOps() { return g_sse2BlendOps; }

}  // namespace ks

#else

namespace ks {
const TBlendOps& Sse2BlendOps() { return ScalarBlendOps(); }
}  // namespace ks

#endif
