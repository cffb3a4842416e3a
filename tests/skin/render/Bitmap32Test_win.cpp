// TBitmap32 on Windows (run under Wine): the DIB section and its device
// context, the bridge to other contexts, text and alpha text, GDI helpers.
#include "skin/render/BitmapHelpers.h"
#include "skin/render/Bitmap32.h"
#include "skin/render/NineSlice.h"

#include "framework/Graphics_win.h"
#include "framework/ScopedGdi_win.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

long Live() { return fw::gdi::LiveObjectCount(); }

TEST(Bitmap32Win, DibSectionInItsOwnContext)
{
    const long before = Live();
    {
        TBitmap32 b;
        EXPECT_EQ(b.Handle(), nullptr);
        int handleChanges = 0;
        b.OnHandleChanged = [&](fw::TObject*) { ++handleChanges; };
        b.Resize(5, 3);
        ASSERT_NE(b.Handle(), nullptr);
        EXPECT_EQ(handleChanges, 1);

        HBITMAP selected = static_cast<HBITMAP>(::GetCurrentObject(b.Handle(), OBJ_BITMAP));
        DIBSECTION dib{};
        ASSERT_EQ(::GetObjectW(selected, sizeof dib, &dib), static_cast<int>(sizeof dib));
        EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
        EXPECT_EQ(dib.dsBm.bmWidth, 5);
        EXPECT_EQ(dib.dsBm.bmBits, static_cast<void*>(b.Bits()));

        // Pixels written through Bits are what GDI sees, row 0 on top.
        b.PixelAt(4, 2) = 0xFF102030;
        EXPECT_EQ(::GetPixel(b.Handle(), 4, 2), RGB(0x10, 0x20, 0x30));
        // And GDI drawing lands in Bits (colour bytes).
        b.Canvas().Brush().SetColor(RGB(0xAA, 0xBB, 0xCC));
        b.Canvas().FillRect(TRect(0, 0, 1, 1));
        ::GdiFlush();
        EXPECT_EQ(b.PixelAt(0, 0) & 0xFFFFFF, 0xAABBCCu);

        b.Resize(0, 0);
        EXPECT_EQ(b.Handle(), nullptr);
        EXPECT_EQ(handleChanges, 2);
        b.Resize(7, 7);
        EXPECT_NE(b.Canvas().Handle(), nullptr);
        EXPECT_EQ(b.Canvas().Handle(), b.Handle());
    }
    EXPECT_EQ(Live(), before);
}

TEST(Bitmap32Win, TooLargeAndManyBitmapsLeakNothing)
{
    const long before = Live();
    {
        TBitmap32 b;
        b.Resize(10, 10);
        EXPECT_THROW(b.Resize(40000, 40000), ERenderError);
        EXPECT_TRUE(b.IsEmpty());
        EXPECT_EQ(b.Handle(), nullptr);
        b.Resize(3, 3);
        EXPECT_NE(b.Handle(), nullptr);
    }
    for (int i = 0; i < 1000; ++i) {
        TBitmap32 b;
        b.Resize(16 + i % 7, 9);
        b.TextOutAt(0, 0, std::wstring_view(L"x"));
        TBitmap32 c;
        c.Resize(4, 4);
        c.RenderAlphaText(0, 0, std::wstring_view(L"ab"), 0, 0xFF000000);
    }
    EXPECT_EQ(Live(), before);
}

TEST(Bitmap32Win, CopyToAndFromDeviceContexts)
{
    TBitmap32 a, b;
    a.Resize(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            a.PixelAt(x, y) = MakeColor32(x * 60, y * 80, 7, 255);
    b.Resize(10, 10);
    a.CopyToDC(b.Handle(), 2, 1);
    ::GdiFlush();
    EXPECT_EQ(b.PixelAt(2, 1) & 0xFFFFFF, a.PixelAt(0, 0) & 0xFFFFFF);
    EXPECT_EQ(b.PixelAt(5, 3) & 0xFFFFFF, a.PixelAt(3, 2) & 0xFFFFFF);
    EXPECT_EQ(b.PixelAt(6, 3), 0u);

    TBitmap32 empty;
    empty.CopyToDC(b.Handle(), 0, 0);  // nothing, no crash

    TBitmap32 c;
    c.Resize(8, 6);
    TRect changed;
    c.OnAreaChanged = [&](fw::TObject*, const TRect& r, std::uint32_t) { changed = r; };
    c.CopyFromDC(TRect(0, 0, 8, 6), TRect(0, 0, 4, 3), a.Handle());
    EXPECT_EQ(changed, TRect(0, 0, 8, 6));
    EXPECT_EQ(c.PixelAt(7, 5) & 0xFFFFFF, a.PixelAt(3, 2) & 0xFFFFFF);
    EXPECT_EQ(c.PixelAt(2, 2) & 0xFFFFFF, a.PixelAt(1, 1) & 0xFFFFFF);
}

int CountNonZero(const TBitmap32& b)
{
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            n += b.PixelAt(x, y) != 0 ? 1 : 0;
    return n;
}

TEST(Bitmap32Win, TextAndMeasuring)
{
    TBitmap32 empty;
    const TSize measuredEmpty = empty.MeasureText(std::wstring_view(L"Hello"));
    EXPECT_GT(measuredEmpty.cx, 0);
    EXPECT_GT(measuredEmpty.cy, 0);

    TBitmap32 b;
    b.Resize(80, 30);
    EXPECT_EQ(b.MeasureText(std::wstring_view(L"Hello")).cx, measuredEmpty.cx);
    EXPECT_EQ(b.MeasureTextWidth(std::string_view("Hello")), measuredEmpty.cx);
    b.Font().SetColor(0xFFFFFF);
    TRect changed;
    b.OnAreaChanged = [&](fw::TObject*, const TRect& r, std::uint32_t) { changed = r; };
    b.TextOutAt(2, 3, std::wstring_view(L"Hello"));
    EXPECT_EQ(changed, TRect(2, 3, 2 + measuredEmpty.cx + 1, 3 + measuredEmpty.cy + 1));
    EXPECT_GT(CountNonZero(b), 10);

    // Clipped text stays inside ClipRect.
    TBitmap32 clipped;
    clipped.Resize(80, 30);
    clipped.Font().SetColor(0xFFFFFF);
    clipped.SetClipRect(TRect(0, 0, 10, 30));
    clipped.TextOutAt(2, 3, std::wstring_view(L"Hello"));
    for (int y = 0; y < 30; ++y)
        for (int x = 10; x < 80; ++x)
            ASSERT_EQ(clipped.PixelAt(x, y), 0u);

    TBitmap32 inRect;
    inRect.Resize(80, 30);
    inRect.Font().SetColor(0xFFFFFF);
    inRect.TextOutInRect(TRect(0, 0, 80, 30), DT_CENTER | DT_VCENTER | DT_SINGLELINE, std::string_view("Hi"));
    EXPECT_EQ(inRect.PixelAt(0, 0), 0u);
    EXPECT_GT(CountNonZero(inRect), 4);
}

TEST(Bitmap32Win, AlphaText)
{
    // Level 0: the text's pixels carry the colour and alpha, the rest stays
    // untouched (transparent).
    TBitmap32 b;
    b.Resize(100, 30);
    b.RenderAlphaText(1, 1, std::wstring_view(L"Alpha"), 0, 0xFF2050A0);
    int coloured = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const TColor32 p = b.PixelAt(x, y);
            if (p != 0) {
                ++coloured;
                EXPECT_GT(AlphaOf(p), 0u);
            }
        }
    EXPECT_GT(coloured, 10);
    EXPECT_EQ(b.Font().Quality(), fw::fqDefault);  // rebuilt at default quality afterwards

    // Colour alpha 0 draws nothing.
    TBitmap32 none;
    none.Resize(100, 30);
    none.RenderAlphaText(1, 1, std::wstring_view(L"Alpha"), 0, 0x002050A0);
    EXPECT_EQ(CountNonZero(none), 0);

    // A bitmap narrower than the text: cut to its width, no trouble.
    TBitmap32 narrow;
    narrow.Resize(6, 30);
    narrow.RenderAlphaText(0, 0, std::wstring_view(L"Wide text"), 0, 0xFFFFFFFF);
    EXPECT_GT(CountNonZero(narrow), 0);

    // Level 2: supersampled, so partial alphas appear.
    TBitmap32 smooth;
    smooth.Resize(100, 30);
    smooth.RenderAlphaText(1, 1, std::wstring_view(L"Smooth"), 2, 0xFF000000);
    bool partial = false;
    for (int y = 0; y < smooth.Height(); ++y)
        for (int x = 0; x < smooth.Width(); ++x) {
            const unsigned a = AlphaOf(smooth.PixelAt(x, y));
            partial = partial || (a > 0 && a < 200);
        }
    EXPECT_TRUE(partial);

    TBitmap32 rect;
    rect.Resize(100, 30);
    rect.RenderAlphaTextInRect(TRect(10, 5, 90, 25), DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0xFFFF0000,
                               std::wstring_view(L"Rect"));
    EXPECT_GT(CountNonZero(rect), 4);
    EXPECT_EQ(rect.PixelAt(5, 5), 0u);
    EXPECT_EQ(rect.Font().Quality(), fw::fqNonAntialiased);  // stays so afterwards
    rect.RenderAlphaTextInRectQ(TRect(10, 5, 90, 25), DT_SINGLELINE, 0xFF00FF00, ANTIALIASED_QUALITY,
                                std::wstring_view(L"Q"));
    EXPECT_EQ(rect.Font().Quality(), fw::fqDefault);
}

TEST(Bitmap32Win, AssignFromFrameworkBitmaps)
{
    fw::TBitmap rgb(3, 2, fw::pf24bit);
    rgb.Canvas().Brush().SetColor(RGB(10, 20, 30));
    rgb.Canvas().FillRect(TRect(0, 0, 3, 2));
    rgb.Canvas().Brush().SetColor(RGB(255, 0, 255));
    rgb.Canvas().FillRect(TRect(0, 0, 1, 1));
    ::GdiFlush();
    TBitmap32 b;
    b.AssignFrom(&rgb);
    ASSERT_EQ(b.Width(), 3);
    EXPECT_EQ(b.PixelAt(2, 1), 0xFF0A141Eu);

    // Key pixels become transparent, also in a bitmap that had no pixels yet.
    rgb.SetTransparent(true);
    rgb.SetTransparentColor(RGB(255, 0, 255));
    TBitmap32 fresh;
    for (TBitmap32* target : {&b, &fresh}) {
        target->AssignFrom(&rgb);
        EXPECT_EQ(target->PixelAt(0, 0), 0x00FF00FFu);
        EXPECT_EQ(target->PixelAt(1, 0), 0xFF0A141Eu);
    }
}

TEST(Bitmap32Win, GdiHelpers)
{
    TBitmap32 b;
    b.Resize(20, 10);
    FillSolidRect(b.Handle(), 2, 3, RGB(1, 2, 3), 4, 5);
    ::GdiFlush();
    EXPECT_EQ(b.PixelAt(2, 3) & 0xFFFFFF, 0x010203u);
    EXPECT_EQ(b.PixelAt(6, 6) & 0xFFFFFF, 0x010203u);
    EXPECT_EQ(b.PixelAt(7, 6), 0u);

    b.FillArea(0, 0, 20, 10, 0xFF000000);
    FillTranslucent(b.Handle(), TRect(0, 0, 10, 10), RGB(255, 255, 255), 128);
    ::GdiFlush();
    EXPECT_NEAR(static_cast<int>(RedOf(b.PixelAt(5, 5))), 128, 2);
    EXPECT_EQ(RedOf(b.PixelAt(15, 5)), 0u);

    EXPECT_GT(MeasureTextWidthW(b.Handle(), L"Wide"), 0);
    EXPECT_GT(MeasureTextHeightW(b.Handle(), L"Two\nlines"), MeasureTextHeightW(b.Handle(), L"One"));

    fw::TBitmap picture(150, 120, fw::pf24bit);
    picture.Canvas().Brush().SetColor(RGB(40, 80, 120));
    picture.Canvas().FillRect(TRect(0, 0, 150, 120));
    EXPECT_EQ(FeatherEdges(picture), RGB(40, 80, 120));
}

TEST(Bitmap32Win, NineSliceThroughGdiStretches)
{
    TBitmap32 src;
    src.Resize(60, 134);
    for (int y = 0; y < 134; ++y)
        for (int x = 0; x < 60; ++x)
            src.PixelAt(x, y) = MakeColor32(x, y % 256, 1, 255);
    TBitmap32 dst;
    dst.Resize(300, 134);
    DrawNineSliceThirds(&src, &dst, true);
    EXPECT_EQ(dst.PixelAt(0, 10), src.PixelAt(0, 10));
    EXPECT_EQ(dst.PixelAt(299, 10), src.PixelAt(59, 10));
    // The middle 20 columns stretched over 260: monotonic, from 20 to 39.
    EXPECT_EQ(RedOf(dst.PixelAt(20, 10)), 20u);
    EXPECT_EQ(RedOf(dst.PixelAt(279, 10)), 39u);
    EXPECT_LE(RedOf(dst.PixelAt(100, 10)), RedOf(dst.PixelAt(200, 10)));

    auto copy = MakeStretchedCopy(&src, 120, 134);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->PixelAt(119, 5), src.PixelAt(59, 5));
}

}  // namespace
}  // namespace ks
