// Title-bar elements on real windows: registration, placement, hot tracking
// with real mouse moves, clicks that send system commands, the poll that sees
// the mouse leave, hints, the label's drag, and forms freed under the mouse.
#include "tests/skin/frame/FrameWinSupport_win.h"

#include "skin/frame/uKsSkinNCButton.h"
#include "skin/frame/uKsSkinNCLabel.h"

#include "framework/ExtCtrls_win.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "framework/Reader.h"
#include "tools/layoutc/LayoutText.h"

using namespace ks;

namespace {

using Clock = std::chrono::steady_clock;

fw::TPoint CursorPos()
{
    POINT p{};
    ::GetCursorPos(&p);
    return fw::TPoint(p.x, p.y);
}

// The real mouse: SetCursorPos makes the system send the window under the
// cursor its mouse move; buttons go through SendInput. Wine: a move reaches
// its X server and comes back about 100 ms later, and until then an older
// place may be reported again; so this waits until the cursor has stayed at
// its new place for 150 ms.
bool CursorTo(int x, int y)
{
    const fw::TPoint target(x, y);
    ::SetCursorPos(x, y);
    Clock::time_point since = Clock::now();
    bool there = false;
    return fwtest::PumpUntil(
        [&] {
            const bool now = CursorPos() == target;
            if (now && !there)
                since = Clock::now();
            there = now;
            return there && Clock::now() - since >= std::chrono::milliseconds(150);
        },
        2000);
}

void LeftButton(bool down)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof(in));
}

// A 330 x 100 form at (100, 100) with a controller, shown.
class NCElementsTest : public frametest::SkinFormTest {
protected:
    void SetUp() override
    {
        SkinFormTest::SetUp();
        CursorTo(5, 5);  // away from every test window
        skin = new TKsSkinForm(form.get());
    }
    void TearDown() override
    {
        CursorTo(5, 5);
        SkinFormTest::TearDown();
        ElementCursorSet = false;
    }

    void Show()
    {
        ShowAndSettle();
        fwtest::PumpFor(50);
    }

    // Window coordinates to the screen.
    fw::TPoint Screen(int x, int y)
    {
        RECT r{};
        ::GetWindowRect(Window(), &r);
        return fw::TPoint(r.left + x, r.top + y);
    }

    // Moves the cursor to a point of the window and lets the move arrive:
    // until done() holds (false after a second), or for a while.
    bool HoverAt(int x, int y, const std::function<bool()>& done = {})
    {
        const fw::TPoint p = Screen(x, y);
        if (!CursorTo(p.X, p.Y))
            return false;
        if (done)
            return fwtest::PumpUntil(done, 1000);
        fwtest::PumpFor(60);
        return true;
    }

    // Presses and releases the real left button where the cursor is. The
    // release comes from another thread, so that it also ends a move loop
    // the press may have started.
    void Click()
    {
        std::thread up([] {
            std::this_thread::sleep_for(std::chrono::milliseconds(80));
            LeftButton(false);
        });
        LeftButton(true);
        fwtest::PumpFor(40);
        up.join();
        fwtest::PumpFor(80);
    }

    // The window's pixels inside a box given in window coordinates.
    std::vector<std::uint32_t> PixelsIn(const fw::TRect& box)
    {
        const auto px = frametest::CaptureWindow(Window());
        std::vector<std::uint32_t> out;
        for (int y = std::max(box.Top, 0); y < box.Bottom; ++y)
            for (int x = std::max(box.Left, 0); x < box.Right; ++x)
                out.push_back(px.At(x, y));
        return out;
    }

    bool Registered(TKsSkinNCCtrlBase* e)
    {
        return fwtest::PumpUntil([&] { return e->Registered(); }, 1000);
    }

    TKsSkinForm* skin = nullptr;
};

}  // namespace

TEST_F(NCElementsTest, ElementsRegisterByPostedMessageInArrivalOrder)
{
    auto* close = new TKsSkinSystemButton(form.get());
    auto* label = new TKsSkinNCLabel(form.get());
    // Posted: nothing is registered before messages run.
    EXPECT_FALSE(close->Registered());
    Show();
    ASSERT_TRUE(Registered(close));
    ASSERT_TRUE(Registered(label));
    EXPECT_EQ(skin->Elements().Count(), 2);
    EXPECT_EQ(skin->Elements().Items(0), close);
    EXPECT_EQ(skin->Elements().Items(1), label);
    EXPECT_EQ(close->Controller(), skin);

    // An element freed before its registration arrives is never listed.
    auto* gone = new TKsSkinSystemButton(form.get());
    delete gone;
    fwtest::PumpFor(150);
    EXPECT_EQ(skin->Elements().Count(), 2);

    // Freed with its owner's help: it leaves the list at once.
    delete label;
    EXPECT_EQ(skin->Elements().Count(), 1);
    // Removal by message frees the element.
    const int live = TKsNCListedElement::LiveCount();
    Send(CM_SKIN_REMOVEELEMENT, ElementMessageParam(close));
    EXPECT_EQ(skin->Elements().Count(), 0);
    EXPECT_EQ(TKsNCListedElement::LiveCount(), live - 1);
    EXPECT_EQ(form->ComponentCount(), 1);
}

TEST_F(NCElementsTest, UnprocessedRegistrationIsPostedAgainByThePoll)
{
    // A form whose controller comes later: the first registration is lost.
    fw::TForm plain(nullptr);
    plain.SetBounds(500, 300, 330, 100);
    auto* close = new TKsSkinSystemButton(&plain);
    fwtest::PumpFor(50);
    EXPECT_FALSE(close->Registered());
    auto* late = new TKsSkinForm(&plain);
    const auto start = Clock::now();
    ASSERT_TRUE(fwtest::PumpUntil([&] { return close->Registered(); }, 1000));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_EQ(close->Controller(), late);
}

TEST_F(NCElementsTest, CloseButtonPlacementAndTheMaximisedShift)
{
    auto* close = new TKsSkinSystemButton(form.get());
    Show();
    ASSERT_TRUE(Registered(close));
    // The built-in close strip: three frames of 39 x 19.
    EXPECT_EQ(close->Bounds(), fw::TRect(290, -1, 329, 18));

    Send(WM_SYSCOMMAND, SC_MAXIMIZE);
    fwtest::PumpFor(100);
    const int w = form->Width();
    ASSERT_GT(w, 330);
    Send(CM_SKIN_NCREPAINT);
    EXPECT_EQ(close->Bounds(), fw::TRect(w - 39, -2, w, 17));
    Send(CM_SKIN_NCREPAINT);
    EXPECT_EQ(close->Bounds().Left, w - 39);
    EXPECT_EQ(close->StoredX(), 40);
    EXPECT_EQ(close->StoredY(), -1);

    Send(WM_SYSCOMMAND, SC_RESTORE);
    fwtest::PumpFor(100);
    ASSERT_EQ(form->Width(), 330);
    Send(CM_SKIN_NCREPAINT);
    EXPECT_EQ(close->Bounds(), fw::TRect(290, -1, 329, 18));
}

TEST_F(NCElementsTest, HoverTurnsTheCloseButtonHotAndRepaintsIt)
{
    auto* close = new TKsSkinSystemButton(form.get());
    std::vector<std::string> events;
    close->SetOnMouseEnter([&](fw::TObject* s) { events.push_back(s == close ? "enter" : "?"); });
    close->SetOnMouseLeave([&](fw::TObject*) { events.push_back("leave"); });
    Show();
    ASSERT_TRUE(Registered(close));
    const fw::TRect box(290, 0, 329, 18);
    const fw::TRect beside(250, 0, 289, 18);
    const auto normal = PixelsIn(box);
    const auto besideNormal = PixelsIn(beside);

    ASSERT_TRUE(HoverAt(310, 8, [&] { return close->Hot(); }));
    EXPECT_EQ(close->DrawingState(), bdsHot);
    // Repainted with the hot frame; the title bar beside it stays as it was.
    EXPECT_NE(PixelsIn(box), normal);
    EXPECT_EQ(PixelsIn(beside), besideNormal);

    // Along the title bar, off the button.
    ASSERT_TRUE(HoverAt(200, 8, [&] { return !close->Hot(); }));
    EXPECT_EQ(close->DrawingState(), bdsNormal);
    EXPECT_EQ(PixelsIn(box), normal);
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));
}

TEST_F(NCElementsTest, ClickSendsCloseAfterTheButtonsOwnEvents)
{
    auto* close = new TKsSkinSystemButton(form.get());
    std::vector<std::string> order;
    close->SetOnLMouseUp([&](fw::TObject*) { order.push_back("up"); });
    close->SetOnClick([&](fw::TObject*) { order.push_back("click"); });
    form->SetOnClose([&](fw::TObject*, fw::TCloseAction&) { order.push_back("close"); });
    int pressedState = -1;
    close->SetOnLMouseDown([&](fw::TObject*) {
        order.push_back("down");
        pressedState = close->DrawingState();
    });
    Show();
    ASSERT_TRUE(Registered(close));
    ASSERT_TRUE(HoverAt(310, 8, [&] { return close->Hot(); }));
    Click();
    ASSERT_TRUE(fwtest::PumpUntil([&] { return !form->Visible(); }, 1000));
    EXPECT_EQ(pressedState, bdsPressed);
    EXPECT_EQ(order, (std::vector<std::string>{"down", "up", "click", "close"}));
    EXPECT_FALSE(::IsWindowVisible(Window()));
}

TEST_F(NCElementsTest, MinimiseMaximiseAndRestoreButtons)
{
    auto* close = new TKsSkinSystemButton(form.get());
    auto* maximize = new TKsSkinSystemButton(form.get());
    auto* minimize = new TKsSkinSystemButton(form.get());
    maximize->SetKind(bkMaximize);
    minimize->SetKind(bkMinimize);
    Show();
    ASSERT_TRUE(Registered(minimize));
    // Edge to edge: minimise, maximise/restore, close.
    EXPECT_EQ(minimize->Bounds(), fw::TRect(234, -1, 262, 18));
    EXPECT_EQ(maximize->Bounds(), fw::TRect(262, -1, 290, 18));
    EXPECT_EQ(close->Bounds().Left, 290);
    EXPECT_EQ(maximize->Picture()->Image(), "KsSkinBtn_max");

    ASSERT_TRUE(HoverAt(275, 8, [&] { return maximize->Hot(); }));
    Click();
    ASSERT_TRUE(fwtest::PumpUntil([&] { return ::IsZoomed(Window()) != FALSE; }, 1000));
    Send(CM_SKIN_NCREPAINT);
    // The restore strip while maximised, same size, shifted right and up.
    EXPECT_EQ(maximize->Picture()->Image(), "KsSkinBtn_restore");
    const int w = form->Width();
    EXPECT_EQ(maximize->Bounds(), fw::TRect(w - 67, -2, w - 39, 17));

    ASSERT_TRUE(HoverAt(w - 55, 6, [&] { return maximize->Hot(); }));
    Click();
    ASSERT_TRUE(fwtest::PumpUntil([&] { return !::IsZoomed(Window()); }, 1000));
    Send(CM_SKIN_NCREPAINT);
    EXPECT_EQ(maximize->Picture()->Image(), "KsSkinBtn_max");
    EXPECT_EQ(maximize->Bounds(), fw::TRect(262, -1, 290, 18));

    ASSERT_TRUE(HoverAt(245, 8, [&] { return minimize->Hot(); }));
    Click();
    ASSERT_TRUE(fwtest::PumpUntil([&] { return ::IsIconic(Window()) != FALSE; }, 1000));
    Send(WM_SYSCOMMAND, SC_RESTORE);
    fwtest::PumpFor(50);
}

TEST_F(NCElementsTest, KindsWithoutUseDefaultKeepTheirPlace)
{
    auto* button = new TKsSkinSystemButton(form.get());
    button->Pos()->SetUseDefault(false);
    button->Pos()->SetXValue(150);
    button->SetKind(bkMinimize);
    EXPECT_EQ(button->Pos()->XValue(), 150);
    EXPECT_EQ(button->Picture()->Image(), "KsSkinBtn_mini");
    EXPECT_EQ(button->Bounds().Width(), 28);
    button->Pos()->SetUseDefault(true);
    button->SetKind(bkClose);
    EXPECT_EQ(button->Pos()->XValue(), 40);
    EXPECT_EQ(button->Bounds().Width(), 39);
    // A strip that does not resolve leaves a box of nothing.
    button->SetCloseImage("no such image");
    EXPECT_EQ(button->Bounds().Width(), 0);
}

TEST_F(NCElementsTest, DisabledButtonShowsItsDisableFrameAndSendsNothing)
{
    auto* close = new TKsSkinSystemButton(form.get());
    close->Picture()->SetDisable(2);  // the pressed look, to tell it apart
    int closes = 0;
    form->SetOnClose([&](fw::TObject*, fw::TCloseAction&) { ++closes; });
    Show();
    ASSERT_TRUE(Registered(close));
    const fw::TRect box(290, 0, 329, 18);
    const auto normal = PixelsIn(box);
    close->SetEnabled(false);
    const auto disabled = PixelsIn(box);
    EXPECT_NE(disabled, normal);
    ASSERT_TRUE(HoverAt(310, 8, [&] { return close->Hot(); }));
    EXPECT_EQ(close->DrawingState(), bdsNormal);
    EXPECT_EQ(PixelsIn(box), disabled);
    Click();
    fwtest::PumpFor(100);
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(form->Visible());
}

TEST_F(NCElementsTest, LeavingTheWindowIsNoticedByThePollWithinItsPeriod)
{
    auto* close = new TKsSkinSystemButton(form.get());
    Clock::time_point left{};
    int leaves = 0;
    close->SetOnMouseLeave([&](fw::TObject*) {
        left = Clock::now();
        ++leaves;
    });
    Show();
    ASSERT_TRUE(Registered(close));
    ASSERT_TRUE(HoverAt(310, 8, [&] { return close->Hot(); }));
    // Straight out of the window: no non-client move reaches the form. The
    // time counts from the last moment the system still reported the
    // cursor inside the window.
    RECT window{};
    ::GetWindowRect(Window(), &window);
    Clock::time_point lastInside = Clock::now();
    ::SetCursorPos(5, 5);
    fwtest::PumpUntil(
        [&] {
            const fw::TPoint c = CursorPos();
            if (c.X >= window.left && c.X < window.right && c.Y >= window.top && c.Y < window.bottom)
                lastInside = Clock::now();
            return false;
        },
        600);
    EXPECT_FALSE(close->Hot());
    ASSERT_GE(leaves, 1);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(left - lastInside).count();
    RecordProperty("PollLeaveMs", static_cast<int>(took));
    EXPECT_GE(took, 0);
    EXPECT_LE(took, 120);  // one 100 ms period and the message loop's slack
}

TEST_F(NCElementsTest, HintShowsBelowRightOfTheCursorAndGoesOnLeave)
{
    auto* close = new TKsSkinSystemButton(form.get());
    close->SetHint("Close the window");
    Show();
    ASSERT_TRUE(Registered(close));
    ASSERT_TRUE(HoverAt(310, 8, [&] { return close->Hot(); }));
    fw::THintWindow& hint = close->HintWindow();
    ASSERT_TRUE(hint.HandleAllocated());
    EXPECT_TRUE(::IsWindowVisible(hint.Handle()));
    const fw::TSize text = hint.Canvas().TextExtent(std::string("Close the window"));
    const fw::TPoint cursor = CursorPos();
    RECT r{};
    ::GetWindowRect(hint.Handle(), &r);
    EXPECT_EQ(r.left, cursor.X + 16);
    EXPECT_EQ(r.top, cursor.Y + 16);
    EXPECT_EQ(r.right - r.left, text.cx + 8);
    EXPECT_EQ(r.bottom - r.top, text.cy + 2);

    ASSERT_TRUE(HoverAt(150, 8, [&] { return !close->Hot(); }));
    EXPECT_FALSE(hint.HandleAllocated());
}

TEST_F(NCElementsTest, ButtonCursorIsKeptWhileOverTheButton)
{
    auto* close = new TKsSkinSystemButton(form.get());
    close->SetCursor(fw::crHandPoint);
    Show();
    ASSERT_TRUE(Registered(close));
    ASSERT_TRUE(HoverAt(310, 8, [&] { return close->Hot(); }));
    EXPECT_TRUE(ElementCursorSet);
    EXPECT_EQ(::GetCursor(), fw::Screen->Cursors(fw::crHandPoint));
    // The form's own cursor handling leaves it alone while the mouse moves on.
    EXPECT_TRUE(HoverAt(312, 9, [&] { return ::GetCursor() == fw::Screen->Cursors(fw::crHandPoint); }));
    ASSERT_TRUE(HoverAt(150, 8, [&] { return !close->Hot(); }));
    EXPECT_FALSE(ElementCursorSet);
}

TEST_F(NCElementsTest, InvisibleElementTracksButFiresNothingAndTakesNoPress)
{
    auto* close = new TKsSkinSystemButton(form.get());
    int events = 0;
    close->SetOnMouseEnter([&](fw::TObject*) { ++events; });
    close->SetOnMouseLeave([&](fw::TObject*) { ++events; });
    close->SetOnLMouseDown([&](fw::TObject*) { ++events; });
    Show();
    ASSERT_TRUE(Registered(close));
    close->SetVisible(false);
    ASSERT_TRUE(HoverAt(310, 8, [&] { return close->Hot(); }));
    EXPECT_FALSE(HostRouteButton(skin->Elements(), true, {}));
    ASSERT_TRUE(HoverAt(150, 8, [&] { return !close->Hot(); }));
    EXPECT_EQ(events, 0);
}

TEST_F(NCElementsTest, LabelTakesTheFormCaptionAndItsBoxFollowsTheCaption)
{
    form->SetCaption("FormMain");
    auto* label = new TKsSkinNCLabel(form.get());
    EXPECT_EQ(label->Caption(), "FormMain");
    fw::TComponent plainOwner(nullptr);
    TKsSkinNCLabel other(&plainOwner);
    EXPECT_EQ(other.Caption(), "NCLabel");

    Show();
    ASSERT_TRUE(Registered(label));
    const fw::TRect box = label->Bounds();
    EXPECT_EQ(box.TopLeft(), fw::TPoint(5, 5));
    EXPECT_GT(box.Width(), 20);
    label->SetCaption("FormMain, a longer caption than before");
    const int longer = label->Bounds().Width();
    EXPECT_GT(longer, box.Width());
    // Cut at 60 pixels, the box still spans the whole caption.
    label->SetMaxWidth(60);
    label->SetEllipsisPosition(epEndEllipsis);
    EXPECT_EQ(label->Bounds().Width(), longer);
    EXPECT_TRUE(HoverAt(5 + longer - 3, 10, [&] { return label->Hot(); }));
}

TEST_F(NCElementsTest, LabelPaintsItsCaptionPlainAlphaAndCut)
{
    auto* label = new TKsSkinNCLabel(form.get());
    label->SetCaption("Tarvel");
    label->Font()->SetColor(0x000000FF);
    Show();
    ASSERT_TRUE(Registered(label));
    const fw::TRect box = label->Bounds();
    auto redPixels = [&](const fw::TRect& area) {
        int n = 0;
        for (std::uint32_t p : PixelsIn(area))
            n += ((p >> 16) & 0xFF) > 160 && (p & 0xFF) < 100 && ((p >> 8) & 0xFF) < 100;
        return n;
    };
    const int plain = redPixels(box);
    EXPECT_GT(plain, 10);
    label->SetRenderText(true);
    label->SetCaption("Tarvel");  // repaint
    EXPECT_GT(redPixels(box), 10);
    // Cut at 12 pixels without an ellipsis: nothing red right of it.
    label->SetMaxWidth(12);
    label->SetCaption("Tarvel");
    EXPECT_EQ(redPixels(fw::TRect(box.Left + 13, box.Top, box.Right, box.Bottom)), 0);
    EXPECT_GT(redPixels(fw::TRect(box.Left, box.Top, box.Left + 12, box.Bottom)), 0);
}

TEST_F(NCElementsTest, PressingTheLabelMovesTheWindow)
{
    auto* label = new TKsSkinNCLabel(form.get());
    label->SetCaption("Drag me");
    fw::TRect atPress;
    int downs = 0;
    label->SetOnLMouseDown([&](fw::TObject*) {
        ++downs;
        atPress = form->BoundsRect();
    });
    Show();
    ASSERT_TRUE(Registered(label));
    const fw::TRect before = form->BoundsRect();
    ASSERT_TRUE(HoverAt(10, 10, [&] { return label->Hot(); }));
    const fw::TPoint start = CursorPos();
    // The move loop runs inside the press; the mouse moves and comes up
    // from another thread meanwhile.
    std::thread mover([start] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        for (int i = 1; i <= 8; ++i) {
            ::SetCursorPos(start.X + i * 5, start.Y + i * 4);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        LeftButton(false);
    });
    LeftButton(true);
    const bool moved = fwtest::PumpUntil([&] { return downs > 0; }, 3000);
    mover.join();
    fwtest::PumpFor(50);
    ASSERT_TRUE(moved);
    EXPECT_EQ(form->Left(), before.Left + 40);
    EXPECT_EQ(form->Top(), before.Top + 32);
    // OnLMouseDown runs after the move loop ended.
    EXPECT_EQ(atPress, form->BoundsRect());
}

TEST_F(NCElementsTest, LabelWithoutCaptureMouseDoesNotMoveTheWindow)
{
    auto* label = new TKsSkinNCLabel(form.get());
    label->SetCaption("Hold me");
    label->SetCaptureMouse(false);
    int downs = 0;
    label->SetOnLMouseDown([&](fw::TObject*) { ++downs; });
    Show();
    ASSERT_TRUE(Registered(label));
    const fw::TRect before = form->BoundsRect();
    ASSERT_TRUE(HoverAt(10, 10, [&] { return label->Hot(); }));
    Click();
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(form->BoundsRect(), before);
}

TEST(NCElementsLifetime, FormFreedWhileTheMouseIsOverItsElements)
{
    ::SetCursorPos(5, 5);
    const int live = TKsNCListedElement::LiveCount();
    for (int round = 0; round < 3; ++round) {
        auto* form = new fw::TForm(nullptr);
        form->SetBounds(200, 200, 330, 100);
        auto* skin = new TKsSkinForm(form);
        auto* close = new TKsSkinSystemButton(form);
        close->SetHint("Close");
        new TKsSkinNCLabel(form);
        form->Show();
        ASSERT_TRUE(fwtest::PumpUntil([&] { return skin->Elements().Count() == 2; }, 1000));
        RECT r{};
        ::GetWindowRect(form->Handle(), &r);
        ::SetCursorPos(r.left + 310, r.top + 8);
        fwtest::PumpFor(40);
        ASSERT_TRUE(close->Hot());
        ASSERT_TRUE(::IsWindowVisible(close->HintWindow().Handle()));
        if (round == 1) {
            // Released from inside the poll's own leave event.
            close->SetOnMouseLeave([form](fw::TObject*) { form->Release(); });
            ::SetCursorPos(5, 5);
            ASSERT_TRUE(fwtest::PumpUntil([&] { return TKsNCListedElement::LiveCount() == live; }, 1000));
        } else {
            // Its registration is still queued when the form goes.
            new TKsSkinNCButton(form);
            delete form;
        }
        // Polls, queued registrations and repaint requests find nothing.
        fwtest::PumpFor(250);
        EXPECT_EQ(TKsNCListedElement::LiveCount(), live);
        ::SetCursorPos(5, 5);
        fwtest::PumpFor(20);
    }
}

TEST(NCElementsLayout, LauncherElementsFromAStoredLayout)
{
    const char* text = R"(object FormProbe: TForm
  Left = 100
  Top = 100
  Width = 330
  Height = 100
  Caption = 'FormProbe'
  object KsSkinForm1: TKsSkinForm
    TitlerColor = 15592956
  end
  object KsSkinSystemButton1: TKsSkinSystemButton
    Pos.Align = caRight
    Pos.XValue = 40
    Pos.YValue = -1
    Pos.UseDefault = True
    Picture.Active = True
    Picture.Image = 'KsSkinBtn_close'
    Picture.Normal = 0
    Picture.Hot = 1
    Picture.Disable = 0
    Picture.Count = 3
    Picture.Pressed = 2
    CloseImage = 'KsSkinBtn_close'
    MinimizeImage = 'KsSkinBtn_mini'
    MaximizeImage = 'KsSkinBtn_max'
    RestoresizeImage = 'KsSkinBtn_restore'
    Left = 264
    Top = 16
  end
  object KsSkinNCLabel1: TKsSkinNCLabel
    Pos.Align = caLeft
    Pos.XValue = 5
    Pos.YValue = 5
    Pos.UseDefault = False
    Caption = 'Tarvel'#24037#31243#31649#29702#26381#21153#24179#21488
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = []
    Left = 16
    Top = 8
  end
end
)";
    const std::vector<std::uint8_t> stream = fw::layout::CompileLayout(text, "probe.layout");
    fw::TForm form(nullptr);
    fw::ReadComponentStream(stream, form);
    ASSERT_EQ(form.ComponentCount(), 3);
    auto* close = dynamic_cast<TKsSkinSystemButton*>(form.Components(1));
    auto* label = dynamic_cast<TKsSkinNCLabel*>(form.Components(2));
    ASSERT_NE(close, nullptr);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(close->Kind(), bkClose);
    EXPECT_EQ(close->Pos()->Align(), caRight);
    EXPECT_EQ(close->Pos()->XValue(), 40);
    EXPECT_EQ(close->Pos()->YValue(), -1);
    EXPECT_TRUE(close->Pos()->UseDefault());
    EXPECT_EQ(close->Picture()->Image(), "KsSkinBtn_close");
    EXPECT_EQ(close->Bounds(), fw::TRect(290, -1, 329, 18));
    EXPECT_EQ(close->DesignLeft(), 264);
    EXPECT_EQ(label->Caption(), "Tarvel\xE5\xB7\xA5\xE7\xA8\x8B\xE7\xAE\xA1\xE7\x90\x86\xE6\x9C\x8D\xE5\x8A\xA1\xE5\xB9\xB3\xE5\x8F\xB0");
    EXPECT_EQ(label->Pos()->XValue(), 5);
    EXPECT_EQ(label->DesignTop(), 8);
    EXPECT_TRUE(label->CaptureMouse());
    EXPECT_TRUE(label->Light()->Active());
}
