// Title-bar buttons, drawn from a strip of state frames in one skin image.
//
// TKsSkinCustomNCButton holds the button logic: enabled state, normal, hot
// and pressed drawing, a sticky Down state with groups, a cursor of its own,
// a click event and an optional caption. TKsSkinNCButton publishes the
// caption with its two fonts and offset. TKsSkinSystemButton is a close,
// minimise or maximise/restore button: it sends the matching system command
// to its form and shows the restore strip while the form is maximised.
// Windows only.
#pragma once

#include "skin/frame/uKsSkinNCCtrlBase.h"

#include "framework/Controls.h"
#include "skin/resources/uKsSkinIntf.h"

#include <memory>
#include <string>

namespace fw {
class TFont;
}

namespace ks {

class TKsSkinCustomNCButton : public TKsSkinNCCtrlBase {
    FW_CLASS(TKsSkinCustomNCButton)

    explicit TKsSkinCustomNCButton(fw::TComponent* owner);
    ~TKsSkinCustomNCButton() override;

    // --- published ----------------------------------------------------------------
    // A release toggles Down.
    bool AllowAllUp() const { return m_model.AllowAllUp(); }
    void SetAllowAllUp(bool v) { m_model.SetAllowAllUp(v); }
    TPngPictures* Picture() const { return m_picture.get(); }
    void SetPicture(const TPngPictures& v);
    // Shown while the mouse is over the button; 0 leaves the cursor alone.
    fw::TCursor Cursor() const { return m_cursor; }
    void SetCursor(fw::TCursor v) { m_cursor = v; }
    bool Down() const { return m_model.Down(); }
    void SetDown(bool v) { m_model.SetDown(v); }
    // Buttons with the same positive group index release each other.
    int GroupIndex() const { return m_model.GroupIndex(); }
    void SetGroupIndex(int v) { m_model.SetGroupIndex(v); }
    bool Enabled() const { return m_model.Enabled(); }
    // Disabling gives back a cursor the button set.
    void SetEnabled(bool v);
    const fw::TNotifyEvent& OnClick() const { return m_onClick; }
    void SetOnClick(fw::TNotifyEvent e) { m_onClick = std::move(e); }

    // --- caption (published by TKsSkinNCButton) ----------------------------------------
    const std::string& Caption() const { return m_caption; }
    // A different text repaints.
    void SetCaption(const std::string& v);
    TKsOffset* CaptionOffset() const { return m_captionOffset.get(); }
    void SetCaptionOffset(const TKsOffset& v) { m_captionOffset->Assign(v); }
    // The caption's font in the normal state, and in the hot and pressed states.
    fw::TFont* Font() const { return m_font.get(); }
    void SetFont(const fw::TFont& v);
    fw::TFont* HotFont() const { return m_hotFont.get(); }
    void SetHotFont(const fw::TFont& v);

    // 0 normal, 1 hot, 2 pressed.
    int DrawingState() const { return m_model.DrawingState(); }

    // --- button operations -----------------------------------------------------------
    // Sizes the box to one frame of the picture (0 x 0 without one) and repaints.
    virtual void PictureChanged(fw::TObject* sender);
    // Raises the other buttons of the same group in the controller's list.
    virtual void ReleaseGroup();
    // Fires OnClick when enabled.
    virtual void Click();

    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove() override;
    void LMouseDown() override;
    void LMouseUp() override;
    void Paint(TBitmap32& bitmap) override;

    NCButtonModel* ButtonModel() override { return &m_model; }

protected:
    // Hiding gives back a cursor the button set.
    void VisibleChanged() override;

private:
    // Puts the default cursor back if this button set its own and the form
    // still keeps it.
    void ReleaseCursor();

    NCButtonModel m_model;
    std::unique_ptr<fw::TFont> m_font;
    std::unique_ptr<fw::TFont> m_hotFont;
    std::unique_ptr<TPngPictures> m_picture;
    std::unique_ptr<TKsOffset> m_captionOffset;
    std::string m_caption;
    fw::TCursor m_cursor = 0;
    // This button replaced the cursor and has not put it back yet.
    bool m_cursorSetHere = false;
    fw::TNotifyEvent m_onClick;
};

class TKsSkinNCButton : public TKsSkinCustomNCButton {
    FW_CLASS(TKsSkinNCButton)

    explicit TKsSkinNCButton(fw::TComponent* owner);
    ~TKsSkinNCButton() override;
};

class TKsSkinSystemButton : public TKsSkinCustomNCButton {
    FW_CLASS(TKsSkinSystemButton)

    explicit TKsSkinSystemButton(fw::TComponent* owner);
    ~TKsSkinSystemButton() override;

    TSystemButtonKind Kind() const { return m_kind; }
    // A different kind takes its strip (and, with Pos.UseDefault, its place).
    void SetKind(TSystemButtonKind v);
    const std::string& CloseImage() const { return m_images.Close; }
    void SetCloseImage(const std::string& v) { SetImageName(m_images.Close, v); }
    const std::string& MinimizeImage() const { return m_images.Minimize; }
    void SetMinimizeImage(const std::string& v) { SetImageName(m_images.Minimize, v); }
    const std::string& MaximizeImage() const { return m_images.Maximize; }
    void SetMaximizeImage(const std::string& v) { SetImageName(m_images.Maximize, v); }
    const std::string& RestoresizeImage() const { return m_images.Restore; }
    void SetRestoresizeImage(const std::string& v) { SetImageName(m_images.Restore, v); }

    // WM_SYSCOMMAND for Kind to window: close, minimise, or maximise or
    // restore by the window's WS_MAXIMIZE style.
    void SendSysCommand(HWND window);
    // The strip for Kind; with Pos.UseDefault also its default place.
    virtual void ApplyKind();

    void PictureChanged(fw::TObject* sender) override;
    void LMouseUp() override;
    void Paint(TBitmap32& bitmap) override;

private:
    void SetImageName(std::string& field, const std::string& value);
    bool OwnerMaximizedStyle() const;

    TSystemButtonKind m_kind = bkClose;
    SystemButtonImages m_images;
};

}  // namespace ks
