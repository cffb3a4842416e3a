#include "framework/Graphics_win.h"

#include "framework/ScopedGdi_win.h"
#include "framework/WideText_win.h"

#include <algorithm>

namespace fw {

std::vector<std::uint8_t> ReadFileBytes(const std::wstring& fileName)
{
    ScopedFile owner(::CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!owner)
        throw EFrameworkError("Cannot open file \"" + WideToUtf8(fileName) + "\"");
    HANDLE file = owner.Get();
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size))
        throw EFrameworkError("Cannot read file \"" + WideToUtf8(fileName) + "\"");
    // Pictures and layouts are small; refuse anything that cannot be one.
    constexpr LONGLONG kMaxFileSize = 512LL * 1024 * 1024;
    if (size.QuadPart < 0 || size.QuadPart > kMaxFileSize) {
        throw EFrameworkError("File \"" + WideToUtf8(fileName) + "\" is too large");
    }
    std::vector<std::uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!::ReadFile(file, bytes.data() + done, chunk, &read, nullptr) || read == 0) {
            throw EFrameworkError("Cannot read file \"" + WideToUtf8(fileName) + "\"");
        }
        done += read;
    }
    return bytes;
}

}  // namespace fw
