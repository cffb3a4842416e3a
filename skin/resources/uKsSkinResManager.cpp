#include "skin/resources/uKsSkinResManager.h"

#include "skin/resources/uKsSkinResDM.h"

#include "framework/ScopeGuard.h"

#include <memory>
#include <utility>

namespace ks {

namespace {

// The extension of path in upper case (".PNG"), or empty: the part from the
// last dot after the last path separator.
std::string UpperExtension(const std::string& path)
{
    const std::size_t dot = path.find_last_of('.');
    const std::size_t separator = path.find_last_of("/\\:");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return {};
    std::string ext = path.substr(dot);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return ext;
}

// Decodes straight into the bitmap's own storage.
class TBitmapSink : public TImageSink {
public:
    explicit TBitmapSink(TBitmap32& bitmap) : m_bitmap(bitmap) {}
    TColor32* SetSize(int width, int height) override
    {
        m_bitmap.Resize(width, height);
        return m_bitmap.Bits();
    }

private:
    TBitmap32& m_bitmap;
};

}  // namespace

std::unique_ptr<TKsSkinImage> LoadImageFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                                            const TDecodeLimits& limits)
{
    auto image = std::make_unique<TKsSkinImage>();
    TBitmapSink sink(*image);
    const std::string ext = UpperExtension(path);
    try {
        if (ext == ".PNG") {
            const TPngTransparency transparency = DecodePng(bytes, sink, limits);
            image->SetDrawMode(transparency == TPngTransparency::None ? dmOpaque : dmBlend);
        } else if (IsBmpSignature(bytes)) {
            DecodeBmp(bytes, sink, limits);
        } else if (ext == ".JPG" || ext == ".JPEG" || ext == ".JPE" || ext == ".JFIF") {
            DecodeJpeg(bytes, sink, limits);
        } else if (ext == ".BMP" || ext == ".DIB") {
            throw EImageError("Not a bitmap file");
        } else {
            throw EImageError("Unknown picture file extension (" + ext + ")");
        }
    } catch (const EImageError& e) {
        throw EImageError("Cannot load the image \"" + path + "\": " + e.what());
    }
    return image;
}

// ---------------------------------------------------------------------------
// TKsSkinResManager

TKsSkinResManager::TKsSkinResManager(TKsSkinImageList* builtIn, std::unique_ptr<TSkinFileSystem> fileSystem)
    : m_builtIn(builtIn),
      m_fileCache(std::make_unique<TKsSkinImageList>(nullptr)),
      m_fileSystem(std::move(fileSystem))
{}

TKsSkinResManager::~TKsSkinResManager() = default;

int TKsSkinResManager::FindCached(const std::string& path) const { return m_fileCache->Bitmaps()->IndexOf(path); }

int TKsSkinResManager::FindBuiltIn(const std::string& id) const
{
    return m_builtIn != nullptr ? m_builtIn->Bitmaps()->IndexOf(id) : -1;
}

const TBitmap32* TKsSkinResManager::GetBitmap(const std::string& name)
{
    if (SkinImageKey(name).empty())
        return nullptr;

    const TBitmap32* result = nullptr;
    // A file of exactly that name wins over a built-in image.
    if (m_fileSystem->FileExists(name))
        result = LoadFileBitmap(name);
    if (result == nullptr) {
        const int index = FindBuiltIn(name);
        if (index >= 0)
            result = m_builtIn->Bitmaps()->Items(index)->Bitmap();
    }
    if (result == nullptr) {
        const std::string path = m_fileSystem->CombinePath(m_fileSystem->ProgramFolder(), name);
        if (!path.empty() && m_fileSystem->FileExists(path))
            result = LoadFileBitmap(path);
    }
    if (OnGetBitmap)
        OnGetBitmap(this, name, result);
    return result;
}

const TBitmap32* TKsSkinResManager::LoadFileBitmap(const std::string& path)
{
    TKsSkinBitmapCollection& cache = *m_fileCache->Bitmaps();
    TKsSkinBitmapItem* item = nullptr;
    const int index = FindCached(path);
    if (index >= 0) {
        item = cache.Items(index);
    } else {
        // Decoded before anything is added: a file that fails leaves no
        // trace in the cache.
        const std::unique_ptr<TKsSkinImage> image = LoadImageFile(path, m_fileSystem->ReadFile(path));
        item = cache.Add();
        auto undo = fw::OnScopeExit([&] { cache.Delete(item->Index()); });
        item->SetBitmap(image.get());
        undo.Dismiss();
        item->SetResID(path);
        item->SetDescription({});
    }
    const TBitmap32* result = item->Bitmap();
    if (OnGetBitmap)
        OnGetBitmap(this, item->ResID(), result);
    return result;
}

// ---------------------------------------------------------------------------
// The single manager

namespace {

std::unique_ptr<TKsSkinResManager>& Instance()
{
    static std::unique_ptr<TKsSkinResManager> instance;
    return instance;
}

}  // namespace

TKsSkinResManager& SkinResManager()
{
    auto& instance = Instance();
    if (instance == nullptr)
        instance = std::make_unique<TKsSkinResManager>(KsSkinResDM()->KsSkinImageListMain);
    return *instance;
}

void FinalizeSkinResManager() { Instance().reset(); }

}  // namespace ks
