// The configuration component's files and its broadcast on Windows: wide-
// character file access (the program folder may hold any characters) and an
// atomic replace of the file through a temporary file in the same folder.
#include "skin/frame/uKsSkinRes.h"

#include "framework/Forms_win.h"
#include "framework/WideText_win.h"
#include "skin/frame/uKsSkinHelper.h"
#include "skin/resources/uKsSkinResManager.h"

#include <windows.h>

#include <memory>

namespace ks {

namespace {

struct HandleCloser {
    void operator()(HANDLE h) const
    {
        if (h != nullptr && h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};
using ScopedFile = std::unique_ptr<void, HandleCloser>;

// Files larger than this are not configurations.
constexpr std::uint64_t kMaxConfigBytes = 4u * 1024u * 1024u;

std::string LastErrorText(const char* what, const std::string& path)
{
    return std::string(what) + " '" + path + "' (error " + std::to_string(GetLastError()) + ")";
}

class TWindowsConfigFiles : public TKsConfigFiles {
public:
    explicit TWindowsConfigFiles(std::string programFolder) : m_files(std::move(programFolder)) {}

    std::string ProgramFolder() const override { return m_files.ProgramFolder(); }
    bool FileExists(const std::string& path) const override { return m_files.FileExists(path); }

    std::string ReadFile(const std::string& path) const override
    {
        ScopedFile file(CreateFileW(fw::Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size{};
        if (file.get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.get(), &size))
            throw EConfigError(LastErrorText("Cannot read the skin configuration", path));
        if (size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > kMaxConfigBytes)
            throw EConfigError("The skin configuration '" + path + "' is too large");
        std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
        std::size_t done = 0;
        while (done < bytes.size()) {
            DWORD read = 0;
            if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read, nullptr) ||
                read == 0)
                throw EConfigError(LastErrorText("Cannot read the skin configuration", path));
            done += read;
        }
        return bytes;
    }

    void CreateFolders(const std::string& folder) const override
    {
        std::wstring wide = fw::Utf8ToWide(folder);
        // Create every missing level from the outermost one inwards.
        for (std::size_t i = 0; i <= wide.size(); ++i) {
            if (i < wide.size() && wide[i] != L'\\' && wide[i] != L'/')
                continue;
            const std::wstring level = wide.substr(0, i);
            if (level.empty() || level.back() == L':')
                continue;
            const DWORD attributes = GetFileAttributesW(level.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                continue;
            if (!CreateDirectoryW(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
                throw EConfigError(LastErrorText("Cannot create the folder", fw::WideToUtf8(level)));
        }
    }

    void WriteAtomically(const std::string& path, const std::string& bytes) const override
    {
        const std::wstring target = fw::Utf8ToWide(path);
        const std::wstring temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
        {
            ScopedFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
            if (file.get() == INVALID_HANDLE_VALUE)
                throw EConfigError(LastErrorText("Cannot write the skin configuration", path));
            DWORD written = 0;
            const bool ok =
                ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                written == bytes.size() && FlushFileBuffers(file.get());
            if (!ok) {
                const std::string message = LastErrorText("Cannot write the skin configuration", path);
                file.reset();
                DeleteFileW(temporary.c_str());
                throw EConfigError(message);
            }
        }
        if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const std::string message = LastErrorText("Cannot replace the skin configuration", path);
            DeleteFileW(temporary.c_str());
            throw EConfigError(message);
        }
    }

private:
    TLocalFileSystem m_files;
};

}  // namespace

std::unique_ptr<TKsConfigFiles> CreatePlatformConfigFiles(std::string programFolder)
{
    return std::make_unique<TWindowsConfigFiles>(std::move(programFolder));
}

void BroadcastSkinChanged()
{
    TKsFormSkinHelper& forms = FormSkinHelper();
    for (int i = forms.Count() - 1; i >= 0; --i) {
        if (fw::Application != nullptr)
            fw::Application->ProcessMessages();
        // Processing messages may have freed forms: skip what is gone.
        if (i >= forms.Count())
            continue;
        fw::TWinControl* form = forms.Items(i).Form;
        if (form != nullptr && form->HandleAllocated())
            SendMessageW(form->Handle(), CM_SKIN_SKINCHANGED, 0, 0);
    }
}

}  // namespace ks
