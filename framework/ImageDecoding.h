// The common ground of the image decoders: their error, their limits and the
// sink they write 32-bit straight-alpha pixels (0xAARRGGBB) into; and the
// Windows bitmap decoder, which needs no library and is shared by the
// framework's TBitmap and the skin's image files.
//
// Image files are untrusted input: every decoder checks the declared size
// against the limits and against what the file can actually hold before it
// asks for pixel storage, and reports a damaged file with EImageError (never a
// crash or a read outside the data).
#pragma once

#include "framework/Types.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// A file that cannot be decoded (damaged, truncated, unsupported or too
// large). The message says what is wrong with it.
class EImageError : public EFrameworkError {
public:
    using EFrameworkError::EFrameworkError;
};

// No image side may exceed this many pixels: a header that claims more is
// refused before any storage is asked for.
inline constexpr int kMaxImageSide = 16384;

struct TDecodeLimits {
    int MaxSide = kMaxImageSide;
    // Width x height; the fuzz targets lower it to keep runs fast.
    std::uint64_t MaxPixels = static_cast<std::uint64_t>(kMaxImageSide) * kMaxImageSide;
};

// Receives the decoded pixels. SetSize is called once, after the header has
// been checked, and returns storage for width x height pixels, rows top to
// bottom without padding. It may throw (the decoder then releases what it
// holds and lets the exception pass).
class TImageSink {
public:
    virtual ~TImageSink() = default;
    virtual std::uint32_t* SetSize(int width, int height) = 0;
};

// Plain-memory sink for tests, tools and fuzz targets.
class TPixelBuffer : public TImageSink {
public:
    std::uint32_t* SetSize(int width, int height) override;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const std::vector<std::uint32_t>& Pixels() const { return m_pixels; }
    std::uint32_t PixelAt(int x, int y) const
    {
        return m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x)];
    }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint32_t> m_pixels;
};

// What a bitmap file said about itself.
struct TBmpInfo {
    int BitCount = 0;  // bits per pixel as stored: 1, 4, 8, 16, 24 or 32
};

// Windows bitmap files ("BM"). A 32-bit uncompressed file is read directly,
// its alpha bytes included; every other depth (1, 4, 8 with a palette, RLE4,
// RLE8, 16, 24, 32 with bit fields) gives opaque pixels.
TBmpInfo DecodeBmp(std::span<const std::uint8_t> data, TImageSink& sink, const TDecodeLimits& limits = {});

// True when data starts with the two bytes "BM".
bool IsBmpSignature(std::span<const std::uint8_t> data);

// Throws EImageError unless 0 < width, height <= limits and width x height
// fits the pixel budget. what names the format for the message ("PNG").
void CheckImageSize(std::string_view what, std::int64_t width, std::int64_t height, const TDecodeLimits& limits);

}  // namespace fw
