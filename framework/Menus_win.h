// Menus: the menu tree's root (TMenu), the menu bar of a form's window
// (TMainMenu) and popup menus shown modally at a screen point (TPopupMenu).
// Items, shortcuts, image lists and the popup list have headers of their own,
// included here for users of menus.
#pragma once

#include "framework/Classes.h"
#include "framework/Graphics_win.h"
#include "framework/ImgList_win.h"
#include "framework/MenuItem_win.h"
#include "framework/Messages_win.h"
#include "framework/PopupList_win.h"
#include "framework/ShortCuts_win.h"

#include <functional>
#include <memory>

namespace fw {

enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// The root of a menu tree. The items are components of the menu's owner
// (the form); the menu's root item is owned by the menu itself.
class TMenu : public TComponent {
    FW_CLASS(TMenu)

    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    TMenuItem* Items() const { return m_items.get(); }
    // System menus are made with MFT_OWNERDRAW items: their measuring and
    // drawing go through the items' callbacks.
    bool OwnerDraw() const { return m_ownerDraw; }
    void SetOwnerDraw(bool value);
    // The pictures of the items (TMenuItem::ImageIndex); the menu is told
    // when the list goes away.
    TCustomImageList* Images() const { return m_images; }
    void SetImages(TCustomImageList* images);
    // A right-to-left menu lists its items from the right, text right-aligned.
    TBiDiMode BiDiMode() const { return m_biDiMode; }
    void SetBiDiMode(TBiDiMode value);
    bool IsRightToLeft() const { return m_biDiMode != bdLeftToRight; }
    // Alt+letter goes to the accelerators the captions give (stored for
    // compatibility; captions are never rewritten).
    bool AutoHotkeys() const { return m_autoHotkeys; }
    void SetAutoHotkeys(bool value) { m_autoHotkeys = value; }
    bool AutoLineReduction() const { return m_autoLineReduction; }
    void SetAutoLineReduction(bool value) { m_autoLineReduction = value; }

    // The system menu (a menu bar for main menus, a popup menu otherwise).
    HMENU Handle();
    bool HandleAllocated() const { return m_items->m_handle != nullptr; }

    // The item with the given command identifier, or null.
    TMenuItem* FindItem(UINT command);
    // The item whose sub-menu has the given handle, or null.
    TMenuItem* FindItemByHandle(HMENU handle);
    // Clicks the item with the command; false when there is none.
    bool DispatchCommand(UINT command);
    // The item whose shortcut this is, or null.
    TMenuItem* FindShortCut(TShortCut shortCut);

    // WM_MEASUREITEM / WM_DRAWITEM for this menu's items (ODT_MENU); true when
    // the item was one of ours.
    bool MeasureItem(MEASUREITEMSTRUCT& data);
    bool DrawItem(const DRAWITEMSTRUCT& data);
    // WM_MENUCHAR: the accelerator of an owner-drawn item of the sub-menu
    // handle (the system cannot read those); true with the answer in result.
    bool MenuChar(HMENU handle, WORD key, LRESULT& result);
    // The one place where a window's menu messages (WM_COMMAND from a menu,
    // WM_INITMENUPOPUP, WM_MEASUREITEM, WM_DRAWITEM, WM_MENUCHAR) reach this
    // menu's items; true when the message was for them (Result is set).
    bool HandleMenuMessage(TMessage& message);

    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    virtual bool IsMenuBar() const { return false; }
    // The items changed: menus made from them are made again.
    virtual void MenuChanged();

private:
    friend class TMenuItem;
    void RebuildHandle();

    std::unique_ptr<TMenuItem> m_items;
    bool m_ownerDraw = false;
    TCustomImageList* m_images = nullptr;
    TBiDiMode m_biDiMode = bdLeftToRight;
    bool m_autoHotkeys = true;
    bool m_autoLineReduction = true;
};

// The menu bar of a form (attached with the form's Menu).
class TMainMenu : public TMenu {
    FW_CLASS(TMainMenu)

    explicit TMainMenu(TComponent* owner);
    ~TMainMenu() override;

    // The window whose menu bar this is (set by the form).
    HWND WindowHandle() const { return m_window; }
    void SetWindowHandle(HWND window);

protected:
    bool IsMenuBar() const override { return true; }
    void MenuChanged() override;

private:
    HWND m_window = nullptr;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
    FW_CLASS(TPopupMenu)

    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    // Shows the menu at a screen point and returns when it closes; a chosen
    // item is clicked after the menu has gone.
    virtual void Popup(int x, int y);
    TPopupAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TPopupAlignment value) { m_alignment = value; }
    bool AutoPopup() const { return m_autoPopup; }
    void SetAutoPopup(bool value) { m_autoPopup = value; }
    TComponent* PopupComponent() const { return m_popupComponent; }
    void SetPopupComponent(TComponent* c) { m_popupComponent = c; }

    const TNotifyEvent& OnPopup() const { return m_onPopup; }
    void SetOnPopup(TNotifyEvent e) { m_onPopup = std::move(e); }

private:
    TPopupAlignment m_alignment = paLeft;
    bool m_autoPopup = true;
    TComponent* m_popupComponent = nullptr;
    TNotifyEvent m_onPopup;
};

}  // namespace fw
