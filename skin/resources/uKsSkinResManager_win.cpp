// File access on Windows through the wide-character APIs: image names and
// the program's folder may hold any characters, whatever the system's code
// page. (File names beside the program are combined with PathCombineW, the
// wide form of the combination the engine has always used.)
#include "skin/resources/uKsSkinResManager.h"

#include "framework/ScopedGdi_win.h"
#include "framework/WideText_win.h"

#include <windows.h>
#include <shlwapi.h>

#include <memory>

namespace ks {

TLocalFileSystem::TLocalFileSystem(std::string programFolder) : m_programFolder(std::move(programFolder)) {}

bool TLocalFileSystem::FileExists(const std::string& path) const
{
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesW(fw::Utf8ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::vector<std::uint8_t> TLocalFileSystem::ReadFile(const std::string& path) const
{
    fw::ScopedFile file(CreateFileW(fw::Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw EImageError("Cannot open the file \"" + path + "\"");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0)
        throw EImageError("Cannot read the file \"" + path + "\"");
    if (static_cast<std::uint64_t>(size.QuadPart) > kMaxImageFileBytes)
        throw EImageError("The file \"" + path + "\" is too large for an image");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 64u * 1024u * 1024u));
        DWORD read = 0;
        if (!::ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr) || read == 0)
            throw EImageError("Cannot read the file \"" + path + "\"");
        done += read;
    }
    return bytes;
}

std::string TLocalFileSystem::ProgramFolder() const
{
    if (!m_programFolder.empty())
        return m_programFolder;
    // Long paths: grow the buffer until the whole name fits.
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return {};
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        if (name.size() >= 32768)
            return {};
        name.resize(name.size() * 2);
    }
    const std::size_t slash = name.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string() : fw::WideToUtf8(std::wstring_view(name).substr(0, slash + 1));
}

std::string TLocalFileSystem::CombinePath(const std::string& folder, const std::string& name) const
{
    wchar_t combined[MAX_PATH + 1] = {};
    if (PathCombineW(combined, fw::Utf8ToWide(folder).c_str(), fw::Utf8ToWide(name).c_str()) == nullptr)
        return {};
    return fw::WideToUtf8(combined);
}

std::unique_ptr<TSkinFileSystem> CreatePlatformFileSystem() { return std::make_unique<TLocalFileSystem>(); }

}  // namespace ks
