// The layered border on real windows: its four windows follow the form,
// hide while it is maximised, keep a topmost form on top, let clicks through
// or drag the form, host a title-bar element, stop when the form is closed,
// leave nothing behind, and show straight-alpha pixels on the screen.
#include "tests/skin/frame/FrameWinSupport_win.h"
#include "tests/skin/ScreenCompositeSupport_win.h"

#include "skin/frame/uKsFormBorder.h"
#include "skin/frame/uKsSkinNCButton.h"
#include "skin/resources/uKsSkinResManager.h"

using namespace ks;

namespace {

fw::TPoint CursorPos()
{
    POINT p{};
    ::GetCursorPos(&p);
    return fw::TPoint(p.x, p.y);
}

// Wine: a cursor move comes back from the X server a little later; wait
// until it has settled where it was put.
bool CursorTo(int x, int y)
{
    ::SetCursorPos(x, y);
    int steady = 0;
    return fwtest::PumpUntil([&] {
        steady = CursorPos() == fw::TPoint(x, y) ? steady + 1 : 0;
        return steady >= 10;
    });
}

void LeftButton(bool down)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof(in));
}

fw::TRect ScreenRect(HWND h)
{
    RECT r{};
    ::GetWindowRect(h, &r);
    return fw::TRect(r.left, r.top, r.right, r.bottom);
}

BOOL CALLBACK CountBorderWindow(HWND h, LPARAM p)
{
    wchar_t name[64] = {};
    ::GetClassNameW(h, name, 64);
    if (std::wstring(name) == L"TksFormLayerWindow")
        ++*reinterpret_cast<int*>(p);
    return TRUE;
}

int BorderWindowCount()
{
    int n = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountBorderWindow, reinterpret_cast<LPARAM>(&n));
    return n;
}

// GDI objects of the process where the system counts them (Wine does not),
// and always those held by the engine's handle owners.
long GdiObjects()
{
    return static_cast<long>(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) + fw::gdi::LiveObjectCount();
}

// A plain window that counts the left presses it gets.
class TCountingForm : public fw::TForm {
public:
    using fw::TForm::TForm;
    int Presses = 0;

protected:
    void Dispatch(fw::TMessage& m) override
    {
        if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_NCLBUTTONDOWN)
            ++Presses;
        fw::TForm::Dispatch(m);
    }
};

class FormBorderTest : public frametest::SkinFormTest {
protected:
    void SetUp() override
    {
        SkinFormTest::SetUp();
        CursorTo(2, 2);
        skin = new TKsSkinForm(form.get());
        border = new TKsFormLayerBorder(form.get());
        skin->SetImageBorder(border);
    }
    void TearDown() override
    {
        CursorTo(2, 2);
        SkinFormTest::TearDown();
    }

    // Shows the form and waits for the four windows.
    void ShowWithBorder()
    {
        form->Show();
        ASSERT_TRUE(fwtest::PumpUntil([&] {
            for (int side = 0; side < 4; ++side)
                if (border->Window(side) == nullptr || !::IsWindowVisible(border->Window(side)->Handle()))
                    return false;
            return border->Created();
        }));
    }

    HWND Side(int side) { return border->Window(side)->Handle(); }

    // Where the windows must be for the form at x, y, w, h (defaults).
    bool WindowsAt(int x, int y, int w, int h)
    {
        return ScreenRect(Side(kSideTop)) == fw::Bounds(x - 8, y - 8, w + 16, 13) &&
               ScreenRect(Side(kSideBottom)) == fw::Bounds(x - 8, y + h - 5, w + 16, 13) &&
               ScreenRect(Side(kSideLeft)) == fw::Bounds(x - 8, y + 5, 13, h - 10) &&
               ScreenRect(Side(kSideRight)) == fw::Bounds(x + w - 5, y + 5, 13, h - 10);
    }

    bool AllPushed(int alpha)
    {
        for (int side = 0; side < 4; ++side)
            if (border->Window(side)->PushedAlpha() != alpha)
                return false;
        return true;
    }

    TKsSkinForm* skin = nullptr;
    TKsFormLayerBorder* border = nullptr;
};

}  // namespace

TEST_F(FormBorderTest, WindowsFollowMovesAndAreRebuiltOnlyOnResize)
{
    ShowWithBorder();
    EXPECT_TRUE(WindowsAt(100, 100, 330, 100));
    for (int side = 0; side < 4; ++side) {
        const LONG_PTR ex = ::GetWindowLongPtrW(Side(side), GWL_EXSTYLE);
        EXPECT_EQ(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW,
                  ex & (WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE));
        // The system adds WS_CLIPSIBLINGS to every top-level window.
        EXPECT_EQ(static_cast<LONG_PTR>(WS_POPUP),
                  ::GetWindowLongPtrW(Side(side), GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE | WS_CLIPSIBLINGS));
        EXPECT_EQ(255, border->Window(side)->PushedAlpha());
    }

    const int builds = border->SliceBuilds();
    form->SetBounds(260, 180, 330, 100);
    EXPECT_TRUE(fwtest::PumpUntil([&] { return WindowsAt(260, 180, 330, 100); }));
    ::SetWindowPos(Window(), nullptr, 300, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(fwtest::PumpUntil([&] { return WindowsAt(300, 120, 330, 100); }));
    EXPECT_EQ(builds, border->SliceBuilds()) << "a move keeps the slices";

    form->SetBounds(300, 120, 400, 220);
    EXPECT_TRUE(fwtest::PumpUntil([&] { return WindowsAt(300, 120, 400, 220); }));
    EXPECT_GT(border->SliceBuilds(), builds);
    // A change that does not move the form (z-order only) keeps the windows.
    ::SetWindowPos(Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    fwtest::PumpUntil([] { return false; }, 50);
    EXPECT_TRUE(WindowsAt(300, 120, 400, 220));
}

TEST_F(FormBorderTest, MaximisedFormHasAnInvisibleBorderThatStopsFollowing)
{
    ShowWithBorder();
    Send(WM_SYSCOMMAND, SC_MAXIMIZE);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return ::IsZoomed(Window()) && border->Suspended(); }));
    EXPECT_TRUE(AllPushed(0));
    const fw::TRect topWhileMaximised = ScreenRect(Side(kSideTop));
    border->Move(10, 10);
    EXPECT_EQ(topWhileMaximised, ScreenRect(Side(kSideTop)));

    Send(WM_SYSCOMMAND, SC_RESTORE);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return !::IsZoomed(Window()) && !border->Suspended(); }));
    EXPECT_TRUE(fwtest::PumpUntil([&] { return AllPushed(255); }));
    EXPECT_TRUE(fwtest::PumpUntil([&] { return WindowsAt(form->Left(), form->Top(), 330, 100); }));
}

TEST_F(FormBorderTest, TopmostFormStaysAboveItsBorder)
{
    form->SetFormStyle(fw::fsStayOnTop);
    ShowWithBorder();
    form->SetBounds(150, 150, 330, 100);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return WindowsAt(150, 150, 330, 100); }));
    EXPECT_NE(0, ::GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    // Every border window lies below the form.
    int below = 0;
    for (HWND h = ::GetWindow(Window(), GW_HWNDNEXT); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT))
        for (int side = 0; side < 4; ++side)
            below += h == Side(side);
    EXPECT_EQ(4, below);
}

TEST_F(FormBorderTest, FormMadeTopmostByItsStyleStaysTopmost)
{
    ShowWithBorder();
    ::SetWindowPos(Window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    form->SetBounds(170, 160, 330, 100);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return WindowsAt(170, 160, 330, 100); }));
    EXPECT_NE(0, ::GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    for (HWND h = ::GetWindow(Window(), GW_HWNDPREV); h != nullptr; h = ::GetWindow(h, GW_HWNDPREV))
        for (int side = 0; side < 4; ++side)
            EXPECT_NE(h, Side(side)) << "a border window above the form";
}

TEST_F(FormBorderTest, TransparentBorderLetsClicksThrough)
{
    TCountingForm below(nullptr);
    below.SetBorderStyle(fw::bsNone);
    below.SetBounds(60, 60, 60, 160);
    below.Show();
    ASSERT_TRUE(fwtest::PumpUntil([&] { return ::IsWindowVisible(below.Handle()) != 0; }));
    ShowWithBorder();
    // On the left border window, over the plain window.
    ASSERT_TRUE(CursorTo(96, 150));
    LeftButton(true);
    LeftButton(false);
    EXPECT_TRUE(fwtest::PumpUntil([&] { return below.Presses > 0; }));
    EXPECT_EQ(fw::TPoint(100, 100), form->BoundsRect().TopLeft());
}

TEST_F(FormBorderTest, OpaqueBorderDragsTheFormAndHostsItsElement)
{
    border->SetTransparent(false);
    auto* element = new TKsSkinNCButton(form.get());
    element->SetPutSide(skdLeft);
    element->Picture()->SetActive(true);
    element->Picture()->SetImage("KsSkinBtn_mini");  // 28 x 19 frames
    element->Picture()->SetCount(3);
    element->Picture()->SetHot(1);
    element->Picture()->SetPressed(2);
    element->Pos()->SetYValue(60);
    int downs = 0;
    element->SetOnLMouseDown([&](fw::TObject*) { ++downs; });
    ShowWithBorder();
    ASSERT_TRUE(fwtest::PumpUntil([&] { return element->Registered(); }));
    border->ShowAll();
    TksFormLayerWindow* left = border->Window(kSideLeft);
    ASSERT_TRUE(left->Hosts(element));
    EXPECT_EQ(form.get(), element->HostForm());
    EXPECT_NE(0, ::GetWindowLongPtrW(left->Handle(), GWL_EXSTYLE) & WS_EX_NOACTIVATE);

    // The element's box on the left window: a press is the element's.
    const fw::TRect leftRect = ScreenRect(left->Handle());
    ASSERT_TRUE(CursorTo(leftRect.Left + 4, leftRect.Top + 70));
    ASSERT_TRUE(fwtest::PumpUntil([&] { return element->Hot(); }));
    LeftButton(true);
    LeftButton(false);
    EXPECT_TRUE(fwtest::PumpUntil([&] { return downs == 1; }));
    const DWORD elementClickAt = ::GetTickCount();
    EXPECT_EQ(fw::TPoint(100, 100), form->BoundsRect().TopLeft());

    // Where nothing is hot, a press drags the form: the side window hands
    // the form the system's drag-move command. The move loop that command
    // starts is the system's; here the command is taken and recorded, and
    // the form is moved by hand.
    ASSERT_TRUE(CursorTo(leftRect.Left + 4, leftRect.Top + 48));
    ASSERT_TRUE(fwtest::PumpUntil([&] { return !element->Hot(); }));
    int dragCommands = 0;
    const fw::TWndMethod inner = form->WindowProc();
    form->SetWindowProc([&dragCommands, inner](fw::TMessage& m) {
        if (m.Msg == WM_SYSCOMMAND && m.WParam == 0xF012) {
            ++dragCommands;
            return;
        }
        inner(m);
    });
    // The side windows' class takes double clicks: the press must come
    // after the double-click time, or it arrives as a double click (which
    // drags nothing).
    fwtest::PumpUntil([&] { return ::GetTickCount() - elementClickAt > ::GetDoubleClickTime() + 50; }, 5000);
    LeftButton(true);
    LeftButton(false);
    EXPECT_TRUE(fwtest::PumpUntil([&] { return dragCommands == 1; }));
    form->SetWindowProc(inner);
    EXPECT_EQ(1, downs);
    form->SetBounds(130, 120, form->Width(), form->Height());
    // Opaque side windows are full height, from the top window's top.
    EXPECT_TRUE(fwtest::PumpUntil([&] {
        return ScreenRect(left->Handle()) == fw::Bounds(122, 112, 13, 116) &&
               ScreenRect(Side(kSideRight)) == fw::Bounds(455, 112, 13, 116);
    }));

    // Freeing the border gives the element back to the form.
    delete border;
    EXPECT_EQ(form.get(), element->OwnerControl());
    EXPECT_EQ(nullptr, element->HostForm());
    EXPECT_EQ(nullptr, skin->ImageBorder());
}

TEST_F(FormBorderTest, ClosedFormStopsEveryOperationUntilShownAgain)
{
    ShowWithBorder();
    form->Close();
    ASSERT_TRUE(fwtest::PumpUntil([&] { return !::IsWindowVisible(Window()); }));
    EXPECT_TRUE(border->Closed());
    EXPECT_TRUE(AllPushed(0));
    const int builds = border->SliceBuilds();
    const fw::TRect top = ScreenRect(Side(kSideTop));
    border->ShowAll();
    border->Move(400, 400);
    border->Reposition(400, 400, 500, 300);
    border->Setup(&skin->Elements());
    border->Relayout();
    EXPECT_TRUE(AllPushed(0));
    EXPECT_EQ(top, ScreenRect(Side(kSideTop)));
    EXPECT_EQ(builds, border->SliceBuilds());

    form->Show();
    ASSERT_TRUE(fwtest::PumpUntil([&] { return !border->Closed() && AllPushed(255); }));
    form->SetBounds(200, 200, 330, 100);
    EXPECT_TRUE(fwtest::PumpUntil([&] { return WindowsAt(200, 200, 330, 100); }));
}

TEST_F(FormBorderTest, NothingIsLeftAfterManyRoundsAndAfterTheForm)
{
    const int windowsBefore = BorderWindowCount();
    ShowWithBorder();
    EXPECT_EQ(windowsBefore + 4, BorderWindowCount());
    // One warm-up round: first-use caches (fonts, brushes) are not leaks.
    form->SetBounds(101, 100, 331, 100);
    fwtest::PumpUntil([&] { return WindowsAt(101, 100, 331, 100); });
    const long gdiBefore = GdiObjects();
    for (int i = 0; i < 1000; ++i) {
        if (i % 2 == 0)
            form->SetBounds(100 + i % 50, 100 + i % 30, form->Width(), form->Height());
        else
            form->SetBounds(form->Left(), form->Top(), 330 + i % 40, 100 + i % 20);
        if (i % 100 == 99)
            fw::Application->ProcessMessages();
    }
    form->SetBounds(150, 150, 330, 100);
    EXPECT_TRUE(fwtest::PumpUntil([&] { return WindowsAt(150, 150, 330, 100); }));
    EXPECT_EQ(windowsBefore + 4, BorderWindowCount());
    EXPECT_LE(GdiObjects(), gdiBefore);

    form.reset();
    fwtest::PumpUntil([] { return false; }, 50);
    EXPECT_EQ(windowsBefore, BorderWindowCount());
    EXPECT_LE(GdiObjects(), gdiBefore);
}

// A half-transparent border pixel over a black window shows on the screen
// as the straight-alpha composite (alpha x colour): the push premultiplies.
// Over black the comparison holds both where the display composes alpha
// and where it only cuts fully transparent pixels away (Wine without a
// compositor).
TEST_F(FormBorderTest, ScreenShowsStraightAlphaComposite)
{
    screentest::ServedHalfTransparentImage served("border-test-half");
    served.Image().SetDrawMode(dmBlend);
    fw::TForm black(nullptr);
    ASSERT_TRUE(screentest::ShowBlackWindow(black, 40, 40, 450, 220));
    {
        fw::ScopedGetDC screen(nullptr);
        ASSERT_EQ(0u, ::GetPixel(screen.Get(), 95, 150) & 0xFFFFFF) << "the window below is not black";
    }
    border->SetImage("border-test-half");
    ShowWithBorder();
    fwtest::PumpUntil([] { return false; }, 100);

    fw::ScopedGetDC screen(nullptr);
    const COLORREF shown = ::GetPixel(screen.Get(), 95, 150);  // inside the left window
    const int expect[3] = {(200 * 128 + 127) / 255, (90 * 128 + 127) / 255, (40 * 128 + 127) / 255};
    EXPECT_NEAR(expect[0], GetRValue(shown), 2);
    EXPECT_NEAR(expect[1], GetGValue(shown), 2);
    EXPECT_NEAR(expect[2], GetBValue(shown), 2);
}
