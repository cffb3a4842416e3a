// Fonts, canvases, bitmaps and pictures on real GDI objects.
#include "framework/Graphics_win.h"
#include "framework/ScopedGdi_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace fw;

namespace {

// A bottom-up 24-bit BMP file of w x h pixels, pixel (x, y) = colour(x, y).
std::vector<std::uint8_t> MakeBmp24(int w, int h, const std::function<COLORREF(int, int)>& colour)
{
    const int stride = ((w * 3 + 3) / 4) * 4;
    std::vector<std::uint8_t> bytes(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + stride * h);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfSize = static_cast<DWORD>(bytes.size());
    fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof(ih);
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biCompression = BI_RGB;
    std::memcpy(bytes.data(), &fh, sizeof(fh));
    std::memcpy(bytes.data() + sizeof(fh), &ih, sizeof(ih));
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = bytes.data() + fh.bfOffBits + (h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            COLORREF c = colour(x, y);
            row[x * 3 + 0] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
    }
    return bytes;
}

void WriteFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::uint32_t Pixel32(TBitmap& bmp, int x, int y)
{
    return static_cast<std::uint32_t*>(bmp.ScanLine(y))[x] & 0x00FFFFFF;
}

}  // namespace

TEST(GdiWrappers, CountReturnsToStartAfterThousandsOfObjects)
{
    const long start = gdi::LiveObjectCount();
    for (int i = 0; i < 1000; ++i) {
        TBitmap bmp(16, 16);
        TCanvas& canvas = bmp.Canvas();
        canvas.Font().SetHeight(-12 - i % 5);  // new font handle while the old one may be selected
        canvas.Brush().SetColor(RGB(i % 256, 0, 0));
        canvas.FillRect(TRect(0, 0, 8, 8));
        canvas.TextOut(0, 0, "Ab");
        canvas.Font().SetStyle({fsBold});  // replaced while selected
        canvas.TextOut(0, 4, L"中");
        canvas.Pen().SetWidth(2);
        canvas.Rectangle(TRect(2, 2, 10, 10));
        bmp.SetSize(20, 10);  // replaces the bitmap under a live canvas
        canvas.FillRect(TRect(0, 0, 20, 10));
        TBitmap copy;
        copy.Assign(bmp);
        copy.SetPixelFormat(pf24bit);
        TFont font;
        font.Assign(canvas.Font());
        (void)font.Handle();
    }
    EXPECT_EQ(gdi::LiveObjectCount(), start);
}

TEST(GdiWrappers, ReleaseHandsOwnershipOut)
{
    const long start = gdi::LiveObjectCount();
    HRGN raw = nullptr;
    {
        ScopedRegion region(::CreateRectRgn(0, 0, 4, 4));
        EXPECT_EQ(gdi::LiveObjectCount(), start + 1);
        raw = region.Release();
    }
    EXPECT_EQ(gdi::LiveObjectCount(), start);
    ScopedRegion again(raw);  // owned again, deleted at the end of the test
    EXPECT_EQ(gdi::LiveObjectCount(), start + 1);
}

TEST(Font, LogFontFollowsProperties)
{
    TFont font;
    LOGFONTW lf = font.MakeLogFont();
    EXPECT_STREQ(lf.lfFaceName, L"MS Sans Serif");
    EXPECT_EQ(lf.lfHeight, -11);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.Size(), 8);
    EXPECT_EQ(font.Color(), clWindowText);

    font.SetStyle({fsBold, fsItalic, fsUnderline, fsStrikeOut});
    font.SetName("宋体");
    font.SetQuality(fqNonAntialiased);
    font.SetSize(12);
    lf = font.MakeLogFont();
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic && lf.lfUnderline && lf.lfStrikeOut);
    EXPECT_STREQ(lf.lfFaceName, L"宋体");
    EXPECT_EQ(lf.lfQuality, NONANTIALIASED_QUALITY);
    EXPECT_EQ(lf.lfHeight, -16);
}

TEST(Font, ChangeEventsAndHandleReuse)
{
    TFont font;
    int changes = 0;
    font.SetOnChange([&](TObject*) { ++changes; });
    HFONT first = font.Handle();
    font.SetColor(clRed);  // colour is not part of the handle
    EXPECT_EQ(font.Handle(), first);
    font.SetHeight(-20);
    font.SetHeight(-20);  // unchanged: no event
    EXPECT_EQ(changes, 2);
    LOGFONTW lf{};
    ASSERT_EQ(::GetObjectW(font.Handle(), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, -20);
}

TEST(Canvas, DrawsOnBitmapWithBrushPenAndText)
{
    TBitmap bmp(40, 20);
    TCanvas& c = bmp.Canvas();
    c.Brush().SetColor(RGB(10, 20, 30));
    c.FillRect(TRect(0, 0, 40, 20));
    EXPECT_EQ(Pixel32(bmp, 39, 19), 0x0A141Eu);  // DIB pixels are BGR: 0x00RRGGBB
    c.Pen().SetColor(clWhite);
    c.MoveTo(0, 5);
    c.LineTo(40, 5);
    EXPECT_EQ(Pixel32(bmp, 20, 5), 0xFFFFFFu);
    EXPECT_EQ(c.PenPos(), TPoint(40, 5));

    c.Font().SetColor(clWhite);
    c.Brush().SetStyle(bsClear);
    TSize extent = c.TextExtent("Wg");
    EXPECT_GT(extent.cx, 0);
    EXPECT_GT(extent.cy, 0);
    c.Brush().SetColor(RGB(10, 20, 30));
    c.FillRect(TRect(0, 0, 40, 20));
    c.Brush().SetStyle(bsClear);
    c.TextOut(2, 2, "Wg");
    int lit = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            lit += Pixel32(bmp, x, y) != 0x0A141Eu;
    EXPECT_GT(lit, 5);
}

TEST(Canvas, ExternalContextGetsItsObjectsBack)
{
    ScopedCreateDC dc(nullptr);
    ScopedBitmap target(::CreateCompatibleBitmap(ScopedGetDC(nullptr).Get(), 8, 8));
    ScopedSelectObject sel(dc.Get(), target.Get());
    HGDIOBJ originalFont = ::GetCurrentObject(dc.Get(), OBJ_FONT);
    HGDIOBJ originalBrush = ::GetCurrentObject(dc.Get(), OBJ_BRUSH);
    {
        TCanvas canvas;
        canvas.SetHandle(dc.Get());
        canvas.TextOut(0, 0, "x");
        canvas.FillRect(TRect(0, 0, 2, 2));
        EXPECT_NE(::GetCurrentObject(dc.Get(), OBJ_FONT), originalFont);
        canvas.SetHandle(nullptr);
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), originalFont);
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BRUSH), originalBrush);
    }
}

TEST(Bitmap, LoadsBmpBytesAndReportsFormat)
{
    auto bytes = MakeBmp24(3, 2, [](int x, int y) { return RGB(x * 100, y * 100, 7); });
    TBitmap bmp;
    bmp.LoadFromBytes(bytes);
    EXPECT_EQ(bmp.Width(), 3);
    EXPECT_EQ(bmp.Height(), 2);
    EXPECT_EQ(bmp.PixelFormat(), pf24bit);
    // Rows are bottom-up in the file; ScanLine(0) is still the top row.
    auto* top = static_cast<std::uint8_t*>(bmp.ScanLine(0));
    auto* bottom = static_cast<std::uint8_t*>(bmp.ScanLine(1));
    EXPECT_EQ(top[3 * 2 + 2], 200);  // red of (2, 0)
    EXPECT_EQ(bottom[1], 100);       // green of (0, 1)
    EXPECT_EQ(bmp.Canvas().Pixel(1, 1), static_cast<TColor>(RGB(100, 100, 7)));
}

TEST(Bitmap, DamagedBmpFailsCleanly)
{
    auto bytes = MakeBmp24(5, 4, [](int, int) { return RGB(1, 2, 3); });
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        TBitmap bmp;
        EXPECT_THROW(bmp.LoadFromBytes(std::span(bytes.data(), cut)), EInvalidGraphic) << "cut at " << cut;
        EXPECT_TRUE(bmp.Empty());
    }
    auto huge = bytes;
    BITMAPINFOHEADER ih;
    std::memcpy(&ih, huge.data() + sizeof(BITMAPFILEHEADER), sizeof(ih));
    ih.biWidth = 60000;
    ih.biHeight = 60000;  // claims 10 GB of pixels in a 100-byte file
    std::memcpy(huge.data() + sizeof(BITMAPFILEHEADER), &ih, sizeof(ih));
    TBitmap bmp;
    EXPECT_THROW(bmp.LoadFromBytes(huge), EInvalidGraphic);
}

TEST(Bitmap, TransparentDrawLeavesKeyColourOut)
{
    TBitmap sprite(4, 4, pf24bit);
    sprite.Canvas().Brush().SetColor(clFuchsia);
    sprite.Canvas().FillRect(TRect(0, 0, 4, 4));
    sprite.Canvas().Brush().SetColor(clLime);
    sprite.Canvas().FillRect(TRect(1, 1, 3, 3));
    EXPECT_EQ(sprite.TransparentColor(), clFuchsia);  // bottom-left pixel
    sprite.SetTransparent(true);

    TBitmap target(4, 4, pf32bit);
    target.Canvas().Brush().SetColor(clNavy);
    target.Canvas().FillRect(TRect(0, 0, 4, 4));
    target.Canvas().Draw(0, 0, sprite);
    EXPECT_EQ(target.Canvas().Pixel(0, 0), clNavy);
    EXPECT_EQ(target.Canvas().Pixel(1, 1), clLime);
}

TEST(Picture, LoadsByExtensionAndRegistryIsExtensible)
{
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    std::wstring bmpPath = std::wstring(dir) + L"fw_picture_test.BMP";
    auto bytes = MakeBmp24(6, 5, [](int, int) { return RGB(9, 9, 9); });
    WriteFile(bmpPath, bytes);
    TPicture picture;
    int changes = 0;
    picture.SetOnChange([&](TObject*) { ++changes; });
    picture.LoadFromFile(bmpPath);
    ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 6);
    EXPECT_EQ(picture.Height(), 5);
    EXPECT_GT(changes, 0);

    EXPECT_THROW(picture.LoadFromFile(std::wstring(dir) + L"fw_picture_test.xyz"), EInvalidGraphic);

    // A format added later (as PNG and JPEG are) is chosen by its extension.
    std::wstring fakePath = std::wstring(dir) + L"fw_picture_test.fake";
    WriteFile(fakePath, bytes);
    int made = 0;
    TPicture::RegisterFileFormat(L"FAKE", L"Test pictures", [&] {
        ++made;
        return std::unique_ptr<TGraphic>(std::make_unique<TBitmap>());
    });
    picture.LoadFromFile(fakePath);
    EXPECT_EQ(made, 1);
    TPicture::UnregisterFileFormat(L".fake");
    EXPECT_FALSE(TPicture::IsRegisteredFileFormat(L"fake"));

    TPicture copy;
    copy.Assign(picture);
    EXPECT_EQ(copy.Width(), 6);
    EXPECT_NE(copy.Graphic(), picture.Graphic());
    ::DeleteFileW(bmpPath.c_str());
    ::DeleteFileW(fakePath.c_str());
}

TEST(Colors, SystemColoursResolveThroughTheSystem)
{
    EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(::GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(ColorToRGB(clWindowText), static_cast<TColor>(::GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456);
}
