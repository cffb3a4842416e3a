// libFuzzer target: the component stream reader, with every class the
// resources library registers (data module, image list, bitmap items, picture
// references) and those of the framework and the pixel core. A stream whose
// root is the image-store data module is read onto one, as at start-up; any
// other root is created through the class registry.
#include "framework/Reader.h"
#include "skin/resources/uKsSkinIntf.h"
#include "skin/resources/uKsSkinResDM.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Classes that only streams name are registered when their code is
    // linked in: name them here.
    ks::TPngPictures::StaticClass();
    ks::TKsLightClass::StaticClass();
    ks::TKsOffset::StaticClass();
    ks::TKsSkinImage::StaticClass();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    try {
        if (fw::ReadStreamClassName(bytes) == "TKsSkinResDM") {
            ks::TKsSkinResDM module(nullptr, bytes);
        } else {
            std::unique_ptr<fw::TComponent> root(fw::CreateComponentFromStream(bytes, nullptr));
        }
    } catch (const fw::EFrameworkError&) {
    }
    return 0;
}
