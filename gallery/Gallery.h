// The gallery's one form: the skinned frame with its layered border, the
// title-bar buttons and label, and skinned labels with each of the label's
// options. Everything it shows comes from its stored layout
// (Gallery.layout); a new showcase is a new block there and, when code
// needs to reach it, a published field here.
#pragma once

#include "framework/Forms_win.h"
#include "skin/controls/uKsSkinLabel.h"
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
};

extern TFormGallery* FormGallery;
