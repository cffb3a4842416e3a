// Small component classes that exercise every property kind, for the
// reader/writer and component tests.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <initializer_list>
#include <vector>

#include "framework/Classes.h"
#include "framework/TypInfo.h"

namespace fwtest {

using namespace fw;

// Names of components in the order their Loaded ran.
std::vector<std::string>& LoadLog();

enum TTestFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TTestFontStyles = TSet<TTestFontStyle>;

class TTestFont : public TPersistent {
    FW_CLASS(TTestFont)

    int Charset = 1;
    TColor Color = clWindowText;
    int Height = -11;
    std::string Name = "MS Sans Serif";
    TTestFontStyles Style;
    int ChangeCount = 0;

    void SetHeight(int h)
    {
        Height = h;
        ++ChangeCount;
    }
    void Assign(const TPersistent& source) override;
};

enum TTestKind { tkNone, tkLeft, tkRight };

class TTestItem : public TCollectionItem {
    FW_CLASS(TTestItem)

    explicit TTestItem(TCollection* c) : TCollectionItem(c) {}

    std::string Caption;
    int Value = 0;
    std::vector<std::uint8_t> Data;
    TTestFont* Font() { return &m_font; }

    void ReadData(std::span<const std::uint8_t> bytes) { Data.assign(bytes.begin(), bytes.end()); }
    std::vector<std::uint8_t> WriteData() const { return Data; }
    void Assign(const TPersistent& source) override;

private:
    TTestFont m_font;
};

class TTestItems : public TCollection {
    FW_CLASS(TTestItems)

    explicit TTestItems(TPersistent* owner) : TCollection(TTestItem::StaticClass(), owner) {}
    TTestItem* Add() { return static_cast<TTestItem*>(TCollection::Add()); }
    TTestItem* Item(int i) const { return static_cast<TTestItem*>(Items(i)); }
    int UpdateCalls = 0;

protected:
    void Update(TCollectionItem*) override { ++UpdateCalls; }
};

// Visual-like component: has a parent, many property kinds.
class TTestControl : public TComponent {
    FW_CLASS(TTestControl)

    explicit TTestControl(TComponent* owner) : TComponent(owner), m_items(this) {}

    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::string Caption;  // Unicode, UTF-8
    std::string Title;    // 8-bit bytes
    TTestKind Kind = tkNone;
    TTestFontStyles Options{fsBold};
    bool Visible = true;
    double Ratio = 0.0;
    std::int64_t Big = 0;
    TColor Color = clBtnFace;
    std::vector<std::string> Lines;
    TTestControl* Peer = nullptr;
    TNotifyEvent OnClick;
    TTestFont* Font() { return &m_font; }
    TTestItems* Items() { return &m_items; }
    TTestControl* GetPeer() const { return Peer; }
    void SetPeer(TTestControl* p)
    {
        if (Peer != nullptr)
            Peer->RemoveFreeNotification(this);
        Peer = p;
        if (Peer != nullptr)
            Peer->FreeNotification(this);
    }
    void SetOnClick(TNotifyEvent e) { OnClick = std::move(e); }

    TComponent* Parent = nullptr;
    int LoadedCalls = 0;
    std::string CaptionAtLoaded;
    bool ParentSetBeforeValues = false;
    std::vector<std::pair<TComponent*, TOperation>> Notifications;

    void SetParentComponent(TComponent* parent) override
    {
        Parent = parent;
        ParentSetBeforeValues = Caption.empty() && Left == 0;
    }
    TComponent* GetParentComponent() const override { return Parent; }
    bool HasParent() const override { return true; }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const override;
    void Loaded() override
    {
        TComponent::Loaded();
        ++LoadedCalls;
        CaptionAtLoaded = Caption;
        LoadLog().push_back(Name());
    }
    void Notification(TComponent* c, TOperation op) override
    {
        TComponent::Notification(c, op);
        Notifications.emplace_back(c, op);
        if (op == opRemove && c == Peer)
            Peer = nullptr;
    }

private:
    TTestFont m_font;
    TTestItems m_items;
};

// Non-visual component.
class TTestTimer : public TComponent {
    FW_CLASS(TTestTimer)

    explicit TTestTimer(TComponent* owner) : TComponent(owner) {}

    int Interval = 1000;
    bool Enabled = true;
    TNotifyEvent OnTimer;
    void SetOnTimer(TNotifyEvent e) { OnTimer = std::move(e); }
    int LoadedCalls = 0;
    void Loaded() override
    {
        TComponent::Loaded();
        ++LoadedCalls;
        LoadLog().push_back(Name());
    }
};

// Root ("form") with published fields and methods.
class TTestRoot : public TComponent {
    FW_CLASS(TTestRoot)

    explicit TTestRoot(TComponent* owner = nullptr) : TComponent(owner), m_font(std::make_unique<TTestFont>()) {}
    ~TTestRoot() override
    {
        Destroying();
        DestroyComponents();
    }

    // Published fields.
    TTestControl* Label1 = nullptr;
    TTestControl* Label2 = nullptr;
    TTestTimer* Timer1 = nullptr;

    // Published methods.
    void FormCreate(TObject* sender)
    {
        ++CreateCalls;
        LastSender = sender;
    }
    void Timer1Timer(TObject* sender)
    {
        ++TimerCalls;
        LastSender = sender;
    }
    void WrongSignature(int) {}

    std::string Caption;
    int Width = 0;
    int Height = 0;
    bool OldCreateOrder = true;
    int TextHeight = 0;
    TNotifyEvent OnCreate;
    void SetOnCreate(TNotifyEvent e) { OnCreate = std::move(e); }
    TTestFont* Font() { return m_font.get(); }

    int CreateCalls = 0;
    int TimerCalls = 0;
    TObject* LastSender = nullptr;
    int LoadedCalls = 0;
    void Loaded() override
    {
        TComponent::Loaded();
        ++LoadedCalls;
        LoadLog().push_back(Name());
    }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const override;

private:
    std::unique_ptr<TTestFont> m_font;
};

// The shape of the built-in image store: a data module with an image list
// whose collection items carry a bitmap sub-object with binary data.
enum TTestDrawMode { dmOpaque, dmBlend, dmCustom, dmTransparent };

class TTestBitmap : public TPersistent {
    FW_CLASS(TTestBitmap)

    TTestDrawMode DrawMode = dmOpaque;
    std::string ResamplerClassName = "TNearestResampler";
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::vector<std::uint8_t> Pixels;

    void ReadData(std::span<const std::uint8_t> bytes);
    std::vector<std::uint8_t> WriteData() const;
};

class TTestBitmapItem : public TCollectionItem {
    FW_CLASS(TTestBitmapItem)

    explicit TTestBitmapItem(TCollection* c) : TCollectionItem(c) {}
    std::string ResID;
    std::string Description;
    TTestBitmap* Bitmap() { return &m_bitmap; }

private:
    TTestBitmap m_bitmap;
};

class TTestImageList : public TComponent {
    FW_CLASS(TTestImageList)

    explicit TTestImageList(TComponent* owner) : TComponent(owner), m_bitmaps(TTestBitmapItem::StaticClass(), this) {}
    TCollection* Bitmaps() { return &m_bitmaps; }

private:
    TCollection m_bitmaps;
};

class TTestResDM : public TComponent {
    FW_CLASS(TTestResDM)

    explicit TTestResDM(TComponent* owner) : TComponent(owner) {}
    TTestImageList* KsSkinImageListMain = nullptr;
    bool OldCreateOrder = true;
    int Height = 0;
    int Width = 0;
};

// Appends stream pieces by hand, for exact expected bytes.
struct TBytes {
    std::vector<std::uint8_t> b;
    TBytes& Raw(std::initializer_list<int> list);
    TBytes& Str(std::string_view s);  // 1-byte length, then the bytes
    TBytes& U32(std::uint32_t v);
};

// A form with two controls (one nested in the other) and a timer, with
// values of every property kind.
std::unique_ptr<TTestRoot> MakeSampleForm();

// The stored image-store data module with two images, byte for byte.
std::vector<std::uint8_t> ImageStoreSampleBytes();

}  // namespace fwtest
