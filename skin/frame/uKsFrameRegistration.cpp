// Registers the frame's component classes with the class registry when the
// program starts. Stored layouts create components by class name only, so
// nothing else in a program refers to these classes; this object file is
// linked into every program that uses ks_frame (see CMakeLists.txt), and its
// references pull the classes' own object files in with it.
#include "skin/frame/uKsFormBorder.h"
#include "skin/frame/uKsSkinForm.h"
#include "skin/frame/uKsSkinMainMenu.h"
#include "skin/frame/uKsSkinNCButton.h"
#include "skin/frame/uKsSkinNCLabel.h"
#include "skin/frame/uKsSkinRes.h"

namespace {

[[maybe_unused]] const bool g_frameClassesRegistered = [] {
    ks::TKsSkinForm::StaticClass();
    ks::TKsSkinFormOptions::StaticClass();
    ks::TKsSkinMainMenu::StaticClass();
    ks::TKsSkinNCCtrlBase::StaticClass();
    ks::TKsSkinCustomNCButton::StaticClass();
    ks::TKsSkinNCButton::StaticClass();
    ks::TKsSkinSystemButton::StaticClass();
    ks::TKsSkinNCLabel::StaticClass();
    ks::TKsSkinRes::StaticClass();
    ks::TKsBorderSize::StaticClass();
    ks::TKsFormLayerBorder::StaticClass();
    ks::TksFormLayerWindow::StaticClass();
    return true;
}();

}  // namespace
