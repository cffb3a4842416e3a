// The process-wide registries of skinned forms and skinned client controls,
// the engine's own window messages and timer ids, and the engine's global
// settings. Everything here is touched on the GUI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace fw {
class TWinControl;
}

namespace ks {

class TKsSkinForm;

// --- engine messages -------------------------------------------------------------
// Sent, posted or performed on a skinned form's window (see uKsSkinForm).
inline constexpr unsigned CM_SKIN_CHILDREFRESH = 3025;    // 0x0BD1
inline constexpr unsigned CM_SKIN_NCREPAINT = 3027;       // 0x0BD3
inline constexpr unsigned CM_SKIN_REBUILD = 3028;         // 0x0BD4
inline constexpr unsigned CM_SKIN_SKINCHANGED = 3029;     // 0x0BD5
inline constexpr unsigned CM_SKIN_ADDELEMENT = 3030;      // 0x0BD6
inline constexpr unsigned CM_SKIN_REMOVEELEMENT = 3031;   // 0x0BD7
inline constexpr unsigned CM_SKIN_MENUCLOSED = 52057;     // 0xCB59
inline constexpr unsigned CM_SKIN_ENTERMENULOOP = 52058;  // 0xCB5A
inline constexpr unsigned CM_SKIN_EXITMENULOOP = 52059;   // 0xCB5B

// --- window timers on a skinned form's window -------------------------------------
inline constexpr unsigned kTimerDeferredFramePaint = 3332;  // 50 ms after the last WM_SIZE
inline constexpr unsigned kTimerFirstShowSettle = 3333;     // 30 ms after showing
inline constexpr unsigned kTimerMenuReopen = 3334;          // 20 ms after a menu closed
inline constexpr unsigned kTimerBorderWatch = 3335;         // every 500 ms while a border is linked

inline constexpr unsigned kDeferredFramePaintMs = 50;
inline constexpr unsigned kFirstShowSettleMs = 30;
inline constexpr unsigned kMenuReopenMs = 20;
inline constexpr unsigned kBorderWatchMs = 500;

// --- engine globals ------------------------------------------------------------------
// True on the NT family of Windows; set when the form unit starts.
extern bool IsWinNT;
// The system's drag-full-windows setting, saved for the length of one
// title-bar drag.
extern std::uint8_t SavedDragFullWindows;
// Hue, saturation and brightness shift of skin colours and pictures; all three
// 0 means no shift.
extern std::int32_t SkinHsbH;
extern std::int32_t SkinHsbS;
extern std::int32_t SkinHsbB;
// A title-bar button has set its own mouse cursor.
extern bool ElementCursorSet;

inline bool SkinHsbActive() { return SkinHsbH != 0 || SkinHsbS != 0 || SkinHsbB != 0; }

// --- registries ----------------------------------------------------------------------

// Every live form controller with its form, in registration order.
class TKsFormSkinHelper {
public:
    struct Entry {
        fw::TWinControl* Form = nullptr;  // none while designing
        TKsSkinForm* Controller = nullptr;
    };

    // Appends a new entry (no duplicate check) and returns its index.
    int Add(fw::TWinControl* form, TKsSkinForm* controller);
    // Index of the first entry of form, or -1.
    int IndexOf(const fw::TWinControl* form) const;
    // The first entry of form, or nullptr.
    Entry* Find(const fw::TWinControl* form);
    int Count() const { return static_cast<int>(m_entries.size()); }
    Entry& Items(int index) { return *m_entries.at(static_cast<std::size_t>(index)); }
    // Frees the first entry of form; nothing when there is none.
    void Remove(const fw::TWinControl* form);
    // Frees the first entry of exactly this pair: a controller that goes
    // takes its own entry out, not that of another controller on its form.
    void Remove(const fw::TWinControl* form, const TKsSkinForm* controller);

private:
    std::vector<std::unique_ptr<Entry>> m_entries;
};

// Every live skinned client control, in registration order. The list does not
// own the controls; they add and remove themselves.
class TKsWinControlHelper {
public:
    std::vector<fw::TWinControl*> Controls;

    // Set by the skinned control unit: redraws a skinned control's buffer from
    // what lies under it (called by RefreshAll before the control is
    // invalidated). Controls of other kinds are only invalidated.
    std::function<void(fw::TWinControl*)> RedrawFrame;

    void Add(fw::TWinControl* control) { Controls.push_back(control); }
    void Remove(const fw::TWinControl* control);
};

// The registries, created on first use and freed at program end (the form
// registry first, then the control registry).
TKsFormSkinHelper& FormSkinHelper();
TKsWinControlHelper& WinControlHelper();

}  // namespace ks
