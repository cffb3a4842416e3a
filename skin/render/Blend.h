// Per-pixel operators of the pixel core.
//
// Every operator works on straight-alpha 0xAARRGGBB pixels, per channel, with
// 16-bit intermediates and results clamped to 0..255. R(v) = (v + 128) >> 8.
//
//   BlendPixel(F, B)          Fa = 0 -> B, Fa = 255 -> F, else every channel
//                             R(F * Fa + B * (256 - Fa)).
//   BlendRow(F, B, n)         colour: R(F * Fa) + B - R(B * Fa),
//                             alpha:  Fa + Ba - R(Ba * Fa) (clamped: may reach 256).
//   BlendRowMaster(F, B, n, M) W = ((Fa + 1) * M) >> 8, every channel
//                             R(F * W + B * (256 - W)); W = 0 leaves B.
//   MixPixel(F, B, W)         W = 0 -> B, W = 255 -> F, else R(F * W + B * (256 - W)).
//   MixRow(F, B, n, W)        MixPixel of one colour over a row.
//   BlendPixelMaster(F, B, M) W = ((M + 1) * Fa) >> 8, then as BlendRowMaster.
//   FillRow(B, n, v)          plain store of v.
//
// The operators are bound once, at start-up, to the fastest implementation the
// processor and the OS support. KS_PIXEL_BINDING=scalar|sse2|avx2 forces one;
// a choice the processor lacks, or an unknown name, is refused on stderr
// ("KS_PIXEL_BINDING=avx2 is not supported by this processor") and the best
// supported binding is used.
#pragma once

#include "Color32.h"

#include <cstddef>
#include <string>
#include <vector>

namespace ks {

enum class TPixelBinding { pbScalar, pbSse2, pbAvx2 };

struct TBlendOps {
    TColor32 (*BlendPixel)(TColor32 f, TColor32 b);
    void (*BlendRow)(const TColor32* f, TColor32* b, std::size_t n);
    void (*BlendRowMaster)(const TColor32* f, TColor32* b, std::size_t n, unsigned master);
    TColor32 (*MixPixel)(TColor32 f, TColor32 b, unsigned weight);
    void (*MixRow)(TColor32 f, TColor32* b, std::size_t n, unsigned weight);
    TColor32 (*BlendPixelMaster)(TColor32 f, TColor32 b, unsigned master);
    void (*FillRow)(TColor32* b, std::size_t n, TColor32 v);
};

// The table of each implementation. The SIMD tables exist on x86 builds only;
// asking for one elsewhere gives the scalar table.
const TBlendOps& ScalarBlendOps();
const TBlendOps& Sse2BlendOps();
const TBlendOps& Avx2BlendOps();

// What the running processor and OS support.
bool CpuHasSse2();
bool CpuHasAvx2();  // includes the OS saving YMM state (xgetbv)

namespace detail {
// Starts as the scalar table (constant initialisation) and is rebound by a
// start-up initialiser, so a call made before that is merely slower.
extern const TBlendOps* g_boundBlendOps;
}  // namespace detail

// The bound table, chosen from the CPU's features and KS_PIXEL_BINDING.
inline const TBlendOps& BlendOps() { return *detail::g_boundBlendOps; }
TPixelBinding CurrentPixelBinding();
const char* PixelBindingName(TPixelBinding binding);
// Rebinds (for tests and benchmarks). Returns false, leaving the binding, when
// the processor does not support the choice.
bool SelectPixelBinding(TPixelBinding binding);
// The start-up decision: the binding `forced` names (null: none named) when
// `supported` has it, otherwise the best supported one with `refusal` set.
TPixelBinding ChooseStartupBinding(const char* forced, bool (*supported)(TPixelBinding), std::string& refusal);
// Every binding the running processor supports, scalar first.
std::vector<TPixelBinding> SupportedPixelBindings();
const TBlendOps& BlendOpsFor(TPixelBinding binding);

// Convenience calls through the bound table.
inline TColor32 BlendPixel(TColor32 f, TColor32 b) { return BlendOps().BlendPixel(f, b); }
inline void BlendRow(const TColor32* f, TColor32* b, std::size_t n) { BlendOps().BlendRow(f, b, n); }
inline void BlendRowMaster(const TColor32* f, TColor32* b, std::size_t n, unsigned master)
{
    BlendOps().BlendRowMaster(f, b, n, master);
}
inline TColor32 MixPixel(TColor32 f, TColor32 b, unsigned weight) { return BlendOps().MixPixel(f, b, weight); }
inline void MixRow(TColor32 f, TColor32* b, std::size_t n, unsigned weight) { BlendOps().MixRow(f, b, n, weight); }
inline TColor32 BlendPixelMaster(TColor32 f, TColor32 b, unsigned master)
{
    return BlendOps().BlendPixelMaster(f, b, master);
}
inline void FillRow(TColor32* b, std::size_t n, TColor32 v) { BlendOps().FillRow(b, n, v); }

}  // namespace ks
