// Windowed controls with real windows and real messages.
#include "framework/Controls_win.h"
#include "framework/Forms_win.h"
#include "tests/framework/WinTestSupport_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace fw;

namespace {

constexpr UINT kProbe = WM_APP + 7;

// A control whose creation parameters a test can change.
class TProbeControl : public TCustomControl {
public:
    explicit TProbeControl(TComponent* owner) : TCustomControl(owner) {}
    DWORD extraExStyle = 0;
    int paints = 0;
    using TWinControl::RecreateWnd;

protected:
    void CreateParams(TCreateParams& params) override
    {
        TCustomControl::CreateParams(params);
        params.ExStyle |= extraExStyle;
    }
    void Paint() override
    {
        ++paints;
        Canvas().FillRect(ClientRect());
    }
};

std::unique_ptr<TForm> NewForm()
{
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(50, 60, 300, 200);
    return form;
}

DWORD ExStyle(HWND h) { return static_cast<DWORD>(::GetWindowLongPtrW(h, GWL_EXSTYLE)); }

}  // namespace

TEST(WinControl, WindowsAreCreatedOnDemandWithTheirParents)
{
    auto form = NewForm();
    auto* child = new TProbeControl(form.get());
    child->SetParent(form.get());
    child->SetBounds(10, 20, 50, 40);
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_FALSE(child->HandleAllocated());
    EXPECT_EQ(child->Perform(kProbe), 0);  // messages to a control without a window create none
    EXPECT_FALSE(child->HandleAllocated());

    HWND h = child->Handle();
    ASSERT_TRUE(h);
    EXPECT_TRUE(form->HandleAllocated());
    EXPECT_EQ(::GetParent(h), form->Handle());
    EXPECT_EQ(TWinControl::FindControl(h), child);
    RECT r{};
    ::GetWindowRect(h, &r);
    ::MapWindowPoints(HWND_DESKTOP, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 50);
    TPoint screen = child->ClientToScreen(TPoint(1, 2));
    POINT p{1, 2};
    ::ClientToScreen(h, &p);
    EXPECT_EQ(screen, TPoint(p.x, p.y));
    EXPECT_EQ(child->ScreenToClient(screen), TPoint(1, 2));

    // Destroying the form's window takes the child's with it; both come back.
    ::DestroyWindow(form->Handle());
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_FALSE(child->HandleAllocated());
    EXPECT_TRUE(::IsWindow(child->Handle()));
}

TEST(WinControl, WindowProcSeesPerformedAndSentMessagesAndChains)
{
    auto form = NewForm();
    std::vector<std::string> log;
    TWndMethod original = form->WindowProc();
    TWndMethod first = [&, prev = original](TMessage& m) {
        if (m.Msg == kProbe)
            log.push_back("first");
        prev(m);
    };
    form->SetWindowProc(first);
    TWndMethod saved = form->WindowProc();
    form->SetWindowProc([&, prev = saved](TMessage& m) {
        if (m.Msg == kProbe) {
            log.push_back("second");
            if (m.WParam == 1) {  // consumed here
                m.Result = 42;
                return;
            }
        }
        prev(m);
    });

    EXPECT_EQ(form->Perform(kProbe, 0, 0), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"second", "first"}));
    log.clear();
    EXPECT_EQ(::SendMessageW(form->Handle(), kProbe, 1, 0), 42);
    EXPECT_EQ(log, (std::vector<std::string>{"second"}));

    // Framework notifications pass the hooks too.
    int visibleChanges = 0;
    TWndMethod beforeCounter = form->WindowProc();
    form->SetWindowProc([&, prev = beforeCounter](TMessage& m) {
        if (m.Msg == CM_VISIBLECHANGED)
            ++visibleChanges;
        prev(m);
    });
    form->Show();
    form->Hide();
    EXPECT_EQ(visibleChanges, 2);

    // Putting the saved handlers back, in reverse order, removes the hooks.
    form->SetWindowProc(beforeCounter);
    form->SetWindowProc(saved);
    form->SetWindowProc(original);
    log.clear();
    ::SendMessageW(form->Handle(), kProbe, 1, 0);
    EXPECT_TRUE(log.empty());
}

TEST(WinControl, RecreateWndKeepsPropertiesAndAppliesNewParams)
{
    auto form = NewForm();
    form->SetCaption("Form 窗口");
    auto* child = new TProbeControl(form.get());
    child->SetParent(form.get());
    child->SetBounds(5, 6, 70, 30);
    form->Show();
    ASSERT_TRUE(child->HandleAllocated());
    HWND oldChild = child->Handle();
    EXPECT_FALSE(ExStyle(oldChild) & WS_EX_CLIENTEDGE);

    child->extraExStyle = WS_EX_CLIENTEDGE;
    child->RecreateWnd();
    EXPECT_FALSE(::IsWindow(oldChild));
    EXPECT_TRUE(ExStyle(child->Handle()) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(::IsWindowVisible(child->Handle()));
    EXPECT_EQ(child->BoundsRect(), Bounds(5, 6, 70, 30));

    // The form's own re-creation brings the child back as well.
    HWND oldForm = form->Handle();
    form->SetBorderStyle(bsToolWindow);
    EXPECT_NE(form->Handle(), oldForm);
    EXPECT_TRUE(ExStyle(form->Handle()) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
    EXPECT_EQ(form->BoundsRect(), Bounds(50, 60, 300, 200));
    wchar_t text[64] = {};
    ::GetWindowTextW(form->Handle(), text, 64);
    EXPECT_STREQ(text, L"Form 窗口");
    ASSERT_TRUE(child->HandleAllocated());
    EXPECT_EQ(::GetParent(child->Handle()), form->Handle());
    EXPECT_TRUE(::IsWindowVisible(child->Handle()));
}

TEST(WinControl, BoundsAndClientSize)
{
    auto form = NewForm();
    form->SetBorderStyle(bsSizeable);
    form->SetClientWidth(200);  // before the window exists: from the frame it will get
    form->SetClientHeight(100);
    EXPECT_EQ(form->ClientWidth(), 200);
    EXPECT_EQ(form->ClientHeight(), 100);
    RECT client{};
    ::GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 100);

    form->SetClientWidth(250);
    ::GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 250);
    EXPECT_EQ(form->Left(), 50);

    // Moving the window from outside updates the properties.
    ::SetWindowPos(form->Handle(), nullptr, 70, 80, 320, 220, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(form->BoundsRect(), Bounds(70, 80, 320, 220));

    form->Constraints().SetMinWidth(150);
    form->Constraints().SetMaxHeight(180);
    EXPECT_EQ(form->Height(), 180);  // the new limit applies at once
    form->SetBounds(70, 80, 100, 100);
    EXPECT_EQ(form->Width(), 150);
    MINMAXINFO info{};
    ::SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 150);
    EXPECT_EQ(info.ptMaxTrackSize.y, 180);
}

TEST(WinControl, CaptionIsUtf8OutsideAndUtf16InTheWindow)
{
    auto form = NewForm();
    int textChanges = 0;
    TWndMethod prev = form->WindowProc();
    form->SetWindowProc([&, prev](TMessage& m) {
        if (m.Msg == CM_TEXTCHANGED)
            ++textChanges;
        prev(m);
    });
    form->SetCaption("正在努力加载中");
    wchar_t text[64] = {};
    ::GetWindowTextW(form->Handle(), text, 64);
    EXPECT_STREQ(text, L"正在努力加载中");
    ::SetWindowTextW(form->Handle(), L"Tarvel工程");
    EXPECT_EQ(form->Caption(), "Tarvel工程");
    EXPECT_EQ(textChanges, 2);
    form->SetWindowProc(prev);
}

TEST(WinControl, ExceptionsStopAtTheWindowProcedure)
{
    fwtest::ReportedExceptions reported;
    auto form = NewForm();
    TWndMethod prev = form->WindowProc();
    form->SetWindowProc([prev](TMessage& m) {
        if (m.Msg == kProbe)
            throw std::runtime_error("handler failed");
        prev(m);
    });
    EXPECT_EQ(::SendMessageW(form->Handle(), kProbe, 0, 0), 0);
    ::PostMessageW(form->Handle(), kProbe, 0, 0);
    EXPECT_TRUE(fwtest::PumpUntil([&] { return reported.messages.size() >= 2; }));
    EXPECT_EQ(reported.messages, (std::vector<std::string>{"handler failed", "handler failed"}));
    // Perform is a direct call: the caller sees the exception.
    EXPECT_THROW(form->Perform(kProbe), std::runtime_error);
    // The window keeps working.
    form->SetCaption("still here");
    wchar_t text[32] = {};
    ::GetWindowTextW(form->Handle(), text, 32);
    EXPECT_STREQ(text, L"still here");
}

TEST(WinControl, PaintGoesThroughTheCanvasAndPaintTo)
{
    auto form = NewForm();
    auto* child = new TProbeControl(form.get());
    child->SetParent(form.get());
    child->SetBounds(0, 0, 30, 20);
    child->SetColor(RGB(1, 2, 3));
    form->Show();
    child->Repaint();
    EXPECT_GT(child->paints, 0);

    // Painting a copy into a bitmap runs the same Paint step.
    TBitmap copy(30, 20);
    int before = child->paints;
    child->PaintTo(copy.Canvas().Handle(), 0, 0);
    EXPECT_EQ(child->paints, before + 1);
    EXPECT_EQ(copy.Canvas().Pixel(5, 5), static_cast<TColor>(RGB(1, 2, 3)));
}

TEST(WinControl, ParentFontAndColorFollowTheParent)
{
    auto form = NewForm();
    auto* child = new TProbeControl(form.get());
    child->SetParentColor(true);
    child->SetParent(form.get());
    EXPECT_EQ(child->Color(), form->Color());
    form->Font().SetHeight(-17);
    EXPECT_EQ(child->Font().Height(), -17);
    EXPECT_TRUE(child->ParentFont());
    child->Font().SetName("Tahoma");  // its own font from now on
    EXPECT_FALSE(child->ParentFont());
    form->Font().SetHeight(-9);
    EXPECT_EQ(child->Font().Height(), -17);
}

namespace {
// A form subclass that changes its class styles without a class name of its own.
class TOwnDCForm : public TForm {
public:
    explicit TOwnDCForm(TComponent* owner) : TForm(owner) {}

protected:
    void CreateParams(TCreateParams& params) override
    {
        TForm::CreateParams(params);
        params.WindowClass.style = CS_OWNDC | CS_DBLCLKS;
        params.Style = WS_POPUP;
    }
};
}  // namespace

TEST(WinControl, ClassStylesOfSubclassesAreKept)
{
    TForm plain(nullptr);
    TOwnDCForm own(nullptr);
    EXPECT_EQ(::GetClassLongPtrW(plain.Handle(), GCL_STYLE) & CS_OWNDC, 0);
    EXPECT_EQ(static_cast<DWORD>(::GetClassLongPtrW(own.Handle(), GCL_STYLE)),
              static_cast<DWORD>(CS_OWNDC | CS_DBLCLKS));
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrW(own.Handle(), GWL_STYLE)) & ~WS_CLIPSIBLINGS, WS_POPUP);
}

TEST(WinControl, AThousandPaintsHoldNoGdiObjects)
{
    auto form = NewForm();
    auto* child = new TProbeControl(form.get());
    child->SetParent(form.get());
    child->SetBounds(0, 0, 60, 40);
    form->Show();
    TBitmap copy(60, 40);
    auto paintAll = [&] {
        form->Repaint();
        child->Repaint();
        child->PaintTo(copy.Canvas().Handle(), 0, 0);
        (void)child->Canvas().TextWidth("measure");  // a window context outside painting
    };
    paintAll();  // brushes and fonts that live as long as the controls are made here
    TControlCanvas::FreeDeviceContexts();
    const long start = gdi::LiveObjectCount();
    const long processStart = fwtest::ProcessGdiObjectCount();
    {
        // The process count sees every object, not only the wrappers' ones.
        gdi::ScopedBrush probe(::CreateSolidBrush(RGB(1, 2, 3)));
        EXPECT_EQ(fwtest::ProcessGdiObjectCount(), processStart + 1);
    }
    for (int i = 0; i < 1000; ++i)
        paintAll();
    TControlCanvas::FreeDeviceContexts();
    EXPECT_EQ(gdi::LiveObjectCount(), start);
    EXPECT_LE(fwtest::ProcessGdiObjectCount(), processStart);  // Wine may trim its caches meanwhile
    EXPECT_GE(child->paints, 2000);
}
