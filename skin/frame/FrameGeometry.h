// Geometry and small decisions of the skinned form frame, as plain functions of
// plain data: hit testing, the client rectangle, the maximise/track limits, the
// window region's shape, the frame lines of each frame piece, the frame piece
// layout and the gradient rows. The window procedure of TKsSkinForm unpacks a
// message, asks one of these and applies the answer, so all of them are tested
// natively.
#pragma once

#include "framework/Types.h"
#include "skin/render/Color32.h"

#include <array>
#include <cstdint>
#include <vector>

namespace ks {

class TCustomBitmap32;

// Hit-test answers; the numbers are the system's HT* codes.
enum : int {
    kHitNowhere = 0,
    kHitClient = 1,
    kHitCaption = 2,
    kHitLeft = 10,
    kHitRight = 11,
    kHitTop = 12,
    kHitTopLeft = 13,
    kHitTopRight = 14,
    kHitBottom = 15,
    kHitBottomLeft = 16,
    kHitBottomRight = 17,
};

constexpr bool IsSizingHitCode(int code) { return code >= kHitLeft && code <= kHitBottomRight; }

// What hit testing needs to know about a form.
struct FrameMetrics {
    int Width = 0;         // window width W
    int Height = 0;        // window height H
    int TitleHeight = 0;   // T
    int FrameWidth = 0;    // F
    int HitTestWidth = 0;  // h: thickness of the sizing band
    bool Sizable = false;  // bsSizeable or bsSizeToolWin
    bool Maximized = false;
};

// Answer for a point relative to the window's top-left corner. The eight
// sizing bands come first (only for a sizable form that is not maximised),
// then the caption strip, then the client area.
int HitTestFrame(const FrameMetrics& m, fw::TPoint p);

// The client rectangle inside a window rectangle: the frame width on the left,
// right and bottom, the title height on top. Never inverted: right is raised
// to left and bottom to top when the frame is larger than the window.
fw::TRect SkinClientRect(const fw::TRect& window, int titleHeight, int framWidth);

// The four points of the system's MINMAXINFO.
struct MinMaxInfo {
    fw::TPoint MaxSize;
    fw::TPoint MaxPosition;
    fw::TPoint MinTrackSize;
    fw::TPoint MaxTrackSize;
};

struct MinMaxInput {
    fw::TRect WorkArea;              // work area of the form's monitor
    bool PrimaryMonitor = true;      // the form's monitor is the primary one
    bool DesignedMaximized = false;  // designed maximised and not shown yet
    int TitleHeight = 0;
    bool FlatFrame = false;
    int MinWidth = 0;  // the form's constraints; 0 = none
    int MinHeight = 0;
    int MaxWidth = 0;
    int MaxHeight = 0;
};

// Fills in the maximised size and position and the tracking limits. Values the
// rule leaves alone (the maximum tracking size without a constraint) keep what
// the system put there.
void ApplyMinMaxRule(const MinMaxInput& in, MinMaxInfo& info);

// The monitors the max-info rule takes its work area from. Enumerating them
// afresh may renumber them (a monitor was added, removed or rearranged).
class MonitorList {
public:
    virtual ~MonitorList() = default;
    // Enumerates the monitors afresh; answers how many there are.
    virtual int Refresh() = 0;
    // The number of the form's monitor in the list as it is now; -1 when the
    // form has none.
    virtual int FormMonitorNumber() = 0;
    virtual fw::TRect WorkAreaAt(int number) = 0;
    // The work area of the form's monitor itself.
    virtual fw::TRect FormMonitorWorkArea() = 0;
};

// The work area of the form's monitor, taken from the list by the monitor's
// number when that number is valid. The list is refreshed before the number
// is read, so the number always indexes the list it came from.
fw::TRect MaxInfoWorkArea(MonitorList& monitors);

// Minimum tracking height without a constraint.
constexpr int MinTrackHeight(int titleHeight, bool flatFrame)
{
    return flatFrame ? titleHeight + 30 : titleHeight - 24 + 30;
}
inline constexpr int kMinTrackWidth = 120;

// Shape of the window region.
enum class FrameRegionKind {
    Rectangle,             // Bounds
    RoundRect,             // Bounds with a CornerEllipse x CornerEllipse ellipse
    RoundTopSquareBottom,  // RoundRect united with SquareBottom
    None,                  // no region: the whole window (while it is being resized)
};

struct FrameRegionShape {
    FrameRegionKind Kind = FrameRegionKind::Rectangle;
    fw::TRect Bounds;        // 0, 0, W + 1, H + 1
    int CornerEllipse = 0;   // 4 for the rounded kinds
    fw::TRect SquareBottom;  // 0, H - 10, W + 1, H + 1 (RoundTopSquareBottom only)
};

FrameRegionShape FrameRegionFor(int width, int height, bool roundWindow, bool maximized, int framWidth, bool flatFrame);

// --- frame lines -------------------------------------------------------------

enum class FramePiece { Top, Left, Right, Bottom };

struct FrameLineStyle {
    bool FlatFrame = false;
    bool Maximized = false;
    bool DoubleFrame = true;
    bool RoundWindow = true;
    bool KeepFrameColor = false;
    int FrameWidth = 2;
    fw::TColor FrameColor = 0;
};

// The outer and inner line colours.
inline constexpr TColor32 kFrameOuterColor = 0x80000000u;  // black, alpha 128
inline constexpr TColor32 kFrameInnerColor = 0xB0FFFFFFu;  // white, alpha 176

// One stroke: a blended line from From toward To that leaves out To, or a
// blended single pixel at From.
struct FrameStroke {
    bool Pixel = false;
    TColor32 Color = 0;
    fw::TPoint From;
    fw::TPoint To;
    friend bool operator==(const FrameStroke&, const FrameStroke&) = default;
};

// The strokes of one piece, in drawing order, for the piece's clip rectangle.
// Empty when the frame is flat, the form maximised or the frame width not
// positive.
std::vector<FrameStroke> FrameLineStrokes(FramePiece piece, const fw::TRect& clip, const FrameLineStyle& style);

// Draws the strokes onto a piece bitmap: lines as clipped blended lines without
// their end point, pixels as clipped blended pixels.
void DrawFrameStrokes(TCustomBitmap32& piece, const std::vector<FrameStroke>& strokes);

// --- frame pieces --------------------------------------------------------------

// One of the four bitmaps a frame paint composes: its size, where the
// background is drawn into it, and where it goes on the window.
struct FramePieceLayout {
    FramePiece Kind = FramePiece::Top;
    int Width = 0;
    int Height = 0;
    fw::TPoint BackgroundAt;  // position of the background bitmap inside the piece
    fw::TPoint WindowAt;      // position of the piece on the window
};

// The title piece, left, right and bottom strips in drawing order. A colour
// skin takes its strips from the colour background (whose width is given); a
// picture skin from the picture background in window coordinates. Negative
// sizes come out as 0.
std::array<FramePieceLayout, 4> FramePieceLayouts(int width, int height, int titleHeight, int framWidth,
                                                  bool pictureStyle, int colorBackgroundWidth);

// --- gradient ------------------------------------------------------------------

// Step of a gradient over n rows (or columns): 2^24 / n rounded to the nearest
// integer; n below 1 counts as 1.
std::int64_t GradientStep(int n);

// Channel value of row i: c1 + floor((c2 - c1) * step * i / 2^24), kept
// between c1 and c2.
int GradientChannel(int c1, int c2, std::int64_t step, int i);

// Colour (0x00BBGGRR) of row i of a gradient from c1 to c2 (both already
// resolved, no system colours) over n rows.
fw::TColor GradientColorAt(fw::TColor c1, fw::TColor c2, int n, int i);

// System colours (negative values) resolved to RGB.
fw::TColor ResolveColor(fw::TColor c);

// Two-colour linear gradient into rect of dst (vertical: top to bottom;
// otherwise left to right). An empty extent counts as 1 row or column. The
// gradient is computed at the rectangle's size and placed at its top-left,
// cut to dst's bounds; pixels are opaque.
void GradientFillBitmap(TCustomBitmap32& dst, fw::TColor c1, fw::TColor c2, bool vertical, const fw::TRect& rect);

// --- small decisions of the window procedure -------------------------------------

// What WM_WINDOWPOSCHANGING asks of the controller.
enum class WindowPosAction { None, EnterMinimized, SuspendBorder, ResumeBorder };

struct WindowPosInput {
    unsigned Flags = 0;       // WINDOWPOS flags
    bool IsMainForm = false;  // the form is the application's main form
    bool Visible = false;     // the form is visible
    bool BorderLinked = false;
    bool Minimized = false;
};

WindowPosAction WindowPosChangingAction(const WindowPosInput& in);

// SWP_* numbers the rule looks at.
inline constexpr unsigned kSwpNoSize = 0x0001;
inline constexpr unsigned kSwpNoMove = 0x0002;
inline constexpr unsigned kSwpNoZOrder = 0x0004;
inline constexpr unsigned kSwpNoActivate = 0x0010;
inline constexpr unsigned kSwpFrameChanged = 0x0020;
inline constexpr unsigned kSwpShowWindow = 0x0040;
inline constexpr unsigned kSwpHideWindow = 0x0080;
inline constexpr unsigned kSwpNoCopyBits = 0x0100;
// The system shows a window it has just minimised (or restores one from the
// taskbar) with this pattern.
inline constexpr unsigned kSwpMinimizeShowPattern = 0x170;
// ... and hides the application's main form with this one when the
// application is minimised.
inline constexpr unsigned kSwpMinimizeHidePattern = 0x97;
// The application window's "restore" notification.
inline constexpr unsigned kSwpAppRestorePattern = 0x13;

// What a double click on the title bar does.
enum class TitleDoubleClick { Nothing, Maximize, Restore };

struct TitleDoubleClickInput {
    bool ElementHot = false;        // a visible title-bar element other than a label is hot
    bool HasMaximizeIcon = false;   // saved border icons have biMaximize
    bool SizeableOrSingle = false;  // BorderStyle bsSizeable or bsSingle
    bool Zoomed = false;            // the window style has WS_MAXIMIZE
    fw::TPoint Point;               // relative to the window's top-left
    int Width = 0;
    int TitleHeight = 0;
};

TitleDoubleClick TitleDoubleClickAction(const TitleDoubleClickInput& in);

// The drag-full-windows setting to use for a title-bar or border press:
// -1 leaves the system setting alone, otherwise 1 (wkActive) or 0 (wkDisable).
// kind: 0 wkSystem, 1 wkActive, 2 wkDisable.
int DragFullWindowsValue(int kind, int hitCode);

}  // namespace ks
