#include "framework/PopupList_win.h"

#include "framework/Menus_win.h"

#include <algorithm>

namespace fw {

namespace {

std::vector<TPopupList*>& LivePopupLists()
{
    static std::vector<TPopupList*> lists;
    return lists;
}

TPopupList* g_popupList = nullptr;

}  // namespace

// ---------------------------------------------------------------------------
// TPopupList

TPopupList::TPopupList()
{
    m_window = std::make_unique<TUtilWindow>(
        [this](TMessage& m) -> bool {
            WndProc(m);
            return true;
        },
        true);
    LivePopupLists().push_back(this);
}

TPopupList::~TPopupList()
{
    std::erase(LivePopupLists(), this);
    if (g_popupList == this)
        g_popupList = nullptr;
}

void TPopupList::Add(TPopupMenu* menu)
{
    if (menu && std::find(m_menus.begin(), m_menus.end(), menu) == m_menus.end())
        m_menus.push_back(menu);
}

void TPopupList::Remove(TPopupMenu* menu) { std::erase(m_menus, menu); }

void TPopupList::RemoveEverywhere(TPopupMenu* menu)
{
    for (TPopupList* list : LivePopupLists())
        list->Remove(menu);
}

void TPopupList::WndProc(TMessage& message)
{
    std::vector<TPopupMenu*> menus = m_menus;  // handlers may add or free menus
    for (TPopupMenu* menu : menus) {
        if (std::find(m_menus.begin(), m_menus.end(), menu) == m_menus.end())
            continue;
        if (menu->HandleMenuMessage(message))
            return;
    }
    message.Result = ::DefWindowProcW(Window(), message.Msg, message.WParam, message.LParam);
}

TPopupList& PopupList()
{
    if (!g_popupList)
        g_popupList = new TPopupList();  // lives until the program ends
    return *g_popupList;
}

TPopupList* SetPopupList(TPopupList* list)
{
    TPopupList* previous = g_popupList;
    g_popupList = list;
    return previous;
}

}  // namespace fw
