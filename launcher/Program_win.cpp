// Program entry: no command line is read; the program ends from the main
// form's timer (see Main.cpp).
#include "framework/Forms_win.h"
#include "launcher/Main.h"
#include "skin/frame/FormSkinSettings.h"
#include "skin/resources/uKsSkinResDM.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace {

// "Tarvel工程管理服务平台", held as the GBK (code page 936) bytes the
// product has always used for its title.
constexpr char kApplicationTitleGbk[] =
    "Tarvel\xB9\xA4\xB3\xCC\xB9\xDC\xC0\xED\xB7\xFE\xCE\xF1\xC6\xBD\xCC\xA8";

// Converts explicitly from code page 936, so that the title reads the same on a
// system of any locale (the system's ANSI code page would garble it elsewhere).
std::wstring FromCodePage(UINT codePage, std::string_view bytes) {
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The skin engine first: the built-in image store loads now, so that a
    // damaged store fails at start-up rather than at the first paint, and the
    // shared form-settings record exists before any form.
    ks::InitializeKsSkinResDM();
    ks::GlobalFormSkin();

    fw::Application->Initialize();
    fw::Application->SetTitle(FromCodePage(936, kApplicationTitleGbk));
    fw::Application->CreateForm(FormMain);
    fw::Application->Run();
    return 0;
}
