// The form controller on real windows: its answers to the non-client
// messages, its timers, fading, double clicks, drag settings, and the hook's
// life.
#include "tests/skin/frame/FrameWinSupport_win.h"

#include "skin/frame/uKsSkinHelper.h"

#include <memory>
#include <string>
#include <vector>

using namespace ks;
using frametest::SkinFormTest;

namespace {

// A form that logs the messages reaching its own handling.
class ProbeForm : public fw::TForm {
public:
    explicit ProbeForm(fw::TComponent* owner) : fw::TForm(owner) {}
    std::vector<std::string>* Log = nullptr;
    int NCPaints = 0;
    UINT Probe = 0;

protected:
    void WndProc(fw::TMessage& m) override
    {
        if (m.Msg == WM_NCPAINT)
            ++NCPaints;
        if (Log != nullptr && m.Msg == Probe && Probe != 0)
            Log->push_back("form");
        fw::TForm::WndProc(m);
    }
};

// A controller that logs a probe message before handling it.
class LoggingSkinForm : public TKsSkinForm {
public:
    LoggingSkinForm(fw::TComponent* owner, std::string name, std::vector<std::string>& log, UINT probe)
        : TKsSkinForm(owner),
          m_name(std::move(name)),
          m_log(log),
          m_probe(probe)
    {}

protected:
    void HookedWndProc(fw::TMessage& m) override
    {
        if (m.Msg == m_probe)
            m_log.push_back(m_name);
        TKsSkinForm::HookedWndProc(m);
    }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
    UINT m_probe;
};

}  // namespace

namespace {

// The major version of the Wine the tests run under, 0 on Windows.
int WineMajorVersion()
{
    using GetVersion = const char*(__cdecl*)();
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto get =
        ntdll != nullptr
            ? reinterpret_cast<GetVersion>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "wine_get_version")))
            : nullptr;
    return get != nullptr ? std::atoi(get()) : 0;
}

}  // namespace

TEST_F(SkinFormTest, ClientAreaIsTheWindowLessFrameAndTitle)
{
    AddSkin();
    ShowAndSettle();
    RECT client{};
    ::GetClientRect(Window(), &client);
    EXPECT_EQ(client.right, 326);
    EXPECT_EQ(client.bottom, 71);

    RECT r{10, 20, 340, 120};
    EXPECT_EQ(Send(WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r)), 0);
    EXPECT_EQ(r.left, 12);
    EXPECT_EQ(r.top, 47);
    EXPECT_EQ(r.right, 338);
    EXPECT_EQ(r.bottom, 118);

    // Wine: under Wine 10 a sent WM_NCCALCSIZE with wParam TRUE comes back
    // with the caller's rectangle unchanged, so only other systems check the
    // rectangle smaller than the frame.
    if (WineMajorVersion() >= 10)
        return;
    NCCALCSIZE_PARAMS params{};
    params.rgrc[0] = RECT{0, 0, 3, 3};  // smaller than the frame
    Send(WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    EXPECT_EQ(params.rgrc[0].right, params.rgrc[0].left);
    EXPECT_EQ(params.rgrc[0].bottom, params.rgrc[0].top);
}

TEST_F(SkinFormTest, HitTestAnswersFromTheFrameTable)
{
    TKsSkinForm* skin = AddSkin();
    ShowAndSettle();
    EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenPoint(0, 0)), HTTOPLEFT);
    EXPECT_TRUE(skin->OnSizingBorder());
    EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenPoint(100, 2)), HTTOP);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenPoint(329, 50)), HTRIGHT);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenPoint(329, 99)), HTBOTTOMRIGHT);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenPoint(100, 10)), HTCAPTION);
    EXPECT_FALSE(skin->OnSizingBorder());
    EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenPoint(100, 50)), HTCLIENT);

    skin->SetHitTestWidth(0);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenPoint(0, 0)), HTCAPTION);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenPoint(0, 50)), HTNOWHERE);
}

TEST_F(SkinFormTest, FixedFormAnswersNoSizingCodes)
{
    form->SetBorderStyle(fw::bsSingle);
    AddSkin();
    ShowAndSettle();
    EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenPoint(0, 0)), HTCAPTION);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenPoint(329, 99)), HTNOWHERE);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenPoint(100, 60)), HTCLIENT);
}

TEST_F(SkinFormTest, BorderlessFormIsLeftToTheSystem)
{
    form->SetBorderStyle(fw::bsNone);
    AddSkin();
    ShowAndSettle();
    RECT window{};
    ::GetWindowRect(Window(), &window);
    RECT client{};
    ::GetClientRect(Window(), &client);
    EXPECT_EQ(client.right, window.right - window.left);
    EXPECT_EQ(client.bottom, window.bottom - window.top);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenPoint(1, 1)), HTCLIENT);
}

TEST_F(SkinFormTest, ActivationAlwaysAnswersOneAndKeepsTheLook)
{
    AddSkin();
    ShowAndSettle();
    const auto before = frametest::CaptureWindow(Window());
    EXPECT_EQ(Send(WM_NCACTIVATE, FALSE, 0), 1);
    EXPECT_EQ(Send(WM_NCACTIVATE, TRUE, 0), 1);
    EXPECT_EQ(Send(WM_NCACTIVATE, FALSE, 0), 1);
    const auto after = frametest::CaptureWindow(Window());
    ASSERT_EQ(before.Pixels.size(), after.Pixels.size());
    for (int x = 2; x < 328; x += 7)
        EXPECT_EQ(before.At(x, 10), after.At(x, 10)) << x;
}

TEST_F(SkinFormTest, MinMaxInfoUsesTheWorkAreaAndTitleHeight)
{
    TKsSkinForm* skin = AddSkin();
    ShowAndSettle();
    RECT wa{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);

    MINMAXINFO mmi{};
    mmi.ptMaxTrackSize = {1111, 2222};
    EXPECT_EQ(Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi)), 0);
    EXPECT_EQ(mmi.ptMaxSize.x, wa.right - wa.left);
    EXPECT_EQ(mmi.ptMaxSize.y, wa.bottom - wa.top);
    EXPECT_EQ(mmi.ptMaxPosition.x, wa.left);
    EXPECT_EQ(mmi.ptMaxPosition.y, wa.top);
    EXPECT_EQ(mmi.ptMinTrackSize.x, 120);
    EXPECT_EQ(mmi.ptMinTrackSize.y, 33);  // TitleHeight + 6

    skin->SetFlatFrame(true);
    form->Constraints().SetMaxWidth(600);
    mmi = MINMAXINFO{};
    mmi.ptMaxTrackSize = {1111, 2222};
    Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.y, 57);  // TitleHeight + 30
    EXPECT_EQ(mmi.ptMaxTrackSize.x, 600);
}

TEST_F(SkinFormTest, FormDesignedMaximisedIsOnePixelShortUntilShown)
{
    form->SetWindowState(fw::wsMaximized);
    TKsSkinForm* skin = AddSkin();
    EXPECT_EQ(skin->SavedWindowState(), fw::wsMaximized);
    form->HandleNeeded();
    RECT wa{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    MINMAXINFO mmi{};
    Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMaxSize.y, wa.bottom - wa.top - 1);
    EXPECT_EQ(mmi.ptMaxSize.x, wa.right - wa.left);

    ShowAndSettle();
    EXPECT_TRUE(::IsZoomed(Window()));
    // Once shown it counts as designed normal, with no frame, and the pixel
    // held back comes back.
    EXPECT_EQ(skin->SavedWindowState(), fw::wsNormal);
    EXPECT_EQ(skin->FramWidth(), 0);
    EXPECT_EQ(form->Height(), wa.bottom - wa.top);
    mmi = MINMAXINFO{};
    Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMaxSize.y, wa.bottom - wa.top);
}

TEST_F(SkinFormTest, StyleBitsClassBrushAndClassStyle)
{
    TKsSkinForm* skin = AddSkin();
    ShowAndSettle();
    HWND h = Window();
    const LONG_PTR style = ::GetWindowLongPtrW(h, GWL_STYLE);
    EXPECT_EQ(style & WS_BORDER, 0);
    EXPECT_EQ(style & WS_DLGFRAME, 0);
    EXPECT_EQ(style & WS_SYSMENU, 0);
    const ULONG_PTR classStyle = ::GetClassLongPtrW(h, GCL_STYLE);
    EXPECT_EQ(classStyle & (CS_HREDRAW | CS_VREDRAW), 0u);
    auto brush = reinterpret_cast<HBRUSH>(::GetClassLongPtrW(h, GCLP_HBRBACKGROUND));
    ASSERT_NE(brush, nullptr);
    LOGBRUSH lb{};
    ASSERT_EQ(::GetObjectW(brush, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
    EXPECT_EQ(lb.lbColor, static_cast<COLORREF>(skin->EffectiveClientColor()));
}

TEST_F(SkinFormTest, RegionRoundsTheTopCorners)
{
    TKsSkinForm* skin = AddSkin();
    ShowAndSettle();
    HWND h = Window();
    fw::ScopedRegion rgn(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(h, rgn.Get()), ERROR);
    EXPECT_FALSE(::PtInRegion(rgn.Get(), 0, 0));
    EXPECT_FALSE(::PtInRegion(rgn.Get(), 329, 0));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), 2, 2));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), 165, 0));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), 0, 50));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), 329, 50));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), 165, 99));

    // A one-pixel frame keeps the bottom corners square.
    skin->SetFramWidth(1);
    form->SetBounds(100, 100, 331, 100);  // resizing marks the region dirty
    auto regionHas = [&](int x, int y) {
        return ::GetWindowRgn(h, rgn.Get()) != ERROR && ::PtInRegion(rgn.Get(), x, y);
    };
    // The deferred frame paint sets the new region.
    ASSERT_TRUE(fwtest::PumpUntil([&] { return regionHas(330, 99); }, 3000));
    EXPECT_FALSE(::PtInRegion(rgn.Get(), 0, 0));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), 0, 99));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), 330, 99));

    // Without rounding: the plain rectangle.
    skin->SetRoundWindow(false);
    form->SetBounds(100, 100, 330, 100);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return regionHas(0, 0); }, 3000));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), 329, 99));
}

TEST_F(SkinFormTest, LiveResizeLeavesTheWindowUnshapedUntilItIsOver)
{
    AddSkin();
    ShowAndSettle();
    HWND h = Window();
    fw::ScopedRegion rgn(::CreateRectRgn(0, 0, 0, 0));
    // Sizes less than 50 ms apart (no timer can run between these two).
    form->SetBounds(100, 100, 360, 120);
    form->SetBounds(100, 100, 380, 130);
    EXPECT_EQ(::GetWindowRgn(h, rgn.Get()), ERROR);
    // The deferred frame paint gives it the rounded shape of its size.
    ASSERT_TRUE(fwtest::PumpUntil([&] { return ::GetWindowRgn(h, rgn.Get()) != ERROR; }, 3000));
    EXPECT_FALSE(::PtInRegion(rgn.Get(), 0, 0));
    EXPECT_FALSE(::PtInRegion(rgn.Get(), 379, 0));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), 379, 65));
}

TEST_F(SkinFormTest, ResizesRepaintTheFrameOnceAfterTheLast)
{
    AddSkin();
    ShowAndSettle();
    auto deferred = std::make_shared<int>(0);
    fw::TWndMethod inner = form->WindowProc();
    form->SetWindowProc([deferred, inner](fw::TMessage& m) {
        if (m.Msg == WM_NCPAINT && m.WParam == 0 && m.LParam == 0)
            ++*deferred;
        inner(m);
    });
    // The timing itself is tested on the controller's state; here the
    // timer's wiring: five resizes, one paint, and none before messages run.
    for (int i = 0; i < 5; ++i)
        Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(326, 71));
    EXPECT_EQ(*deferred, 0);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return *deferred > 0; }, 3000));
    frametest::Drain();
    EXPECT_EQ(*deferred, 1);
}

TEST_F(SkinFormTest, FirstShowIsTransparentThenOpaque)
{
    TKsSkinForm* skin = AddSkin();
    form->Show();
    EXPECT_TRUE(skin->FirstShowDone());
    EXPECT_TRUE(form->AlphaBlend());
    EXPECT_EQ(form->AlphaBlendValue(), 0);
    EXPECT_NE(::GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return !form->AlphaBlend(); }, 5000));
    EXPECT_EQ(form->AlphaBlendValue(), 255);
    EXPECT_EQ(::GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);

    // Hiding and showing again does not fade a second time.
    form->Hide();
    form->Show();
    EXPECT_FALSE(form->AlphaBlend());
}

TEST_F(SkinFormTest, FirstShowKeepsTheFormsOwnAlpha)
{
    form->SetAlphaBlend(true);
    form->SetAlphaBlendValue(200);
    AddSkin();
    form->Show();
    EXPECT_EQ(form->AlphaBlendValue(), 0);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return frametest::Settled(form.get()); }, 5000));
    EXPECT_TRUE(form->AlphaBlend());
    EXPECT_EQ(form->AlphaBlendValue(), 200);
}

TEST_F(SkinFormTest, MinimiseFadesOutAndRestoreBringsTheAlphaBack)
{
    TKsSkinForm* skin = AddSkin();
    ShowAndSettle();
    Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    frametest::Drain();
    EXPECT_TRUE(::IsIconic(Window()));
    EXPECT_TRUE(skin->Minimized());
    EXPECT_TRUE(form->AlphaBlend());
    EXPECT_EQ(form->AlphaBlendValue(), 0);

    Send(WM_SYSCOMMAND, SC_RESTORE, 0);
    frametest::Drain();
    EXPECT_FALSE(::IsIconic(Window()));
    EXPECT_FALSE(skin->Minimized());
    EXPECT_FALSE(form->AlphaBlend());
    EXPECT_EQ(form->AlphaBlendValue(), 255);
    EXPECT_EQ(skin->FramWidth(), 2);
}

TEST_F(SkinFormTest, RestoreByCodeBringsAMinimisedFormBack)
{
    TKsSkinForm* skin = AddSkin();
    ShowAndSettle();
    for (int how : {SW_RESTORE, SW_SHOWNORMAL}) {
        Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_EQ(form->AlphaBlendValue(), 0);
        ::ShowWindow(Window(), how);
        frametest::Drain();
        EXPECT_FALSE(::IsIconic(Window()));
        EXPECT_FALSE(skin->Minimized()) << how;
        EXPECT_FALSE(form->AlphaBlend()) << how;
        EXPECT_EQ(form->AlphaBlendValue(), 255) << how;
        EXPECT_EQ(::GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_LAYERED, 0) << how;
    }
}

TEST_F(SkinFormTest, MaximisedFormKeepsItsHeightWhenShownAgain)
{
    AddSkin();
    ShowAndSettle();
    // Shared with the window procedure, which may outlive a failed test.
    auto settles = std::make_shared<int>(0);
    fw::TWndMethod inner = form->WindowProc();
    form->SetWindowProc([settles, inner](fw::TMessage& m) {
        if (m.Msg == WM_TIMER && m.WParam == kTimerFirstShowSettle)
            ++*settles;
        inner(m);
    });
    Send(WM_SYSCOMMAND, SC_MAXIMIZE);
    ASSERT_TRUE(::IsZoomed(Window()));
    const int height = form->Height();
    for (int i = 1; i <= 3; ++i) {
        form->Hide();
        form->Show();
        ASSERT_TRUE(fwtest::PumpUntil([&] { return *settles == i; }, 5000));
    }
    EXPECT_EQ(form->Height(), height);
}

TEST_F(SkinFormTest, RestoreTurnsASavedZeroAlphaIntoOpaque)
{
    AddSkin();
    ShowAndSettle();
    form->SetAlphaBlend(true);
    form->SetAlphaBlendValue(0);
    Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Send(WM_SYSCOMMAND, SC_RESTORE, 0);
    frametest::Drain();
    EXPECT_TRUE(form->AlphaBlend());
    EXPECT_EQ(form->AlphaBlendValue(), 255);
}

TEST_F(SkinFormTest, DoubleClickOnTheTitleMaximisesAndRestores)
{
    TKsSkinForm* skin = AddSkin();
    ShowAndSettle();
    EXPECT_EQ(Send(WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenPoint(100, 10)), 0);
    EXPECT_TRUE(::IsZoomed(Window()));
    EXPECT_EQ(skin->FramWidth(), 0);
    // Maximised: the region becomes a plain rectangle.
    fw::ScopedRegion rgn(::CreateRectRgn(0, 0, 0, 0));
    EXPECT_TRUE(fwtest::PumpUntil(
        [&] { return ::GetWindowRgn(Window(), rgn.Get()) != ERROR && ::PtInRegion(rgn.Get(), 0, 0); }, 3000));

    Send(WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenPoint(100, 10));
    frametest::Drain();
    EXPECT_FALSE(::IsZoomed(Window()));
    EXPECT_EQ(skin->FramWidth(), 2);

    // Below the title: nothing.
    Send(WM_NCLBUTTONDBLCLK, HTCLIENT, ScreenPoint(100, 50));
    frametest::Drain();
    EXPECT_FALSE(::IsZoomed(Window()));
}

TEST_F(SkinFormTest, DoubleClickNeedsTheMaximiseIconAndASizeableOrSingleBorder)
{
    form->SetBorderIcons({fw::biSystemMenu, fw::biMinimize});
    AddSkin();
    ShowAndSettle();
    Send(WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenPoint(100, 10));
    frametest::Drain();
    EXPECT_FALSE(::IsZoomed(Window()));
}

TEST_F(SkinFormTest, DoubleClickIgnoredOnADialogBorder)
{
    form->SetBorderStyle(fw::bsDialog);
    AddSkin();
    ShowAndSettle();
    Send(WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenPoint(100, 10));
    frametest::Drain();
    EXPECT_FALSE(::IsZoomed(Window()));
}

namespace {

// Ends the system's move loop from inside: the timer procedure records the
// drag setting the loop runs with and then cancels the move.
BOOL g_dragSettingDuringMove = -1;
HWND g_movingWindow = nullptr;

void CALLBACK EndMoveLoop(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    BOOL value = FALSE;
    ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &value, 0);
    g_dragSettingDuringMove = value;
    ::PostMessageW(g_movingWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    ::PostMessageW(g_movingWindow, WM_LBUTTONUP, 0, 0);
    ::ReleaseCapture();
}

}  // namespace

TEST_F(SkinFormTest, DragFullWindowsIsSetForTheDragAndPutBack)
{
    TKsSkinForm* skin = AddSkin();
    ShowAndSettle();
    BOOL original = FALSE;
    ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &original, 0);
    ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);

    skin->Options()->SetDragFullWindows(wkDisable);
    g_movingWindow = Window();
    g_dragSettingDuringMove = -1;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, EndMoveLoop);
    Send(WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(100, 10));
    ::KillTimer(nullptr, timer);
    frametest::Drain();
    BOOL after = FALSE;
    ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &after, 0);
    EXPECT_EQ(after, TRUE);
    EXPECT_EQ(SavedDragFullWindows, 1);
    // The system's move loop ran without full-window dragging.
    // Wine: Wine 10 starts no move loop for a sent button-down while the
    // button is up, so there the setting during the loop cannot be seen.
    if (g_dragSettingDuringMove != -1 || WineMajorVersion() < 10) {
        EXPECT_EQ(g_dragSettingDuringMove, FALSE);
    }

    // wkSystem leaves the setting alone.
    skin->Options()->SetDragFullWindows(wkSystem);
    SavedDragFullWindows = 7;
    Send(WM_NCLBUTTONUP, HTCAPTION, ScreenPoint(100, 10));
    Send(WM_NCLBUTTONDOWN, HTCLIENT, ScreenPoint(100, 50));
    EXPECT_EQ(SavedDragFullWindows, 7);
    ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, original, nullptr, 0);
}

TEST(SkinFormHook, TwoControllersOnOneFormRunInReverseOrderOfCreation)
{
    const UINT probe = WM_APP + 17;
    std::vector<std::string> log;
    auto form = std::make_unique<ProbeForm>(nullptr);
    form->Log = &log;
    form->Probe = probe;
    auto* first = new LoggingSkinForm(form.get(), "first", log, probe);
    auto* second = new LoggingSkinForm(form.get(), "second", log, probe);
    form->Perform(probe);
    EXPECT_EQ(log, (std::vector<std::string>{"second", "first", "form"}));
    EXPECT_EQ(FormSkinHelper().Find(form.get())->Controller, first);

    // Each goes in the reverse order of installation.
    log.clear();
    delete second;
    form->Perform(probe);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "form"}));
    delete first;
    log.clear();
    form->Perform(probe);
    EXPECT_EQ(log, (std::vector<std::string>{"form"}));
    EXPECT_EQ(FormSkinHelper().IndexOf(form.get()), -1);
}

TEST(SkinFormHook, DestroyingTheControllerGivesTheFormItsWindowProcedureBack)
{
    auto form = std::make_unique<ProbeForm>(nullptr);
    form->SetBounds(100, 100, 330, 100);
    auto* skin = new TKsSkinForm(form.get());
    form->Show();
    ASSERT_TRUE(fwtest::PumpUntil([&] { return frametest::Settled(form.get()); }, 5000));
    const int before = form->NCPaints;
    ::SendMessageW(form->Handle(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(form->NCPaints, before);  // the controller keeps it
    delete skin;
    ::SendMessageW(form->Handle(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(form->NCPaints, before + 1);
    form.reset();
    frametest::Drain();
}

TEST(SkinFormHook, NonFormOwnerLeavesTheHookInert)
{
    fw::TComponent owner(nullptr);
    auto* skin = new TKsSkinForm(&owner);
    EXPECT_EQ(skin->HookedControl(), nullptr);
    EXPECT_EQ(skin->Form(), nullptr);
    // Registered with an empty form part.
    EXPECT_NE(FormSkinHelper().Find(nullptr), nullptr);
}

TEST(SkinFormHook, DesigningControllerTouchesNothing)
{
    auto form = std::make_unique<fw::TForm>(nullptr);
    form->SetDesigning(true);
    auto* skin = new TKsSkinForm(form.get());
    EXPECT_EQ(skin->HookedControl(), nullptr);
    EXPECT_FALSE(skin->Active());
    EXPECT_TRUE(form->AutoScroll());  // left alone
    form->SetDesigning(false);
}

namespace {

// A stand-in for the skin configuration component.
class FakeSkinRes : public fw::TComponent, public IKsFormSkinSource {
public:
    explicit FakeSkinRes(fw::TComponent* owner) : fw::TComponent(owner) {}
    TKsFormSkinRes* FormSkin() override { return &Settings; }
    TKsFormSkinRes Settings;
};

}  // namespace

TEST_F(SkinFormTest, LinkedConfigurationIsAppliedAndFollowed)
{
    TKsSkinForm* skin = AddSkin();
    ShowAndSettle();
    auto* res = new FakeSkinRes(form.get());
    res->Settings.SetColor(0x00102030);
    res->Settings.SetTitlerColor(0x00405060);
    res->Settings.SetGradientHeight(40);
    res->Settings.SetTitleHeight(50);  // not copied
    res->Settings.SetFramWidth(5);     // not copied
    skin->SetSkinRes(res);
    EXPECT_EQ(skin->Color(), 0x00102030);
    EXPECT_EQ(skin->TitlerColor(), 0x00405060);
    EXPECT_EQ(skin->EffectiveTitleColor(), 0x00405060);
    EXPECT_EQ(skin->GradientHeight(), 40);
    EXPECT_EQ(skin->GradientBitmap().Height(), 40);
    EXPECT_EQ(skin->TitleHeight(), 27);
    EXPECT_EQ(skin->FramWidth(), 2);
    EXPECT_EQ(GlobalFormSkin().Color(), 0x00102030);

    // A skin change reaches the form as message 3029.
    res->Settings.SetColor(0x00111111);
    Send(CM_SKIN_SKINCHANGED);
    EXPECT_EQ(skin->Color(), 0x00111111);

    // Removing the configuration clears the link.
    delete res;
    EXPECT_EQ(skin->SkinRes(), nullptr);
    Send(CM_SKIN_SKINCHANGED);
    EXPECT_EQ(skin->Color(), 0x00111111);
}

TEST_F(SkinFormTest, RebuildMessageRebuildsTheBackgrounds)
{
    TKsSkinForm* skin = AddSkin();
    ShowAndSettle();
    skin->SetColor(0x00223344);
    skin->SetActiveGradient(false);
    Send(CM_SKIN_REBUILD);
    EXPECT_EQ(skin->EffectiveClientColor(), 0x00223344);
    EXPECT_EQ(skin->ColorBackground().PixelAt(5, 5), ColorToColor32(0x00223344));
}

TEST(SkinFormHook, AltAloneAnswersOneAndStillReachesTheForm)
{
    std::vector<std::string> log;
    auto form = std::make_unique<ProbeForm>(nullptr);
    form->Log = &log;
    form->Probe = fw::CM_DIALOGKEY;
    new TKsSkinForm(form.get());
    EXPECT_EQ(form->Perform(fw::CM_DIALOGKEY, VK_MENU, 0), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"form"}));
}
