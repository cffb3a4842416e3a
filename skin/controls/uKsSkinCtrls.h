// TKsSkinCustomControl: the base of the skin engine's windowed client
// controls, and TKsSkinCustomPanel, the tint-and-border layer the label is
// built on.
//
// A skinned control never paints straight onto its window. It draws into its
// 32-bit buffer and copies the buffer to the window; every rebuild of the
// buffer starts from the pixels that lie under the control (the form
// controller's background, a skinned parent's buffer, or what the parent
// paints), so that translucent and anti-aliased content composes over the
// parent although the control is an ordinary opaque child window.
//
// The decisions (which source, which rectangle, whether the rebuilt buffer may
// be kept, the tint and the border lines) are the plain functions of
// SkinControlLayout.h; these classes unpack their state and apply the answers.
#pragma once

#include "skin/controls/SkinControlLayout.h"
#include "skin/frame/SkinVocabulary.h"
#include "skin/render/Bitmap32.h"
#include "skin/controls/PaintBox32_win.h"

#include "framework/Controls_win.h"

#include <functional>

namespace ks {

// May fill the buffer itself before the background is captured; setting
// handled leaves the buffer as the handler made it.
using TKsBackgroundEvent = std::function<void(fw::TObject* sender, TBitmap32* background, bool& handled)>;
// Draws on the buffer (the background is already in it).
using TKsCustomDrawEvent = std::function<void(fw::TObject* sender, TBitmap32* canvas)>;

class TKsSkinCustomControl : public TCustomPaintBox32_ks {
    FW_CLASS(TKsSkinCustomControl)

    // Registers the control in the skinned-control registry unless it is
    // being designed.
    explicit TKsSkinCustomControl(fw::TComponent* owner);
    ~TKsSkinCustomControl() override;

    // --- published -----------------------------------------------------------------
    TKsAboutInfo About() const { return aiKsSkinComponent; }
    void SetAbout(TKsAboutInfo) {}
    // True: the buffer starts from the parent's background; False: from Color.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool v) { m_transparent = v; }
    // Color (the control's own, white by default) fills the buffer when the
    // control is not transparent and after a resize.
    // Repaint itself and refresh its windowed children whenever it moves.
    bool AutoInvalidate() const { return m_autoInvalidate; }
    void SetAutoInvalidate(bool v) { m_autoInvalidate = v; }
    // Answer an erase request that carries a device context (lParam 1) by
    // copying the buffer into it.
    bool EraseBackground() const { return m_eraseBackground; }
    void SetEraseBackground(bool v) { m_eraseBackground = v; }
    const TKsBackgroundEvent& OnBackgroundChanging() const { return m_onBackgroundChanging; }
    void SetOnBackgroundChanging(TKsBackgroundEvent e) { m_onBackgroundChanging = std::move(e); }
    const TKsCustomDrawEvent& OnBackgroundChanged() const { return m_onBackgroundChanged; }
    void SetOnBackgroundChanged(TKsCustomDrawEvent e) { m_onBackgroundChanged = std::move(e); }
    const fw::TNotifyEvent& OnVisibleChanged() const { return m_onVisibleChanged; }
    void SetOnVisibleChanged(fw::TNotifyEvent e) { m_onVisibleChanged = std::move(e); }

    // Added to the capture rectangle; nothing in the engine changes them.
    int BackgroundOffsetX() const { return m_offsetX; }
    int BackgroundOffsetY() const { return m_offsetY; }
    void SetBackgroundOffset(int x, int y);

    // --- operations ----------------------------------------------------------------
    // The buffer; child controls copy their background from it.
    virtual TBitmap32* GetBuffer() { return &Buffer(); }
    // Repaints a frame drawn outside the client area (WM_NCPAINT), if any.
    void RedrawFrame();
    // Posts CM_SKIN_CHILDREFRESH to every windowed child, in child order;
    // nothing while designing or when suppress is set.
    void NotifyChildren(bool suppress);
    // The inherited adjustment, then a repaint (not while designing).
    virtual void AdjustClientRect(fw::TRect& rect);

protected:
    // Draws the control's content over the background already in the buffer.
    virtual void DrawControl(TBitmap32& buffer) {}
    virtual void DoBackgroundChanging(TBitmap32& background, bool& handled);
    virtual void DoBackgroundChanged(TBitmap32& background);
    virtual void DoVisibleChanged();

    // The buffer-paint step: background, then DrawControl.
    void DoPaintBuffer() override;
    // Paints from the buffer; a buffer rebuilt while the control hangs over
    // its parent's edge is not kept.
    void PaintWindow(HDC dc) override;
    void Resize() override;
    void Dispatch(fw::TMessage& message) override;

    // Designing: the control's own state or, while it is being created, its
    // owner's.
    bool Designing() const;

    // Fills dst with what lies under the control: capture is the control's
    // rectangle in the parent's client coordinates.
    void CaptureParentBackground(TBitmap32& dst, const fw::TRect& capture);

private:
    void WMEraseBkgnd(fw::TMessage& m);
    void WMMove(fw::TMessage& m);
    void WMWindowPosChanged(fw::TMessage& m);
    void CMSkinChildRefresh(fw::TMessage& m);
    void PaintParentInto(TBitmap32& dst);

    bool m_transparent = true;
    bool m_autoInvalidate = false;
    bool m_eraseBackground = false;
    int m_offsetX = 0;
    int m_offsetY = 0;
    bool m_registered = false;
    bool m_keepRebuiltBuffer = true;
    TKsBackgroundEvent m_onBackgroundChanging;
    TKsCustomDrawEvent m_onBackgroundChanged;
    fw::TNotifyEvent m_onVisibleChanged;
};

// The tint layer: a colour laid over the captured background at Alpha, an
// OnCustomDraw hook after it, and a 1-pixel border with an inner highlight on
// chosen sides. The label uses it with no border.
class TKsSkinCustomPanel : public TKsSkinCustomControl {
    FW_CLASS(TKsSkinCustomPanel)

    explicit TKsSkinCustomPanel(fw::TComponent* owner);
    ~TKsSkinCustomPanel() override;

    // Opacity of the tint: 0 none, 255 opaque.
    int Alpha() const { return m_alpha; }
    void SetAlpha(int v);
    // The tint colour (also the label's rounded-background colour). It is not
    // the control's own Color, which fills the buffer when not transparent.
    fw::TColor Color() const { return m_tintColor; }
    void SetColor(fw::TColor v);
    const TKsCustomDrawEvent& OnCustomDraw() const { return m_onCustomDraw; }
    void SetOnCustomDraw(TKsCustomDrawEvent e) { m_onCustomDraw = std::move(e); }

    // Not published.
    TKsBorderSides BorderSides() const { return m_borderSides; }
    void SetBorderSides(TKsBorderSides v) { m_borderSides = v; }
    fw::TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(fw::TColor v) { m_borderColor = v; }
    bool InnerHighlight() const { return m_innerHighlight; }
    void SetInnerHighlight(bool v) { m_innerHighlight = v; }
    int BorderAlpha() const { return m_borderAlpha; }
    void SetBorderAlpha(int v) { m_borderAlpha = v; }

    void AdjustClientRect(fw::TRect& rect) override;

protected:
    void DrawControl(TBitmap32& buffer) override;
    virtual void DrawBorder(TBitmap32& buffer);

private:
    int m_alpha = 192;
    TKsBorderSides m_borderSides{bdLeft, bdTop, bdRight, bdBottom};
    fw::TColor m_tintColor = 0x00FFFFFF;
    fw::TColor m_borderColor = 0x00D9CABA;
    bool m_innerHighlight = true;
    int m_borderAlpha = 255;
    TKsCustomDrawEvent m_onCustomDraw;
};

}  // namespace ks
