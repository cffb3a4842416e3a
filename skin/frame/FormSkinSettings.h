// The form appearance settings record TKsFormSkinRes and the one shared
// instance GlobalFormSkin, which mirrors the settings of the most recently
// skinned form. The skin configuration component owns a record of its own
// and reads and writes it from its file.
#pragma once

#include "framework/Classes.h"
#include "framework/Types.h"

#include <cstdint>
#include <functional>
#include <string>

namespace ks {

enum TKsFillStyle : std::uint8_t { mfsBlur, mfsTile, mfsStretch, mfs9Block };
// A configuration file may store any byte here (2 keeps both backgrounds).
enum TKsSkinStyle : std::uint8_t { ssColor, ssPicture };

class TKsFormSkinRes : public fw::TPersistent {
    FW_CLASS(TKsFormSkinRes)

    TKsFormSkinRes() = default;

    bool ActiveGradient() const { return m_activeGradient; }
    void SetActiveGradient(bool v) { m_activeGradient = v; }
    bool DoubleFrame() const { return m_doubleFrame; }
    void SetDoubleFrame(bool v) { m_doubleFrame = v; }
    TKsFillStyle FillStyle() const { return m_fillStyle; }
    void SetFillStyle(TKsFillStyle v) { m_fillStyle = v; }
    bool FlatFrame() const { return m_flatFrame; }
    void SetFlatFrame(bool v) { m_flatFrame = v; }
    bool RoundWindow() const { return m_roundWindow; }
    void SetRoundWindow(bool v) { m_roundWindow = v; }
    // The layered border component the settings name (carried only).
    fw::TComponent* ImageBorder() const { return m_imageBorder; }
    void SetImageBorder(fw::TComponent* v) { m_imageBorder = v; }

    int TitleHeight() const { return m_titleHeight; }
    void SetTitleHeight(int v);
    fw::TColor TitlerColor() const { return m_titlerColor; }
    void SetTitlerColor(fw::TColor v);
    fw::TColor Color() const { return m_color; }
    void SetColor(fw::TColor v);
    // Negative values are ignored.
    int FramWidth() const { return m_framWidth; }
    void SetFramWidth(int v);
    int HitTestWidth() const { return m_hitTestWidth; }
    void SetHitTestWidth(int v);
    int GradientHeight() const { return m_gradientHeight; }
    void SetGradientHeight(int v);
    const std::string& CustomPicture() const { return m_customPicture; }
    void SetCustomPicture(const std::string& v);
    TKsSkinStyle Style() const { return m_style; }
    void SetStyle(TKsSkinStyle v);
    int DefaultSkinOrder() const { return m_defaultSkinOrder; }
    void SetDefaultSkinOrder(int v);

    // The background picture's file name without folder (not published).
    const std::string& FormBg() const { return m_formBg; }
    void SetFormBg(const std::string& v) { m_formBg = v; }

    // A change notifies once the outermost EndUpdate brings the counter back
    // to 0; nothing is notified while loading.
    void BeginUpdate() { ++m_updateCount; }
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }
    void BeginLoad() { m_loading = true; }
    void EndLoad() { m_loading = false; }
    bool Loading() const { return m_loading; }

    // The owning configuration component's notification of every skinned
    // form; called before OnChange. Empty for a record without owner.
    std::function<void()> NotifyOwner;
    fw::TNotifyEvent OnChange;

    void Assign(const fw::TPersistent& source) override;

protected:
    void Changed();

private:
    bool m_activeGradient = true;
    bool m_doubleFrame = true;
    TKsFillStyle m_fillStyle = mfsBlur;
    bool m_flatFrame = false;
    bool m_roundWindow = true;
    fw::TComponent* m_imageBorder = nullptr;
    int m_titleHeight = 27;
    fw::TColor m_titlerColor = 16761926;  // 0x00FFC446
    fw::TColor m_color = 15920353;        // 0x00F2ECE1
    int m_framWidth = 2;
    int m_hitTestWidth = 5;
    int m_gradientHeight = 168;
    std::string m_customPicture;
    TKsSkinStyle m_style = ssColor;
    int m_defaultSkinOrder = 0;
    std::string m_formBg;
    int m_updateCount = 0;
    bool m_loading = false;
};

// Implemented by the skin configuration component: the settings record that a
// linked form copies its colours, style and picture from.
class IKsFormSkinSource {
public:
    virtual ~IKsFormSkinSource() = default;
    virtual TKsFormSkinRes* FormSkin() = 0;
};

// The shared settings record without owner: lives from first use to program
// end; its changes fire only its OnChange.
TKsFormSkinRes& GlobalFormSkin();

}  // namespace ks
