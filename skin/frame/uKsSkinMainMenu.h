// TKsSkinMainMenu: the settings of a skinned form's title-bar menu bar, owned
// by the form controller and published as its MainMenu property: the caption
// font, where the first item goes, the picture reference carried in the stored
// layout, and the hot and pressed highlight colours. The items themselves are
// title-bar elements built from a linked main menu.
#pragma once

#include "skin/frame/uKsSkinNCCtrlBase.h"
#include "skin/resources/uKsSkinIntf.h"

#include "framework/Classes.h"
#include "framework/Graphics_win.h"

#include <memory>


namespace ks {

class TKsSkinForm;

class TKsSkinMainMenu : public fw::TPersistent {
    FW_CLASS(TKsSkinMainMenu)

    explicit TKsSkinMainMenu(TKsSkinForm* controller = nullptr);
    ~TKsSkinMainMenu() override;

    TKsSkinForm* Controller() const { return m_controller; }
    fw::TPersistent* GetOwner() const override;

    fw::TFont* Font() const { return m_font.get(); }
    void SetFont(const fw::TFont& font) { m_font->Assign(font); }
    TNCCtrlPos* Pos() const { return m_pos.get(); }
    void SetPos(const TNCCtrlPos& pos) { m_pos->Assign(pos); }
    TPngPictures* Pictures() const { return m_pictures.get(); }
    void SetPictures(const TPngPictures& pictures) { m_pictures->Assign(pictures); }
    fw::TColor HotColor() const { return m_hotColor; }
    void SetHotColor(fw::TColor v) { m_hotColor = v; }
    fw::TColor PressColor() const { return m_pressColor; }
    void SetPressColor(fw::TColor v) { m_pressColor = v; }

    // Copies the published values of another settings object.
    void Assign(const fw::TPersistent& source) override;

private:
    TKsSkinForm* m_controller;
    std::unique_ptr<fw::TFont> m_font;
    std::unique_ptr<TNCCtrlPos> m_pos;
    std::unique_ptr<TPngPictures> m_pictures;
    fw::TColor m_hotColor = 11463932;   // 0x00AEECFC
    fw::TColor m_pressColor = 8184058;  // 0x007CE0FA
};

}  // namespace ks
