// Hidden message-only windows for objects that need to receive window messages
// without being controls (timers, the application's helpers), and the place
// where an exception caught at a window-procedure boundary is reported.
#pragma once

#include "framework/Messages_win.h"

#include <exception>
#include <string>

namespace fw {

// The module whose resources and window classes the framework uses.
HINSTANCE ModuleInstance() noexcept;

// Called by every trampoline (window procedures, timers, hooks) with the
// exception it caught. Hands it to Application's OnException when there is one,
// otherwise writes it to the debugger output. Never throws.
void ReportException(std::exception_ptr error) noexcept;

// Hook for the application object: what ReportException passes the error to.
using TExceptionSink = void (*)(std::exception_ptr) noexcept;
void SetExceptionSink(TExceptionSink sink) noexcept;

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
  static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  HWND m_handle = nullptr;
  THandler m_handler;
};

}  // namespace fw
