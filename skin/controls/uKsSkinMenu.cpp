// TKsSkinMenu: published values, hooking the owner's menu items, measuring.
// Drawing is in uKsSkinMenu_draw.cpp, the window cache in
// uKsSkinMenu_wnds.cpp, the unit's hook and settings in uKsSkinMenu_unit.cpp
// and the layered push in uKsSkinMenu_push.cpp.
#include "skin/controls/uKsSkinMenu.h"

#include "framework/TypInfo.h"
#include "skin/resources/uKsSkinResManager.h"

#include <algorithm>

namespace ks {

const fw::TClassInfo& TKsSkinMenu::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinMenu, fw::TComponent>("TKsSkinMenu")
            .Enum("About", &TKsSkinMenu::About, &TKsSkinMenu::SetAbout, {"aiKsSkinComponent"})
            .Stored(false)
            .Object("Font", &TKsSkinMenu::Font)
            .Object("HotFont", &TKsSkinMenu::HotFont)
            .Int("LineColor", &TKsSkinMenu::LineColor, &TKsSkinMenu::SetLineColor, 0x00CEC5BA, fw::ColorIdents())
            .String("Menu_bk", &TKsSkinMenu::Menu_bk, &TKsSkinMenu::SetMenu_bk, "KsSkinMenu_bk")
            .String("Menu_hilight", &TKsSkinMenu::Menu_hilight, &TKsSkinMenu::SetMenu_hilight, "KsSkinMenu_hilight")
            .String("Menu_Check", &TKsSkinMenu::Menu_Check, &TKsSkinMenu::SetMenu_Check, "KsSkinMenu_icon_check")
            .String("Menu_Radio", &TKsSkinMenu::Menu_Radio, &TKsSkinMenu::SetMenu_Radio, "KsSkinMenu_icon_radio")
            .String("Menu_SubArrow", &TKsSkinMenu::Menu_SubArrow, &TKsSkinMenu::SetMenu_SubArrow,
                    "KsSkinMenu_sub_arrow")
            .Int("BorderOffset", &TKsSkinMenu::BorderOffset, &TKsSkinMenu::SetBorderOffset, 6)
            .Int("BorderWidth", &TKsSkinMenu::BorderWidth, &TKsSkinMenu::SetBorderWidth, 0)
            .Int("GlyphBarWidth", &TKsSkinMenu::GlyphBarWidth, &TKsSkinMenu::SetGlyphBarWidth, 31)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinMenu)

TKsSkinMenu::TKsSkinMenu(fw::TComponent* owner)
    : fw::TComponent(owner),
      m_font(std::make_unique<fw::TFont>()),
      m_hotFont(std::make_unique<fw::TFont>()),
      m_windows(std::make_unique<TMenuWnds>())
{
    m_font->SetSize(kSkinMenuFontSize);
    m_hotFont->SetColor(0x00FFFFFF);
    m_hotFont->SetSize(kSkinMenuFontSize);
    if (!IsDesigning()) {
        SwitchMenuEffectsOff();
        HookOwnerItems();
    }
}

TKsSkinMenu::~TKsSkinMenu()
{
    m_windows.reset();
    if (!IsDesigning()) {
        while (!m_items.empty())
            UnhookItem(m_items.back());
    }
}

void TKsSkinMenu::Loaded()
{
    fw::TComponent::Loaded();
    fw::TComponent* owner = Owner();
    if (owner == nullptr)
        return;
    if (IsDesigning()) {
        // The stored layout carries OwnerDraw for run time.
        for (int i = 0; i < owner->ComponentCount(); ++i)
            if (auto* menu = dynamic_cast<fw::TMenu*>(owner->Components(i)))
                menu->SetOwnerDraw(true);
        return;
    }
    HookOwnerItems();
}

void TKsSkinMenu::Notification(fw::TComponent* component, fw::TOperation operation)
{
    fw::TComponent::Notification(component, operation);
    if (operation == fw::opRemove) {
        // A dying item is only a TComponent by now: compare addresses, and
        // leave its events alone.
        std::erase_if(m_items, [component](fw::TMenuItem* item) { return item == component; });
        return;
    }
    if (IsDesigning()) {
        fw::TComponent* owner = Owner();
        if (component == this && owner != nullptr) {
            for (int i = 0; i < owner->ComponentCount(); ++i)
                if (auto* menu = dynamic_cast<fw::TMenu*>(owner->Components(i)))
                    menu->SetOwnerDraw(true);
        } else if (auto* menu = dynamic_cast<fw::TMenu*>(component)) {
            menu->SetOwnerDraw(true);
        }
        return;
    }
    if (auto* item = dynamic_cast<fw::TMenuItem*>(component))
        HookItem(item);
}

void TKsSkinMenu::HookOwnerItems()
{
    fw::TComponent* owner = Owner();
    if (owner == nullptr)
        return;
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (auto* item = dynamic_cast<fw::TMenuItem*>(owner->Components(i)))
            HookItem(item);
}

void TKsSkinMenu::HookItem(fw::TMenuItem* item)
{
    if (item == nullptr || item->OnAdvancedDrawItem())
        return;
    item->SetOnAdvancedDrawItem([this](fw::TObject* sender, fw::TCanvas* canvas, fw::TRect rect,
                                       fw::TOwnerDrawState state) { DrawMenuItem(sender, canvas, rect, state); });
    item->SetOnMeasureItem(
        [this](fw::TObject* sender, fw::TCanvas* canvas, int& w, int& h) { MeasureMenuItem(sender, canvas, w, h); });
    item->FreeNotification(this);
    m_items.push_back(item);
}

void TKsSkinMenu::UnhookItem(fw::TMenuItem* item)
{
    auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it == m_items.end())
        return;
    item->SetOnAdvancedDrawItem(nullptr);
    item->SetOnMeasureItem(nullptr);
    item->RemoveFreeNotification(this);
    m_items.erase(it);
}

bool TKsSkinMenu::IsHooked(const fw::TMenuItem* item) const
{
    return std::find(m_items.begin(), m_items.end(), item) != m_items.end();
}

SkinMenuItemPlace MenuItemPlace(const fw::TMenuItem& item)
{
    SkinMenuItemPlace place;
    const fw::TMenuItem* parent = item.Parent();
    if (parent == nullptr)
        return place;
    place.Lone = parent->Count() == 1;
    const fw::TMenuItem* first = nullptr;
    const fw::TMenuItem* last = nullptr;
    for (int i = 0; i < parent->Count(); ++i) {
        const fw::TMenuItem* child = parent->Items(i);
        if (!child->Visible())
            continue;
        if (first == nullptr)
            first = child;
        last = child;
    }
    place.FirstVisible = first == &item;
    place.LastVisible = last == &item;
    return place;
}

namespace {

bool InMainMenu(const fw::TMenuItem& item) { return dynamic_cast<fw::TMainMenu*>(item.GetParentMenu()) != nullptr; }

const TBitmap32* SkinImage(const std::string& name)
{
    try {
        return SkinResManager().GetBitmap(name);
    } catch (...) {
        return nullptr;  // a file that cannot be read draws nothing
    }
}

}  // namespace

void TKsSkinMenu::MeasureMenuItem(fw::TObject* sender, fw::TCanvas* canvas, int& width, int& height)
{
    auto* item = dynamic_cast<fw::TMenuItem*>(sender);
    if (item == nullptr || item->IsDestroying())
        return;
    SetMenuPainted(false);
    if (item->IsLine()) {
        height = kSkinMenuSeparatorHeight;
        return;
    }
    if (InMainMenu(*item) || canvas == nullptr)
        return;
    canvas->Font().SetSize(kSkinMenuFontSize);
    std::string text = item->Caption();
    if (item->ShortCut() != fw::scNone)
        text += fw::ShortCutToText(item->ShortCut());
    width = SkinMenuItemWidth(canvas->TextWidth(text));
    const TBitmap32* hilight = SkinImage(m_menuHilight);
    height =
        SkinMenuItemHeight(height, hilight != nullptr ? hilight->Height() : -1, m_borderOffset, MenuItemPlace(*item));
}

}  // namespace ks
