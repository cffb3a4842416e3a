// Plain decisions of the title-bar menu bar: where its items go, when a press
// on an item opens its drop-down (the press count), where the drop-down
// opens, when entering an item switches to its drop-down, and the item's
// highlight and caption rectangles. Windows-free, tested natively.
#pragma once

#include "framework/Types.h"
#include "skin/frame/NCElementLayout.h"

#include <vector>

namespace ks {

// Items run left to right with this gap between them.
inline constexpr int kMenuBarItemGap = 8;
// The item's box is its caption's size plus this much.
inline constexpr int kMenuBarItemPadding = 4;
// Menu-bar items poll the cursor this often, also inside a menu's modal loop.
inline constexpr unsigned kMenuBarPollMs = 10;
// Title-bar menu items share this button group, so pressing one raises the others.
inline constexpr int kMenuBarGroupIndex = 99;
// The grey of a disabled item's caption (0x00BBGGRR).
inline constexpr std::int32_t kMenuBarDisabledColor = 0x00C7C5C4;

// The XValue of each item, given their widths, the first item's XValue and
// the menu bar's alignment. With caLeft XValue grows by width + gap; with
// caRight it shrinks by the same, so the items also run left to right.
inline std::vector<int> MenuBarItemXValues(TNCCtrlAlign align, int firstX, const std::vector<int>& widths)
{
    std::vector<int> xs;
    xs.reserve(widths.size());
    int x = firstX;
    for (int w : widths) {
        xs.push_back(x);
        x += align == caLeft ? w + kMenuBarItemGap : -(w + kMenuBarItemGap);
    }
    return xs;
}

// One step of an item's press count: whether this LMouseDown acts (opens the
// drop-down, or clicks an item without sub-items) and the count afterwards.
// Remainders truncate toward zero, so a count of 0 never acts: the physical
// press only counts, and the Click inside the release acts.
struct MenuBarPress {
    bool Acts = false;
    int NextCount = 0;
};

constexpr MenuBarPress MenuBarPressStep(int count, bool hasSubItems)
{
    const int period = hasSubItems ? 3 : 2;
    return {(count - 1) % period == 0, count + 1};
}

// Screen point of an item's drop-down: below the item, pulled left by the
// skinned menu's border offset; one pixel lower without a skinned menu.
constexpr fw::TPoint MenuBarPopupPoint(int posLeft, int posTop, int ownerLeft, int ownerTop, int elementHeight,
                                       bool skinned, int borderOffset)
{
    return skinned ? fw::TPoint(posLeft + ownerLeft - borderOffset, posTop + ownerTop + elementHeight)
                   : fw::TPoint(posLeft + ownerLeft, posTop + ownerTop + elementHeight + 1);
}

// Whether entering an item while another item's drop-down is open switches
// to this item's drop-down.
constexpr bool MenuBarSwitchesOnEnter(int yValue, int elementHeight) { return yValue + elementHeight - 2 > 5; }

// The highlight of a hot or pressed item: its box grown by 2 pixels at the
// top and the bottom. The caption is centred in it moved up by one pixel.
constexpr fw::TRect MenuBarHighlightRect(int left, int top, int width, int height)
{
    return fw::TRect(left, top - 2, left + width, top + height + 2);
}

constexpr fw::TRect MenuBarCaptionRect(int left, int top, int width, int height)
{
    return fw::TRect(left, top - 3, left + width, top + height + 1);
}

}  // namespace ks
