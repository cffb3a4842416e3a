// Libraries beyond the system's known DLLs are loaded from the system folder
// only. A program started from a Downloads folder must never pick up a DLL of
// the same name lying beside it, so the programs import statically only
// known DLLs and load the rest (msimg32, dwmapi, GDI+) through here.
#pragma once

#include <windows.h>

namespace fw {

// Restricts every later library load of the process to the system folder
// (and the paths of loads that name a full path). Call it first thing.
void RestrictDllSearchToSystem() noexcept;

// The module of a system DLL, loaded from the system folder; nullptr when it
// cannot be loaded. Modules stay loaded until the process ends.
HMODULE LoadSystemLibrary(const wchar_t* name) noexcept;

// The address of an export of a system DLL, or nullptr.
FARPROC SystemProc(const wchar_t* library, const char* name) noexcept;

// msimg32's AlphaBlend and TransparentBlt, resolved once; FALSE when they
// are not available.
BOOL SystemAlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                      BLENDFUNCTION blend) noexcept;
BOOL SystemTransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                          UINT transparent) noexcept;

}  // namespace fw
