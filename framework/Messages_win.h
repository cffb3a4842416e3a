// Window messages as the framework passes them around, and the framework's own
// control messages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

namespace fw {

// One message on its way through a control's WindowProc. Handlers set Result.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// A replaceable message handler (a control's WindowProc). Copying one keeps the
// handler it wraps, so a hook saves the current one, installs its own and puts
// the saved one back when it goes.
using TWndMethod = std::function<void(TMessage&)>;

// Signed coordinates packed into an LPARAM (screen or client points).
inline int MessageX(LPARAM lp) noexcept { return static_cast<int>(static_cast<int16_t>(lp & 0xFFFF)); }
inline int MessageY(LPARAM lp) noexcept { return static_cast<int>(static_cast<int16_t>((lp >> 16) & 0xFFFF)); }

// Control messages: the framework tells a control about changes of its own
// state through its WindowProc, so anything that replaced the WindowProc sees
// them too.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;

}  // namespace fw
