#include "TestComponents.h"

#include "framework/Streams.h"

namespace fwtest {

std::vector<std::string>& LoadLog()
{
    static std::vector<std::string> log;
    return log;
}

const TClassInfo& TTestFont::StaticClass()
{
    static const TClassInfo& info =
        DefineClass<TTestFont, TPersistent>("TTestFont")
            .Int("Charset", &TTestFont::Charset, &TTestFont::Charset)
            .NoDefault()
            .Int("Color", &TTestFont::Color, &TTestFont::Color, clWindowText, ColorIdents())
            .Int("Height", &TTestFont::Height, &TTestFont::SetHeight)
            .String("Name", &TTestFont::Name, &TTestFont::Name)
            .Set("Style", &TTestFont::Style, &TTestFont::Style, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"})
            .Register();
    return info;
}

void TTestFont::Assign(const TPersistent& source)
{
    if (auto* f = dynamic_cast<const TTestFont*>(&source)) {
        Charset = f->Charset;
        Color = f->Color;
        Height = f->Height;
        Name = f->Name;
        Style = f->Style;
        return;
    }
    TPersistent::Assign(source);
}

const TClassInfo& TTestItem::StaticClass()
{
    static const TClassInfo& info = DefineClass<TTestItem, TCollectionItem>("TTestItem")
                                        .WString("Caption", &TTestItem::Caption, &TTestItem::Caption)
                                        .Int("Value", &TTestItem::Value, &TTestItem::Value, 0)
                                        .Object("Font", &TTestItem::Font)
                                        .Binary("Data", &TTestItem::ReadData, &TTestItem::WriteData)
                                        .Register();
    return info;
}

void TTestItem::Assign(const TPersistent& source)
{
    if (auto* i = dynamic_cast<const TTestItem*>(&source)) {
        Caption = i->Caption;
        Value = i->Value;
        Data = i->Data;
        m_font.Assign(i->m_font);
        return;
    }
    TCollectionItem::Assign(source);
}

const TClassInfo& TTestItems::StaticClass()
{
    static const TClassInfo& info = DefineClass<TTestItems, TCollection>("TTestItems").Register();
    return info;
}

const TClassInfo& TTestControl::StaticClass()
{
    static const TClassInfo& info =
        DefineClass<TTestControl, TComponent>("TTestControl")
            .Int("Left", &TTestControl::Left, &TTestControl::Left)
            .Int("Top", &TTestControl::Top, &TTestControl::Top)
            .Int("Width", &TTestControl::Width, &TTestControl::Width)
            .Int("Height", &TTestControl::Height, &TTestControl::Height)
            .WString("Caption", &TTestControl::Caption, &TTestControl::Caption)
            .String("Title", &TTestControl::Title, &TTestControl::Title)
            .Enum("Kind", &TTestControl::Kind, &TTestControl::Kind, {"tkNone", "tkLeft", "tkRight"}, tkNone)
            .Set("Options", &TTestControl::Options, &TTestControl::Options,
                 {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, TTestFontStyles{fsBold})
            .Bool("Visible", &TTestControl::Visible, &TTestControl::Visible, true)
            .Float("Ratio", &TTestControl::Ratio, &TTestControl::Ratio)
            .Int64("Big", &TTestControl::Big, &TTestControl::Big, 0)
            .Int("Color", &TTestControl::Color, &TTestControl::Color, clBtnFace, ColorIdents())
            .Object("Font", &TTestControl::Font)
            .Strings("Lines", &TTestControl::Lines, &TTestControl::Lines)
            .Component("Peer", &TTestControl::GetPeer, &TTestControl::SetPeer)
            .Collection("Items", &TTestControl::Items)
            .Event("OnClick", &TTestControl::SetOnClick)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TTestControl)

void TTestControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const
{
    for (int i = 0; i < root->ComponentCount(); ++i) {
        auto* c = dynamic_cast<TTestControl*>(root->Components(i));
        if (c != nullptr && c->Parent == this)
            proc(c);
    }
}

const TClassInfo& TTestTimer::StaticClass()
{
    static const TClassInfo& info = DefineClass<TTestTimer, TComponent>("TTestTimer")
                                        .Bool("Enabled", &TTestTimer::Enabled, &TTestTimer::Enabled, true)
                                        .Int("Interval", &TTestTimer::Interval, &TTestTimer::Interval, 1000)
                                        .Event("OnTimer", &TTestTimer::SetOnTimer)
                                        .Register();
    return info;
}
FW_REGISTER_CLASS(TTestTimer)

const TClassInfo& TTestRoot::StaticClass()
{
    static const TClassInfo& info = DefineClass<TTestRoot, TComponent>("TTestRoot")
                                        .WString("Caption", &TTestRoot::Caption, &TTestRoot::Caption)
                                        .Int("Width", &TTestRoot::Width, &TTestRoot::Width)
                                        .Int("Height", &TTestRoot::Height, &TTestRoot::Height)
                                        .Object("Font", &TTestRoot::Font)
                                        .Bool("OldCreateOrder", &TTestRoot::OldCreateOrder, &TTestRoot::OldCreateOrder)
                                        .Event("OnCreate", &TTestRoot::SetOnCreate)
                                        .Int("Count", &TTestRoot::ComponentCount, nullptr)
                                        .Late()
                                        .Int("TextHeight", &TTestRoot::TextHeight, &TTestRoot::TextHeight, 0)
                                        .Field("Label1", &TTestRoot::Label1)
                                        .Field("Label2", &TTestRoot::Label2)
                                        .Field("Timer1", &TTestRoot::Timer1)
                                        .Method("FormCreate", &TTestRoot::FormCreate)
                                        .Method("Timer1Timer", &TTestRoot::Timer1Timer)
                                        .Method("WrongSignature", &TTestRoot::WrongSignature)
                                        .Register();
    return info;
}
FW_REGISTER_CLASS(TTestRoot)

void TTestRoot::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const
{
    // Controls placed on this root first, then the non-visual components.
    for (int i = 0; i < ComponentCount(); ++i) {
        auto* c = dynamic_cast<TTestControl*>(Components(i));
        if (c != nullptr && c->Parent == this)
            proc(c);
    }
    for (int i = 0; i < ComponentCount(); ++i) {
        if (!Components(i)->HasParent())
            proc(Components(i));
    }
}

// Image-store shapes, under the stored class names.
const TClassInfo& TTestBitmap::StaticClass()
{
    static const TClassInfo& info =
        DefineClass<TTestBitmap, TPersistent>("TBitmap32")
            .Enum("DrawMode", &TTestBitmap::DrawMode, &TTestBitmap::DrawMode,
                  {"dmOpaque", "dmBlend", "dmCustom", "dmTransparent"}, dmOpaque)
            .String("ResamplerClassName", &TTestBitmap::ResamplerClassName, &TTestBitmap::ResamplerClassName)
            .Binary("Data", &TTestBitmap::ReadData, &TTestBitmap::WriteData)
            .Register();
    return info;
}

void TTestBitmap::ReadData(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 8)
        throw EFrameworkError("Bitmap data too short");
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                          (static_cast<std::uint32_t>(bytes[at + 3]) << 24));
    };
    const std::uint32_t w = u32(0);
    const std::uint32_t h = u32(4);
    if (static_cast<std::uint64_t>(w) * h * 4 != bytes.size() - 8)
        throw EFrameworkError("Bitmap data size mismatch");
    Width = w;
    Height = h;
    Pixels.assign(bytes.begin() + 8, bytes.end());
}

std::vector<std::uint8_t> TTestBitmap::WriteData() const
{
    std::vector<std::uint8_t> out;
    for (std::uint32_t v : {Width, Height}) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    out.insert(out.end(), Pixels.begin(), Pixels.end());
    return out;
}

const TClassInfo& TTestBitmapItem::StaticClass()
{
    static const TClassInfo& info =
        DefineClass<TTestBitmapItem, TCollectionItem>("TKsSkinBitmapItem")
            .String("ResID", &TTestBitmapItem::ResID, &TTestBitmapItem::ResID)
            .Object("Bitmap", &TTestBitmapItem::Bitmap)
            .String("Description", &TTestBitmapItem::Description, &TTestBitmapItem::Description)
            .Register();
    return info;
}

const TClassInfo& TTestImageList::StaticClass()
{
    static const TClassInfo& info = DefineClass<TTestImageList, TComponent>("TKsSkinImageList")
                                        .Collection("Bitmaps", &TTestImageList::Bitmaps)
                                        .Register();
    return info;
}

const TClassInfo& TTestResDM::StaticClass()
{
    static const TClassInfo& info =
        DefineClass<TTestResDM, TComponent>("TKsSkinResDM")
            .Bool("OldCreateOrder", &TTestResDM::OldCreateOrder, &TTestResDM::OldCreateOrder)
            .Late()
            .Int("Height", &TTestResDM::Height, &TTestResDM::Height)
            .Int("Width", &TTestResDM::Width, &TTestResDM::Width)
            .Field("KsSkinImageListMain", &TTestResDM::KsSkinImageListMain)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TTestResDM)

TBytes& TBytes::Raw(std::initializer_list<int> list)
{
    for (int v : list)
        b.push_back(static_cast<std::uint8_t>(v));
    return *this;
}

TBytes& TBytes::Str(std::string_view s)
{
    b.push_back(static_cast<std::uint8_t>(s.size()));
    b.insert(b.end(), s.begin(), s.end());
    return *this;
}

TBytes& TBytes::U32(std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
}

std::unique_ptr<TTestRoot> MakeSampleForm()
{
    auto root = std::make_unique<TTestRoot>();
    root->SetName("FormMain");
    root->Caption = "FormMain";
    root->Width = 330;
    root->Height = 100;
    root->OldCreateOrder = false;
    root->Font()->Height = -11;
    root->TextHeight = 13;
    BindEvent(*root, *TTestRoot::StaticClass().FindProperty("OnCreate"), *root, "FormCreate");

    auto* label = new TTestControl(root.get());
    label->SetName("Label1");
    label->Parent = root.get();
    label->Left = 120;
    label->Top = 24;
    label->Width = 84;
    label->Height = 13;
    label->Caption = "正在努力加载中";
    label->Title = std::string("\xC4\xE3\xBA\xC3", 4);  // GBK bytes, kept verbatim
    label->Kind = tkRight;
    label->Options = {fsItalic, fsStrikeOut};
    label->Visible = false;
    label->Ratio = 0.75;
    label->Big = std::int64_t{1} << 40;
    label->Color = 15592956;
    label->Font()->Name = "Tahoma";
    label->Font()->Style = {fsBold};
    label->Font()->Color = clRed;
    label->Lines = {"one", "两"};
    auto* item = label->Items()->Add();
    item->Caption = "first";
    item->Value = 5;
    item->Font()->Height = 20;
    item->Data = {1, 2, 3, 250};
    label->Items()->Add()->Value = -300;

    auto* label2 = new TTestControl(root.get());
    label2->SetName("Label2");
    label2->Parent = label;  // nested record
    label2->SetPeer(label);

    auto* timer = new TTestTimer(root.get());
    timer->SetName("Timer1");
    timer->Interval = 500;
    timer->SetDesignLeft(216);
    timer->SetDesignTop(8);
    BindEvent(*timer, *TTestTimer::StaticClass().FindProperty("OnTimer"), *root, "Timer1Timer");
    return root;
}

std::vector<std::uint8_t> ImageStoreSampleBytes()
{
    return TBytes()
        .Raw({'T', 'P', 'F', '0'})
        .Str("TKsSkinResDM")
        .Str("KsSkinResDM")
        .Str("OldCreateOrder")
        .Raw({vaFalse})
        .Str("Height")
        .Raw({vaInt16, 0x09, 0x01})
        .Str("Width")
        .Raw({vaInt16, 0x39, 0x01})
        .Raw({0})
        .Str("TKsSkinImageList")
        .Str("KsSkinImageListMain")
        .Str("Bitmaps")
        .Raw({vaCollection})
        .Raw({vaList})
        .Str("ResID")
        .Raw({vaString})
        .Str("KsSkinBtn_close")
        .Str("Bitmap.DrawMode")
        .Raw({vaIdent})
        .Str("dmBlend")
        .Str("Bitmap.ResamplerClassName")
        .Raw({vaString})
        .Str("TNearestResampler")
        .Str("Bitmap.Data")
        .Raw({vaBinary})
        .U32(16)
        .U32(2)
        .U32(1)
        .Raw({0xFF, 0xDC, 0x95, 0x73, 0xFF, 0xFF, 0xFF, 0x00})
        .Raw({0})
        .Raw({vaList})
        .Str("ResID")
        .Raw({vaString})
        .Str("fav")
        .Str("Bitmap.ResamplerClassName")
        .Raw({vaString})
        .Str("TNearestResampler")
        .Str("Bitmap.Data")
        .Raw({vaBinary})
        .U32(12)
        .U32(1)
        .U32(1)
        .Raw({1, 2, 3, 255})
        .Raw({0})
        .Raw({0})
        .Str("Left")
        .Raw({vaInt16, 136, 0})
        .Str("Top")
        .Raw({vaInt8, 88})
        .Raw({0, 0})
        .Raw({0})
        .b;
}

}  // namespace fwtest
