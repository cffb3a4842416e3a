// Hidden message-only windows for objects that need to receive window messages
// without being controls (timers, the application's helpers).
#pragma once

#include "framework/Messages_win.h"
#include "framework/ReportException_win.h"

#include <exception>
#include <string>

namespace fw {

// The module whose resources and window classes the framework uses.
HINSTANCE ModuleInstance() noexcept;

// A hidden window whose messages go to a handler. The handler runs
// inside a trampoline that catches every exception; a message it leaves alone
// (Result untouched and `handled` left false) goes to DefWindowProcW.
class TUtilWindow {
public:
    using THandler = std::function<bool(TMessage&)>;

    // A message-only window, or with topLevel a hidden top-level window (what
    // menus need as their owner).
    explicit TUtilWindow(THandler handler, bool topLevel = false);
    ~TUtilWindow();
    TUtilWindow(const TUtilWindow&) = delete;
    TUtilWindow& operator=(const TUtilWindow&) = delete;

    HWND Handle() const noexcept { return m_handle; }

private:
    static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

    HWND m_handle = nullptr;
    THandler m_handler;
};

}  // namespace fw
