// Driving real popup menus in the Windows tests: a menu's modal loop runs
// inside Popup, so a timer inspects the menu while it is open.
#pragma once

#include "framework/ExtCtrls_win.h"
#include "framework/Menus_win.h"
#include "tests/framework/WinTestSupport_win.h"

#include <chrono>
#include <functional>

namespace menutest {

// The first visible popup-menu window, or null.
inline HWND VisibleMenuWindow()
{
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w != nullptr;
         w = ::FindWindowExW(nullptr, w, L"#32768", nullptr))
        if (::IsWindowVisible(w))
            return w;
    return nullptr;
}

// Runs open() (which shows a menu modally). Every 20 ms while a popup-menu
// window is visible, step(window) runs; the menu is ended when step returns
// true, or after 15 s. Returns whether step finished it.
inline bool WhileMenuOpen(const std::function<void()>& open, const std::function<bool(HWND)>& step)
{
    fw::TTimer driver(nullptr);
    driver.SetInterval(20);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    bool finished = false;
    bool ended = false;
    driver.SetOnTimer([&](fw::TObject*) {
        if (ended)
            return;
        HWND window = VisibleMenuWindow();
        if (window != nullptr && step(window))
            finished = true;
        if (finished || std::chrono::steady_clock::now() > deadline) {
            ended = true;
            ::EndMenu();
        }
    });
    driver.SetEnabled(true);
    open();
    driver.SetEnabled(false);
    return finished;
}

}  // namespace menutest
