// What the controller's own units share and nothing else needs.
#pragma once

#include "framework/ReportException_win.h"

#include <cstdint>
#include <exception>

namespace ks::skinform {

// A form whose Tag is this does not publish its settings to GlobalFormSkin.
inline constexpr std::intptr_t kNoPublishTag = 99999;

// A drawing step that fails draws nothing and the form carries on; the
// failure goes to the framework's report instead of out of the window
// procedure.
template <class F>
void Contained(F&& f)
{
    try {
        f();
    } catch (...) {
        fw::ReportException(std::current_exception());
    }
}

}  // namespace ks::skinform
