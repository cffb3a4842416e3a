// Forms, the application object, the screen and timers, with real windows.
#include "framework/ExtCtrls_win.h"
#include "framework/Forms_win.h"
#include "framework/Streams.h"
#include "framework/TypInfo.h"
#include "tests/framework/WinTestSupport_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace fw;
using fwtest::PumpUntil;

namespace {

DWORD Style(HWND h) { return static_cast<DWORD>(::GetWindowLongPtrW(h, GWL_STYLE)); }
DWORD ExStyle(HWND h) { return static_cast<DWORD>(::GetWindowLongPtrW(h, GWL_EXSTYLE)); }

// A form class with a stored layout, published fields and methods, shaped
// like the launcher's main form.
class TLayoutTestForm : public TForm {
    FW_CLASS(TLayoutTestForm)

    explicit TLayoutTestForm(TComponent* owner) : TForm(owner) {}

    TTimer* Timer1 = nullptr;
    int creates = 0;
    int heightSeenByCreate = 0;
    int ticks = 0;

    void FormCreate(TObject*)
    {
        ++creates;
        heightSeenByCreate = Height();
    }
    void Timer1Timer(TObject*) { ++ticks; }
};

const TClassInfo& TLayoutTestForm::StaticClass()
{
    static const TClassInfo& info = DefineClass<TLayoutTestForm, TForm>("TLayoutTestForm")
                                        .Field("Timer1", &TLayoutTestForm::Timer1)
                                        .Method("FormCreate", &TLayoutTestForm::FormCreate)
                                        .Method("Timer1Timer", &TLayoutTestForm::Timer1Timer)
                                        .Register();
    return info;
}

void Prop(TStreamWriter& w, const char* name) { w.WriteShortString(name); }

std::vector<std::uint8_t> LauncherLikeLayout()
{
    TStreamWriter w;
    w.WriteSignature();
    w.WriteShortString("TLayoutTestForm");
    w.WriteShortString("FormMain");
    Prop(w, "Left"), w.WriteInteger(745);
    Prop(w, "Top"), w.WriteInteger(477);
    Prop(w, "Width"), w.WriteInteger(330);
    Prop(w, "Height"), w.WriteInteger(100);
    Prop(w, "Caption"), w.WriteString("FormMain");
    Prop(w, "Color"), w.WriteIdent("clBtnFace");
    Prop(w, "Font.Charset"), w.WriteIdent("DEFAULT_CHARSET");
    Prop(w, "Font.Color"), w.WriteIdent("clWindowText");
    Prop(w, "Font.Height"), w.WriteInteger(-11);
    Prop(w, "Font.Name"), w.WriteString("MS Sans Serif");
    Prop(w, "Font.Style"), w.WriteSet({});
    Prop(w, "OldCreateOrder"), w.WriteBoolean(false);
    Prop(w, "Position"), w.WriteIdent("poDesktopCenter");
    Prop(w, "OnCreate"), w.WriteIdent("FormCreate");
    Prop(w, "PixelsPerInch"), w.WriteInteger(96);
    Prop(w, "TextHeight"), w.WriteInteger(13);
    w.WriteListEnd();
    w.WriteShortString("TTimer");
    w.WriteShortString("Timer1");
    Prop(w, "Interval"), w.WriteInteger(500);
    Prop(w, "OnTimer"), w.WriteIdent("Timer1Timer");
    Prop(w, "Left"), w.WriteInteger(216);
    Prop(w, "Top"), w.WriteInteger(8);
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();
    return w.Take();
}

}  // namespace

TEST(Form, ReadsItsStoredLayoutThenRunsOnCreate)
{
    auto form = std::make_unique<TLayoutTestForm>(nullptr);
    form->InitFromLayout(LauncherLikeLayout());
    EXPECT_EQ(form->Name(), "FormMain");
    EXPECT_EQ(form->BoundsRect(), Bounds(745, 477, 330, 100));
    EXPECT_EQ(form->Caption(), "FormMain");
    EXPECT_EQ(form->Color(), clBtnFace);
    EXPECT_EQ(form->Font().Name(), "MS Sans Serif");
    EXPECT_EQ(form->Font().Height(), -11);
    EXPECT_EQ(form->Font().Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(form->Position(), poDesktopCenter);
    EXPECT_EQ(form->PixelsPerInch(), 96);
    EXPECT_EQ(form->TextHeight(), 13);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->creates, 1);
    EXPECT_EQ(form->heightSeenByCreate, 100);  // OnCreate runs after every stored value is in place

    ASSERT_NE(form->Timer1, nullptr);
    EXPECT_EQ(form->Timer1->Owner(), form.get());
    EXPECT_EQ(form->Timer1->Interval(), 500u);
    EXPECT_TRUE(form->Timer1->Enabled());
    EXPECT_EQ(form->Timer1->DesignLeft(), 216);  // design-time icon position: stored, nothing else
    EXPECT_TRUE(form->Timer1->Running());
    EXPECT_TRUE(PumpUntil([&] { return form->ticks >= 2; }));

    // The first show centres the 330 x 100 window on the desktop.
    form->Show();
    TRect desktop = Screen->DesktopRect();
    EXPECT_EQ(form->Left(), desktop.Left + (desktop.Width() - 330) / 2);
    EXPECT_EQ(form->Top(), desktop.Top + (desktop.Height() - 100) / 2);
    RECT r{};
    ::GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, form->Left());
    EXPECT_EQ(r.top, form->Top());
    EXPECT_EQ(r.right - r.left, 330);
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
    EXPECT_EQ(::GetWindow(form->Handle(), GW_OWNER), Application->Handle());

    // Later shows keep the position the form has.
    form->Hide();
    form->SetBounds(10, 10, 330, 100);
    form->Show();
    EXPECT_EQ(form->Left(), 10);
}

TEST(Form, MissingOrDamagedLayoutFails)
{
    auto form = std::make_unique<TLayoutTestForm>(nullptr);
    EXPECT_TRUE(TCustomForm::FindLayoutResource("TLayoutTestForm").empty());
    EXPECT_THROW(form->InitFromLayout(), EFrameworkError);
    auto bytes = LauncherLikeLayout();
    bytes.resize(bytes.size() / 2);
    auto damaged = std::make_unique<TLayoutTestForm>(nullptr);
    EXPECT_THROW(damaged->InitFromLayout(bytes), EFrameworkError);
    EXPECT_EQ(damaged->creates, 0);
}

struct BorderCase {
    TFormBorderStyle style;
    TBorderIcons icons;
    DWORD wantStyle;
    DWORD noStyle;
    DWORD wantEx;
};

TEST(Form, BorderStyleAndIconsMapToWindowStyles)
{
    const BorderCase cases[] = {
        {bsSizeable, kDefaultBorderIcons, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
         WS_POPUP, 0},
        {bsSizeable, {biSystemMenu}, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU, WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0},
        {bsSizeable, {}, WS_CAPTION | WS_THICKFRAME, WS_SYSMENU | WS_MINIMIZEBOX, 0},
        {bsSingle,
         {biSystemMenu, biMinimize},
         WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
         WS_THICKFRAME | WS_MAXIMIZEBOX,
         0},
        {bsDialog, kDefaultBorderIcons, WS_CAPTION | WS_SYSMENU | WS_POPUP,
         WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_EX_DLGMODALFRAME},
        {bsDialog, {biSystemMenu, biHelp}, WS_CAPTION | WS_SYSMENU, WS_MINIMIZEBOX, WS_EX_CONTEXTHELP},
        {bsToolWindow, kDefaultBorderIcons, WS_CAPTION | WS_SYSMENU, WS_THICKFRAME, WS_EX_TOOLWINDOW},
        {bsSizeToolWin, kDefaultBorderIcons, WS_CAPTION | WS_THICKFRAME, 0, WS_EX_TOOLWINDOW},
        {bsNone, kDefaultBorderIcons, WS_POPUP, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU, 0},
    };
    for (const BorderCase& c : cases) {
        TForm form(nullptr);
        form.SetBorderStyle(c.style);
        form.SetBorderIcons(c.icons);
        HWND h = form.Handle();
        SCOPED_TRACE(testing::Message() << "style " << c.style << " icons " << c.icons.ToMask());
        EXPECT_EQ(Style(h) & c.wantStyle, c.wantStyle);
        EXPECT_EQ(Style(h) & c.noStyle, 0u);
        EXPECT_EQ(ExStyle(h) & c.wantEx, c.wantEx);
        EXPECT_FALSE(Style(h) & WS_CHILD);
    }
}

TEST(Form, FirstShowMaximisedAndWindowStateFollowsTheWindow)
{
    TForm form(nullptr);
    form.SetWindowState(wsMaximized);
    form.Show();
    EXPECT_TRUE(::IsZoomed(form.Handle()));
    ::ShowWindow(form.Handle(), SW_RESTORE);
    EXPECT_EQ(form.WindowState(), wsNormal);
    form.SetWindowState(wsMaximized);
    EXPECT_TRUE(::IsZoomed(form.Handle()));
}

TEST(Form, AlphaBlendMakesALayeredWindow)
{
    TForm form(nullptr);
    form.SetAlphaBlendValue(128);
    form.SetAlphaBlend(true);  // before the window exists
    form.Show();
    HWND h = form.Handle();
    EXPECT_TRUE(ExStyle(h) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(h, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_TRUE(flags & LWA_ALPHA);

    form.SetAlphaBlendValue(0);
    ::GetLayeredWindowAttributes(h, nullptr, &alpha, &flags);
    EXPECT_EQ(alpha, 0);

    form.SetBorderStyle(bsSingle);  // re-created: still layered
    ::GetLayeredWindowAttributes(form.Handle(), nullptr, &alpha, &flags);
    EXPECT_TRUE(ExStyle(form.Handle()) & WS_EX_LAYERED);
    EXPECT_EQ(alpha, 0);

    form.SetAlphaBlend(false);
    EXPECT_FALSE(ExStyle(form.Handle()) & WS_EX_LAYERED);
}

TEST(Form, CloseActions)
{
    auto* form = new TForm(nullptr);
    TCloseAction answer = caNone;
    bool destroyed = false;
    form->SetOnClose([&](TObject*, TCloseAction& action) { action = answer; });
    form->SetOnDestroy([&](TObject*) { destroyed = true; });
    form->Show();
    form->Close();
    EXPECT_TRUE(form->Visible());
    answer = caHide;
    ::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form->Visible());
    // caFree frees the form after the message that closed it.
    form->Show();
    answer = caFree;
    ::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(destroyed);
    EXPECT_TRUE(PumpUntil([&] { return destroyed; }));
}

TEST(Application, MainFormRunAndClose)
{
    Application->Initialize();
    Application->SetTitle(L"Tarvel工程管理服务平台");
    wchar_t text[64] = {};
    ::GetWindowTextW(Application->Handle(), text, 64);
    EXPECT_STREQ(text, L"Tarvel工程管理服务平台");

    TLayoutTestForm* main = nullptr;
    Application->CreateForm(main);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Application->MainForm(), main);
    EXPECT_EQ(main->Owner(), Application);
    TForm* second = nullptr;
    Application->CreateForm(second);
    EXPECT_EQ(Application->MainForm(), main);

    // Closing the main form from a timer tick ends Run.
    TTimer closer(nullptr);
    closer.SetInterval(50);
    bool shownDuringRun = false;
    closer.SetOnTimer([&](TObject*) {
        shownDuringRun = ::IsWindowVisible(main->Handle()) && ::IsWindowVisible(Application->Handle());
        main->Close();
    });
    Application->Run();
    EXPECT_TRUE(shownDuringRun);
    EXPECT_TRUE(Application->Terminated());
    closer.SetEnabled(false);

    delete second;
    delete main;
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(Application, HooksSeeTheApplicationWindowFirst)
{
    constexpr UINT kProbe = WM_APP + 11;
    std::vector<int> seen;
    int first = Application->HookMainWindow([&](TMessage& m) {
        if (m.Msg != kProbe)
            return false;
        seen.push_back(1);
        return false;
    });
    int second = Application->HookMainWindow([&](TMessage& m) {
        if (m.Msg != kProbe)
            return false;
        seen.push_back(2);
        m.Result = 7;
        return true;  // handled: nobody else sees it
    });
    int third = Application->HookMainWindow([&](TMessage& m) {
        if (m.Msg == kProbe)
            seen.push_back(3);
        return false;
    });
    EXPECT_EQ(::SendMessageW(Application->Handle(), kProbe, 0, 0), 7);
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
    Application->UnhookMainWindow(second);
    seen.clear();
    EXPECT_EQ(::SendMessageW(Application->Handle(), kProbe, 0, 0), 0);
    EXPECT_EQ(seen, (std::vector<int>{1, 3}));
    Application->UnhookMainWindow(first);
    Application->UnhookMainWindow(third);
}

TEST(Application, MinimizeAndRestoreTheWholeApplication)
{
    int minimized = 0, restored = 0;
    Application->SetOnMinimize([&](TObject*) { ++minimized; });
    Application->SetOnRestore([&](TObject*) { ++restored; });
    TForm form(nullptr);
    form.Show();
    ::ShowWindow(Application->Handle(), SW_SHOWNOACTIVATE);
    ::SendMessageW(Application->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(::IsIconic(Application->Handle()));
    Application->Minimize();  // already minimised: nothing more
    EXPECT_EQ(minimized, 1);
    ::SendMessageW(Application->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(::IsIconic(Application->Handle()));
    EXPECT_EQ(restored, 1);
    Application->SetOnMinimize(nullptr);
    Application->SetOnRestore(nullptr);
}

TEST(Screen, MonitorsSizesAndForms)
{
    ASSERT_GE(Screen->MonitorCount(), 1);
    TMonitor* primary = Screen->PrimaryMonitor();
    ASSERT_NE(primary, nullptr);
    EXPECT_TRUE(primary->Primary());
    EXPECT_EQ(primary->BoundsRect(), Bounds(0, 0, Screen->Width(), Screen->Height()));
    EXPECT_TRUE(primary->BoundsRect().Contains(primary->WorkareaRect()));
    EXPECT_EQ(Screen->Monitors(primary->MonitorNum()), primary);
    EXPECT_TRUE(Screen->DesktopRect().Contains(primary->BoundsRect()));

    TForm form(nullptr);
    form.SetBounds(10, 10, 100, 80);
    form.Show();
    EXPECT_EQ(form.Monitor(), Screen->MonitorFromPoint(TPoint(50, 50)));
    bool listed = false;
    for (int i = 0; i < Screen->FormCount(); ++i)
        listed |= Screen->Forms(i) == &form;
    EXPECT_TRUE(listed);
    ::SetActiveWindow(form.Handle());
    EXPECT_TRUE(PumpUntil([&] { return Screen->ActiveForm() == &form; }));

    EXPECT_EQ(Screen->Cursors(crHandPoint), ::LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(Screen->Cursors(12345), ::LoadCursorW(nullptr, IDC_ARROW));
}

TEST(Timer, FiresFromTheLoopAndSurvivesItsHandlers)
{
    fwtest::ReportedExceptions reported;
    int ticks = 0;
    TTimer timer(nullptr);
    timer.SetInterval(20);
    timer.SetOnTimer([&](TObject* sender) {
        EXPECT_EQ(sender, &timer);
        if (++ticks == 1)
            throw std::runtime_error("tick failed");
    });
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));  // keeps ticking after the exception
    EXPECT_EQ(reported.messages, std::vector<std::string>{"tick failed"});

    timer.SetEnabled(false);
    int frozen = ticks;
    EXPECT_TRUE(fwtest::PumpTimerTicks(20, 3));
    EXPECT_EQ(ticks, frozen);
    timer.SetEnabled(true);
    timer.SetInterval(0);  // an interval of 0 stops it too
    EXPECT_FALSE(timer.Running());

    // A timer may free itself from its own handler.
    auto* self = new TTimer(nullptr);
    bool freed = false;
    self->SetInterval(10);
    self->SetOnTimer([&](TObject* sender) {
        delete static_cast<TTimer*>(sender);
        freed = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return freed; }));
    EXPECT_TRUE(fwtest::PumpTimerTicks(10, 3));  // no tick reaches the freed timer
}

TEST(HintWindow, ShowsTextInTheGivenRectangleWithoutTakingTheFocus)
{
    const long start = gdi::LiveObjectCount();
    {
        TForm owner(nullptr);
        owner.Show();
        ::SetActiveWindow(owner.Handle());
        const HWND active = ::GetActiveWindow();
        THintWindow hint(nullptr);
        // Measured on the hint's own canvas, as title-bar elements do.
        const int tw = hint.Canvas().TextWidth("Close");
        const int th = hint.Canvas().TextHeight("Close");
        ASSERT_GT(tw, 0);
        ASSERT_GT(th, 0);
        const TRect r = Bounds(100, 120, tw + 8, th + 2);
        hint.ActivateHint(r, "Close");
        ASSERT_TRUE(hint.HandleAllocated());
        EXPECT_TRUE(::IsWindowVisible(hint.Handle()));
        RECT wr{};
        ::GetWindowRect(hint.Handle(), &wr);
        EXPECT_EQ(TRect(wr.left, wr.top, wr.right, wr.bottom), r);
        EXPECT_TRUE(ExStyle(hint.Handle()) & WS_EX_TOPMOST);
        EXPECT_EQ(::GetActiveWindow(), active);
        EXPECT_EQ(::SendMessageW(hint.Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.Left + 2, r.Top + 2)), HTTRANSPARENT);
        EXPECT_TRUE(fwtest::PumpUntil([&] { return !::GetUpdateRect(hint.Handle(), nullptr, FALSE); }));  // paints

        hint.ReleaseHandle();
        EXPECT_FALSE(hint.HandleAllocated());

        TRect two = hint.CalcHintRect(300, "first line\nsecond line");
        EXPECT_GE(two.Height(), 2 * th);

        // A hint that would hang over the desktop's edge is moved back onto it.
        TRect desktop = Screen->DesktopRect();
        hint.ActivateHint(Bounds(desktop.Right - 10, 40, 60, 20), "edge");
        EXPECT_EQ(hint.BoundsRect(), Bounds(desktop.Right - 60, 40, 60, 20));
    }
    TControlCanvas::FreeDeviceContexts();
    EXPECT_EQ(gdi::LiveObjectCount(), start);
}
