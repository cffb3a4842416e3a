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
// for the bilinear row VerticalPairs and HorizontalRow (see below), and on
// lanes of 16-bit integers (W, NB of them): Widen (NB bytes to lanes),
// Narrow (lanes, saturated, to NB bytes), LoadW, StoreW, Set16, Add16, Sub16,
// MulHiU16W, Srl16.
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
    const V div255 = S::template Srli<23>(S::Add(S::Add(S::template Slli<15>(ls), S::template Slli<7>(ls)), ls));
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

// ---------------------------------------------------------------------------
// Box blur. Rows: each row is copied with its end pixels repeated, then
// every byte is the sum of 2r + 1 bytes three apart, divided. Columns: a
// running sum per byte slides down the image; the rows it still has to
// subtract are kept in a ring of r + 1 copies, since the pass overwrites
// them. Sums stay below 65536 (k <= 257) and are divided by one
// multiply-high with a factor checked for every sum that can occur.

// x div k = (x * m) >> (16 + shift) for every x <= 255 * k.
inline bool DivisionByMultiply(int k, unsigned& m, int& shift)
{
    for (shift = 8; shift >= 0; --shift) {
        const std::uint64_t factor = ((std::uint64_t{1} << (16 + shift)) + static_cast<unsigned>(k) - 1) / k;
        if (factor > 0xFFFF)
            continue;
        bool exact = true;
        for (std::uint64_t x = 0; x <= 255u * static_cast<unsigned>(k) && exact; ++x)
            exact = ((x * factor) >> (16 + shift)) == x / static_cast<unsigned>(k);
        if (exact) {
            m = static_cast<unsigned>(factor);
            return true;
        }
    }
    return false;
}

// The box sums' division: x div k = (x * M) >> (16 + Shift), lane by lane
// or one at a time.
template <class S>
struct TBoxDivision {
    unsigned M;
    int Shift;
    typename S::W operator()(typename S::W sum) const
    {
        return S::Srl16(S::MulHiU16W(sum, S::Set16(static_cast<int>(M))), Shift);
    }
    std::uint8_t operator()(unsigned sum) const { return static_cast<std::uint8_t>((sum * M) >> (16 + Shift)); }
};

// The passes along every row of height rows of rowBytes bytes.
template <class S>
void BoxBlurRowsSimd(std::uint8_t* bits, int height, std::ptrdiff_t stride, std::size_t rowBytes, int radius,
                     int passes, TBoxDivision<S> divide)
{
    using W = typename S::W;
    const int k = 2 * radius + 1;
    const std::size_t bulk = rowBytes - rowBytes % S::NB;
    std::vector<std::uint8_t> extended(rowBytes + 6 * static_cast<std::size_t>(radius));
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < height; ++y) {
            std::uint8_t* line = bits + static_cast<std::ptrdiff_t>(y) * stride;
            std::uint8_t* e = extended.data();
            for (int t = 0; t < radius; ++t, e += 3)
                std::memcpy(e, line, 3);
            std::memcpy(e, line, rowBytes);
            e += rowBytes;
            for (int t = 0; t < radius; ++t, e += 3)
                std::memcpy(e, line + rowBytes - 3, 3);
            const std::uint8_t* x = extended.data();
            std::size_t j = 0;
            for (; j < bulk; j += S::NB) {
                W sum = S::Widen(x + j);
                for (int t = 1; t < k; ++t)
                    sum = S::Add16(sum, S::Widen(x + j + 3 * static_cast<std::size_t>(t)));
                S::Narrow(line + j, divide(sum));
            }
            for (; j < rowBytes; ++j) {
                unsigned sum = 0;
                for (int t = 0; t < k; ++t)
                    sum += x[j + 3 * static_cast<std::size_t>(t)];
                line[j] = divide(sum);
            }
        }
}

// The passes along every column.
template <class S>
void BoxBlurColumnsSimd(std::uint8_t* bits, int height, std::ptrdiff_t stride, std::size_t rowBytes, int radius,
                        int passes, TBoxDivision<S> divide)
{
    using W = typename S::W;
    const std::size_t bulk = rowBytes - rowBytes % S::NB;
    const auto row = [&](int y) { return bits + static_cast<std::ptrdiff_t>(y) * stride; };
    std::vector<std::uint16_t> sums(rowBytes);
    std::vector<std::uint8_t> ring(static_cast<std::size_t>(radius + 1) * rowBytes);
    const auto saved = [&](int y) { return ring.data() + static_cast<std::size_t>(y % (radius + 1)) * rowBytes; };
    for (int pass = 0; pass < passes; ++pass) {
        std::fill(sums.begin(), sums.end(), std::uint16_t{0});
        for (int t = -radius; t <= radius; ++t) {
            const std::uint8_t* line = row(std::clamp(t, 0, height - 1));
            std::size_t j = 0;
            for (; j < bulk; j += S::NB)
                S::StoreW(sums.data() + j, S::Add16(S::LoadW(sums.data() + j), S::Widen(line + j)));
            for (; j < rowBytes; ++j)
                sums[j] = static_cast<std::uint16_t>(sums[j] + line[j]);
        }
        for (int y = 0; y < height; ++y) {
            std::uint8_t* line = row(y);
            std::memcpy(saved(y), line, rowBytes);
            const bool more = y + 1 < height;
            const std::uint8_t* entering = row(std::min(y + 1 + radius, height - 1));
            const std::uint8_t* leaving = saved(std::max(y - radius, 0));
            std::size_t j = 0;
            for (; j < bulk; j += S::NB) {
                const W sum = S::LoadW(sums.data() + j);
                S::Narrow(line + j, divide(sum));
                if (more)
                    S::StoreW(sums.data() + j, S::Sub16(S::Add16(sum, S::Widen(entering + j)), S::Widen(leaving + j)));
            }
            for (; j < rowBytes; ++j) {
                line[j] = divide(static_cast<unsigned>(sums[j]));
                if (more)
                    sums[j] = static_cast<std::uint16_t>(sums[j] + entering[j] - leaving[j]);
            }
        }
    }
}

template <class S>
void BoxBlurGraySimd(std::uint8_t* bits, int width, int height, std::ptrdiff_t stride, int radius, int passes)
{
    const int k = 2 * radius + 1;
    TBoxDivision<S> divide{};
    if (bits == nullptr || width <= 0 || height <= 0 || radius < 1 || radius > 128 ||
        !DivisionByMultiply(k, divide.M, divide.Shift)) {
        ScalarKernels().BoxBlurGray(bits, width, height, stride, radius, passes);
        return;
    }
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(width);
    BoxBlurRowsSimd<S>(bits, height, stride, rowBytes, radius, passes, divide);
    BoxBlurColumnsSimd<S>(bits, height, stride, rowBytes, radius, passes + 1, divide);

    // Grey: (r + g + b) div 3 as (x * 43691) >> 17, exact up to 765.
    for (int y = 0; y < height; ++y) {
        std::uint8_t* p = bits + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x, p += 3)
            p[0] = p[1] = p[2] = static_cast<std::uint8_t>(((p[0] + p[1] + p[2]) * 43691u) >> 17);
    }
    S::Leave();
}

}  // namespace
}  // namespace ks
