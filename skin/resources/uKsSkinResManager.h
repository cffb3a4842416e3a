// The skin resource manager: resolves an image name to a shared 32-bit
// bitmap. An image file of that name comes first, then the built-in store,
// then a file of that name in the program's folder. Bitmaps loaded from files
// are kept for the rest of the run; every bitmap handed out belongs to the
// built-in store or to the manager and is only read by callers.
#pragma once

#include "skin/render/Bitmap32.h"
#include "skin/resources/ImageDecoders.h"
#include "skin/resources/uKsSkinImageList.h"
#include "skin/resources/uKsSkinIntf.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ks {

class TKsSkinResManager;

// Fired after every resolution with the name as asked and the result; the
// handler may replace the result.
using TGetBitmapEvent =
    std::function<void(TKsSkinResManager* sender, const std::string& name, const TBitmap32*& bitmap)>;

// How the manager reaches files: the platform's file system and the
// program's folder, or a stand-in in tests. Paths are UTF-8.
class TSkinFileSystem {
public:
    virtual ~TSkinFileSystem() = default;
    // True when path names an existing file (not a folder); a relative path
    // is taken relative to the current directory.
    virtual bool FileExists(const std::string& path) const = 0;
    // The whole file; throws EImageError when it cannot be read.
    virtual std::vector<std::uint8_t> ReadFile(const std::string& path) const = 0;
    // The folder of the program's file, with its trailing separator.
    virtual std::string ProgramFolder() const = 0;
    // name taken relative to folder (an absolute name stays as it is), with
    // "." and ".." resolved; empty when the result would be too long.
    virtual std::string CombinePath(const std::string& folder, const std::string& name) const = 0;
};

// Files that are larger than any image the decoders accept are refused
// before they are read.
inline constexpr std::uint64_t kMaxImageFileBytes = 1100u * 1024u * 1024u;

// The file system of the running program. Windows: wide-character APIs, so
// that folders with any characters work; the program folder comes from
// GetModuleFileNameW. Elsewhere: /proc/self/exe.
class TLocalFileSystem : public TSkinFileSystem {
public:
    // programFolder replaces the program's own folder when not empty (tests).
    explicit TLocalFileSystem(std::string programFolder = {});

    bool FileExists(const std::string& path) const override;
    std::vector<std::uint8_t> ReadFile(const std::string& path) const override;
    std::string ProgramFolder() const override;
    std::string CombinePath(const std::string& folder, const std::string& name) const override;

private:
    std::string m_programFolder;
};

std::unique_ptr<TSkinFileSystem> CreatePlatformFileSystem();

// Reads an image file into a new bitmap by the rules of the file cache:
// a ".png" name (any case) through the PNG loader (dmBlend when the file has
// transparency); otherwise a "BM" file as a bitmap, anything else by its
// extension (JPEG). Throws EImageError naming the file when it cannot be
// decoded.
std::unique_ptr<TKsSkinImage> LoadImageFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                                            const TDecodeLimits& limits = {});

class TKsSkinResManager {
public:
    // builtIn is the store's image list (not owned; may be null).
    explicit TKsSkinResManager(TKsSkinImageList* builtIn,
                               std::unique_ptr<TSkinFileSystem> fileSystem = CreatePlatformFileSystem());
    ~TKsSkinResManager();
    TKsSkinResManager(const TKsSkinResManager&) = delete;
    TKsSkinResManager& operator=(const TKsSkinResManager&) = delete;

    // The bitmap for name, or nullptr when nothing matches. A file that
    // exists but cannot be decoded throws EImageError and caches nothing.
    const TBitmap32* GetBitmap(const std::string& name);
    // The cached bitmap for path, loading the file into the cache first.
    const TBitmap32* LoadFileBitmap(const std::string& path);
    // Index in the file cache (trimmed, ASCII case-insensitive), or -1.
    int FindCached(const std::string& path) const;
    // Index in the built-in store (same comparison), or -1.
    int FindBuiltIn(const std::string& id) const;

    TKsSkinImageList* BuiltInList() const { return m_builtIn; }
    TKsSkinImageList* FileCache() const { return m_fileCache.get(); }
    TSkinFileSystem& FileSystem() const { return *m_fileSystem; }

    TGetBitmapEvent OnGetBitmap;

private:
    TKsSkinImageList* m_builtIn;
    std::unique_ptr<TKsSkinImageList> m_fileCache;
    std::unique_ptr<TSkinFileSystem> m_fileSystem;
};

// The program's single manager, created at the first call on the data
// module's built-in list.
TKsSkinResManager& SkinResManager();
// Frees the manager and every bitmap it loaded from files.
void FinalizeSkinResManager();

}  // namespace ks
