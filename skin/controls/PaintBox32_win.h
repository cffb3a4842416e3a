// The 32-bit paint box: a windowed control that paints from a TBitmap32
// buffer of its own. Base of the skinned client controls.
#pragma once

#include "skin/render/Bitmap32.h"

#include "framework/Controls_win.h"

#include <vector>

namespace ks {

enum TPaintBoxOption { pboWantArrowKeys, pboAutoFocus };
using TPaintBoxOptions = fw::TSet<TPaintBoxOption>;

class TCustomPaintBox32_ks : public fw::TWinControl {
    FW_CLASS(TCustomPaintBox32_ks)

    explicit TCustomPaintBox32_ks(fw::TComponent* owner);
    ~TCustomPaintBox32_ks() override;

    TBitmap32& Buffer() { return m_buffer; }
    const TBitmap32& Buffer() const { return m_buffer; }
    // Extra pixels the buffer keeps beyond the client size, so that small
    // resizes do not reallocate it.
    int BufferOversize() const { return m_bufferOversize; }
    void SetBufferOversize(int value);
    bool BufferValid() const { return m_bufferValid; }
    // Marks the buffer for repainting on the next paint.
    void InvalidateBuffer() { m_bufferValid = false; }
    // Areas invalidated since the last paint (cleared by painting).
    const std::vector<TRect>& InvalidRects() const { return m_invalidRects; }
    void AddInvalidRect(const TRect& r) { m_invalidRects.push_back(r); }

    TPaintBoxOptions Options() const { return m_options; }
    void SetOptions(TPaintBoxOptions options) { m_options = options; }
    bool MouseInControl() const { return m_mouseInControl; }

    void Invalidate() override;
    void SetBounds(int left, int top, int width, int height) override;
    // The buffer sized to the client size (with oversize).
    void ResizeBuffer();

    fw::TNotifyEvent OnMouseEnter;
    fw::TNotifyEvent OnMouseLeave;
    fw::TNotifyEvent OnPaintBuffer;

protected:
    // Repaints the buffer; the default fires OnPaintBuffer.
    virtual void DoPaintBuffer();
    // Copies the buffer (repainted first when invalid) onto dc.
    void PaintWindow(HDC dc) override;
    void Resize() override;
    void Dispatch(fw::TMessage& message) override;
    void MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    void WMPaint(fw::TMessage& message) override;
    void WMEraseBkgnd(fw::TMessage& message) override;
    virtual void MouseEnter();
    virtual void MouseLeave();

private:
    TBitmap32 m_buffer;
    int m_bufferOversize = 40;
    bool m_bufferValid = false;
    bool m_mouseInControl = false;
    TPaintBoxOptions m_options;
    std::vector<TRect> m_invalidRects;
};

// The new size of one buffer dimension for a client size: grows to
// client + oversize when the client exceeds it, shrinks to the client when
// it falls below buffer - oversize, stays otherwise; at least 1.
int PaintBoxBufferExtent(int client, int buffer, int oversize);

}  // namespace ks
