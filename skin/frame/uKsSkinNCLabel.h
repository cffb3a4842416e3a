// TKsSkinNCLabel: a caption in the drawn title bar, usually the window's
// title, optionally with a glow behind it and shortened with an ellipsis when
// its width is limited. A press on it moves the window, as a press on a
// standard caption does. Windows only.
#pragma once

#include "skin/frame/uKsSkinNCCtrlBase.h"

#include "skin/resources/uKsSkinIntf.h"

#include <memory>
#include <string>

namespace fw {
class TFont;
}

namespace ks {

class TKsSkinNCLabel : public TKsSkinNCCtrlBase {
    FW_CLASS(TKsSkinNCLabel)

    // Starts with the owner form's caption ("NCLabel" on any other owner) at
    // Pos (caLeft, 5, 5).
    explicit TKsSkinNCLabel(fw::TComponent* owner);
    ~TKsSkinNCLabel() override;

    // --- published ----------------------------------------------------------------
    // The glow behind the caption; a change shows at the next repaint.
    TKsLightClass* Light() const { return m_light.get(); }
    void SetLight(const TKsLightClass& v) { m_light->Assign(v); }
    TEllipsisPosition EllipsisPosition() const { return m_ellipsisPosition; }
    void SetEllipsisPosition(TEllipsisPosition v);
    const std::string& Caption() const { return m_caption; }
    // Measured again at the next paint.
    void SetCaption(const std::string& v);
    fw::TFont* Font() const { return m_font.get(); }
    void SetFont(const fw::TFont& v);
    // A press starts moving the window.
    bool CaptureMouse() const { return m_captureMouse; }
    void SetCaptureMouse(bool v) { m_captureMouse = v; }
    // True: the text gets a real alpha channel in the font colour; False:
    // plain GDI text.
    bool RenderText() const { return m_renderText; }
    void SetRenderText(bool v) { m_renderText = v; }
    // 0: no limit; else the caption is laid out in a box this wide.
    int MaxWidth() const { return m_maxWidth; }
    void SetMaxWidth(int v) { m_maxWidth = v; }

    // Measures the caption with the font on the owner's window, when stale.
    void Measure();
    int MeasuredWidth() const { return m_measuredWidth; }
    int MeasuredHeight() const { return m_measuredHeight; }

    // The box is the whole measured caption, also when MaxWidth is smaller.
    int GetWidth() override;
    int GetHeight() override;
    void LMouseDown() override;
    void Paint(TBitmap32& bitmap) override;
    // A double click on the caption still maximises the form.
    bool BlocksTitleDoubleClick() const override { return false; }

private:
    void MakeStale();

    std::unique_ptr<TKsLightClass> m_light;
    std::unique_ptr<fw::TFont> m_font;
    TEllipsisPosition m_ellipsisPosition = epNone;
    std::string m_caption;
    bool m_captureMouse = true;
    bool m_renderText = false;
    int m_maxWidth = 0;
    int m_measuredWidth = 0;
    int m_measuredHeight = 0;
    bool m_stale = true;
};

}  // namespace ks
