// Menu shortcuts and accelerator keys: a key with modifiers as one value,
// its text ("Ctrl+S") and back, and the '&' accelerator of a caption.
#pragma once

#include "framework/Classes.h"
#include "framework/Messages_win.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace fw {

// A key with modifiers: the low byte is the virtual key.
using TShortCut = std::uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

TShortCut ShortCut(WORD key, TShiftState shift);
// "Ctrl+S", "Shift+F10", "Alt+Del"; empty for scNone.
std::string ShortCutToText(TShortCut shortCut);
// The inverse of ShortCutToText (case-insensitive); scNone when not a shortcut.
TShortCut TextToShortCut(std::string_view text);
// Whether the key (a virtual key or character code) is the accelerator of the
// caption: the character after a single '&', compared without case.
bool IsAccel(WORD key, std::string_view caption);
// The caption without accelerator marks ("&&" stays as one '&').
std::string StripHotkey(std::string_view caption);
// The accelerator character of a caption, upper case; 0 when none.
wchar_t GetHotkey(std::string_view caption);

}  // namespace fw
