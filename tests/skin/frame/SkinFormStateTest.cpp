// The controller's window state on a fake window with its own clock: the
// first show's fade, deferred frame paints, minimise and restore (also by
// code), the frame width while maximised, and the designed-maximised form.
#include "skin/frame/SkinFormState.h"
#include "skin/frame/uKsSkinHelper.h"

#include <gtest/gtest.h>

#include <map>

using namespace ks;

namespace {

// Window timers on a clock that moves only when told; a timer keeps firing
// every interval until killed, as a window timer does.
class FakeFormWindow : public ISkinFormWindow {
public:
    FormAlpha Alpha() const override { return alpha; }
    void SetAlpha(const FormAlpha& a) override { alpha = a; }
    void SetTimer(unsigned id, unsigned ms) override
    {
        timers[id] = {now + static_cast<int>(ms), static_cast<int>(ms)};
    }
    void KillTimer(unsigned id) override { timers.erase(id); }
    void RepaintFrame() override
    {
        ++repaints;
        resizingAtRepaint = state->Resizing();
    }
    void Focus() override { ++focuses; }
    void GrowHeightByOne() override { ++height; }

    // Lets ms pass, firing due timers in time order.
    void Advance(int ms)
    {
        const int end = now + ms;
        for (;;) {
            auto next = timers.end();
            for (auto it = timers.begin(); it != timers.end(); ++it)
                if (it->second.Due <= end && (next == timers.end() || it->second.Due < next->second.Due))
                    next = it;
            if (next == timers.end())
                break;
            now = next->second.Due;
            next->second.Due += next->second.Interval;
            state->TimerFired(next->first, maximized);
        }
        now = end;
    }
    bool Running(unsigned id) const { return timers.count(id) != 0; }

    struct Timer {
        int Due;
        int Interval;
    };
    SkinFormState* state = nullptr;
    FormAlpha alpha;
    std::map<unsigned, Timer> timers;
    int now = 0;
    int repaints = 0;
    bool resizingAtRepaint = false;
    int focuses = 0;
    int height = 768;
    bool maximized = false;
};

class SkinFormStateTest : public ::testing::Test {
protected:
    SkinFormStateTest() { window.state = &state; }

    void ShowForm()
    {
        state.BeforeShow();
        state.AfterShow(true, window.maximized);
    }

    FakeFormWindow window;
    SkinFormState state{window};
};

}  // namespace

TEST_F(SkinFormStateTest, FirstShowIsTransparentUntil30msLaterAndOnlyTheFirst)
{
    window.alpha = FormAlpha{true, 200};
    ShowForm();
    EXPECT_TRUE(state.FirstShowDone());
    EXPECT_EQ(window.alpha, (FormAlpha{true, 0}));
    window.Advance(29);
    EXPECT_EQ(window.alpha, (FormAlpha{true, 0}));
    window.Advance(1);
    EXPECT_EQ(window.alpha, (FormAlpha{true, 200}));
    EXPECT_FALSE(window.Running(kTimerFirstShowSettle));

    // Shown again: no second fade, and the form's alpha is left as it is now.
    window.alpha = FormAlpha{false, 255};
    ShowForm();
    EXPECT_EQ(window.alpha, (FormAlpha{false, 255}));
    window.Advance(100);
    EXPECT_EQ(window.alpha, (FormAlpha{false, 255}));

    // Not showing after the default handling: no settle timer.
    state.AfterShow(false, false);
    EXPECT_FALSE(window.Running(kTimerFirstShowSettle));
}

TEST_F(SkinFormStateTest, ResizesRepaintTheFrameOnce50msAfterTheLast)
{
    EXPECT_FALSE(state.Resizing());
    for (int i = 0; i < 5; ++i) {
        state.Resized();
        window.Advance(15);
    }
    EXPECT_EQ(window.repaints, 0);
    window.Advance(34);
    EXPECT_EQ(window.repaints, 0);
    EXPECT_TRUE(state.Resizing());
    window.Advance(1);
    EXPECT_EQ(window.repaints, 1);
    // The deferred paint sees a form that is no longer being resized.
    EXPECT_FALSE(window.resizingAtRepaint);
    EXPECT_FALSE(state.Resizing());
    window.Advance(500);
    EXPECT_EQ(window.repaints, 1);
    EXPECT_FALSE(state.TimerFired(1234, false));
}

TEST_F(SkinFormStateTest, MinimiseFadesOutOnceAndRestoreBringsTheFormsAlphaBack)
{
    ShowForm();
    window.Advance(30);
    window.alpha = FormAlpha{true, 180};
    // The command and the system's window-position pattern both minimise.
    state.EnterMinimized();
    state.PositionChanging(WindowPosInput{kSwpMinimizeShowPattern, false, true, false, false});
    EXPECT_TRUE(state.Minimized());
    EXPECT_EQ(window.alpha, (FormAlpha{true, 0}));

    state.RestoreCommand(false);
    EXPECT_FALSE(state.Minimized());
    EXPECT_EQ(window.alpha, (FormAlpha{true, 180}));
    EXPECT_EQ(window.focuses, 1);
    // Repeated restore notifications change nothing.
    window.alpha = FormAlpha{false, 255};
    state.LeaveMinimized();
    EXPECT_EQ(window.alpha, (FormAlpha{false, 255}));
    EXPECT_EQ(window.focuses, 1);

    // A form that was itself at alpha 0 comes back opaque.
    window.alpha = FormAlpha{true, 0};
    state.EnterMinimized();
    state.LeaveMinimized();
    EXPECT_EQ(window.alpha, (FormAlpha{true, 255}));
}

TEST_F(SkinFormStateTest, RestoreByCodeBringsTheFormBack)
{
    ShowForm();
    window.Advance(30);
    state.EnterMinimized();
    // Still iconic, or hidden (the application minimised): stays faded out.
    state.PositionChanged(false, true, true);
    state.PositionChanged(false, false, false);
    EXPECT_TRUE(state.Minimized());
    EXPECT_EQ(window.alpha.Value, 0);
    // ShowWindow(SW_RESTORE): no SC_RESTORE, only the position change.
    state.PositionChanged(false, false, true);
    EXPECT_FALSE(state.Minimized());
    EXPECT_EQ(window.alpha, (FormAlpha{false, 255}));

    // Restored straight to maximised likewise.
    state.EnterMinimized();
    state.PositionChanged(true, false, true);
    EXPECT_EQ(window.alpha, (FormAlpha{false, 255}));
    EXPECT_EQ(state.FramWidth(), 0);
}

TEST_F(SkinFormStateTest, FrameWidthIsZeroWhileMaximisedAndComesBack)
{
    state.SetFramWidth(-1);
    EXPECT_EQ(state.FramWidth(), 2);
    state.SetFramWidth(3);
    EXPECT_EQ(state.SavedFramWidth(), 3);
    state.MaximizeCommand();
    EXPECT_EQ(state.FramWidth(), 0);
    state.PositionChanged(true, false, true);
    EXPECT_EQ(state.FramWidth(), 0);
    // Minimised from maximised: the width stays as it was.
    state.PositionChanged(false, true, true);
    state.RestoreCommand(true);
    EXPECT_EQ(state.FramWidth(), 0);
    state.PositionChanged(false, false, true);
    EXPECT_EQ(state.FramWidth(), 3);
    EXPECT_EQ(state.SavedFramWidth(), 3);

    EXPECT_FALSE(state.FlatFrame());
    state.SetFramWidth(0);
    EXPECT_TRUE(state.FlatFrame());
}

TEST_F(SkinFormStateTest, DesignedMaximisedFormGrowsItsMissingPixelOnceOnly)
{
    state.SetDesignedMaximized(true);
    window.maximized = true;
    window.height = 767;  // the max-info rule held one pixel back
    ShowForm();
    EXPECT_FALSE(state.DesignedMaximized());
    EXPECT_EQ(state.FramWidth(), 0);
    window.Advance(30);
    EXPECT_EQ(window.height, 768);

    // Every later show of the maximised form keeps its height.
    for (int i = 0; i < 3; ++i) {
        ShowForm();
        window.Advance(30);
    }
    EXPECT_EQ(window.height, 768);
}

TEST_F(SkinFormStateTest, FormMaximisedAtRunTimeNeverGrows)
{
    ShowForm();
    window.Advance(30);
    window.maximized = true;
    for (int i = 0; i < 3; ++i) {
        ShowForm();
        window.Advance(30);
    }
    EXPECT_EQ(window.height, 768);
}
