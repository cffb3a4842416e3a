// Presses and releases on the title bar while other things happen: a release
// already queued behind its press, a registration still in the queue, a form
// released just before the press, and a press routed inside another press.
#include "tests/skin/frame/FrameWinSupport_win.h"

#include "skin/frame/uKsSkinNCCtrlBase.h"

#include <functional>
#include <string>
#include <vector>

using namespace ks;
using frametest::SkinFormTest;

namespace {

// A title-bar element that is hot or not as the test says (the real cursor is
// left out) and logs what it is given.
class LoggedElement : public TKsSkinNCCtrlBase {
public:
    LoggedElement(fw::TComponent* owner, std::vector<std::string>& log, bool hot = true)
        : TKsSkinNCCtrlBase(owner),
          m_log(log),
          m_hotByTest(hot)
    {}
    std::function<void()> OnDown;

    bool ElementHot() const override { return m_hotByTest; }
    void TrackMouse(fw::TPoint) override {}
    void LMouseDown() override
    {
        m_log.push_back("down");
        if (OnDown)
            OnDown();
    }
    void LMouseUp() override { m_log.push_back("up"); }

private:
    std::vector<std::string>& m_log;
    bool m_hotByTest;
};

bool Registered(TKsSkinNCCtrlBase* e)
{
    return fwtest::PumpUntil([&] { return e->Registered(); });
}

// The user's drag-full-windows setting, put back after the test.
class DragSettingKept {
public:
    DragSettingKept() { ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &m_saved, 0); }
    ~DragSettingKept() { ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, m_saved, nullptr, 0); }

private:
    BOOL m_saved = FALSE;
};

BOOL DragSetting()
{
    BOOL value = FALSE;
    ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &value, 0);
    return value;
}

}  // namespace

TEST_F(SkinFormTest, QueuedReleaseFollowsItsPressAndPendingRegistrationsStillCount)
{
    AddSkin();
    std::vector<std::string> log;
    auto* cold = new LoggedElement(form.get(), log, false);
    ASSERT_TRUE(Registered(cold));

    // Made just before the press: its registration is still queued, and so is
    // the release, as when the program is slow.
    auto* hot = new LoggedElement(form.get(), log);
    ::PostMessageW(Window(), WM_NCLBUTTONUP, HTCAPTION, ScreenPoint(100, 10));
    Send(WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(100, 10));
    EXPECT_TRUE(hot->Registered());
    ASSERT_TRUE(fwtest::PumpUntil([&] { return log.size() >= 2; }));
    EXPECT_EQ(log, (std::vector<std::string>{"down", "up"}));
}

TEST(SkinFormPressLifetime, FormReleasedJustBeforeAPressGoesAfterIt)
{
    auto* form = new fw::TForm(nullptr);
    form->SetBounds(100, 100, 330, 100);
    new TKsSkinForm(form);
    std::vector<std::string> log;
    auto* element = new LoggedElement(form, log);
    bool destroyed = false;
    form->SetOnDestroy([&](fw::TObject*) { destroyed = true; });
    ASSERT_TRUE(Registered(element));
    HWND h = form->Handle();

    form->Release();
    ::SendMessageW(h, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(200, 110));
    EXPECT_EQ(log, (std::vector<std::string>{"down"}));
    EXPECT_FALSE(destroyed);
    ASSERT_TRUE(fwtest::PumpUntil([&] { return destroyed; }));
    EXPECT_FALSE(::IsWindow(h));
}

TEST_F(SkinFormTest, PressInsideAPressLeavesTheDragSettingAsTheUserHadIt)
{
    DragSettingKept kept;
    ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    TKsSkinForm* skin = AddSkin();
    skin->Options()->SetDragFullWindows(wkDisable);
    std::vector<std::string> log;
    auto* element = new LoggedElement(form.get(), log);
    ASSERT_TRUE(Registered(element));
    element->OnDown = [&] {
        EXPECT_EQ(DragSetting(), FALSE);
        if (log.size() == 1)
            Send(WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(100, 10));
    };

    Send(WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(100, 10));
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(DragSetting(), TRUE);
    EXPECT_EQ(SavedDragFullWindows, 1);
}
