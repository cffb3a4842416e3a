#include "skin/frame/FrameInput.h"

namespace ks {

IKsFrameInput& SystemFrameInput();

namespace {

IKsFrameInput* g_installed = nullptr;

#ifndef _WIN32
// The host build has no mouse and no windows.
class NoInput : public IKsFrameInput {
public:
    bool CursorPos(fw::TPoint&) override { return false; }
    TKsWindowId WindowAt(fw::TPoint) override { return 0; }
};
#endif

}  // namespace

#ifndef _WIN32
IKsFrameInput& SystemFrameInput()
{
    static NoInput none;
    return none;
}
#endif

IKsFrameInput& FrameInput() { return g_installed != nullptr ? *g_installed : SystemFrameInput(); }

IKsFrameInput* SetFrameInput(IKsFrameInput* input)
{
    IKsFrameInput* before = g_installed;
    g_installed = input;
    return before;
}

}  // namespace ks
