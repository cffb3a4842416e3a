#include "skin/controls/PaintBox32_win.h"

#include "framework/Messages_win.h"
#include "framework/ScopedGdi_win.h"
#include "framework/TypInfo.h"

#include <algorithm>

namespace ks {

const fw::TClassInfo& TCustomPaintBox32_ks::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TCustomPaintBox32_ks, fw::TWinControl>("TCustomPaintBox32_ks").Register();
    return info;
}

int PaintBoxBufferExtent(int client, int buffer, int oversize)
{
    client = std::max(client, 0);
    int extent = buffer;
    if (client > buffer)
        extent = client + oversize;
    else if (client < buffer - oversize)
        extent = client;
    return std::max(extent, 1);
}

TCustomPaintBox32_ks::TCustomPaintBox32_ks(fw::TComponent* owner) : fw::TWinControl(owner)
{
    SetBounds(Left(), Top(), 192, 192);
    ControlStyle().Include(fw::csOpaque);
    ResizeBuffer();
    m_bufferValid = false;
}

TCustomPaintBox32_ks::~TCustomPaintBox32_ks() = default;

void TCustomPaintBox32_ks::SetBufferOversize(int value)
{
    value = std::max(value, 0);
    if (value == m_bufferOversize)
        return;
    m_bufferOversize = value;
    ResizeBuffer();
}

void TCustomPaintBox32_ks::ResizeBuffer()
{
    const int w = PaintBoxBufferExtent(Width(), m_buffer.Width(), m_bufferOversize);
    const int h = PaintBoxBufferExtent(Height(), m_buffer.Height(), m_bufferOversize);
    if (w == m_buffer.Width() && h == m_buffer.Height())
        return;
    {
        TBitmapLock lock(m_buffer);
        m_buffer.Resize(w, h);
    }
    Invalidate();
}

void TCustomPaintBox32_ks::Invalidate()
{
    m_bufferValid = false;
    fw::TWinControl::Invalidate();
}

void TCustomPaintBox32_ks::Resize()
{
    ResizeBuffer();
    m_bufferValid = false;
    fw::TWinControl::Resize();
}

void TCustomPaintBox32_ks::SetBounds(int left, int top, int width, int height)
{
    fw::TWinControl::SetBounds(left, top, width, height);
    // Without a window (and at design time) no WM_SIZE follows: size the
    // buffer here; with one, Resize does it again at no cost.
    ResizeBuffer();
}

void TCustomPaintBox32_ks::DoPaintBuffer()
{
    if (OnPaintBuffer)
        OnPaintBuffer(this);
}

void TCustomPaintBox32_ks::PaintWindow(HDC dc)
{
    TBitmapLock lock(m_buffer);
    if (!m_bufferValid) {
        DoPaintBuffer();
        m_bufferValid = true;
    }
    m_buffer.CopyToDC(dc, 0, 0);
    m_invalidRects.clear();
}

void TCustomPaintBox32_ks::WMPaint(fw::TMessage& message)
{
    if (message.WParam != 0) {
        PaintWindow(reinterpret_cast<HDC>(message.WParam));
    } else {
        fw::ScopedPaint paint(Handle());
        if (paint)
            PaintWindow(paint.Get());
    }
    message.Result = 0;
}

void TCustomPaintBox32_ks::WMEraseBkgnd(fw::TMessage& message)
{
    // The buffer covers every pixel: no erase, no flicker.
    message.Result = 1;
}

void TCustomPaintBox32_ks::MouseEnter()
{
    m_mouseInControl = true;
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TCustomPaintBox32_ks::MouseLeave()
{
    m_mouseInControl = false;
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TCustomPaintBox32_ks::Dispatch(fw::TMessage& message)
{
    switch (message.Msg) {
    case fw::CM_MOUSEENTER:
        if (!m_mouseInControl)
            MouseEnter();
        return;
    case fw::CM_MOUSELEAVE:
        if (m_mouseInControl)
            MouseLeave();
        return;
    case WM_MOUSELEAVE:
        if (m_mouseInControl)
            MouseLeave();
        message.Result = 0;
        return;
    case WM_MOUSEMOVE:
        if (!m_mouseInControl && HandleAllocated()) {
            // Ask for WM_MOUSELEAVE when the cursor goes.
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, Handle(), 0};
            ::TrackMouseEvent(&track);
            MouseEnter();
        }
        break;
    default:
        break;
    }
    fw::TWinControl::Dispatch(message);
}

void TCustomPaintBox32_ks::MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y)
{
    if (m_options.Contains(pboAutoFocus) && CanFocus())
        SetFocus();
    fw::TWinControl::MouseDown(button, shift, x, y);
}

}  // namespace ks
