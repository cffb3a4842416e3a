// The title-bar menu bar of a skinned form.
//
// TKsSkinMainMenu holds its settings, owned by the form controller and
// published as its MainMenu property: the framework main menu whose top-level
// entries become title-bar items, the skinned popup-menu component that draws
// their drop-downs, the caption font, where the first item goes, the picture
// reference carried in the stored layout, and the hot and pressed highlight
// colours. At the first frame paint it copies each visible top-level entry's
// sub-items into a private popup menu and the controller makes one title-bar
// item (TKsSkinNCMenuItem) per entry.
//
// TKsSkinNCMenuItem is the title-bar button of one entry: it opens the
// entry's drop-down below itself, switches to a neighbour's drop-down when the
// mouse moves onto the neighbour while a drop-down is open (its 10 ms poll
// keeps tracking the mouse inside the menu's modal loop), and draws its
// caption over a translucent hot or pressed highlight.
#pragma once

#include "skin/frame/MenuBarLayout.h"
#include "skin/frame/uKsSkinNCCtrlBase.h"
#include "skin/resources/uKsSkinIntf.h"

#include "framework/Classes.h"
#include "framework/Graphics_win.h"

#include <memory>
#include <string>
#include <vector>

namespace fw {
class TMainMenu;
class TMenuItem;
class TPopupMenu;
class TCustomForm;
}  // namespace fw

namespace ks {

class TKsSkinForm;
class TKsSkinMenu;
class TKsSkinNCMenuItem;

// One visible top-level entry of the linked main menu.
struct TKsMenuEntry {
    std::string Caption;
    std::unique_ptr<fw::TPopupMenu> Popup;  // copies of the entry's sub-items
    TKsSkinNCMenuItem* Element = nullptr;   // the title-bar item shown for it
    bool Enabled = true;
    fw::TNotifyEvent OnClick;
    TKsMenuEntry();
    ~TKsMenuEntry();
};

class TKsSkinMainMenu : public fw::TPersistent {
    FW_CLASS(TKsSkinMainMenu)

    explicit TKsSkinMainMenu(TKsSkinForm* controller = nullptr);
    ~TKsSkinMainMenu() override;

    TKsSkinForm* Controller() const { return m_controller; }
    fw::TPersistent* GetOwner() const override;

    // --- published ------------------------------------------------------------------
    fw::TMainMenu* MainMenu() const { return m_mainMenu; }
    // Installs the popup-list replacement (once) when a menu is given at run
    // time. Entries are built once, from the menu linked at the first frame
    // paint.
    void SetMainMenu(fw::TMainMenu* menu);
    TKsSkinMenu* MenuSkin() const { return m_menuSkin; }
    void SetMenuSkin(TKsSkinMenu* skin);
    fw::TFont* Font() const { return m_font.get(); }
    void SetFont(const fw::TFont& font) { m_font->Assign(font); }
    TNCCtrlPos* Pos() const { return m_pos.get(); }
    void SetPos(const TNCCtrlPos& pos) { m_pos->Assign(pos); }
    TPngPictures* Pictures() const { return m_pictures.get(); }
    void SetPictures(const TPngPictures& pictures) { m_pictures->Assign(pictures); }
    fw::TColor HotColor() const { return m_hotColor; }
    void SetHotColor(fw::TColor v) { m_hotColor = v; }
    fw::TColor PressColor() const { return m_pressColor; }
    void SetPressColor(fw::TColor v) { m_pressColor = v; }

    // Copies the published values of another settings object.
    void Assign(const fw::TPersistent& source) override;

    // --- entries --------------------------------------------------------------------
    // Once: copies every visible top-level entry of MainMenu.
    void BuildEntries();
    // Frees the entries from the last; with notify the title-bar items are
    // removed from the controller too.
    void ClearEntries(bool notify);
    // A copy of item and its sub-items, named after it with "Copy".
    fw::TMenuItem* CopyMenuItem(fw::TMenuItem* item);
    int EntryCount() const { return static_cast<int>(m_entries.size()); }
    TKsMenuEntry& Entry(int index) const { return *m_entries.at(static_cast<size_t>(index)); }
    bool Built() const { return m_built; }
    bool PopupListInstalled() const { return m_popupListInstalled; }

    // The item whose drop-down or click is running, and the item to open once
    // the current drop-down has closed.
    TKsSkinNCMenuItem* OpenItem() const { return m_openItem; }
    void SetOpenItem(TKsSkinNCMenuItem* item) { m_openItem = item; }
    TKsSkinNCMenuItem* NextItem() const { return m_nextItem; }
    void SetNextItem(TKsSkinNCMenuItem* item) { m_nextItem = item; }

    // --- the controller's side ---------------------------------------------------------
    // At the start of every frame paint: builds the entries and one title-bar
    // item per entry, once.
    void BuildItems(fw::TCustomForm* form);
    // CM_SKIN_MENUCLOSED: raises the open item; starts the 20 ms timer on
    // window when another item waits.
    void MenuClosed(HWND window);
    // Timer 3334: opens the waiting item.
    void OpenNextItem();
    // CM_DIALOGKEY / CM_DIALOGCHAR: clicks every entry whose caption has key
    // as its accelerator; true when any did.
    bool AcceleratorKey(unsigned msg, WPARAM key, LPARAM keyData);
    // A linked component is going away.
    void LinkRemoved(fw::TComponent* component);
    // A title-bar item is going away.
    void ItemGone(TKsSkinNCMenuItem* item);

private:
    TKsSkinForm* m_controller;
    fw::TMainMenu* m_mainMenu = nullptr;
    TKsSkinMenu* m_menuSkin = nullptr;
    std::unique_ptr<fw::TFont> m_font;
    std::unique_ptr<TNCCtrlPos> m_pos;
    std::unique_ptr<TPngPictures> m_pictures;
    fw::TColor m_hotColor = 11463932;   // 0x00AEECFC
    fw::TColor m_pressColor = 8184058;  // 0x007CE0FA
    std::vector<std::unique_ptr<TKsMenuEntry>> m_entries;
    bool m_built = false;
    bool m_popupListInstalled = false;
    TKsSkinNCMenuItem* m_openItem = nullptr;
    TKsSkinNCMenuItem* m_nextItem = nullptr;
};

}  // namespace ks

#ifdef _WIN32
#include "skin/frame/uKsSkinNCButton.h"

namespace ks {

class TKsSkinNCMenuItem : public TKsSkinNCButton {
    FW_CLASS(TKsSkinNCMenuItem)

    // The stored-layout constructor; an item made this way has no entry and
    // does nothing.
    explicit TKsSkinNCMenuItem(fw::TComponent* owner);
    TKsSkinNCMenuItem(fw::TComponent* owner, TKsSkinMainMenu* settings, TKsMenuEntry* entry);
    ~TKsSkinNCMenuItem() override;

    TKsSkinMainMenu* Settings() const { return m_settings; }
    TKsMenuEntry* MenuEntry() const { return m_entry; }
    void Detach();  // the settings or the entry are going away
    void ForgetEntry() { m_entry = nullptr; }
    int PressCount() const { return m_pressCount; }
    void SetPressCount(int v) { m_pressCount = v; }

    void TimerTick(fw::TObject* sender) override;
    void TrackMouse(fw::TPoint point) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void LMouseDown() override;
    void Click() override;
    void Paint(TBitmap32& bitmap) override;

private:
    bool HasSubItems() const;
    void OpenPopup();

    TKsSkinMainMenu* m_settings = nullptr;
    TKsMenuEntry* m_entry = nullptr;
    int m_pressCount = 0;
};

}  // namespace ks
#endif  // _WIN32
