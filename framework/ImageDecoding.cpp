#include "framework/ImageDecoding.h"

namespace fw {

std::uint32_t* TPixelBuffer::SetSize(int width, int height)
{
    m_pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    m_width = width;
    m_height = height;
    return m_pixels.data();
}

bool IsBmpSignature(std::span<const std::uint8_t> data) { return data.size() >= 2 && data[0] == 'B' && data[1] == 'M'; }

void CheckImageSize(std::string_view what, std::int64_t width, std::int64_t height, const TDecodeLimits& limits)
{
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width <= 0 || height <= 0)
        throw EImageError(std::string(what) + " image has an invalid size of " + size + " pixels");
    if (width > limits.MaxSide || height > limits.MaxSide)
        throw EImageError(std::string(what) + " image of " + size + " pixels exceeds the limit of " +
                          std::to_string(limits.MaxSide) + " pixels on a side");
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > limits.MaxPixels)
        throw EImageError(std::string(what) + " image of " + size + " pixels is too large");
}

}  // namespace fw
