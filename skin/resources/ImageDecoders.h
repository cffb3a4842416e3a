// Decoding of skin image files (PNG, JPEG, Windows bitmaps) into 32-bit
// straight-alpha pixels.
//
// Image files are untrusted input: every decoder checks the declared size
// against kMaxImageSide and against what the file can actually hold before
// it asks for pixel storage, and reports a damaged file with EImageError
// (never a crash or a read outside the data). The decoders write into a
// TImageSink, so the resource manager can decode straight into a bitmap and
// tests and fuzz targets into plain memory.
#pragma once

#include "framework/Types.h"
#include "skin/render/Color32.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

// A file that cannot be decoded (damaged, truncated, unsupported or too
// large). The message says what is wrong with it.
class EImageError : public fw::EFrameworkError {
public:
    using fw::EFrameworkError::EFrameworkError;
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
    virtual TColor32* SetSize(int width, int height) = 0;
};

// Plain-memory sink for tests, tools and fuzz targets.
class TPixelBuffer : public TImageSink {
public:
    TColor32* SetSize(int width, int height) override;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const std::vector<TColor32>& Pixels() const { return m_pixels; }
    TColor32 PixelAt(int x, int y) const
    {
        return m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x)];
    }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<TColor32> m_pixels;
};

// What a PNG file says about transparency.
enum class TPngTransparency {
    None,         // no transparency chunk and no alpha channel
    SingleColor,  // one colour (or palette entries) marked fully transparent
    Partial,      // an alpha channel (grey+alpha, RGBA) or a palette with partial alpha
};

// PNG through libpng. Pixels come out with their stored colour; alpha is 255
// except where the transparency mode says otherwise:
//  - SingleColor: every pixel whose 8-bit colour equals a transparent colour
//    gets alpha 0 (colour bytes kept);
//  - Partial: the alpha sample (grey+alpha, RGBA) or the palette entry's
//    alpha.
// 16-bit samples are reduced to their high byte; gamma is not applied.
TPngTransparency DecodePng(std::span<const std::uint8_t> data, TImageSink& sink, const TDecodeLimits& limits = {});

// JPEG through libjpeg(-turbo): greyscale, colour and CMYK/YCCK files, every
// pixel opaque. A truncated file is an error.
void DecodeJpeg(std::span<const std::uint8_t> data, TImageSink& sink, const TDecodeLimits& limits = {});

// Windows bitmap files ("BM"). A 32-bit uncompressed file is read directly,
// its alpha bytes included; every other depth (1, 4, 8 with a palette, RLE4,
// RLE8, 16, 24, 32 with bit fields) gives opaque pixels.
void DecodeBmp(std::span<const std::uint8_t> data, TImageSink& sink, const TDecodeLimits& limits = {});

// True when data starts with the two bytes "BM".
bool IsBmpSignature(std::span<const std::uint8_t> data);
// True when data starts with the PNG signature.
bool IsPngSignature(std::span<const std::uint8_t> data);

// Throws EImageError unless 0 < width, height <= limits and width x height
// fits the pixel budget. what names the format for the message ("PNG").
void CheckImageSize(std::string_view what, std::int64_t width, std::int64_t height, const TDecodeLimits& limits);

}  // namespace ks
