// UTF-8 <-> UTF-16 at the edge to Windows: portable code keeps UTF-8
// std::string, the Windows side std::wstring (wchar_t is 16 bits there).
#pragma once

#include "framework/Types.h"

#include <string>
#include <string_view>

namespace fw {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

inline std::wstring Utf8ToWide(std::string_view utf8)
{
    std::u16string u = Utf8ToUtf16(utf8);
    return std::wstring(u.begin(), u.end());
}

inline std::string WideToUtf8(std::wstring_view wide)
{
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace fw
