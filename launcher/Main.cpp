#include "launcher/Main.h"

#include <cstdint>

#include "framework/TypInfo.h"
#include "launcher/HandOff.h"
#include "launcher/HandOffPlatform_win.h"
#include "launcher/WebAddress.h"

TFormMain* FormMain = nullptr;

namespace {

// Ticks of Timer1 since the form was created.
std::int32_t g_ticks = 0;

}  // namespace

const fw::TClassInfo& TFormMain::StaticClass()
{
    static const fw::TClassInfo& info = fw::DefineClass<TFormMain, fw::TForm>("TFormMain")
                                            .Field("KsSkinForm1", &TFormMain::KsSkinForm1)
                                            .Field("KsSkinSystemButton1", &TFormMain::KsSkinSystemButton1)
                                            .Field("KsSkinLabel1", &TFormMain::KsSkinLabel1)
                                            .Field("KsSkinNCLabel1", &TFormMain::KsSkinNCLabel1)
                                            .Field("Timer1", &TFormMain::Timer1)
                                            .Method("FormCreate", &TFormMain::FormCreate)
                                            .Method("Timer1Timer", &TFormMain::Timer1Timer)
                                            .Register();
    return info;
}
FW_REGISTER_CLASS(TFormMain)

TFormMain::TFormMain(fw::TComponent* owner) : fw::TForm(owner) { InitFromLayout(); }

void TFormMain::FormCreate(fw::TObject*) { g_ticks = 0; }

void TFormMain::Timer1Timer(fw::TObject*) { HandOffTimerTick(); }

void HandOffTimerTick()
{
    launcher::WinHandOffPlatform platform(fw::Application->Handle());
    launcher::HandOffTick(g_ticks, platform, launcher::kWebAddress);
}
