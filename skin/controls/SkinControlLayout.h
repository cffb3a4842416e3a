// Decisions of the skinned client controls as plain functions of plain data:
// where a control's background comes from and which rectangle of it is taken,
// whether a rebuilt buffer may be kept, how the panel layer tints and frames
// the buffer, where and with which text flags the label lays out its caption,
// when the label sizes itself, and the anti-aliased rounded background. The
// controls (uKsSkinCtrls, uKsSkinLabel) unpack their state, ask these and
// apply the answers, so everything here is tested natively.
#pragma once

#include "framework/Types.h"
#include "skin/frame/TextLayoutFlags.h"
#include "skin/render/Color32.h"

#include <cstdint>
#include <vector>

namespace ks {

class TCustomBitmap32;

// --- text layout vocabulary ---------------------------------------------------------

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
// TEllipsisPosition and the DrawText flags (kDtLeft ... kDtWordEllipsis) are
// in skin/frame/TextLayoutFlags.h, shared with the title-bar label.

// --- background of a skinned control ------------------------------------------------

// The rectangle of the parent's client area that lies under a control, moved
// by the control's background offset.
fw::TRect CaptureRect(int left, int top, int width, int height, int offsetX, int offsetY);

enum class TBackgroundSource {
    White,             // no parent: the buffer is filled with opaque white
    ControllerBitmap,  // the form controller's background bitmap
    ParentBuffer,      // a skinned parent's buffer
    ParentPaint,       // the parent paints itself into the buffer through GDI
};

// What a control knows about its parent when it captures its background.
struct TBackgroundQuery {
    bool HasParent = false;
    bool Designing = false;
    bool ParentIsForm = false;
    bool FormHasController = false;  // listed in the form registry with a controller
    bool PictureStyle = false;       // the controller's Style is ssPicture (else ssColor)
    bool BorderNone = false;         // the form's BorderStyle is bsNone
    int FrameWidth = 0;              // the controller's frame width and title height
    int TitleHeight = 0;
    bool ParentIsSkinnedControl = false;
};

struct TBackgroundChoice {
    TBackgroundSource Source = TBackgroundSource::White;
    // The source rectangle for the bitmap sources (same size as the capture
    // rectangle): moved by the frame on a controller's background, unchanged
    // on a skinned parent's buffer.
    fw::TRect SourceRect;
};

// The colour background of a controller covers the client area below the
// title bar already, so only the frame width moves the rectangle; the
// picture background is laid out from the window's corner and needs the
// title height too. A form without a border has neither.
TBackgroundChoice ChooseBackgroundSource(const TBackgroundQuery& query, const fw::TRect& capture);

// A rebuilt buffer is kept only while the control lies inside its parent's
// outer size; one that hangs over the right or bottom edge is rebuilt at
// every paint.
bool BufferStaysValid(int parentWidth, int parentHeight, int left, int top, int width, int height);

// --- panel layer -------------------------------------------------------------------

// How the panel layer tints the captured background.
struct TPanelTint {
    bool Fill = false;            // FillAreaMixed over the client area
    unsigned FillAlpha = 0;       // alpha of the fill colour
    bool CallCustomDraw = false;  // OnCustomDraw runs after the tint
};

// While designing and at Alpha 255 the tint is opaque and OnCustomDraw does
// not run; otherwise the tint is blended at Alpha (0: no tint) and
// OnCustomDraw runs.
TPanelTint PlanPanelTint(bool designing, int alpha);

enum TKsBorderSide { bdLeft, bdTop, bdRight, bdBottom };
using TKsBorderSides = fw::TSet<TKsBorderSide>;

struct TBorderLine {
    int X1 = 0;
    int Y1 = 0;
    int X2 = 0;  // the end point is not drawn
    int Y2 = 0;
    bool Highlight = false;  // white inner line (else the border colour)
    friend bool operator==(const TBorderLine&, const TBorderLine&) = default;
};

// The 1-pixel lines of the panel border, in drawing order (left, top, right,
// bottom; each border line followed by its inner highlight). Lines that
// would fall outside a too small control are left out.
std::vector<TBorderLine> PanelBorderLines(TKsBorderSides sides, bool innerHighlight, int width, int height);

// The client rectangle inset by 1 pixel on each bordered side, 2 with the
// inner highlight.
fw::TRect InsetForBorder(const fw::TRect& client, TKsBorderSides sides, bool innerHighlight);

// --- label layer ------------------------------------------------------------------

struct TCaptionLayout {
    fw::TRect Rect;
    unsigned Flags = 0;
    friend bool operator==(const TCaptionLayout&, const TCaptionLayout&) = default;
};

struct TCaptionQuery {
    int Width = 0;
    int Height = 0;
    TAlignment Horizontal = taLeftJustify;
    TVerticalAlignment Vertical = taAlignTop;
    bool WordWrap = false;
    TEllipsisPosition Ellipsis = epNone;
    // The caption's measured height without wrapping (used with WordWrap).
    int TextHeight = 0;
};

// The rectangle and DrawText flags of the caption. Bottom and centred
// alignments are single-line; with word wrapping they become a band as tall
// as the unwrapped caption, so wrapped lines beyond it are cut off.
TCaptionLayout LayoutCaption(const TCaptionQuery& query);

unsigned HorizontalAlignmentFlag(TAlignment alignment);
unsigned VerticalAlignmentFlags(TVerticalAlignment alignment);
// EllipsisFlag is in skin/frame/TextLayoutFlags.h.

// The label sizes itself to its caption except while it is being read, when
// AutoSize is off, or when it draws a rounded background.
bool ShouldAdjustBounds(bool reading, bool autoSize, bool roundBackground);

// --- rounded background ----------------------------------------------------------------

// Coverage (0..255) of pixel (x, y) by the rounded rectangle of a w x h area
// with corner radius radius: the area inset by radius, grown back by radius
// with round joins. An inset that would turn the area inside out collapses
// onto its middle line. Edges are anti-aliased by the distance of the pixel
// centre to the outline.
std::uint8_t RoundRectCoverage(int x, int y, int w, int h, int radius);

// Fills the rounded rectangle of the bitmap's full area over its pixels
// (inside ClipRect): each pixel is mixed with the opaque colour by the
// colour's alpha times the pixel's coverage.
void FillRoundRect(TCustomBitmap32& dst, int radius, TColor32 color);

}  // namespace ks
