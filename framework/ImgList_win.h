// Image lists: equal-sized pictures kept by index and drawn with their alpha
// channel, for menu items (TMenu::Images) and other controls.
#pragma once

#include "framework/Classes.h"
#include "framework/Graphics_win.h"
#include "framework/ScopedGdi_win.h"

#include <vector>

namespace fw {

class TCustomImageList : public TComponent {
    FW_CLASS(TCustomImageList)

    explicit TCustomImageList(TComponent* owner);
    ~TCustomImageList() override;

    // The size of every picture; a change empties the list.
    int Width() const { return m_width; }
    void SetWidth(int value);
    int Height() const { return m_height; }
    void SetHeight(int value);
    int Count() const { return static_cast<int>(m_images.size()); }

    // Adds the pictures of a strip: image is cut into Width-wide pieces from
    // the left (at least one), each scaled to Width x Height when its size
    // differs. A 32-bit image with any non-zero alpha keeps its (straight)
    // alpha; any other image is opaque. Returns the index of the first one.
    int Add(TBitmap& image);
    // As Add, with the pixels of maskColor left transparent.
    int AddMasked(TBitmap& image, TColor maskColor);
    void Delete(int index);
    void Clear();

    // Draws picture index with its top-left at (x, y), blended by its alpha.
    // A disabled picture is drawn grey at half opacity. Nothing for an index
    // out of range or an empty canvas.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true);

    const TNotifyEvent& OnChange() const { return m_onChange; }
    void SetOnChange(TNotifyEvent e) { m_onChange = std::move(e); }

private:
    int AddPictures(TBitmap& image, bool masked, TColor maskColor);
    void Changed();

    int m_width = 16;
    int m_height = 16;
    // Premultiplied top-down 32-bit DIB sections, as AlphaBlend takes them.
    std::vector<ScopedBitmap> m_images;
    TNotifyEvent m_onChange;
};

class TImageList : public TCustomImageList {
    FW_CLASS(TImageList)

    explicit TImageList(TComponent* owner) : TCustomImageList(owner) {}
};

}  // namespace fw
