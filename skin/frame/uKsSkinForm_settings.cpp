// The controller's published settings: the options record, the published
// table, and the exchange of settings with the shared form-settings record
// and a skin configuration component.
#include "skin/frame/uKsSkinForm.h"

#include "skin/frame/uKsSkinMainMenu.h"

#include "framework/ScopeGuard.h"
#include "framework/TypInfo.h"

namespace ks {

// --- options ---------------------------------------------------------------------------

const fw::TClassInfo& TKsSkinFormOptions::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinFormOptions, fw::TPersistent>("TKsSkinFormOptions")
            .Bool("MinimizeToTaskbar", &TKsSkinFormOptions::MinimizeToTaskbar,
                  &TKsSkinFormOptions::SetMinimizeToTaskbar, false)
            .Bool("HideInTaskbar", &TKsSkinFormOptions::HideInTaskbar, &TKsSkinFormOptions::SetHideInTaskbar, false)
            .Enum("DragFullWindows", &TKsSkinFormOptions::DragFullWindows, &TKsSkinFormOptions::SetDragFullWindows,
                  {"wkSystem", "wkActive", "wkDisable"}, wkSystem)
            .Register();
    return info;
}

void TKsSkinFormOptions::Assign(const fw::TPersistent& source)
{
    const auto* s = dynamic_cast<const TKsSkinFormOptions*>(&source);
    if (s == nullptr) {
        fw::TPersistent::Assign(source);
        return;
    }
    m_minimizeToTaskbar = s->m_minimizeToTaskbar;
    m_hideInTaskbar = s->m_hideInTaskbar;
    m_dragFullWindows = s->m_dragFullWindows;
}

// --- published table ------------------------------------------------------------------------

const fw::TClassInfo& TKsSkinForm::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinForm, TKsHookWindowProc>("TKsSkinForm")
            .Enum("About", &TKsSkinForm::About, &TKsSkinForm::SetAbout, {"aiKsSkinComponent"})
            .Stored(false)
            .Bool("FlatFrame", &TKsSkinForm::FlatFrame, &TKsSkinForm::SetFlatFrame, false)
            .Int("TitleHeight", &TKsSkinForm::TitleHeight, &TKsSkinForm::SetTitleHeight, 27)
            .Int("TitlerColor", &TKsSkinForm::TitlerColor, &TKsSkinForm::SetTitlerColor, 16761926, fw::ColorIdents())
            .Int("Color", &TKsSkinForm::Color, &TKsSkinForm::SetColor, 15920353, fw::ColorIdents())
            .Object("Options", &TKsSkinForm::Options)
            .Bool("RoundWindow", &TKsSkinForm::RoundWindow, &TKsSkinForm::SetRoundWindow, true)
            .Int("FramWidth", &TKsSkinForm::FramWidth, &TKsSkinForm::SetFramWidth, 2)
            .Int("FrameColor", &TKsSkinForm::FrameColor, &TKsSkinForm::SetFrameColor, 0, fw::ColorIdents())
            .Enum("FillStyle", &TKsSkinForm::FillStyle, &TKsSkinForm::SetFillStyle,
                  {"mfsBlur", "mfsTile", "mfsStretch", "mfs9Block"}, mfsBlur)
            .Int("HitTestWidth", &TKsSkinForm::HitTestWidth, &TKsSkinForm::SetHitTestWidth, 5)
            .Bool("EraseBackGround", &TKsSkinForm::EraseBackGround, &TKsSkinForm::SetEraseBackGround, false)
            .Int("GradientHeight", &TKsSkinForm::GradientHeight, &TKsSkinForm::SetGradientHeight, 168)
            .String("CustomPicture", &TKsSkinForm::CustomPicture, &TKsSkinForm::SetCustomPicture)
            .Enum("Style", &TKsSkinForm::Style, &TKsSkinForm::SetStyle, {"ssColor", "ssPicture"}, ssColor)
            .Bool("ActiveGradient", &TKsSkinForm::ActiveGradient, &TKsSkinForm::SetActiveGradient, true)
            .Component("SkinRes", &TKsSkinForm::SkinRes, &TKsSkinForm::SetSkinRes)
            .Event("Changed", &TKsSkinForm::SetChanged)
            .Component("ImageBorder", &TKsSkinForm::ImageBorder, &TKsSkinForm::SetImageBorder)
            .Object("MainMenu", &TKsSkinForm::MainMenu)
            .Bool("DoubleFrame", &TKsSkinForm::DoubleFrame, &TKsSkinForm::SetDoubleFrame, true)
            .Bool("KeepTitlerColor", &TKsSkinForm::KeepTitlerColor, &TKsSkinForm::SetKeepTitlerColor, false)
            .Bool("KeepFrameColor", &TKsSkinForm::KeepFrameColor, &TKsSkinForm::SetKeepFrameColor, false)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinForm)

// --- settings exchange ----------------------------------------------------------------------

void TKsSkinForm::PublishSettings()
{
    TKsFormSkinRes& g = GlobalFormSkin();
    g.BeginUpdate();
    auto done = fw::OnScopeExit([&g] { g.EndUpdate(); });
    g.SetColor(m_color);
    g.SetCustomPicture(m_customPicture);
    g.SetFramWidth(m_framWidth);
    g.SetHitTestWidth(m_hitTestWidth);
    g.SetStyle(m_style);
    g.SetTitlerColor(m_titlerColor);
}

void TKsSkinForm::PublishCustomPicture() { GlobalFormSkin().SetCustomPicture(m_customPicture); }

void TKsSkinForm::ApplySkinRes()
{
    if (m_skinRes == nullptr || Designing())
        return;
    auto* source = dynamic_cast<IKsFormSkinSource*>(m_skinRes);
    if (source == nullptr || source->FormSkin() == nullptr)
        return;
    ApplySkinSettings(*source->FormSkin());
}

void TKsSkinForm::ApplySkinSettings(const TKsFormSkinRes& settings)
{
    // Title height, frame width and hit-test width stay the form's own.
    m_color = settings.Color();
    m_customPicture = settings.CustomPicture();
    m_gradientHeight = settings.GradientHeight();
    m_style = settings.Style();
    SetTitlerColor(settings.TitlerColor());
    RebuildBackgrounds();
    PublishSettings();
    RefreshAll();
}

}  // namespace ks
