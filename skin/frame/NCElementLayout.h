// Plain decisions of the title-bar elements: where an element's box lies, how
// a maximised form shifts it, where a hint goes, how a button's draw state
// moves, which system command and strip a system button uses, and how the
// title-bar label lays its caption out. Windows-free, so that they are tested
// natively; the element classes apply the answers.
#pragma once

#include "framework/Types.h"
#include "skin/frame/TextLayoutFlags.h"

#include <functional>
#include <string>

namespace ks {

// Which vertical edge of the owner an element's XValue counts from.
enum TNCCtrlAlign { caLeft, caRight };

// Which side of the frame hosts an element when a layered border is in use.
enum TSideKind { skdTop, skdBottom, skdLeft, skdRight };

// --- placement ----------------------------------------------------------------

// Left edge of an element in window coordinates: XValue right of the left
// edge, or XValue left of the right edge of an owner ownerWidth wide.
constexpr int ElementLeft(TNCCtrlAlign align, int xValue, int ownerWidth)
{
    return align == caLeft ? xValue : ownerWidth - xValue;
}

// The element's box: left and top inclusive, right and bottom exclusive
// (TRect::Contains is the hit test).
constexpr fw::TRect ElementBox(int left, int top, int width, int height)
{
    return fw::TRect(left, top, left + width, top + height);
}

// The position an element paints at. While its form is maximised the frame
// is gone, so every element moves one pixel up and one pixel towards the
// edge it counts from; the stored position never changes.
struct NCPlacement {
    int XValue = 0;
    int YValue = 0;
};

constexpr NCPlacement PaintPlacement(int storedX, int storedY, bool maximized)
{
    return maximized ? NCPlacement{storedX - 1, storedY - 1} : NCPlacement{storedX, storedY};
}

// A hint's screen rectangle: its top-left corner 16 pixels right of and below
// the cursor, 8 pixels wider and 2 pixels taller than the text.
constexpr fw::TRect HintRectAt(fw::TPoint cursor, int textWidth, int textHeight)
{
    return fw::TRect(cursor.X + 16, cursor.Y + 16, cursor.X + 16 + textWidth + 8, cursor.Y + 16 + textHeight + 2);
}

// --- title-bar buttons ------------------------------------------------------------

// Draw states of a button; they pick the frame of the state strip.
enum TNCButtonDrawState { bdsNormal = 0, bdsHot = 1, bdsPressed = 2 };

// Which frame of the strip a button shows: a disabled button always shows
// its Disable frame.
enum class NCFrameKind { Normal, Hot, Pressed, Disable };

constexpr NCFrameKind FrameKindFor(int drawState, bool enabled)
{
    if (!enabled)
        return NCFrameKind::Disable;
    switch (drawState) {
    case bdsHot:
        return NCFrameKind::Hot;
    case bdsPressed:
        return NCFrameKind::Pressed;
    default:
        return NCFrameKind::Normal;
    }
}

// The state machine of one title-bar button: the sticky Down state, the draw
// state, and what enter, leave, press and release do to them. The button
// supplies two actions: a repaint request and the raising of the other
// buttons of its group (which calls SetDown(false) on each of them).
class NCButtonModel {
public:
    std::function<void()> OnRepaint;
    std::function<void()> OnReleaseGroup;

    bool Down() const { return m_down; }
    // A change presses (and raises the group) or releases the button, then
    // repaints. Setting the current value does nothing.
    void SetDown(bool value);
    bool Enabled() const { return m_enabled; }
    // A change repaints.
    void SetEnabled(bool value);
    bool AllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool value) { m_allowAllUp = value; }
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int value) { m_groupIndex = value; }
    int DrawingState() const { return m_drawState; }

    // The mouse entered or left the box of a visible button. A disabled
    // button keeps its draw state.
    void Enter();
    void Leave();
    // The left button went down on a visible, hot button.
    void Press();
    // The left button came up on the button. Returns true when the release
    // counts as a click (the button is enabled and visible).
    bool Release(bool visible);

private:
    void Repaint()
    {
        if (OnRepaint)
            OnRepaint();
    }

    bool m_down = false;
    bool m_enabled = true;
    bool m_allowAllUp = false;
    int m_groupIndex = 0;
    int m_drawState = bdsNormal;
};

inline void NCButtonModel::SetDown(bool value)
{
    if (value == m_down)
        return;
    m_down = value;
    if (value) {
        m_drawState = bdsPressed;
        if (OnReleaseGroup)
            OnReleaseGroup();
    } else {
        m_drawState = bdsNormal;
    }
    Repaint();
}

inline void NCButtonModel::SetEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    Repaint();
}

inline void NCButtonModel::Enter()
{
    if (m_enabled)
        m_drawState = m_down ? bdsPressed : bdsHot;
}

inline void NCButtonModel::Leave()
{
    if (m_enabled)
        m_drawState = m_down ? bdsPressed : bdsNormal;
}

inline void NCButtonModel::Press()
{
    if (m_enabled)
        m_drawState = bdsPressed;
}

inline bool NCButtonModel::Release(bool visible)
{
    if (!m_enabled || !visible)
        return false;
    if (m_allowAllUp)
        SetDown(!m_down);
    else if (m_groupIndex <= 0)
        m_drawState = bdsHot;
    else
        SetDown(true);
    return true;
}

// --- system buttons -----------------------------------------------------------------

enum TSystemButtonKind { bkClose, bkMinimize, bkMaximize };

// Distance from the right edge a system button takes by default: close,
// maximise/restore and minimise sit edge to edge, right to left.
constexpr int SystemButtonDefaultX(TSystemButtonKind kind)
{
    switch (kind) {
    case bkMaximize:
        return 68;
    case bkMinimize:
        return 96;
    default:
        return 40;
    }
}
inline constexpr int kSystemButtonDefaultY = -1;

inline constexpr unsigned kScMinimize = 0xF020;
inline constexpr unsigned kScMaximize = 0xF030;
inline constexpr unsigned kScClose = 0xF060;
inline constexpr unsigned kScRestore = 0xF120;
// SC_MOVE with HTCAPTION: the system's move loop, as a press on a caption.
inline constexpr unsigned kScDragMove = 0xF012;

// The WM_SYSCOMMAND code a system button sends; windowMaximized is whether
// the window's style has WS_MAXIMIZE.
constexpr unsigned SystemButtonCommand(TSystemButtonKind kind, bool windowMaximized)
{
    switch (kind) {
    case bkMinimize:
        return kScMinimize;
    case bkMaximize:
        return windowMaximized ? kScRestore : kScMaximize;
    default:
        return kScClose;
    }
}

struct SystemButtonImages {
    std::string Close;
    std::string Minimize;
    std::string Maximize;
    std::string Restore;
};

// The strip a system button of this kind is sized from (ApplyKind).
inline const std::string& SystemButtonImage(TSystemButtonKind kind, const SystemButtonImages& images)
{
    switch (kind) {
    case bkMinimize:
        return images.Minimize;
    case bkMaximize:
        return images.Maximize;
    default:
        return images.Close;
    }
}

// The strip a system button paints with: the maximise button shows the
// restore strip while its window is maximised.
inline const std::string& SystemButtonPaintImage(TSystemButtonKind kind, bool windowMaximized,
                                                 const SystemButtonImages& images)
{
    if (kind == bkMaximize && windowMaximized)
        return images.Restore;
    return SystemButtonImage(kind, images);
}

// --- title-bar label ------------------------------------------------------------------

// How the label draws its caption: the rectangle of the glow (and, when the
// width is limited, of the text), the glow's DrawText format, and whether the
// text is written into the rectangle with TextFlags or at its top-left.
struct NCLabelLayout {
    fw::TRect Rect;
    unsigned GlowFormat = kDtVCenter;
    bool InRect = false;
    unsigned TextFlags = 0;
};

// The box is always the whole measured caption; MaxWidth only narrows the
// rectangle the caption is drawn into.
constexpr NCLabelLayout LayOutNCLabel(int left, int top, int measuredWidth, int measuredHeight, int maxWidth,
                                      TEllipsisPosition ellipsis)
{
    NCLabelLayout out;
    out.Rect = fw::TRect(left, top, left + measuredWidth, top + measuredHeight);
    if (maxWidth != 0) {
        out.TextFlags = EllipsisFlag(ellipsis);
        out.Rect.Right = out.Rect.Left + maxWidth;
        out.GlowFormat = out.TextFlags;
        out.InRect = true;
    }
    return out;
}

}  // namespace ks
