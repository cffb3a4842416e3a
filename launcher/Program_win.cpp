// Program entry: no command line is read; the program ends from the main
// form's timer (see Main.cpp).
//
// The skin is decoration; the program exists to open the address. What fails
// in the skin is caught where it happens (a picture that cannot be loaded,
// a drawing step, a message handler: see the picture references, the form
// controller and the framework's window procedures). What still reaches this
// entry is reported the framework's way and the program goes on: without the
// waiting window if the form could not be made, with the hand-off on a timer
// of its own, so that the address is opened once and the program ends as
// usual.
#include "framework/ExtCtrls_win.h"
#include "framework/Forms_win.h"
#include "framework/SystemLibrary_win.h"
#include "framework/UtilWindow_win.h"
#include "launcher/ApplicationTitle_win.h"
#include "launcher/Main.h"
#include "skin/frame/FormSkinSettings.h"
#include "skin/resources/uKsSkinResDM.h"

#include <windows.h>

namespace {

inline constexpr unsigned kHandOffIntervalMs = 500;

void Report() noexcept { fw::ReportException(std::current_exception()); }

// The hand-off without the waiting window.
void StartHandOffWithoutWindow()
{
    auto* timer = new fw::TTimer(fw::Application);
    timer->SetInterval(kHandOffIntervalMs);
    timer->SetOnTimer([](fw::TObject*) { HandOffTimerTick(); });
    timer->SetEnabled(true);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before anything can load a library: never from the program's folder.
    fw::RestrictDllSearchToSystem();

    // The skin engine first: the built-in image store loads now, so that a
    // damaged store is reported at start-up rather than at the first paint,
    // and the shared form-settings record exists before any form.
    try {
        ks::InitializeKsSkinResDM();
        ks::GlobalFormSkin();
    } catch (...) {
        Report();
    }

    fw::Application->Initialize();
    fw::Application->SetTitle(launcher::ApplicationTitle());
    try {
        fw::Application->CreateForm(FormMain);
    } catch (...) {
        Report();
        StartHandOffWithoutWindow();
    }
    try {
        fw::Application->Run();
    } catch (...) {
        // Showing the form failed: the messages, and the hand-off's timer
        // with them, still run.
        Report();
        while (!fw::Application->Terminated())
            fw::Application->HandleMessage();
    }
    return 0;
}
