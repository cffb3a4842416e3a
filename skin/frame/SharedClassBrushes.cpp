#include "skin/frame/SharedClassBrushes.h"

#include <algorithm>

namespace ks {

void TSharedClassBrushes::Set(ClassKey cls, const void* owner, Brush brush, Brush previous)
{
    ClassRecord& record = m_classes[cls];
    // The first form to set a brush sees the class's own background.
    if (record.Entries.empty())
        record.Original = previous;
    auto it =
        std::find_if(record.Entries.begin(), record.Entries.end(), [&](const Entry& e) { return e.Owner == owner; });
    if (it != record.Entries.end())
        it->Handle = brush;
    else
        record.Entries.push_back(Entry{owner, brush});
}

std::optional<TSharedClassBrushes::Brush> TSharedClassBrushes::Release(ClassKey cls, const void* owner, Brush current)
{
    auto found = m_classes.find(cls);
    if (found == m_classes.end())
        return std::nullopt;
    ClassRecord& record = found->second;
    auto it =
        std::find_if(record.Entries.begin(), record.Entries.end(), [&](const Entry& e) { return e.Owner == owner; });
    if (it == record.Entries.end())
        return std::nullopt;
    const Brush going = it->Handle;
    record.Entries.erase(it);
    std::optional<Brush> instead;
    if (current == going)
        instead = record.Entries.empty() ? record.Original : record.Entries.back().Handle;
    if (record.Entries.empty())
        m_classes.erase(found);
    return instead;
}

TSharedClassBrushes& SharedClassBrushes()
{
    static TSharedClassBrushes book;
    return book;
}

}  // namespace ks
