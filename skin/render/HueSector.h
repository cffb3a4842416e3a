// Hue sectors, shared by the scalar colour shifts: a colour whose hue lies in
// sector 0..5 (a sixth of the turn each, from red) has its largest channel,
// its middle one and its smallest one in a fixed order. Scalar code only: the
// SIMD bindings select lanes instead and must not instantiate this.
#pragma once

namespace ks {

// Red, green and blue from the largest (hi), middle and smallest (lo)
// channel of a colour in the given sector.
inline void SectorToRgb(int sector, int hi, int mid, int lo, int& r, int& g, int& b)
{
    // Per sector: which of hi (0), mid (1), lo (2) is red, green, blue.
    static constexpr unsigned char kOrder[6][3] = {{0, 1, 2}, {1, 0, 2}, {2, 0, 1}, {2, 1, 0}, {1, 2, 0}, {0, 2, 1}};
    const int channel[3] = {hi, mid, lo};
    const unsigned char* order = kOrder[sector];
    r = channel[order[0]];
    g = channel[order[1]];
    b = channel[order[2]];
}

}  // namespace ks
