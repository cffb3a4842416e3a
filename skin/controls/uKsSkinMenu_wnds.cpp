// TMenuWnds: the composed bitmaps of the popup-menu windows on screen.
#include "skin/controls/uKsSkinMenu.h"

namespace ks {

TMenuWnds::TMenuWnds() = default;
TMenuWnds::~TMenuWnds() = default;

void TMenuWnds::Add(HWND window, std::unique_ptr<TBitmap32> background, const TBitmap32& skin)
{
    auto copy = std::make_unique<TBitmap32>();
    copy->AssignFrom(&skin);
    m_entries.push_back(Entry{window, std::move(background), std::move(copy)});
}

TBitmap32* TMenuWnds::FindBackground(HWND window)
{
    // A hidden window's entry goes, and so does one whose window was shown
    // again at another size before this lookup: its bitmaps no longer fit.
    for (size_t i = m_entries.size(); i-- > 0;) {
        const Entry& e = m_entries[i];
        RECT r{};
        const bool stale = !::IsWindowVisible(e.Window) || !::GetWindowRect(e.Window, &r) ||
                           r.right - r.left != e.Background->Width() || r.bottom - r.top != e.Background->Height();
        if (stale)
            m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(i));
    }
    for (Entry& e : m_entries)
        if (e.Window == window)
            return e.Background.get();
    return nullptr;
}

TBitmap32* TMenuWnds::FindSkin(HWND window)
{
    for (Entry& e : m_entries)
        if (e.Window == window)
            return e.Skin.get();
    return nullptr;
}

void TMenuWnds::Clear() { m_entries.clear(); }

}  // namespace ks
