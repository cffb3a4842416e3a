// TKsSkinNCMenuItem: one title-bar item of the menu bar.
#include "skin/frame/uKsSkinMainMenu.h"

#include "skin/controls/uKsSkinMenu.h"
#include "skin/render/Bitmap32.h"

#include "framework/Controls_win.h"
#include "framework/ExtCtrls_win.h"
#include "framework/Menus_win.h"
#include "framework/TypInfo.h"

namespace ks {

const fw::TClassInfo& TKsSkinNCMenuItem::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinNCMenuItem, TKsSkinNCButton>("TKsSkinNCMenuItem").Register();
    return info;
}

TKsSkinNCMenuItem::TKsSkinNCMenuItem(fw::TComponent* owner) : TKsSkinNCButton(owner)
{
    PollTimer().SetInterval(kMenuBarPollMs);
}

TKsSkinNCMenuItem::TKsSkinNCMenuItem(fw::TComponent* owner, TKsSkinMainMenu* settings, TKsMenuEntry* entry)
    : TKsSkinNCButton(owner),
      m_settings(settings),
      m_entry(entry)
{
    SetEnabled(entry->Enabled);
    entry->Element = this;
    TBitmap32 measure;
    measure.SetFont(*settings->Font());
    const fw::TSize text = measure.MeasureText(entry->Caption);
    Pos()->SetElementWidth(text.cx + kMenuBarItemPadding);
    Pos()->SetElementHeight(text.cy + kMenuBarItemPadding);
    m_pressCount = 0;
    PollTimer().SetInterval(kMenuBarPollMs);
}

TKsSkinNCMenuItem::~TKsSkinNCMenuItem()
{
    Retire();
    if (m_settings != nullptr)
        m_settings->ItemGone(this);
}

void TKsSkinNCMenuItem::Detach()
{
    m_settings = nullptr;
    m_entry = nullptr;
}

bool TKsSkinNCMenuItem::HasSubItems() const
{
    return m_entry != nullptr && m_entry->Popup && m_entry->Popup->Items()->Count() > 0;
}

void TKsSkinNCMenuItem::TrackMouse(fw::TPoint)
{
    // The poll tracks the mouse instead, also while a drop-down's modal loop
    // holds it.
}

void TKsSkinNCMenuItem::TimerTick(fw::TObject* sender)
{
    if (Designing())
        return;
    try {
        const std::weak_ptr<int> alive = LifeToken();
        // Re-posts an unprocessed registration and notices the mouse leaving
        // the window.
        TKsSkinNCCtrlBase::TimerTick(sender);
        POINT cursor{};
        if (alive.expired() || !::GetCursorPos(&cursor))
            return;
        HWND owner = OwnerWindow();
        if (owner != nullptr && ::WindowFromPoint(cursor) == owner)
            TKsSkinNCCtrlBase::TrackMouse(fw::TPoint(cursor.x, cursor.y));
    } catch (...) {
    }
}

void TKsSkinNCMenuItem::MouseEnter()
{
    const std::weak_ptr<int> alive = LifeToken();
    TKsSkinNCButton::MouseEnter();
    if (alive.expired() || !Visible() || !Enabled() || m_settings == nullptr)
        return;
    TKsSkinNCMenuItem* open = m_settings->OpenItem();
    if (open == nullptr || open == this)
        return;
    m_pressCount = 0;
    open->SetDown(false);
    if (MenuBarSwitchesOnEnter(Pos()->YValue(), GetHeight())) {
        m_settings->SetNextItem(this);
        // Closes the open drop-down; the controller opens this item's 20 ms
        // after it has closed.
        ::SendMessageW(fw::PopupList().Window(), WM_CANCELMODE, 0, 0);
    }
}

void TKsSkinNCMenuItem::MouseLeave()
{
    if (Visible() && Enabled())
        m_pressCount = 0;
    TKsSkinNCButton::MouseLeave();
}

void TKsSkinNCMenuItem::OpenPopup()
{
    TKsSkinMenu* skin = m_settings->MenuSkin();
    fw::TControl* owner = OwnerControl();
    const fw::TPoint at = MenuBarPopupPoint(Pos()->Left(), Pos()->Top(), owner != nullptr ? owner->Left() : 0,
                                            owner != nullptr ? owner->Top() : 0, GetHeight(), skin != nullptr,
                                            skin != nullptr ? skin->BorderOffset() : 0);
    // Runs the menu's modal loop until it closes.
    m_entry->Popup->Popup(at.X, at.Y);
}

void TKsSkinNCMenuItem::LMouseDown()
{
    if (m_entry == nullptr || !m_entry->Popup || m_settings == nullptr)
        return;
    const std::weak_ptr<int> alive = LifeToken();
    const bool subItems = HasSubItems();
    if (!subItems) {
        TKsSkinNCButton::LMouseDown();
        if (alive.expired() || !Visible() || !Enabled() || m_entry == nullptr || !m_entry->OnClick)
            return;
    } else if (!Visible() || !Enabled()) {
        return;
    }
    const MenuBarPress step = MenuBarPressStep(m_pressCount, subItems);
    if (step.Acts) {
        m_settings->SetNextItem(nullptr);
        m_settings->SetOpenItem(this);
        SetDown(true);
        if (subItems) {
            TKsSkinNCButton::LMouseDown();
            if (!alive.expired() && m_entry != nullptr)
                OpenPopup();
        } else {
            fw::TNotifyEvent handler = m_entry->OnClick;
            handler(this);
        }
        if (alive.expired())
            return;
    }
    m_pressCount = step.NextCount;
}

void TKsSkinNCMenuItem::Click()
{
    if (!Visible() || !Enabled())
        return;
    const std::weak_ptr<int> alive = LifeToken();
    LMouseDown();
    if (!alive.expired())
        TKsSkinNCButton::Click();
}

void TKsSkinNCMenuItem::Paint(TBitmap32& bitmap)
{
    // No picture, and no shift for a maximised form.
    if (m_entry == nullptr || !m_entry->Popup || m_settings == nullptr)
        return;
    const int left = Pos()->Left();
    const int top = Pos()->Top();
    const int state = DrawingState();
    if ((state == bdsHot || state == bdsPressed) && Enabled()) {
        const fw::TColor color = state == bdsHot ? m_settings->HotColor() : m_settings->PressColor();
        bitmap.FillAreaMixed(MenuBarHighlightRect(left, top, GetWidth(), GetHeight()),
                             WithAlpha(ColorToColor32(color), 128));
    }
    fw::TFont font;
    font.Assign(*m_settings->Font());
    if (!Enabled())
        font.SetColor(kMenuBarDisabledColor);
    bitmap.SetFont(font);
    bitmap.TextOutInRect(MenuBarCaptionRect(left, top, GetWidth(), GetHeight()), kDtCenter | kDtVCenter | kDtSingleLine,
                         m_entry->Caption);
}

}  // namespace ks
