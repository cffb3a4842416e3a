// TMenuItem: one item of a menu tree (caption, shortcut, check and radio
// marks, default, image index, hint, visibility) with its owner-draw
// callbacks. The tree's root belongs to a TMenu (Menus_win.h).
#pragma once

#include "framework/Classes.h"
#include "framework/Graphics_win.h"
#include "framework/Messages_win.h"
#include "framework/ShortCuts_win.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fw {

class TMenu;

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
    // The live item with the given command identifier, or null.
    static TMenuItem* FromCommand(UINT command);
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

}  // namespace fw
