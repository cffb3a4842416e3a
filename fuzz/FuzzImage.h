// Shared by the image decoder fuzz targets: decodes into plain memory with a
// pixel budget low enough to keep every run fast. Refusals are expected;
// anything else that escapes (a crash, a sanitizer report, another exception
// type) is a finding.
#pragma once

#include "skin/resources/ImageDecoders.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace ks::fuzz {

inline TDecodeLimits FuzzLimits()
{
    TDecodeLimits limits;
    limits.MaxPixels = 2048u * 2048u;
    return limits;
}

template <class Decode>
void RunDecoder(const std::uint8_t* data, std::size_t size, Decode decode)
{
    TPixelBuffer image;
    try {
        decode(std::span<const std::uint8_t>(data, size), image, FuzzLimits());
    } catch (const EImageError&) {
    }
}

}  // namespace ks::fuzz
