#include "skin/resources/uKsSkinIntf.h"

#include "framework/TypInfo.h"
#include "skin/render/Kernels.h"
#include "skin/render/Transform.h"
#include "skin/resources/uKsSkinResManager.h"

#include <algorithm>
#include <vector>

namespace ks {

// ---------------------------------------------------------------------------
// TKsSkinImage

const fw::TClassInfo& TKsSkinImage::StaticClass()
{
    static const fw::TClassInfo& info = fw::DefineClass<TKsSkinImage, TBitmap32>("TKsSkinImage").Register();
    return info;
}
FW_REGISTER_CLASS(TKsSkinImage)

TKsSkinImage::TKsSkinImage() = default;
TKsSkinImage::~TKsSkinImage() = default;

// ---------------------------------------------------------------------------
// TPngPictures

const fw::TClassInfo& TPngPictures::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TPngPictures, fw::TPersistent>("TPngPictures")
            .Bool("Active", &TPngPictures::Active, &TPngPictures::SetActive)
            .Bool("MultiLineMode", &TPngPictures::MultiLineMode, &TPngPictures::SetMultiLineMode, false)
            .WString("Image", &TPngPictures::Image, &TPngPictures::SetImage)
            .Int("Normal", &TPngPictures::Normal, &TPngPictures::SetNormal)
            .Int("Hot", &TPngPictures::Hot, &TPngPictures::SetHot)
            .Int("Disable", &TPngPictures::Disable, &TPngPictures::SetDisable)
            .Int("Count", &TPngPictures::Count, &TPngPictures::SetCount)
            .Int("Pressed", &TPngPictures::Pressed, &TPngPictures::SetPressed)
            .Event("PicturesChanged", &TPngPictures::SetPicturesChanged)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TPngPictures)

TPngPictures::TPngPictures() = default;
TPngPictures::~TPngPictures() = default;

void TPngPictures::SetActive(bool value)
{
    m_active = value;
    Changed();
}

void TPngPictures::SetImage(const std::string& name)
{
    if (name == m_image)
        return;
    m_image = name;
    m_source = nullptr;
    try {
        m_source = SkinResManager().GetBitmap(name);
    } catch (...) {
        // Caught here, where every picture of the skin is looked up: while a
        // form is read from its layout, when a name changes and when a button
        // swaps its strip while painting. The element draws without it.
        ReportSkinFailure(std::current_exception());
    }
    Changed();
}

void TPngPictures::SetNormal(int value)
{
    m_normal = value;
    Changed();
}

void TPngPictures::SetHot(int value)
{
    m_hot = value;
    Changed();
}

void TPngPictures::SetDisable(int value)
{
    m_disable = value;
    Changed();
}

void TPngPictures::SetCount(int value)
{
    m_count = value;
    Changed();
}

void TPngPictures::SetPicturesChanged(fw::TNotifyEvent handler)
{
    m_picturesChanged = std::move(handler);
    Changed();
}

void TPngPictures::Changed()
{
    if (!m_changeLock && m_picturesChanged)
        m_picturesChanged(this);
}

void TPngPictures::Assign(const fw::TPersistent& source)
{
    if (const auto* other = dynamic_cast<const TPngPictures*>(&source)) {
        SetActive(other->m_active);
        SetImage(other->m_image);
        SetCount(other->m_count);
        SetNormal(other->m_normal);
        SetHot(other->m_hot);
        SetPressed(other->m_pressed);
        SetDisable(other->m_disable);
        SetMultiLineMode(other->m_multiLineMode);
        return;
    }
    fw::TPersistent::Assign(source);
}

int TPngPictures::FrameWidth() const
{
    if (m_source == nullptr || m_source->IsEmpty())
        return 0;
    if (m_multiLineMode)
        return m_source->Width();
    return m_count >= 1 ? m_source->Width() / m_count : 0;
}

int TPngPictures::FrameHeight() const
{
    if (m_source == nullptr || m_source->IsEmpty())
        return 0;
    if (!m_multiLineMode)
        return m_source->Height();
    return m_count >= 1 ? m_source->Height() / m_count : 0;
}

bool TPngPictures::GetFrame(int index, TCustomBitmap32* target) const
{
    const TBitmap32* source = m_source;
    if (source == nullptr || target == nullptr || index < 0 || index >= m_count || m_count < 1 ||
        source->Height() <= 0 || source->Width() <= 0)
        return false;
    const int frameSize = m_multiLineMode ? source->Height() / m_count : source->Width() / m_count;
    if (frameSize <= 0)
        return false;

    TBitmapUpdate update(*target);
    // Colour of the area before a change of size; it stays under the frame
    // when the target already has the frame's size.
    target->FillArea(0, 0, target->Width(), target->Height(), MakeColor32(244, 255, 255, 0));
    source->CopyPropertiesTo(*target);
    if (m_multiLineMode)
        target->Resize(source->Width(), frameSize);
    else
        target->Resize(frameSize, source->Height());

    const int offset = index * frameSize;
    TAffineTransformation transformation;
    if (m_multiLineMode) {
        transformation.SetSrcRect({0, static_cast<double>(offset), static_cast<double>(source->Width()),
                                   static_cast<double>(offset + frameSize)});
        transformation.Translate(0, -offset);
    } else {
        transformation.SetSrcRect({static_cast<double>(offset), 0, static_cast<double>(offset + frameSize),
                                   static_cast<double>(source->Height())});
        transformation.Translate(-offset, 0);
    }
    // Eight compositions, not one copy: a blending strip's soft edges come
    // out denser than stored, and opaque pixels reach their stored value
    // only through the repeated passes. The built-in strips are designed for
    // this look.
    for (int pass = 0; pass < 8; ++pass)
        TransformDraw(target, source, transformation);
    return true;
}

// ---------------------------------------------------------------------------
// TKsLightClass

const fw::TClassInfo& TKsLightClass::StaticClass()
{
    static const fw::TClassInfo& info =
        fw::DefineClass<TKsLightClass, fw::TPersistent>("TKsLightClass")
            .Int("BlurRadius", &TKsLightClass::BlurRadius, &TKsLightClass::SetBlurRadius, 1)
            .Bool("Active", &TKsLightClass::Active, &TKsLightClass::SetActive, true)
            .Int("Color", &TKsLightClass::Color, &TKsLightClass::SetColor, 0xFFFFFE, fw::ColorIdents())
            .Event("OnChanged", &TKsLightClass::SetOnChanged)
            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsLightClass)

TKsLightClass::TKsLightClass() = default;
TKsLightClass::~TKsLightClass() = default;

void TKsLightClass::SetBlurRadius(int value)
{
    if (value == m_blurRadius)
        return;
    m_blurRadius = value;
    Changed();
}

void TKsLightClass::SetActive(bool value)
{
    if (value == m_active)
        return;
    m_active = value;
    Changed();
}

void TKsLightClass::SetColor(fw::TColor value)
{
    if (value == m_color)
        return;
    m_color = value;
    Changed();
}

void TKsLightClass::Changed()
{
    if (OnChanged)
        OnChanged(this);
}

void TKsLightClass::Assign(const fw::TPersistent& source)
{
    if (const auto* other = dynamic_cast<const TKsLightClass*>(&source)) {
        SetActive(other->m_active);
        SetColor(other->m_color);
        return;
    }
    fw::TPersistent::Assign(source);
}

// ---------------------------------------------------------------------------
// TKsOffset

const fw::TClassInfo& TKsOffset::StaticClass()
{
    static const fw::TClassInfo& info = fw::DefineClass<TKsOffset, fw::TPersistent>("TKsOffset")
                                            .Int("X", &TKsOffset::X, &TKsOffset::SetX)
                                            .Int("Y", &TKsOffset::Y, &TKsOffset::SetY)
                                            .Event("OnChanged", &TKsOffset::SetOnChanged)
                                            .Register();
    return info;
}
FW_REGISTER_CLASS(TKsOffset)

TKsOffset::TKsOffset() = default;
TKsOffset::~TKsOffset() = default;

void TKsOffset::SetX(int value)
{
    if (value == m_x)
        return;
    m_x = value;
    if (OnChanged)
        OnChanged(this);
}

void TKsOffset::SetY(int value)
{
    if (value == m_y)
        return;
    m_y = value;
    if (OnChanged)
        OnChanged(this);
}

void TKsOffset::Assign(const fw::TPersistent& source)
{
    if (const auto* other = dynamic_cast<const TKsOffset*>(&source)) {
        SetX(other->m_x);
        SetY(other->m_y);
        return;
    }
    fw::TPersistent::Assign(source);
}

// ---------------------------------------------------------------------------
// Helpers

void FreeBitmaps(std::vector<TBitmap32*>& bitmaps)
{
    for (TBitmap32* bitmap : bitmaps)
        delete bitmap;
    bitmaps.clear();
}

void FreeBitmaps(std::vector<std::unique_ptr<TBitmap32>>& bitmaps) { bitmaps.clear(); }

void BoxBlurGray(const TRgb24View& image, int radius, int passes)
{
    Kernels().BoxBlurGray(image.Bits, image.Width, image.Height, image.Stride, radius, passes);
}

void ApplyGlowPass(const TRgb24View& background, const TRgb24View& mask, unsigned red, unsigned green, unsigned blue)
{
    const int q[3] = {static_cast<int>(blue), static_cast<int>(green), static_cast<int>(red)};
    for (int y = 0; y < background.Height && y < mask.Height; ++y) {
        std::uint8_t* b = background.Bits + y * background.Stride;
        const std::uint8_t* m = mask.Bits + y * mask.Stride;
        for (int x = 0; x < background.Width && x < mask.Width; ++x, b += 3, m += 3) {
            const int weight = m[2];
            for (int c = 0; c < 3; ++c) {
                const int product = (b[c] - q[c]) * weight;
                // Rounded towards minus infinity, also for a negative product.
                const int scaled = product >= 0 ? product / 256 : -((-product + 255) / 256);
                b[c] = static_cast<std::uint8_t>(q[c] + scaled);
            }
        }
    }
}

}  // namespace ks
