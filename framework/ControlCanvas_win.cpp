#include "framework/Controls_win.h"

#include <algorithm>
#include <vector>

namespace fw {

// ---------------------------------------------------------------------------
// TControlCanvas

namespace {
std::vector<TControlCanvas*>& CanvasesWithWindowDC()
{
    static std::vector<TControlCanvas*> list;
    return list;
}
}  // namespace

TControlCanvas::TControlCanvas(TWinControl& control) : m_control(control) {}

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::CreateHandle()
{
    HWND window = m_control.Handle();
    auto dc = std::make_unique<ScopedGetDC>(window);
    if (!*dc)
        return;
    m_windowDC = std::move(dc);
    CanvasesWithWindowDC().push_back(this);
    AdoptHandle(m_windowDC->Get());
}

void TControlCanvas::FreeHandle()
{
    if (!m_windowDC)
        return;
    DeselectHandles();
    AdoptHandle(nullptr);
    m_windowDC.reset();
    std::erase(CanvasesWithWindowDC(), this);
}

void TControlCanvas::FreeDeviceContexts()
{
    std::vector<TControlCanvas*> list = CanvasesWithWindowDC();
    for (TControlCanvas* canvas : list)
        canvas->FreeHandle();
}

}  // namespace fw
