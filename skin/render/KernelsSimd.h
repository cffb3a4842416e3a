// The SIMD kernels, written once over a small vector vocabulary and compiled
// by Kernels_sse2.cpp and Kernels_avx2.cpp, each with its own instruction-set
// flags. Include it from those two files only: everything here has internal
// linkage, so no function compiled for AVX2 can stand in for a baseline one.
//
// A vocabulary S provides, on lanes of 32-bit integers (V) and floats:
//   N, Load, Store, Set, Zero, Add, Sub, And, Or, AndNot(a, b) = ~a & b,
//   Srli/Slli/Srai<k>, CmpEq, CmpGt (signed), Max/Min (values within int16),
//   MulLo16 (both factors and the product within 0..65535), Madd16
//   (pairwise 16-bit multiply-add), MulHiU16, DivTrunc (quotient of values
//   below 2^24, truncated toward zero),
// and for the bilinear row: VerticalPairs and HorizontalRow (see below).
#pragma once

#include "skin/render/Kernels.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace ks {
namespace {

template <class S>
typename S::V Select(typename S::V mask, typename S::V a, typename S::V b)
{
    return S::Or(S::And(mask, a), S::AndNot(mask, b));
}

// ---------------------------------------------------------------------------
// HSL shift, lane by lane the arithmetic of ShiftPixelHsl. Divisions are done
// in single precision: numerators stay below 2^16 and divisors below 2^11,
// so the correctly rounded quotient never reaches the next integer and the
// truncation equals integer division.

template <class S>
struct THslShiftConsts {
    typename S::V Hue, Sat, SatNeg, Light;
    bool SatPositive;
};

template <class S>
typename S::V ShiftHslLanes(typename S::V p, const THslShiftConsts<S>& k)
{
    using V = typename S::V;
    const V zero = S::Zero();
    const V byte = S::Set(255);
    const V one = S::Set(1);

    const V a = S::template Srli<24>(p);
    const V r = S::And(S::template Srli<16>(p), byte);
    const V g = S::And(S::template Srli<8>(p), byte);
    const V b = S::And(p, byte);

    // To H, S, L.
    const V cmax = S::Max(S::Max(r, g), b);
    const V cmin = S::Min(S::Min(r, g), b);
    const V sum = S::Add(cmax, cmin);
    const V delta = S::Sub(cmax, cmin);
    const V grey = S::CmpEq(delta, zero);
    V l = S::template Srli<1>(sum);
    // Divisors are made 1 where the colour is grey; those lanes are zeroed.
    const V high = S::CmpEq(S::And(sum, S::Set(0x100)), S::Set(0x100));
    const V sDiv = S::Or(Select<S>(high, S::Sub(S::Set(510), sum), sum), S::And(grey, one));
    V s = S::AndNot(grey, S::DivTrunc(S::MulLo16(delta, byte), sDiv));

    // (X - Y) * 65025 div (delta * 1530) is (X - Y) * 255 div (delta * 6).
    const V isR = S::CmpEq(r, cmax);
    const V isG = S::AndNot(isR, S::CmpEq(g, cmax));
    const V isB = S::AndNot(S::Or(isR, isG), S::Set(-1));
    const V diff = Select<S>(isR, S::Sub(g, b), Select<S>(isG, S::Sub(b, r), S::Sub(r, g)));
    const V offset = S::Or(S::And(isG, S::Set(85)), S::And(isB, S::Set(170)));
    const V hDiv = S::Or(S::MulLo16(delta, S::Set(6)), S::And(grey, one));
    V hh = S::Add(S::DivTrunc(S::Sub(S::template Slli<8>(diff), diff), hDiv), offset);
    // A negative hue wraps like the byte it is stored in: (hh - 2) and 255.
    hh = S::Add(hh, S::template Slli<1>(S::template Srai<31>(hh)));
    V h = S::AndNot(grey, S::And(hh, byte));

    // The shift.
    h = S::And(S::Add(h, k.Hue), byte);
    if (k.SatPositive) {
        s = S::Min(S::Add(s, k.Sat), byte);
    } else {
        // s * |sat| <= 25500, and (x * 5243) >> 19 is x div 100 up to 43698.
        const V q = S::template Srli<3>(S::MulHiU16(S::MulLo16(s, k.SatNeg), S::Set(5243)));
        s = S::Sub(s, q);
    }
    l = S::Max(S::Min(S::Add(l, k.Light), byte), zero);

    // Back to RGB.
    const V below = S::CmpGt(S::Set(128), l);
    const V vLow = S::template Srli<8>(S::MulLo16(l, S::Add(s, S::Set(256))));
    const V ls = S::MulLo16(l, s);
    // div255(x) = (x * 32897) >> 23, with x * 32897 = (x << 15) + (x << 7) + x.
    const V div255 = S::template Srli<23>(
        S::Add(S::Add(S::template Slli<15>(ls), S::template Slli<7>(ls)), ls));
    const V v = Select<S>(below, vLow, S::Sub(S::Add(l, s), div255));
    const V m = S::Sub(S::Add(l, l), v);
    const V h6 = S::MulLo16(h, S::Set(6));
    const V f = S::template Srli<8>(S::Madd16(S::Sub(v, m), S::And(h6, byte)));
    const V m1 = S::Add(m, f);
    const V m2 = S::Sub(v, f);
    const V sector = S::template Srli<8>(h6);
    const V s0 = S::CmpEq(sector, zero);
    const V s1 = S::CmpEq(sector, one);
    const V s2 = S::CmpEq(sector, S::Set(2));
    const V s3 = S::CmpEq(sector, S::Set(3));
    const V s4 = S::CmpEq(sector, S::Set(4));
    // sector 0 (v, m1, m), 1 (m2, v, m), 2 (m, v, m1), 3 (m, m2, v),
    // 4 (m1, m, v), 5 (v, m, m2)
    V rr = Select<S>(s1, m2, Select<S>(S::Or(s2, s3), m, Select<S>(s4, m1, v)));
    V gg = Select<S>(s0, m1, Select<S>(S::Or(s1, s2), v, Select<S>(s3, m2, m)));
    V bb = Select<S>(S::Or(s0, s1), m, Select<S>(s2, m1, Select<S>(S::Or(s3, s4), v, m2)));
    rr = S::Max(S::Min(rr, byte), zero);
    gg = S::Max(S::Min(gg, byte), zero);
    bb = S::Max(S::Min(bb, byte), zero);
    V out = S::Or(S::Or(S::template Slli<24>(a), S::template Slli<16>(rr)), S::Or(S::template Slli<8>(gg), bb));
    // Black (v = 0) keeps its alpha; transparent pixels stay as they were.
    out = S::AndNot(S::CmpEq(v, zero), out);
    out = S::Or(out, S::template Slli<24>(a));
    return Select<S>(S::CmpEq(a, zero), p, out);
}

template <class S>
void ShiftHslRowSimd(TColor32* p, std::size_t n, int hue, int sat, int light)
{
    THslShiftConsts<S> k;
    k.Hue = S::Set((hue % 256 + 256) % 256);
    sat = std::clamp(sat, -100, 255);
    k.SatPositive = sat > 0;
    k.Sat = S::Set(sat);
    k.SatNeg = S::Set(-sat);
    k.Light = S::Set(std::clamp(light, -255, 255));
    std::size_t i = 0;
    for (; i + S::N <= n; i += S::N)
        S::Store(p + i, ShiftHslLanes<S>(S::Load(p + i), k));
    if (i < n) {
        TColor32 tail[S::N] = {};
        std::memcpy(tail, p + i, (n - i) * sizeof(TColor32));
        S::Store(tail, ShiftHslLanes<S>(S::Load(tail), k));
        std::memcpy(p + i, tail, (n - i) * sizeof(TColor32));
    }
    S::Leave();
}

// ---------------------------------------------------------------------------
// Bilinear row. When four pixels have equal alpha the sample is
// ((256 - wx) * Vk + wx * Vk1 + 32768) >> 16 per channel with the vertical
// mixes Vk = (256 - wy) * c(k, y0) + wy * c(k, y0 + 1) <= 65280: the same
// sum of products as the reference, regrouped. The vertical mixes of the
// row's columns are computed once (VerticalPairs: column k holds Vk and
// Vk+1 channel by channel, biased by -32768 into int16), then every sample is
// one pairwise multiply-add (HorizontalRow). Alpha rides along: four equal
// alphas mix to themselves. Columns whose four pixels differ in alpha are
// left to the reference, as are the row's last samples and rows that step
// backwards or sample so sparsely that the column mixes would cost more than
// the samples.

inline std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

template <class S>
void LinearRowSimd(const TSampleSource& src, std::int64_t u, std::int64_t du, std::int64_t v, TColor32* out,
                   std::size_t n)
{
    constexpr std::int64_t kMaxColumns = 1 << 14;
    const std::int64_t xFirst = u >> 16;
    const std::int64_t xLast = n > 0 ? (u + static_cast<std::int64_t>(n - 1) * du) >> 16 : xFirst;
    const std::int64_t columns = xLast - xFirst + 1;
    if (n < 2 * S::N || n > (std::size_t{1} << 24) || du <= 0 || du >= (std::int64_t{1} << 24) ||
        columns > 2 * static_cast<std::int64_t>(n) + 64 || columns > kMaxColumns || xFirst < -(1 << 30) ||
        xFirst > (1 << 30)) {
        ScalarKernels().LinearRow(src, u, du, v, out, n);
        return;
    }
    const int count = static_cast<int>(columns);
    const int x = static_cast<int>(xFirst);
    const int y = static_cast<int>(v >> 16);
    const auto wy = static_cast<unsigned>(((v & 0xFFFF) + 128) >> 8);

    // Two source rows over count + 2 columns (the pairs read one beyond),
    // the column mixes and which columns the reference must take.
    constexpr int kStackColumns = 1024;
    TColor32 stackRows[2 * (kStackColumns + 2)];
    alignas(16) std::int16_t stackPairs[8 * (kStackColumns + 2)];
    std::vector<TColor32> heapRows;
    std::vector<std::int16_t> heapPairs;
    TColor32* rows = stackRows;
    std::int16_t* pairs = stackPairs;
    if (count > kStackColumns) {
        heapRows.resize(2 * (static_cast<std::size_t>(count) + 2));
        heapPairs.resize(8 * (static_cast<std::size_t>(count) + 2));
        rows = heapRows.data();
        pairs = heapPairs.data();
    }
    TColor32* row0 = rows;
    TColor32* row1 = rows + count + 2;
    detail::FetchRow(src, x, y, static_cast<std::size_t>(count) + 2, row0);
    detail::FetchRow(src, x, y + 1, static_cast<std::size_t>(count) + 2, row1);
    S::VerticalPairs(row0, row1, count, wy, pairs);

    const std::size_t bulk = n - n % S::N;
    const auto uRel = static_cast<std::uint32_t>(u - (xFirst << 16));
    const auto step = static_cast<std::uint32_t>(du);
    S::HorizontalRow(pairs, uRel, step, out, bulk);
    S::Leave();

    for (int k = 0; k < count; ++k) {
        const TColor32 p = row0[k];
        if (((p ^ row1[k]) | (p ^ row0[k + 1]) | (p ^ row1[k + 1])) >> 24 == 0)
            continue;
        const std::int64_t from = std::max<std::int64_t>(CeilDiv((std::int64_t{k} << 16) - uRel, du), 0);
        const std::int64_t to =
            std::min<std::int64_t>(CeilDiv((std::int64_t{k + 1} << 16) - uRel, du), static_cast<std::int64_t>(bulk));
        for (std::int64_t i = from; i < to; ++i)
            out[i] = SampleBilinear(src, u + i * du, v);
    }
    for (std::size_t i = bulk; i < n; ++i)
        out[i] = SampleBilinear(src, u + static_cast<std::int64_t>(i) * du, v);
}

} // namespace
} // namespace ks
