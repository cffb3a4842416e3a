#include "framework/MenuItem_win.h"

#include "framework/Menus_win.h"
#include "framework/TypInfo.h"
#include "framework/WideText_win.h"

#include <algorithm>
#include <unordered_map>

namespace fw {

namespace {

// Command identifiers of live items. Menu commands are 16-bit.
std::unordered_map<UINT, TMenuItem*>& Commands()
{
    static std::unordered_map<UINT, TMenuItem*> commands;
    return commands;
}

UINT NewCommand(TMenuItem* item)
{
    static UINT next = 1;
    auto& commands = Commands();
    for (int tries = 0; tries < 0xFFFF; ++tries) {
        UINT id = next;
        next = next >= 0xFFFF ? 1 : next + 1;
        if (!commands.count(id)) {
            commands[id] = item;
            return id;
        }
    }
    throw EFrameworkError("Too many menu items");
}

}  // namespace

TMenuItem* TMenuItem::FromCommand(UINT command)
{
    auto it = Commands().find(command);
    return it == Commands().end() ? nullptr : it->second;
}

const TClassInfo& TMenuItem::StaticClass()
{
    static const TClassInfo& info = DefineClass<TMenuItem, TComponent>("TMenuItem")
                                        .Bool("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck, false)
                                        .WString("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
                                        .Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false)
                                        .Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault, false)
                                        .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
                                        .Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex, 0)
                                        .Int("HelpContext", &TMenuItem::HelpContext, &TMenuItem::SetHelpContext, 0)
                                        .WString("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
                                        .Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex, -1)
                                        .Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem, false)
                                        .Int("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut, 0)
                                        .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
                                        .Event("OnAdvancedDrawItem", &TMenuItem::SetOnAdvancedDrawItem)
                                        .Event("OnClick", &TMenuItem::SetOnClick)
                                        .Event("OnDrawItem", &TMenuItem::SetOnDrawItem)
                                        .Event("OnMeasureItem", &TMenuItem::SetOnMeasureItem)
                                        .Register();
    return info;
}
FW_REGISTER_CLASS(TMenuItem)

// ---------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) { m_command = NewCommand(this); }

TMenuItem::~TMenuItem()
{
    Commands().erase(m_command);
    if (m_parent)
        m_parent->Remove(this);
    // Sub-items go with their parent, as menus are built.
    while (!m_items.empty()) {
        TMenuItem* child = m_items.back();
        m_items.pop_back();
        child->m_parent = nullptr;
        delete child;
    }
    if (m_handle && !m_parent && !m_menu) {
        ::DestroyMenu(m_handle);
        m_handle = nullptr;
    }
}

TMenuItem* TMenuItem::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EFrameworkError("Menu index out of range");
    return m_items[static_cast<size_t>(index)];
}

int TMenuItem::IndexOf(const TMenuItem* item) const
{
    auto it = std::find(m_items.begin(), m_items.end(), item);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

int TMenuItem::MenuIndex() const { return m_parent ? m_parent->IndexOf(this) : -1; }

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item)
{
    if (!item)
        return;
    if (item->m_parent)
        throw EFrameworkError("Menu inserted twice");
    for (const TMenuItem* p = this; p; p = p->m_parent) {
        if (p == item)
            throw EFrameworkError("A menu item cannot contain itself");
    }
    index = std::clamp(index, 0, Count());
    m_items.insert(m_items.begin() + index, item);
    item->m_parent = this;
    MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* item)
{
    int index = IndexOf(item);
    if (index < 0)
        return;
    m_items.erase(m_items.begin() + index);
    item->m_parent = nullptr;
    item->DestroyHandle();
    MenuChanged(true);
}

void TMenuItem::Delete(int index)
{
    TMenuItem* item = Items(index);
    Remove(item);
    delete item;
}

void TMenuItem::Clear()
{
    while (Count() > 0)
        Delete(Count() - 1);
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* root = this;
    while (root->m_parent)
        root = root->m_parent;
    return root->m_menu;
}

TMenuItem* TMenuItem::FindByCommand(UINT command)
{
    if (m_command == command)
        return this;
    for (TMenuItem* child : m_items) {
        if (TMenuItem* found = child->FindByCommand(command))
            return found;
    }
    return nullptr;
}

void TMenuItem::SetCaption(const std::string& utf8)
{
    if (utf8 == m_caption)
        return;
    m_caption = utf8;
    MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut value)
{
    if (value == m_shortCut)
        return;
    m_shortCut = value;
    MenuChanged(true);
}

void TMenuItem::SetChecked(bool value)
{
    if (value == m_checked)
        return;
    m_checked = value;
    if (value && m_radioItem && m_parent) {
        // Radio items of a group: one checked at a time.
        for (TMenuItem* sibling : m_parent->m_items) {
            if (sibling != this && sibling->m_radioItem && sibling->m_groupIndex == m_groupIndex) {
                sibling->m_checked = false;
            }
        }
    }
    MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool value)
{
    if (value == m_radioItem)
        return;
    m_radioItem = value;
    MenuChanged(true);
}

void TMenuItem::SetEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    MenuChanged(true);
}

void TMenuItem::SetVisible(bool value)
{
    if (value == m_visible)
        return;
    m_visible = value;
    MenuChanged(true);
}

void TMenuItem::SetDefault(bool value)
{
    if (value == m_default)
        return;
    m_default = value;
    MenuChanged(true);
}

void TMenuItem::SetGroupIndex(int value)
{
    if (value == m_groupIndex)
        return;
    m_groupIndex = value;
    MenuChanged(false);
}

void TMenuItem::SetImageIndex(int value)
{
    if (value == m_imageIndex)
        return;
    m_imageIndex = value;
    MenuChanged(true);
}

TBitmap& TMenuItem::Bitmap()
{
    if (!m_bitmap)
        m_bitmap = std::make_unique<TBitmap>();
    return *m_bitmap;
}

void TMenuItem::MenuChanged(bool rebuild)
{
    if (!rebuild || IsLoading())
        return;
    if (TMenu* menu = GetParentMenu())
        menu->MenuChanged();
}

void TMenuItem::DestroyHandle()
{
    // A sub-menu belongs to the menu it hangs in; only a detached tree's top
    // handle is destroyed here.
    for (TMenuItem* child : m_items)
        child->DestroyHandle();
    m_handle = nullptr;
}

HMENU TMenuItem::Handle()
{
    if (m_handle)
        return m_handle;
    if (m_menu)
        return m_menu->Handle();
    if (TMenu* menu = GetParentMenu()) {
        menu->Handle();
        if (m_handle)
            return m_handle;
    }
    return nullptr;
}

void TMenuItem::AppendTo(HMENU menu, bool ownerDraw, bool menuBar)
{
    if (!m_visible)
        return;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
    std::wstring text;
    if (IsLine() && !menuBar) {
        info.fType = MFT_SEPARATOR;
    } else {
        info.fType = MFT_STRING;
        info.fMask |= MIIM_STRING;
        text = Utf8ToWide(m_caption);
        if (m_shortCut && !menuBar)
            text += L"\t" + Utf8ToWide(ShortCutToText(m_shortCut));
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
    }
    if (ownerDraw)
        info.fType |= MFT_OWNERDRAW;
    if (TMenu* owner = GetParentMenu(); owner && owner->IsRightToLeft())
        info.fType |= MFT_RIGHTORDER | MFT_RIGHTJUSTIFY;
    if (m_radioItem)
        info.fType |= MFT_RADIOCHECK;
    if (m_checked)
        info.fState |= MFS_CHECKED;
    if (!m_enabled)
        info.fState |= MFS_DISABLED | MFS_GRAYED;
    if (m_default)
        info.fState |= MFS_DEFAULT;
    info.wID = m_command;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    if (!m_items.empty()) {
        m_handle = ::CreatePopupMenu();
        for (TMenuItem* child : m_items)
            child->AppendTo(m_handle, ownerDraw, false);
        info.hSubMenu = m_handle;
    }
    if (!::InsertMenuItemW(menu, ::GetMenuItemCount(menu), TRUE, &info) && m_handle) {
        ::DestroyMenu(m_handle);
        m_handle = nullptr;
    }
}

void TMenuItem::Click()
{
    if (!m_enabled)
        return;
    if (m_autoCheck)
        SetChecked(!m_checked);
    if (m_onClick) {
        TNotifyEvent handler = m_onClick;
        handler(this);
    }
}

void TMenuItem::DefaultMeasure(TCanvas& canvas, int& width, int& height)
{
    if (IsLine()) {
        height = 8;
        width = 0;
        return;
    }
    std::string text = StripHotkey(m_caption);
    if (m_shortCut)
        text += "    " + ShortCutToText(m_shortCut);
    TSize extent = canvas.TextExtent(text);
    const bool topLevel = m_parent && m_parent->m_menu && m_parent->m_menu->IsMenuBar();
    width = extent.cx + (topLevel ? 8 : 2 * ::GetSystemMetrics(SM_CXMENUCHECK) + 8);
    height = std::max<int>(extent.cy + 4, ::GetSystemMetrics(SM_CYMENUCHECK) + 2);
}

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height)
{
    DefaultMeasure(canvas, width, height);
    if (m_onMeasureItem)
        m_onMeasureItem(this, &canvas, width, height);
}

void TMenuItem::DefaultDraw(TCanvas& canvas, const TRect& rect, TOwnerDrawState state, bool topLevel)
{
    const bool selected = (state & odSelected) != 0;
    canvas.Brush().SetColor(selected ? clHighlight : (topLevel ? clMenuBar : clMenu));
    canvas.FillRect(rect);
    if (IsLine()) {
        canvas.Pen().SetColor(clBtnShadow);
        int y = rect.Top + rect.Height() / 2;
        canvas.MoveTo(rect.Left + 2, y);
        canvas.LineTo(rect.Right - 2, y);
        return;
    }
    TColor textColor = selected ? clHighlightText : clMenuText;
    if (!m_enabled)
        textColor = clGrayText;
    canvas.Font().SetColor(textColor);
    canvas.Brush().SetStyle(bsClear);
    const int gutter = topLevel ? 4 : ::GetSystemMetrics(SM_CXMENUCHECK) + 4;
    if (m_checked && !topLevel) {
        TRect box(rect.Left + 2, rect.Top, rect.Left + gutter, rect.Bottom);
        TRect mark = box;
        canvas.DrawText(mark, m_radioItem ? L"\u25CF" : L"\u2713", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    TRect textRect(rect.Left + gutter, rect.Top, rect.Right - 4, rect.Bottom);
    TMenu* owner = GetParentMenu();
    const UINT direction = owner && owner->IsRightToLeft() ? DT_RIGHT | DT_RTLREADING : 0;
    UINT flags = DT_SINGLELINE | DT_VCENTER | direction | ((state & odNoAccel) ? DT_HIDEPREFIX : 0);
    canvas.DrawText(textRect, Utf8ToWide(m_caption), flags);
    if (m_shortCut && !topLevel) {
        TRect keys = textRect;
        canvas.DrawText(keys, Utf8ToWide(ShortCutToText(m_shortCut)),
                        DT_SINGLELINE | DT_VCENTER | (direction ? DT_LEFT | DT_RTLREADING : DT_RIGHT));
    }
}

void TMenuItem::AdvancedDrawItem(TCanvas& canvas, const TRect& rect, TOwnerDrawState state, bool topLevel)
{
    if (m_onAdvancedDrawItem) {
        m_onAdvancedDrawItem(this, &canvas, rect, state);
    } else if (m_onDrawItem) {
        m_onDrawItem(this, &canvas, rect, (state & odSelected) != 0);
    } else {
        DefaultDraw(canvas, rect, state, topLevel);
    }
}

void TMenuItem::SetParentComponent(TComponent* parent)
{
    if (m_parent)
        m_parent->Remove(this);
    if (auto* menu = dynamic_cast<TMenu*>(parent)) {
        menu->Items()->Add(this);
    } else if (auto* item = dynamic_cast<TMenuItem*>(parent)) {
        item->Add(this);
    }
}

TComponent* TMenuItem::GetParentComponent() const
{
    if (!m_parent)
        return nullptr;
    if (m_parent->m_menu)
        return m_parent->m_menu;
    return m_parent;
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const
{
    for (TMenuItem* child : m_items)
        proc(child);
}

}  // namespace fw
