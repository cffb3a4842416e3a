// Where the skinned frame reads input: the cursor position and the window
// under a point. The system's own on Windows; tests install their own, so
// that hot tracking, the poll and hints run without a real mouse.
#pragma once

#include "framework/Types.h"

#include <cstdint>

namespace ks {

// A window as the frame's logic sees it: its handle as a number, 0 for none.
using TKsWindowId = std::uintptr_t;

class IKsFrameInput {
public:
    virtual ~IKsFrameInput() = default;
    // The cursor's screen position; false when it cannot be read.
    virtual bool CursorPos(fw::TPoint& at) = 0;
    // The top-level or child window under a screen point; 0 for none.
    virtual TKsWindowId WindowAt(fw::TPoint at) = 0;
};

// The input in use.
IKsFrameInput& FrameInput();
// Installs input (tests); null puts the system's back. Returns the one that
// was installed before, null for the system's.
IKsFrameInput* SetFrameInput(IKsFrameInput* input);

}  // namespace ks
