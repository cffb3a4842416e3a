#include "skin/resources/uKsSkinResDM.h"

#include "framework/Reader.h"
#include "framework/TypInfo.h"
#include "skin/resources/uKsSkinResManager.h"

#include <memory>

namespace ks {

const fw::TClassInfo& TKsSkinResDM::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinResDM, fw::TComponent>("TKsSkinResDM")
            .Bool("OldCreateOrder", &TKsSkinResDM::OldCreateOrder, &TKsSkinResDM::SetOldCreateOrder)
            .Int("Height", &TKsSkinResDM::Height, &TKsSkinResDM::SetHeight)
            .Int("Width", &TKsSkinResDM::Width, &TKsSkinResDM::SetWidth)
            .Field("KsSkinImageListMain", &TKsSkinResDM::KsSkinImageListMain)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinResDM)

TKsSkinResDM::TKsSkinResDM(fw::TComponent* owner) : TKsSkinResDM(owner, BuiltInSkinStore()) {}

TKsSkinResDM::TKsSkinResDM(fw::TComponent* owner, std::span<const std::uint8_t> stream) : fw::TComponent(owner)
{
    fw::ReadComponentStream(stream, *this);
}

TKsSkinResDM::~TKsSkinResDM() = default;

namespace {

std::unique_ptr<TKsSkinResDM>& Instance()
{
    static std::unique_ptr<TKsSkinResDM> instance;
    return instance;
}

}  // namespace

TKsSkinResDM* KsSkinResDM()
{
    InitializeKsSkinResDM();
    return Instance().get();
}

void InitializeKsSkinResDM()
{
    auto& instance = Instance();
    if (instance == nullptr) {
        instance = std::make_unique<TKsSkinResDM>(nullptr);
        instance->SetName("KsSkinResDM");
    }
}

void FinalizeKsSkinResDM()
{
    // The manager borrows the built-in list: it goes first.
    FinalizeSkinResManager();
    Instance().reset();
}

}  // namespace ks
