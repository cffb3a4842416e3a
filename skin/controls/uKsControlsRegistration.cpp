// Registers the skinned controls' component classes with the class registry
// when the program starts. Stored layouts create the label by class name only;
// this object file goes into every program that links ks_controls (see
// CMakeLists.txt), and its references pull the classes' object files in.
#include "skin/controls/uKsSkinCtrls.h"
#include "skin/controls/uKsSkinLabel.h"
#include "skin/controls/uKsSkinMenu.h"

namespace {

[[maybe_unused]] const bool g_controlClassesRegistered = [] {
    ks::TKsSkinCustomControl::StaticClass();
    ks::TKsSkinCustomPanel::StaticClass();
    ks::TKsSkinCustomLabel::StaticClass();
    ks::TKsSkinLabel::StaticClass();
    ks::TKsSkinMenu::StaticClass();
    return true;
}();

}  // namespace
