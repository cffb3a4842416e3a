// The title-bar label: measuring, glow, ellipsis, plain or alpha text, and
// the press that moves the window.
#include "skin/frame/uKsSkinNCLabel.h"

#include "framework/Controls_win.h"
#include "framework/Forms_win.h"
#include "framework/Graphics_win.h"
#include "framework/TypInfo.h"
#include "framework/WideText_win.h"
#include "skin/frame/uKsSkinForm.h"
#include "skin/render/Bitmap32.h"
#include "skin/render/Color32.h"

namespace ks {

namespace {

inline constexpr int kLabelDefaultX = 5;
inline constexpr int kLabelDefaultY = 5;

}  // namespace

const fw::TClassInfo& TKsSkinNCLabel::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinNCLabel, TKsSkinNCCtrlBase>("TKsSkinNCLabel")
            .Object("Light", &TKsSkinNCLabel::Light)
            .Enum("EllipsisPosition", &TKsSkinNCLabel::EllipsisPosition, &TKsSkinNCLabel::SetEllipsisPosition,
                  {"epNone", "epPathEllipsis", "epEndEllipsis", "epWordEllipsis"}, epNone)
            .WString("Caption", &TKsSkinNCLabel::Caption, &TKsSkinNCLabel::SetCaption)
            .Object("Font", &TKsSkinNCLabel::Font)
            .Bool("CaptureMouse", &TKsSkinNCLabel::CaptureMouse, &TKsSkinNCLabel::SetCaptureMouse, true)
            .Bool("RenderText", &TKsSkinNCLabel::RenderText, &TKsSkinNCLabel::SetRenderText, false)
            .Int("MaxWidth", &TKsSkinNCLabel::MaxWidth, &TKsSkinNCLabel::SetMaxWidth, 0)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinNCLabel)

TKsSkinNCLabel::TKsSkinNCLabel(fw::TComponent* owner)
    : TKsSkinNCCtrlBase(owner),
      m_light(std::make_unique<TKsLightClass>()),
      m_font(std::make_unique<fw::TFont>())
{
    // A new measurement and a repaint after every font change.
    m_font->SetOnChange([this](fw::TObject*) {
        MakeStale();
        RequestRepaint();
    });
    if (const auto* form = dynamic_cast<const fw::TCustomForm*>(owner))
        m_caption = form->Caption();
    else
        m_caption = "NCLabel";
    Pos()->SetXValue(kLabelDefaultX);
    Pos()->SetYValue(kLabelDefaultY);
}

TKsSkinNCLabel::~TKsSkinNCLabel() { Retire(); }

void TKsSkinNCLabel::MakeStale() { m_stale = true; }

void TKsSkinNCLabel::SetEllipsisPosition(TEllipsisPosition v)
{
    if (v == m_ellipsisPosition)
        return;
    m_ellipsisPosition = v;
    RequestRepaint();
}

void TKsSkinNCLabel::SetCaption(const std::string& v)
{
    m_caption = v;
    MakeStale();
    RequestRepaint();
}

void TKsSkinNCLabel::SetFont(const fw::TFont& v) { m_font->Assign(v); }

void TKsSkinNCLabel::Measure()
{
    if (!m_stale)
        return;
    fw::TWinControl* owner = OwnerControl();
    if (owner == nullptr) {
        m_measuredWidth = 0;
        m_measuredHeight = 0;
        m_stale = false;
        return;
    }
    fw::TControlCanvas canvas(*owner);
    canvas.SetFont(*m_font);
    HDC dc = canvas.Handle();
    if (dc == nullptr)
        return;  // measured again next time
    fw::ScopedSelectObject font(dc, m_font->Handle());
    // DrawText with DT_CALCRECT: a caption with line breaks is several lines.
    const std::wstring text = fw::Utf8ToWide(m_caption);
    m_measuredWidth = MeasureTextWidth(dc, text);
    m_measuredHeight = MeasureTextHeight(dc, text);
    m_stale = false;
}

int TKsSkinNCLabel::GetWidth()
{
    Measure();
    return m_measuredWidth;
}

int TKsSkinNCLabel::GetHeight()
{
    Measure();
    return m_measuredHeight;
}

void TKsSkinNCLabel::LMouseDown()
{
    const std::weak_ptr<int> alive = LifeToken();
    if (m_captureMouse) {
        if (HWND h = OwnerWindow()) {
            ::ReleaseCapture();
            // The system's move loop runs until the button comes up.
            ::SendMessageW(h, WM_SYSCOMMAND, kScDragMove, 0);
        }
    }
    // The move loop ran other messages; the label may be gone.
    if (!alive.expired())
        TKsSkinNCCtrlBase::LMouseDown();
}

void TKsSkinNCLabel::Paint(TBitmap32& bitmap)
{
    TKsSkinNCCtrlBase::Paint(bitmap);
    bitmap.SetFont(*m_font);
    bitmap.Canvas().SetFont(*m_font);
    Measure();
    const int left = Pos()->Left();
    const int top = Pos()->Top();
    const NCLabelLayout layout =
        LayOutNCLabel(left, top, m_measuredWidth, m_measuredHeight, m_maxWidth, m_ellipsisPosition);
    const std::wstring text = fw::Utf8ToWide(m_caption);
    if (m_light->Active())
        DrawGlowText(bitmap.Canvas(), layout.Rect, text, m_light->BlurRadius(), m_light->Color(), layout.GlowFormat);
    const TColor32 color = ColorToColor32(m_font->Color());
    if (!layout.InRect) {
        if (m_renderText)
            bitmap.RenderAlphaText(left, top, std::wstring_view(text), 0, color);
        else
            bitmap.TextOutAt(left, top, std::wstring_view(text));
    } else {
        if (m_renderText)
            bitmap.RenderAlphaTextInRect(layout.Rect, layout.TextFlags, color, std::wstring_view(text));
        else
            bitmap.TextOutInRect(layout.Rect, layout.TextFlags, std::wstring_view(text));
    }
}

}  // namespace ks
