// TKsSkinMenu: drawing one popup-menu item into its window's composed bitmap
// and pushing the bitmap to the layered window.
#include "skin/controls/uKsSkinMenu.h"

#include "skin/render/NineSlice.h"
#include "skin/resources/uKsSkinResManager.h"

namespace ks {

namespace {

const TBitmap32* SkinImage(const std::string& name)
{
    try {
        return SkinResManager().GetBitmap(name);
    } catch (...) {
        return nullptr;
    }
}

// Frame index of a three-frame strip, or null when the image does not resolve.
std::unique_ptr<TBitmap32> StripFrame(const std::string& name, int index)
{
    const TBitmap32* strip = SkinImage(name);
    if (strip == nullptr || strip->IsEmpty())
        return nullptr;
    std::vector<std::unique_ptr<TBitmap32>> frames;
    SplitStrip(strip, 3, frames);
    if (index < 0 || index >= static_cast<int>(frames.size()))
        return nullptr;
    return std::move(frames[static_cast<size_t>(index)]);
}

bool ShowsImage(const fw::TMenuItem& item)
{
    const fw::TMenu* menu = item.GetParentMenu();
    const fw::TCustomImageList* images = menu != nullptr ? menu->Images() : nullptr;
    return images != nullptr && item.ImageIndex() >= 0 && item.ImageIndex() < images->Count();
}

}  // namespace

TBitmap32* TKsSkinMenu::BackgroundFor(HWND window, int width, int height)
{
    if (TBitmap32* found = m_windows->FindBackground(window))
        return found;
    auto background = std::make_unique<TBitmap32>();
    background->Resize(width, height);
    TBitmap32 skin;
    skin.Resize(std::max(0, width - 2 * m_borderWidth), std::max(0, height - 2 * m_borderWidth));
    if (const TBitmap32* bk = SkinImage(m_menuBk))
        DrawNineSliceThirds(bk, &skin, true);
    TBitmap32* result = background.get();
    m_windows->Add(window, std::move(background), skin);
    return result;
}

void TKsSkinMenu::DrawMenuItem(fw::TObject* sender, fw::TCanvas* canvas, fw::TRect rect, fw::TOwnerDrawState state)
{
    auto* item = dynamic_cast<fw::TMenuItem*>(sender);
    if (item == nullptr || canvas == nullptr)
        return;
    HWND window = ::WindowFromDC(canvas->Handle());
    if (window == nullptr || !::IsWindow(window) || dynamic_cast<fw::TMainMenu*>(item->GetParentMenu()) != nullptr)
        return;
    m_lastWindow = window;
    RECT wr{};
    ::GetWindowRect(window, &wr);
    const LONG_PTR ex = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    if ((ex & WS_EX_LAYERED) == 0)
        ::SetWindowLongPtrW(window, GWL_EXSTYLE, ex | WS_EX_LAYERED);

    const SkinMenuItemPlace place = MenuItemPlace(*item);
    const SkinMenuItemRects rects = LayOutSkinMenuItem(rect, m_borderOffset, m_glyphBarWidth, place);
    TBitmap32* background = BackgroundFor(window, wr.right - wr.left, wr.bottom - wr.top);
    if (TBitmap32* skin = m_windows->FindSkin(window))
        DrawStretched(*background, rects.Cell, rects.Cell, *skin);
    DrawItemContent(*background, *item, state, rects);
    if (SkinMenuPushesWindow(place.LastVisible, (state & fw::odSelected) != 0))
        PushMenuWindow(window, fw::TRect(wr.left, wr.top, wr.right, wr.bottom), *background);
    SetMenuPainted(true);
}

void TKsSkinMenu::DrawItemContent(TBitmap32& bitmap, fw::TMenuItem& item, fw::TOwnerDrawState state,
                                  const SkinMenuItemRects& rects)
{
    const fw::TRect& content = rects.Content;
    const bool selected = (state & fw::odSelected) != 0;
    const bool hasSubItems = item.Count() > 0;
    if (selected && item.Enabled()) {
        const fw::TRect h = SkinMenuHilightRect(content, m_borderOffset);
        if (const TBitmap32* hilight = SkinImage(m_menuHilight);
            hilight != nullptr && h.Width() > 0 && h.Height() > 0) {
            std::unique_ptr<TBitmap32> bar = MakeStretchedCopy(hilight, h.Width(), h.Height());
            if (bar)
                DrawAt(bitmap, h.Left, h.Top, *bar);
        }
    }
    if (!hasSubItems) {
        DrawCheckMark(bitmap, item, selected, rects.GlyphBar);
    } else if (auto arrow = StripFrame(m_menuSubArrow, SkinMenuArrowFrame(selected, item.Enabled()))) {
        const fw::TPoint at = SkinMenuArrowPos(content, arrow->Width(), arrow->Height(), m_borderOffset);
        DrawAt(bitmap, at.X, at.Y, *arrow);
    }
    if (ShowsImage(item)) {
        fw::TCustomImageList* images = item.GetParentMenu()->Images();
        const fw::TPoint at = SkinMenuImagePos(rects.GlyphBar, images->Width(), images->Height());
        images->Draw(bitmap.Canvas(), at.X, at.Y, item.ImageIndex(), true);
    }
    if (item.IsLine()) {
        bitmap.FillRowSpan(rects.Text.Left, content.Top + 1, rects.Text.Right - 1,
                           ColorToColor32(m_lineColor) | 0xFF000000u);
        return;
    }
    DrawItemText(bitmap, item, state, rects.Text);
}

void TKsSkinMenu::DrawCheckMark(TBitmap32& bitmap, fw::TMenuItem& item, bool selected, const fw::TRect& glyphBar)
{
    const SkinMenuMark mark =
        SkinMenuCheckMark(item.Checked(), item.RadioItem(), selected, item.Enabled(), ShowsImage(item));
    if (mark.Strip == SkinMenuStrip::None)
        return;
    auto frame = StripFrame(mark.Strip == SkinMenuStrip::Radio ? m_menuRadio : m_menuCheck, mark.Frame);
    if (!frame)
        return;
    const fw::TPoint at = SkinMenuCheckPos(glyphBar, frame->Height());
    DrawAt(bitmap, at.X, at.Y, *frame);
}

void TKsSkinMenu::DrawItemText(TBitmap32& bitmap, fw::TMenuItem& item, fw::TOwnerDrawState state, const fw::TRect& text)
{
    m_hotFont->SetSize(m_font->Size());
    fw::TFont font;
    font.Assign((state & (fw::odSelected | fw::odHotLight)) != 0 ? *m_hotFont : *m_font);
    const fw::TColor color = item.Enabled() ? font.Color() : kSkinMenuDisabledTextColor;
    if (item.Default()) {
        fw::TFontStyles style = font.Style();
        style.Include(fw::fsBold);
        font.SetStyle(style);
    }
    bitmap.SetFont(font);
    const fw::TMenu* menu = item.GetParentMenu();
    const SkinMenuTextLayout layout = LayOutSkinMenuText(text, menu != nullptr && menu->IsRightToLeft());
    const TColor32 c = ColorToColor32(color) | 0xFF000000u;
    bitmap.RenderAlphaTextInRectQ(text, layout.CaptionFlags, c, DEFAULT_QUALITY, item.Caption());
    if (item.ShortCut() != fw::scNone)
        bitmap.RenderAlphaTextInRectQ(layout.ShortcutRect, layout.ShortcutFlags, c, DEFAULT_QUALITY,
                                      fw::ShortCutToText(item.ShortCut()));
}

}  // namespace ks
