// When a frame paint gives the window its region again. The shape rule
// (FrameRegionFor) changes only with the form's size, maximised state and
// frame settings, so most frame paints find the region the window already
// has and leave it; a changed one is set without the system's redraw of the
// whole window, since the frame paint that follows redraws every non-client
// pixel itself. What is left to repaint are the client pixels that the old
// region cut off and the new one shows.
#pragma once

#include "skin/frame/FrameGeometry.h"

#include <optional>
#include <vector>

namespace ks {

bool SameRegionShape(const FrameRegionShape& a, const FrameRegionShape& b);

struct TRegionChange {
    bool Set = false;                // give the window the wanted region
    std::vector<fw::TRect> Repaint;  // client pixels to repaint, in window coordinates
};

// applied: the shape the window was last given by the form (none when it was
// given none, or is another window); client: the client rectangle in window
// coordinates.
TRegionChange PlanRegionChange(const std::optional<FrameRegionShape>& applied, const FrameRegionShape& wanted,
                               const fw::TRect& client);

}  // namespace ks
