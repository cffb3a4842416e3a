// The hint window: a small top-most pop-up that shows a text.
#pragma once

#include "framework/Controls_win.h"

#include <string>

namespace fw {

// A small top-most pop-up that shows a text (tooltips). The hint font is the
// system's status font; the window is created on first use and destroyed by
// ReleaseHandle.
class THintWindow : public TCustomControl {
    FW_CLASS(THintWindow)

    explicit THintWindow(TComponent* owner);
    ~THintWindow() override;

    // Shows the text in the rectangle (screen coordinates), kept on the desktop,
    // without taking the focus.
    virtual void ActivateHint(const TRect& rect, const std::string& utf8);
    // The rectangle (at 0, 0) the text needs, wrapped at maxWidth.
    virtual TRect CalcHintRect(int maxWidth, const std::string& utf8);
    // Hides the hint by destroying its window.
    void ReleaseHandle();

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    void Dispatch(TMessage& message) override;
};

}  // namespace fw
