// The glow behind text and the text measuring, on real device contexts.
#include "skin/resources/uKsSkinIntf.h"

#include "framework/Graphics_win.h"
#include "framework/ScopedGdi_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace ks {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 32;
constexpr unsigned kFormat = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;

// A white bitmap with a font large enough for clear glyphs.
class Glow : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_bitmap.Resize(kWidth, kHeight);
        m_bitmap.FillArea(0, 0, kWidth, kHeight, 0xFFFFFFFF);
        m_bitmap.Canvas().Font().SetHeight(-18);
    }
    std::vector<TColor32> Pixels() const
    {
        return std::vector<TColor32>(m_bitmap.Bits(), m_bitmap.Bits() + kWidth * kHeight);
    }
    static unsigned Green(TColor32 c) { return GreenOf(c); }

    TBitmap32 m_bitmap;
};

TEST_F(Glow, BlankTextDrawsNothing)
{
    const std::vector<TColor32> before = Pixels();
    for (const wchar_t* text : {L"", L"   ", L" \t\r\n "})
        DrawGlowText(m_bitmap.Canvas(), fw::Rect(0, 0, kWidth, kHeight), text, 2, fw::clRed, kFormat);
    EXPECT_EQ(Pixels(), before);
}

TEST_F(Glow, RadiusZeroLeavesTheColours)
{
    m_bitmap.FillArea(10, 5, 60, 20, 0xFF3366CC);
    const std::vector<TColor32> before = Pixels();
    DrawGlowText(m_bitmap.Canvas(), fw::Rect(0, 0, kWidth, kHeight), L"Glow", 0, fw::clRed, kFormat);
    const std::vector<TColor32> after = Pixels();
    for (std::size_t i = 0; i < before.size(); ++i)
        ASSERT_EQ(after[i] & 0xFFFFFFu, before[i] & 0xFFFFFFu) << "pixel " << i;
}

TEST_F(Glow, DarkensTowardsTheColourNearTheLettersOnly)
{
    // Red glow over white: green and blue sink near the glyphs and stay
    // almost white away from them; outside the rectangle nothing changes.
    const fw::TRect rect(0, 0, kWidth - 20, kHeight);
    DrawGlowText(m_bitmap.Canvas(), rect, L"Hi", 1, fw::clRed, kFormat);
    unsigned darkest = 255;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < 30; ++x)
            darkest = std::min(darkest, Green(m_bitmap.PixelAt(x, y)));
    // At least a third of the way to the glow's colour (how far depends on
    // the font renderer's anti-aliasing: Wine 10 reaches 130).
    EXPECT_LE(darkest, 170u);
    EXPECT_GE(Green(m_bitmap.PixelAt(rect.Right - 5, kHeight / 2)), 253u);
    EXPECT_EQ(RedOf(m_bitmap.PixelAt(rect.Right - 5, kHeight / 2)), 255u);
    for (int y = 0; y < kHeight; ++y)
        for (int x = rect.Right; x < kWidth; ++x)
            ASSERT_EQ(m_bitmap.PixelAt(x, y), 0xFFFFFFFFu);
}

TEST_F(Glow, FollowsTheLettersOfAChineseCaption)
{
    // The mask is laid out with the wide DrawText, like the caption: on a
    // system whose code page has no Chinese, an ANSI mask would glow around
    // question marks instead.
    const fw::TRect rect(0, 0, kWidth, kHeight);
    DrawGlowText(m_bitmap.Canvas(), rect, L"\x6b63\x5728\x52aa\x529b\x52a0\x8f7d\x4e2d", 1, fw::clRed, kFormat);
    const std::vector<TColor32> chinese = Pixels();
    SetUp();
    DrawGlowText(m_bitmap.Canvas(), rect, L"???????", 1, fw::clRed, kFormat);
    EXPECT_NE(Pixels(), chinese);
    unsigned darkest = 255;
    for (TColor32 c : chinese)
        darkest = std::min(darkest, Green(c));
    EXPECT_LT(darkest, 200u);
}

TEST(MeasureText, GivesTheSizeDrawTextLaysOut)
{
    fw::ScopedCreateDC dc;
    ASSERT_TRUE(dc);
    fw::TFont font;
    font.SetHeight(-16);
    fw::ScopedSelectObject select(dc.Get(), font.Handle());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);

    SIZE extent{};
    GetTextExtentPoint32W(dc.Get(), L"Measure me", 10, &extent);
    EXPECT_EQ(MeasureTextWidth(dc.Get(), L"Measure me"), extent.cx);
    EXPECT_EQ(MeasureTextHeight(dc.Get(), L"Measure me"), metrics.tmHeight);
    // Line breaks count: DT_CALCRECT alone lays out every line.
    EXPECT_EQ(MeasureTextHeight(dc.Get(), L"one\ntwo"), 2 * metrics.tmHeight);
    EXPECT_GT(MeasureTextWidth(dc.Get(), L"\x6b63\x5728\x52a0\x8f7d"), 0);
    EXPECT_EQ(MeasureTextWidth(dc.Get(), L""), 0);
}

}  // namespace
}  // namespace ks
