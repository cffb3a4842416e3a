// The layout compiler: text sources to exact stream bytes, the reverse
// direction, and its error reports.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "LayoutText.h"
#include "TestComponents.h"
#include "framework/Reader.h"
#include "framework/Streams.h"
#include "framework/Writer.h"

using namespace fwtest;
using fw::layout::CompileLayout;
using fw::layout::DecompileLayout;
using fw::layout::ELayoutError;

namespace {

TEST(Layoutc, SmallFormCompilesToExactBytes)
{
    const char* source = R"(object FormMain: TFormMain
  Left = 745
  Height = 265
  Top = 88
  Caption = 'FormMain'
  Color = clBtnFace
  Font.Height = -11
  Font.Style = []
  OldCreateOrder = False
  OnCreate = FormCreate
  // a comment
  object KsSkinLabel1: TKsSkinLabel
    Caption = '正在努力加载中'
    AutoInvalidate = True
  end
  object Timer1: TTimer
    Interval = 500
    Left = 216
  end
end
)";
    const auto expected = TBytes()
                              .Raw({'T', 'P', 'F', '0'})
                              .Str("TFormMain")
                              .Str("FormMain")
                              .Str("Left")
                              .Raw({fw::vaInt16, 0xE9, 0x02})
                              .Str("Height")
                              .Raw({fw::vaInt16, 0x09, 0x01})
                              .Str("Top")
                              .Raw({fw::vaInt8, 88})
                              .Str("Caption")
                              .Raw({fw::vaString})
                              .Str("FormMain")
                              .Str("Color")
                              .Raw({fw::vaIdent})
                              .Str("clBtnFace")
                              .Str("Font.Height")
                              .Raw({fw::vaInt8, 0xF5})
                              .Str("Font.Style")
                              .Raw({fw::vaSet, 0})
                              .Str("OldCreateOrder")
                              .Raw({fw::vaFalse})
                              .Str("OnCreate")
                              .Raw({fw::vaIdent})
                              .Str("FormCreate")
                              .Raw({0})
                              .Str("TKsSkinLabel")
                              .Str("KsSkinLabel1")
                              .Str("Caption")
                              .Raw({fw::vaWString})
                              .U32(7)
                              .Raw({0x63, 0x6B, 0x28, 0x57, 0xAA, 0x52, 0x9B, 0x52, 0xA0, 0x52, 0x7D, 0x8F, 0x2D, 0x4E})
                              .Str("AutoInvalidate")
                              .Raw({fw::vaTrue})
                              .Raw({0, 0})
                              .Str("TTimer")
                              .Str("Timer1")
                              .Str("Interval")
                              .Raw({fw::vaInt16, 0xF4, 0x01})
                              .Str("Left")
                              .Raw({fw::vaInt16, 216, 0})
                              .Raw({0, 0})
                              .Raw({0})
                              .b;
    EXPECT_EQ(CompileLayout(source, "Main.layout"), expected);
}

TEST(Layoutc, ImageStoreSourceMatchesTheStoredBytes)
{
    const char* source = R"(object KsSkinResDM: TKsSkinResDM
  OldCreateOrder = False
  Height = 265
  Width = 313
  object KsSkinImageListMain: TKsSkinImageList
    Bitmaps = <
      item
        ResID = 'KsSkinBtn_close'
        Bitmap.DrawMode = dmBlend
        Bitmap.ResamplerClassName = 'TNearestResampler'
        Bitmap.Data = {
          0200000001000000
          FFDC9573FFFFFF00}
      end
      item
        ResID = 'fav'
        Bitmap.ResamplerClassName = 'TNearestResampler'
        Bitmap.Data = {01000000 01000000 010203FF}
      end>
    Left = 136
    Top = 88
  end
end
)";
    EXPECT_EQ(CompileLayout(source, "store.txt"), ImageStoreSampleBytes());
}

TEST(Layoutc, TextOfAStreamCompilesBackToTheSameBytes)
{
    const auto form = MakeSampleForm();
    for (const std::vector<std::uint8_t>& bytes : {WriteComponentStream(*form), ImageStoreSampleBytes()}) {
        const std::string text = DecompileLayout(bytes);
        EXPECT_EQ(CompileLayout(text, "roundtrip.txt"), bytes) << text;
    }
    // The text is the readable form one expects to review.
    const std::string text = DecompileLayout(WriteComponentStream(*form));
    EXPECT_NE(text.find("  Caption = 'FormMain'\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    Caption = '正在努力加载中'\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    Title = b#$C4#$E3#$BA#$C3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    Options = [fsItalic, fsStrikeOut]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  OnCreate = FormCreate\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    object Label2: TTestControl\n"), std::string::npos) << text;
}

TEST(Layoutc, StringForms)
{
    auto compileValue = [](const std::string& value) {
        const auto bytes = CompileLayout("object A: T\n  P = " + value + "\nend\n", "v.txt");
        // "TPF0", T, A, P: the value starts at offset 4 + 2 + 2 + 2.
        return std::vector<std::uint8_t>(bytes.begin() + 10, bytes.end() - 2);
    };
    EXPECT_EQ(compileValue("'it''s'"), TBytes().Raw({fw::vaString}).Str("it's").b);
    EXPECT_EQ(compileValue("'a'#13#10'b'"), TBytes().Raw({fw::vaString}).Str("a\r\nb").b);
    EXPECT_EQ(compileValue("'ab' +\n    'cd'"), TBytes().Raw({fw::vaString}).Str("abcd").b);
    EXPECT_EQ(compileValue("#$4E2D"), TBytes().Raw({fw::vaWString}).U32(1).Raw({0x2D, 0x4E}).b);
    EXPECT_EQ(compileValue("w'ab'"), TBytes().Raw({fw::vaWString}).U32(2).Raw({'a', 0, 'b', 0}).b);
    EXPECT_EQ(compileValue("u'é'"), TBytes().Raw({fw::vaUTF8String}).U32(2).Raw({0xC3, 0xA9}).b);
    EXPECT_EQ(compileValue("b'x'#$C4#196"), TBytes().Raw({fw::vaString}).Str("x\xC4\xC4").b);
    EXPECT_EQ(compileValue("'😀'"), TBytes().Raw({fw::vaWString}).U32(2).Raw({0x3D, 0xD8, 0x00, 0xDE}).b);
    EXPECT_EQ(compileValue("''"), TBytes().Raw({fw::vaString, 0}).b);
    const std::string longText(300, 'z');
    const auto longBytes = compileValue("'" + longText + "'");
    EXPECT_EQ(longBytes[0], fw::vaLString);
    EXPECT_EQ(longBytes.size(), 1u + 4u + 300u);
}

TEST(Layoutc, NumbersListsAndOtherValues)
{
    auto compileValue = [](const std::string& value) {
        const auto bytes = CompileLayout("object A: T\n  P = " + value + "\nend\n", "v.txt");
        return std::vector<std::uint8_t>(bytes.begin() + 10, bytes.end() - 2);
    };
    EXPECT_EQ(compileValue("$7F"), TBytes().Raw({fw::vaInt8, 0x7F}).b);
    EXPECT_EQ(compileValue("$FFFFFFFF"), TBytes().Raw({fw::vaInt8, 0xFF}).b);  // -1, as a 32-bit pattern
    EXPECT_EQ(compileValue("-2147483648"), TBytes().Raw({fw::vaInt32, 0, 0, 0, 0x80}).b);
    EXPECT_EQ(compileValue("4294967296"), TBytes().Raw({fw::vaInt64, 0, 0, 0, 0, 1, 0, 0, 0}).b);
    EXPECT_EQ(compileValue("1.0"), TBytes().Raw({fw::vaExtended, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}).b);
    EXPECT_EQ(compileValue("0.5s"), TBytes().Raw({fw::vaSingle, 0, 0, 0, 0x3F}).b);
    EXPECT_EQ(compileValue("nil"), TBytes().Raw({fw::vaNil}).b);
    EXPECT_EQ(compileValue("Form1.Button1"), TBytes().Raw({fw::vaIdent}).Str("Form1.Button1").b);
    EXPECT_EQ(compileValue("('a' 1, True)"),
              TBytes().Raw({fw::vaList, fw::vaString}).Str("a").Raw({fw::vaInt8, 1, fw::vaTrue, 0}).b);
    EXPECT_EQ(compileValue("{}"), TBytes().Raw({fw::vaBinary}).U32(0).b);
    EXPECT_EQ(compileValue("<item [3] X = 1 end>"),
              TBytes().Raw({fw::vaCollection, fw::vaInt8, 3, fw::vaList}).Str("X").Raw({fw::vaInt8, 1, 0, 0}).b);

    // Child position and inherited records carry the prefix byte.
    const auto inherited = CompileLayout("inherited A: T [2]\nend\n", "i.txt");
    EXPECT_EQ(inherited, TBytes().Raw({'T', 'P', 'F', '0', 0xF3, fw::vaInt8, 2}).Str("T").Str("A").Raw({0, 0}).b);
    EXPECT_EQ(DecompileLayout(inherited), "inherited A: T [2]\nend\n");
}

TEST(Layoutc, ErrorsGiveFileLineAndColumn)
{
    struct Case {
        const char* source;
        const char* message;
    };
    const Case cases[] = {
        {"object A: T\n  Left = \nend\n", "f.txt:3:1: "},
        {"object A: T\n  Left 5\nend\n", "f.txt:2:8: '=' expected after the property name"},
        {"object A: T\n  Caption = 'open\nend\n", "f.txt:2:18: Unterminated string"},
        {"object A: T\n  Left = 99999999999999999999\nend\n", "f.txt:2:10: Number out of range"},
        {"object A: T\n  Data = {0A1}\nend\n", "f.txt:2:10: Odd number of hex digits"},
        {"object A: T\n  Data = {0G}\nend\n", "f.txt:2:12: Hex digit expected"},
        {"object A: T\n  S = [a b]\nend\n", "f.txt:2:10: ',' or ']' expected in set"},
        {"object A: T\n  object B: U\n  end\n  Left = 1\nend\n",
         "f.txt:4:3: Properties must come before child objects"},
        {"object A: T\n  Left = 1\n", "f.txt:3:1: 'end' expected for object A"},
        {"thing A: T\nend\n", "f.txt:1:1: 'object' expected"},
        {"object A: T\nend\nend\n", "f.txt:3:1: Text after the end of the root object"},
        {"object A: T\n  Title = b#256\nend\n", "f.txt:2:12: Byte code out of range"},
        {"object A: T\n  Caption = '正在' 5\nend\n", "f.txt:2:18: "},
        {"object A: T\n  C = <item X = 1>\nend\n", "f.txt:2:18: "},
    };
    for (const Case& c : cases) {
        try {
            CompileLayout(c.source, "f.txt");
            ADD_FAILURE() << "accepted: " << c.source;
        } catch (const ELayoutError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what() << "\nexpected: " << c.message;
        }
    }
}

TEST(Layoutc, DecompilingDamagedStreamsFailsCleanly)
{
    const auto bytes = WriteComponentStream(*MakeSampleForm());
    for (std::size_t len = 0; len < bytes.size(); ++len) {
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(len));
        EXPECT_THROW(DecompileLayout(cut), fw::EStreamError) << len;
    }
}

TEST(Layoutc, CommandLineWritesTheStreamOrReportsTheError)
{
    const std::string tool = KS_LAYOUTC_PATH;
    if (tool.empty())
        GTEST_SKIP() << "ks_layoutc not built";
    const std::string dir = ::testing::TempDir();
    const std::string good = dir + "layoutc_good.txt";
    const std::string bad = dir + "layoutc_bad.txt";
    const std::string out = dir + "layoutc_out.bin";
    std::ofstream(good) << "object A: T\n  Left = 1\nend\n";
    std::ofstream(bad) << "object A: T\n  Left = ?\nend\n";
    std::remove(out.c_str());
    ASSERT_EQ(std::system((tool + " " + good + " " + out).c_str()), 0);
    std::ifstream in(out, std::ios::binary);
    const std::vector<char> written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written.size(), 4u + 2u + 2u + 5u + 2u + 2u);

    const std::string err = dir + "layoutc_err.txt";
    EXPECT_NE(std::system((tool + " " + bad + " " + out + ".2 2>" + err).c_str()), 0);
    std::ifstream errIn(err);
    std::string line;
    std::getline(errIn, line);
    EXPECT_EQ(line, bad + ":2:10: Value expected, found '?'");
    EXPECT_FALSE(std::ifstream(out + ".2").good());  // no output on failure
}

}  // namespace
