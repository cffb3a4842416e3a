// TPopupListEx: the framework's popup list with three more duties. While it
// is installed the active form learns when a menu loop starts
// (CM_SKIN_ENTERMENULOOP), ends (CM_SKIN_EXITMENULOOP) and when a menu has
// closed (CM_SKIN_MENUCLOSED). The title-bar menu bar installs it; installs
// are counted and the last uninstall puts the framework's list back.
// Windows only.
#pragma once

#include "framework/PopupList_win.h"

namespace ks {

class TPopupListEx : public fw::TPopupList {
public:
    void WndProc(fw::TMessage& message) override;

    // The first install puts a new list (with every popup menu registered so
    // far) in the framework's place; each install counts.
    static void Install();
    // The last uninstall puts the framework's list back, with the popup menus
    // registered meanwhile, and frees the replacement.
    static void Uninstall();
    static int InstallCount();
};

}  // namespace ks
