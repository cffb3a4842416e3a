// The gallery's entry: the skin engine's start-up, then the form until it is
// closed.
#include "framework/Forms_win.h"
#include "gallery/Gallery.h"
#include "skin/frame/FormSkinSettings.h"
#include "skin/resources/uKsSkinResDM.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    ks::InitializeKsSkinResDM();
    ks::GlobalFormSkin();

    fw::Application->Initialize();
    fw::Application->SetTitle(L"Skin engine gallery");
    fw::Application->CreateForm(FormGallery);
    fw::Application->Run();
    return 0;
}
