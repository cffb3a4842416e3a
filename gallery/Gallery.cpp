#include "gallery/Gallery.h"

#include "gallery/ConfigWatch_win.h"

#include "framework/TypInfo.h"

TFormGallery* FormGallery = nullptr;

const fw::TClassInfo& TFormGallery::StaticClass()
{
    static const fw::TClassInfo& info = fw::DefineClass<TFormGallery, fw::TForm>("TFormGallery")
                                            .Field("KsSkinForm1", &TFormGallery::KsSkinForm1)
                                            .Field("KsFormLayerBorder1", &TFormGallery::KsFormLayerBorder1)
                                            .Field("KsSkinRes1", &TFormGallery::KsSkinRes1)
                                            .Field("CloseButton", &TFormGallery::CloseButton)
                                            .Field("MaximizeButton", &TFormGallery::MaximizeButton)
                                            .Field("MinimizeButton", &TFormGallery::MinimizeButton)
                                            .Field("TitleLabel", &TFormGallery::TitleLabel)
                                            .Register();
    return info;
}
FW_REGISTER_CLASS(TFormGallery)

TFormGallery::TFormGallery(fw::TComponent* owner) : fw::TForm(owner)
{
    InitFromLayout();
    if (KsSkinRes1 != nullptr)
        new TConfigWatch(this, KsSkinRes1);
}
