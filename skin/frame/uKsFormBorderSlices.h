// The portable half of the layered border: its size record, the four slices
// cut from the border image, where the four border windows go, which window
// they are stacked under, and the premultiplication the layered windows need.
//
// The border image is stretched (nine-slice by thirds) or tiled over a full
// image of the form's size plus the border thickness; each border window
// shows one band of it. The bands are drawn straight into the four slices
// with the same mapping, so no full image is ever allocated: a 1920 x 1080
// form costs the few thousand pixels of its edges, not two million.
#pragma once

#include "framework/Classes.h"
#include "framework/Types.h"
#include "skin/render/Bitmap32.h"

#include <array>
#include <cstddef>
#include <memory>

namespace ks {

enum TKsStretchKind { skAuto, skTile };

// The four sides, numbered as the border windows are.
enum TKsLayerSide { kSideLeft = 0, kSideTop = 1, kSideRight = 2, kSideBottom = 3 };
inline constexpr int kBorderSideCount = 4;

// Four published integers (declared default 8 each); setters only store.
class TKsBorderSize : public fw::TPersistent {
    FW_CLASS(TKsBorderSize)

    TKsBorderSize() = default;
    TKsBorderSize(int left, int top, int right, int bottom) : m_left(left), m_top(top), m_right(right), m_bottom(bottom)
    {}

    int Left() const { return m_left; }
    void SetLeft(int v) { m_left = v; }
    int Top() const { return m_top; }
    void SetTop(int v) { m_top = v; }
    int Right() const { return m_right; }
    void SetRight(int v) { m_right = v; }
    int Bottom() const { return m_bottom; }
    void SetBottom(int v) { m_bottom = v; }
    int Horizontal() const { return m_left + m_right; }
    int Vertical() const { return m_top + m_bottom; }

    void Assign(const fw::TPersistent& source) override;

private:
    int m_left = 8;
    int m_top = 8;
    int m_right = 8;
    int m_bottom = 8;
};

// Plain numbers of a border: Size, and the absolute InflateSize values.
struct BorderMetrics {
    int SizeLeft = 8, SizeTop = 8, SizeRight = 8, SizeBottom = 8;
    int InflateLeft = 5, InflateTop = 5, InflateRight = 5, InflateBottom = 5;
    bool Transparent = true;
};
BorderMetrics MakeBorderMetrics(const TKsBorderSize& size, const TKsBorderSize& inflate, bool transparent);

// Where each slice lies in the full image of a form of w x h.
struct BorderSliceLayout {
    int FullWidth = 0;
    int FullHeight = 0;
    std::array<TRect, kBorderSideCount> Source;  // indexed by TKsLayerSide
};
BorderSliceLayout LayoutBorderSlices(const BorderMetrics& m, int w, int h);

// The top-left corners of the four windows (screen), for the form's bounds
// x, y, w, h; topHeight is the top window's height (its slice's). Order is
// the order the windows are placed in: top, bottom, left, right when
// transparent, else left, right, top, bottom.
struct BorderPlacement {
    std::array<TPoint, kBorderSideCount> At;  // indexed by TKsLayerSide
    std::array<int, kBorderSideCount> Order;
};
BorderPlacement PlaceBorderWindows(const BorderMetrics& m, int x, int y, int w, int h, int topHeight);

// Which window the border windows are stacked directly under.
struct BorderZOrderInput {
    bool StayOnTop = false;    // the form's FormStyle is fsStayOnTop
    bool FormActive = false;   // the form's window is the active one
    bool FormTopmost = false;  // the form's window has WS_EX_TOPMOST
    bool FormMinimized = false;
};
enum class BorderAnchor { Form, Topmost, WindowBeforeForm };
struct BorderZOrderPlan {
    bool BringFormToTop = false;        // HWND_TOP first (active stay-on-top form)
    bool MakeFormTopmostFirst = false;  // HWND_TOPMOST before placing
    BorderAnchor Anchor = BorderAnchor::Form;
    bool MakeFormTopmostAfter = false;  // HWND_TOPMOST again after placing
};
BorderZOrderPlan PlanBorderZOrder(const BorderZOrderInput& in);

// The four slices of a border. Rebuilt only when the form's size changes.
class TKsBorderSlices {
public:
    TKsBorderSlices();
    ~TKsBorderSlices();
    TKsBorderSlices(const TKsBorderSlices&) = delete;
    TKsBorderSlices& operator=(const TKsBorderSlices&) = delete;

    // Frees the old slices and cuts new ones for a form of w x h. A
    // transparent tiled border reaches no further under the form: inflate is
    // set to 0, 0, 0, 0 for good. Without an image no slices are made. The
    // image's pixels are copied (whatever its draw mode), so the slices hold
    // its straight-alpha pixels.
    void Build(const TCustomBitmap32* image, TKsStretchKind kind, bool transparent, const TKsBorderSize& size,
               TKsBorderSize& inflate, int w, int h);
    void Clear();

    // Null when there is none (no image).
    TBitmap32* Slice(int side) const { return m_slices[static_cast<std::size_t>(side)].get(); }
    bool Empty() const { return !m_slices[0]; }

private:
    std::array<std::unique_ptr<TBitmap32>, kBorderSideCount> m_slices;
};

// The transparent tiled border's rule alone.
void ApplyTileRule(TKsStretchKind kind, bool transparent, TKsBorderSize& inflate);

// Colour channels multiplied by alpha (rounded), in place: what a layered
// window's per-pixel alpha expects.
void PremultiplyPixels(TColor32* pixels, std::size_t count);

}  // namespace ks
