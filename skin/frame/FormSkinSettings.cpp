#include "skin/frame/FormSkinSettings.h"

#include "framework/TypInfo.h"

#include <memory>

namespace ks {

const fw::TClassInfo& TKsFormSkinRes::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsFormSkinRes, fw::TPersistent>("TKsFormSkinRes")
            .Bool("ActiveGradient", &TKsFormSkinRes::ActiveGradient, &TKsFormSkinRes::SetActiveGradient, true)
            .Bool("DoubleFrame", &TKsFormSkinRes::DoubleFrame, &TKsFormSkinRes::SetDoubleFrame, true)
            .Enum("FillStyle", &TKsFormSkinRes::FillStyle, &TKsFormSkinRes::SetFillStyle,
                  {"mfsBlur", "mfsTile", "mfsStretch", "mfs9Block"}, mfsBlur)
            .Bool("FlatFrame", &TKsFormSkinRes::FlatFrame, &TKsFormSkinRes::SetFlatFrame, false)
            .Bool("RoundWindow", &TKsFormSkinRes::RoundWindow, &TKsFormSkinRes::SetRoundWindow, true)
            .Component("ImageBorder", &TKsFormSkinRes::ImageBorder, &TKsFormSkinRes::SetImageBorder)
            .Int("TitleHeight", &TKsFormSkinRes::TitleHeight, &TKsFormSkinRes::SetTitleHeight, 27)
            .Int("TitlerColor", &TKsFormSkinRes::TitlerColor, &TKsFormSkinRes::SetTitlerColor, 16761926,
                 fw::ColorIdents())
            .Int("Color", &TKsFormSkinRes::Color, &TKsFormSkinRes::SetColor, 15920353, fw::ColorIdents())
            .Int("FramWidth", &TKsFormSkinRes::FramWidth, &TKsFormSkinRes::SetFramWidth, 2)
            .Int("HitTestWidth", &TKsFormSkinRes::HitTestWidth, &TKsFormSkinRes::SetHitTestWidth, 5)
            .Int("GradientHeight", &TKsFormSkinRes::GradientHeight, &TKsFormSkinRes::SetGradientHeight, 168)
            .String("CustomPicture", &TKsFormSkinRes::CustomPicture, &TKsFormSkinRes::SetCustomPicture)
            .Enum("Style", &TKsFormSkinRes::Style, &TKsFormSkinRes::SetStyle, {"ssColor", "ssPicture"}, ssColor)
            .Int("DefaultSkinOrder", &TKsFormSkinRes::DefaultSkinOrder, &TKsFormSkinRes::SetDefaultSkinOrder, 0)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsFormSkinRes)

void TKsFormSkinRes::SetTitleHeight(int v)
{
    if (v == m_titleHeight)
        return;
    m_titleHeight = v;
    Changed();
}

void TKsFormSkinRes::SetTitlerColor(fw::TColor v)
{
    if (v == m_titlerColor)
        return;
    m_titlerColor = v;
    Changed();
}

void TKsFormSkinRes::SetColor(fw::TColor v)
{
    if (v == m_color)
        return;
    m_color = v;
    Changed();
}

void TKsFormSkinRes::SetFramWidth(int v)
{
    if (v < 0 || v == m_framWidth)
        return;
    m_framWidth = v;
    Changed();
}

void TKsFormSkinRes::SetHitTestWidth(int v)
{
    if (v == m_hitTestWidth)
        return;
    m_hitTestWidth = v;
    Changed();
}

void TKsFormSkinRes::SetGradientHeight(int v)
{
    if (v == m_gradientHeight)
        return;
    m_gradientHeight = v;
    Changed();
}

void TKsFormSkinRes::SetCustomPicture(const std::string& v)
{
    if (v == m_customPicture)
        return;
    m_customPicture = v;
    Changed();
}

void TKsFormSkinRes::SetStyle(TKsSkinStyle v)
{
    if (v == m_style)
        return;
    m_style = v;
    Changed();
}

void TKsFormSkinRes::SetDefaultSkinOrder(int v)
{
    if (v == m_defaultSkinOrder)
        return;
    m_defaultSkinOrder = v;
    Changed();
}

void TKsFormSkinRes::EndUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount == 0)
        Changed();
}

void TKsFormSkinRes::Changed()
{
    if (m_updateCount > 0 || m_loading)
        return;
    if (NotifyOwner)
        NotifyOwner();
    if (OnChange)
        OnChange(this);
}

void TKsFormSkinRes::Assign(const fw::TPersistent& source)
{
    const auto* s = dynamic_cast<const TKsFormSkinRes*>(&source);
    if (s == nullptr) {
        fw::TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    m_activeGradient = s->m_activeGradient;
    m_doubleFrame = s->m_doubleFrame;
    m_fillStyle = s->m_fillStyle;
    m_flatFrame = s->m_flatFrame;
    m_roundWindow = s->m_roundWindow;
    m_imageBorder = s->m_imageBorder;
    SetTitleHeight(s->m_titleHeight);
    SetTitlerColor(s->m_titlerColor);
    SetColor(s->m_color);
    SetFramWidth(s->m_framWidth);
    SetHitTestWidth(s->m_hitTestWidth);
    SetGradientHeight(s->m_gradientHeight);
    SetCustomPicture(s->m_customPicture);
    SetStyle(s->m_style);
    SetDefaultSkinOrder(s->m_defaultSkinOrder);
    m_formBg = s->m_formBg;
    EndUpdate();
}

TKsFormSkinRes& GlobalFormSkin()
{
    // No owner: its notifications reach only its OnChange.
    static const std::unique_ptr<TKsFormSkinRes> record = std::make_unique<TKsFormSkinRes>();
    return *record;
}

}  // namespace ks
