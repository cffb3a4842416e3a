// Shared by the windowed controls and their window-procedure trampoline.
#pragma once

namespace fw {

// One message being handled by a control's window procedure. If the control is
// destroyed while the message is on its way (a handler frees it), the
// destructor marks every open frame so the trampoline does not touch it again.
struct DispatchFrame {
    bool destroyed = false;
    DispatchFrame* previous = nullptr;
};

}  // namespace fw
