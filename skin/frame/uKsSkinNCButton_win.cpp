// Title-bar buttons: state frames, Down with groups, cursor, caption, and the
// system buttons' commands and strips.
#include "skin/frame/uKsSkinNCButton.h"

#include "framework/Forms_win.h"
#include "framework/Graphics_win.h"
#include "framework/ScopeGuard.h"
#include "framework/TypInfo.h"
#include "skin/frame/uKsSkinForm.h"
#include "skin/frame/uKsSkinHelper.h"
#include "skin/render/Bitmap32.h"

namespace ks {

// --- published tables -------------------------------------------------------------------------

const fw::TClassInfo& TKsSkinCustomNCButton::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinCustomNCButton, TKsSkinNCCtrlBase>("TKsSkinCustomNCButton")
            .Bool("AllowAllUp", &TKsSkinCustomNCButton::AllowAllUp, &TKsSkinCustomNCButton::SetAllowAllUp, false)
            .Object("Picture", &TKsSkinCustomNCButton::Picture)
            .Int("Cursor", &TKsSkinCustomNCButton::Cursor, &TKsSkinCustomNCButton::SetCursor, 0, fw::CursorIdents())
            .Bool("Down", &TKsSkinCustomNCButton::Down, &TKsSkinCustomNCButton::SetDown, false)
            .Int("GroupIndex", &TKsSkinCustomNCButton::GroupIndex, &TKsSkinCustomNCButton::SetGroupIndex, 0)
            .Bool("Enabled", &TKsSkinCustomNCButton::Enabled, &TKsSkinCustomNCButton::SetEnabled, true)
            .Event("OnClick", &TKsSkinCustomNCButton::SetOnClick)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinCustomNCButton)

const fw::TClassInfo& TKsSkinNCButton::StaticClass()
{
    static const fw::TClassInfo& info = fw::DefineClass<TKsSkinNCButton, TKsSkinCustomNCButton>("TKsSkinNCButton")
                                            .WString("Caption", &TKsSkinNCButton::Caption, &TKsSkinNCButton::SetCaption)
                                            .Object("CaptionOffset", &TKsSkinNCButton::CaptionOffset)
                                            .Object("Font", &TKsSkinNCButton::Font)
                                            .Object("HotFont", &TKsSkinNCButton::HotFont)
                                            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinNCButton)

const fw::TClassInfo& TKsSkinSystemButton::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinSystemButton, TKsSkinCustomNCButton>("TKsSkinSystemButton")
            .Enum("Kind", &TKsSkinSystemButton::Kind, &TKsSkinSystemButton::SetKind,
                  {"bkClose", "bkMinimize", "bkMaximize"}, bkClose)
            .String("CloseImage", &TKsSkinSystemButton::CloseImage, &TKsSkinSystemButton::SetCloseImage)
            .String("MinimizeImage", &TKsSkinSystemButton::MinimizeImage, &TKsSkinSystemButton::SetMinimizeImage)
            .String("MaximizeImage", &TKsSkinSystemButton::MaximizeImage, &TKsSkinSystemButton::SetMaximizeImage)
            .String("RestoresizeImage", &TKsSkinSystemButton::RestoresizeImage,
                    &TKsSkinSystemButton::SetRestoresizeImage)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinSystemButton)

// --- TKsSkinCustomNCButton ---------------------------------------------------------------------

TKsSkinCustomNCButton::TKsSkinCustomNCButton(fw::TComponent* owner)
    : TKsSkinNCCtrlBase(owner),
      m_font(std::make_unique<fw::TFont>()),
      m_hotFont(std::make_unique<fw::TFont>()),
      m_picture(std::make_unique<TPngPictures>()),
      m_captionOffset(std::make_unique<TKsOffset>())
{
    m_model.OnRepaint = [this] { RequestRepaint(); };
    m_model.OnReleaseGroup = [this] { ReleaseGroup(); };
    m_font->SetOnChange([this](fw::TObject*) { RequestRepaint(); });
    m_hotFont->SetOnChange([this](fw::TObject*) { RequestRepaint(); });
    m_picture->SetActive(true);
    // Subscribing notifies at once: with no image yet the box becomes 0 x 0.
    m_picture->SetPicturesChanged([this](fw::TObject* sender) { PictureChanged(sender); });
}

TKsSkinCustomNCButton::~TKsSkinCustomNCButton()
{
    Retire();
    if (m_cursorSetHere)
        ElementCursorSet = false;
}

void TKsSkinCustomNCButton::SetPicture(const TPngPictures& v)
{
    if (&v != m_picture.get())
        m_picture->Assign(v);
}

void TKsSkinCustomNCButton::SetCaption(const std::string& v)
{
    if (v == m_caption)
        return;
    m_caption = v;
    RequestRepaint();
}

void TKsSkinCustomNCButton::SetEnabled(bool v)
{
    m_model.SetEnabled(v);
    if (!v)
        ReleaseCursor();
}

void TKsSkinCustomNCButton::VisibleChanged()
{
    if (!Visible())
        ReleaseCursor();
}

// A hot button that is hidden or disabled (by its own click handler, say)
// never gets a leave that would give the cursor back: without this the form
// would keep swallowing WM_SETCURSOR and never show a sizing cursor again.
void TKsSkinCustomNCButton::ReleaseCursor()
{
    if (!m_cursorSetHere)
        return;
    m_cursorSetHere = false;
    if (!ElementCursorSet)
        return;
    ElementCursorSet = false;
    if (fw::Screen != nullptr)
        ::SetCursor(fw::Screen->Cursors(fw::crDefault));
}

void TKsSkinCustomNCButton::SetFont(const fw::TFont& v) { m_font->Assign(v); }

void TKsSkinCustomNCButton::SetHotFont(const fw::TFont& v) { m_hotFont->Assign(v); }

void TKsSkinCustomNCButton::PictureChanged(fw::TObject*)
{
    if (m_picture->Source() != nullptr) {
        Pos()->SetElementWidth(m_picture->FrameWidth());
        Pos()->SetElementHeight(m_picture->FrameHeight());
    } else {
        Pos()->SetElementWidth(0);
        Pos()->SetElementHeight(0);
    }
    RequestRepaint();
}

void TKsSkinCustomNCButton::ReleaseGroup()
{
    // Only a registered button knows the others.
    if (Registered())
        ReleaseButtonGroup(*this);
}

void TKsSkinCustomNCButton::Click()
{
    if (Enabled())
        Fire(m_onClick);
}

void TKsSkinCustomNCButton::MouseEnter()
{
    if (!Visible())
        return;
    if (Enabled()) {
        m_model.Enter();
        if (m_cursor != 0 && fw::Screen != nullptr) {
            ::SetCursor(fw::Screen->Cursors(m_cursor));
            ElementCursorSet = true;
            m_cursorSetHere = true;
        }
    }
    TKsSkinNCCtrlBase::MouseEnter();
}

void TKsSkinCustomNCButton::MouseLeave()
{
    if (Visible() && Enabled()) {
        m_model.Leave();
        if (ElementCursorSet) {
            ElementCursorSet = false;
            m_cursorSetHere = false;
            if (fw::Screen != nullptr)
                ::SetCursor(fw::Screen->Cursors(fw::crDefault));
        }
    } else {
        ReleaseCursor();
    }
    TKsSkinNCCtrlBase::MouseLeave();
}

void TKsSkinCustomNCButton::MouseMove()
{
    if (!Visible() || !Enabled() || m_cursor == 0 || fw::Screen == nullptr)
        return;
    HCURSOR wanted = fw::Screen->Cursors(m_cursor);
    if (::GetCursor() == wanted)
        return;
    ElementCursorSet = false;
    ::SetCursor(wanted);
    ElementCursorSet = true;
    m_cursorSetHere = true;
}

void TKsSkinCustomNCButton::LMouseDown()
{
    m_model.Press();
    TKsSkinNCCtrlBase::LMouseDown();
}

void TKsSkinCustomNCButton::LMouseUp()
{
    const bool click = m_model.Release(Visible());
    const std::weak_ptr<int> alive = LifeToken();
    TKsSkinNCCtrlBase::LMouseUp();
    // OnLMouseUp may have freed the button.
    if (click && !alive.expired())
        Click();
}

void TKsSkinCustomNCButton::Paint(TBitmap32& bitmap)
{
    TKsSkinNCCtrlBase::Paint(bitmap);
    if (m_picture->Active()) {
        TKsSkinImage frame;
        bool cut = false;
        switch (FrameKindFor(m_model.DrawingState(), m_model.Enabled())) {
        case NCFrameKind::Normal:
            cut = m_picture->GetNormalFrame(&frame);
            break;
        case NCFrameKind::Hot:
            cut = m_picture->GetHotFrame(&frame);
            break;
        case NCFrameKind::Pressed:
            cut = m_picture->GetPressedFrame(&frame);
            break;
        case NCFrameKind::Disable:
            cut = m_picture->GetDisableFrame(&frame);
            break;
        }
        if (cut)
            DrawAt(bitmap, Pos()->Left(), Pos()->Top(), frame);
    }
    if (!m_caption.empty()) {
        bitmap.SetFont(m_model.DrawingState() == bdsNormal ? *m_font : *m_hotFont);
        const TSize text = bitmap.MeasureText(m_caption);
        // The box grows to hold the caption; it never shrinks here.
        if (text.cx > Pos()->ElementWidth())
            Pos()->SetElementWidth(text.cx);
        if (text.cy > Pos()->ElementHeight())
            Pos()->SetElementHeight(text.cy);
        bitmap.TextOutAt(Pos()->Left() + m_captionOffset->X(), Pos()->Top() + m_captionOffset->Y(), m_caption);
    }
}

// --- TKsSkinNCButton ------------------------------------------------------------------------------

TKsSkinNCButton::TKsSkinNCButton(fw::TComponent* owner) : TKsSkinCustomNCButton(owner) {}

TKsSkinNCButton::~TKsSkinNCButton() { Retire(); }

// --- TKsSkinSystemButton ---------------------------------------------------------------------

TKsSkinSystemButton::TKsSkinSystemButton(fw::TComponent* owner) : TKsSkinCustomNCButton(owner)
{
    m_kind = bkClose;
    m_images.Close = "KsSkinBtn_close";
    m_images.Minimize = "KsSkinBtn_mini";
    m_images.Maximize = "KsSkinBtn_max";
    m_images.Restore = "KsSkinBtn_restore";
    // Sizes the box to one frame of the close strip.
    Picture()->SetImage(m_images.Close);
    Pos()->SetAlign(caRight);
    Pos()->SetXValue(SystemButtonDefaultX(bkClose));
    Pos()->SetYValue(kSystemButtonDefaultY);
    Pos()->SetUseDefault(true);
}

TKsSkinSystemButton::~TKsSkinSystemButton() { Retire(); }

void TKsSkinSystemButton::SetKind(TSystemButtonKind v)
{
    if (v == m_kind)
        return;
    m_kind = v;
    ApplyKind();
}

void TKsSkinSystemButton::SetImageName(std::string& field, const std::string& value)
{
    if (value == field)
        return;
    field = value;
    PictureChanged(Picture());
}

void TKsSkinSystemButton::ApplyKind()
{
    // Setting the name the picture already has changes nothing, which ends
    // the PictureChanged -> ApplyKind -> PictureChanged chain.
    Picture()->SetImage(SystemButtonImage(m_kind, m_images));
    if (Pos()->UseDefault()) {
        Pos()->SetXValue(SystemButtonDefaultX(m_kind));
        Pos()->SetYValue(kSystemButtonDefaultY);
    }
}

void TKsSkinSystemButton::PictureChanged(fw::TObject* sender)
{
    TKsSkinCustomNCButton::PictureChanged(sender);
    ApplyKind();
}

bool TKsSkinSystemButton::OwnerMaximizedStyle() const
{
    HWND h = OwnerWindow();
    return h != nullptr && (::GetWindowLongPtrW(h, GWL_STYLE) & WS_MAXIMIZE) != 0;
}

void TKsSkinSystemButton::SendSysCommand(HWND window)
{
    if (window == nullptr)
        return;
    const bool maximized = (::GetWindowLongPtrW(window, GWL_STYLE) & WS_MAXIMIZE) != 0;
    ::SendMessageW(window, WM_SYSCOMMAND, SystemButtonCommand(m_kind, maximized), 0);
}

void TKsSkinSystemButton::LMouseUp()
{
    const std::weak_ptr<int> alive = LifeToken();
    TKsSkinCustomNCButton::LMouseUp();
    // OnLMouseUp and OnClick run before the command; either may have freed
    // the button.
    if (alive.expired() || !Enabled())
        return;
    fw::TWinControl* target = HostForm() != nullptr ? HostForm() : OwnerControl();
    if (target != nullptr && target->HandleAllocated())
        SendSysCommand(target->Handle());
}

void TKsSkinSystemButton::Paint(TBitmap32& bitmap)
{
    // Locked: the swap neither resizes nor repaints, so the box keeps the
    // size ApplyKind gave it.
    Picture()->BeginChange();
    {
        auto unlock = fw::OnScopeExit([this] { Picture()->EndChange(); });
        if (m_kind == bkMaximize)
            Picture()->SetImage(SystemButtonPaintImage(m_kind, OwnerMaximizedStyle(), m_images));
    }
    TKsSkinCustomNCButton::Paint(bitmap);
}

}  // namespace ks
