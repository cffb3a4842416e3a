// The built-in store as the program's RT_RCDATA resource "TKSSKINRESDM".
#include "skin/resources/uKsSkinResDM.h"

#include "framework/Types.h"

#include <windows.h>

namespace ks {

std::span<const std::uint8_t> BuiltInSkinStore()
{
    // Resources live as long as the module: no unlocking or freeing.
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, L"TKSSKINRESDM", RT_RCDATA);
    if (info == nullptr)
        throw fw::EFrameworkError("Resource TKSSKINRESDM not found");
    HGLOBAL handle = LoadResource(module, info);
    const DWORD size = SizeofResource(module, info);
    const void* data = handle != nullptr ? LockResource(handle) : nullptr;
    if (data == nullptr || size == 0)
        throw fw::EFrameworkError("Resource TKSSKINRESDM not found");
    return {static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size)};
}

}  // namespace ks
