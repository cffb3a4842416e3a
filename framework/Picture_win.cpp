#include "framework/Graphics_win.h"

#include "framework/TypInfo.h"
#include "framework/WideText_win.h"

#include <cwctype>
#include <map>

namespace fw {

const TClassInfo& TPicture::StaticClass()
{
    static const TClassInfo& info = DefineClass<TPicture, TPersistent>("TPicture").Register();
    return info;
}

// ---------------------------------------------------------------------------
// TPicture

namespace {

struct TFileFormat {
    std::wstring Description;
    TPicture::TGraphicFactory Factory;
};

std::wstring NormalizeExtension(std::wstring ext)
{
    if (!ext.empty() && ext[0] != L'.')
        ext.insert(ext.begin(), L'.');
    for (auto& c : ext)
        c = static_cast<wchar_t>(std::towlower(c));
    return ext;
}

std::map<std::wstring, TFileFormat>& FileFormats()
{
    static std::map<std::wstring, TFileFormat> formats = [] {
        std::map<std::wstring, TFileFormat> m;
        m[L".bmp"] = {L"Bitmaps", [] { return std::unique_ptr<TGraphic>(std::make_unique<TBitmap>()); }};
        return m;
    }();
    return formats;
}

}  // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Assign(const TPersistent& source)
{
    if (auto* picture = dynamic_cast<const TPicture*>(&source)) {
        if (picture == this)
            return;
        if (!picture->m_graphic) {
            SetGraphic(nullptr);
            return;
        }
        const TClassInfo& cls = picture->m_graphic->ClassType();
        std::unique_ptr<TGraphic> copy;
        if (dynamic_cast<const TBitmap*>(picture->m_graphic.get())) {
            copy = std::make_unique<TBitmap>();
        } else {
            for (auto& [ext, format] : FileFormats()) {
                std::unique_ptr<TGraphic> candidate = format.Factory();
                if (&candidate->ClassType() == &cls) {
                    copy = std::move(candidate);
                    break;
                }
            }
        }
        if (!copy)
            throw EFrameworkError("Cannot assign a " + cls.Name() + " to a TPicture");
        copy->Assign(*picture->m_graphic);
        SetGraphic(std::move(copy));
        return;
    }
    if (auto* graphic = dynamic_cast<const TGraphic*>(&source)) {
        if (dynamic_cast<const TBitmap*>(graphic)) {
            auto copy = std::make_unique<TBitmap>();
            copy->Assign(*graphic);
            SetGraphic(std::move(copy));
            return;
        }
    }
    TPersistent::Assign(source);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic)
{
    m_graphic = std::move(graphic);
    if (m_graphic)
        m_graphic->SetOnChange([this](TObject*) { Changed(); });
    Changed();
}

TBitmap& TPicture::Bitmap()
{
    auto* bitmap = dynamic_cast<TBitmap*>(m_graphic.get());
    if (!bitmap) {
        auto fresh = std::make_unique<TBitmap>();
        bitmap = fresh.get();
        SetGraphic(std::move(fresh));
    }
    return *bitmap;
}

void TPicture::LoadFromFile(const std::wstring& fileName)
{
    size_t dot = fileName.find_last_of(L'.');
    size_t slash = fileName.find_last_of(L"\\/");
    std::wstring ext;
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
        ext = fileName.substr(dot);
    ext = NormalizeExtension(ext);
    auto it = FileFormats().find(ext);
    if (ext.empty() || it == FileFormats().end()) {
        throw EInvalidGraphic("Unknown picture file extension (" + WideToUtf8(ext) + ")");
    }
    std::unique_ptr<TGraphic> graphic = it->second.Factory();
    graphic->LoadFromFile(fileName);
    SetGraphic(std::move(graphic));
}

void TPicture::LoadFromFile(const std::string& utf8FileName) { LoadFromFile(Utf8ToWide(utf8FileName)); }

void TPicture::RegisterFileFormat(const std::wstring& extension, const std::wstring& description,
                                  TGraphicFactory factory)
{
    FileFormats()[NormalizeExtension(extension)] = {description, std::move(factory)};
}

void TPicture::UnregisterFileFormat(const std::wstring& extension)
{
    FileFormats().erase(NormalizeExtension(extension));
}

bool TPicture::IsRegisteredFileFormat(const std::wstring& extension)
{
    return FileFormats().count(NormalizeExtension(extension)) != 0;
}

void TPicture::Changed()
{
    if (m_onChange)
        m_onChange(this);
}

}  // namespace fw
