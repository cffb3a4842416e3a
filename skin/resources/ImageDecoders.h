// Decoding of skin image files (PNG, JPEG, Windows bitmaps) into 32-bit
// straight-alpha pixels.
//
// Image files are untrusted input: every decoder checks the declared size
// against kMaxImageSide and against what the file can actually hold before
// it asks for pixel storage, and reports a damaged file with EImageError
// (never a crash or a read outside the data). The decoders write into a
// TImageSink, so the resource manager can decode straight into a bitmap and
// tests and fuzz targets into plain memory. The bitmap decoder and the
// shared types are the framework's (framework/ImageDecoding.h).
#pragma once

#include "framework/ImageDecoding.h"
#include "framework/Types.h"
#include "skin/render/Color32.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

// The shared ground lives with the framework's bitmap decoder.
using fw::CheckImageSize;
using fw::DecodeBmp;
using fw::EImageError;
using fw::IsBmpSignature;
using fw::kMaxImageSide;
using fw::TDecodeLimits;
using fw::TImageSink;
using fw::TPixelBuffer;

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

// True when data starts with the PNG signature.
bool IsPngSignature(std::span<const std::uint8_t> data);

}  // namespace ks
