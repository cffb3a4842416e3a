// TKsSkinLabel: a windowed text label drawn into the skinned control buffer,
// over the pixels of its parent: optionally over a translucent tint or an
// anti-aliased rounded background, with a soft glow behind the letters.
//
// TKsSkinCustomLabel adds the text layout (alignment, wrapping, ellipsis),
// the automatic sizing to the caption, the rounded background and the glow;
// TKsSkinLabel publishes the properties. A new label has no tint (Alpha 0),
// an active white glow of radius 1, sizes itself to its caption and repaints
// itself whenever it moves.
#pragma once

#include "skin/controls/uKsSkinCtrls.h"

#include <memory>
#include <string>

namespace ks {

class TKsLightClass;

class TKsSkinCustomLabel : public TKsSkinCustomPanel {
    FW_CLASS(TKsSkinCustomLabel)

    explicit TKsSkinCustomLabel(fw::TComponent* owner);
    ~TKsSkinCustomLabel() override;

    // Changing it switches AutoSize off (without resizing) and repaints.
    TEllipsisPosition EllipsisPosition() const { return m_ellipsis; }
    void SetEllipsisPosition(TEllipsisPosition v);
    // Changing an alignment re-creates the window.
    TAlignment AlignmentHorizontal() const { return m_alignHorizontal; }
    void SetAlignmentHorizontal(TAlignment v);
    TVerticalAlignment AlignmentVertical() const { return m_alignVertical; }
    void SetAlignmentVertical(TVerticalAlignment v);
    // True: the label takes the measured size of its caption now and after
    // every caption change (not after a font change at run time).
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool v);
    // A rounded background in Color at Alpha instead of the tint; turning it
    // on raises Alpha 0 to 255, and the label then no longer sizes itself.
    bool RoundBackground() const { return m_roundBackground; }
    void SetRoundBackground(bool v);
    int RoundSize() const { return m_roundSize; }
    void SetRoundSize(int v) { m_roundSize = v; }
    // The glow behind the letters. Assigning copies Active and Color.
    TKsLightClass* Light() const { return m_light.get(); }
    void SetLight(const TKsLightClass* v);
    bool WordWap() const { return m_wordWrap; }
    void SetWordWap(bool v) { m_wordWrap = v; }

    void Loaded() override;

    // The caption's extent in the label's font, measured with DrawText
    // (DT_CALCRECT, no wrapping; explicit line breaks count).
    fw::TSize MeasureCaption();

protected:
    void CreateParams(fw::TCreateParams& params) override;
    void Dispatch(fw::TMessage& message) override;
    void DrawControl(TBitmap32& buffer) override;
    virtual void DrawCaption(TBitmap32& buffer);
    virtual void AdjustBounds();

private:
    std::unique_ptr<TKsLightClass> m_light;
    bool m_autoSize = true;
    TVerticalAlignment m_alignVertical = taAlignTop;
    TAlignment m_alignHorizontal = taLeftJustify;
    bool m_wordWrap = false;
    TEllipsisPosition m_ellipsis = epNone;
    int m_roundSize = 5;
    bool m_roundBackground = false;
};

class TKsSkinLabel : public TKsSkinCustomLabel {
    FW_CLASS(TKsSkinLabel)

    explicit TKsSkinLabel(fw::TComponent* owner);
    ~TKsSkinLabel() override;
};

}  // namespace ks
