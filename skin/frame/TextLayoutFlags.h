// Text layout vocabulary shared by the title-bar label and the skinned client
// controls: the ellipsis kinds and the system's DrawText flags under our own
// names, so that portable code can compute them (the Windows side checks that
// they match).
#pragma once

namespace ks {

enum TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };

inline constexpr unsigned kDtLeft = 0x0000;
inline constexpr unsigned kDtCenter = 0x0001;
inline constexpr unsigned kDtRight = 0x0002;
inline constexpr unsigned kDtVCenter = 0x0004;
inline constexpr unsigned kDtBottom = 0x0008;
inline constexpr unsigned kDtWordBreak = 0x0010;
inline constexpr unsigned kDtSingleLine = 0x0020;
inline constexpr unsigned kDtCalcRect = 0x0400;
inline constexpr unsigned kDtPathEllipsis = 0x4000;
inline constexpr unsigned kDtEndEllipsis = 0x8000;
inline constexpr unsigned kDtWordEllipsis = 0x40000;

// The DrawText bit of an ellipsis kind.
constexpr unsigned EllipsisFlag(TEllipsisPosition position)
{
    switch (position) {
    case epPathEllipsis:
        return kDtPathEllipsis;
    case epEndEllipsis:
        return kDtEndEllipsis;
    case epWordEllipsis:
        return kDtWordEllipsis;
    case epNone:
        break;
    }
    return 0;
}

}  // namespace ks
