#include "framework/Menus_win.h"

#include "framework/TypInfo.h"
#include "framework/WideText_win.h"

#include <algorithm>

namespace fw {

namespace {

// The menus' font, as the system draws menus.
void UseMenuFont(TFont& font)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return;
    const LOGFONTW& lf = metrics.lfMenuFont;
    font.SetName(WideToUtf8(lf.lfFaceName));
    font.SetHeight(lf.lfHeight);
    font.SetCharset(lf.lfCharSet);
    font.SetStyle(lf.lfWeight >= FW_BOLD ? TFontStyles{fsBold} : TFontStyles{});
    font.SetColor(clMenuText);
}

}  // namespace

const TClassInfo& TMenu::StaticClass()
{
    static const TClassInfo& info =
        DefineClass<TMenu, TComponent>("TMenu")
            .Bool("AutoHotkeys", &TMenu::AutoHotkeys, &TMenu::SetAutoHotkeys, true)
            .Bool("AutoLineReduction", &TMenu::AutoLineReduction, &TMenu::SetAutoLineReduction, true)
            .Enum("BiDiMode", &TMenu::BiDiMode, &TMenu::SetBiDiMode,
                  {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"}, bdLeftToRight)
            .Component("Images", &TMenu::Images, &TMenu::SetImages)
            .Bool("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw, false)
            .Register();
    return info;
}

const TClassInfo& TMainMenu::StaticClass()
{
    static const TClassInfo& info = DefineClass<TMainMenu, TMenu>("TMainMenu").Register();
    return info;
}
FW_REGISTER_CLASS(TMainMenu)

const TClassInfo& TPopupMenu::StaticClass()
{
    static const TClassInfo& info = DefineClass<TPopupMenu, TMenu>("TPopupMenu")
                                        .Enum("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment,
                                              {"paLeft", "paRight", "paCenter"}, paLeft)
                                        .Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true)
                                        .Event("OnPopup", &TPopupMenu::SetOnPopup)
                                        .Register();
    return info;
}
FW_REGISTER_CLASS(TPopupMenu)

// ---------------------------------------------------------------------------
// TMenu

TMenu::TMenu(TComponent* owner) : TComponent(owner), m_items(std::make_unique<TMenuItem>(nullptr))
{
    m_items->m_menu = this;
}

TMenu::~TMenu()
{
    if (m_items->m_handle) {
        ::DestroyMenu(m_items->m_handle);
        m_items->DestroyHandle();
    }
    // The items belong to the menu's owner: they leave the tree, and are freed
    // by their owner.
    while (m_items->Count() > 0) {
        TMenuItem* item = m_items->m_items.back();
        m_items->m_items.pop_back();
        item->m_parent = nullptr;
        if (!item->Owner())
            delete item;
    }
    m_items->m_menu = nullptr;
}

void TMenu::SetImages(TCustomImageList* images)
{
    if (images == m_images)
        return;
    if (m_images)
        m_images->RemoveFreeNotification(this);
    m_images = images;
    if (m_images)
        m_images->FreeNotification(this);
    MenuChanged();
}

void TMenu::SetBiDiMode(TBiDiMode value)
{
    if (value == m_biDiMode)
        return;
    m_biDiMode = value;
    MenuChanged();
}

void TMenu::SetOwnerDraw(bool value)
{
    if (value == m_ownerDraw)
        return;
    m_ownerDraw = value;
    MenuChanged();
}

HMENU TMenu::Handle()
{
    HMENU& root = m_items->m_handle;
    if (root && !::IsMenu(root)) {
        // The window that showed the menu bar took it with it.
        m_items->DestroyHandle();
    }
    if (!root) {
        root = IsMenuBar() ? ::CreateMenu() : ::CreatePopupMenu();
        if (!root)
            throw EFrameworkError("Can't create the menu");
        for (TMenuItem* item : m_items->m_items)
            item->AppendTo(root, m_ownerDraw, IsMenuBar());
    }
    return root;
}

void TMenu::RebuildHandle()
{
    HMENU root = m_items->m_handle;
    if (!root || !::IsMenu(root))
        return;
    // Keep the root (a window may show it); make its contents again.
    while (::GetMenuItemCount(root) > 0)
        ::DeleteMenu(root, 0, MF_BYPOSITION);  // sub-menus go too
    for (TMenuItem* item : m_items->m_items)
        item->DestroyHandle();
    for (TMenuItem* item : m_items->m_items)
        item->AppendTo(root, m_ownerDraw, IsMenuBar());
}

void TMenu::MenuChanged() { RebuildHandle(); }

TMenuItem* TMenu::FindItem(UINT command)
{
    TMenuItem* item = TMenuItem::FromCommand(command);
    return item != nullptr && item->GetParentMenu() == this ? item : nullptr;
}

namespace {
TMenuItem* FindShortCutIn(TMenuItem* item, TShortCut shortCut)
{
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* child = item->Items(i);
        if (child->ShortCut() == shortCut && child->Visible() && child->Enabled())
            return child;
        if (TMenuItem* found = FindShortCutIn(child, shortCut))
            return found;
    }
    return nullptr;
}
}  // namespace

TMenuItem* TMenu::FindItemByHandle(HMENU handle)
{
    if (!handle || !m_items->m_handle)
        return nullptr;
    std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* item) -> TMenuItem* {
        if (item->m_handle == handle)
            return item;
        for (TMenuItem* child : item->m_items) {
            if (TMenuItem* found = find(child))
                return found;
        }
        return nullptr;
    };
    return find(m_items.get());
}

bool TMenu::MenuChar(HMENU handle, WORD key, LRESULT& result)
{
    TMenuItem* parent = FindItemByHandle(handle);
    if (!parent)
        return false;
    int position = 0;  // among the items the system shows
    for (TMenuItem* item : parent->m_items) {
        if (!item->Visible())
            continue;
        if (item->Enabled() && IsAccel(key, item->Caption())) {
            result = MAKELRESULT(position, MNC_EXECUTE);
            return true;
        }
        ++position;
    }
    return false;
}

TMenuItem* TMenu::FindShortCut(TShortCut shortCut)
{
    if (shortCut == scNone)
        return nullptr;
    return FindShortCutIn(m_items.get(), shortCut);
}

bool TMenu::DispatchCommand(UINT command)
{
    TMenuItem* item = FindItem(command);
    if (!item)
        return false;
    item->Click();
    return true;
}

bool TMenu::HandleMenuMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_COMMAND:
        // From a menu: no control handle, notification 0 (menu) or 1 (accelerator).
        if (message.LParam != 0 || HIWORD(message.WParam) > 1 || !DispatchCommand(LOWORD(message.WParam)))
            return false;
        message.Result = 0;
        return true;
    case WM_INITMENUPOPUP: {
        TMenuItem* item = FindItemByHandle(reinterpret_cast<HMENU>(message.WParam));
        if (!item)
            return false;
        if (item != Items())
            item->Click();  // a parent item hears its sub-menu open
        message.Result = 0;
        return true;
    }
    case WM_MEASUREITEM:
        if (message.WParam != 0 || !MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam)))
            return false;
        message.Result = 1;
        return true;
    case WM_DRAWITEM:
        if (message.WParam != 0 || !DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam)))
            return false;
        message.Result = 1;
        return true;
    case WM_MENUCHAR:
        return MenuChar(reinterpret_cast<HMENU>(message.LParam), LOWORD(message.WParam), message.Result);
    default:
        return false;
    }
}

bool TMenu::MeasureItem(MEASUREITEMSTRUCT& data)
{
    if (data.CtlType != ODT_MENU)
        return false;
    auto* item = reinterpret_cast<TMenuItem*>(data.itemData);
    if (!item || FindItem(data.itemID) != item)
        return false;
    ScopedCreateDC dc(nullptr);
    TCanvas canvas;
    canvas.SetHandle(dc.Get());
    UseMenuFont(canvas.Font());
    int width = static_cast<int>(data.itemWidth);
    int height = static_cast<int>(data.itemHeight);
    item->MeasureItem(canvas, width, height);
    canvas.SetHandle(nullptr);
    data.itemWidth = static_cast<UINT>(std::max(width, 0));
    data.itemHeight = static_cast<UINT>(std::max(height, 0));
    return true;
}

bool TMenu::DrawItem(const DRAWITEMSTRUCT& data)
{
    if (data.CtlType != ODT_MENU)
        return false;
    auto* item = reinterpret_cast<TMenuItem*>(data.itemData);
    if (!item || FindItem(data.itemID) != item)
        return false;
    ScopedSaveDC saved(data.hDC);
    TCanvas canvas;
    canvas.SetHandle(data.hDC);
    UseMenuFont(canvas.Font());
    const bool topLevel = IsMenuBar() && item->Parent() == m_items.get();
    item->AdvancedDrawItem(canvas, TRect(data.rcItem.left, data.rcItem.top, data.rcItem.right, data.rcItem.bottom),
                           data.itemState, topLevel);
    canvas.SetHandle(nullptr);
    return true;
}

void TMenu::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const
{
    for (TMenuItem* item : m_items->m_items)
        proc(item);
}

void TMenu::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_images) {
        m_images = nullptr;
        MenuChanged();
    }
}

// ---------------------------------------------------------------------------
// TMainMenu

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}
TMainMenu::~TMainMenu()
{
    if (m_window && ::IsWindow(m_window) && ::GetMenu(m_window) == (HandleAllocated() ? Handle() : nullptr)) {
        ::SetMenu(m_window, nullptr);
    }
}

void TMainMenu::SetWindowHandle(HWND window) { m_window = window; }

void TMainMenu::MenuChanged()
{
    TMenu::MenuChanged();
    if (m_window && ::IsWindow(m_window))
        ::DrawMenuBar(m_window);
}

// ---------------------------------------------------------------------------
// TPopupMenu

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) { PopupList().Add(this); }

TPopupMenu::~TPopupMenu() { TPopupList::RemoveEverywhere(this); }

void TPopupMenu::Popup(int x, int y)
{
    if (m_onPopup)
        m_onPopup(this);
    HMENU menu = Handle();
    HWND owner = PopupList().Window();
    UINT flags = TPM_RIGHTBUTTON | (IsRightToLeft() ? TPM_LAYOUTRTL : 0);
    switch (m_alignment) {
    case paLeft:
        flags |= TPM_LEFTALIGN;
        break;
    case paRight:
        flags |= TPM_RIGHTALIGN;
        break;
    case paCenter:
        flags |= TPM_CENTERALIGN;
        break;
    }
    // The owner must be in front for the menu to close when the user clicks
    // elsewhere; the posted null message ends the loop cleanly.
    ::SetForegroundWindow(owner);
    ::TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
    ::PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace fw
