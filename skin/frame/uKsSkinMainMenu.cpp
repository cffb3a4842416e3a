// TKsSkinMainMenu: the menu bar's settings, its entries (copies of the main
// menu's sub-items in private popup menus) and what the form controller asks
// of it. The title-bar item is in uKsSkinMainMenu_item.cpp.
#include "skin/frame/uKsSkinMainMenu.h"

#include "skin/controls/uKsPopupListEx.h"
#include "skin/controls/uKsSkinMenu.h"
#include "skin/frame/uKsSkinForm.h"

#include "framework/Forms_win.h"
#include "framework/Menus_win.h"
#include "framework/TypInfo.h"

namespace ks {

TKsMenuEntry::TKsMenuEntry() = default;
TKsMenuEntry::~TKsMenuEntry() = default;

// None of the values has a declared default: all are always stored.
const fw::TClassInfo& TKsSkinMainMenu::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinMainMenu, fw::TPersistent>("TKsSkinMainMenu")
            .Component("MainMenu", &TKsSkinMainMenu::MainMenu, &TKsSkinMainMenu::SetMainMenu)
            .Component("MenuSkin", &TKsSkinMainMenu::MenuSkin, &TKsSkinMainMenu::SetMenuSkin)
            .Object("Font", &TKsSkinMainMenu::Font)
            .Object("Pos", &TKsSkinMainMenu::Pos)
            .Object("Pictures", &TKsSkinMainMenu::Pictures)
            .Int("HotColor", &TKsSkinMainMenu::HotColor, &TKsSkinMainMenu::SetHotColor)
            .Int("PressColor", &TKsSkinMainMenu::PressColor, &TKsSkinMainMenu::SetPressColor)
            .Register();
    return info;
}

TKsSkinMainMenu::TKsSkinMainMenu(TKsSkinForm* controller)
    : m_controller(controller),
      m_font(std::make_unique<fw::TFont>()),
      m_pos(std::make_unique<TNCCtrlPos>())
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

TKsSkinMainMenu::~TKsSkinMainMenu()
{
    if (m_popupListInstalled)
        TPopupListEx::Uninstall();
    ClearEntries(false);
}

fw::TPersistent* TKsSkinMainMenu::GetOwner() const { return m_controller; }

void TKsSkinMainMenu::Assign(const fw::TPersistent& source)
{
    const auto* s = dynamic_cast<const TKsSkinMainMenu*>(&source);
    if (s == nullptr) {
        fw::TPersistent::Assign(source);
        return;
    }
    SetMainMenu(s->m_mainMenu);
    SetMenuSkin(s->m_menuSkin);
    m_font->Assign(*s->m_font);
    m_pos->Assign(*s->m_pos);
    m_pictures->Assign(*s->m_pictures);
    m_hotColor = s->m_hotColor;
    m_pressColor = s->m_pressColor;
}

void TKsSkinMainMenu::SetMainMenu(fw::TMainMenu* menu)
{
    if (m_mainMenu != nullptr && m_controller != nullptr)
        m_mainMenu->RemoveFreeNotification(m_controller);
    m_mainMenu = menu;
    if (menu == nullptr)
        return;
    if (m_controller != nullptr)
        menu->FreeNotification(m_controller);
    const bool designing = m_controller != nullptr && m_controller->IsDesigning();
    if (!designing && !m_popupListInstalled) {
        m_popupListInstalled = true;
        TPopupListEx::Install();
    }
}

void TKsSkinMainMenu::SetMenuSkin(TKsSkinMenu* skin)
{
    if (m_menuSkin != nullptr && m_controller != nullptr)
        m_menuSkin->RemoveFreeNotification(m_controller);
    m_menuSkin = skin;
    if (skin != nullptr && m_controller != nullptr)
        skin->FreeNotification(m_controller);
}

void TKsSkinMainMenu::LinkRemoved(fw::TComponent* component)
{
    if (component == m_mainMenu)
        m_mainMenu = nullptr;
    if (component == m_menuSkin)
        m_menuSkin = nullptr;
}

void TKsSkinMainMenu::ItemGone(TKsSkinNCMenuItem* item)
{
    if (m_openItem == item)
        m_openItem = nullptr;
    if (m_nextItem == item)
        m_nextItem = nullptr;
    for (auto& entry : m_entries)
        if (entry->Element == item)
            entry->Element = nullptr;
}

fw::TMenuItem* TKsSkinMainMenu::CopyMenuItem(fw::TMenuItem* item)
{
    auto* copy = new fw::TMenuItem(nullptr);
    copy->SetCaption(item->Caption());
    copy->SetShortCut(item->ShortCut());
    copy->SetChecked(item->Checked());
    copy->SetEnabled(item->Enabled());
    copy->SetOnClick(item->OnClick());
    copy->SetHelpContext(item->HelpContext());
    copy->SetName(item->Name() + "Copy");
    copy->SetImageIndex(item->ImageIndex());
    copy->SetGroupIndex(item->GroupIndex());
    copy->SetAutoCheck(item->AutoCheck());
    copy->SetVisible(item->Visible());
    copy->SetRadioItem(item->RadioItem());
    copy->SetTag(item->Tag());
    copy->SetHint(item->Hint());
    copy->SetDefault(item->Default());
    if (item->HasBitmap())
        copy->Bitmap().Assign(item->Bitmap());
    if (m_menuSkin != nullptr)
        m_menuSkin->HookItem(copy);
    for (int i = 0; i < item->Count(); ++i)
        copy->Add(CopyMenuItem(item->Items(i)));
    return copy;
}

void TKsSkinMainMenu::BuildEntries()
{
    if (m_built)
        return;
    m_built = true;
    ClearEntries(true);
    if (m_mainMenu == nullptr)
        return;
    fw::TMenuItem* top = m_mainMenu->Items();
    for (int i = 0; i < top->Count(); ++i) {
        fw::TMenuItem* item = top->Items(i);
        if (!item->Visible())
            continue;
        auto entry = std::make_unique<TKsMenuEntry>();
        entry->Popup = std::make_unique<fw::TPopupMenu>(nullptr);
        entry->Popup->SetImages(m_mainMenu->Images());
        entry->Popup->SetAutoHotkeys(m_mainMenu->AutoHotkeys());
        entry->Popup->SetAutoLineReduction(m_mainMenu->AutoLineReduction());
        entry->Popup->SetBiDiMode(m_mainMenu->BiDiMode());
        if (m_menuSkin != nullptr)
            entry->Popup->SetOwnerDraw(true);
        for (int j = 0; j < item->Count(); ++j)
            entry->Popup->Items()->Add(CopyMenuItem(item->Items(j)));
        entry->Caption = item->Caption();
        entry->Enabled = item->Enabled();
        entry->OnClick = item->OnClick();
        m_entries.push_back(std::move(entry));
    }
}

void TKsSkinMainMenu::ClearEntries(bool notify)
{
    for (size_t i = m_entries.size(); i-- > 0;) {
        TKsMenuEntry& entry = *m_entries[i];
        entry.Popup.reset();
        if (TKsSkinNCMenuItem* element = entry.Element) {
            element->ForgetEntry();
            fw::TWinControl* owner = element->OwnerControl();
            if (notify && !element->IsDestroying() && owner != nullptr && owner->HandleAllocated())
                ::SendMessageW(owner->Handle(), CM_SKIN_REMOVEELEMENT, ElementMessageParam(element), 0);
            else if (!notify)
                element->Detach();
        }
        m_entries.pop_back();
    }
}

void TKsSkinMainMenu::BuildItems(fw::TCustomForm* form)
{
    if (m_mainMenu == nullptr || m_built || form == nullptr)
        return;
    BuildEntries();
    std::vector<TKsSkinNCMenuItem*> items;
    std::vector<int> widths;
    for (auto& entry : m_entries) {
        items.push_back(new TKsSkinNCMenuItem(form, this, entry.get()));
        widths.push_back(items.back()->GetWidth());
    }
    const std::vector<int> xs = MenuBarItemXValues(m_pos->Align(), m_pos->XValue(), widths);
    for (size_t i = 0; i < items.size(); ++i) {
        items[i]->Pos()->SetAlign(m_pos->Align());
        items[i]->Pos()->SetXValue(xs[i]);
        items[i]->Pos()->SetYValue(m_pos->YValue());
        items[i]->SetGroupIndex(kMenuBarGroupIndex);
    }
}

void TKsSkinMainMenu::MenuClosed(HWND window)
{
    if (m_mainMenu == nullptr || m_openItem == nullptr)
        return;
    m_openItem->SetDown(false);
    m_openItem = nullptr;
    if (m_nextItem != nullptr && window != nullptr)
        ::SetTimer(window, kTimerMenuReopen, kMenuReopenMs, nullptr);
}

void TKsSkinMainMenu::OpenNextItem()
{
    TKsSkinNCMenuItem* next = m_nextItem;
    if (next == nullptr)
        return;
    next->SetPressCount(1);
    next->Click();
}

bool TKsSkinMainMenu::AcceleratorKey(unsigned msg, WPARAM key, LPARAM keyData)
{
    if (m_mainMenu == nullptr)
        return false;
    // A letter typed without Alt is text for the focused control, not a menu
    // accelerator (the Alt flag is bit 29 of the key data).
    if (msg != fw::CM_DIALOGCHAR && (keyData & (1 << 29)) == 0 && ::GetKeyState(VK_MENU) >= 0)
        return false;
    bool matched = false;
    // Clicking may run a drop-down's modal loop: walk a snapshot of the items.
    std::vector<TKsSkinNCMenuItem*> items;
    for (auto& entry : m_entries)
        if (entry->Element != nullptr && fw::IsAccel(static_cast<WORD>(key), entry->Caption))
            items.push_back(entry->Element);
    for (TKsSkinNCMenuItem* item : items) {
        matched = true;
        // Count 1, as for the timed reopen: the click opens the drop-down (a
        // count of 0 would only count).
        item->SetPressCount(1);
        item->Click();
    }
    return matched;
}

// The controller's operation: at the start of every frame paint.
void TKsSkinForm::BuildMenuItems() { m_mainMenu->BuildItems(m_form); }

}  // namespace ks
