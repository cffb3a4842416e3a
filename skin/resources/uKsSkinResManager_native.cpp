// File access of the host build: std::filesystem, and the program's folder
// from /proc/self/exe.
#include "skin/resources/uKsSkinResManager.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace ks {

namespace fs = std::filesystem;

TLocalFileSystem::TLocalFileSystem(std::string programFolder) : m_programFolder(std::move(programFolder)) {}

bool TLocalFileSystem::FileExists(const std::string& path) const
{
    std::error_code error;
    return !path.empty() && fs::is_regular_file(fs::path(path), error);
}

std::vector<std::uint8_t> TLocalFileSystem::ReadFile(const std::string& path) const
{
    std::error_code error;
    const std::uintmax_t size = fs::file_size(fs::path(path), error);
    if (error)
        throw EImageError("Cannot open the file \"" + path + "\": " + error.message());
    if (size > kMaxImageFileBytes)
        throw EImageError("The file \"" + path + "\" is too large for an image");
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        throw EImageError("Cannot read the file \"" + path + "\"");
    return bytes;
}

std::string TLocalFileSystem::ProgramFolder() const
{
    if (!m_programFolder.empty())
        return m_programFolder;
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    std::string folder = program.parent_path().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string TLocalFileSystem::CombinePath(const std::string& folder, const std::string& name) const
{
    const fs::path file(name);
    const fs::path combined = file.is_absolute() ? file : fs::path(folder) / file;
    return combined.lexically_normal().string();
}

std::unique_ptr<TSkinFileSystem> CreatePlatformFileSystem() { return std::make_unique<TLocalFileSystem>(); }

}  // namespace ks
