// The system's cursor and windows.
#include "skin/frame/FrameInput.h"

#include <windows.h>

namespace ks {

namespace {

class SystemInput : public IKsFrameInput {
public:
    bool CursorPos(fw::TPoint& at) override
    {
        POINT p{};
        if (!::GetCursorPos(&p))
            return false;
        at = fw::TPoint(p.x, p.y);
        return true;
    }
    TKsWindowId WindowAt(fw::TPoint at) override
    {
        return reinterpret_cast<TKsWindowId>(::WindowFromPoint(POINT{at.X, at.Y}));
    }
};

}  // namespace

IKsFrameInput& SystemFrameInput()
{
    static SystemInput system;
    return system;
}

}  // namespace ks
