#include "skin/controls/uKsSkinCtrls.h"

#include "skin/frame/uKsSkinForm.h"
#include "skin/frame/uKsSkinHelper.h"
#include "skin/render/Color32.h"

#include "framework/Forms_win.h"
#include "framework/ScopeGuard.h"
#include "framework/ScopedGdi_win.h"
#include "framework/TypInfo.h"

#include <algorithm>

namespace ks {

// ---------------------------------------------------------------------------
// Registration

const fw::TClassInfo& TKsSkinCustomControl::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinCustomControl, TCustomPaintBox32_ks>("TKsSkinCustomControl")
            .Enum("About", &TKsSkinCustomControl::About, &TKsSkinCustomControl::SetAbout, {"aiKsSkinComponent"})
            .Stored(false)
            .Bool("Transparent", &TKsSkinCustomControl::Transparent, &TKsSkinCustomControl::SetTransparent, true)
            // The control's own colour, white for skinned controls.
            .Int("Color", &fw::TControl::Color, &fw::TControl::SetColor, 0x00FFFFFF, fw::ColorIdents())
            .Stored([](TKsSkinCustomControl& c) { return !c.ParentColor(); })
            .Bool("AutoInvalidate", &TKsSkinCustomControl::AutoInvalidate, &TKsSkinCustomControl::SetAutoInvalidate,
                  false)
            .Bool("EraseBackground", &TKsSkinCustomControl::EraseBackground, &TKsSkinCustomControl::SetEraseBackground,
                  false)
            .Event("OnBackgroundChanging", &TKsSkinCustomControl::SetOnBackgroundChanging)
            .Event("OnBackgroundChanged", &TKsSkinCustomControl::SetOnBackgroundChanged)
            .Event("OnVisibleChanged", &TKsSkinCustomControl::SetOnVisibleChanged)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinCustomControl)

const fw::TClassInfo& TKsSkinCustomPanel::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsSkinCustomPanel, TKsSkinCustomControl>("TKsSkinCustomPanel").Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinCustomPanel)

// ---------------------------------------------------------------------------
// TKsSkinCustomControl

namespace {

void RedrawSkinnedFrame(fw::TWinControl* control)
{
    if (auto* skinned = dynamic_cast<TKsSkinCustomControl*>(control))
        skinned->RedrawFrame();
}

}  // namespace

TKsSkinCustomControl::TKsSkinCustomControl(fw::TComponent* owner) : TCustomPaintBox32_ks(owner)
{
    fw::TControl::SetColor(0x00FFFFFF);
    // Small controls: the buffer is exactly the client size.
    SetBufferOversize(0);
    if (!Designing()) {
        TKsWinControlHelper& registry = WinControlHelper();
        if (!registry.RedrawFrame)
            registry.RedrawFrame = &RedrawSkinnedFrame;
        registry.Add(this);
        m_registered = true;
    }
}

TKsSkinCustomControl::~TKsSkinCustomControl()
{
    // Out of the registry before anything of the control goes, so that a
    // refresh of all skinned controls never reaches a dying one.
    if (m_registered)
        WinControlHelper().Remove(this);
}

bool TKsSkinCustomControl::Designing() const { return IsDesigning() || (Owner() != nullptr && Owner()->IsDesigning()); }

void TKsSkinCustomControl::SetBackgroundOffset(int x, int y)
{
    m_offsetX = x;
    m_offsetY = y;
}

void TKsSkinCustomControl::RedrawFrame()
{
    if (!HandleAllocated())
        return;
    if (ClientWidth() != Width() || ClientHeight() != Height())
        Perform(WM_NCPAINT, 0, 0);
}

void TKsSkinCustomControl::NotifyChildren(bool suppress)
{
    if (Designing() || suppress)
        return;
    for (int i = 0; i < ControlCount(); ++i) {
        if (auto* child = dynamic_cast<fw::TWinControl*>(Controls(i)))
            ::PostMessageW(child->Handle(), CM_SKIN_CHILDREFRESH, 0, 0);
    }
}

void TKsSkinCustomControl::AdjustClientRect(fw::TRect&)
{
    if (!Designing())
        Invalidate();
}

void TKsSkinCustomControl::DoBackgroundChanging(TBitmap32& background, bool& handled)
{
    if (m_onBackgroundChanging)
        m_onBackgroundChanging(this, &background, handled);
}

void TKsSkinCustomControl::DoBackgroundChanged(TBitmap32& background)
{
    if (m_onBackgroundChanged)
        m_onBackgroundChanged(this, &background);
}

void TKsSkinCustomControl::DoVisibleChanged()
{
    if (m_onVisibleChanged && !Designing())
        m_onVisibleChanged(this);
}

void TKsSkinCustomControl::DoPaintBuffer()
{
    TBitmap32& buffer = Buffer();
    {
        TBitmapUpdate update(buffer);
        bool handled = false;
        DoBackgroundChanging(buffer, handled);
        if (!handled) {
            if (m_transparent) {
                CaptureParentBackground(buffer, CaptureRect(Left(), Top(), Width(), Height(), m_offsetX, m_offsetY));
            } else {
                buffer.FillAreaClipped(0, 0, Width(), Height(), ColorToColor32(fw::TControl::Color()));
            }
        }
        DoBackgroundChanged(buffer);
        DrawControl(buffer);
    }
    // A control hanging over its parent's right or bottom edge rebuilds its
    // buffer at every paint.
    fw::TWinControl* parent = Parent();
    m_keepRebuiltBuffer =
        parent != nullptr && BufferStaysValid(parent->Width(), parent->Height(), Left(), Top(), Width(), Height());
}

void TKsSkinCustomControl::PaintWindow(HDC dc)
{
    m_keepRebuiltBuffer = true;
    TCustomPaintBox32_ks::PaintWindow(dc);
    if (!m_keepRebuiltBuffer)
        InvalidateBuffer();
}

void TKsSkinCustomControl::CaptureParentBackground(TBitmap32& dst, const fw::TRect& capture)
{
    fw::TWinControl* parent = Parent();
    TBackgroundQuery query;
    query.HasParent = parent != nullptr;
    query.Designing = Designing();

    TKsSkinForm* controller = nullptr;
    if (auto* form = dynamic_cast<fw::TCustomForm*>(parent)) {
        query.ParentIsForm = true;
        if (TKsFormSkinHelper::Entry* entry = FormSkinHelper().Find(form))
            controller = entry->Controller;
        if (controller != nullptr) {
            query.FormHasController = true;
            query.PictureStyle = controller->Style() == ssPicture;
            query.BorderNone = form->BorderStyle() == fw::bsNone;
            query.FrameWidth = controller->FramWidth();
            query.TitleHeight = controller->TitleHeight();
        }
    }
    auto* skinnedParent = dynamic_cast<TKsSkinCustomControl*>(parent);
    query.ParentIsSkinnedControl = skinnedParent != nullptr;

    const TBackgroundChoice choice = ChooseBackgroundSource(query, capture);
    const TCustomBitmap32* source = nullptr;
    switch (choice.Source) {
    case TBackgroundSource::White:
        dst.FillArea(0, 0, dst.Width(), dst.Height(), clWhite32);
        return;
    case TBackgroundSource::ParentPaint:
        PaintParentInto(dst);
        return;
    case TBackgroundSource::ControllerBitmap:
        source = query.PictureStyle ? &controller->PictureBackground() : &controller->ColorBackground();
        break;
    case TBackgroundSource::ParentBuffer:
        source = skinnedParent->GetBuffer();
        break;
    }
    // Same size on both sides: a one-to-one copy (or blend, by the source's
    // draw mode). An empty rectangle leaves the buffer as it was.
    if (source != nullptr && !choice.SourceRect.IsEmpty())
        DrawStretched(&dst, dst.ClipRect(), choice.SourceRect, source);
}

void TKsSkinCustomControl::PaintParentInto(TBitmap32& dst)
{
    fw::TWinControl* parent = Parent();
    HDC dc = dst.Handle();
    if (parent == nullptr || dc == nullptr)
        return;
    // Siblings are not painted into the capture: only the parent's own
    // background and painting.
    parent->ControlState().Include(fw::csPaintCopy);
    auto unmark = fw::OnScopeExit([parent] { parent->ControlState().Exclude(fw::csPaintCopy); });
    {
        fw::ScopedSaveDC saved(dc);
        ::SetViewportOrgEx(dc, -Left(), -Top(), nullptr);
        ::IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
        parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        parent->PaintWindow(dc);
    }
    // GDI may batch; the pixels are read directly after this.
    ::GdiFlush();
}

void TKsSkinCustomControl::Resize()
{
    TBitmap32& buffer = Buffer();
    TBitmapUpdate update(buffer);
    TCustomPaintBox32_ks::Resize();
    buffer.FillAreaClipped(0, 0, Width(), Height(), ColorToColor32(fw::TControl::Color()));
}

void TKsSkinCustomControl::Dispatch(fw::TMessage& message)
{
    switch (message.Msg) {
    case WM_ERASEBKGND:
        WMEraseBkgnd(message);
        return;
    case WM_MOVE:
        WMMove(message);
        return;
    case WM_WINDOWPOSCHANGED:
        WMWindowPosChanged(message);
        return;
    case CM_SKIN_CHILDREFRESH:
        CMSkinChildRefresh(message);
        return;
    case fw::CM_TEXTCHANGED:
    case fw::CM_ENABLEDCHANGED:
        TCustomPaintBox32_ks::Dispatch(message);
        Invalidate();
        return;
    case fw::CM_VISIBLECHANGED:
        TCustomPaintBox32_ks::Dispatch(message);
        DoVisibleChanged();
        return;
    default:
        TCustomPaintBox32_ks::Dispatch(message);
    }
}

void TKsSkinCustomControl::WMEraseBkgnd(fw::TMessage& m)
{
    // Only an erase that asks for it (lParam 1) gets the buffer; the window
    // itself is always painted from the buffer in WM_PAINT.
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (m_eraseBackground && dc != nullptr && m.LParam == 1)
        Buffer().CopyToDC(dc, 0, 0);
    m.Result = 1;
}

void TKsSkinCustomControl::WMMove(fw::TMessage& m)
{
    TCustomPaintBox32_ks::Dispatch(m);
    if (m_autoInvalidate) {
        Invalidate();
        NotifyChildren(false);
    }
}

void TKsSkinCustomControl::WMWindowPosChanged(fw::TMessage& m)
{
    if (!Designing() && !IsDestroying())
        ResizeBuffer();
    InvalidateBuffer();
    TCustomPaintBox32_ks::Dispatch(m);
}

void TKsSkinCustomControl::CMSkinChildRefresh(fw::TMessage&)
{
    if (Designing())
        return;
    Invalidate();
    RedrawFrame();
}

// ---------------------------------------------------------------------------
// TKsSkinCustomPanel

TKsSkinCustomPanel::TKsSkinCustomPanel(fw::TComponent* owner) : TKsSkinCustomControl(owner)
{
    ControlStyle() =
        fw::TControlStyle{fw::csAcceptsControls, fw::csCaptureMouse, fw::csClickEvents, fw::csDoubleClicks};
    SetBounds(Left(), Top(), 185, 114);  // 185 x 185 * 0.618
}

TKsSkinCustomPanel::~TKsSkinCustomPanel() = default;

void TKsSkinCustomPanel::SetAlpha(int v)
{
    v = std::clamp(v, 0, 255);
    if (v == m_alpha)
        return;
    m_alpha = v;
    Invalidate();
}

void TKsSkinCustomPanel::SetColor(fw::TColor v)
{
    if (v == m_tintColor)
        return;
    m_tintColor = v;
    Invalidate();
}

void TKsSkinCustomPanel::AdjustClientRect(fw::TRect& rect)
{
    TKsSkinCustomControl::AdjustClientRect(rect);
    rect = InsetForBorder(rect, m_borderSides, m_innerHighlight);
}

void TKsSkinCustomPanel::DrawControl(TBitmap32& buffer)
{
    const TPanelTint tint = PlanPanelTint(Designing(), m_alpha);
    if (tint.Fill)
        buffer.FillAreaMixed(0, 0, ClientWidth(), ClientHeight(),
                             WithAlpha(ColorToColor32(m_tintColor), tint.FillAlpha));
    if (tint.CallCustomDraw && m_onCustomDraw)
        m_onCustomDraw(this, &buffer);
    DrawBorder(buffer);
}

void TKsSkinCustomPanel::DrawBorder(TBitmap32& buffer)
{
    const std::vector<TBorderLine> lines = PanelBorderLines(m_borderSides, m_innerHighlight, Width(), Height());
    if (lines.empty())
        return;
    const TColor32 border = WithAlpha(ColorToColor32(m_borderColor), m_borderAlpha);
    const TColor32 highlight = WithAlpha(clWhite32, m_borderAlpha);
    TBitmapUpdate update(buffer);
    for (const TBorderLine& line : lines)
        buffer.DrawSmoothLine(line.X1, line.Y1, line.X2, line.Y2, line.Highlight ? highlight : border, false);
}

}  // namespace ks
