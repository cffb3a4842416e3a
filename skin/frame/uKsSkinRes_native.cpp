// The configuration component's files on the host, where the engine runs only
// in tests: the program folder is the executable's, backslashes in the
// engine's paths become slashes, and there are no forms to tell.
#include "skin/frame/uKsSkinRes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace ks {

namespace {

std::string HostPath(std::string path)
{
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

std::string ErrnoText(const char* what, const std::string& path)
{
    return std::string(what) + " '" + path + "' (" + std::strerror(errno) + ")";
}

class THostConfigFiles : public TKsConfigFiles {
public:
    explicit THostConfigFiles(std::string programFolder) : m_programFolder(std::move(programFolder)) {}

    std::string ProgramFolder() const override
    {
        if (!m_programFolder.empty())
            return m_programFolder;
        char buffer[4096];
        const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (n <= 0)
            return "./";
        const std::string exe(buffer, static_cast<std::size_t>(n));
        return exe.substr(0, exe.find_last_of('/') + 1);
    }

    bool FileExists(const std::string& path) const override
    {
        struct stat st {};
        return stat(HostPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }

    std::string ReadFile(const std::string& path) const override
    {
        std::ifstream in(HostPath(path), std::ios::binary);
        if (!in)
            throw EConfigError(ErrnoText("Cannot read the skin configuration", path));
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    void CreateFolders(const std::string& folder) const override
    {
        const std::string host = HostPath(folder);
        for (std::size_t i = 1; i <= host.size(); ++i) {
            if (i < host.size() && host[i] != '/')
                continue;
            const std::string level = host.substr(0, i);
            if (mkdir(level.c_str(), 0755) != 0 && errno != EEXIST)
                throw EConfigError(ErrnoText("Cannot create the folder", level));
        }
    }

    void WriteAtomically(const std::string& path, const std::string& bytes) const override
    {
        const std::string target = HostPath(path);
        const std::string temporary = target + "." + std::to_string(getpid()) + ".tmp";
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            throw EConfigError(ErrnoText("Cannot write the skin configuration", path));
        std::size_t done = 0;
        bool ok = true;
        while (ok && done < bytes.size()) {
            const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
            ok = n > 0;
            done += ok ? static_cast<std::size_t>(n) : 0;
        }
        ok = ok && fsync(fd) == 0;
        const std::string failure = ok ? std::string() : ErrnoText("Cannot write the skin configuration", path);
        close(fd);
        if (ok && std::rename(temporary.c_str(), target.c_str()) == 0)
            return;
        const std::string message = ok ? ErrnoText("Cannot replace the skin configuration", path) : failure;
        unlink(temporary.c_str());
        throw EConfigError(message);
    }

private:
    std::string m_programFolder;
};

}  // namespace

std::unique_ptr<TKsConfigFiles> CreatePlatformConfigFiles(std::string programFolder)
{
    return std::make_unique<THostConfigFiles>(std::move(programFolder));
}

void BroadcastSkinChanged() {}

}  // namespace ks
