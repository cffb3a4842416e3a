// Menus: items in a tree, main menus on a form's window, popup menus shown
// modally at a screen point, owner-draw callbacks, shortcuts and accelerator
// keys, and the popup list (the hidden window that receives the commands of
// popup menus and can be replaced by a subclass).
#pragma once

#include "framework/Classes.h"
#include "framework/Graphics_win.h"
#include "framework/Messages_win.h"
#include "framework/UtilWindow_win.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class TMenu;
class TMenuItem;

// A key with modifiers: the low byte is the virtual key.
using TShortCut = std::uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

TShortCut ShortCut(WORD key, TShiftState shift);
// "Ctrl+S", "Shift+F10", "Alt+Del"; empty for scNone.
std::string ShortCutToText(TShortCut shortCut);
// The inverse of ShortCutToText (case-insensitive); scNone when not a shortcut.
TShortCut TextToShortCut(std::string_view text);
// Whether the key (a virtual key or character code) is the accelerator of the
// caption: the character after a single '&', compared without case.
bool IsAccel(WORD key, std::string_view caption);
// The caption without accelerator marks ("&&" stays as one '&').
std::string StripHotkey(std::string_view caption);
// The accelerator character of a caption, upper case; 0 when none.
wchar_t GetHotkey(std::string_view caption);

// Owner-draw state bits handed to OnAdvancedDrawItem (the ODS_ values).
using TOwnerDrawState = UINT;
inline constexpr TOwnerDrawState odSelected = 0x0001;
inline constexpr TOwnerDrawState odGrayed = 0x0002;
inline constexpr TOwnerDrawState odDisabled = 0x0004;
inline constexpr TOwnerDrawState odChecked = 0x0008;
inline constexpr TOwnerDrawState odFocused = 0x0010;
inline constexpr TOwnerDrawState odDefault = 0x0020;
inline constexpr TOwnerDrawState odHotLight = 0x0040;
inline constexpr TOwnerDrawState odInactive = 0x0080;
inline constexpr TOwnerDrawState odNoAccel = 0x0100;
inline constexpr TOwnerDrawState odNoFocusRect = 0x0200;

using TMenuMeasureItemEvent = std::function<void(TObject* sender, TCanvas* canvas, int& width, int& height)>;
using TMenuDrawItemEvent = std::function<void(TObject* sender, TCanvas* canvas, TRect rect, bool selected)>;
using TAdvancedMenuDrawItemEvent =
    std::function<void(TObject* sender, TCanvas* canvas, TRect rect, TOwnerDrawState state)>;

class TMenuItem : public TComponent {
  FW_CLASS(TMenuItem)

  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  // --- the tree
  int Count() const { return static_cast<int>(m_items.size()); }
  TMenuItem* Items(int index) const;
  TMenuItem* Parent() const { return m_parent; }
  int MenuIndex() const;
  int IndexOf(const TMenuItem* item) const;
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the item out without freeing it.
  void Remove(TMenuItem* item);
  // Frees the item at index.
  void Delete(int index);
  // Frees every sub-item.
  void Clear();
  // The menu the tree belongs to, or null.
  TMenu* GetParentMenu() const;
  // The item with the given command, searching this item's tree.
  TMenuItem* FindByCommand(UINT command);

  // --- values
  const std::string& Caption() const { return m_caption; }
  void SetCaption(const std::string& utf8);
  TShortCut ShortCut() const { return m_shortCut; }
  void SetShortCut(TShortCut value);
  bool Checked() const { return m_checked; }
  void SetChecked(bool value);
  bool RadioItem() const { return m_radioItem; }
  void SetRadioItem(bool value);
  bool Enabled() const { return m_enabled; }
  void SetEnabled(bool value);
  bool Visible() const { return m_visible; }
  void SetVisible(bool value);
  bool Default() const { return m_default; }
  void SetDefault(bool value);
  bool AutoCheck() const { return m_autoCheck; }
  void SetAutoCheck(bool value) { m_autoCheck = value; }
  int GroupIndex() const { return m_groupIndex; }
  void SetGroupIndex(int value);
  int ImageIndex() const { return m_imageIndex; }
  void SetImageIndex(int value);
  const std::string& Hint() const { return m_hint; }
  void SetHint(const std::string& value) { m_hint = value; }
  int HelpContext() const { return m_helpContext; }
  void SetHelpContext(int value) { m_helpContext = value; }
  // The item's own picture, made on first use.
  TBitmap& Bitmap();
  bool HasBitmap() const { return m_bitmap && !m_bitmap->Empty(); }

  // A separator: the caption "-".
  bool IsLine() const { return m_caption == "-"; }
  // The command identifier the system reports for this item.
  UINT Command() const { return m_command; }
  // The system menu handle of an item with sub-items (a popup menu), made on
  // first use.
  HMENU Handle();

  // Calls OnClick (after toggling Checked for AutoCheck items).
  virtual void Click();

  const TNotifyEvent& OnClick() const { return m_onClick; }
  void SetOnClick(TNotifyEvent e) { m_onClick = std::move(e); }
  const TMenuMeasureItemEvent& OnMeasureItem() const { return m_onMeasureItem; }
  void SetOnMeasureItem(TMenuMeasureItemEvent e) { m_onMeasureItem = std::move(e); }
  const TMenuDrawItemEvent& OnDrawItem() const { return m_onDrawItem; }
  void SetOnDrawItem(TMenuDrawItemEvent e) { m_onDrawItem = std::move(e); }
  const TAdvancedMenuDrawItemEvent& OnAdvancedDrawItem() const { return m_onAdvancedDrawItem; }
  void SetOnAdvancedDrawItem(TAdvancedMenuDrawItemEvent e) { m_onAdvancedDrawItem = std::move(e); }

  // Owner-draw steps, called from WM_MEASUREITEM and WM_DRAWITEM.
  virtual void MeasureItem(TCanvas& canvas, int& width, int& height);
  virtual void AdvancedDrawItem(TCanvas& canvas, const TRect& rect, TOwnerDrawState state, bool topLevel);

  // Stored layouts: sub-items are stored inside the item's record.
  void SetParentComponent(TComponent* parent) override;
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const override;

 private:
  friend class TMenu;
  // Something about this item changed: the system menus are made again.
  void MenuChanged(bool rebuild);
  void AppendTo(HMENU menu, bool ownerDraw, bool menuBar);
  void DestroyHandle();
  void DefaultMeasure(TCanvas& canvas, int& width, int& height);
  void DefaultDraw(TCanvas& canvas, const TRect& rect, TOwnerDrawState state, bool topLevel);

  TMenuItem* m_parent = nullptr;
  TMenu* m_menu = nullptr;  // set on the root item of a menu
  std::vector<TMenuItem*> m_items;
  HMENU m_handle = nullptr;
  UINT m_command = 0;
  std::string m_caption;
  TShortCut m_shortCut = 0;
  bool m_checked = false;
  bool m_radioItem = false;
  bool m_enabled = true;
  bool m_visible = true;
  bool m_default = false;
  bool m_autoCheck = false;
  int m_groupIndex = 0;
  int m_imageIndex = -1;
  std::string m_hint;
  int m_helpContext = 0;
  std::unique_ptr<TBitmap> m_bitmap;
  TNotifyEvent m_onClick;
  TMenuMeasureItemEvent m_onMeasureItem;
  TMenuDrawItemEvent m_onDrawItem;
  TAdvancedMenuDrawItemEvent m_onAdvancedDrawItem;
};

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
  // An image list for item pictures; none in this framework yet.
  TComponent* Images() const { return m_images; }
  void SetImages(TComponent* images) { m_images = images; }
  bool IsRightToLeft() const { return false; }

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
  TComponent* m_images = nullptr;
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

// The hidden window that owns every popup menu while it is shown: it gets the
// menu loop's messages (commands, owner-draw measuring and drawing, selection,
// loop start and end) and hands them to the popup menus registered with it.
// A subclass may replace the program's list (see SetPopupList); it handles
// messages in WndProc and passes them on to this class's WndProc.
class TPopupList {
 public:
  TPopupList();
  virtual ~TPopupList();
  TPopupList(const TPopupList&) = delete;
  TPopupList& operator=(const TPopupList&) = delete;

  HWND Window() const { return m_window ? m_window->Handle() : nullptr; }
  int Count() const { return static_cast<int>(m_menus.size()); }
  TPopupMenu* Items(int index) const { return m_menus.at(static_cast<size_t>(index)); }
  void Add(TPopupMenu* menu);
  void Remove(TPopupMenu* menu);

  virtual void WndProc(TMessage& message);

 private:
  std::vector<TPopupMenu*> m_menus;
  std::unique_ptr<TUtilWindow> m_window;
};

// The program's popup list (created on first use). SetPopupList puts another
// in its place and returns the previous one; the caller owns what it puts in
// and gets back.
TPopupList& PopupList();
TPopupList* SetPopupList(TPopupList* list);

}  // namespace fw
