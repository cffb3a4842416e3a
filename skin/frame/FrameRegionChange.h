// When a frame paint gives the window its region again. The shape rule
// (FrameRegionFor) changes only with the form's size, maximised state and
// frame settings, so most frame paints find the region the window already
// has and leave it; a changed one is set without the system's redraw of the
// whole window, since the frame paint that follows redraws every non-client
// pixel itself. What is left to repaint are the client pixels that the old
// region cut off and the new one shows.
//
// A reshaped window costs the window system a redraw of all of it (the
// shape is a mask over the whole window), on every size step of a live
// resize. So while the form is being resized (sizes less than 50 ms apart)
// the window has no region at all, which no size change alters, and the
// deferred frame paint 50 ms after the last size gives it its shape again.
// The rounded corners are a pixel or two; they are square meanwhile.
#pragma once

#include "skin/frame/FrameGeometry.h"

#include <optional>
#include <vector>

namespace ks {

bool SameRegionShape(const FrameRegionShape& a, const FrameRegionShape& b);

struct TRegionChange {
    bool Set = false;                // give the window Shape (None: take its region away)
    FrameRegionShape Shape;          // what it is given
    std::vector<fw::TRect> Repaint;  // client pixels to repaint, in window coordinates
};

// applied: the shape the window was last given by the form (none when it was
// given none, or is another window); wanted: the shape rule's for the size the
// window has; client: the client rectangle in window coordinates; resizing:
// the form's last size change is less than 50 ms old. A window the form has
// not shaped yet gets its shape at once.
TRegionChange PlanRegionChange(const std::optional<FrameRegionShape>& applied, const FrameRegionShape& wanted,
                               const fw::TRect& client, bool resizing = false);

}  // namespace ks
