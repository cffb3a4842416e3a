// Value encodings of the stream format and the bounds-checked reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "framework/Streams.h"

using namespace fw;

namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> list)
{
    std::vector<std::uint8_t> out;
    for (int b : list)
        out.push_back(static_cast<std::uint8_t>(b));
    return out;
}

TEST(StreamWriter, IntegersTakeTheSmallestTag)
{
    struct Case {
        std::int64_t value;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {0, Bytes({vaInt8, 0})},
        {-128, Bytes({vaInt8, 0x80})},
        {127, Bytes({vaInt8, 0x7F})},
        {128, Bytes({vaInt16, 0x80, 0})},
        {88, Bytes({vaInt8, 88})},
        {265, Bytes({vaInt16, 0x09, 0x01})},
        {-11, Bytes({vaInt8, 0xF5})},
        {-32769, Bytes({vaInt32, 0xFF, 0x7F, 0xFF, 0xFF})},
        {15592956, Bytes({vaInt32, 0xFC, 0xED, 0xED, 0x00})},
        {std::int64_t{1} << 40, Bytes({vaInt64, 0, 0, 0, 0, 0, 1, 0, 0})},
    };
    for (const Case& c : cases) {
        TStreamWriter w;
        w.WriteInteger(c.value);
        EXPECT_EQ(w.Bytes(), c.bytes) << c.value;
        TStreamReader r(w.Bytes());
        EXPECT_EQ(r.ReadIntegerValue(r.ReadValueType()), c.value);
        EXPECT_TRUE(r.AtEnd());
    }
}

TEST(StreamWriter, StringsAndIdentifiers)
{
    TStreamWriter w;
    w.WriteString("ab");
    w.WriteIdent("clBtnFace");
    w.WriteWString(std::string_view("正在"));
    w.WriteSet({"fsBold", "fsItalic"});
    w.WriteSet({});
    w.WriteBinary(Bytes({1, 2, 3}));
    const auto expected = [] {
        std::vector<std::uint8_t> e = Bytes({vaString, 2, 'a', 'b', vaIdent, 9});
        for (char c : std::string("clBtnFace"))
            e.push_back(static_cast<std::uint8_t>(c));
        for (int b : {int{vaWString}, 2, 0, 0, 0, 0x63, 0x6B, 0x28, 0x57})
            e.push_back(static_cast<std::uint8_t>(b));
        e.push_back(vaSet);
        e.push_back(6);
        for (char c : std::string("fsBold"))
            e.push_back(static_cast<std::uint8_t>(c));
        e.push_back(8);
        for (char c : std::string("fsItalic"))
            e.push_back(static_cast<std::uint8_t>(c));
        for (int b : {0, int{vaSet}, 0, int{vaBinary}, 3, 0, 0, 0, 1, 2, 3})
            e.push_back(static_cast<std::uint8_t>(b));
        return e;
    }();
    EXPECT_EQ(w.Bytes(), expected);

    // Long 8-bit strings switch to the 4-byte length form.
    TStreamWriter longer;
    longer.WriteString(std::string(256, 'x'));
    EXPECT_EQ(longer.Bytes()[0], vaLString);
    EXPECT_EQ(longer.Bytes().size(), 1u + 4u + 256u);
    EXPECT_THROW(longer.WriteShortString(std::string(256, 'x')), EFrameworkError);
}

TEST(StreamExtended, RoundTripsDoublesExactly)
{
    std::mt19937_64 rng(12345);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1.0,
                                  -1.5,
                                  0.1,
                                  1e300,
                                  -1e-300,
                                  5e-324,
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::infinity()};
    for (int i = 0; i < 10000; ++i) {
        std::uint64_t bits = rng();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        if (std::isfinite(d))
            values.push_back(d);
    }
    for (double v : values) {
        std::uint8_t buf[10];
        EncodeExtended(v, buf);
        const double back = DecodeExtended(buf);
        EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << v;
    }
    std::uint8_t nan[10];
    EncodeExtended(std::numeric_limits<double>::quiet_NaN(), nan);
    EXPECT_TRUE(std::isnan(DecodeExtended(nan)));

    // 1.0 as the x87 stores it: explicit integer bit, biased exponent 16383.
    std::uint8_t one[10];
    EncodeExtended(1.0, one);
    EXPECT_EQ(std::vector<std::uint8_t>(one, one + 10), Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
}

TEST(StreamReader, NeverReadsPastTheEndAndReportsTheOffset)
{
    const auto data = Bytes({vaInt32, 1, 2});
    TStreamReader r(data);
    EXPECT_EQ(r.ReadValueType(), vaInt32);
    try {
        r.ReadInt32();
        FAIL();
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Offset(), 1u);
        EXPECT_NE(std::string(e.what()).find("at offset 1"), std::string::npos);
    }
    EXPECT_EQ(r.Position(), 1u);  // a failed read consumes nothing
    EXPECT_THROW(r.Seek(4), EStreamError);
    r.Seek(3);
    EXPECT_THROW(r.PeekByte(), EStreamError);
}

TEST(StreamReader, AnnouncedLengthsAreCheckedBeforeAllocating)
{
    // A WString of 0x7FFFFFFF units in a 9-byte stream.
    const auto data = Bytes({vaWString, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0, 'b', 0});
    TStreamReader r(data);
    r.ReadValueType();
    try {
        r.ReadLength(2);
        FAIL();
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Offset(), 1u);
    }
    TStreamReader direct(data);
    direct.Seek(5);
    EXPECT_THROW(direct.ReadUtf16(std::numeric_limits<std::size_t>::max() / 2), EStreamError);
    EXPECT_THROW(direct.ReadBytes(std::numeric_limits<std::size_t>::max()), EStreamError);
}

TEST(StreamReader, RejectsUnknownTagsAndSkipsNestedValues)
{
    const auto bad = Bytes({22});
    TStreamReader r(bad);
    EXPECT_THROW(r.ReadValueType(), EStreamError);

    TStreamWriter w;
    w.WriteListBegin();
    w.WriteInteger(1000);
    w.WriteString("x");
    w.WriteListBegin();
    w.WriteExtended(2.5);
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteValueType(vaCollection);
    w.WriteListBegin();
    w.WriteShortString("A");
    w.WriteBoolean(true);
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteByte(0x55);
    TStreamReader s(w.Bytes());
    s.SkipValue(s.ReadValueType());
    s.SkipValue(s.ReadValueType());
    EXPECT_EQ(s.ReadByte(), 0x55);

    // Deep nesting is refused rather than recursed into.
    std::vector<std::uint8_t> deep(100000, vaList);
    TStreamReader d(deep);
    EXPECT_THROW(d.SkipValue(d.ReadValueType()), EStreamError);
}

TEST(Utf, ConversionsAndValidation)
{
    const std::string text = "Tarvel工程管理服务平台 😀";
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide.size(), 6u + 8u + 1u + 2u);
    EXPECT_EQ(Utf16ToUtf8(wide), text);
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_FALSE(IsValidUtf8("\xC4\xE3"));      // GBK bytes are not UTF-8
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_TRUE(IsValidUtf8("\xEF\xBF\xBD"));   // U+FFFD itself
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_TRUE(SameText("KsSkinBtn_close", "KSSKINBTN_CLOSE"));
    EXPECT_FALSE(SameText("abc", "abd"));
}

TEST(Geometry, RectHelpers)
{
    const TRect r = Bounds(10, 20, 30, 40);
    EXPECT_EQ(r, Rect(10, 20, 40, 60));
    EXPECT_EQ(r.Width(), 30);
    EXPECT_TRUE(r.Contains(Point(10, 20)));
    EXPECT_FALSE(r.Contains(Point(40, 20)));  // right edge is outside
    TRect out;
    EXPECT_FALSE(IntersectRect(out, r, Rect(40, 20, 50, 30)));
    EXPECT_EQ(out, TRect());
    EXPECT_EQ(IntersectRect(r, Rect(0, 0, 15, 25)), Rect(10, 20, 15, 25));
    EXPECT_EQ(OffsetRect(r, -10, 5), Rect(0, 25, 30, 65));
    EXPECT_TRUE(Rect(5, 5, 5, 10).IsEmpty());
    EXPECT_EQ(UnionRect(TRect(), r), r);

    TSet<TShiftStateFlag> s{ssShift, ssCtrl};
    EXPECT_TRUE(s.Contains(ssCtrl));
    EXPECT_FALSE(s.Contains(ssAlt));
    s -= TShiftState{ssShift};
    EXPECT_EQ(s, TShiftState{ssCtrl});
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FF);
    EXPECT_GE(ColorToRGB(clBtnFace), 0);
}

}  // namespace
