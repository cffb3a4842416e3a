// The popup-menu unit's process-wide state: the saved system settings, the
// thread hook on popup-menu windows and their window procedure, and the
// menu-painted flag.
#include "skin/controls/uKsSkinMenu.h"

#include <cwctype>
#include <exception>

namespace ks {

namespace {

struct SavedSetting {
    bool Known = false;
    BOOL Value = FALSE;
};

struct UnitState {
    bool Started = false;
    SavedSetting SelectionFade;
    SavedSetting MenuFade;
    SavedSetting MenuAnimation;
    HHOOK Hook = nullptr;
    WNDPROC Previous = nullptr;  // one value for every popup-menu window
    bool Painted = false;
};

UnitState& Unit()
{
    static UnitState state;
    return state;
}

SavedSetting ReadSetting(UINT action)
{
    SavedSetting s;
    s.Known = ::SystemParametersInfoW(action, 0, &s.Value, 0) != FALSE;
    return s;
}

void WriteSetting(UINT action, BOOL value, UINT flags)
{
    ::SystemParametersInfoW(action, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(value)), flags);
}

bool IsPopupMenuWindow(HWND window)
{
    wchar_t name[21] = {};
    const int n = ::GetClassNameW(window, name, 21);
    if (n != 6)
        return false;
    const wchar_t* menuClass = L"#32768";
    for (int i = 0; i < 6; ++i)
        if (std::towlower(name[i]) != menuClass[i])
            return false;
    return true;
}

LRESULT CALLBACK MenuHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    const LRESULT result = ::CallNextHookEx(Unit().Hook, code, wParam, lParam);
    // Wine: popup-menu windows are created by this thread's own code, so the
    // hook reports them as sent by the current thread (wParam non-zero); a
    // window of the menu class being created is a popup menu either way, so
    // the flag is not looked at.
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code != HC_ACTION || cwp == nullptr || cwp->message != WM_CREATE || !IsPopupMenuWindow(cwp->hwnd))
        return result;
    const ULONG_PTR style = ::GetClassLongPtrW(cwp->hwnd, GCL_STYLE);
    if (style & CS_DROPSHADOW)
        ::SetClassLongPtrW(cwp->hwnd, GCL_STYLE, static_cast<LONG_PTR>(style & ~static_cast<ULONG_PTR>(CS_DROPSHADOW)));
    const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(cwp->hwnd, GWLP_WNDPROC));
    if (current != &SkinMenuWindowProc) {
        Unit().Previous = current;
        ::SetWindowLongPtrW(cwp->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinMenuWindowProc));
    }
    return result;
}

// Unit start and end run when the program starts and ends.
struct UnitLifetime {
    UnitLifetime() { InitializeSkinMenuUnit(); }
    ~UnitLifetime() { FinalizeSkinMenuUnit(); }
} g_unitLifetime;

}  // namespace

void InitializeSkinMenuUnit()
{
    UnitState& u = Unit();
    if (u.Started)
        return;
    u.Started = true;
    u.SelectionFade = ReadSetting(SPI_GETSELECTIONFADE);
    u.MenuFade = ReadSetting(SPI_GETMENUFADE);
    u.MenuAnimation = ReadSetting(SPI_GETMENUANIMATION);
    WriteSetting(SPI_SETSELECTIONFADE, FALSE, SPIF_SENDCHANGE);
    u.Hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &MenuHookProc, nullptr, ::GetCurrentThreadId());
}

void FinalizeSkinMenuUnit()
{
    UnitState& u = Unit();
    if (!u.Started)
        return;
    u.Started = false;
    if (u.SelectionFade.Known)
        WriteSetting(SPI_SETSELECTIONFADE, u.SelectionFade.Value, SPIF_SENDCHANGE);
    // The component switched these off for the whole session; every other
    // program sees them, so they go back as they were found.
    if (u.MenuFade.Known)
        WriteSetting(SPI_SETMENUFADE, u.MenuFade.Value, 0);
    if (u.MenuAnimation.Known)
        WriteSetting(SPI_SETMENUANIMATION, u.MenuAnimation.Value, 0);
    if (u.Hook != nullptr)
        ::UnhookWindowsHookEx(u.Hook);
    u.Hook = nullptr;
    ShutdownMenuGdiPlus();
}

bool SkinMenuUnitStarted() { return Unit().Started; }

void SwitchMenuEffectsOff()
{
    WriteSetting(SPI_SETMENUFADE, FALSE, 0);
    WriteSetting(SPI_SETMENUANIMATION, FALSE, 0);
}

bool MenuPainted() { return Unit().Painted; }

void SetMenuPainted(bool value) { Unit().Painted = value; }

LRESULT CALLBACK SkinMenuWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Until the items are painted the window neither frames nor erases
    // itself, so nothing but the skin ever shows.
    if (!Unit().Painted) {
        if (msg == WM_NCPAINT)
            return 0;
        if (msg == WM_ERASEBKGND)
            return 1;
    }
    WNDPROC previous = Unit().Previous;
    if (previous == nullptr)
        return ::DefWindowProcW(window, msg, wParam, lParam);
    return ::CallWindowProcW(previous, window, msg, wParam, lParam);
}

}  // namespace ks
