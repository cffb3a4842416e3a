#include "skin/resources/ImageDecoders.h"

#include <cstring>

namespace ks {

bool IsPngSignature(std::span<const std::uint8_t> data)
{
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return data.size() >= 8 && std::memcmp(data.data(), kSignature, 8) == 0;
}

}  // namespace ks
