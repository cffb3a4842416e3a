// The pixel patterns of the sample images in tests/data/images: the sample
// generator (MakeImageSamples.cpp) writes them, the decoder tests expect them.
#pragma once

#include <cstdint>

namespace ks::samples {

// Small images: odd sizes so that row padding and partial bytes matter.
inline constexpr int kWidth = 7;
inline constexpr int kHeight = 5;

// 8-bit channels of the colour pattern.
inline unsigned Red(int x, int y) { return static_cast<unsigned>(30 * x + 7 * y + 5) & 0xFFu; }
inline unsigned Green(int x, int y) { return static_cast<unsigned>(200 - 25 * y + 3 * x) & 0xFFu; }
inline unsigned Blue(int x, int y) { return static_cast<unsigned>(17 * (x + y) + 40) & 0xFFu; }
inline unsigned Alpha(int x, int y) { return static_cast<unsigned>((x * 37 + y * 53) % 256); }

// 16-bit channels whose high byte is the 8-bit pattern and whose low byte
// differs, so that a decoder taking the wrong byte is caught.
inline unsigned Wide(unsigned v8, int x, int y)
{
    return (v8 << 8) | ((static_cast<unsigned>(x * 11 + y * 5) + 0x5Au) & 0xFFu);
}

// A stored grey sample of the given bit depth, and its 8-bit level.
inline unsigned GreySample(int x, int y, int bitDepth)
{
    const unsigned v = static_cast<unsigned>(x * 3 + y * 5 + 1);
    return bitDepth >= 8 ? (v * 9) & 0xFFu : v % (1u << bitDepth);
}
inline unsigned GreyLevel(unsigned sample, int bitDepth)
{
    switch (bitDepth) {
    case 1:
        return sample * 255u;
    case 2:
        return sample * 85u;
    case 4:
        return sample * 17u;
    default:
        return sample;
    }
}

// Palette index pattern for a palette of the given number of entries.
inline unsigned PaletteIndex(int x, int y, unsigned entries) { return static_cast<unsigned>(x + 2 * y) % entries; }
inline unsigned PaletteRed(unsigned i) { return (i * 41 + 3) & 0xFFu; }
inline unsigned PaletteGreen(unsigned i) { return (255 - i * 23) & 0xFFu; }
inline unsigned PaletteBlue(unsigned i) { return (i * 67 + 100) & 0xFFu; }

// The run-length samples leave two pixels of the top row out (a delta
// jump): they keep palette entry 0.
inline unsigned RleIndex(int x, int y, unsigned entries)
{
    return (y == 0 && (x == 2 || x == 3)) ? 0u : PaletteIndex(x, y, entries);
}

// Smooth pattern for lossy JPEG samples (16 x 16).
inline constexpr int kJpegSize = 16;
inline unsigned JpegRed(int x, int y) { return static_cast<unsigned>(40 + 8 * x + 2 * y); }
inline unsigned JpegGreen(int x, int y) { return static_cast<unsigned>(200 - 6 * y); }
inline unsigned JpegBlue(int x, int y) { return static_cast<unsigned>(90 + 4 * x + 4 * y); }

}  // namespace ks::samples
