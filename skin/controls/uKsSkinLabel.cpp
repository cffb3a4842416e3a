#include "skin/controls/uKsSkinLabel.h"

#include "skin/render/Color32.h"
#include "skin/resources/uKsSkinIntf.h"

#include "framework/ScopedGdi_win.h"
#include "framework/TypInfo.h"

namespace ks {

static_assert(kDtLeft == DT_LEFT && kDtCenter == DT_CENTER && kDtRight == DT_RIGHT);
static_assert(kDtVCenter == DT_VCENTER && kDtBottom == DT_BOTTOM && kDtSingleLine == DT_SINGLELINE);
static_assert(kDtWordBreak == DT_WORDBREAK && kDtCalcRect == DT_CALCRECT);
static_assert(kDtPathEllipsis == DT_PATH_ELLIPSIS && kDtEndEllipsis == DT_END_ELLIPSIS &&
              kDtWordEllipsis == DT_WORD_ELLIPSIS);

// ---------------------------------------------------------------------------
// Registration

const fw::TClassInfo& TKsSkinCustomLabel::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinCustomLabel, TKsSkinCustomPanel>("TKsSkinCustomLabel").Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinCustomLabel)

// The declared defaults of Alpha (192) and AutoInvalidate (False) are not
// what a new label has (0 and True): a label keeping its constructed values
// writes both into its layout.
const fw::TClassInfo& TKsSkinLabel::StaticClass()
{
    using L = TKsSkinLabel;
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinLabel, TKsSkinCustomLabel>("TKsSkinLabel")
            .Int("Alpha", &L::Alpha, &L::SetAlpha, 192)
            .Enum("EllipsisPosition", &L::EllipsisPosition, &L::SetEllipsisPosition,
                  {"epNone", "epPathEllipsis", "epEndEllipsis", "epWordEllipsis"}, epNone)
            .Enum("AlignmentHorizontal", &L::AlignmentHorizontal, &L::SetAlignmentHorizontal,
                  {"taLeftJustify", "taRightJustify", "taCenter"}, taLeftJustify)
            .Enum("AlignmentVertical", &L::AlignmentVertical, &L::SetAlignmentVertical,
                  {"taAlignTop", "taAlignBottom", "taVerticalCenter"}, taAlignTop)
            .Bool("AutoSize", &L::AutoSize, &L::SetAutoSize, true)
            .Bool("RoundBackground", &L::RoundBackground, &L::SetRoundBackground, false)
            .Int("RoundSize", &L::RoundSize, &L::SetRoundSize, 5)
            .Object("Light", &L::Light)
            .Bool("WordWap", &L::WordWap, &L::SetWordWap, false)
            // The tint colour of the panel layer takes the place of the
            // control's own Color in the layout.
            .Int(
                "Color", [](L& l) { return l.Color(); }, [](L& l, fw::TColor v) { l.SetColor(v); }, 0x00FFFFFF,
                fw::ColorIdents())
            .Event("OnCustomDraw", &L::SetOnCustomDraw)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinLabel)

// ---------------------------------------------------------------------------
// TKsSkinCustomLabel

TKsSkinCustomLabel::TKsSkinCustomLabel(fw::TComponent* owner)
    : TKsSkinCustomPanel(owner),
      m_light(std::make_unique<TKsLightClass>())
{
    ControlStyle() = fw::TControlStyle{fw::csCaptureMouse, fw::csClickEvents, fw::csSetCaption, fw::csDoubleClicks,
                                       fw::csReplicatable};
    SetAutoInvalidate(true);
    SetBorderSides({});
    SetAlpha(0);
    SetBounds(Left(), Top(), 60, 17);
}

TKsSkinCustomLabel::~TKsSkinCustomLabel() = default;

void TKsSkinCustomLabel::SetEllipsisPosition(TEllipsisPosition v)
{
    if (v == m_ellipsis)
        return;
    m_ellipsis = v;
    m_autoSize = false;
    Invalidate();
}

void TKsSkinCustomLabel::SetAlignmentHorizontal(TAlignment v)
{
    if (v == m_alignHorizontal)
        return;
    m_alignHorizontal = v;
    RecreateWnd();
}

void TKsSkinCustomLabel::SetAlignmentVertical(TVerticalAlignment v)
{
    if (v == m_alignVertical)
        return;
    m_alignVertical = v;
    RecreateWnd();
}

void TKsSkinCustomLabel::SetAutoSize(bool v)
{
    m_autoSize = v;
    if (v)
        AdjustBounds();
}

void TKsSkinCustomLabel::SetRoundBackground(bool v)
{
    if (v == m_roundBackground)
        return;
    m_roundBackground = v;
    if (v) {
        if (Alpha() == 0)
            SetAlpha(255);
        Invalidate();
    } else {
        AdjustBounds();
    }
}

void TKsSkinCustomLabel::SetLight(const TKsLightClass* v)
{
    if (v != nullptr)
        m_light->Assign(*v);
}

void TKsSkinCustomLabel::Loaded()
{
    TKsSkinCustomPanel::Loaded();
    InvalidateBuffer();
    AdjustBounds();
}

void TKsSkinCustomLabel::CreateParams(fw::TCreateParams& params)
{
    TKsSkinCustomPanel::CreateParams(params);
    params.WindowClass.style &= ~static_cast<UINT>(CS_VREDRAW);
}

void TKsSkinCustomLabel::Dispatch(fw::TMessage& message)
{
    switch (message.Msg) {
    case fw::CM_TEXTCHANGED:
        AdjustBounds();
        Invalidate();
        return;
    case fw::CM_FONTCHANGED:
        // At run time a new font shows at the next repaint and keeps the
        // label's size; only the designer resizes at once.
        if (Designing())
            AdjustBounds();
        return;
    default:
        TKsSkinCustomPanel::Dispatch(message);
    }
}

fw::TSize TKsSkinCustomLabel::MeasureCaption()
{
    const std::wstring text = CaptionW();
    fw::ScopedCreateDC dc;
    if (!dc)
        return {};
    fw::ScopedSelectObject font(dc.Get(), Font().Handle());
    RECT r{0, 0, 0, 0};
    ::DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT);
    return {r.right - r.left, r.bottom - r.top};
}

void TKsSkinCustomLabel::AdjustBounds()
{
    if (!ShouldAdjustBounds(IsReading(), m_autoSize, m_roundBackground))
        return;
    const fw::TSize size = MeasureCaption();
    SetBounds(Left(), Top(), size.cx, size.cy);
}

void TKsSkinCustomLabel::DrawControl(TBitmap32& buffer)
{
    if (m_roundBackground) {
        // The rounded background replaces the whole panel layer.
        FillRoundRect(buffer, m_roundSize, WithAlpha(ColorToColor32(Color()), Alpha()));
    } else {
        TKsSkinCustomPanel::DrawControl(buffer);
    }
    DrawCaption(buffer);
}

void TKsSkinCustomLabel::DrawCaption(TBitmap32& buffer)
{
    TCaptionQuery query;
    query.Width = Width();
    query.Height = Height();
    query.Horizontal = m_alignHorizontal;
    query.Vertical = m_alignVertical;
    query.WordWrap = m_wordWrap;
    query.Ellipsis = m_ellipsis;
    if (m_wordWrap)
        query.TextHeight = MeasureCaption().cy;
    const TCaptionLayout layout = LayoutCaption(query);

    buffer.Canvas().SetFont(Font());
    buffer.SetFont(Font());
    // Keeps the text visible in the designer when it has the tint's colour.
    if (Designing() && Font().Color() == Color())
        buffer.FillArea(0, 0, Width(), Height(), ColorToColor32(0x00C9C6C3));

    const std::wstring text = CaptionW();
    if (m_light->Active())
        DrawGlowText(buffer.Canvas(), layout.Rect, text, m_light->BlurRadius(), m_light->Color(), layout.Flags);
    buffer.TextOutInRect(layout.Rect, layout.Flags, std::wstring_view(text));
}

// ---------------------------------------------------------------------------
// TKsSkinLabel

TKsSkinLabel::TKsSkinLabel(fw::TComponent* owner) : TKsSkinCustomLabel(owner) {}

TKsSkinLabel::~TKsSkinLabel() = default;

}  // namespace ks
