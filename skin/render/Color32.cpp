#include "Color32.h"

namespace ks {

TColor32 ColorToColor32(std::int32_t w)
{
    std::uint32_t rgb = static_cast<std::uint32_t>(w);
    if (w < 0)
        rgb = SystemColorRGB(static_cast<int>(rgb & 0xFFu));
    // 0x00BBGGRR -> 0xFFRRGGBB
    return 0xFF000000u | ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu);
}

}  // namespace ks
