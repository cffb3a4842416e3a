// Object model of the framework: TObject, TPersistent, TComponent (ownership,
// names, notifications, component state) and stored collections.
//
// Every class that takes part in stored layouts declares FW_CLASS(TName) in a
// public section and defines its registration table in its .cpp with
// DefineClass<TName, TBase>("TName") (see TypInfo.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Types.h"

namespace fw {

class TClassInfo;
class TPropInfo;
class TReader;

// Declares the class-info accessors. Put it first in a public section of
// every registered class; it leaves the section public.
#define FW_CLASS(ClassName)                                                                                            \
public:                                                                                                                \
    static const ::fw::TClassInfo& StaticClass();                                                                      \
    const ::fw::TClassInfo& ClassType() const override { return StaticClass(); }                                       \
                                                                                                                       \
public:

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject();

    static const TClassInfo& StaticClass();
    virtual const TClassInfo& ClassType() const;
    const std::string& ClassName() const;
    // True when this object's class is cls or derives from it.
    bool InheritsFrom(const TClassInfo& cls) const;
};

class TPersistent : public TObject {
    FW_CLASS(TPersistent)

    // Copies the values of source into this object. The default asks
    // source.AssignTo(*this), which throws EConvertError-like EFrameworkError
    // ("Cannot assign a X to a Y") when neither side knows the other.
    virtual void Assign(const TPersistent& source);
    virtual TPersistent* GetOwner() const { return nullptr; }
    // Dotted path used in error messages ("FormMain.Font").
    virtual std::string GetNamePath() const;

    // Names of the root methods bound to this object's events by the reader
    // (or by BindEvent), so that the writer can store them again.
    const std::string* BoundMethodName(const TPropInfo& event) const;
    void SetBoundMethodName(const TPropInfo& event, std::string methodName);
    void ClearBoundMethodName(const TPropInfo& event);

protected:
    virtual void AssignTo(TPersistent& dest) const;

private:
    std::vector<std::pair<const TPropInfo*, std::string>> m_boundMethods;
};

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csWriting = 1u << 2,
    csDestroying = 1u << 3,
    csDesigning = 1u << 4,
    csFreeNotification = 1u << 5,
    csUpdating = 1u << 6,
};
using TComponentState = unsigned;

class TComponent : public TPersistent {
    FW_CLASS(TComponent)

    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return m_owner; }
    TPersistent* GetOwner() const override { return m_owner; }
    std::string GetNamePath() const override { return m_name; }

    const std::string& Name() const { return m_name; }
    // Validates the name (identifier, unique among the owner's components,
    // case-insensitive) and updates the owner's published field of that name.
    virtual void SetName(const std::string& name);

    std::intptr_t Tag() const { return m_tag; }
    void SetTag(std::intptr_t tag) { m_tag = tag; }

    int ComponentCount() const { return static_cast<int>(m_components.size()); }
    TComponent* Components(int index) const;
    int ComponentIndex() const;
    // Case-insensitive; nullptr when absent or name is empty.
    TComponent* FindComponent(std::string_view name) const;

    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    // Frees every owned component, last first, after marking them all as
    // being destroyed. A derived destructor that calls it (to free the
    // components while the derived object is still whole) should call
    // Destroying() first. Published fields are cleared only when this
    // component is not being destroyed.
    void DestroyComponents();
    // Marks this component and everything it owns as being destroyed.
    void Destroying();

    TComponentState ComponentState() const { return m_state; }
    bool IsDesigning() const { return (m_state & csDesigning) != 0; }
    bool IsLoading() const { return (m_state & csLoading) != 0; }
    bool IsReading() const { return (m_state & csReading) != 0; }
    bool IsDestroying() const { return (m_state & csDestroying) != 0; }
    // Design state of this component and of everything it owns.
    void SetDesigning(bool value);
    // For the reader and writer: sets or clears state flags on this
    // component only.
    void SetComponentState(TComponentState flags, bool on);

    // Asks to be told (Notification with opRemove) when component goes away,
    // also when it belongs to another owner. The link goes both ways.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Called when a component is inserted into or removed from this
    // component's owner list, and for free notifications. The default
    // passes the call on to every owned component.
    virtual void Notification(TComponent* component, TOperation operation);
    // Called once after all stored values of a read component are set.
    virtual void Loaded();
    // The reader calls this with the component whose record encloses this
    // one, before the stored values are set. TControl sets its Parent here.
    virtual void SetParentComponent(TComponent* parent);
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual bool HasParent() const { return false; }
    // The components stored inside this one's record, in stored order.
    // The default: when this is root, every owned component without a
    // parent. Windowed controls list their child controls first.
    virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const;

    // Design-time icon position of non-visual components, stored as Left/Top.
    int DesignLeft() const { return m_designLeft; }
    int DesignTop() const { return m_designTop; }
    void SetDesignLeft(int v) { m_designLeft = v; }
    void SetDesignTop(int v) { m_designTop = v; }

protected:
    virtual void ValidateRename(TComponent* component, const std::string& curName, const std::string& newName);

private:
    void SetReference(bool enable);
    void RemoveNotification(TComponent* component);

    TComponent* m_owner = nullptr;
    std::string m_name;
    std::intptr_t m_tag = 0;
    TComponentState m_state = 0;
    std::vector<TComponent*> m_components;    // owned, in insertion order
    std::vector<TComponent*> m_freeNotifies;  // borrowed, both ways
    int m_designLeft = 0;
    int m_designTop = 0;
};

// ---------------------------------------------------------------------------
// Collections: an ordered list of owned items of one item class, stored as
// `Name = < item ... end item ... end >`.

class TCollection;

class TCollectionItem : public TPersistent {
    FW_CLASS(TCollectionItem)

    // Items are created by TCollection::Add through the item class's
    // factory; the constructor does not insert the item.
    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return m_collection; }
    TPersistent* GetOwner() const override;
    int Index() const;
    std::string GetNamePath() const override;
    virtual std::string DisplayName() const;

protected:
    // Tells the collection that this item changed (allChanged: the whole
    // collection needs an update).
    void Changed(bool allChanged);

private:
    friend class TCollection;
    TCollection* m_collection;
};

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollection : public TPersistent {
    FW_CLASS(TCollection)

    TCollection(const TClassInfo& itemClass, TPersistent* owner);
    ~TCollection() override;

    const TClassInfo& ItemClass() const { return *m_itemClass; }
    TPersistent* GetOwner() const override { return m_owner; }
    std::string GetNamePath() const override;

    // Creates a new item of the item class at the end and returns it.
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    int Count() const { return static_cast<int>(m_items.size()); }
    TCollectionItem* Items(int index) const;
    void Delete(int index);
    void Clear();
    // Moves the item at from to index to.
    void Move(int from, int to);

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }

    // Clears this collection and copies the items of another collection
    // (each item with Assign).
    void Assign(const TPersistent& source) override;

protected:
    // item == nullptr: the whole collection changed. Not called while
    // updating; EndUpdate calls Update(nullptr) once.
    virtual void Update(TCollectionItem* item);
    virtual void Notify(TCollectionItem* item, TCollectionNotification action);

private:
    friend class TCollectionItem;
    void ItemChanged(TCollectionItem* item);

    const TClassInfo* m_itemClass;
    TPersistent* m_owner;
    std::vector<std::unique_ptr<TCollectionItem>> m_items;
    int m_updateCount = 0;
};

}  // namespace fw
