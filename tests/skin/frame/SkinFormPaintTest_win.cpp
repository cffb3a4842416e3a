// What the form controller paints, read back from the window; its settings
// record; and the engine's hold on GDI objects over many paints.
#include "tests/skin/frame/FrameWinSupport_win.h"

#include "skin/frame/FormBackground.h"
#include "skin/frame/FormSkinSettings.h"
#include "skin/frame/uKsSkinMainMenu.h"

#include "framework/TypInfo.h"
#include "framework/WideText_win.h"
#include "skin/render/BitmapHelpers.h"

#include "framework/Reader.h"
#include "tools/layoutc/LayoutText.h"

#include <algorithm>

using namespace ks;
using frametest::Near;
using frametest::Rgb;
using frametest::SkinFormTest;

namespace {

constexpr fw::TColor kLauncherTitle = 15592956;  // 0x00EDEDFC
constexpr fw::TColor kDefaultClient = 15920353;  // 0x00F2ECE1

std::uint32_t GradientRow(fw::TColor title, fw::TColor client, int row)
{
    return Rgb(ColorToColor32(GradientColorAt(title, client, 168, row)));
}

std::uint32_t Over(TColor32 line, std::uint32_t rgb) { return Rgb(BlendPixel(line, 0xFF000000u | rgb)); }

}  // namespace

TEST_F(SkinFormTest, TitleFrameAndClientPixels)
{
    TKsSkinForm* skin = AddSkin();
    skin->SetTitlerColor(kLauncherTitle);
    ShowAndSettle();
    Send(WM_NCPAINT, 1, 0);
    ::RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const auto px = frametest::CaptureWindow(Window());
    ASSERT_EQ(px.Width, 330);
    ASSERT_EQ(px.Height, 100);

    auto grad = [&](int row) { return GradientRow(kLauncherTitle, kDefaultClient, row); };
    const TColor32 a = kFrameOuterColor;
    const TColor32 b = kFrameInnerColor;
    // Title: the gradient starts at the title colour, under the outer and
    // inner top lines.
    EXPECT_TRUE(Near(px.At(100, 0), Over(a, grad(0)))) << std::hex << px.At(100, 0);
    EXPECT_TRUE(Near(px.At(100, 1), Over(b, grad(1))));
    for (int y : {2, 10, 26})
        EXPECT_TRUE(Near(px.At(100, y), grad(y))) << y << " " << std::hex << px.At(100, y);
    // The client continues the same gradient row for row.
    for (int y : {27, 50, 97})
        EXPECT_TRUE(Near(px.At(100, y), grad(y))) << y << " " << std::hex << px.At(100, y);
    // Side strips and bottom strip: outer and inner lines over the
    // background's rows.
    EXPECT_TRUE(Near(px.At(0, 50), Over(a, grad(50))));
    EXPECT_TRUE(Near(px.At(1, 50), Over(b, grad(50))));
    EXPECT_TRUE(Near(px.At(329, 50), Over(a, grad(50))));
    EXPECT_TRUE(Near(px.At(328, 50), Over(b, grad(50))));
    EXPECT_TRUE(Near(px.At(100, 99), Over(a, grad(99))));
    EXPECT_TRUE(Near(px.At(100, 98), Over(b, grad(98))));
}

TEST_F(SkinFormTest, FlatFrameAndKeptTitleColourDrawNoLines)
{
    TKsSkinForm* skin = AddSkin();
    skin->SetFramWidth(0);  // also makes the frame flat
    EXPECT_TRUE(skin->FlatFrame());
    skin->SetFramWidth(-4);  // ignored
    EXPECT_EQ(skin->FramWidth(), 0);
    skin->SetActiveGradient(false);
    ShowAndSettle();
    Send(WM_NCPAINT, 1, 0);
    const auto px = frametest::CaptureWindow(Window());
    const std::uint32_t title = Rgb(ColorToColor32(skin->EffectiveTitleColor()));
    EXPECT_TRUE(Near(px.At(100, 0), title)) << std::hex << px.At(100, 0);
    EXPECT_TRUE(Near(px.At(0, 10), title));
    const std::uint32_t client = Rgb(ColorToColor32(skin->EffectiveClientColor()));
    EXPECT_TRUE(Near(px.At(0, 60), client)) << std::hex << px.At(0, 60);

    skin->SetFramWidth(2);
    skin->SetFlatFrame(false);
    skin->SetKeepTitlerColor(true);
    Send(WM_NCPAINT, 1, 0);
    const auto kept = frametest::CaptureWindow(Window());
    EXPECT_TRUE(Near(kept.At(100, 0), title));  // no lines on the title
    EXPECT_TRUE(Near(kept.At(0, 60), Over(kFrameOuterColor, client)));
}

TEST_F(SkinFormTest, ZeroGradientHeightGivesATitleOfClientColourWithATitleColouredTopRow)
{
    TKsSkinForm* skin = AddSkin();
    skin->SetGradientHeight(0);
    skin->SetFlatFrame(true);
    ShowAndSettle();
    EXPECT_TRUE(skin->GradientBitmap().IsEmpty());
    Send(WM_NCPAINT, 1, 0);
    const auto px = frametest::CaptureWindow(Window());
    EXPECT_TRUE(Near(px.At(100, 0), Rgb(ColorToColor32(skin->EffectiveTitleColor()))));
    EXPECT_TRUE(Near(px.At(100, 1), Rgb(ColorToColor32(skin->EffectiveClientColor()))));
    EXPECT_TRUE(Near(px.At(100, 60), Rgb(ColorToColor32(skin->EffectiveClientColor()))));
}

TEST_F(SkinFormTest, BackgroundSizesFollowTheFormAndMonitor)
{
    TKsSkinForm* skin = AddSkin();
    ShowAndSettle();
    EXPECT_EQ(skin->ColorBackground().Width(), 340);
    EXPECT_EQ(skin->ColorBackground().Height(), 110);
    EXPECT_EQ(skin->GradientBitmap().Width(), form->Monitor()->Width() + 10);
    // Only the gradient rows that can reach the screen: title, form and the
    // background's margin (27 + 100 + 10 of the 168).
    EXPECT_EQ(skin->GradientBitmap().Height(), 137);
    // A form that outgrows its background gets a larger one at its next paint,
    // and the whole gradient once it is tall enough.
    form->SetBounds(100, 100, 500, 300);
    ::RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(skin->ColorBackground().Width(), 510);
    EXPECT_EQ(skin->ColorBackground().Height(), 310);
    EXPECT_EQ(skin->GradientBitmap().Height(), 168);
}

TEST_F(SkinFormTest, HsbShiftChangesTheEffectiveColours)
{
    TKsSkinForm* skin = AddSkin();
    SkinHsbB = -50;
    ShowAndSettle();
    EXPECT_EQ(skin->EffectiveTitleColor(), ShiftColorHsb(skin->TitlerColor(), 0, 0, -50));
    EXPECT_EQ(skin->EffectiveClientColor(), ShiftColorHsb(skin->Color(), 0, 0, -50));
}

TEST_F(SkinFormTest, RefreshAllPublishesUnlessTaggedAndFiresChanged)
{
    TKsSkinForm* skin = AddSkin();
    ShowAndSettle();
    int changed = 0;
    skin->SetChanged([&](fw::TObject* sender) {
        EXPECT_EQ(sender, skin);
        ++changed;
    });
    skin->SetColor(0x00123456);
    skin->SetHitTestWidth(7);
    skin->RefreshAll();
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(GlobalFormSkin().Color(), 0x00123456);
    EXPECT_EQ(GlobalFormSkin().HitTestWidth(), 7);

    skin->SetTag(99999);
    skin->SetColor(0x00654321);
    skin->RefreshAll();
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(GlobalFormSkin().Color(), 0x00123456);

    // CustomPicture alone goes out at once.
    skin->SetCustomPicture("missing.png");
    EXPECT_EQ(GlobalFormSkin().CustomPicture(), "missing.png");
    skin->SetCustomPicture("");
}

TEST_F(SkinFormTest, PictureStyleWithoutAPictureDrawsNoFrame)
{
    TKsSkinForm* skin = AddSkin();
    skin->SetStyle(ssPicture);
    ShowAndSettle();
    EXPECT_TRUE(skin->PictureBackground().IsEmpty());
    Send(WM_NCPAINT, 1, 0);  // nothing to draw, nothing fails
    Send(CM_SKIN_REBUILD);
    SUCCEED();
}

TEST_F(SkinFormTest, EngineHoldsNoMoreGdiObjectsAfterAHundredPaintsAndResizes)
{
    AddSkin();
    ShowAndSettle();
    HWND h = Window();
    Send(WM_NCPAINT, 1, 0);
    ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const long base = fw::gdi::LiveObjectCount();
    long highest = base;
    // Every size from 330 x 100 to 340 x 106 more than once: an object kept
    // per paint shows as a hundred, one kept per size as seventy-seven.
    for (int i = 0; i < 100; ++i) {
        ::SetWindowPos(h, nullptr, 0, 0, 330 + i % 11, 100 + i % 7, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Send(WM_NCPAINT, 1, 0);
        Send(CM_SKIN_NCREPAINT);
        ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        highest = std::max(highest, fw::gdi::LiveObjectCount());
    }
    // The last resize's deferred paint is still to come.
    fwtest::PumpUntil([&] { return fw::gdi::LiveObjectCount() == base; }, 3000);
    EXPECT_EQ(fw::gdi::LiveObjectCount(), base);
    EXPECT_LE(highest, base + 2);
}

TEST(SkinFormGradientFill, CanvasGradientMatchesTheRows)
{
    fw::TBitmap bitmap(4, 8, fw::pf32bit);
    GradientFill(bitmap.Canvas(), fw::clBlack, fw::clWhite, gdVertical, fw::TRect(0, 0, 4, 8));
    GradientFill(bitmap.Canvas(), fw::clRed, fw::clBlue, gdHorizontal, fw::TRect(0, 7, 4, 8));
    for (int y = 0; y < 7; ++y) {
        const fw::TColor expected = GradientColorAt(fw::clBlack, fw::clWhite, 8, y);
        EXPECT_EQ(bitmap.Canvas().Pixel(2, y), expected) << y;
    }
    EXPECT_EQ(bitmap.Canvas().Pixel(0, 7), fw::clRed);
    EXPECT_EQ(bitmap.Canvas().Pixel(3, 7), GradientColorAt(fw::clRed, fw::clBlue, 4, 3));
}

TEST(SkinFormProperties, PublishedTableInDeclarationOrder)
{
    const fw::TClassInfo* info = fw::FindClass("TKsSkinForm");
    ASSERT_NE(info, nullptr);
    std::vector<std::string> names;
    for (const fw::TPropInfo* p : info->Properties()) {
        if (p->Owner == info)
            names.push_back(p->Name);
    }
    const std::vector<std::string> expected = {
        "About",          "FlatFrame",     "TitleHeight", "TitlerColor",     "Color",         "Options",
        "RoundWindow",    "FramWidth",     "FrameColor",  "FillStyle",       "HitTestWidth",  "EraseBackGround",
        "GradientHeight", "CustomPicture", "Style",       "ActiveGradient",  "SkinRes",       "Changed",
        "ImageBorder",    "MainMenu",      "DoubleFrame", "KeepTitlerColor", "KeepFrameColor"};
    EXPECT_EQ(names, expected);

    fw::TComponent owner(nullptr);
    auto* skin = new TKsSkinForm(&owner);
    fw::TObject* target = nullptr;
    const fw::TPropInfo* about = fw::FindPropertyPath(*skin, "About", target);
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(about->IsStored(*skin));
    const fw::TPropInfo* drag = fw::FindPropertyPath(*skin, "Options.DragFullWindows", target);
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(target, skin->Options());
    const fw::TPropInfo* xValue = fw::FindPropertyPath(*skin, "MainMenu.Pos.XValue", target);
    ASSERT_NE(xValue, nullptr);
    EXPECT_EQ(xValue->GetOrd(*target), 5);
    EXPECT_EQ(skin->MainMenu()->HotColor(), 11463932);
    EXPECT_EQ(skin->MainMenu()->PressColor(), 8184058);
    EXPECT_EQ(skin->MainMenu()->Font()->Height(), -11);

    // Assigning whole settings objects copies their values.
    TKsSkinFormOptions options;
    options.SetHideInTaskbar(true);
    options.SetDragFullWindows(wkActive);
    skin->SetOptions(options);
    EXPECT_TRUE(skin->Options()->HideInTaskbar());
    EXPECT_EQ(skin->Options()->DragFullWindows(), wkActive);
    EXPECT_NE(skin->Options(), &options);
}

TEST(SkinFormProperties, StoredLayoutOfTheLauncherForm)
{
    const char* text = R"(object FormProbe: TForm
  Left = 100
  Top = 100
  Width = 330
  Height = 100
  object KsSkinForm1: TKsSkinForm
    TitlerColor = 15592956
    MainMenu.Font.Charset = DEFAULT_CHARSET
    MainMenu.Font.Color = clWindowText
    MainMenu.Font.Height = -11
    MainMenu.Font.Name = 'MS Sans Serif'
    MainMenu.Font.Style = []
    MainMenu.Pos.Align = caLeft
    MainMenu.Pos.XValue = 5
    MainMenu.Pos.YValue = 5
    MainMenu.Pos.UseDefault = False
    MainMenu.HotColor = 11463932
    MainMenu.PressColor = 8184058
    Left = 64
    Top = 24
  end
end
)";
    const std::vector<std::uint8_t> stream = fw::layout::CompileLayout(text, "probe.layout");
    fw::TForm form(nullptr);
    fw::ReadComponentStream(stream, form);
    ASSERT_EQ(form.ComponentCount(), 1);
    auto* skin = dynamic_cast<TKsSkinForm*>(form.Components(0));
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->TitlerColor(), kLauncherTitle);
    EXPECT_EQ(skin->EffectiveTitleColor(), kLauncherTitle);
    EXPECT_EQ(skin->MainMenu()->Pos()->XValue(), 5);
    EXPECT_EQ(skin->DesignLeft(), 64);
    EXPECT_EQ(skin->Form(), &form);
}

namespace {

constexpr int kPicW = 60;
constexpr int kPicH = 30;

std::uint32_t PicRgb(int x, int y)
{
    return (static_cast<std::uint32_t>(x * 4) << 16) | (static_cast<std::uint32_t>(y * 8) << 8) | 128u;
}

// A 24-bit bitmap file with a known pattern, in the temporary folder.
std::string WritePictureFile()
{
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"ks_frame_picture.bmp";
    const int rowBytes = (kPicW * 3 + 3) & ~3;
    std::vector<std::uint8_t> file(54 + static_cast<std::size_t>(rowBytes) * kPicH, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, kPicW);
    put32(22, kPicH);
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < kPicH; ++y) {
        std::uint8_t* row = &file[54 + static_cast<std::size_t>(kPicH - 1 - y) * rowBytes];
        for (int x = 0; x < kPicW; ++x) {
            const std::uint32_t c = PicRgb(x, y);
            row[x * 3 + 0] = static_cast<std::uint8_t>(c);
            row[x * 3 + 1] = static_cast<std::uint8_t>(c >> 8);
            row[x * 3 + 2] = static_cast<std::uint8_t>(c >> 16);
        }
    }
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(h, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
    ::CloseHandle(h);
    return fw::WideToUtf8(path);
}

}  // namespace

TEST_F(SkinFormTest, TiledPictureInWindowCoordinates)
{
    TKsSkinForm* skin = AddSkin();
    skin->SetStyle(ssPicture);
    skin->SetFillStyle(mfsTile);
    skin->SetCustomPicture(WritePictureFile());
    ShowAndSettle();
    ASSERT_EQ(skin->PictureSource().Width(), kPicW);
    EXPECT_EQ(skin->PictureBackground().Width(), 340);
    EXPECT_EQ(skin->PictureColor(), 0x00FFFFFF);
    Send(WM_NCPAINT, 1, 0);
    ::RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const auto px = frametest::CaptureWindow(Window());
    EXPECT_TRUE(Near(px.At(100, 50), PicRgb(40, 20))) << std::hex << px.At(100, 50);
    EXPECT_TRUE(Near(px.At(100, 10), PicRgb(40, 10))) << std::hex << px.At(100, 10);
    EXPECT_TRUE(Near(px.At(0, 50), Over(kFrameOuterColor, PicRgb(0, 20))));
    EXPECT_TRUE(Near(px.At(100, 99), Over(kFrameOuterColor, PicRgb(40, 9))));
}

TEST_F(SkinFormTest, PictureFillStyles)
{
    TKsSkinForm* skin = AddSkin();
    skin->SetStyle(ssPicture);
    skin->SetFillStyle(mfs9Block);
    skin->SetCustomPicture(WritePictureFile());
    ShowAndSettle();
    EXPECT_EQ(skin->PictureBackground().Width(), 330);
    EXPECT_EQ(skin->PictureBackground().Height(), 100);

    skin->SetFillStyle(mfsStretch);
    Send(CM_SKIN_REBUILD);
    EXPECT_EQ(skin->PictureBackground().Width(), 340);
    EXPECT_EQ(skin->PictureBackground().Height(), 110);

    // Blur: the picture's average colour fills the rest of the background.
    skin->SetFillStyle(mfsBlur);
    Send(CM_SKIN_REBUILD);
    const fw::TColor average = skin->PictureColor();
    EXPECT_NE(average, 0x00FFFFFF);
    EXPECT_EQ(Rgb(skin->PictureBackground().PixelAt(200, 80)), Rgb(ColorToColor32(average)));

    // A name that resolves to nothing keeps the previous picture.
    skin->SetCustomPicture("no such picture.png");
    Send(CM_SKIN_REBUILD);
    EXPECT_EQ(skin->PictureSource().Width(), kPicW);
}

TEST_F(SkinFormTest, PictureFollowsTheHsbShift)
{
    TKsSkinForm* skin = AddSkin();
    skin->SetStyle(ssPicture);
    skin->SetFillStyle(mfsTile);
    skin->SetCustomPicture(WritePictureFile());
    SkinHsbH = 40;
    SkinHsbB = 10;
    ShowAndSettle();
    EXPECT_EQ(skin->PictureSource().PixelAt(10, 10), ShiftPixelHsl(0xFF000000u | PicRgb(10, 10), 40, 0, 10));
}
