// Whether the mouse is over a title-bar element, and the move, enter and
// leave calls that follow from it. Two things drive it: the host's
// non-client mouse moves (Track) and the element's 100 ms poll (Poll). Both
// read the cursor through FrameInput(), never from the message, so that a
// late or coalesced message cannot leave an element hot.
//
// Windows-free: the title-bar element base derives from it, tests derive
// their own elements and drive the input themselves.
#pragma once

#include "skin/frame/FrameInput.h"

#include "framework/Types.h"

#include <memory>

namespace ks {

class NCHoverTracker {
public:
    NCHoverTracker() = default;
    NCHoverTracker(const NCHoverTracker&) = delete;
    NCHoverTracker& operator=(const NCHoverTracker&) = delete;
    virtual ~NCHoverTracker() = default;

    // The cursor is inside the box.
    bool Hot() const { return m_hot; }

    // A non-client mouse move: HoverMove while the cursor is inside the box,
    // then HoverEnter or HoverLeave when that changed. Failures are
    // swallowed.
    void Track();
    // The poll: a hot element leaves when the cursor is over another window
    // (leaving the window sends no non-client move) or outside the box
    // (straight into the client area sends none either). It never enters.
    void Poll();

protected:
    // The owner's window.
    virtual TKsWindowId HoverWindow() const = 0;
    // A screen point in the owner's window coordinates.
    virtual fw::TPoint HoverPoint(fw::TPoint screen) = 0;
    // The box in the owner's window coordinates.
    virtual fw::TRect HoverBox() = 0;
    virtual void HoverMove() = 0;
    virtual void HoverEnter() = 0;
    virtual void HoverLeave() = 0;

    // Expires when the element is gone: anything it calls may free it, and
    // the caller checks this before it goes on.
    std::weak_ptr<int> LifeToken() const { return m_life; }
    // Element destructors call it first.
    void EndLife() { m_life.reset(); }

private:
    // Whether the cursor can be read, and if so whether it is in the box.
    bool CursorInside(bool& inside, bool overOwner);

    std::shared_ptr<int> m_life = std::make_shared<int>(0);
    bool m_hot = false;
};

}  // namespace ks
