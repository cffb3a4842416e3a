#include "skin/frame/FrameRegionChange.h"

namespace ks {

bool SameRegionShape(const FrameRegionShape& a, const FrameRegionShape& b)
{
    if (a.Kind == FrameRegionKind::None || b.Kind == FrameRegionKind::None)
        return a.Kind == b.Kind;
    return a.Kind == b.Kind && a.Bounds == b.Bounds && a.CornerEllipse == b.CornerEllipse &&
           (a.Kind != FrameRegionKind::RoundTopSquareBottom || a.SquareBottom == b.SquareBottom);
}

TRegionChange PlanRegionChange(const std::optional<FrameRegionShape>& applied, const FrameRegionShape& wanted,
                               const fw::TRect& client, bool resizing)
{
    TRegionChange change;
    if (applied && SameRegionShape(*applied, wanted))
        return change;
    if (resizing && applied) {
        if (applied->Kind == FrameRegionKind::None)
            return change;
        change.Shape.Kind = FrameRegionKind::None;
    } else {
        change.Shape = wanted;
    }
    change.Set = true;
    const auto repaint = [&](const fw::TRect& r) {
        const fw::TRect part = fw::IntersectRect(r, client);
        if (!part.IsEmpty())
            change.Repaint.push_back(part);
    };
    // No region before: the new one cuts pixels off and uncovers none.
    if (applied && applied->Kind == FrameRegionKind::None)
        return change;
    const FrameRegionKind to = change.Shape.Kind;
    if (!applied || (to != FrameRegionKind::None &&
                     (applied->Kind != to || applied->CornerEllipse != change.Shape.CornerEllipse))) {
        repaint(client);
        return change;
    }
    // Same kind with other bounds, or no region: the old region cut pixels
    // off only inside the corner ellipses of its rounded corners (the square
    // bottom's corners are whole).
    const int e = applied->CornerEllipse;
    if (e <= 0)
        return change;
    const fw::TRect& b = applied->Bounds;
    repaint(fw::TRect(b.Left, b.Top, b.Left + e, b.Top + e));
    repaint(fw::TRect(b.Right - e, b.Top, b.Right, b.Top + e));
    if (applied->Kind == FrameRegionKind::RoundRect) {
        repaint(fw::TRect(b.Left, b.Bottom - e, b.Left + e, b.Bottom));
        repaint(fw::TRect(b.Right - e, b.Bottom - e, b.Right, b.Bottom));
    }
    return change;
}

}  // namespace ks
