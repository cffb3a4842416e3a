#include "skin/frame/FrameRegionChange.h"

namespace ks {

bool SameRegionShape(const FrameRegionShape& a, const FrameRegionShape& b)
{
    return a.Kind == b.Kind && a.Bounds == b.Bounds && a.CornerEllipse == b.CornerEllipse &&
           (a.Kind != FrameRegionKind::RoundTopSquareBottom || a.SquareBottom == b.SquareBottom);
}

TRegionChange PlanRegionChange(const std::optional<FrameRegionShape>& applied, const FrameRegionShape& wanted,
                               const fw::TRect& client)
{
    TRegionChange change;
    if (applied && SameRegionShape(*applied, wanted))
        return change;
    change.Set = true;
    const auto repaint = [&](const fw::TRect& r) {
        const fw::TRect part = fw::IntersectRect(r, client);
        if (!part.IsEmpty())
            change.Repaint.push_back(part);
    };
    if (!applied || applied->Kind != wanted.Kind || applied->CornerEllipse != wanted.CornerEllipse) {
        repaint(client);
        return change;
    }
    // Same kind, other bounds: the old region cut pixels off only inside the
    // corner ellipses of its rounded corners (the square bottom's corners are
    // whole).
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
