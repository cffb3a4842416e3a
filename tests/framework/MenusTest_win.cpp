// Menus: shortcut text, accelerators, stored menu trees on a form, popup menus
// with owner drawing and a replaced popup list.
#include "framework/ExtCtrls_win.h"
#include "framework/Forms_win.h"
#include "framework/Menus_win.h"
#include "framework/Streams.h"
#include "framework/TypInfo.h"
#include "tests/framework/WinTestSupport_win.h"

#include <gtest/gtest.h>

#include <memory>

using namespace fw;

TEST(MenuText, ShortCutsAndAccelerators)
{
    EXPECT_EQ(ShortCutToText(ShortCut('S', {ssCtrl})), "Ctrl+S");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_F10, {ssShift})), "Shift+F10");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, {ssCtrl, ssAlt})), "Ctrl+Alt+Del");
    EXPECT_EQ(ShortCutToText(scNone), "");
    EXPECT_EQ(TextToShortCut("shift+f10"), VK_F10 | scShift);
    EXPECT_EQ(TextToShortCut("Ctrl+Alt+Del"), VK_DELETE | scCtrl | scAlt);
    EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
    EXPECT_EQ(TextToShortCut("Hyper+X"), scNone);

    EXPECT_TRUE(IsAccel('F', "&File"));
    EXPECT_TRUE(IsAccel('f', "&File"));
    EXPECT_FALSE(IsAccel('I', "&File"));
    EXPECT_FALSE(IsAccel('N', "Save && Not"));
    EXPECT_TRUE(IsAccel('X', "Save && E&xit"));
    EXPECT_FALSE(IsAccel('F', "File&"));
    EXPECT_TRUE(IsAccel(L'帮', "&帮助"));
    EXPECT_EQ(StripHotkey("Save && E&xit"), "Save & Exit");
}

namespace {

class TMenuTestForm : public TForm {
    FW_CLASS(TMenuTestForm)

    explicit TMenuTestForm(TComponent* owner) : TForm(owner) {}

    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* File1 = nullptr;
    TMenuItem* Exit1 = nullptr;
    int exits = 0;
    void Exit1Click(TObject*) { ++exits; }
};

const TClassInfo& TMenuTestForm::StaticClass()
{
    static const TClassInfo& info = DefineClass<TMenuTestForm, TForm>("TMenuTestForm")
                                        .Field("MainMenu1", &TMenuTestForm::MainMenu1)
                                        .Field("File1", &TMenuTestForm::File1)
                                        .Field("Exit1", &TMenuTestForm::Exit1)
                                        .Method("Exit1Click", &TMenuTestForm::Exit1Click)
                                        .Register();
    return info;
}

void Item(TStreamWriter& w, const char* name, const char* caption)
{
    w.WriteShortString("TMenuItem");
    w.WriteShortString(name);
    w.WriteShortString("Caption");
    w.WriteString(caption);
}

std::vector<std::uint8_t> MenuLayout()
{
    TStreamWriter w;
    w.WriteSignature();
    w.WriteShortString("TMenuTestForm");
    w.WriteShortString("MenuForm");
    w.WriteShortString("Menu");
    w.WriteIdent("MainMenu1");
    w.WriteListEnd();
    w.WriteShortString("TMainMenu");
    w.WriteShortString("MainMenu1");
    w.WriteListEnd();
    Item(w, "File1", "&File");
    w.WriteListEnd();
    Item(w, "Open1", "&Open");
    w.WriteShortString("ShortCut");
    w.WriteInteger(ShortCut('O', {ssCtrl}));
    w.WriteListEnd();
    w.WriteListEnd();
    Item(w, "N1", "-");
    w.WriteListEnd();
    w.WriteListEnd();
    Item(w, "Exit1", "E&xit");
    w.WriteShortString("OnClick");
    w.WriteIdent("Exit1Click");
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();  // File1's items
    w.WriteListEnd();  // MainMenu1's items
    w.WriteListEnd();  // form's children
    return w.Take();
}

}  // namespace

TEST(MainMenu, StoredTreeBecomesTheWindowsMenuBar)
{
    auto form = std::make_unique<TMenuTestForm>(nullptr);
    form->InitFromLayout(MenuLayout());
    ASSERT_NE(form->MainMenu1, nullptr);
    EXPECT_EQ(form->Menu(), form->MainMenu1);
    TMenuItem* root = form->MainMenu1->Items();
    ASSERT_EQ(root->Count(), 1);
    EXPECT_EQ(root->Items(0), form->File1);
    ASSERT_EQ(form->File1->Count(), 3);
    EXPECT_TRUE(form->File1->Items(1)->IsLine());
    EXPECT_EQ(form->Exit1->Parent(), form->File1);
    EXPECT_EQ(form->File1->GetParentComponent(), form->MainMenu1);
    EXPECT_EQ(form->Exit1->Owner(), form.get());

    HMENU bar = ::GetMenu(form->Handle());
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar, form->MainMenu1->Handle());
    EXPECT_EQ(::GetMenuItemCount(bar), 1);
    HMENU file = ::GetSubMenu(bar, 0);
    ASSERT_TRUE(file);
    EXPECT_EQ(::GetMenuItemCount(file), 3);
    wchar_t text[64] = {};
    ::GetMenuStringW(file, 0, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&Open\tCtrl+O");

    // The window's commands reach the item's OnClick.
    ::SendMessageW(form->Handle(), WM_COMMAND, form->Exit1->Command(), 0);
    EXPECT_EQ(form->exits, 1);
    EXPECT_EQ(form->MainMenu1->FindShortCut(ShortCut('O', {ssCtrl})), form->File1->Items(0));

    // Changes show in the system menu.
    form->Exit1->SetVisible(false);
    EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(::GetMenu(form->Handle()), 0)), 2);
    form->Exit1->SetEnabled(false);
    form->Exit1->SetVisible(true);
    file = ::GetSubMenu(::GetMenu(form->Handle()), 0);
    EXPECT_TRUE(::GetMenuState(file, form->Exit1->Command(), MF_BYCOMMAND) & MF_GRAYED);
    form->Exit1->Click();  // disabled: nothing
    EXPECT_EQ(form->exits, 1);

    // A re-created window gets the same menu bar back.
    form->SetBorderStyle(bsSingle);
    EXPECT_EQ(::GetMenu(form->Handle()), form->MainMenu1->Handle());
}

TEST(MenuItem, RadioGroupsAndFreeingTrees)
{
    TPopupMenu menu(nullptr);
    auto* a = new TMenuItem(nullptr);
    auto* b = new TMenuItem(nullptr);
    auto* sub = new TMenuItem(nullptr);
    auto* leaf = new TMenuItem(nullptr);
    for (TMenuItem* item : {a, b}) {
        item->SetRadioItem(true);
        item->SetGroupIndex(3);
        menu.Items()->Add(item);
    }
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    sub->Add(leaf);
    menu.Items()->Add(sub);
    EXPECT_THROW(leaf->Add(sub), EFrameworkError);  // no cycles
    HMENU handle = menu.Handle();
    EXPECT_EQ(::GetMenuItemCount(handle), 3);
    EXPECT_EQ(menu.FindItemByHandle(::GetSubMenu(handle, 2)), sub);
    EXPECT_EQ(menu.FindItem(leaf->Command()), leaf);
    delete sub;  // takes its sub-items along and leaves the menu
    EXPECT_EQ(::GetMenuItemCount(handle), 2);
    EXPECT_EQ(menu.Items()->Count(), 2);
}

namespace {

// A popup list that watches the menu loop, as the skin's replacement does.
class TSpyPopupList : public TPopupList {
public:
    std::vector<UINT> seen;
    bool sawClose = false;
    void WndProc(TMessage& message) override
    {
        if (message.Msg == WM_ENTERMENULOOP || message.Msg == WM_EXITMENULOOP)
            seen.push_back(message.Msg);
        if (message.Msg == WM_MENUSELECT && message.LParam == 0 && HIWORD(message.WParam) == 0xFFFF)
            sawClose = true;
        TPopupList::WndProc(message);
    }
};

}  // namespace

TEST(PopupMenu, ShowsModallyWithOwnerDrawingAndClicksTheChosenItem)
{
    TForm owner(nullptr);
    owner.Show();
    auto* menu = new TPopupMenu(&owner);
    menu->SetOwnerDraw(true);
    auto* first = new TMenuItem(&owner);
    first->SetCaption("&First");
    auto* second = new TMenuItem(&owner);
    second->SetCaption("&Second");
    menu->Items()->Add(first);
    menu->Items()->Add(second);
    int measured = 0, drawn = 0, clicked = 0, popups = 0;
    for (TMenuItem* item : {first, second}) {
        item->SetOnMeasureItem([&](TObject*, TCanvas* canvas, int& w, int& h) {
            ++measured;
            EXPECT_GT(w, 0);  // the framework's measurement comes first
            h = 25;
        });
        item->SetOnAdvancedDrawItem([&](TObject*, TCanvas* canvas, TRect r, TOwnerDrawState) {
            ++drawn;
            EXPECT_EQ(r.Height(), 25);
            canvas->FillRect(r);
        });
    }
    second->SetOnClick([&](TObject* sender) {
        EXPECT_EQ(sender, second);
        ++clicked;
    });
    menu->SetOnPopup([&](TObject*) { ++popups; });

    TSpyPopupList spy;
    for (int i = 0; i < PopupList().Count(); ++i)
        spy.Add(PopupList().Items(i));
    TPopupList* previous = SetPopupList(&spy);

    // While the menu loop runs, a timer picks the second item with the keyboard.
    TTimer driver(nullptr);
    driver.SetInterval(150);
    int step = 0;
    driver.SetOnTimer([&](TObject*) {
        HWND window = ::FindWindowW(L"#32768", nullptr);
        if (++step > 200) {
            ::EndMenu();  // never hang the test (30 s)
            return;
        }
        if (!window || !::IsWindowVisible(window))
            return;
        ::PostMessageW(window, WM_KEYDOWN, 'S', 0);
    });
    menu->Popup(200, 200);
    driver.SetEnabled(false);
    fwtest::PumpUntil([&] { return clicked > 0; });

    SetPopupList(previous);
    EXPECT_EQ(popups, 1);
    EXPECT_GE(measured, 2);
    EXPECT_GE(drawn, 2);
    EXPECT_EQ(clicked, 1);
    EXPECT_EQ(spy.seen, (std::vector<UINT>{WM_ENTERMENULOOP, WM_EXITMENULOOP}));
    EXPECT_TRUE(spy.sawClose);
}

TEST(ImageList, StripsAreCutAndDrawnWithTheirAlpha)
{
    TImageList images(nullptr);
    images.SetWidth(2);
    images.SetHeight(1);
    TBitmap strip(4, 1);  // two pictures side by side
    auto* row = static_cast<std::uint32_t*>(strip.ScanLine(0));
    row[0] = 0xFF0000FF;  // opaque blue
    row[1] = 0x80FF0000;  // half red (straight)
    row[2] = 0x00000000;
    row[3] = 0xFF00FF00;
    EXPECT_EQ(images.Add(strip), 0);
    EXPECT_EQ(images.Count(), 2);

    TBitmap target(2, 1);
    auto* out = static_cast<std::uint32_t*>(target.ScanLine(0));
    out[0] = out[1] = 0xFFFFFFFF;
    images.Draw(target.Canvas(), 0, 0, 0);
    ::GdiFlush();
    EXPECT_EQ(out[0] & 0xFFFFFF, 0x0000FFu);
    EXPECT_NEAR(static_cast<int>((out[1] >> 8) & 0xFF), 127, 2);  // white half covered by red
    EXPECT_EQ((out[1] >> 16) & 0xFF, 0xFFu);
    images.Draw(target.Canvas(), 0, 0, 5);  // out of range: nothing
    images.SetWidth(3);                     // a new size empties the list
    EXPECT_EQ(images.Count(), 0);
}

TEST(PopupMenu, RightToLeftItemsAndOneRouteForMenuMessages)
{
    TForm owner(nullptr);
    auto* menu = new TPopupMenu(&owner);
    auto* item = new TMenuItem(&owner);
    item->SetCaption("&Item");
    int clicks = 0;
    item->SetOnClick([&](TObject*) { ++clicks; });
    menu->Items()->Add(item);
    menu->SetBiDiMode(bdRightToLeft);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoW(menu->Handle(), 0, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_RIGHTORDER);
    // The popup list and a form route menu messages the same way: a command
    // from a menu clicks, one from a control does not.
    ::SendMessageW(PopupList().Window(), WM_COMMAND, item->Command(), 0);
    ::SendMessageW(PopupList().Window(), WM_COMMAND, MAKEWPARAM(item->Command(), BN_CLICKED), 1);
    EXPECT_EQ(clicks, 1);
    TMessage m{WM_COMMAND, item->Command(), 0, 0};
    EXPECT_TRUE(menu->HandleMenuMessage(m));
    EXPECT_EQ(clicks, 2);
}
