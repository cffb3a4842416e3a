// Title-bar elements on real windows. Most tests drive the cursor through
// the frame's input seam and send the form its non-client mouse messages, so
// that hot tracking, clicks, the poll, hints and cursors give one answer on a
// loaded machine; a few move the real mouse to test the wiring.
#include "tests/skin/frame/FrameWinSupport_win.h"

#include "skin/frame/FrameInput.h"
#include "skin/frame/uKsSkinNCButton.h"
#include "skin/frame/uKsSkinNCLabel.h"

#include "framework/ExtCtrls_win.h"

#include <functional>
#include <string>
#include <vector>

#include "framework/Reader.h"
#include "tools/layoutc/LayoutText.h"

using namespace ks;

namespace {

using Log = std::vector<std::string>;

// The cursor where a test puts it; the window under it is the form's
// wherever the form's window rectangle holds it.
class ScriptedInput : public IKsFrameInput {
public:
    bool CursorPos(fw::TPoint& at) override
    {
        at = cursor;
        return true;
    }
    TKsWindowId WindowAt(fw::TPoint at) override
    {
        for (HWND w : windows) {
            RECT r{};
            if (::IsWindow(w) && ::GetWindowRect(w, &r) && ::PtInRect(&r, POINT{at.X, at.Y}))
                return reinterpret_cast<TKsWindowId>(w);
        }
        return 0;
    }

    fw::TPoint cursor{5, 5};
    std::vector<HWND> windows;
};

// Installs input for as long as it lives.
class InputScope {
public:
    explicit InputScope(IKsFrameInput& input) : m_before(SetFrameInput(&input)) {}
    ~InputScope() { SetFrameInput(m_before); }
    InputScope(const InputScope&) = delete;
    InputScope& operator=(const InputScope&) = delete;

private:
    IKsFrameInput* m_before;
};

// A 330 x 100 form at (100, 100) with a controller. Handlers log into
// events, which outlives the form.
class NCElementsTest : public frametest::SkinFormTest {
protected:
    void SetUp() override
    {
        SkinFormTest::SetUp();
        skin = new TKsSkinForm(form.get());
    }

    void Show()
    {
        ShowAndSettle();
        input.windows = {Window()};
    }

    // Window coordinates to the screen.
    fw::TPoint Screen(int x, int y)
    {
        RECT r{};
        ::GetWindowRect(Window(), &r);
        return fw::TPoint(r.left + x, r.top + y);
    }

    // The cursor to a point of the window, and the non-client move the
    // system would send for it.
    void MoveTo(int x, int y)
    {
        input.cursor = Screen(x, y);
        Send(WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(input.cursor.X, input.cursor.Y));
    }

    // A press and release of the left button where the cursor is.
    void Click()
    {
        const LPARAM at = MAKELPARAM(input.cursor.X, input.cursor.Y);
        Send(WM_NCLBUTTONDOWN, HTCAPTION, at);
        Send(WM_NCLBUTTONUP, HTCAPTION, at);
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

    // Logs enter and leave of an element into events.
    void LogHover(TKsSkinNCCtrlBase* e)
    {
        e->SetOnMouseEnter([this](fw::TObject*) { events.push_back("enter"); });
        e->SetOnMouseLeave([this](fw::TObject*) { events.push_back("leave"); });
    }

    ScriptedInput input;
    InputScope inputScope{input};
    Log events;
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
    ASSERT_TRUE(close->Registered());
    ASSERT_TRUE(label->Registered());
    EXPECT_EQ(skin->Elements().Count(), 2);
    EXPECT_EQ(skin->Elements().Items(0), close);
    EXPECT_EQ(skin->Elements().Items(1), label);
    EXPECT_EQ(close->Controller(), skin);

    // An element freed before its registration arrives is never listed.
    auto* gone = new TKsSkinSystemButton(form.get());
    delete gone;
    frametest::Drain();
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
    frametest::Drain();
    EXPECT_FALSE(close->Registered());
    auto* late = new TKsSkinForm(&plain);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return close->Registered(); }, 5000));
    EXPECT_EQ(close->Controller(), late);
}

TEST_F(NCElementsTest, CloseButtonPlacementAndTheMaximisedShift)
{
    auto* close = new TKsSkinSystemButton(form.get());
    Show();
    // The built-in close strip: three frames of 39 x 19.
    EXPECT_EQ(close->Bounds(), fw::TRect(290, -1, 329, 18));

    Send(WM_SYSCOMMAND, SC_MAXIMIZE);
    const int w = form->Width();
    ASSERT_GT(w, 330);
    Send(CM_SKIN_NCREPAINT);
    EXPECT_EQ(close->Bounds(), fw::TRect(w - 39, -2, w, 17));
    Send(CM_SKIN_NCREPAINT);
    EXPECT_EQ(close->Bounds().Left, w - 39);
    EXPECT_EQ(close->StoredX(), 40);
    EXPECT_EQ(close->StoredY(), -1);

    Send(WM_SYSCOMMAND, SC_RESTORE);
    ASSERT_EQ(form->Width(), 330);
    Send(CM_SKIN_NCREPAINT);
    EXPECT_EQ(close->Bounds(), fw::TRect(290, -1, 329, 18));
}

TEST_F(NCElementsTest, HoverTurnsTheCloseButtonHotAndRepaintsIt)
{
    auto* close = new TKsSkinSystemButton(form.get());
    LogHover(close);
    Show();
    const fw::TRect box(290, 0, 329, 18);
    const fw::TRect beside(250, 0, 289, 18);
    const auto normal = PixelsIn(box);
    const auto besideNormal = PixelsIn(beside);

    MoveTo(310, 8);
    EXPECT_TRUE(close->Hot());
    EXPECT_EQ(close->DrawingState(), bdsHot);
    // Repainted with the hot frame; the title bar beside it stays as it was.
    EXPECT_NE(PixelsIn(box), normal);
    EXPECT_EQ(PixelsIn(beside), besideNormal);

    // Along the title bar, off the button.
    MoveTo(200, 8);
    EXPECT_FALSE(close->Hot());
    EXPECT_EQ(close->DrawingState(), bdsNormal);
    EXPECT_EQ(PixelsIn(box), normal);
    EXPECT_EQ(events, (Log{"enter", "leave"}));
}

TEST_F(NCElementsTest, ClickSendsCloseAfterTheButtonsOwnEvents)
{
    auto* close = new TKsSkinSystemButton(form.get());
    close->SetOnLMouseDown(
        [this, close](fw::TObject*) { events.push_back("down " + std::to_string(close->DrawingState())); });
    close->SetOnLMouseUp([this](fw::TObject*) { events.push_back("up"); });
    close->SetOnClick([this](fw::TObject*) { events.push_back("click"); });
    form->SetOnClose([this](fw::TObject*, fw::TCloseAction&) { events.push_back("close"); });
    Show();
    MoveTo(310, 8);
    Click();
    EXPECT_EQ(events, (Log{"down 2", "up", "click", "close"}));
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
    // Edge to edge: minimise, maximise/restore, close.
    EXPECT_EQ(minimize->Bounds(), fw::TRect(234, -1, 262, 18));
    EXPECT_EQ(maximize->Bounds(), fw::TRect(262, -1, 290, 18));
    EXPECT_EQ(close->Bounds().Left, 290);
    EXPECT_EQ(maximize->Picture()->Image(), "KsSkinBtn_max");

    MoveTo(275, 8);
    Click();
    ASSERT_TRUE(::IsZoomed(Window()));
    Send(CM_SKIN_NCREPAINT);
    // The restore strip while maximised, same size, shifted right and up.
    EXPECT_EQ(maximize->Picture()->Image(), "KsSkinBtn_restore");
    const int w = form->Width();
    EXPECT_EQ(maximize->Bounds(), fw::TRect(w - 67, -2, w - 39, 17));

    MoveTo(w - 55, 6);
    Click();
    ASSERT_FALSE(::IsZoomed(Window()));
    Send(CM_SKIN_NCREPAINT);
    EXPECT_EQ(maximize->Picture()->Image(), "KsSkinBtn_max");
    EXPECT_EQ(maximize->Bounds(), fw::TRect(262, -1, 290, 18));

    MoveTo(245, 8);
    Click();
    EXPECT_TRUE(::IsIconic(Window()));
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
    form->SetOnClose([this](fw::TObject*, fw::TCloseAction&) { events.push_back("close"); });
    Show();
    const fw::TRect box(290, 0, 329, 18);
    const auto normal = PixelsIn(box);
    close->SetEnabled(false);
    const auto disabled = PixelsIn(box);
    EXPECT_NE(disabled, normal);
    MoveTo(310, 8);
    EXPECT_TRUE(close->Hot());
    EXPECT_EQ(close->DrawingState(), bdsNormal);
    EXPECT_EQ(PixelsIn(box), disabled);
    Click();
    frametest::Drain();
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(form->Visible());
}

TEST_F(NCElementsTest, ThePollNoticesTheCursorLeavingWithoutANonClientMove)
{
    auto* close = new TKsSkinSystemButton(form.get());
    LogHover(close);
    Show();
    // Out of the window: no non-client move reaches the form.
    MoveTo(310, 8);
    input.cursor = fw::TPoint(5, 5);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return !close->Hot(); }, 5000));

    // Straight down into the client area of the same window.
    MoveTo(310, 8);
    input.cursor = Screen(310, 60);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return !close->Hot(); }, 5000));
    EXPECT_EQ(close->DrawingState(), bdsNormal);
    EXPECT_EQ(events, (Log{"enter", "leave", "enter", "leave"}));
}

TEST_F(NCElementsTest, HintShowsBelowRightOfTheCursorAndGoesOnLeave)
{
    auto* close = new TKsSkinSystemButton(form.get());
    close->SetHint("Close the window");
    Show();
    MoveTo(310, 8);
    fw::THintWindow& hint = close->HintWindow();
    ASSERT_TRUE(hint.HandleAllocated());
    EXPECT_TRUE(::IsWindowVisible(hint.Handle()));
    const fw::TSize text = hint.Canvas().TextExtent(std::string("Close the window"));
    RECT r{};
    ::GetWindowRect(hint.Handle(), &r);
    EXPECT_EQ(r.left, input.cursor.X + 16);
    EXPECT_EQ(r.top, input.cursor.Y + 16);
    EXPECT_EQ(r.right - r.left, text.cx + 8);
    EXPECT_EQ(r.bottom - r.top, text.cy + 2);

    MoveTo(150, 8);
    EXPECT_FALSE(hint.HandleAllocated());
}

TEST_F(NCElementsTest, ButtonCursorIsKeptWhileOverTheButton)
{
    auto* close = new TKsSkinSystemButton(form.get());
    close->SetCursor(fw::crHandPoint);
    Show();
    const HCURSOR hand = fw::Screen->Cursors(fw::crHandPoint);
    MoveTo(310, 8);
    EXPECT_TRUE(ElementCursorSet);
    EXPECT_EQ(::GetCursor(), hand);
    // The form's own cursor handling leaves it alone while the mouse moves on.
    MoveTo(312, 9);
    EXPECT_EQ(Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(Window()), MAKELPARAM(HTCAPTION, WM_MOUSEMOVE)), 1);
    EXPECT_EQ(::GetCursor(), hand);
    MoveTo(150, 8);
    EXPECT_FALSE(ElementCursorSet);
}

TEST_F(NCElementsTest, HotButtonHiddenOrDisabledGivesTheCursorBack)
{
    auto* hides = new TKsSkinNCButton(form.get());
    auto* disables = new TKsSkinNCButton(form.get());
    for (auto* b : {hides, disables}) {
        b->Picture()->SetImage("KsSkinBtn_close");
        b->SetCursor(fw::crHandPoint);
    }
    hides->Pos()->SetXValue(100);
    disables->Pos()->SetXValue(200);
    hides->SetOnClick([hides](fw::TObject*) { hides->SetVisible(false); });
    Show();
    const HCURSOR sizing = ::LoadCursorW(nullptr, IDC_SIZEWE);
    auto sizingCursorShows = [&] {
        Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(Window()), MAKELPARAM(HTLEFT, WM_MOUSEMOVE));
        return ::GetCursor() == sizing;
    };

    // Hidden by its own click handler, with the mouse still over it.
    MoveTo(110, 8);
    ASSERT_TRUE(ElementCursorSet);
    Click();
    EXPECT_FALSE(hides->Visible());
    EXPECT_FALSE(ElementCursorSet);
    EXPECT_TRUE(sizingCursorShows());

    // Disabled while hot.
    MoveTo(210, 8);
    ASSERT_TRUE(ElementCursorSet);
    disables->SetEnabled(false);
    EXPECT_FALSE(ElementCursorSet);
    EXPECT_TRUE(sizingCursorShows());
}

TEST_F(NCElementsTest, InvisibleElementTracksButFiresNothingAndTakesNoPress)
{
    auto* close = new TKsSkinSystemButton(form.get());
    LogHover(close);
    close->SetOnLMouseDown([this](fw::TObject*) { events.push_back("down"); });
    Show();
    close->SetVisible(false);
    MoveTo(310, 8);
    EXPECT_TRUE(close->Hot());
    EXPECT_FALSE(HostRouteButton(skin->Elements(), true, {}));
    MoveTo(150, 8);
    EXPECT_FALSE(close->Hot());
    EXPECT_TRUE(events.empty());
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
    MoveTo(5 + longer - 3, 10);
    EXPECT_TRUE(label->Hot());
}

TEST_F(NCElementsTest, LabelPaintsItsCaptionPlainAlphaAndCut)
{
    auto* label = new TKsSkinNCLabel(form.get());
    label->SetCaption("Tarvel");
    label->Font()->SetColor(0x000000FF);
    Show();
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

TEST_F(NCElementsTest, LabelWithoutCaptureMouseDoesNotMoveTheWindow)
{
    auto* label = new TKsSkinNCLabel(form.get());
    label->SetCaption("Hold me");
    label->SetCaptureMouse(false);
    label->SetOnLMouseDown([this](fw::TObject*) { events.push_back("down"); });
    Show();
    const fw::TRect before = form->BoundsRect();
    MoveTo(10, 10);
    Click();
    EXPECT_EQ(events, (Log{"down"}));
    EXPECT_EQ(form->BoundsRect(), before);
}

TEST(NCElementsLifetime, FormFreedWhileTheMouseIsOverItsElements)
{
    ScriptedInput input;
    InputScope scope(input);
    const int live = TKsNCListedElement::LiveCount();
    for (int round = 0; round < 3; ++round) {
        auto* form = new fw::TForm(nullptr);
        form->SetBounds(200, 200, 330, 100);
        auto* skin = new TKsSkinForm(form);
        auto* close = new TKsSkinSystemButton(form);
        close->SetHint("Close");
        new TKsSkinNCLabel(form);
        form->Show();
        ASSERT_TRUE(fwtest::PumpUntil([&] { return skin->Elements().Count() == 2; }, 5000));
        input.windows = {form->Handle()};
        input.cursor = fw::TPoint(200 + 310, 200 + 8);
        ::SendMessageW(form->Handle(), WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(input.cursor.X, input.cursor.Y));
        ASSERT_TRUE(close->Hot());
        ASSERT_TRUE(::IsWindowVisible(close->HintWindow().Handle()));
        if (round == 1) {
            // Released from inside the poll's own leave event.
            close->SetOnMouseLeave([form](fw::TObject*) { form->Release(); });
            input.cursor = fw::TPoint(5, 5);
            ASSERT_TRUE(fwtest::PumpUntil([&] { return TKsNCListedElement::LiveCount() == live; }, 5000));
        } else {
            // Its registration is still queued when the form goes.
            new TKsSkinNCButton(form);
            delete form;
        }
        // Queued registrations and repaint requests find nothing.
        frametest::Drain();
        EXPECT_EQ(TKsNCListedElement::LiveCount(), live);
    }
}

// --- with the real mouse ---------------------------------------------------------------

namespace {

fw::TPoint SystemCursor()
{
    POINT p{};
    ::GetCursorPos(&p);
    return fw::TPoint(p.x, p.y);
}

void LeftButton(bool down)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof(in));
}

// The system's own input. Wine: a cursor move goes out to the X server and
// comes back as the mouse message a moment later, and until it is back an
// older place may still be reported; so a move counts as done when the
// system reports the new place and the form has had its mouse message there.
class RealMouseTest : public frametest::SkinFormTest {
protected:
    void SetUp() override
    {
        SkinFormTest::SetUp();
        skin = new TKsSkinForm(form.get());
        ::SetCursorPos(5, 5);  // away from every test window
    }

    void Show()
    {
        ShowAndSettle();
        fw::TWndMethod inner = form->WindowProc();
        form->SetWindowProc([this, inner](fw::TMessage& m) {
            if (m.Msg == WM_NCMOUSEMOVE || m.Msg == WM_MOUSEMOVE)
                ++mouseMoves;
            inner(m);
        });
    }

    // Moves the cursor to a point of the window and waits until the move
    // has arrived.
    bool CursorTo(int x, int y)
    {
        RECT r{};
        ::GetWindowRect(Window(), &r);
        const fw::TPoint target(r.left + x, r.top + y);
        const int before = mouseMoves;
        ::SetCursorPos(target.X, target.Y);
        const bool inside = ::PtInRect(&r, POINT{target.X, target.Y}) != FALSE;
        return fwtest::PumpUntil([&] { return SystemCursor() == target && (!inside || mouseMoves > before); }, 5000);
    }

    // Moves the cursor onto an element until it is hot. Wine: the cursor
    // position may lag the mouse message that announces it, and the element
    // reads the cursor when the message comes, so that move can pass unseen;
    // the cursor then moves on by a pixel and back, as a hand would.
    bool HoverUntil(int x, int y, const std::function<bool()>& hot)
    {
        for (int i = 0; i < 20 && !hot(); ++i)
            if (!CursorTo(x + i % 2, y) || fwtest::PumpUntil(hot, 250))
                break;
        return hot();
    }

    Log events;
    int mouseMoves = 0;
    TKsSkinForm* skin = nullptr;
};

// The order of hover events: enter and leave alternate, from an enter. A
// move read before the system had caught up may add a leave and an enter.
bool Alternating(const Log& log)
{
    for (std::size_t i = 0; i < log.size(); ++i)
        if (log[i] != (i % 2 == 0 ? "enter" : "leave"))
            return false;
    return true;
}

}  // namespace

TEST_F(RealMouseTest, HoverAndTheLeaveOutOfTheWindow)
{
    auto* close = new TKsSkinSystemButton(form.get());
    close->SetOnMouseEnter([this](fw::TObject*) { events.push_back("enter"); });
    close->SetOnMouseLeave([this](fw::TObject*) { events.push_back("leave"); });
    Show();
    ASSERT_TRUE(HoverUntil(310, 8, [&] { return close->Hot(); }));
    EXPECT_EQ(close->DrawingState(), bdsHot);
    ASSERT_TRUE(CursorTo(200, 8));
    ASSERT_TRUE(fwtest::PumpUntil([&] { return !close->Hot(); }, 5000));

    // Straight out of the window: the poll sees it.
    ASSERT_TRUE(HoverUntil(310, 8, [&] { return close->Hot(); }));
    ::SetCursorPos(5, 5);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return !close->Hot(); }, 5000));
    EXPECT_EQ(close->DrawingState(), bdsNormal);
    EXPECT_TRUE(Alternating(events));
    EXPECT_GE(events.size(), 4u);
    EXPECT_EQ(events.back(), "leave");
}

TEST_F(RealMouseTest, ClickOnCloseClosesTheForm)
{
    auto* close = new TKsSkinSystemButton(form.get());
    close->SetOnLMouseDown([this](fw::TObject*) { events.push_back("down"); });
    close->SetOnClick([this](fw::TObject*) { events.push_back("click"); });
    Show();
    ASSERT_TRUE(HoverUntil(310, 8, [&] { return close->Hot(); }));
    LeftButton(true);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return !events.empty(); }, 5000));
    LeftButton(false);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return !form->Visible(); }, 5000));
    EXPECT_EQ(events, (Log{"down", "click"}));
}

namespace {

// Finishes a drag from inside the system's move loop, which dispatches
// timers: once the loop holds the capture, the cursor goes to the target and
// the button comes up, both queued behind each other, so the loop sees the
// move before the release.
HWND g_dragWindow = nullptr;
fw::TPoint g_dragTarget;

void CALLBACK FinishDrag(HWND, UINT, UINT_PTR id, DWORD)
{
    if (::GetCapture() != g_dragWindow)
        return;  // not in the loop yet
    ::KillTimer(nullptr, id);
    ::SetCursorPos(g_dragTarget.X, g_dragTarget.Y);
    LeftButton(false);
}

}  // namespace

TEST_F(RealMouseTest, PressingTheLabelMovesTheWindow)
{
    auto* label = new TKsSkinNCLabel(form.get());
    label->SetCaption("Drag me");
    label->SetOnLMouseDown([this](fw::TObject*) {
        RECT r{};
        ::GetWindowRect(Window(), &r);
        events.push_back("down at " + std::to_string(r.left) + "," + std::to_string(r.top));
    });
    Show();
    const fw::TRect before = form->BoundsRect();
    ASSERT_TRUE(HoverUntil(10, 10, [&] { return label->Hot(); }));
    const fw::TPoint start = SystemCursor();
    g_dragWindow = Window();
    g_dragTarget = fw::TPoint(start.X + 40, start.Y + 32);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 1, FinishDrag);
    LeftButton(true);
    const bool down = fwtest::PumpUntil([&] { return !events.empty(); }, 10000);
    ::KillTimer(nullptr, timer);
    ASSERT_TRUE(down);
    EXPECT_EQ(form->Left(), before.Left + 40);
    EXPECT_EQ(form->Top(), before.Top + 32);
    // OnLMouseDown runs after the move loop ended.
    EXPECT_EQ(events, (Log{"down at " + std::to_string(before.Left + 40) + "," + std::to_string(before.Top + 32)}));
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
    EXPECT_EQ(label->Caption(),
              "Tarvel\xE5\xB7\xA5\xE7\xA8\x8B\xE7\xAE\xA1\xE7\x90\x86\xE6\x9C\x8D\xE5\x8A\xA1\xE5\xB9\xB3\xE5\x8F\xB0");
    EXPECT_EQ(label->Pos()->XValue(), 5);
    EXPECT_EQ(label->DesignTop(), 8);
    EXPECT_TRUE(label->CaptureMouse());
    EXPECT_TRUE(label->Light()->Active());
}
