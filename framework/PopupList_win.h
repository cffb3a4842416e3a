// The popup list: the hidden window that owns every popup menu while it is
// shown and hands the menu loop's messages to the popup menus registered with
// it. A subclass may replace the program's list.
#pragma once

#include "framework/Messages_win.h"
#include "framework/UtilWindow_win.h"

#include <memory>
#include <vector>

namespace fw {

class TPopupMenu;

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
    // Takes a menu that is going away out of every live list.
    static void RemoveEverywhere(TPopupMenu* menu);

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
