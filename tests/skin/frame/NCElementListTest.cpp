// The element list and the elements' lifetime: whichever of an element and its
// list goes first, the other never touches it afterwards (run under ASan), a
// posted registration of a freed element is recognised, and walks over the
// list survive elements freed or added while they run.
#include "skin/frame/NCElementList.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace ks;

namespace {

class Element : public TKsNCListedElement {
public:
    bool Visible = true;
    bool Hot = false;
    ~Element() override { Retire(); }
    bool ElementVisible() const override { return Visible; }
    bool ElementHot() const override { return Hot; }
};

}  // namespace

TEST(NCElementList, ElementFreedFirstLeavesTheList)
{
    TKsNCElementList list;
    auto a = std::make_unique<Element>();
    auto b = std::make_unique<Element>();
    auto c = std::make_unique<Element>();
    ASSERT_TRUE(list.Add(a.get()));
    ASSERT_TRUE(list.Add(b.get()));
    ASSERT_TRUE(list.Add(c.get()));
    EXPECT_EQ(b->OwningList(), &list);

    // As a form frees its components, last first.
    c.reset();
    b.reset();
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0), a.get());
    EXPECT_EQ(list.Items(1), nullptr);
    int visited = 0;
    list.ForEach([&](TKsNCListedElement&) { ++visited; });
    EXPECT_EQ(visited, 1);
}

TEST(NCElementList, ListFreedFirstIsForgottenByItsElements)
{
    Element a;
    {
        TKsNCElementList list;
        ASSERT_TRUE(list.Add(&a));
        EXPECT_EQ(a.ListController(), nullptr);
    }
    EXPECT_EQ(a.OwningList(), nullptr);
    // A new host may take it.
    TKsNCElementList other;
    EXPECT_TRUE(other.Add(&a));
}

TEST(NCElementList, AddRefusesNullDuplicatesAndElementsOfAnotherList)
{
    TKsNCElementList first;
    TKsNCElementList second;
    Element a;
    EXPECT_FALSE(first.Add(nullptr));
    EXPECT_TRUE(first.Add(&a));
    EXPECT_FALSE(first.Add(&a));
    EXPECT_FALSE(second.Add(&a));
    EXPECT_EQ(first.Count(), 1);
    EXPECT_EQ(second.Count(), 0);

    EXPECT_FALSE(second.Remove(&a));
    EXPECT_TRUE(first.Remove(&a));
    EXPECT_EQ(a.OwningList(), nullptr);
    EXPECT_TRUE(second.Add(&a));
}

TEST(NCElementList, MessageParamNamesOnlyLiveElements)
{
    const int before = TKsNCListedElement::LiveCount();
    auto a = std::make_unique<Element>();
    const std::uintptr_t param = a->MessageParam();
    EXPECT_EQ(TKsNCListedElement::FromMessageParam(param), a.get());
    EXPECT_EQ(TKsNCListedElement::LiveCount(), before + 1);

    // Freed before its posted registration arrives.
    a.reset();
    EXPECT_EQ(TKsNCListedElement::FromMessageParam(param), nullptr);
    EXPECT_EQ(TKsNCListedElement::FromMessageParam(0), nullptr);
    EXPECT_EQ(TKsNCListedElement::LiveCount(), before);
}

TEST(NCElementList, WalkSkipsElementsFreedByAnEarlierVisit)
{
    TKsNCElementList list;
    std::vector<std::unique_ptr<Element>> elements;
    for (int i = 0; i < 4; ++i) {
        elements.push_back(std::make_unique<Element>());
        list.Add(elements.back().get());
    }
    Element late;
    std::vector<TKsNCListedElement*> seen;
    list.ForEach([&](TKsNCListedElement& e) {
        seen.push_back(&e);
        if (&e == elements[0].get()) {
            elements[2].reset();  // freed by something the visit set off
            list.Add(&late);      // arrives meanwhile: not visited this time
        }
    });
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], elements[0].get());
    EXPECT_EQ(seen[1], elements[1].get());
    EXPECT_EQ(seen[2], elements[3].get());
    EXPECT_EQ(list.Count(), 4);
}

TEST(NCElementList, RoutingFindsTheFirstVisibleHotElementAcrossPumpedChanges)
{
    TKsNCElementList list;
    auto hidden = std::make_unique<Element>();
    auto cold = std::make_unique<Element>();
    auto hot = std::make_unique<Element>();
    auto hotToo = std::make_unique<Element>();
    hidden->Visible = false;
    hidden->Hot = true;
    hot->Hot = true;
    hotToo->Hot = true;
    for (Element* e : {hidden.get(), cold.get(), hot.get(), hotToo.get()})
        list.Add(e);
    EXPECT_EQ(list.FirstVisibleHot(), hot.get());

    // Pending messages free the element that would have taken the click.
    int pumps = 0;
    EXPECT_EQ(list.FirstVisibleHot([&] {
        if (++pumps == 2)
            hot.reset();
    }),
              hotToo.get());

    // ...or empty the list altogether.
    EXPECT_EQ(list.FirstVisibleHot([&] {
        hidden.reset();
        cold.reset();
        hotToo.reset();
    }),
              nullptr);
    EXPECT_EQ(list.Count(), 0);
}

TEST(NCElementList, RoutingStopsWhenPendingMessagesFreeTheListWithItsHost)
{
    auto list = std::make_unique<TKsNCElementList>();
    Element cold;
    Element hot;
    hot.Hot = true;
    list->Add(&cold);
    list->Add(&hot);
    const TKsNCElementList* walked = list.get();
    // The form, and its controller with the list, is freed by a pending
    // message: the walk ends without touching the list again (ASan).
    EXPECT_EQ(walked->FirstVisibleHot([&] { list.reset(); }), nullptr);
    EXPECT_EQ(hot.OwningList(), nullptr);
}
