#include "skin/frame/uKsSkinMainMenu.h"

#include "skin/frame/uKsSkinForm.h"

#include "framework/TypInfo.h"

namespace ks {

// None of the values has a declared default: all are always stored.
const fw::TClassInfo& TKsSkinMainMenu::StaticClass()
{
    static const fw::TClassInfo& info = fw::DefineClass<TKsSkinMainMenu, fw::TPersistent>("TKsSkinMainMenu")
                                            .Object("Font", &TKsSkinMainMenu::Font)
                                            .Object("Pos", &TKsSkinMainMenu::Pos)
                                            .Object("Pictures", &TKsSkinMainMenu::Pictures)
                                            .Int("HotColor", &TKsSkinMainMenu::HotColor,
                                                 &TKsSkinMainMenu::SetHotColor)
                                            .Int("PressColor", &TKsSkinMainMenu::PressColor,
                                                 &TKsSkinMainMenu::SetPressColor)
                                            .Register();
    return info;
}

TKsSkinMainMenu::TKsSkinMainMenu(TKsSkinForm* controller)
    : m_controller(controller), m_font(std::make_unique<fw::TFont>()), m_pos(std::make_unique<TNCCtrlPos>())
{
    m_pos->SetAlign(caLeft);
    m_pos->SetXValue(5);
    m_pos->SetYValue(5);
    m_pos->SetUseDefault(false);
    m_pictures = std::make_unique<TPngPictures>();
    m_pictures->SetImage("KsSkinFlatBtn");
    m_pictures->SetCount(3);
    m_pictures->SetNormal(0);
    m_pictures->SetHot(1);
    m_pictures->SetPressed(2);
    m_pictures->SetDisable(0);
    m_pictures->SetActive(true);
}

TKsSkinMainMenu::~TKsSkinMainMenu() = default;

fw::TPersistent* TKsSkinMainMenu::GetOwner() const { return m_controller; }

void TKsSkinMainMenu::Assign(const fw::TPersistent& source)
{
    const auto* s = dynamic_cast<const TKsSkinMainMenu*>(&source);
    if (s == nullptr) {
        fw::TPersistent::Assign(source);
        return;
    }
    m_font->Assign(*s->m_font);
    m_pos->Assign(*s->m_pos);
    m_pictures->Assign(*s->m_pictures);
    m_hotColor = s->m_hotColor;
    m_pressColor = s->m_pressColor;
}

}  // namespace ks
