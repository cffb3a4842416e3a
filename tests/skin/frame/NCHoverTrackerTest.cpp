// Hot tracking of a title-bar element with input the test controls: the box's
// edges, the order of move, enter and leave, the poll's leave (out of the
// window, or straight into the client area), an unreadable cursor, and an
// element freed by its own handler.
#include "skin/frame/NCHoverTracker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ks;

namespace {

constexpr TKsWindowId kForm = 7;
constexpr TKsWindowId kOther = 9;

// A cursor and windows the test moves.
class FakeInput : public IKsFrameInput {
public:
    bool CursorPos(fw::TPoint& at) override
    {
        at = cursor;
        return readable;
    }
    TKsWindowId WindowAt(fw::TPoint) override { return window; }

    fw::TPoint cursor;
    TKsWindowId window = kForm;
    bool readable = true;
};

// The close button's box on a 330 x 100 form at (100, 100).
class Element : public NCHoverTracker {
public:
    explicit Element(std::vector<std::string>& log) : m_log(log) {}
    ~Element() override { EndLife(); }
    std::function<void()> onLeave;
    std::function<void()> onMove;

protected:
    TKsWindowId HoverWindow() const override { return kForm; }
    fw::TPoint HoverPoint(fw::TPoint screen) override { return fw::TPoint(screen.X - 100, screen.Y - 100); }
    fw::TRect HoverBox() override { return fw::TRect(290, -1, 329, 18); }
    void HoverMove() override
    {
        m_log.push_back("move");
        if (onMove)
            onMove();
    }
    void HoverEnter() override { m_log.push_back("enter"); }
    void HoverLeave() override
    {
        m_log.push_back("leave");
        if (onLeave)
            onLeave();
    }

private:
    std::vector<std::string>& m_log;
};

class NCHoverTrackerTest : public ::testing::Test {
protected:
    void SetUp() override { m_before = SetFrameInput(&input); }
    void TearDown() override { SetFrameInput(m_before); }

    // Moves the cursor to a point of the form's window.
    void At(int x, int y) { input.cursor = fw::TPoint(100 + x, 100 + y); }

    FakeInput input;
    std::vector<std::string> log;

private:
    IKsFrameInput* m_before = nullptr;
};

using Log = std::vector<std::string>;

}  // namespace

TEST_F(NCHoverTrackerTest, TrackEntersInsideTheBoxAndLeavesOutside)
{
    Element e(log);
    At(289, 8);  // one left of the box
    e.Track();
    EXPECT_FALSE(e.Hot());
    At(290, -1);  // left and top edges are inside
    e.Track();
    EXPECT_TRUE(e.Hot());
    At(328, 17);
    e.Track();
    At(329, 17);  // right edge is outside
    e.Track();
    EXPECT_FALSE(e.Hot());
    At(300, 18);  // bottom edge too
    e.Track();
    EXPECT_EQ(log, (Log{"move", "enter", "move", "leave"}));
}

TEST_F(NCHoverTrackerTest, PollLeavesWhenTheCursorIsOutsideTheBoxOrOverAnotherWindow)
{
    Element e(log);
    At(310, 8);
    e.Track();
    ASSERT_TRUE(e.Hot());
    e.Poll();  // still over the box: nothing
    EXPECT_TRUE(e.Hot());

    // Straight down into the client area of the same window.
    At(310, 50);
    e.Poll();
    EXPECT_FALSE(e.Hot());

    // Out of the window over another one, with the point still in the box's
    // coordinates of the form (a window in front of the title bar).
    At(310, 8);
    e.Track();
    input.window = kOther;
    e.Poll();
    EXPECT_FALSE(e.Hot());
    EXPECT_EQ(log, (Log{"move", "enter", "leave", "move", "enter", "leave"}));

    // The poll never enters.
    input.window = kForm;
    e.Poll();
    EXPECT_FALSE(e.Hot());
}

TEST_F(NCHoverTrackerTest, UnreadableCursorChangesNothing)
{
    Element e(log);
    At(310, 8);
    e.Track();
    input.readable = false;
    At(10, 50);
    e.Track();
    e.Poll();
    EXPECT_TRUE(e.Hot());
    EXPECT_EQ(log, (Log{"move", "enter"}));
}

TEST_F(NCHoverTrackerTest, ElementFreedByItsOwnHandlerIsNotTouchedAgain)
{
    auto* e = new Element(log);
    e->onMove = [&] { delete e; };
    At(310, 8);
    e->Track();  // freed inside the move: no enter
    EXPECT_EQ(log, (Log{"move"}));

    log.clear();
    e = new Element(log);
    At(310, 8);
    e->Track();
    e->onLeave = [&] { delete e; };
    At(10, 50);
    e->Poll();
    EXPECT_EQ(log, (Log{"move", "enter", "leave"}));
}
