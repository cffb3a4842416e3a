// Program entry: no command line is read; the program ends from the main
// form's timer (see Main.cpp).
#include "framework/Forms_win.h"
#include "framework/SystemLibrary_win.h"
#include "launcher/ApplicationTitle_win.h"
#include "launcher/Main.h"
#include "skin/frame/FormSkinSettings.h"
#include "skin/resources/uKsSkinResDM.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything can load a library: never from the program's folder.
    fw::RestrictDllSearchToSystem();

    // The skin engine first: the built-in image store loads now, so that a
    // damaged store fails at start-up rather than at the first paint, and the
    // shared form-settings record exists before any form.
    ks::InitializeKsSkinResDM();
    ks::GlobalFormSkin();

    fw::Application->Initialize();
    fw::Application->SetTitle(launcher::ApplicationTitle());
    fw::Application->CreateForm(FormMain);
    fw::Application->Run();
    return 0;
}
