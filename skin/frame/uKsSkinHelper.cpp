#include "skin/frame/uKsSkinHelper.h"

#include <algorithm>

namespace ks {

bool IsWinNT = false;
std::uint8_t SavedDragFullWindows = 0;
std::int32_t SkinHsbH = 0;
std::int32_t SkinHsbS = 0;
std::int32_t SkinHsbB = 0;
bool ElementCursorSet = false;

int TKsFormSkinHelper::Add(fw::TWinControl* form, TKsSkinForm* controller)
{
    auto entry = std::make_unique<Entry>();
    entry->Form = form;
    entry->Controller = controller;
    m_entries.push_back(std::move(entry));
    return Count() - 1;
}

int TKsFormSkinHelper::IndexOf(const fw::TWinControl* form) const
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i]->Form == form)
            return static_cast<int>(i);
    }
    return -1;
}

TKsFormSkinHelper::Entry* TKsFormSkinHelper::Find(const fw::TWinControl* form)
{
    const int i = IndexOf(form);
    return i < 0 ? nullptr : m_entries[static_cast<std::size_t>(i)].get();
}

void TKsFormSkinHelper::Remove(const fw::TWinControl* form)
{
    const int i = IndexOf(form);
    if (i >= 0)
        m_entries.erase(m_entries.begin() + i);
}

void TKsFormSkinHelper::Remove(const fw::TWinControl* form, const TKsSkinForm* controller)
{
    auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const std::unique_ptr<Entry>& e) {
        return e->Form == form && e->Controller == controller;
    });
    if (it != m_entries.end())
        m_entries.erase(it);
}

void TKsWinControlHelper::Remove(const fw::TWinControl* control)
{
    auto it = std::find(Controls.begin(), Controls.end(), control);
    if (it != Controls.end())
        Controls.erase(it);
}

namespace {

// Both registries live from first use to program end; at the end the form
// registry goes first, then the control registry.
struct Registries {
    std::unique_ptr<TKsFormSkinHelper> Forms;
    std::unique_ptr<TKsWinControlHelper> Controls;
    ~Registries()
    {
        Forms.reset();
        Controls.reset();
    }
};

Registries& TheRegistries()
{
    static Registries registries;
    return registries;
}

}  // namespace

TKsFormSkinHelper& FormSkinHelper()
{
    Registries& r = TheRegistries();
    if (!r.Forms)
        r.Forms = std::make_unique<TKsFormSkinHelper>();
    return *r.Forms;
}

TKsWinControlHelper& WinControlHelper()
{
    Registries& r = TheRegistries();
    if (!r.Controls)
        r.Controls = std::make_unique<TKsWinControlHelper>();
    return *r.Controls;
}

}  // namespace ks
