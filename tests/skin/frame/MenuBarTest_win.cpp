// The title-bar menu bar under Wine with real menus and the real mouse:
// items built once at the first frame paint and placed 8 pixels apart,
// copies of the sub-items, a drop-down opened below its item, the switch to
// a neighbour's drop-down through CM_SKIN_MENUCLOSED and the 20 ms timer,
// clicks of items without sub-items, and accelerators.
#include "skin/controls/uKsPopupListEx.h"
#include "skin/controls/uKsSkinMenu.h"
#include "skin/frame/uKsSkinMainMenu.h"
#include "tests/skin/controls/MenuTestSupport_win.h"
#include "tests/skin/frame/FrameWinSupport_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace ks;

namespace {

using Clock = std::chrono::steady_clock;

fw::TPoint CursorPos()
{
    POINT p{};
    ::GetCursorPos(&p);
    return fw::TPoint(p.x, p.y);
}

// Wine: a cursor move comes back from the X server a while later; wait for it.
bool CursorTo(int x, int y)
{
    ::SetCursorPos(x, y);
    return fwtest::PumpUntil([&] { return CursorPos() == fw::TPoint(x, y); }, 2000);
}

void LeftButton(bool down)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof(in));
}

// Presses the real left button and releases it from another thread, so that
// the release also arrives while a drop-down's modal loop runs.
std::thread PressAndRelease()
{
    LeftButton(true);
    return std::thread([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        LeftButton(false);
    });
}

class MenuBarTest : public frametest::SkinFormTest {
protected:
    void SetUp() override
    {
        SkinFormTest::SetUp();
        CursorTo(5, 5);
        form->SetBounds(100, 100, 400, 200);
        skin = new TKsSkinForm(form.get());
        mainMenu = new fw::TMainMenu(form.get());
        images = new fw::TImageList(form.get());
        fw::TBitmap picture(16, 16);
        images->Add(picture);
        mainMenu->SetImages(images);
        file = Item("&File");
        open = Item("&Open", file);
        open->SetShortCut(fw::ShortCut('O', {fw::ssCtrl}));
        open->SetImageIndex(0);
        open->SetHint("Opens a file");
        open->SetChecked(true);
        Item("-", file);
        Item("E&xit", file);
        edit = Item("&Edit");
        Item("&Undo", edit);
        hidden = Item("Hidden");
        hidden->SetVisible(false);
        help = Item("&Help");  // no sub-items: clicked
        help->SetOnClick([this](fw::TObject* sender) { helpSenders.push_back(sender); });
        menuSkin = new TKsSkinMenu(form.get());
        skin->MainMenu()->SetMainMenu(mainMenu);
        skin->MainMenu()->SetMenuSkin(menuSkin);
    }
    void TearDown() override
    {
        CursorTo(5, 5);
        SkinFormTest::TearDown();
        ElementCursorSet = false;
    }
    fw::TMenuItem* Item(const std::string& caption, fw::TMenuItem* parent = nullptr)
    {
        auto* item = new fw::TMenuItem(form.get());
        item->SetName("Item" + std::to_string(++names));
        item->SetCaption(caption);
        (parent != nullptr ? parent : mainMenu->Items())->Add(item);
        return item;
    }
    void ShowBar()
    {
        form->Show();
        ASSERT_TRUE(fwtest::PumpUntil([&] { return skin->ElementCount() == 3; }, 5000));
    }
    TKsSkinNCMenuItem* Bar(int index) { return skin->MainMenu()->Entry(index).Element; }
    // The screen point of a title-bar item's centre.
    fw::TPoint Centre(TKsSkinNCMenuItem* item)
    {
        RECT r{};
        ::GetWindowRect(Window(), &r);
        const fw::TRect b = item->Bounds();
        return fw::TPoint(r.left + (b.Left + b.Right) / 2, r.top + (b.Top + b.Bottom) / 2);
    }

    TKsSkinForm* skin = nullptr;
    fw::TMainMenu* mainMenu = nullptr;
    fw::TImageList* images = nullptr;
    TKsSkinMenu* menuSkin = nullptr;
    fw::TMenuItem* file = nullptr;
    fw::TMenuItem* open = nullptr;
    fw::TMenuItem* edit = nullptr;
    fw::TMenuItem* hidden = nullptr;
    fw::TMenuItem* help = nullptr;
    std::vector<fw::TObject*> helpSenders;
    int names = 0;
};

}  // namespace

TEST_F(MenuBarTest, ItemsAreBuiltOnceAndPlacedEightPixelsApartWithCopiesOfTheSubItems)
{
    EXPECT_EQ(fw::PopupList().Window() != nullptr, true);
    EXPECT_GE(TPopupListEx::InstallCount(), 1);
    ShowBar();
    TKsSkinMainMenu& bar = *skin->MainMenu();
    ASSERT_EQ(bar.EntryCount(), 3);  // the invisible entry is skipped
    EXPECT_EQ(Bar(0)->Pos()->XValue(), 5);
    EXPECT_EQ(Bar(0)->Pos()->YValue(), 5);
    EXPECT_EQ(Bar(1)->Pos()->XValue(), 5 + Bar(0)->GetWidth() + 8);
    EXPECT_EQ(Bar(2)->Pos()->XValue(), Bar(1)->Pos()->XValue() + Bar(1)->GetWidth() + 8);
    EXPECT_EQ(Bar(0)->GroupIndex(), 99);

    fw::TPopupMenu& drop = *bar.Entry(0).Popup;
    ASSERT_EQ(drop.Items()->Count(), 3);
    EXPECT_TRUE(drop.OwnerDraw());
    EXPECT_EQ(drop.Images(), images);
    fw::TMenuItem* copy = drop.Items()->Items(0);
    EXPECT_EQ(copy->Name(), open->Name() + "Copy");
    EXPECT_EQ(copy->ShortCut(), open->ShortCut());
    EXPECT_TRUE(copy->Checked());
    EXPECT_EQ(copy->ImageIndex(), 0);
    EXPECT_EQ(copy->Hint(), "Opens a file");
    EXPECT_TRUE(menuSkin->IsHooked(copy));

    // A second main menu linked later changes nothing in the title bar.
    auto* other = new fw::TMainMenu(form.get());
    bar.SetMainMenu(other);
    form->Perform(CM_SKIN_NCREPAINT, 0, 0);
    EXPECT_EQ(skin->ElementCount(), 3);
    EXPECT_EQ(bar.EntryCount(), 3);
}

TEST_F(MenuBarTest, ClickOpensTheDropDownBelowAndMovingSwitchesToTheNeighbour)
{
    ShowBar();
    TKsSkinNCMenuItem* first = Bar(0);
    TKsSkinNCMenuItem* second = Bar(1);
    RECT fr{};
    ::GetWindowRect(Window(), &fr);
    const fw::TPoint a = Centre(first);
    ASSERT_TRUE(CursorTo(a.X, a.Y));
    ASSERT_TRUE(fwtest::PumpUntil([&] { return first->Hot(); }, 2000));

    // The drop-down's modal loop runs inside the release: a timer drives it.
    int phase = 0;
    RECT firstDrop{}, secondDrop{};
    Clock::time_point moved;
    long long switchMs = -1;
    bool downWhileOpen = false;
    fw::TTimer driver(nullptr);
    driver.SetInterval(20);
    driver.SetOnTimer([&](fw::TObject*) {
        HWND menu = menutest::VisibleMenuWindow();
        if (phase == 0 && menu != nullptr) {
            ::GetWindowRect(menu, &firstDrop);
            downWhileOpen = first->Down() && skin->MainMenu()->OpenItem() == first;
            const fw::TPoint b = Centre(second);
            ::SetCursorPos(b.X, b.Y);
            moved = Clock::now();
            phase = 1;
        } else if (phase == 1 && menu != nullptr && skin->MainMenu()->OpenItem() == second) {
            ::GetWindowRect(menu, &secondDrop);
            switchMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - moved).count();
            ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
            phase = 2;
        }
    });
    driver.SetEnabled(true);
    std::thread up = PressAndRelease();
    const bool closed = fwtest::PumpUntil(
        [&] {
            return phase == 2 && menutest::VisibleMenuWindow() == nullptr && skin->MainMenu()->OpenItem() == nullptr;
        },
        15000);
    up.join();
    driver.SetEnabled(false);
    if (!closed)
        ::EndMenu();
    ASSERT_TRUE(closed) << "phase " << phase;
    EXPECT_TRUE(downWhileOpen);
    // Below its item, pulled left by the skinned menu's border offset.
    EXPECT_EQ(firstDrop.left, fr.left + first->Pos()->Left() - menuSkin->BorderOffset());
    EXPECT_EQ(firstDrop.top, fr.top + first->Pos()->Top() + first->GetHeight());
    EXPECT_EQ(secondDrop.left, fr.left + second->Pos()->Left() - menuSkin->BorderOffset());
    EXPECT_FALSE(first->Down());
    EXPECT_FALSE(second->Down());
    std::printf("[ measured ] drop-down switch %lld ms after the cursor moved\n", switchMs);
}

TEST_F(MenuBarTest, ItemWithoutSubItemsClicksWithTheTitleBarItemAsSender)
{
    ShowBar();
    TKsSkinNCMenuItem* helpItem = Bar(2);
    const fw::TPoint h = Centre(helpItem);
    ASSERT_TRUE(CursorTo(h.X, h.Y));
    ASSERT_TRUE(fwtest::PumpUntil([&] { return helpItem->Hot(); }, 2000));
    DWORD firstClickAt = 0;
    for (int click = 1; click <= 2; ++click) {
        // The second click must be no double click (which the title bar
        // keeps for itself): it lands a few pixels away, and only once the
        // double-click time has run out, since the position a mouse message
        // carries may lag the cursor under Wine.
        if (click == 2) {
            ASSERT_TRUE(CursorTo(h.X + ::GetSystemMetrics(SM_CXDOUBLECLK) + 2, h.Y));
            fwtest::PumpUntil([&] { return ::GetTickCount() - firstClickAt > ::GetDoubleClickTime() + 50; }, 5000);
        }
        std::thread up = PressAndRelease();
        const bool clicked = fwtest::PumpUntil([&] { return static_cast<int>(helpSenders.size()) == click; }, 3000);
        up.join();
        ASSERT_TRUE(clicked) << "click " << click;
        firstClickAt = ::GetTickCount();
    }
    EXPECT_EQ(helpSenders[0], helpItem);
    EXPECT_EQ(skin->MainMenu()->OpenItem(), helpItem);
    EXPECT_TRUE(helpItem->Down());

    // Alt+H clicks it too; a plain H typed into the form does not.
    form->Perform(fw::CM_DIALOGCHAR, 'h', 0);
    EXPECT_EQ(helpSenders.size(), 3u);
    form->Perform(fw::CM_DIALOGKEY, 'H', 0);
    EXPECT_EQ(helpSenders.size(), 3u);
}
