// The decisions a form makes about its window, as plain functions of plain
// data: the frame styles for its border settings, where a centred form goes
// and where a hint window is kept on the desktop.
#pragma once

#include "framework/Forms.h"
#include "framework/Types.h"

#include <cstdint>

namespace fw {

// Window style bits with the values Windows gives them (Forms_win.cpp checks
// that they match).
namespace wsbits {
inline constexpr std::uint32_t kPopup = 0x80000000u;
inline constexpr std::uint32_t kCaption = 0x00C00000u;
inline constexpr std::uint32_t kBorder = 0x00800000u;
inline constexpr std::uint32_t kSysMenu = 0x00080000u;
inline constexpr std::uint32_t kThickFrame = 0x00040000u;
inline constexpr std::uint32_t kMinimizeBox = 0x00020000u;
inline constexpr std::uint32_t kMaximizeBox = 0x00010000u;
inline constexpr std::uint32_t kExDlgModalFrame = 0x00000001u;
inline constexpr std::uint32_t kExTopmost = 0x00000008u;
inline constexpr std::uint32_t kExToolWindow = 0x00000080u;
inline constexpr std::uint32_t kExWindowEdge = 0x00000100u;
inline constexpr std::uint32_t kExContextHelp = 0x00000400u;
}  // namespace wsbits

struct TWindowStyles {
    std::uint32_t Style = 0;
    std::uint32_t ExStyle = 0;
};

// The frame, caption, system-menu and box styles a form adds to its window
// for its border style and icons; a top-level form without a border is a
// pop-up.
TWindowStyles FormFrameStyles(TFormBorderStyle border, TBorderIcons icons, TFormStyle formStyle, bool topLevel);

// Where a form of the given size goes when it is centred on an area: the
// centre, but never left of or above the desktop.
TPoint PlaceCentred(const TRect& area, TSize size, const TRect& desktop);

// A hint's rectangle moved (not resized) so that it lies on the desktop; one
// larger than the desktop keeps its top-left corner on it.
TRect KeepOnDesktop(TRect r, const TRect& desktop);

}  // namespace fw
