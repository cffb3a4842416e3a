// libFuzzer target: the skin configuration reader. The bytes are the file
// "Skin\Config.xml"; whatever it loads is then pushed through the colour
// shifts and the gradient that a form would draw with it.
#include "skin/frame/FrameGeometry.h"
#include "skin/frame/uKsSkinHelper.h"
#include "skin/frame/uKsSkinRes.h"
#include "skin/render/Bitmap32.h"
#include "skin/render/BitmapHelpers.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

struct FuzzFiles : ks::TKsConfigFiles {
    std::string config;
    std::string ProgramFolder() const override { return "P\\"; }
    bool FileExists(const std::string& path) const override
    {
        return path == "P\\Skin\\Config.xml" || path == "P\\Skin\\Custom\\bg.png";
    }
    std::string ReadFile(const std::string&) const override { return config; }
    void CreateFolders(const std::string&) const override {}
    void WriteAtomically(const std::string&, const std::string&) const override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto files = std::make_unique<FuzzFiles>();
    files->config.assign(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<ks::TKsSkinRes> res;
    try {
        res = std::make_unique<ks::TKsSkinRes>(nullptr, std::move(files));
    } catch (const ks::EConfigError&) {
        ks::SkinHsbH = ks::SkinHsbS = ks::SkinHsbB = 0;
        return 0;
    }
    const ks::TKsFormSkinRes& f = *res->Form();
    ks::ShiftColorHsb(static_cast<std::int32_t>(f.TitlerColor()), ks::SkinHsbH, ks::SkinHsbS, ks::SkinHsbB);
    ks::ShiftPixelHsl(0xFF3080C0u, ks::SkinHsbH, ks::SkinHsbS, ks::SkinHsbB);
    ks::TBitmap32 title;
    title.Resize(8, 30);
    ks::GradientFillBitmap(title, f.TitlerColor(), f.Color(), true, fw::TRect(0, 0, 8, f.GradientHeight()));
    res->SaveConfig();
    ks::SkinHsbH = ks::SkinHsbS = ks::SkinHsbB = 0;
    return 0;
}
