// The gallery's one form: the skinned frame with its layered border, the
// title-bar buttons, label and menu bar, skinned labels with each of the
// label's options, and a skinned popup menu on a right-click in the client.
// Everything it shows comes from its stored layout (Gallery.layout); a new
// showcase is a new block there and, when code needs to reach it, a
// published field here.
#pragma once

#include "framework/Forms_win.h"
#include "framework/Menus_win.h"
#include "skin/controls/uKsSkinLabel.h"
#include "skin/controls/uKsSkinMenu.h"
#include "skin/frame/uKsFormBorder.h"
#include "skin/frame/uKsSkinForm.h"
#include "skin/frame/uKsSkinNCButton.h"
#include "skin/frame/uKsSkinNCLabel.h"
#include "skin/frame/uKsSkinRes.h"

class TFormGallery : public fw::TForm {
    FW_CLASS(TFormGallery)

    explicit TFormGallery(fw::TComponent* owner);

    // Published fields, set by the stored layout.
    ks::TKsSkinForm* KsSkinForm1 = nullptr;
    ks::TKsFormLayerBorder* KsFormLayerBorder1 = nullptr;
    // Skin\Config.xml beside the program; edits on disk are followed.
    ks::TKsSkinRes* KsSkinRes1 = nullptr;
    ks::TKsSkinSystemButton* CloseButton = nullptr;
    ks::TKsSkinSystemButton* MaximizeButton = nullptr;
    ks::TKsSkinSystemButton* MinimizeButton = nullptr;
    ks::TKsSkinNCLabel* TitleLabel = nullptr;
    // The title-bar menu bar shows MainMenu1's entries; KsSkinMenu1 draws
    // their drop-downs and PopupMenu1, the client's right-click menu.
    fw::TMainMenu* MainMenu1 = nullptr;
    fw::TPopupMenu* PopupMenu1 = nullptr;
    ks::TKsSkinMenu* KsSkinMenu1 = nullptr;
    fw::TImageList* MenuImages = nullptr;

    // Published methods the menu items' OnClick are bound to.
    void ExitClick(fw::TObject* sender);
    void AboutClick(fw::TObject* sender);

protected:
    // WM_CONTEXTMENU (from the form or any control on it, keyboard or
    // mouse) opens PopupMenu1 at the cursor when the cursor is over the
    // client area.
    void Dispatch(fw::TMessage& message) override;
};

// The gallery's menu pictures: a strip of 16 x 16 straight-alpha icons drawn
// here rather than read from files (page, folder, disk, two pages,
// scissors, back arrow, information, circling arrow).
void AddGalleryIcons(fw::TCustomImageList& images);

extern TFormGallery* FormGallery;
