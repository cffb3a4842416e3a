// The skinned control base and the skinned label with real windows under
// Wine: where the buffer's background comes from, the tint and OnCustomDraw,
// automatic sizing, the stored layout, and that a freed label is left alone.
#include "skin/controls/uKsSkinCtrls.h"
#include "skin/controls/uKsSkinLabel.h"

#include "skin/frame/uKsSkinForm.h"
#include "skin/frame/uKsSkinHelper.h"
#include "skin/render/Blend.h"
#include "skin/resources/uKsSkinIntf.h"

#include "framework/Forms_win.h"
#include "framework/ScopedGdi_win.h"
#include "framework/Streams.h"
#include "framework/TypInfo.h"
#include "framework/Writer.h"
#include "tests/framework/WinTestSupport_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using namespace ks;
using fw::TRect;
using fwtest::PumpUntil;
using fwtest::Settle;

namespace {

constexpr const char* kWaitingText = "\xE6\xAD\xA3\xE5\x9C\xA8\xE5\x8A\xAA\xE5\x8A\x9B\xE5\x8A\xA0\xE8\xBD\xBD"
                                     "\xE4\xB8\xAD";  // 正在努力加载中

// A position code in every pixel: red = x, green = y, so that a copied pixel
// tells where it came from.
TColor32 Pattern(int x, int y) { return MakeColor32(x & 0xFF, y & 0xFF, 0x5A, 255); }

void FillPattern(TCustomBitmap32& bmp, int w, int h)
{
    bmp.Resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bmp.PixelAt(x, y) = Pattern(x, y);
}

// Rebuilds and paints a control now.
void RepaintNow(fw::TWinControl& c)
{
    c.Invalidate();
    ::UpdateWindow(c.Handle());
}

// Paints the window again without touching the buffer's state.
void ExposeNow(fw::TWinControl& c)
{
    ::InvalidateRect(c.Handle(), nullptr, FALSE);
    ::UpdateWindow(c.Handle());
}

// The label's caption measured the way the platform does it.
fw::TSize MeasureWithFont(const std::wstring& text, fw::TFont& font)
{
    fw::ScopedCreateDC dc;
    fw::ScopedSelectObject sel(dc.Get(), font.Handle());
    RECT r{0, 0, 0, 0};
    ::DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT);
    return {r.right - r.left, r.bottom - r.top};
}

// A plain label: no caption, no glow, no sizing, so that the buffer holds the
// background alone.
TKsSkinLabel* NewBareLabel(fw::TWinControl* parent, fw::TComponent* owner, TRect bounds)
{
    auto* label = new TKsSkinLabel(owner);
    label->SetParent(parent);
    label->SetAutoSize(false);
    label->Light()->SetActive(false);
    label->SetCaption("");
    label->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    return label;
}

class SkinnedForm : public testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<fw::TForm>(nullptr);
        form->SetBounds(100, 100, 330, 100);
        skin = new TKsSkinForm(form.get());
    }
    void TearDown() override { form.reset(); }

    void ShowForm()
    {
        form->Show();
        EXPECT_TRUE(Settle());
    }

    std::unique_ptr<fw::TForm> form;
    TKsSkinForm* skin = nullptr;
};

}  // namespace

// --- where the background comes from -----------------------------------------------

TEST_F(SkinnedForm, ColourStyleShowsTheControllerBackgroundShiftedByTheFrameWidth)
{
    TKsSkinLabel* label = NewBareLabel(form.get(), form.get(), fw::Bounds(120, 24, 84, 13));
    ShowForm();
    ASSERT_EQ(skin->Style(), ssColor);
    auto& background = const_cast<TBitmap32&>(skin->ColorBackground());
    FillPattern(background, 340, 110);
    RepaintNow(*label);

    TBitmap32& buffer = *label->GetBuffer();
    ASSERT_EQ(buffer.Width(), 84);
    ASSERT_EQ(buffer.Height(), 13);
    const int dx = skin->FramWidth();
    EXPECT_EQ(dx, 2);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 84; ++x)
            ASSERT_EQ(buffer.PixelAt(x, y), Pattern(120 + dx + x, 24 + y)) << x << "," << y;
}

TEST_F(SkinnedForm, PictureStyleIsShiftedByFrameWidthAndTitleHeight)
{
    TKsSkinLabel* label = NewBareLabel(form.get(), form.get(), fw::Bounds(120, 24, 84, 13));
    skin->SetStyle(ssPicture);
    ShowForm();
    auto& background = const_cast<TBitmap32&>(skin->PictureBackground());
    FillPattern(background, 340, 140);
    RepaintNow(*label);

    TBitmap32& buffer = *label->GetBuffer();
    EXPECT_EQ(buffer.PixelAt(0, 0), Pattern(122, 51));
    EXPECT_EQ(buffer.PixelAt(83, 12), Pattern(205, 63));
}

TEST_F(SkinnedForm, BorderlessFormIsNotShifted)
{
    form->SetBorderStyle(fw::bsNone);
    TKsSkinLabel* label = NewBareLabel(form.get(), form.get(), fw::Bounds(120, 24, 84, 13));
    ShowForm();
    auto& background = const_cast<TBitmap32&>(skin->ColorBackground());
    FillPattern(background, 340, 110);
    RepaintNow(*label);
    EXPECT_EQ(label->GetBuffer()->PixelAt(0, 0), Pattern(120, 24));
    EXPECT_EQ(label->GetBuffer()->PixelAt(83, 12), Pattern(203, 36));
}

TEST_F(SkinnedForm, InsideASkinnedParentTheParentsBufferShowsThrough)
{
    auto* panel = new TKsSkinCustomControl(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 10, 200, 60);
    panel->SetOnBackgroundChanging([](fw::TObject*, TBitmap32* bg, bool& handled) {
        FillPattern(*bg, bg->Width(), bg->Height());
        handled = true;
    });
    TKsSkinLabel* label = NewBareLabel(panel, form.get(), fw::Bounds(30, 7, 40, 20));
    ShowForm();
    RepaintNow(*panel);
    RepaintNow(*label);
    TBitmap32& buffer = *label->GetBuffer();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(buffer.PixelAt(x, y), Pattern(30 + x, 7 + y)) << x << "," << y;
}

TEST(SkinControlBackground, PlainParentPaintsItselfIntoTheBuffer)
{
    auto form = std::make_unique<fw::TForm>(nullptr);
    form->SetBounds(100, 100, 330, 100);
    form->SetColor(0x00336699);
    TKsSkinLabel* label = NewBareLabel(form.get(), form.get(), fw::Bounds(120, 24, 84, 13));
    form->Show();
    EXPECT_TRUE(Settle());
    RepaintNow(*label);
    // The form's own erase (its brush) is what lies under the label.
    EXPECT_EQ(label->GetBuffer()->PixelAt(0, 0) & 0x00FFFFFFu, 0x00996633u);
    EXPECT_EQ(label->GetBuffer()->PixelAt(83, 12) & 0x00FFFFFFu, 0x00996633u);
}

TEST(SkinControlBackground, OpaqueControlsAndHandledBackgrounds)
{
    auto form = std::make_unique<fw::TForm>(nullptr);
    form->SetBounds(100, 100, 330, 100);
    auto* control = new TKsSkinCustomControl(form.get());
    control->SetParent(form.get());
    control->SetBounds(5, 5, 30, 20);
    control->SetTransparent(false);
    control->SetColor(fw::clRed);
    form->Show();
    EXPECT_TRUE(Settle());
    RepaintNow(*control);
    EXPECT_EQ(control->GetBuffer()->PixelAt(0, 0), 0xFFFF0000u);
    EXPECT_EQ(control->GetBuffer()->PixelAt(29, 19), 0xFFFF0000u);

    // A handler that says it handled the background leaves the fill to
    // itself; the later steps still run.
    int changed = 0;
    control->SetOnBackgroundChanging([](fw::TObject*, TBitmap32* bg, bool& handled) {
        bg->FillArea(0, 0, bg->Width(), bg->Height(), 0xFF123456u);
        handled = true;
    });
    control->SetOnBackgroundChanged([&](fw::TObject* sender, TBitmap32*) {
        EXPECT_EQ(sender, control);
        ++changed;
    });
    RepaintNow(*control);
    EXPECT_EQ(control->GetBuffer()->PixelAt(10, 10), 0xFF123456u);
    EXPECT_EQ(changed, 1);
}

TEST(SkinControlBackground, OverhangingControlRebuildsAtEveryPaint)
{
    auto form = std::make_unique<fw::TForm>(nullptr);
    form->SetBounds(100, 100, 200, 100);
    auto* inside = new TKsSkinCustomControl(form.get());
    inside->SetParent(form.get());
    inside->SetBounds(5, 5, 30, 20);
    auto* over = new TKsSkinCustomControl(form.get());
    over->SetParent(form.get());
    over->SetBounds(180, 5, 40, 20);  // past the form's right edge
    int insideBuilds = 0;
    int overBuilds = 0;
    inside->SetOnBackgroundChanged([&](fw::TObject*, TBitmap32*) { ++insideBuilds; });
    over->SetOnBackgroundChanged([&](fw::TObject*, TBitmap32*) { ++overBuilds; });
    form->Show();
    EXPECT_TRUE(Settle());
    RepaintNow(*inside);
    RepaintNow(*over);
    const int insideBefore = insideBuilds;
    const int overBefore = overBuilds;
    ExposeNow(*inside);
    ExposeNow(*over);
    EXPECT_EQ(insideBuilds, insideBefore);  // the kept buffer is copied again
    EXPECT_EQ(overBuilds, overBefore + 1);
}

// --- messages ---------------------------------------------------------------------------

TEST(SkinControlMessages, EraseCopiesTheBufferOnlyWhenAskedTo)
{
    auto form = std::make_unique<fw::TForm>(nullptr);
    auto* control = new TKsSkinCustomControl(form.get());
    control->SetParent(form.get());
    control->SetBounds(0, 0, 8, 8);
    control->SetTransparent(false);
    control->SetColor(fw::clBlue);
    form->Show();
    EXPECT_TRUE(Settle());
    RepaintNow(*control);

    TBitmap32 target;
    target.Resize(8, 8);
    target.Clear(0xFF00FF00u);
    HDC dc = target.Handle();
    for (bool erase : {false, true}) {
        control->SetEraseBackground(erase);
        EXPECT_EQ(control->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
        ::GdiFlush();
        EXPECT_EQ(target.PixelAt(3, 3) & 0x00FFFFFFu, 0x0000FF00u) << "lParam 0 never draws";
    }
    control->SetEraseBackground(false);
    EXPECT_EQ(control->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 1), 1);
    ::GdiFlush();
    EXPECT_EQ(target.PixelAt(3, 3) & 0x00FFFFFFu, 0x0000FF00u);
    control->SetEraseBackground(true);
    EXPECT_EQ(control->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 1), 1);
    ::GdiFlush();
    EXPECT_EQ(target.PixelAt(3, 3) & 0x00FFFFFFu, 0x000000FFu);
}

TEST(SkinControlMessages, MovingWithAutoInvalidateRefreshesWindowedChildren)
{
    auto form = std::make_unique<fw::TForm>(nullptr);
    form->SetBounds(100, 100, 330, 200);
    auto* parent = new TKsSkinCustomControl(form.get());
    parent->SetParent(form.get());
    parent->SetBounds(10, 10, 200, 150);
    int refreshes[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        auto* child = new TKsSkinCustomControl(form.get());
        child->SetParent(parent);
        child->SetBounds(10 + 50 * i, 10, 40, 40);
        fw::TWndMethod previous = child->WindowProc();
        child->SetWindowProc([previous, &refreshes, i](fw::TMessage& m) {
            if (m.Msg == CM_SKIN_CHILDREFRESH)
                ++refreshes[i];
            previous(m);
        });
    }
    form->Show();
    EXPECT_TRUE(Settle());

    parent->SetAutoInvalidate(false);
    parent->SetBounds(20, 10, 200, 150);
    EXPECT_TRUE(Settle());
    EXPECT_EQ(refreshes[0], 0);
    EXPECT_EQ(refreshes[1], 0);

    parent->SetAutoInvalidate(true);
    parent->SetBounds(30, 10, 200, 150);
    EXPECT_TRUE(PumpUntil([&] { return refreshes[0] == 1 && refreshes[1] == 1; }));
    EXPECT_TRUE(Settle());
    EXPECT_EQ(refreshes[0], 1);
    EXPECT_EQ(refreshes[1], 1);
}

// --- the label ------------------------------------------------------------------------

TEST_F(SkinnedForm, TintAlphaAndCustomDraw)
{
    TKsSkinLabel* label = NewBareLabel(form.get(), form.get(), fw::Bounds(20, 20, 30, 10));
    int customDraws = 0;
    label->SetOnCustomDraw([&](fw::TObject* sender, TBitmap32* canvas) {
        EXPECT_EQ(sender, label);
        EXPECT_EQ(canvas, label->GetBuffer());
        ++customDraws;
    });
    ShowForm();
    auto& background = const_cast<TBitmap32&>(skin->ColorBackground());
    FillPattern(background, 340, 110);

    // A new label has no tint: the background shows as it is.
    EXPECT_EQ(label->Alpha(), 0);
    customDraws = 0;
    RepaintNow(*label);
    EXPECT_EQ(label->GetBuffer()->PixelAt(4, 4), Pattern(26, 24));
    EXPECT_EQ(customDraws, 1);

    label->SetColor(0x000000FF);  // red
    label->SetAlpha(128);
    customDraws = 0;
    RepaintNow(*label);
    EXPECT_EQ(label->GetBuffer()->PixelAt(4, 4), MixPixel(0x80FF0000u, Pattern(26, 24), 128));
    EXPECT_EQ(customDraws, 1);

    label->SetAlpha(255);
    customDraws = 0;
    RepaintNow(*label);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(label->GetBuffer()->PixelAt(x, y), 0xFFFF0000u);
    EXPECT_EQ(customDraws, 0);
}

TEST_F(SkinnedForm, NewLabelDrawsItsCaptionWithGlowOverTheBackground)
{
    auto* label = new TKsSkinLabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(120, 24, 84, 13);
    EXPECT_TRUE(label->Light()->Active());
    EXPECT_EQ(label->Light()->Color(), 0x00FFFFFE);
    EXPECT_EQ(label->Light()->BlurRadius(), 1);
    EXPECT_TRUE(label->AutoInvalidate());
    label->SetCaption(kWaitingText);
    ShowForm();
    auto& background = const_cast<TBitmap32&>(skin->ColorBackground());
    background.Resize(400, 200);
    const TColor32 blue = 0xFF2040A0u;
    background.Clear(blue);

    // Black text on blue: the white glow is whatever came out brighter than
    // the background, the letters whatever came out darker.
    struct Count {
        int untouched = 0, brighter = 0, darker = 0;
    };
    auto count = [&] {
        RepaintNow(*label);
        Count c;
        const TBitmap32& buffer = *label->GetBuffer();
        for (int y = 0; y < buffer.Height(); ++y) {
            for (int x = 0; x < buffer.Width(); ++x) {
                const TColor32 p = buffer.PixelAt(x, y);
                if ((p & 0x00FFFFFFu) == (blue & 0x00FFFFFFu))
                    ++c.untouched;
                else if (BlueOf(p) > BlueOf(blue))
                    ++c.brighter;
                else
                    ++c.darker;
            }
        }
        return c;
    };
    const Count glowing = count();
    EXPECT_GT(glowing.darker, 10) << "the caption is drawn";
    EXPECT_GT(glowing.brighter, 10) << "the glow is drawn behind it";
    EXPECT_GT(glowing.untouched, 0) << "the background shows where neither reaches";

    label->Light()->SetActive(false);
    const Count plain = count();
    EXPECT_EQ(plain.brighter, 0);
    EXPECT_GT(plain.darker, 10);
}

TEST_F(SkinnedForm, AutoSizeFollowsTheCaptionButNotTheFont)
{
    auto* label = new TKsSkinLabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(120, 24, 84, 13);
    ShowForm();

    label->SetCaption("Loading");
    fw::TSize expected = MeasureWithFont(L"Loading", label->Font());
    const int oneLine = expected.cy;
    EXPECT_EQ(label->Width(), expected.cx);
    EXPECT_EQ(label->Height(), expected.cy);
    EXPECT_EQ(label->Left(), 120);
    EXPECT_EQ(label->Top(), 24);

    // A bigger font: no resize at run time.
    label->Font().SetHeight(-30);
    EXPECT_EQ(label->Width(), expected.cx);
    EXPECT_EQ(label->Height(), expected.cy);

    // The next caption change measures in the new font.
    label->SetCaption("Loading...\nplease wait");
    expected = MeasureWithFont(L"Loading...\nplease wait", label->Font());
    EXPECT_EQ(label->Width(), expected.cx);
    EXPECT_EQ(label->Height(), expected.cy);
    // Two lines of the bigger font (Wine's versions differ in how far they
    // scale a bitmap face, so no exact height).
    EXPECT_GT(label->Height(), 2 * oneLine);

    // Ellipsis switches sizing off; so does a rounded background.
    label->SetEllipsisPosition(epEndEllipsis);
    EXPECT_FALSE(label->AutoSize());
    label->SetCaption("x");
    EXPECT_EQ(label->Width(), expected.cx);
}

TEST_F(SkinnedForm, RoundBackgroundRaisesAlphaAndStopsSizing)
{
    auto* label = new TKsSkinLabel(form.get());
    label->SetParent(form.get());
    label->SetCaption("abc");
    ShowForm();
    EXPECT_EQ(label->Alpha(), 0);
    label->SetRoundBackground(true);
    EXPECT_EQ(label->Alpha(), 255);
    const int w = label->Width();
    label->SetCaption("a much longer caption");
    EXPECT_EQ(label->Width(), w);

    // The rounded background is drawn in Color, with the corners left out.
    label->SetAutoSize(false);
    label->SetBounds(20, 20, 60, 20);
    label->SetColor(0x0000FF00);
    label->SetCaption("");
    auto& background = const_cast<TBitmap32&>(skin->ColorBackground());
    background.Clear(0xFF000000u);
    RepaintNow(*label);
    EXPECT_EQ(label->GetBuffer()->PixelAt(30, 10), 0xFF00FF00u);
    EXPECT_EQ(label->GetBuffer()->PixelAt(0, 0) & 0x00FFFFFFu, 0u);

    // Turning it off sizes the label to its caption again.
    label->SetCaption("abc");
    label->SetAutoSize(true);
    EXPECT_EQ(label->Width(), 60);  // still off while rounded
    label->SetRoundBackground(false);
    EXPECT_EQ(label->Width(), MeasureWithFont(L"abc", label->Font()).cx);
}

TEST_F(SkinnedForm, AlignmentChangesRecreateTheWindow)
{
    auto* label = new TKsSkinLabel(form.get());
    label->SetParent(form.get());
    ShowForm();
    HWND before = label->Handle();
    label->SetAlignmentHorizontal(taCenter);
    EXPECT_NE(label->Handle(), before);
    EXPECT_TRUE(::IsWindowVisible(label->Handle()));
    before = label->Handle();
    label->SetAlignmentHorizontal(taCenter);  // unchanged: nothing happens
    EXPECT_EQ(label->Handle(), before);
    label->SetAlignmentVertical(taVerticalCenter);
    EXPECT_NE(label->Handle(), before);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    ASSERT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), L"TKsSkinLabel", &wc));
    EXPECT_FALSE(wc.style & CS_VREDRAW);
    EXPECT_TRUE(wc.style & CS_HREDRAW);
}

// --- stored layout ------------------------------------------------------------------

namespace {

class TLabelLayoutForm : public fw::TForm {
    FW_CLASS(TLabelLayoutForm)

    explicit TLabelLayoutForm(fw::TComponent* owner) : fw::TForm(owner) {}
    TKsSkinLabel* KsSkinLabel1 = nullptr;
};

void Prop(fw::TStreamWriter& w, const char* name) { w.WriteShortString(name); }

std::vector<std::uint8_t> LabelLayout()
{
    fw::TStreamWriter w;
    w.WriteSignature();
    w.WriteShortString("TLabelLayoutForm");
    w.WriteShortString("FormMain");
    Prop(w, "Width"), w.WriteInteger(330);
    Prop(w, "Height"), w.WriteInteger(100);
    Prop(w, "Font.Height"), w.WriteInteger(-11);
    Prop(w, "Font.Name"), w.WriteString("MS Sans Serif");
    w.WriteListEnd();
    w.WriteShortString("TKsSkinLabel");
    w.WriteShortString("KsSkinLabel1");
    Prop(w, "Left"), w.WriteInteger(120);
    Prop(w, "Top"), w.WriteInteger(24);
    Prop(w, "Width"), w.WriteInteger(84);
    Prop(w, "Height"), w.WriteInteger(13);
    Prop(w, "AutoInvalidate"), w.WriteBoolean(true);
    Prop(w, "Alpha"), w.WriteInteger(0);
    Prop(w, "Caption"), w.WriteWString(std::string_view(kWaitingText));
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();
    return w.Take();
}

}  // namespace

const fw::TClassInfo& TLabelLayoutForm::StaticClass()
{
    static const fw::TClassInfo& info = fw::DefineClass<TLabelLayoutForm, fw::TForm>("TLabelLayoutForm")
                                            .Field("KsSkinLabel1", &TLabelLayoutForm::KsSkinLabel1)
                                            .Register();
    return info;
}

TEST(SkinLabelLayout, TheLaunchersLabelIsCreatedFromItsStoredValues)
{
    auto form = std::make_unique<TLabelLayoutForm>(nullptr);
    form->InitFromLayout(LabelLayout());
    TKsSkinLabel* label = form->KsSkinLabel1;
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->ClassName(), "TKsSkinLabel");
    EXPECT_EQ(label->Parent(), form.get());
    EXPECT_EQ(label->Caption(), kWaitingText);
    EXPECT_EQ(label->Alpha(), 0);
    EXPECT_TRUE(label->AutoInvalidate());
    EXPECT_TRUE(label->AutoSize());
    EXPECT_EQ(label->Left(), 120);
    EXPECT_EQ(label->Top(), 24);
    // Loaded sized the label to its caption in the form's font (no resizing
    // while the values were read).
    const fw::TSize size = MeasureWithFont(label->CaptionW(), label->Font());
    EXPECT_EQ(label->Width(), size.cx);
    EXPECT_EQ(label->Height(), size.cy);

    // Written back, Alpha 0 and AutoInvalidate True differ from their declared
    // defaults and are stored; AutoSize is not.
    const std::vector<std::uint8_t> written = fw::WriteComponentStream(*form);
    const std::string bytes(written.begin(), written.end());
    EXPECT_NE(bytes.find("\x05"
                         "Alpha"),
              std::string::npos);
    EXPECT_NE(bytes.find("\x0E"
                         "AutoInvalidate"),
              std::string::npos);
    EXPECT_EQ(bytes.find("\x08"
                         "AutoSize"),
              std::string::npos);
}

// --- lifetime -------------------------------------------------------------------------

TEST(SkinLabelLifetime, ClosingAFormWithALabelLeavesNothingBehind)
{
    TKsWinControlHelper& registry = WinControlHelper();
    const std::size_t before = registry.Controls.size();

    auto* form = new fw::TForm(nullptr);
    new TKsSkinForm(form);
    auto* label = new TKsSkinLabel(form);
    label->SetParent(form);
    label->SetCaption(kWaitingText);
    bool destroyed = false;
    form->SetOnDestroy([&](fw::TObject*) { destroyed = true; });
    form->SetOnClose([](fw::TObject*, fw::TCloseAction& action) { action = fw::caFree; });
    form->Show();
    EXPECT_TRUE(Settle());
    ASSERT_EQ(registry.Controls.size(), before + 1);
    HWND labelWindow = label->Handle();
    // Messages are still queued for the label when its form goes.
    ::PostMessageW(labelWindow, CM_SKIN_CHILDREFRESH, 0, 0);
    ::InvalidateRect(labelWindow, nullptr, TRUE);
    form->Close();
    ASSERT_TRUE(PumpUntil([&] { return destroyed; }));
    EXPECT_TRUE(Settle());
    EXPECT_EQ(registry.Controls.size(), before);
    EXPECT_FALSE(::IsWindow(labelWindow));

    // A refresh of every skinned control by another form reaches only live ones.
    auto other = std::make_unique<fw::TForm>(nullptr);
    auto* otherSkin = new TKsSkinForm(other.get());
    auto* otherLabel = new TKsSkinLabel(other.get());
    otherLabel->SetParent(other.get());
    other->Show();
    EXPECT_TRUE(Settle());
    otherSkin->RefreshAll();
    EXPECT_TRUE(Settle());
    EXPECT_EQ(registry.Controls.size(), before + 1);
    other.reset();
    EXPECT_EQ(registry.Controls.size(), before);

    // A control being designed never enters the registry.
    fw::TComponent designer(nullptr);
    designer.SetDesigning(true);
    auto* designed = new TKsSkinLabel(&designer);
    EXPECT_EQ(registry.Controls.size(), before);
    delete designed;
    EXPECT_EQ(registry.Controls.size(), before);
}
