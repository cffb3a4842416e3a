// The plain-memory bitmap: size, fills, the draw core with its draw modes,
// clipping and stretching, change notification, streamed data.
#include "skin/render/Bitmap32.h"
#include "skin/render/Resamplers.h"
#include "skin/render/Transform.h"

#include "framework/Reader.h"
#include "framework/TypInfo.h"
#include "framework/Writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks {
namespace {

// A w x h bitmap whose pixel (x, y) is MakeColor32(x, y, seed, alpha).
std::unique_ptr<TBitmap32> Pattern(int w, int h, unsigned alpha = 255, unsigned seed = 7)
{
    auto b = std::make_unique<TBitmap32>();
    b->Resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->PixelAt(x, y) = MakeColor32(static_cast<unsigned>(x), static_cast<unsigned>(y), seed, alpha);
    return b;
}

TEST(Color32, Helpers)
{
    EXPECT_EQ(MakeColor32(0x12, 0x34, 0x56, 0x78), 0x78123456u);
    EXPECT_EQ(MakeColor32(0x112, 0x134, 0x156, 0x178), 0x78123456u);  // 8 bits each
    EXPECT_EQ(AlphaOf(0x80FFFFFF), 0x80u);
    EXPECT_EQ(WithAlpha(0x12345678, 300), 0xFF345678u);
    EXPECT_EQ(WithAlpha(0x12345678, -4), 0x00345678u);
    EXPECT_EQ(WithAlpha(0x12345678, 0x40), 0x40345678u);
    // Windows 0x00BBGGRR: red and blue swap, alpha 255.
    EXPECT_EQ(ColorToColor32(0x00332211), 0xFF112233u);
    // A system colour is looked up first.
    const std::uint32_t face = SystemColorRGB(15);
    EXPECT_EQ(ColorToColor32(static_cast<std::int32_t>(0x8000000F)),
              0xFF000000u | (face & 0xFF) << 16 | (face & 0xFF00) | (face >> 16 & 0xFF));
}

TEST(Bitmap32Size, NewAndResize)
{
    TBitmap32 b;
    EXPECT_TRUE(b.IsEmpty());
    std::vector<std::string> events;
    b.OnChange = [&](fw::TObject*) { events.push_back("change"); };
    b.OnResize = [&](fw::TObject*) { events.push_back("resize"); };

    EXPECT_TRUE(b.Resize(-5, 3));
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_TRUE(b.IsEmpty());

    events.clear();
    EXPECT_TRUE(b.Resize(4, 3));
    EXPECT_EQ(events, (std::vector<std::string>{"change", "resize"}));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(b.PixelAt(x, y), 0u);  // transparent black
    EXPECT_EQ(b.ClipRect(), TRect(0, 0, 4, 3));

    events.clear();
    EXPECT_FALSE(b.Resize(4, 3));
    EXPECT_TRUE(events.empty());

    b.SetClipRect(TRect(1, 1, 2, 2));
    EXPECT_TRUE(b.Clipping());
    b.SetWidth(6);
    EXPECT_EQ(b.Width(), 6);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_FALSE(b.Clipping());
    EXPECT_EQ(b.ClipRect(), TRect(0, 0, 6, 3));
}

TEST(Bitmap32Size, TooLargeFailsCleanly)
{
    TBitmap32 b;
    b.Resize(10, 10);
    EXPECT_THROW(b.Resize(100000, 100000), ERenderError);
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_THROW(b.Resize(0x7FFFFFFF, 0x7FFFFFFF), ERenderError);
    EXPECT_TRUE(b.IsEmpty());
    // Still usable afterwards.
    EXPECT_TRUE(b.Resize(2, 2));
    b.Clear(0xFF112233);
    EXPECT_EQ(b.PixelAt(1, 1), 0xFF112233u);
}

TEST(Bitmap32Fill, AreasSpansAndMixing)
{
    TBitmap32 b;
    b.Resize(8, 4);
    b.FillArea(-3, -3, 2, 2, 0x80FF0000);  // cut to the bounds, not to ClipRect
    EXPECT_EQ(b.PixelAt(1, 1), 0x80FF0000u);
    EXPECT_EQ(b.PixelAt(2, 1), 0u);

    b.SetClipRect(TRect(4, 0, 8, 4));
    b.FillArea(0, 3, 8, 4, 0xFF00FF00);  // FillArea ignores ClipRect
    EXPECT_EQ(b.PixelAt(0, 3), 0xFF00FF00u);
    b.FillAreaClipped(0, 0, 6, 1, 0xFF0000FF);
    EXPECT_EQ(b.PixelAt(3, 0), 0u);
    EXPECT_EQ(b.PixelAt(4, 0), 0xFF0000FFu);
    EXPECT_EQ(b.PixelAt(5, 0), 0xFF0000FFu);
    EXPECT_EQ(b.PixelAt(6, 0), 0u);

    b.ResetClipRect();
    b.Clear(0xFF000000);
    b.FillAreaMixed(0, 0, 2, 1, 0x00FFFFFF);  // alpha 0: nothing
    EXPECT_EQ(b.PixelAt(0, 0), 0xFF000000u);
    b.FillAreaMixed(0, 0, 2, 1, 0x80FFFFFF);
    EXPECT_EQ(b.PixelAt(0, 0), MixPixel(0x80FFFFFF, 0xFF000000, 0x80));
    EXPECT_EQ(b.PixelAt(2, 0), 0xFF000000u);
    b.FillAreaMixed(0, 0, 1, 1, 0xFF123456);  // alpha 255: a plain store
    EXPECT_EQ(b.PixelAt(0, 0), 0xFF123456u);

    b.FillRowSpan(2, 2, 4, 0x11111111);  // end inclusive
    EXPECT_EQ(b.PixelAt(1, 2), 0xFF000000u);
    EXPECT_EQ(b.PixelAt(2, 2), 0x11111111u);
    EXPECT_EQ(b.PixelAt(4, 2), 0x11111111u);
    EXPECT_EQ(b.PixelAt(5, 2), 0xFF000000u);
    b.FillRowSpan(-10, 3, 100, 0x22222222);  // cut to the row
    EXPECT_EQ(b.PixelAt(7, 3), 0x22222222u);

    b.SetClipRect(TRect(0, 0, 1, 1));
    b.PutPixelBlended(1, 1, 0xFFFFFFFF);
    EXPECT_EQ(b.PixelAt(1, 1), 0xFF000000u);
    b.PutPixelBlended(0, 0, 0xFFABCDEF);
    EXPECT_EQ(b.PixelAt(0, 0), 0xFFABCDEFu);

    b.ResetClipRect();
    b.Clear(0x10203040);
    b.MakeOpaque();
    EXPECT_EQ(b.PixelAt(3, 3), 0xFF203040u);
}

TEST(Bitmap32Draw, ModesOfTheSource)
{
    TBitmap32 dst;
    dst.Resize(4, 1);
    auto src = Pattern(2, 1, 0x40);

    // dmOpaque copies alpha bytes as they are.
    DrawAt(dst, 1, 0, *src);
    EXPECT_EQ(dst.PixelAt(0, 0), 0u);
    EXPECT_EQ(dst.PixelAt(1, 0), src->PixelAt(0, 0));
    EXPECT_EQ(dst.PixelAt(2, 0), src->PixelAt(1, 0));

    // dmBlend with MasterAlpha 0 touches nothing.
    dst.Clear(0xFF102030);
    src->SetDrawMode(dmBlend);
    src->SetMasterAlpha(0);
    bool reported = false;
    dst.OnAreaChanged = [&](fw::TObject*, const TRect&, std::uint32_t) { reported = true; };
    DrawAt(dst, 0, 0, *src);
    EXPECT_EQ(dst.PixelAt(0, 0), 0xFF102030u);
    EXPECT_FALSE(reported);

    // dmBlend at 255 is BlendRow, below 255 BlendRowMaster.
    src->SetMasterAlpha(255);
    DrawAt(dst, 0, 0, *src);
    TColor32 expected = 0xFF102030;
    BlendRow(&src->PixelAt(0, 0), &expected, 1);
    EXPECT_EQ(dst.PixelAt(0, 0), expected);
    EXPECT_TRUE(reported);

    dst.Clear(0xFF102030);
    src->SetMasterAlpha(100);
    DrawAt(dst, 0, 0, *src);
    expected = 0xFF102030;
    BlendRowMaster(&src->PixelAt(1, 0), &expected, 1, 100);
    EXPECT_EQ(dst.PixelAt(1, 0), expected);

    // dmTransparent skips the OuterColor.
    dst.Clear(0xFF102030);
    src->SetDrawMode(dmTransparent);
    src->SetOuterColor(src->PixelAt(0, 0));
    DrawAt(dst, 0, 0, *src);
    EXPECT_EQ(dst.PixelAt(0, 0), 0xFF102030u);
    EXPECT_EQ(dst.PixelAt(1, 0), src->PixelAt(1, 0));

    // dmCustom calls OnPixelCombine with the master alpha.
    src->SetDrawMode(dmCustom);
    src->SetMasterAlpha(77);
    unsigned seenMaster = 0;
    src->OnPixelCombine = [&](TColor32 f, TColor32& b, unsigned m) {
        seenMaster = m;
        b = f ^ 0xFFFFFFFF;
    };
    DrawAt(dst, 2, 0, *src);
    EXPECT_EQ(seenMaster, 77u);
    EXPECT_EQ(dst.PixelAt(2, 0), src->PixelAt(0, 0) ^ 0xFFFFFFFF);

    // Nothing from a nil source; a nil destination is an error of the core.
    DrawAt(&dst, 0, 0, nullptr);
    EXPECT_THROW(DrawAt(nullptr, 0, 0, src.get()), ERenderError);
    try {
        BlockTransfer(&dst, 0, 0, dst.ClipRect(), nullptr, TRect(0, 0, 1, 1));
        FAIL();
    } catch (const ERenderError& e) {
        EXPECT_STREQ(e.what(), "Source bitmap is nil");
    }
}

TEST(Bitmap32Draw, ClippingAndParts)
{
    auto src = Pattern(4, 4);
    TBitmap32 dst;
    dst.Resize(6, 6);
    dst.SetClipRect(TRect(2, 2, 5, 5));
    TRect changed;
    dst.OnAreaChanged = [&](fw::TObject*, const TRect& r, std::uint32_t info) {
        changed = r;
        EXPECT_EQ(info, AREAINFO_RECT);
    };
    DrawAt(dst, 0, 0, *src);
    EXPECT_EQ(changed, TRect(2, 2, 4, 4));
    EXPECT_EQ(dst.PixelAt(1, 1), 0u);
    EXPECT_EQ(dst.PixelAt(2, 2), src->PixelAt(2, 2));
    EXPECT_EQ(dst.PixelAt(3, 3), src->PixelAt(3, 3));
    EXPECT_EQ(dst.PixelAt(4, 4), 0u);

    // A part reaching outside the source is cut first, then placed at (x, y).
    dst.ResetClipRect();
    dst.Clear(0);
    DrawPartAt(dst, 1, 1, TRect(-2, 2, 10, 3), *src);
    EXPECT_EQ(changed, TRect(1, 1, 5, 2));
    EXPECT_EQ(dst.PixelAt(1, 1), src->PixelAt(0, 2));
    EXPECT_EQ(dst.PixelAt(4, 1), src->PixelAt(3, 2));

    // Negative placement.
    dst.Clear(0);
    DrawAt(dst, -3, -2, *src);
    EXPECT_EQ(dst.PixelAt(0, 0), src->PixelAt(3, 2));
    EXPECT_EQ(dst.PixelAt(0, 1), src->PixelAt(3, 3));
    EXPECT_EQ(dst.PixelAt(1, 0), 0u);

    // A bitmap drawn onto itself with overlap reads its rows before writing.
    auto self = Pattern(4, 4);
    auto copy = Pattern(4, 4);
    DrawAt(*self, 1, 1, *self);
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 4; ++x)
            EXPECT_EQ(self->PixelAt(x, y), copy->PixelAt(x - 1, y - 1));
}

TEST(Bitmap32Stretch, NearestMapsAndEdges)
{
    EXPECT_EQ(NearestIndexMap(0, 2, 0, 5, 0, 5), (std::vector<int>{0, 0, 0, 1, 1}));
    EXPECT_EQ(NearestIndexMap(0, 6, 0, 3, 0, 3), (std::vector<int>{0, 2, 4}));
    // A destination of one pixel samples the middle of the source span.
    EXPECT_EQ(NearestIndexMap(3, 10, 5, 6, 5, 6), (std::vector<int>{6}));
    // The map starts at the clip, not at the destination's edge.
    EXPECT_EQ(NearestIndexMap(0, 2, 0, 4, 2, 4), (std::vector<int>{1, 1}));
    // The scale is a 32-bit float: 14 / 10 is just below 1.4.
    EXPECT_EQ(NearestIndexMap(0, 14, 0, 10, 5, 6), (std::vector<int>{6}));

    auto src = Pattern(5, 3);
    TBitmap32 dst;
    dst.Resize(1, 6);
    DrawStretched(dst, TRect(0, 0, 1, 6), *src);
    for (int y = 0; y < 6; ++y)
        EXPECT_EQ(dst.PixelAt(0, y), src->PixelAt(2, y / 2)) << y;

    // Equal sizes fall back to the unscaled draw.
    dst.Resize(3, 3);
    DrawStretched(dst, TRect(0, 0, 3, 3), TRect(1, 0, 4, 3), *src);
    EXPECT_EQ(dst.PixelAt(0, 0), src->PixelAt(1, 0));
    EXPECT_EQ(dst.PixelAt(2, 2), src->PixelAt(3, 2));
}

TEST(Bitmap32Stretch, SourceCutToBoundsShrinksTheDestination)
{
    auto src = Pattern(4, 4);
    TBitmap32 dst;
    dst.Resize(20, 20);
    TRect changed;
    dst.OnAreaChanged = [&](fw::TObject*, const TRect& r, std::uint32_t) { changed = r; };
    // Source (-1, 0, 5, 4) into (0, 0, 12, 8): sx = 2, sy = 2. The left edge
    // moves right by Ceil(1 * 2) = 2, the right edge left by Floor(1 * 2) = 2.
    DrawStretched(dst, TRect(0, 0, 12, 8), TRect(-1, 0, 5, 4), *src);
    EXPECT_EQ(changed, TRect(2, 0, 10, 8));
    EXPECT_EQ(dst.PixelAt(1, 0), 0u);
    EXPECT_EQ(dst.PixelAt(2, 0), src->PixelAt(0, 0));
    EXPECT_EQ(dst.PixelAt(9, 7), src->PixelAt(3, 3));
    EXPECT_EQ(dst.PixelAt(10, 0), 0u);

    // Rectangles far beyond the int range of their extents neither crash nor
    // wrap around.
    TBitmap32 huge;
    huge.Resize(4, 4);
    DrawStretched(huge, TRect(-2000000000, -2000000000, 2000000000, 2000000000), *src);
    DrawStretched(huge, TRect(0, 0, 4, 4), TRect(-2000000000, 0, 2000000000, 4), *src);
    DrawAt(huge, 2147483600, 0, *src);
    DrawPartAt(huge, -2147483600, 0, TRect(-2147483600, 0, 2147483600, 4), *src);

    // Clipped stretch: only the clip changes, with the same mapping.
    TBitmap32 full, clipped;
    full.Resize(10, 10);
    clipped.Resize(10, 10);
    clipped.SetClipRect(TRect(3, 4, 7, 9));
    DrawStretched(full, TRect(0, 0, 10, 10), *src);
    DrawStretched(clipped, TRect(0, 0, 10, 10), *src);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(clipped.PixelAt(x, y), clipped.ClipRect().Contains(TPoint(x, y)) ? full.PixelAt(x, y) : 0u);
}

TEST(Bitmap32Notify, UpdatesAndMeasuring)
{
    TBitmap32 b;
    b.Resize(4, 4);
    int changes = 0, areas = 0;
    b.OnChange = [&](fw::TObject*) { ++changes; };
    b.OnAreaChanged = [&](fw::TObject*, const TRect&, std::uint32_t) { ++areas; };

    b.BeginUpdate();
    b.FillArea(0, 0, 2, 2, 0xFFFFFFFF);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(areas, 0);
    b.EndUpdate();
    b.FillArea(0, 0, 2, 2, 0xFFFFFFFF);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(areas, 1);

    // Measuring: no pixel work, the area goes to the measuring handler, and
    // the old handler comes back afterwards.
    auto src = Pattern(2, 2);
    std::vector<TRect> measured;
    b.Clear(0);
    changes = areas = 0;
    b.BeginMeasuring([&](fw::TObject*, const TRect& r, std::uint32_t) { measured.push_back(r); });
    b.BeginUpdate();  // measuring reports even while updating
    DrawAt(b, 1, 1, *src);
    b.FillArea(0, 0, 1, 1, 0xFFFFFFFF);
    b.DrawSmoothLine(0, 0, 3, 1, 0xFFFFFFFF, true);
    b.EndUpdate();
    b.EndMeasuring();
    ASSERT_EQ(measured.size(), 3u);
    EXPECT_EQ(measured[0], TRect(1, 1, 3, 3));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(b.PixelAt(1, 1), 0u);
    EXPECT_EQ(b.PixelAt(0, 0), 0u);
    DrawAt(b, 0, 0, *src);
    EXPECT_EQ(areas, 1);
    EXPECT_EQ(measured.size(), 3u);
}

TEST(Bitmap32Data, RoundTripAndDamagedInput)
{
    auto src = Pattern(3, 2, 0x7F);
    const std::vector<std::uint8_t> data = src->SaveData();
    ASSERT_EQ(data.size(), 8u + 3 * 2 * 4);
    EXPECT_EQ(data[0], 3);
    EXPECT_EQ(data[4], 2);
    // Pixel (1, 0) = 0x7F010007, in memory order B, G, R, A.
    EXPECT_EQ(data[8 + 4], 0x07);
    EXPECT_EQ(data[8 + 5], 0x00);
    EXPECT_EQ(data[8 + 6], 0x01);
    EXPECT_EQ(data[8 + 7], 0x7F);

    TBitmap32 b;
    b.LoadData(data);
    ASSERT_EQ(b.Width(), 3);
    ASSERT_EQ(b.Height(), 2);
    EXPECT_EQ(b.SaveData(), data);

    // Every truncation fails with an error and never reads past the end.
    for (std::size_t n = 0; n < data.size(); ++n) {
        TBitmap32 t;
        EXPECT_THROW(t.LoadData(std::span(data.data(), n)), ERenderError) << n;
    }
    // A huge declared size is refused before anything is allocated.
    std::vector<std::uint8_t> huge = {0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 1, 2, 3, 4};
    EXPECT_THROW(b.LoadData(huge), ERenderError);
    std::vector<std::uint8_t> negative = {0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0};
    EXPECT_THROW(b.LoadData(negative), ERenderError);
    std::vector<std::uint8_t> empty = {0, 0, 0, 0, 5, 0, 0, 0};
    b.LoadData(empty);
    EXPECT_TRUE(b.IsEmpty());
}

TEST(Bitmap32Data, PublishedPropertiesAndCopy)
{
    TBitmap32 b;
    const fw::TClassInfo& info = b.ClassType();
    const fw::TPropInfo* mode = info.FindProperty("DrawMode");
    ASSERT_NE(mode, nullptr);
    mode->SetOrd(b, dmBlend);
    EXPECT_EQ(b.DrawMode(), dmBlend);
    const fw::TPropInfo* resampler = info.FindProperty("ResamplerClassName");
    ASSERT_NE(resampler, nullptr);
    resampler->SetStr(b, "TLinearResampler");
    EXPECT_EQ(b.ResamplerClassName(), "TLinearResampler");
    EXPECT_THROW(resampler->SetStr(b, "TNoSuchResampler"), ERenderError);
    const fw::TPropInfo* data = info.FindProperty("Data");
    ASSERT_NE(data, nullptr);
    data->ReadData(b, Pattern(2, 2)->SaveData());
    EXPECT_EQ(b.Width(), 2);

    b.SetMasterAlpha(300);
    EXPECT_EQ(b.MasterAlpha(), 255u);
    b.SetMasterAlpha(90);
    b.SetOuterColor(0x12345678);
    b.Resampler().SetPixelAccessMode(pamTransparentEdge);
    TBitmap32 copy;
    copy.AssignFrom(&b);
    EXPECT_EQ(copy.Width(), 2);
    EXPECT_EQ(copy.PixelAt(1, 1), b.PixelAt(1, 1));
    EXPECT_EQ(copy.DrawMode(), dmBlend);
    EXPECT_EQ(copy.MasterAlpha(), 90u);
    EXPECT_EQ(copy.OuterColor(), 0x12345678u);
    EXPECT_EQ(copy.ResamplerClassName(), "TLinearResampler");
    EXPECT_EQ(copy.Resampler().PixelAccessMode(), pamTransparentEdge);
    copy.AssignFrom(nullptr);
    EXPECT_EQ(copy.Width(), 0);
    EXPECT_EQ(copy.Height(), 0);
}

TEST(Bitmap32Line, SmoothLines)
{
    TBitmap32 b;
    b.Resize(10, 10);
    std::uint32_t info = 0;
    b.OnAreaChanged = [&](fw::TObject*, const TRect&, std::uint32_t i) { info = i; };
    b.DrawSmoothLine(1, 1, 5, 1, 0xFFFFFFFF, false);
    EXPECT_EQ(info, 0x40000002u);
    EXPECT_EQ(b.PixelAt(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(b.PixelAt(4, 1), 0xFFFFFFFFu);
    EXPECT_EQ(b.PixelAt(5, 1), 0u);  // the end point only with includeLast
    b.DrawSmoothLine(1, 3, 5, 3, 0xFFFFFFFF, true);
    EXPECT_EQ(b.PixelAt(5, 3), 0xFFFFFFFFu);
    b.DrawSmoothLine(0, 9, 3, 6, 0xFF0000FF, true);  // diagonal
    EXPECT_EQ(b.PixelAt(0, 9), 0xFF0000FFu);
    EXPECT_EQ(b.PixelAt(3, 6), 0xFF0000FFu);

    // A shallow line: the two straddling pixels share the colour.
    b.Clear(0);
    b.DrawSmoothLine(0, 0, 8, 2, 0xFFFFFFFF, false);
    EXPECT_EQ(b.PixelAt(0, 0), 0xFEFEFEFEu);  // on the ideal line: weight 255
    EXPECT_EQ(b.PixelAt(0, 1), 0u);
    const unsigned upper = AlphaOf(b.PixelAt(1, 0));
    const unsigned lower = AlphaOf(b.PixelAt(1, 1));
    EXPECT_GT(upper, lower);
    EXPECT_GT(lower, 0u);

    // Clipped: nothing outside ClipRect.
    b.Clear(0);
    b.SetClipRect(TRect(2, 2, 6, 6));
    b.DrawSmoothLine(-5, 0, 15, 9, 0xFFFFFFFF, true);
    b.DrawSmoothLine(4, -5, 3, 20, 0xFFFFFFFF, true);
    int inside = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            if (!b.ClipRect().Contains(TPoint(x, y)))
                EXPECT_EQ(b.PixelAt(x, y), 0u) << x << "," << y;
            else if (b.PixelAt(x, y) != 0)
                ++inside;
        }
    EXPECT_GT(inside, 4);

    // Lines from far away are clipped analytically, not walked pixel by pixel.
    b.Clear(0);
    b.DrawSmoothLine(-2000000000, 3, 2000000000, 3, 0xFFFFFFFF, true);
    b.DrawSmoothLine(-2000000000, -2000000000, 2000000000, 2000000000, 0xFFFFFFFF, true);
    b.DrawSmoothLine(-2000000000, 0, 2000000000, 7, 0xFFFFFFFF, true);
    EXPECT_EQ(b.PixelAt(3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(b.PixelAt(4, 4), 0xFFFFFFFFu);
    EXPECT_EQ(b.PixelAt(1, 1), 0u);
}

TEST(Bitmap32Transform, IdentityScaleAndBlend)
{
    auto src = Pattern(4, 3);
    TBitmap32 dst;
    dst.Resize(8, 6);
    TAffineTransformation t;
    t.SetSrcRect({0, 0, 4, 3});
    TransformDraw(&dst, src.get(), t);
    EXPECT_EQ(dst.PixelAt(3, 2), src->PixelAt(3, 2));
    EXPECT_EQ(dst.PixelAt(4, 2), 0u);

    dst.Clear(0);
    t.Scale(2, 2);
    const TFloatRect bounds = t.GetTransformedBounds();
    EXPECT_DOUBLE_EQ(bounds.Right, 8.0);
    EXPECT_DOUBLE_EQ(bounds.Bottom, 6.0);
    TransformDraw(&dst, src.get(), t);
    EXPECT_EQ(dst.PixelAt(7, 5), src->PixelAt(3, 2));
    EXPECT_EQ(dst.PixelAt(2, 1), src->PixelAt(1, 0));

    // dmBlend goes through BlendPixelMaster even at master alpha 255, so an
    // opaque sample is not stored exactly.
    dst.Clear(0xFF000000);
    src->SetDrawMode(dmBlend);
    src->PixelAt(3, 2) = 0xFFFFFFFF;
    TransformDraw(&dst, src.get(), t);
    EXPECT_EQ(dst.PixelAt(7, 5), 0xFFFEFEFEu);
    EXPECT_EQ(dst.PixelAt(0, 0), BlendPixelMaster(src->PixelAt(0, 0), 0xFF000000, 255));

    // Translation and the inverse mapping.
    TAffineTransformation m;
    m.Translate(-4, 0);
    const TFloatPoint p = m.ReverseTransform(0.5, 0.5);
    EXPECT_DOUBLE_EQ(p.X, 4.5);
    m.Clear();
    m.Rotate(0, 0, 90);
    const TFloatPoint q = m.Transform(1, 0);
    EXPECT_NEAR(q.X, 0.0, 1e-12);
    EXPECT_NEAR(q.Y, -1.0, 1e-12);
}

TEST(Bitmap32Transform, LinearZoomFadesAtTransparentEdges)
{
    TBitmap32 src;
    src.Resize(4, 4);
    src.Clear(0xFF3366CC);
    src.SetResampler(std::make_unique<TLinearResampler>());
    src.Resampler().SetPixelAccessMode(pamTransparentEdge);
    TAffineTransformation t;
    t.SetSrcRect({0, 0, 4, 4});
    t.Scale(4, 4);
    TBitmap32 dst;
    dst.Resize(16, 16);
    TransformDraw(&dst, &src, t);
    // Inside: the colour, no dark fringe (alpha-weighted interpolation).
    EXPECT_EQ(dst.PixelAt(8, 8), 0xFF3366CCu);
    EXPECT_EQ(dst.PixelAt(0, 8) & 0xFFFFFF, 0x3366CCu);
    // At the edge: partly transparent.
    EXPECT_LT(AlphaOf(dst.PixelAt(0, 8)), 255u);
    EXPECT_GT(AlphaOf(dst.PixelAt(0, 8)), 0u);
}

TEST(Bitmap32Lock, NestsAndCounts)
{
    TBitmap32 b;
    {
        TBitmapLock outer(b);
        TBitmapLock inner(b);
        EXPECT_EQ(b.LockCount(), 2);
    }
    EXPECT_EQ(b.LockCount(), 0);
}

}  // namespace
}  // namespace ks

namespace ks {

// A component that carries a bitmap as a published sub-object, as the skin
// image items do: the stream sets Bitmap.DrawMode, Bitmap.ResamplerClassName
// and Bitmap.Data on it.
class TBitmapHolder : public fw::TComponent {
    FW_CLASS(TBitmapHolder)

    explicit TBitmapHolder(fw::TComponent* owner) : fw::TComponent(owner) {}
    TBitmap32* Bitmap() { return &m_bitmap; }

private:
    TBitmap32 m_bitmap;
};

const fw::TClassInfo& TBitmapHolder::StaticClass()
{
    static const fw::TClassInfo& info = fw::DefineClass<TBitmapHolder, fw::TComponent>("TBitmapHolder")
                                            .Object("Bitmap", &TBitmapHolder::Bitmap)
                                            .Register();
    return info;
}

TEST(Bitmap32Data, ThroughComponentStreams)
{
    TBitmapHolder original(nullptr);
    original.SetName("Holder");
    original.Bitmap()->SetDrawMode(dmBlend);
    original.Bitmap()->LoadData(Pattern(3, 2, 0x80)->SaveData());
    const std::vector<std::uint8_t> stream = fw::WriteComponentStream(original);

    TBitmapHolder copy(nullptr);
    fw::ReadComponentStream(stream, copy);
    EXPECT_EQ(copy.Bitmap()->DrawMode(), dmBlend);
    EXPECT_EQ(copy.Bitmap()->ResamplerClassName(), "TNearestResampler");
    ASSERT_EQ(copy.Bitmap()->Width(), 3);
    EXPECT_EQ(copy.Bitmap()->SaveData(), original.Bitmap()->SaveData());
}

}  // namespace ks
