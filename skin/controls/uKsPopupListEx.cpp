#include "skin/controls/uKsPopupListEx.h"

#include "framework/Forms_win.h"
#include "skin/frame/uKsSkinHelper.h"

namespace ks {

namespace {

int g_installCount = 0;
TPopupListEx* g_replacement = nullptr;
fw::TPopupList* g_saved = nullptr;

void TellActiveForm(unsigned msg, const fw::TMessage& message)
{
    fw::TCustomForm* form = fw::Screen != nullptr ? fw::Screen->ActiveForm() : nullptr;
    if (form != nullptr)
        form->Perform(msg, message.WParam, message.LParam);
}

}  // namespace

void TPopupListEx::WndProc(fw::TMessage& message)
{
    switch (message.Msg) {
    case WM_MENUSELECT:
        if (message.LParam == 0 && HIWORD(message.WParam) == 0xFFFF)
            TellActiveForm(CM_SKIN_MENUCLOSED, message);
        break;
    case WM_ENTERMENULOOP:
        TellActiveForm(CM_SKIN_ENTERMENULOOP, message);
        break;
    case WM_EXITMENULOOP:
        TellActiveForm(CM_SKIN_EXITMENULOOP, message);
        break;
    default:
        break;
    }
    fw::TPopupList::WndProc(message);
}

void TPopupListEx::Install()
{
    if (g_installCount++ > 0)
        return;
    fw::TPopupList& current = fw::PopupList();
    g_replacement = new TPopupListEx();
    for (int i = 0; i < current.Count(); ++i)
        g_replacement->Add(current.Items(i));
    g_saved = fw::SetPopupList(g_replacement);
}

void TPopupListEx::Uninstall()
{
    if (g_installCount <= 0 || --g_installCount > 0)
        return;
    // Popup menus made while the replacement was in place would otherwise
    // stop hearing their commands.
    for (int i = 0; i < g_replacement->Count(); ++i)
        g_saved->Add(g_replacement->Items(i));
    fw::SetPopupList(g_saved);
    delete g_replacement;
    g_replacement = nullptr;
    g_saved = nullptr;
}

int TPopupListEx::InstallCount() { return g_installCount; }

}  // namespace ks
