// Painting of the skinned form: the frame pieces, the frame lines, the window
// region and class settings, the client background and its builders. All
// drawing goes through 32-bit bitmaps that are finally copied opaquely to the
// window.
#include "skin/frame/uKsSkinForm.h"

#include "skin/frame/SharedClassBrushes.h"
#include "skin/frame/uKsFormBorder.h"

#include "framework/Forms_win.h"
#include "framework/ScopeGuard.h"
#include "skin/frame/FormBackground.h"
#include "skin/frame/FrameRegionChange.h"
#include "skin/frame/uKsSkinNCCtrlBase.h"
#include "skin/render/BitmapHelpers.h"
#include "skin/render/NineSlice.h"
#include "skin/resources/uKsSkinResManager.h"

#include <algorithm>

namespace ks {

namespace {

// Pieces and backgrounds are copied to the window opaquely: their alpha is
// never used there. A piece is the clipped top-left part of its bitmap.
void CopyPiece(const TBitmap32& piece, HDC dc, fw::TPoint at) { piece.CopyToDC(dc, at.X, at.Y, piece.ClipRect()); }

// Frame pieces are drawn into bitmaps kept between paints, which grow like
// the backgrounds (and never shrink: a piece is at most a monitor wide): the
// piece is the top-left width x height, and the clip is set to it.
void PreparePiece(TBitmap32& piece, int width, int height, fw::TSize limit)
{
    if (piece.Width() < width || piece.Height() < height) {
        const fw::TSize storage =
            BackgroundStorage(fw::TSize(piece.Width(), piece.Height()), fw::TSize(width, height), limit);
        piece.Resize(storage.cx, storage.cy);
    }
    piece.SetClipRect(fw::TRect(0, 0, width, height));
}

const TBitmap32* LookUpPicture(const std::string& name) { return SkinResManager().GetBitmap(name); }

// Backgrounds that a size change rebuilds grow ahead of a growing form, up to
// its monitor's size (see BackgroundStorage); a skin change builds them at
// the size they need.
fw::TSize BackgroundLimit(fw::TCustomForm& form)
{
    const fw::TMonitor* monitor = form.Monitor();
    if (monitor == nullptr)
        return fw::TSize();
    return fw::TSize(monitor->Width() + kBackgroundSlack, monitor->Height() + kBackgroundSlack);
}

}  // namespace

int TKsSkinForm::MonitorWidth() const
{
    if (FormWindow() == nullptr)
        return fw::Screen != nullptr ? fw::Screen->Width() : 0;
    fw::TMonitor* monitor = m_form->Monitor();
    return monitor != nullptr ? monitor->Width() : 0;
}

FrameLineStyle TKsSkinForm::LineStyle() const
{
    FrameLineStyle s;
    s.FlatFrame = FlatFrame();
    s.Maximized = Zoomed();
    s.DoubleFrame = m_doubleFrame;
    s.RoundWindow = m_roundWindow;
    s.KeepFrameColor = m_keepFrameColor;
    s.FrameWidth = FramWidth();
    s.FrameColor = m_frameColor;
    return s;
}

void TKsSkinForm::DrawFrameLines(FramePiece kind, TCustomBitmap32& piece)
{
    DrawFrameStrokes(piece, FrameLineStrokes(kind, piece.ClipRect(), LineStyle()));
}

void TKsSkinForm::PaintFrame()
{
    if (BorderNone() || !m_form->Visible())
        return;
    HWND h = FormWindow();
    if (h == nullptr)
        return;
    BuildMenuItems();

    const fw::TSize size = WindowSize();
    const int w = size.cx;
    const int hh = size.cy;
    const int t = m_titleHeight;
    const int f = FramWidth();

    // The pieces show the background as it is for this size.
    FitBackgroundToSize();
    fw::ScopedWindowDC windowDC(h);
    if (!windowDC)
        return;
    fw::ScopedSaveDC saved(windowDC.Get());
    HDC dc = windowDC.Get();
    // The title and the bottom share one bitmap, the sides another. The sides
    // and the bottom show the background under them and their frame lines.
    const fw::TSize limit = BackgroundLimit(*m_form);
    const auto paintSides = [&](const auto& layout, const TBitmap32& background) {
        for (std::size_t i = 1; i < layout.size(); ++i) {
            const FramePieceLayout& p = layout[i];
            TBitmap32& piece = p.Kind == FramePiece::Bottom ? *m_rowPiece : *m_sidePiece;
            PreparePiece(piece, p.Width, p.Height, limit);
            piece.FillAreaClipped(0, 0, p.Width, p.Height, 0);
            DrawAt(&piece, p.BackgroundAt.X, p.BackgroundAt.Y, &background);
            DrawFrameLines(p.Kind, piece);
            CopyPiece(piece, dc, p.WindowAt);
        }
    };
    TBitmap32& piece = *m_rowPiece;

    if (m_style == ssColor) {
        // The right piece shows the background's right edge as a build for
        // this size has it (every column of it is alike).
        const auto layout = FramePieceLayouts(w, hh, t, f, false, w + kBackgroundSlack);
        const FramePieceLayout& title = layout[0];
        PreparePiece(piece, title.Width, title.Height, limit);
        if (m_activeGradient && t > 0) {
            piece.Clear(ColorToColor32(m_effectiveClientColor));
            GradientFillBitmap(piece, m_effectiveTitleColor, m_effectiveClientColor, true,
                               fw::TRect(0, 0, w, m_gradientHeight));
        } else {
            piece.Clear(ColorToColor32(m_effectiveTitleColor));
        }
        // The piece's (0, 0) is the window's top-left, as elements expect.
        HostPaintElements(m_elements, piece);
        if (!m_keepTitlerColor)
            DrawFrameLines(FramePiece::Top, piece);
        CopyPiece(piece, dc, title.WindowAt);
        paintSides(layout, *m_colorBackground);
        return;
    }

    if (m_style != ssPicture || m_pictureBackground->IsEmpty())
        return;
    // A border that takes input is the frame: the form keeps no frame, title
    // or sizing edge of its own from now on (this paint still uses the sizes
    // it started with), and the border windows carry the elements.
    const TKsFormLayerBorder* border = Border();
    const bool borderIsFrame = border != nullptr && !border->Transparent();
    if (borderIsFrame) {
        SetFlatFrame(true);
        m_hitTestWidth = 0;
        SetFramWidth(0);
        m_titleHeight = 0;
        m_roundWindow = false;
    }
    const auto layout = FramePieceLayouts(w, hh, t, f, true, m_pictureBackground->Width());
    const FramePieceLayout& title = layout[0];
    PreparePiece(piece, title.Width, title.Height, limit);
    if (m_keepTitlerColor)
        piece.Clear(ColorToColor32(m_titlerColor));
    else
        DrawAt(&piece, 0, 0, m_pictureBackground.get());
    if (!borderIsFrame)
        HostPaintElements(m_elements, piece);
    DrawFrameLines(FramePiece::Top, piece);
    CopyPiece(piece, dc, title.WindowAt);
    paintSides(layout, *m_pictureBackground);
}

void TKsSkinForm::UpdateRegion()
{
    if (Designing() || m_regionGuard)
        return;
    HWND h = FormWindow();
    if (h == nullptr)
        return;
    const fw::TSize size = WindowSize();
    const int w = size.cx;
    const int hh = size.cy;
    const FrameRegionShape shape = FrameRegionFor(w, hh, m_roundWindow, Zoomed(), FramWidth(), FlatFrame());
    // The client rectangle in window coordinates, as the system has it.
    RECT wr{}, cr{};
    ::GetWindowRect(h, &wr);
    ::GetClientRect(h, &cr);
    ::MapWindowPoints(h, HWND_DESKTOP, reinterpret_cast<POINT*>(&cr), 2);
    const fw::TRect client(cr.left - wr.left, cr.top - wr.top, cr.right - wr.left, cr.bottom - wr.top);
    const TRegionChange change = PlanRegionChange(m_regionWindow == h ? std::optional(m_regionShape) : std::nullopt,
                                                  shape, client, m_state.Resizing());
    if (!change.Set && !m_regionDirty)
        return;
    m_regionGuard = true;
    auto done = fw::OnScopeExit([this] { m_regionGuard = false; });

    if (change.Set) {
        fw::ScopedRegion region;
        const FrameRegionShape& to = change.Shape;
        const fw::TRect& b = to.Bounds;
        switch (to.Kind) {
        case FrameRegionKind::Rectangle:
            region.Reset(::CreateRectRgn(b.Left, b.Top, b.Right, b.Bottom));
            break;
        case FrameRegionKind::RoundRect:
            region.Reset(::CreateRoundRectRgn(b.Left, b.Top, b.Right, b.Bottom, to.CornerEllipse, to.CornerEllipse));
            break;
        case FrameRegionKind::RoundTopSquareBottom: {
            region.Reset(::CreateRoundRectRgn(b.Left, b.Top, b.Right, b.Bottom, to.CornerEllipse, to.CornerEllipse));
            const fw::TRect& sq = to.SquareBottom;
            fw::ScopedRegion square(::CreateRectRgn(sq.Left, sq.Top, sq.Right, sq.Bottom));
            if (region && square)
                ::CombineRgn(region.Get(), region.Get(), square.Get(), RGN_OR);
            break;
        }
        case FrameRegionKind::None:
            break;
        }
        // From here on the window owns the region. The frame is painted right
        // after this (every caller does), so no redraw of the whole window:
        // only the client pixels the old region hid.
        const bool given = to.Kind == FrameRegionKind::None ? ::SetWindowRgn(h, nullptr, FALSE) != 0
                                                            : region && ::SetWindowRgn(h, region.Get(), FALSE) != 0;
        if (given) {
            (void)region.Release();
            m_regionWindow = h;
            m_regionShape = to;
            for (const fw::TRect& r : change.Repaint) {
                const RECT rc{r.Left - client.Left, r.Top - client.Top, r.Right - client.Left, r.Bottom - client.Top};
                ::InvalidateRect(h, &rc, TRUE);
            }
        }
    }
    if (!m_regionDirty)
        return;
    m_regionDirty = false;

    // The system caption is never shown.
    const LONG_PTR style = ::GetWindowLongPtrW(h, GWL_STYLE);
    if (style & (WS_BORDER | WS_DLGFRAME))
        ::SetWindowLongPtrW(h, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_BORDER | WS_DLGFRAME));

    const fw::TColor brushColor = m_style == ssColor ? m_effectiveClientColor : m_pictureColor;
    fw::ScopedBrush brush(::CreateSolidBrush(fw::ColorToColorRef(brushColor)));
    if (brush) {
        const LONG_PTR previous = ::SetClassLongPtrW(h, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush.Get()));
        // Other forms of the class may show it too; the book knows what the
        // class shows once this form's brush is gone.
        m_classBrushKey = static_cast<std::uintptr_t>(::GetClassLongPtrW(h, GCW_ATOM));
        SharedClassBrushes().Set(m_classBrushKey, this, reinterpret_cast<std::uintptr_t>(brush.Get()),
                                 static_cast<std::uintptr_t>(previous));
        m_classBrush = std::move(brush);  // the previous brush of ours goes
    }

    // Resizing does not repaint the whole client.
    const ULONG_PTR classStyle = ::GetClassLongPtrW(h, GCL_STYLE);
    if (classStyle & (CS_VREDRAW | CS_HREDRAW))
        ::SetClassLongPtrW(h, GCL_STYLE,
                           static_cast<LONG_PTR>(classStyle & ~static_cast<ULONG_PTR>(CS_VREDRAW | CS_HREDRAW)));
}

fw::TSize TKsSkinForm::WindowSize() const
{
    // A minimised window keeps the size it is restored to, as the form does.
    RECT r{};
    if (HWND h = FormWindow(); h != nullptr && !::IsIconic(h) && ::GetWindowRect(h, &r))
        return fw::TSize(r.right - r.left, r.bottom - r.top);
    return m_form != nullptr ? fw::TSize(m_form->Width(), m_form->Height()) : fw::TSize();
}

void TKsSkinForm::FitBackgroundToSize()
{
    if (m_form == nullptr)
        return;
    const fw::TSize size = WindowSize();
    const int w = size.cx;
    const int h = size.cy;
    if (m_style == ssColor) {
        // The gradient is as wide as the monitor; a wider monitor rebuilds it.
        if (m_activeGradient && (m_gradientBitmap->Width() < MonitorWidth() ||
                                 m_gradientBitmap->Height() < VisibleGradientRows(m_gradientHeight, m_titleHeight, h)))
            BuildColorBackground();
        if (ColorBackgroundStale(*m_colorBackground, fw::TSize(w, h))) {
            ks::BuildColorBackground(*m_colorBackground, fw::TSize(w, h), m_effectiveClientColor,
                                     m_activeGradient ? m_gradientBitmap.get() : nullptr,
                                     fw::TPoint(-FramWidth(), -m_titleHeight), BackgroundLimit(*m_form));
        }
        return;
    }
    if (m_style != ssPicture || m_pictureBackground->IsEmpty())
        return;
    const TPictureBuild wanted = PictureBuildFor(w, h);
    if (PictureRebuildNeeded(m_pictureBackground->Width(), m_pictureBackground->Height(), m_pictureBuilt, wanted)) {
        // Stretched and nine-sliced pictures follow every size.
        m_pictureBuilt = wanted;
        FillPictureBackground(*m_pictureBackground, *m_pictureSource, m_fillStyle, fw::TSize(w, h), m_pictureColor,
                              fw::TPoint(0, 0), BackgroundLimit(*m_form));
    }
}

void TKsSkinForm::PaintClient(HDC dc)
{
    if (dc == nullptr || m_form == nullptr)
        return;
    FitBackgroundToSize();
    if (m_style == ssColor) {
        m_colorBackground->CopyToDC(dc, 0, 0);
        return;
    }
    if (m_style != ssPicture || m_pictureBackground->IsEmpty())
        return;
    // Picture coordinates are window coordinates.
    m_pictureBackground->CopyToDC(dc, -FramWidth(), -m_titleHeight);
}

void TKsSkinForm::EraseClient(HDC dc)
{
    if (dc == nullptr)
        return;
    if (m_style == ssColor)
        m_colorBackground->CopyToDC(dc, 0, 0);
    else if (m_style == ssPicture)
        m_pictureBackground->CopyToDC(dc, -FramWidth(), -m_titleHeight);
}

void TKsSkinForm::BuildColorBackground()
{
    if (Designing())
        return;
    if (SkinHsbActive()) {
        m_effectiveTitleColor = ShiftColorHsb(m_titlerColor, SkinHsbH, SkinHsbS, SkinHsbB);
        m_effectiveClientColor = ShiftColorHsb(m_color, SkinHsbH, SkinHsbS, SkinHsbB);
    } else {
        m_effectiveTitleColor = m_titlerColor;
        m_effectiveClientColor = m_color;
    }
    if (m_activeGradient)
        BuildGradient(*m_gradientBitmap, MonitorWidth(),
                      VisibleGradientRows(m_gradientHeight, m_titleHeight, m_form->Height()), m_gradientHeight,
                      m_effectiveTitleColor, m_effectiveClientColor);
    // The client continues the gradient where the title bar left off.
    ks::BuildColorBackground(*m_colorBackground, fw::TSize(m_form->Width(), m_form->Height()), m_effectiveClientColor,
                             m_activeGradient ? m_gradientBitmap.get() : nullptr, fw::TPoint(0, -m_titleHeight));
}

void TKsSkinForm::BuildPictureBackground()
{
    if (Designing() || m_customPicture.empty())
        return;
    if (const TBitmap32* picture = LookUpPicture(m_customPicture))
        m_pictureSource->AssignFrom(picture);
    // Without an image the previous source stays in use.
    if (SkinHsbActive())
        ShiftBitmapHsl(m_pictureSource.get(), SkinHsbH, SkinHsbS, SkinHsbB);

    // Tiles continue the tiles of a tiled border around the form.
    const TKsFormLayerBorder* border = Border();
    const bool tiledBorder = border != nullptr && border->StretchKind() == skTile;
    const int ox = tiledBorder ? FramWidth() - border->Size()->Left() : 0;
    const int oy = tiledBorder ? m_titleHeight - border->Size()->Top() : 0;
    const int w = m_form->Width();
    const int h = m_form->Height();
    if (m_fillStyle == mfsBlur) {
        // The right and bottom edges fade into the picture's average colour,
        // which also fills the rest of the background.
        const int sw = m_pictureSource->Width();
        const int sh = m_pictureSource->Height();
        if (sw > 0 && sh > 0) {
            fw::TBitmap flat(sw, sh, fw::pf24bit);
            HDC target = flat.Canvas().Handle();
            if (target != nullptr && m_pictureSource->Handle() != nullptr)
                ::BitBlt(target, 0, 0, sw, sh, m_pictureSource->Handle(), 0, 0, SRCCOPY);
            m_pictureColor = FeatherEdges(flat);
            m_pictureSource->AssignFrom(static_cast<const fw::TGraphic*>(&flat));
        }
    } else {
        m_pictureColor = 0x00FFFFFF;
    }
    FillPictureBackground(*m_pictureBackground, *m_pictureSource, m_fillStyle, fw::TSize(w, h), m_pictureColor,
                          fw::TPoint(ox, oy));
    // The source may have changed: what was built from an earlier one is
    // never taken for this one.
    ++m_pictureGeneration;
    m_pictureBuilt = PictureBuildFor(w, h);
}

TPictureBuild TKsSkinForm::PictureBuildFor(int w, int h) const
{
    return {m_pictureGeneration, m_fillStyle, w, h, m_pictureSource->DrawMode() == dmOpaque};
}

void GradientFill(fw::TCanvas& canvas, fw::TColor c1, fw::TColor c2, TGradientDirection direction,
                  const fw::TRect& rect)
{
    const int w = rect.Width() > 0 ? rect.Width() : 1;
    const int h = rect.Height() > 0 ? rect.Height() : 1;
    TBitmap32 gradient;
    gradient.Resize(w, h);
    GradientFillBitmap(gradient, c1, c2, direction == gdVertical, fw::TRect(0, 0, w, h));
    gradient.CopyToDC(canvas.Handle(), rect.Left, rect.Top);
}

}  // namespace ks
