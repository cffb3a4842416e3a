// Stored layouts: write -> read round trips, exact bytes, errors and
// damaged input.
#include <gtest/gtest.h>

#include <random>

#include "TestComponents.h"
#include "framework/Reader.h"
#include "framework/Streams.h"
#include "framework/Writer.h"

using namespace fwtest;

namespace {

TEST(ReaderWriter, RoundTripRestoresEveryKindOfValue)
{
    const auto source = MakeSampleForm();
    const std::vector<std::uint8_t> bytes = WriteComponentStream(*source);

    TTestRoot form;
    LoadLog().clear();
    ReadComponentStream(bytes, form);

    EXPECT_EQ(form.Name(), "FormMain");
    EXPECT_EQ(form.Caption, "FormMain");
    EXPECT_EQ(form.Width, 330);
    EXPECT_EQ(form.Height, 100);
    EXPECT_FALSE(form.OldCreateOrder);
    EXPECT_EQ(form.TextHeight, 13);
    ASSERT_TRUE(form.OnCreate);
    form.OnCreate(&form);
    EXPECT_EQ(form.CreateCalls, 1);

    ASSERT_NE(form.Label1, nullptr);
    const TTestControl& l = *form.Label1;
    EXPECT_EQ(l.Owner(), &form);
    EXPECT_EQ(l.Parent, &form);
    EXPECT_EQ(l.Left, 120);
    EXPECT_EQ(l.Top, 24);
    EXPECT_EQ(l.Width, 84);
    EXPECT_EQ(l.Height, 13);
    EXPECT_EQ(l.Caption, "正在努力加载中");
    EXPECT_EQ(l.Title, std::string("\xC4\xE3\xBA\xC3", 4));
    EXPECT_EQ(l.Kind, tkRight);
    EXPECT_EQ(l.Options, (TTestFontStyles{fsItalic, fsStrikeOut}));
    EXPECT_FALSE(l.Visible);
    EXPECT_DOUBLE_EQ(l.Ratio, 0.75);
    EXPECT_EQ(l.Big, std::int64_t{1} << 40);
    EXPECT_EQ(l.Color, 15592956);
    EXPECT_EQ(form.Label1->Font()->Name, "Tahoma");
    EXPECT_EQ(form.Label1->Font()->Style, TTestFontStyles{fsBold});
    EXPECT_EQ(form.Label1->Font()->Color, clRed);
    EXPECT_EQ(l.Lines, (std::vector<std::string>{"one", "两"}));
    ASSERT_EQ(form.Label1->Items()->Count(), 2);
    TTestItem* item = form.Label1->Items()->Item(0);
    EXPECT_EQ(item->Caption, "first");
    EXPECT_EQ(item->Value, 5);
    EXPECT_EQ(item->Font()->Height, 20);
    EXPECT_EQ(item->Data, (std::vector<std::uint8_t>{1, 2, 3, 250}));
    EXPECT_EQ(form.Label1->Items()->Item(1)->Value, -300);

    ASSERT_NE(form.Label2, nullptr);
    EXPECT_EQ(form.Label2->Parent, form.Label1);  // enclosing record
    EXPECT_EQ(form.Label2->Peer, form.Label1);    // resolved reference

    ASSERT_NE(form.Timer1, nullptr);
    EXPECT_EQ(form.Timer1->Interval, 500);
    EXPECT_TRUE(form.Timer1->Enabled);
    EXPECT_EQ(form.Timer1->DesignLeft(), 216);
    EXPECT_EQ(form.Timer1->DesignTop(), 8);
    ASSERT_TRUE(form.Timer1->OnTimer);
    form.Timer1->OnTimer(form.Timer1);
    EXPECT_EQ(form.TimerCalls, 1);
    EXPECT_EQ(form.LastSender, form.Timer1);

    // Loaded once per component, root first, after every value was read.
    EXPECT_EQ(LoadLog(), (std::vector<std::string>{"FormMain", "Label1", "Label2", "Timer1"}));
    EXPECT_EQ(l.CaptionAtLoaded, "正在努力加载中");
    EXPECT_TRUE(l.ParentSetBeforeValues);
    for (int i = 0; i < form.ComponentCount(); ++i) {
        EXPECT_EQ(form.Components(i)->ComponentState() & (csLoading | csReading), 0u);
    }
    EXPECT_EQ(form.ComponentState() & (csLoading | csReading | csWriting), 0u);

    // Writing the read form again gives the same bytes.
    EXPECT_EQ(WriteComponentStream(form), bytes);
}

TEST(ReaderWriter, DefaultsAreNotStoredAndMissingValuesKeepConstructedOnes)
{
    TTestRoot root;
    root.SetName("R");
    root.OldCreateOrder = true;
    auto* t = new TTestTimer(&root);
    t->SetName("Timer1");
    // Interval 1000 and Enabled True are the declared defaults.
    const auto bytes = WriteComponentStream(root);
    const auto expected = TBytes()
                              .Raw({'T', 'P', 'F', '0'})
                              .Str("TTestRoot")
                              .Str("R")
                              .Str("Width")
                              .Raw({vaInt8, 0})
                              .Str("Height")
                              .Raw({vaInt8, 0})
                              .Str("Font.Charset")
                              .Raw({vaInt8, 1})
                              .Str("Font.Height")
                              .Raw({vaInt8, 0xF5})
                              .Str("Font.Name")
                              .Raw({vaString})
                              .Str("MS Sans Serif")
                              .Str("OldCreateOrder")
                              .Raw({vaTrue})
                              .Raw({0})
                              .Str("TTestTimer")
                              .Str("Timer1")
                              .Raw({0, 0, 0})
                              .b;
    EXPECT_EQ(bytes, expected);

    // Reading onto objects whose constructors set other values keeps them.
    TTestRoot again;
    again.Caption = "kept";
    ReadComponentStream(bytes, again);
    EXPECT_EQ(again.Caption, "kept");
    EXPECT_EQ(again.Timer1->Interval, 1000);
}

TEST(ReaderWriter, SubObjectValuesAreSetOnTheObjectNotThroughASetter)
{
    const auto bytes = TBytes()
                           .Raw({'T', 'P', 'F', '0'})
                           .Str("TTestRoot")
                           .Str("F")
                           .Str("Font.Height")
                           .Raw({vaInt8, 0xF0})
                           .Str("font.style")
                           .Raw({vaSet})
                           .Str("fsBold")
                           .Str("fsUnderline")
                           .Raw({0})
                           .Raw({0, 0})
                           .b;
    TTestRoot root;
    TTestFont* font = root.Font();
    ReadComponentStream(bytes, root);
    EXPECT_EQ(root.Font(), font);
    EXPECT_EQ(font->Height, -16);
    EXPECT_EQ(font->ChangeCount, 1);  // the property's own setter ran once
    EXPECT_EQ(font->Style, (TTestFontStyles{fsBold, fsUnderline}));
}

TEST(ReaderWriter, ImageStoreStreamExactBytes)
{
    const auto expected = ImageStoreSampleBytes();

    // Read: the data module class is looked up by the stream's class name.
    std::unique_ptr<TComponent> made(CreateComponentFromStream(expected, nullptr));
    auto* dm = dynamic_cast<TTestResDM*>(made.get());
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->Name(), "KsSkinResDM");
    EXPECT_FALSE(dm->OldCreateOrder);
    EXPECT_EQ(dm->Height, 265);
    EXPECT_EQ(dm->Width, 313);
    ASSERT_NE(dm->KsSkinImageListMain, nullptr);
    TCollection* bitmaps = dm->KsSkinImageListMain->Bitmaps();
    ASSERT_EQ(bitmaps->Count(), 2);
    auto* close = static_cast<TTestBitmapItem*>(bitmaps->Items(0));
    EXPECT_EQ(close->ResID, "KsSkinBtn_close");
    EXPECT_EQ(close->Bitmap()->DrawMode, dmBlend);
    EXPECT_EQ(close->Bitmap()->Width, 2u);
    EXPECT_EQ(close->Bitmap()->Pixels[1], 0xDC);
    auto* fav = static_cast<TTestBitmapItem*>(bitmaps->Items(1));
    EXPECT_EQ(fav->Bitmap()->DrawMode, dmOpaque);
    EXPECT_EQ(dm->KsSkinImageListMain->DesignLeft(), 136);

    // Write: the same objects give the same bytes.
    EXPECT_EQ(WriteComponentStream(*dm), expected);
}

TEST(ReaderWriter, ErrorsNameTheRecordPropertyAndOffset)
{
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::string expected;  // substring of the message
    };
    auto head = [] { return TBytes().Raw({'T', 'P', 'F', '0'}).Str("TTestRoot").Str("F"); };
    const Case cases[] = {
        {TBytes().Raw({'T', 'P', 'F', '1'}).b, "Invalid stream format"},
        {TBytes().Raw({'T', 'P', 'F', '0'}).Str("TOther").Str("F").Raw({0, 0}).b,
         "Stream class TOther does not match TTestRoot"},
        {head().Str("Colour").Raw({vaInt8, 1, 0, 0}).b,
         "Error reading F.Colour at offset 16: Property Colour does not exist"},
        {head().Str("Font.Size").Raw({vaInt8, 1, 0, 0}).b, "F.Font.Size at offset 16: Property Size does not exist"},
        {head().Str("Width").Raw({vaString}).Str("x").Raw({0, 0}).b, "F.Width at offset 22: Invalid property value"},
        {head().Str("Width").Raw({vaInt64}).U32(0).U32(1).Raw({0, 0}).b, "F.Width at offset 22: Value out of range"},
        {head().Str("OnCreate").Raw({vaIdent}).Str("Missing").Raw({0, 0}).b, "Method Missing not found"},
        {head().Str("OnCreate").Raw({vaIdent}).Str("WrongSignature").Raw({0, 0}).b,
         "Method WrongSignature does not match event OnCreate"},
        {head().Raw({0}).Str("TNoSuchClass").Str("X").Raw({0, 0, 0}).b, "X at offset 17: Class TNoSuchClass not found"},
        {head().Raw({0}).Str("TTestTimer").Str("T").Str("Interval").Raw({vaIdent}).Str("clRed").Raw({0, 0, 0}).b,
         "T.Interval at offset"},
        {head().Raw({0}).Str("TTestControl").Str("L").Str("Kind").Raw({vaIdent}).Str("tkUp").Raw({0, 0, 0}).b,
         "Error reading L.Kind at offset 37: Invalid property value tkUp"},
        {head().Raw({0}).Str("TTestControl").Str("L").Str("Peer").Raw({vaIdent}).Str("Nobody").Raw({0, 0, 0}).b,
         "L.Peer at offset 37: Component Nobody not found"},
        {head()
             .Raw({0})
             .Str("TTestControl")
             .Str("Label1")
             .Raw({0, 0})
             .Str("TTestControl")
             .Str("label1")
             .Raw({0, 0, 0})
             .b,
         "A component named label1 already exists"},
        {head().Raw({0}).Str("TTestTimer").Str("Label1").Raw({0, 0, 0}).b,
         "Field TTestRoot.Label1 is not of class TTestTimer"},
        {head().Str("Width").Raw({vaInt8, 1}).b, "Error reading F at offset 24"},
    };
    for (const Case& c : cases) {
        TTestRoot root;
        try {
            ReadComponentStream(c.bytes, root);
            ADD_FAILURE() << "no error for " << c.expected;
        } catch (const EReadError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos)
                << "message: " << e.what() << "\nexpected: " << c.expected;
        }
        // Nothing is left half-read.
        for (int i = 0; i < root.ComponentCount(); ++i) {
            EXPECT_EQ(root.Components(i)->ComponentState() & (csLoading | csReading), 0u);
        }
        EXPECT_EQ(root.ComponentState() & (csLoading | csReading), 0u);
    }
}

TEST(ReaderWriter, FailedRecordFreesItsComponentAndLeavesNoDanglingField)
{
    const auto bytes = TBytes()
                           .Raw({'T', 'P', 'F', '0'})
                           .Str("TTestRoot")
                           .Str("F")
                           .Raw({0})
                           .Str("TTestTimer")
                           .Str("Timer1")
                           .Str("Interval")
                           .Raw({vaInt8, 5})
                           .Raw({0, 0})
                           .Str("TTestControl")
                           .Str("Label1")
                           .Str("Width")
                           .Raw({vaTrue})
                           .Raw({0, 0})
                           .Raw({0})
                           .b;
    TTestRoot root;
    LoadLog().clear();
    EXPECT_THROW(ReadComponentStream(bytes, root), EReadError);
    EXPECT_EQ(root.Label1, nullptr);
    ASSERT_NE(root.Timer1, nullptr);  // the records before stay with the root
    EXPECT_EQ(root.ComponentCount(), 1);
    EXPECT_TRUE(LoadLog().empty());  // Loaded never ran
}

TEST(ReaderWriter, ReadOnlyPropertiesAreNeitherWrittenNorRead)
{
    TTestRoot root;
    new TTestTimer(&root);
    const auto written = WriteComponentStream(root);
    const std::string text(written.begin(), written.end());
    EXPECT_EQ(text.find("Count"), std::string::npos);

    auto head = [] { return TBytes().Raw({'T', 'P', 'F', '0'}).Str("TTestRoot").Str("F"); };
    struct Case {
        std::vector<std::uint8_t> bytes;
        const char* expected;
    };
    const Case cases[] = {
        {head().Str("Count").Raw({vaInt8, 1, 0, 0}).b, "F.Count at offset 22: Property Count is read-only"},
        {head().Str("Caption.Length").Raw({vaInt8, 1, 0, 0}).b, "Property Caption has no sub-properties"},
        {head()
             .Raw({0})
             .Str("TTestControl")
             .Str("L")
             .Str("Peer")
             .Raw({vaIdent})
             .Str("T")
             .Raw({0, 0})
             .Str("TTestTimer")
             .Str("T")
             .Raw({0, 0, 0})
             .b,
         "L.Peer at offset 37: Invalid property value: T is a TTestTimer"},
    };
    for (const Case& c : cases) {
        TTestRoot target;
        try {
            ReadComponentStream(c.bytes, target);
            ADD_FAILURE() << c.expected;
        } catch (const EReadError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
        }
    }
}

// A valid stream cut short anywhere, or with any byte changed, fails with
// an EReadError (never another exception, never a crash; ASan watches
// the reads).
TEST(ReaderWriter, DamagedStreamsFailCleanly)
{
    const auto source = MakeSampleForm();
    const std::vector<std::uint8_t> sample = WriteComponentStream(*source);
    const std::vector<std::uint8_t> image = ImageStoreSampleBytes();
    for (const std::vector<std::uint8_t>* valid : {&sample, &image}) {
        for (std::size_t len = 0; len < valid->size(); ++len) {
            const std::vector<std::uint8_t> cut(valid->begin(), valid->begin() + static_cast<std::ptrdiff_t>(len));
            std::unique_ptr<TComponent> root;
            if (valid == &sample) {
                root = std::make_unique<TTestRoot>();
            } else {
                root = std::make_unique<TTestResDM>(nullptr);
            }
            try {
                ReadComponentStream(cut, *root);
                ADD_FAILURE() << "truncation at " << len << " was accepted";
            } catch (const EReadError& e) {
                const std::string msg = e.what();
                EXPECT_EQ(msg.rfind("Error reading ", 0), 0u) << msg;
                EXPECT_NE(msg.find("at offset " + std::to_string(e.Offset())), std::string::npos) << msg;
                EXPECT_LE(e.Offset(), len);
            }
        }
    }

    // Every single byte replaced by a few values.
    for (std::size_t at = 0; at < sample.size(); ++at) {
        for (std::uint8_t v : {std::uint8_t{0x00}, std::uint8_t{0x7F}, std::uint8_t{0xFF}}) {
            std::vector<std::uint8_t> bad = sample;
            bad[at] = v;
            TTestRoot root;
            try {
                ReadComponentStream(bad, root);
            } catch (const EReadError&) {
            }
        }
    }

    // Random garbage after a valid header.
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> bad(sample.begin(), sample.begin() + 20);
        const int extra = static_cast<int>(rng() % 64);
        for (int i = 0; i < extra; ++i)
            bad.push_back(static_cast<std::uint8_t>(rng() % 24));
        TTestRoot root;
        try {
            ReadComponentStream(bad, root);
        } catch (const EReadError&) {
        }
    }
}

TEST(ReaderWriter, TruncationInsideAValueNamesThatProperty)
{
    const auto source = MakeSampleForm();
    const std::vector<std::uint8_t> sample = WriteComponentStream(*source);
    // Cut in the middle of the label's caption text.
    const std::string key = "Caption";
    std::size_t at = 0;
    for (std::size_t i = 0; i + key.size() < sample.size(); ++i) {
        if (std::equal(key.begin(), key.end(), sample.begin() + static_cast<std::ptrdiff_t>(i)) &&
            sample[i + key.size()] == vaWString) {
            at = i + key.size();
        }
    }
    ASSERT_NE(at, 0u);
    const std::vector<std::uint8_t> cut(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(at + 8));
    TTestRoot root;
    try {
        ReadComponentStream(cut, root);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.what()).find("Label1.Caption at offset " + std::to_string(at + 1)), std::string::npos)
            << e.what();
    }
}

TEST(ReaderWriter, HugeAnnouncedLengthsAreRefusedWithoutAllocating)
{
    auto head = [] { return TBytes().Raw({'T', 'P', 'F', '0'}).Str("TTestRoot").Str("F"); };
    for (int tag : {vaLString, vaWString, vaUTF8String}) {
        const auto bytes = head().Str("Caption").Raw({tag}).U32(0xFFFFFFF0u).Raw({'a', 'b', 0, 0}).b;
        TTestRoot root;
        try {
            ReadComponentStream(bytes, root);
            FAIL();
        } catch (const EReadError& e) {
            EXPECT_NE(std::string(e.what()).find("F.Caption at offset 25"), std::string::npos) << e.what();
        }
    }
    // Deeply nested records.
    TBytes deep = head();
    deep.Raw({0});
    for (int i = 0; i < 5000; ++i)
        deep.Str("TTestTimer").Str("").Raw({0});
    TTestRoot root;
    EXPECT_THROW(ReadComponentStream(deep.b, root), EReadError);
}

TEST(ReaderWriter, RootNameIsMadeUniqueAmongItsOwnersComponents)
{
    TTestRoot app;
    auto* first = new TTestRoot(&app);
    first->SetName("FormMain");
    auto* second = new TTestRoot(&app);
    const auto source = MakeSampleForm();
    ReadComponentStream(WriteComponentStream(*source), *second);
    EXPECT_EQ(second->Name(), "FormMain_1");
}

TEST(ReaderWriter, NilAndStringFormsAreAccepted)
{
    // Strings may come as String, LString, WString or UTF8String whatever
    // the property's kind; 8-bit text that is not UTF-8 reads as Latin-1 for
    // Unicode properties.
    TStreamWriter w;
    w.WriteSignature();
    w.WriteShortString("TTestRoot");
    w.WriteShortString("F");
    w.WriteShortString("OnCreate");
    w.WriteNil();
    w.WriteListEnd();
    w.WriteShortString("TTestControl");
    w.WriteShortString("Label1");
    w.WriteShortString("Caption");
    w.WriteString("caf\xE9");
    w.WriteShortString("Title");
    w.WriteUtf8String("ü");
    w.WriteShortString("Lines");
    w.WriteListBegin();
    w.WriteString(std::string(300, 'x'));
    w.WriteWString(std::string_view("两"));
    w.WriteListEnd();
    w.WriteShortString("Peer");
    w.WriteNil();
    w.WriteShortString("Ratio");
    w.WriteSingle(0.5f);
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();
    TTestRoot root;
    root.OnCreate = [](TObject*) {};
    ReadComponentStream(w.Bytes(), root);
    EXPECT_FALSE(root.OnCreate);
    EXPECT_EQ(root.Label1->Caption, "café");
    EXPECT_EQ(root.Label1->Title, "ü");
    EXPECT_EQ(root.Label1->Lines, (std::vector<std::string>{std::string(300, 'x'), "两"}));
    EXPECT_DOUBLE_EQ(root.Label1->Ratio, 0.5);
}

}  // namespace
