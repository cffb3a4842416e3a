// The element list of a title-bar host (the form controller, later a border
// window): the title-bar elements registered with it, in arrival order. The
// list does not own its elements.
//
// An element and its list know each other. An element that goes away takes
// itself out of its list before anything of it is freed, and a list that goes
// away tells the elements still in it. So a host never paints or routes input
// through an element that is gone: an element destroyed together with its form
// (before the controller, or after it) leaves no dangling entry behind.
//
// Elements are registered by a posted message that carries the element's
// address. By the time the message arrives the element may be gone (or never
// have been one); FromMessageParam answers only for elements alive right now.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace ks {

class TKsSkinForm;
class TKsNCElementList;
class NCButtonModel;

class TKsNCListedElement {
public:
    TKsNCListedElement();
    TKsNCListedElement(const TKsNCListedElement&) = delete;
    TKsNCListedElement& operator=(const TKsNCListedElement&) = delete;
    // Leaves its list and stops being a live element.
    virtual ~TKsNCListedElement();

    // The list this element is registered in, or null.
    TKsNCElementList* OwningList() const { return m_list; }
    // The controller of that list, or null.
    TKsSkinForm* ListController() const;
    // Leaves its list; nothing when in none.
    void LeaveList();
    // Leaves its list and stops being a live element. Element destructors
    // call it first, before they free anything a paint could touch.
    void Retire();

    // What a host asks of a listed element when it routes a click.
    virtual bool ElementVisible() const = 0;
    virtual bool ElementHot() const = 0;
    // The state of a title-bar button; null for other elements.
    virtual NCButtonModel* ButtonModel() { return nullptr; }

    // The message parameter that names this element.
    std::uintptr_t MessageParam() const { return reinterpret_cast<std::uintptr_t>(this); }
    // The live element a message parameter names, or null.
    static TKsNCListedElement* FromMessageParam(std::uintptr_t param);
    static int LiveCount();

private:
    friend class TKsNCElementList;
    TKsNCElementList* m_list = nullptr;
};

class TKsNCElementList {
public:
    explicit TKsNCElementList(TKsSkinForm* controller = nullptr) : m_controller(controller) {}
    TKsNCElementList(const TKsNCElementList&) = delete;
    TKsNCElementList& operator=(const TKsNCElementList&) = delete;
    // The elements still listed forget the list.
    ~TKsNCElementList();

    TKsSkinForm* Controller() const { return m_controller; }

    // Appends an element that is in no list; false (nothing changes) for
    // null or an element already listed here or elsewhere.
    bool Add(TKsNCListedElement* element);
    // Takes the element out, searching from the end, without freeing it;
    // false when it is not listed here.
    bool Remove(TKsNCListedElement* element);

    int Count() const { return static_cast<int>(m_items.size()); }
    // Null outside 0 .. Count - 1.
    TKsNCListedElement* Items(int index) const;
    int IndexOf(const TKsNCListedElement* element) const;
    bool Contains(const TKsNCListedElement* element) const { return IndexOf(element) >= 0; }

    // Calls visit for every element in list order. Elements added meanwhile
    // are not visited; an element that leaves the list meanwhile (freed by
    // something visit set off) is skipped.
    void ForEach(const std::function<void(TKsNCListedElement&)>& visit) const;

    // The first element that is visible and hot, in list order. pump runs
    // before each element is looked at (the host lets pending messages run,
    // which may add or remove elements, or free the list with its host); an
    // index past the end after it is skipped, and a list freed meanwhile
    // ends the walk with null without being touched again.
    TKsNCListedElement* FirstVisibleHot(const std::function<void()>& pump = {}) const;

    // Expires when the list is freed: whoever runs something that may free
    // the list's host checks this before touching the host again.
    std::weak_ptr<const int> LifeToken() const { return m_life; }

private:
    TKsSkinForm* m_controller;
    std::vector<TKsNCListedElement*> m_items;
    std::shared_ptr<const int> m_life = std::make_shared<const int>(0);
};

// Raises every other title-bar button of element's list that has the same
// group index (0 and negative included): SetDown(false) on each. Nothing
// when element is in no list.
void ReleaseButtonGroup(TKsNCListedElement& element);

}  // namespace ks
