#include "framework/SystemLibrary_win.h"

#include <string>

namespace fw {

namespace {

// Not declared for the Windows 7 baseline we compile against; present from
// Windows 8 and on Windows 7 with the loader update.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

}  // namespace

void RestrictDllSearchToSystem() noexcept
{
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    auto set = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                            reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")))
                      : nullptr;
    if (set && set(kSearchSystem32))
        return;
    // Without it the current folder at least leaves the search order.
    ::SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) noexcept
{
    HMODULE module = ::LoadLibraryExW(name, nullptr, kSearchSystem32);
    if (module || ::GetLastError() != ERROR_INVALID_PARAMETER)
        return module;
    // A loader that does not know the flag: name the file by its full path.
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    std::wstring path(folder, length);
    path += L'\\';
    path += name;
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC SystemProc(const wchar_t* library, const char* name) noexcept
{
    HMODULE module = LoadSystemLibrary(library);
    return module ? ::GetProcAddress(module, name) : nullptr;
}

BOOL SystemAlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                      BLENDFUNCTION blend) noexcept
{
    using Fn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    static const Fn fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(SystemProc(L"msimg32.dll", "AlphaBlend")));
    return fn ? fn(dst, x, y, w, h, src, sx, sy, sw, sh, blend) : FALSE;
}

BOOL SystemTransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                          UINT transparent) noexcept
{
    using Fn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
    static const Fn fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(SystemProc(L"msimg32.dll", "TransparentBlt")));
    return fn ? fn(dst, x, y, w, h, src, sx, sy, sw, sh, transparent) : FALSE;
}

}  // namespace fw
