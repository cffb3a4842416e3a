#include "skin/frame/NCHoverTracker.h"

namespace ks {

bool NCHoverTracker::CursorInside(bool& inside, bool overOwner)
{
    fw::TPoint cursor;
    if (!FrameInput().CursorPos(cursor))
        return false;
    inside = (!overOwner || FrameInput().WindowAt(cursor) == HoverWindow()) && HoverBox().Contains(HoverPoint(cursor));
    return true;
}

void NCHoverTracker::Track()
{
    try {
        bool inside = false;
        if (!CursorInside(inside, false))
            return;
        const std::weak_ptr<int> alive = LifeToken();
        if (inside)
            HoverMove();
        if (alive.expired() || inside == m_hot)
            return;
        m_hot = inside;
        if (m_hot)
            HoverEnter();
        else
            HoverLeave();
    } catch (...) {
        // A window that is gone: the hot flag keeps its value.
    }
}

void NCHoverTracker::Poll()
{
    try {
        bool inside = false;
        if (!m_hot || !CursorInside(inside, true) || inside)
            return;
        m_hot = false;
        HoverLeave();
    } catch (...) {
    }
}

}  // namespace ks
