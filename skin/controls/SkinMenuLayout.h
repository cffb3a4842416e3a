// Plain decisions of the skinned popup menus: how high and wide an item is,
// where its hilight bar, glyph bar, text, sub-menu arrow, check mark and image
// go, which frame of the arrow, check and radio strips it shows, which text
// flags it uses, when the window is pushed and by which route. Windows-free,
// so that they are tested natively; uKsSkinMenu applies the answers.
#pragma once

#include "framework/Types.h"
#include "skin/render/Color32.h"

#include <string_view>

namespace ks {

// n / 2 rounded to the nearest integer, ties to even (2.5 -> 2, 3.5 -> 4,
// -0.5 -> 0).
constexpr int HalfRoundEven(int n)
{
    const int q = n / 2;  // truncated
    if (n % 2 == 0)
        return q;
    // n is odd: q + 0.5 (n > 0) or q - 0.5 (n < 0); pick the even neighbour.
    const int other = n > 0 ? q + 1 : q - 1;
    return q % 2 == 0 ? q : other;
}

// Where an item stands among the children of its parent.
struct SkinMenuItemPlace {
    bool Lone = false;          // the parent has exactly one child
    bool FirstVisible = false;  // the first visible child
    bool LastVisible = false;   // the last visible child
};

inline constexpr int kSkinMenuSeparatorHeight = 3;
inline constexpr int kSkinMenuFontSize = 9;

// Width of an item whose caption (with its shortcut text appended) measures
// textWidth.
constexpr int SkinMenuItemWidth(int textWidth) { return textWidth + 45; }

// Height of an item that is not a separator: the hilight image's height plus
// half the border offset when the image resolves (hilightHeight >= 0), else
// the framework's height; a lone item adds the border offset, the first and
// the last visible item half of it.
constexpr int SkinMenuItemHeight(int frameworkHeight, int hilightHeight, int borderOffset, SkinMenuItemPlace place)
{
    int h = hilightHeight >= 0 ? hilightHeight + borderOffset / 2 : frameworkHeight;
    if (place.Lone)
        h += borderOffset;
    else if (place.FirstVisible || place.LastVisible)
        h += borderOffset / 2;
    return h;
}

// The rectangles of one item drawn into the window's bitmap.
struct SkinMenuItemRects {
    fw::TRect Cell;      // the item's rectangle moved by half the border offset
    fw::TRect Content;   // Cell less half the border offset above the first / below the last visible item
    fw::TRect GlyphBar;  // the image column at the content's left
    fw::TRect Text;      // right of the glyph bar, short of twice the border offset on the right
};

constexpr SkinMenuItemRects LayOutSkinMenuItem(fw::TRect r, int borderOffset, int glyphBarWidth,
                                               SkinMenuItemPlace place)
{
    const int half = borderOffset / 2;
    SkinMenuItemRects out;
    out.Cell = fw::TRect(r.Left + half, r.Top + half, r.Right + half, r.Bottom + half);
    out.Content = out.Cell;
    if (place.FirstVisible)
        out.Content.Top += half;
    if (place.LastVisible)
        out.Content.Bottom -= half;
    const fw::TRect& i = out.Content;
    out.GlyphBar = fw::TRect(i.Left, i.Top, i.Left + glyphBarWidth, i.Bottom);
    out.Text = fw::TRect(i.Left + glyphBarWidth + 1, i.Top, i.Right - 2 * borderOffset, i.Bottom);
    return out;
}

// The hilight bar under a selected item.
constexpr fw::TRect SkinMenuHilightRect(const fw::TRect& content, int borderOffset)
{
    const int side = borderOffset / 2 + 1;
    return fw::TRect(content.Left + side, content.Top + 1, content.Right - side, content.Bottom - 1);
}

// Top-left of the sub-menu arrow frame (frameWidth x frameHeight).
constexpr fw::TPoint SkinMenuArrowPos(const fw::TRect& content, int frameWidth, int frameHeight, int borderOffset)
{
    return fw::TPoint(content.Right - frameWidth - borderOffset - 4,
                      content.Top + HalfRoundEven(content.Height() - frameHeight));
}

// Top-left of a check or radio frame: always 8 pixels from the window
// bitmap's left edge, centred on the glyph bar one pixel low.
constexpr fw::TPoint SkinMenuCheckPos(const fw::TRect& glyphBar, int frameHeight)
{
    return fw::TPoint(8, glyphBar.Top + HalfRoundEven(glyphBar.Height() - frameHeight) + 1);
}

// Top-left of an image-list picture, centred on the glyph bar.
constexpr fw::TPoint SkinMenuImagePos(const fw::TRect& glyphBar, int imageWidth, int imageHeight)
{
    return fw::TPoint(glyphBar.Left + HalfRoundEven(glyphBar.Width() - imageWidth),
                      glyphBar.Top + HalfRoundEven(glyphBar.Height() - imageHeight));
}

// The strips cut into three frames: 0 normal, 1 selected, 2 disabled.
enum class SkinMenuStrip { None, Check, Radio };
struct SkinMenuMark {
    SkinMenuStrip Strip = SkinMenuStrip::None;
    int Frame = 0;
};

// The mark of an item without sub-items: only a checked item that shows no
// image-list picture has one.
constexpr SkinMenuMark SkinMenuCheckMark(bool checked, bool radio, bool selected, bool enabled, bool showsImage)
{
    if (!checked || showsImage)
        return {};
    const SkinMenuStrip strip = radio ? SkinMenuStrip::Radio : SkinMenuStrip::Check;
    if (selected && enabled)
        return {strip, 1};
    return {strip, enabled ? 0 : 2};
}

// The arrow frame of an item with sub-items.
constexpr int SkinMenuArrowFrame(bool selected, bool enabled)
{
    if (!enabled)
        return 2;
    return selected ? 1 : 0;
}

// DrawText flags of the caption and of the shortcut, and the shortcut's
// rectangle (the text rectangle less 4 pixels on the right).
struct SkinMenuTextLayout {
    unsigned CaptionFlags = 0;
    unsigned ShortcutFlags = 0;
    fw::TRect ShortcutRect;
};

constexpr SkinMenuTextLayout LayOutSkinMenuText(const fw::TRect& text, bool rightToLeft)
{
    SkinMenuTextLayout out;
    out.CaptionFlags = rightToLeft ? 38u : 36u;  // DT_SINGLELINE | DT_VCENTER (| DT_RIGHT)
    out.ShortcutFlags = out.CaptionFlags + 2;    // 38: ... | DT_RIGHT; 40: DT_SINGLELINE | DT_BOTTOM
    out.ShortcutRect = text;
    out.ShortcutRect.Right -= 4;
    return out;
}

inline constexpr std::int32_t kSkinMenuDisabledTextColor = 0x00CEC5BA;

// The window is pushed at its last visible item and at every selected item.
constexpr bool SkinMenuPushesWindow(bool lastVisible, bool selected) { return lastVisible || selected; }

// How the composed bitmap reaches the layered window: its own device context,
// or a PNG read back through GDI+ when visual styles or desktop composition
// are off.
enum class SkinMenuPushRoute { Direct, ViaGdiPlus };

constexpr SkinMenuPushRoute ChooseSkinMenuPushRoute(bool themesOff, bool compositionOn)
{
    return themesOff || !compositionOn ? SkinMenuPushRoute::ViaGdiPlus : SkinMenuPushRoute::Direct;
}

// The visual-styles setting's "ThemeActive" value: only "0" means off (a
// missing value counts as on).
constexpr bool ThemesOffByValue(bool present, std::wstring_view value) { return present && value == L"0"; }

// A straight-alpha pixel as the layered push takes it: colour scaled by alpha,
// rounded to nearest.
constexpr TColor32 PremultipliedPixel(TColor32 p)
{
    const unsigned a = AlphaOf(p);
    auto mul = [a](unsigned c) { return (c * a + 127) / 255; };
    return MakeColor32(mul(RedOf(p)), mul(GreenOf(p)), mul(BlueOf(p)), a);
}

}  // namespace ks
