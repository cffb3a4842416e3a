// Ownership, names, published fields, notifications, component state and
// collections.
#include <gtest/gtest.h>

#include "TestComponents.h"

using namespace fwtest;

namespace {

// Logs its destruction and the notifications it receives about others.
class TProbe : public TComponent {
public:
    TProbe(TComponent* owner, std::vector<std::string>& log, const char* name) : TComponent(owner), m_log(log)
    {
        SetName(name);
    }
    ~TProbe() override { m_log.push_back("~" + Name() + (IsDestroying() ? "*" : "")); }
    void Notification(TComponent* c, TOperation op) override
    {
        TComponent::Notification(c, op);
        if (c != this)
            m_log.push_back(Name() + (op == opInsert ? "+" : "-") + c->Name());
    }

private:
    std::vector<std::string>& m_log;
};

TEST(Component, OwnerFreesOwnedComponentsLastFirstWithoutSiblingNotices)
{
    std::vector<std::string> log;
    {
        TTestRoot root;
        new TProbe(&root, log, "A");
        new TProbe(&root, log, "B");
        new TProbe(&root, log, "C");
        ASSERT_EQ(root.ComponentCount(), 3);
        log.clear();
    }
    // Every owned component is marked as being destroyed (*) before the
    // first one goes; siblings are not told about each other's end.
    EXPECT_EQ(log, (std::vector<std::string>{"~C*", "~B*", "~A*"}));
}

TEST(Component, InsertAndRemoveAreAnnouncedToTheOwnersComponents)
{
    std::vector<std::string> log;
    TTestRoot root;
    new TProbe(&root, log, "A");
    auto* b = new TProbe(&root, log, "B");
    // The name is set after insertion: A heard of an unnamed B.
    EXPECT_EQ(log, (std::vector<std::string>{"A+"}));
    log.clear();
    delete b;
    EXPECT_EQ(log, (std::vector<std::string>{"~B", "A-B"}));
    EXPECT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(root.FindComponent("B"), nullptr);
}

TEST(Component, FreeNotificationReachesComponentsOfOtherOwnersBothWays)
{
    std::vector<std::string> log;
    TTestRoot form1;
    TTestRoot form2;
    auto* a = new TProbe(&form1, log, "A");
    auto* x = new TProbe(&form2, log, "X");
    a->FreeNotification(x);
    EXPECT_NE(a->ComponentState() & csFreeNotification, 0u);
    log.clear();
    delete x;
    EXPECT_EQ(log, (std::vector<std::string>{"~X", "A-X"}));
    // The link is gone: deleting A now tells nobody in form2.
    log.clear();
    delete a;
    EXPECT_EQ(log, (std::vector<std::string>{"~A"}));
}

// Checks in its destructor whether its reference was cleared in time.
class TWatcher : public TTestControl {
public:
    TWatcher(TComponent* owner, bool& cleared) : TTestControl(owner), m_cleared(cleared) {}
    ~TWatcher() override { m_cleared = Peer == nullptr; }

private:
    bool& m_cleared;
};

TEST(Component, ReferenceToSiblingIsClearedWhileTheOwnerTearsDown)
{
    // The owner frees the referenced component (created last) first and
    // removes it without telling its owner's components; the free
    // notification still clears the reference.
    bool cleared = false;
    {
        TTestRoot root;
        auto* user = new TWatcher(&root, cleared);
        auto* peer = new TTestControl(&root);
        user->SetPeer(peer);
    }
    EXPECT_TRUE(cleared);

    TTestControl outside(nullptr);
    {
        TTestRoot root;
        outside.SetPeer(new TTestControl(&root));
    }
    EXPECT_EQ(outside.Peer, nullptr);
}

TEST(Component, RemovedReferenceIsClearedThroughNotification)
{
    TTestRoot root;
    auto* peer = new TTestControl(&root);
    auto* user = new TTestControl(&root);
    TTestRoot other;
    auto* remote = new TTestControl(&other);
    user->SetPeer(remote);
    delete remote;
    EXPECT_EQ(user->Peer, nullptr);
    user->SetPeer(peer);
    delete peer;
    EXPECT_EQ(user->Peer, nullptr);
}

TEST(Component, NamesAreValidatedAndUniqueCaseInsensitively)
{
    TTestRoot root;
    auto* a = new TTestTimer(&root);
    auto* b = new TTestTimer(&root);
    a->SetName("Timer9");
    EXPECT_THROW(b->SetName("timer9"), EFrameworkError);
    EXPECT_THROW(b->SetName("9Lives"), EFrameworkError);
    EXPECT_THROW(b->SetName("With Space"), EFrameworkError);
    EXPECT_EQ(b->Name(), "");
    b->SetName("Other");
    a->SetName("TIMER9");  // renaming to itself in another case is fine
    EXPECT_EQ(root.FindComponent("timer9"), a);
    EXPECT_EQ(root.FindComponent(""), nullptr);
    try {
        b->SetName("Timer9");
        FAIL();
    } catch (const EFrameworkError& e) {
        EXPECT_STREQ(e.what(), "A component named Timer9 already exists");
    }
}

TEST(Component, PublishedFieldFollowsNameAndLifetime)
{
    TTestRoot root;
    auto* t = new TTestTimer(&root);
    EXPECT_EQ(root.Timer1, nullptr);
    t->SetName("Timer1");
    EXPECT_EQ(root.Timer1, t);
    t->SetName("TimerX");
    EXPECT_EQ(root.Timer1, nullptr);
    t->SetName("Timer1");
    delete t;
    EXPECT_EQ(root.Timer1, nullptr);
}

TEST(Component, NameOfWrongClassForFieldIsRefused)
{
    TTestRoot root;
    auto* t = new TTestTimer(&root);
    t->SetName("Keep");
    EXPECT_THROW(t->SetName("Label1"), EFrameworkError);  // Label1 is a TTestControl field
    EXPECT_EQ(t->Name(), "Keep");
    EXPECT_EQ(root.Label1, nullptr);
}

TEST(Component, ChangingOwnerMovesComponentAndItsField)
{
    TTestRoot a;
    TTestRoot b;
    auto* t = new TTestTimer(&a);
    t->SetName("Timer1");
    b.InsertComponent(t);
    EXPECT_EQ(t->Owner(), &b);
    EXPECT_EQ(a.Timer1, nullptr);
    EXPECT_EQ(b.Timer1, t);
    EXPECT_EQ(a.ComponentCount(), 0);
    EXPECT_EQ(t->ComponentIndex(), 0);
}

TEST(Component, DesigningAndDestroyingStatesReachOwnedComponents)
{
    TTestRoot root;
    auto* t = new TTestTimer(&root);
    root.SetDesigning(true);
    EXPECT_TRUE(t->IsDesigning());
    auto* late = new TTestTimer(&root);
    EXPECT_TRUE(late->IsDesigning());  // inherited on insertion
    root.Destroying();
    EXPECT_TRUE(t->IsDestroying());
    EXPECT_TRUE(late->IsDestroying());
}

TEST(Component, ComponentsIndexOutOfRangeThrows)
{
    TTestRoot root;
    EXPECT_THROW(root.Components(0), EFrameworkError);
    EXPECT_THROW(root.Components(-1), EFrameworkError);
}

TEST(Component, ClassInfoAndRegistry)
{
    TTestRoot root;
    TTestTimer timer(nullptr);
    EXPECT_EQ(timer.ClassName(), "TTestTimer");
    EXPECT_TRUE(timer.InheritsFrom(TComponent::StaticClass()));
    EXPECT_FALSE(timer.InheritsFrom(TTestControl::StaticClass()));
    EXPECT_EQ(FindClass("ttesttimer"), &TTestTimer::StaticClass());
    EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
    EXPECT_THROW(GetClass("TNoSuchClass"), EFrameworkError);
    std::unique_ptr<TComponent> made(TTestTimer::StaticClass().CreateComponent(&root));
    EXPECT_EQ(made->Owner(), &root);
    made.reset();
    EXPECT_EQ(root.ComponentCount(), 0);
    EXPECT_THROW(TTestFont::StaticClass().CreateComponent(nullptr), EFrameworkError);
}

TEST(Component, StoredOrderPutsLatePropertiesLastAndKeepsRedeclaredPlaces)
{
    auto names = [](const TClassInfo& c) {
        std::vector<std::string> out;
        for (const TPropInfo* p : c.Properties())
            out.push_back(p->Name);
        return out;
    };
    // Non-visual: its design-time Left/Top come after its own properties.
    EXPECT_EQ(names(TTestTimer::StaticClass()),
              (std::vector<std::string>{"Tag", "Enabled", "Interval", "OnTimer", "Left", "Top"}));
    // A control's own Left/Top replace the design-time ones.
    const auto control = names(TTestControl::StaticClass());
    ASSERT_GE(control.size(), 3u);
    EXPECT_EQ(control[1], "Left");
    EXPECT_EQ(std::count(control.begin(), control.end(), "Left"), 1);
    EXPECT_EQ(control.back(), "OnClick");
    EXPECT_FALSE(TTestControl::StaticClass().FindProperty("left")->Late);
}

TEST(Collection, AddDeleteMoveAssignAndUpdates)
{
    TTestControl owner(nullptr);
    TTestItems& items = *owner.Items();
    items.UpdateCalls = 0;
    items.BeginUpdate();
    for (int i = 0; i < 3; ++i)
        items.Add()->Value = i;
    items.EndUpdate();
    EXPECT_EQ(items.UpdateCalls, 1);  // one update for the whole batch
    EXPECT_EQ(items.Count(), 3);
    EXPECT_EQ(items.Item(2)->Index(), 2);
    EXPECT_EQ(items.Item(0)->GetOwner(), &items);
    EXPECT_EQ(items.GetOwner(), &owner);

    items.Move(0, 2);
    EXPECT_EQ(items.Item(0)->Value, 1);
    EXPECT_EQ(items.Item(2)->Value, 0);
    static_cast<TTestItem*>(items.Insert(1))->Value = 7;
    EXPECT_EQ(items.Item(1)->Value, 7);
    items.Delete(1);
    EXPECT_EQ(items.Count(), 3);
    EXPECT_THROW(items.Items(3), EFrameworkError);

    // An item deleted directly leaves the list.
    delete items.Item(0);
    EXPECT_EQ(items.Count(), 2);

    TTestControl copy(nullptr);
    copy.Items()->Add();
    copy.Items()->Assign(items);
    ASSERT_EQ(copy.Items()->Count(), 2);
    EXPECT_EQ(copy.Items()->Item(0)->Value, 2);
    EXPECT_EQ(copy.Items()->Item(1)->Value, 0);

    items.Clear();
    EXPECT_EQ(items.Count(), 0);
}

TEST(Persistent, AssignBetweenUnrelatedClassesThrows)
{
    TTestFont font;
    TTestBitmap bitmap;
    try {
        font.Assign(bitmap);
        FAIL();
    } catch (const EFrameworkError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TBitmap32 to a TTestFont");
    }
}

}  // namespace
