// The published side of the form controller: its class table, its options
// and the property setters that do more than store.
#include "skin/frame/uKsSkinForm.h"

#include "skin/frame/uKsFormBorder.h"

#include "skin/frame/uKsSkinMainMenu.h"

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

// --- property setters ------------------------------------------------------------------------

void TKsSkinForm::SetTitlerColor(fw::TColor v)
{
    m_titlerColor = v;
    m_effectiveTitleColor = v;
}

void TKsSkinForm::SetCustomPicture(const std::string& v)
{
    if (v == m_customPicture)
        return;
    m_customPicture = v;
    PublishCustomPicture();
}

void TKsSkinForm::SetSkinRes(fw::TComponent* v)
{
    if (m_skinRes != nullptr)
        m_skinRes->RemoveFreeNotification(this);
    m_skinRes = v;
    if (v != nullptr)
        v->FreeNotification(this);
    ApplySkinRes();
}

void TKsSkinForm::SetImageBorder(fw::TComponent* v)
{
    if (m_imageBorder != nullptr)
        m_imageBorder->RemoveFreeNotification(this);
    m_imageBorder = v;
    if (v != nullptr)
        v->FreeNotification(this);
    TKsFormLayerBorder* border = Border();
    if (border != nullptr && !Designing() && m_form->Visible()) {
        border->Attach(m_form);
        border->Setup(&m_elements);
    }
}

void TKsSkinForm::SetMainMenu(const TKsSkinMainMenu& v) { m_mainMenu->Assign(v); }

}  // namespace ks
