// The containers of named skin images: an image list component with a stored
// collection of items, each an id, a 32-bit bitmap and a description.
#pragma once

#include "framework/Classes.h"
#include "skin/render/Bitmap32.h"

#include <memory>
#include <string>
#include <string_view>

namespace ks {

class TKsSkinImageList;

// An image id as lookups compare it: leading and trailing characters with
// codes up to 32 removed, ASCII letters a to z in upper case, every other
// byte as it is.
std::string SkinImageKey(std::string_view id);

class TKsSkinBitmapItem : public fw::TCollectionItem {
    FW_CLASS(TKsSkinBitmapItem)

    explicit TKsSkinBitmapItem(fw::TCollection* collection);
    ~TKsSkinBitmapItem() override;

    const std::string& ResID() const { return m_resID; }
    void SetResID(const std::string& id);
    // Owned by the item; never null.
    TBitmap32* Bitmap() const { return m_bitmap.get(); }
    // Copies pixels and draw properties into the item's own bitmap.
    void SetBitmap(const TCustomBitmap32* bitmap) { m_bitmap->AssignFrom(bitmap); }
    const std::string& Description() const { return m_description; }
    void SetDescription(const std::string& text) { m_description = text; }

    // SkinImageKey(ResID()), kept with the id.
    const std::string& Key() const { return m_key; }

    // From another item: id, description and the bitmap (pixels and draw
    // properties).
    void Assign(const fw::TPersistent& source) override;
    std::string DisplayName() const override;

private:
    std::string m_resID;
    std::string m_key;
    std::unique_ptr<TBitmap32> m_bitmap;
    std::string m_description;
};

class TKsSkinBitmapCollection : public fw::TCollection {
    FW_CLASS(TKsSkinBitmapCollection)

    explicit TKsSkinBitmapCollection(TKsSkinImageList* owner);

    // A new empty item at the end.
    TKsSkinBitmapItem* Add() { return static_cast<TKsSkinBitmapItem*>(fw::TCollection::Add()); }
    // 0-based; throws for an index out of range.
    TKsSkinBitmapItem* Items(int index) const { return static_cast<TKsSkinBitmapItem*>(fw::TCollection::Items(index)); }
    TKsSkinImageList* Owner() const { return m_owner; }

    // Index of the first item whose id equals id under SkinImageKey, or -1.
    int IndexOf(std::string_view id) const;

private:
    TKsSkinImageList* m_owner;
};

// A named, ordered container of skin images; it draws nothing itself.
class TKsSkinImageList : public fw::TComponent {
    FW_CLASS(TKsSkinImageList)

    explicit TKsSkinImageList(fw::TComponent* owner);
    ~TKsSkinImageList() override;

    TKsSkinBitmapCollection* Bitmaps() const { return m_bitmaps.get(); }
    void SetBitmaps(const TKsSkinBitmapCollection* bitmaps);

private:
    std::unique_ptr<TKsSkinBitmapCollection> m_bitmaps;
};

}  // namespace ks
