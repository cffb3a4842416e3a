// Helpers for the framework's Windows tests: pumping the message loop with a
// time limit, and catching exceptions that trampolines report.
#pragma once

#include "framework/Forms_win.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace fwtest {

// Handles messages until pred() holds or the time is up; returns pred().
inline bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 3000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    fw::Application->ProcessMessages();
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

inline void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

// Collects the exceptions the framework reports while it lives.
class ReportedExceptions {
 public:
  ReportedExceptions() {
    fw::Application->SetOnException([this](fw::TObject*, std::exception_ptr error) {
      try {
        std::rethrow_exception(error);
      } catch (const std::exception& e) {
        messages.push_back(e.what());
      } catch (...) {
        messages.push_back("?");
      }
    });
  }
  ~ReportedExceptions() { fw::Application->SetOnException(nullptr); }
  std::vector<std::string> messages;
};

}  // namespace fwtest
