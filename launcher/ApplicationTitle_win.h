// The application's title: held as the GBK (code page 936) bytes the product
// has always used, shown through an explicit conversion so that it reads the
// same on a system of any locale (the system's ANSI code page would garble it
// elsewhere).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace launcher {

// "Tarvel工程管理服务平台" in code page 936.
inline constexpr char kApplicationTitleGbk[] = "Tarvel\xB9\xA4\xB3\xCC\xB9\xDC\xC0\xED\xB7\xFE\xCE\xF1\xC6\xBD\xCC\xA8";

inline std::wstring FromCodePage(UINT codePage, std::string_view bytes)
{
    if (bytes.empty())
        return {};
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

inline std::wstring ApplicationTitle() { return FromCodePage(936, kApplicationTitleGbk); }

}  // namespace launcher
