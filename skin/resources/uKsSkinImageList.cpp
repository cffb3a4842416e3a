#include "skin/resources/uKsSkinImageList.h"

#include "framework/TypInfo.h"

namespace ks {

std::string SkinImageKey(std::string_view id)
{
    std::size_t begin = 0;
    std::size_t end = id.size();
    while (begin < end && static_cast<unsigned char>(id[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(id[end - 1]) <= 32)
        --end;
    std::string key(id.substr(begin, end - begin));
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return key;
}

// ---------------------------------------------------------------------------
// TKsSkinBitmapItem

const fw::TClassInfo& TKsSkinBitmapItem::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinBitmapItem, fw::TCollectionItem>("TKsSkinBitmapItem")
            .String("ResID", &TKsSkinBitmapItem::ResID, &TKsSkinBitmapItem::SetResID)
            .Object("Bitmap", &TKsSkinBitmapItem::Bitmap)
            .String("Description", &TKsSkinBitmapItem::Description, &TKsSkinBitmapItem::SetDescription)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinBitmapItem)

TKsSkinBitmapItem::TKsSkinBitmapItem(fw::TCollection* collection)
    : fw::TCollectionItem(collection),
      m_bitmap(std::make_unique<TBitmap32>())
{}

TKsSkinBitmapItem::~TKsSkinBitmapItem() = default;

void TKsSkinBitmapItem::SetResID(const std::string& id)
{
    m_resID = id;
    m_key = SkinImageKey(id);
}

void TKsSkinBitmapItem::Assign(const fw::TPersistent& source)
{
    if (const auto* item = dynamic_cast<const TKsSkinBitmapItem*>(&source)) {
        SetResID(item->m_resID);
        m_description = item->m_description;
        m_bitmap->AssignFrom(item->m_bitmap.get());
        return;
    }
    fw::TCollectionItem::Assign(source);
}

std::string TKsSkinBitmapItem::DisplayName() const
{
    return m_resID.empty() ? fw::TCollectionItem::DisplayName() : m_resID;
}

// ---------------------------------------------------------------------------
// TKsSkinBitmapCollection

const fw::TClassInfo& TKsSkinBitmapCollection::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinBitmapCollection, fw::TCollection>("TKsSkinBitmapCollection").Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinBitmapCollection)

TKsSkinBitmapCollection::TKsSkinBitmapCollection(TKsSkinImageList* owner)
    : fw::TCollection(TKsSkinBitmapItem::StaticClass(), owner),
      m_owner(owner)
{}

int TKsSkinBitmapCollection::IndexOf(std::string_view id) const
{
    const std::string key = SkinImageKey(id);
    for (int i = 0, n = Count(); i < n; ++i)
        if (Items(i)->Key() == key)
            return i;
    return -1;
}

// ---------------------------------------------------------------------------
// TKsSkinImageList

const fw::TClassInfo& TKsSkinImageList::StaticClass()
{
    static const fw::TClassInfo& info = fw::DefineClass<TKsSkinImageList, fw::TComponent>("TKsSkinImageList")
                                            .Collection("Bitmaps", &TKsSkinImageList::Bitmaps)
                                            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinImageList)

TKsSkinImageList::TKsSkinImageList(fw::TComponent* owner)
    : fw::TComponent(owner),
      m_bitmaps(std::make_unique<TKsSkinBitmapCollection>(this))
{}

TKsSkinImageList::~TKsSkinImageList() = default;

void TKsSkinImageList::SetBitmaps(const TKsSkinBitmapCollection* bitmaps)
{
    if (bitmaps != nullptr)
        m_bitmaps->Assign(*bitmaps);
    else
        m_bitmaps->Clear();
}

}  // namespace ks
