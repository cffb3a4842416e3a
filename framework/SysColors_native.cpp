// ColorToRGB for builds without a window system (host tools, native tests):
// system colours resolve to a fixed default palette.
#include <iterator>

#include "Types.h"

namespace fw {

namespace {

constexpr TColor kDefaultSysColors[] = {
    RGBColor(200, 200, 200),  // scroll bar
    RGBColor(0, 0, 0),        // background
    RGBColor(153, 180, 209),  // active caption
    RGBColor(191, 205, 219),  // inactive caption
    RGBColor(240, 240, 240),  // menu
    RGBColor(255, 255, 255),  // window
    RGBColor(100, 100, 100),  // window frame
    RGBColor(0, 0, 0),        // menu text
    RGBColor(0, 0, 0),        // window text
    RGBColor(0, 0, 0),        // caption text
    RGBColor(180, 180, 180),  // active border
    RGBColor(244, 247, 252),  // inactive border
    RGBColor(171, 171, 171),  // app workspace
    RGBColor(51, 153, 255),   // highlight
    RGBColor(255, 255, 255),  // highlight text
    RGBColor(240, 240, 240),  // button face
    RGBColor(160, 160, 160),  // button shadow
    RGBColor(109, 109, 109),  // grey text
    RGBColor(0, 0, 0),        // button text
    RGBColor(67, 78, 84),     // inactive caption text
    RGBColor(255, 255, 255),  // button highlight
    RGBColor(105, 105, 105),  // 3D dark shadow
    RGBColor(227, 227, 227),  // 3D light
    RGBColor(0, 0, 0),        // info text
    RGBColor(255, 255, 225),  // info background
    RGBColor(0, 0, 0),        // (unused index 25)
    RGBColor(0, 102, 204),    // hot light
    RGBColor(185, 209, 234),  // gradient active caption
    RGBColor(215, 228, 242),  // gradient inactive caption
    RGBColor(51, 153, 255),   // menu highlight
    RGBColor(240, 240, 240),  // menu bar
};

}  // namespace

TColor ColorToRGB(TColor color)
{
    if (color < 0) {
        const auto index = static_cast<std::uint32_t>(color) & 0xFFu;
        if (index < std::size(kDefaultSysColors))
            return kDefaultSysColors[index];
        return clBlack;
    }
    return color & 0x00FFFFFF;
}

}  // namespace fw
