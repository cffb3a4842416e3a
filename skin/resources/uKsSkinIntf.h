// Small value classes that skinned elements embed as published sub-objects:
// the picture reference (an image strip with state frames), the glow
// parameters and a pixel offset; the skin image bitmap; and the glow routine
// with its blur and the text measuring that labels and buttons share.
#pragma once

#include "framework/Classes.h"
#include "framework/Types.h"
#include "skin/render/Bitmap32.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
namespace fw {
class TCanvas;
}
#endif

namespace ks {

// Reports a failure that the skin catches rather than let it cross a window
// procedure, the message loop or the program's entry. Windows programs hand it
// to the framework's exception report (the application's exception event;
// without one, a line on the debugger output); the host build writes the line
// to stderr.
void ReportSkinFailure(std::exception_ptr error) noexcept;

// A 32-bit bitmap that receives a loaded image file or a frame cut out of a
// strip; it behaves exactly as TBitmap32.
class TKsSkinImage : public TBitmap32 {
    FW_CLASS(TKsSkinImage)

    TKsSkinImage();
    ~TKsSkinImage() override;
};

// A picture reference: the name of a skin image holding several state frames
// side by side (or stacked), their count and which frame shows which state.
// The name is resolved through the skin resource manager when it is set; the
// bitmap found is borrowed, never freed here.
class TPngPictures : public fw::TPersistent {
    FW_CLASS(TPngPictures)

    TPngPictures();
    ~TPngPictures() override;

    bool Active() const { return m_active; }
    void SetActive(bool value);
    // False: frames side by side; True: frames stacked.
    bool MultiLineMode() const { return m_multiLineMode; }
    void SetMultiLineMode(bool value) { m_multiLineMode = value; }
    const std::string& Image() const { return m_image; }
    // A new name (exact comparison) is looked up at once; the same name again
    // does nothing. A file of that name that cannot be read as an image is
    // reported (ReportSkinFailure) and the name is kept without a picture:
    // the skin is decoration, and one bad file must not stop the program.
    void SetImage(const std::string& name);
    int Normal() const { return m_normal; }
    void SetNormal(int value);
    int Hot() const { return m_hot; }
    void SetHot(int value);
    int Disable() const { return m_disable; }
    void SetDisable(int value);
    int Count() const { return m_count; }
    void SetCount(int value);
    int Pressed() const { return m_pressed; }
    void SetPressed(int value) { m_pressed = value; }

    const fw::TNotifyEvent& PicturesChanged() const { return m_picturesChanged; }
    // Also notifies at once, so that an owner sizes itself when it subscribes.
    void SetPicturesChanged(fw::TNotifyEvent handler);

    // Calls PicturesChanged unless the change lock is set.
    void Changed();
    // Owners that swap Image while painting lock out their own handler;
    // EndChange does not send a notification for what happened meanwhile.
    void BeginChange() { m_changeLock = true; }
    void EndChange() { m_changeLock = false; }

    // From another picture reference, through the setters: Active, Image,
    // Count, Normal, Hot, Pressed, Disable, MultiLineMode (not the event).
    void Assign(const fw::TPersistent& source) override;

    // The resolved bitmap, or nullptr.
    const TBitmap32* Source() const { return m_source; }
    // Size of one frame; 0 without a picture (and for a count below 1).
    int FrameWidth() const;
    int FrameHeight() const;

    // Cuts frame index into target: target takes the source's draw
    // properties and the frame's size, and gets the frame composed onto it
    // eight times by the source's draw mode. False, with target untouched,
    // when there is no picture, no target or the index is not below Count.
    bool GetFrame(int index, TCustomBitmap32* target) const;
    bool GetNormalFrame(TCustomBitmap32* target) const { return GetFrame(m_normal, target); }
    bool GetHotFrame(TCustomBitmap32* target) const { return GetFrame(m_hot, target); }
    bool GetPressedFrame(TCustomBitmap32* target) const { return GetFrame(m_pressed, target); }
    bool GetDisableFrame(TCustomBitmap32* target) const { return GetFrame(m_disable, target); }

private:
    bool m_active = false;
    bool m_multiLineMode = false;
    std::string m_image;
    int m_normal = 0;
    int m_hot = 1;
    int m_disable = 0;
    int m_count = 3;
    int m_pressed = 2;
    fw::TNotifyEvent m_picturesChanged;
    const TBitmap32* m_source = nullptr;
    bool m_changeLock = false;
};

// Glow drawn behind text: on/off, colour and strength.
class TKsLightClass : public fw::TPersistent {
    FW_CLASS(TKsLightClass)

    TKsLightClass();
    ~TKsLightClass() override;

    // The glow pass runs 2 x BlurRadius times.
    int BlurRadius() const { return m_blurRadius; }
    void SetBlurRadius(int value);
    bool Active() const { return m_active; }
    void SetActive(bool value);
    fw::TColor Color() const { return m_color; }
    void SetColor(fw::TColor value);

    // Fired by a setter that changed its value.
    fw::TNotifyEvent OnChanged;
    void SetOnChanged(fw::TNotifyEvent handler) { OnChanged = std::move(handler); }

    // From another light: Active, then Color (BlurRadius is not copied).
    void Assign(const fw::TPersistent& source) override;

private:
    void Changed();

    int m_blurRadius = 1;
    bool m_active = true;
    fw::TColor m_color = 0xFFFFFE;
};

// A pixel offset with change notification.
class TKsOffset : public fw::TPersistent {
    FW_CLASS(TKsOffset)

    TKsOffset();
    ~TKsOffset() override;

    int X() const { return m_x; }
    void SetX(int value);
    int Y() const { return m_y; }
    void SetY(int value);

    fw::TNotifyEvent OnChanged;
    void SetOnChanged(fw::TNotifyEvent handler) { OnChanged = std::move(handler); }

    // From another offset: X, then Y, through the setters.
    void Assign(const fw::TPersistent& source) override;

private:
    int m_x = 0;
    int m_y = 0;
};

// Frees every bitmap present in the list and empties it.
void FreeBitmaps(std::vector<TBitmap32*>& bitmaps);
void FreeBitmaps(std::vector<std::unique_ptr<TBitmap32>>& bitmaps);

// A 24-bit image in memory: rows of blue, green, red bytes, stride bytes
// apart (a device-independent bitmap's layout).
struct TRgb24View {
    std::uint8_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    std::ptrdiff_t Stride = 0;
};

// Blurs the image in place with a box of 2 x radius + 1 pixels (edge pixels
// repeated beyond the border), passes times along every row and passes + 1
// times along every column, then turns every pixel grey ((r + g + b) div 3).
// Nothing for an empty image or a radius below 1.
void BoxBlurGray(const TRgb24View& image, int radius, int passes);

// One pass of the glow: each background channel v is pulled towards the
// glow colour's channel q by the mask's darkness m (the mask's red channel):
// q + floor((v - q) * m / 256). background and mask have the same size.
void ApplyGlowPass(const TRgb24View& background, const TRgb24View& mask, unsigned red, unsigned green, unsigned blue);

#ifdef _WIN32
// Draws the glow for text laid out in rect with the DrawText flags format
// onto canvas (not the text itself). Nothing when the text is blank or the
// rectangle has no area.
void DrawGlowText(fw::TCanvas& canvas, const fw::TRect& rect, std::wstring_view text, int blurRadius, fw::TColor color,
                  unsigned format);

// Width and height of text as DrawText with DT_CALCRECT lays it out on dc.
int MeasureTextWidth(HDC dc, std::wstring_view text);
int MeasureTextHeight(HDC dc, std::wstring_view text);
#endif

}  // namespace ks
