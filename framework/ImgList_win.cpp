#include "framework/ImgList_win.h"

#include "framework/Dib_win.h"
#include "framework/SystemLibrary_win.h"
#include "framework/TypInfo.h"

#include <algorithm>
#include <cstdint>

namespace fw {

namespace {

// A width x height top-down DIB section and its pixels.
ScopedBitmap NewDib(int width, int height, std::uint32_t*& bits)
{
    BITMAPINFO info = TopDownDibInfo(width, height, 32);
    void* raw = nullptr;
    ScopedBitmap dib(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0));
    if (!dib || raw == nullptr)
        throw EFrameworkError("Can't allocate the DIB handle");
    bits = static_cast<std::uint32_t*>(raw);
    return dib;
}

std::uint32_t Premultiplied(std::uint32_t p)
{
    const std::uint32_t a = p >> 24;
    auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (mul((p >> 16) & 0xFF) << 16) | (mul((p >> 8) & 0xFF) << 8) | mul(p & 0xFF);
}

// Grey by luminance, at half the opacity (premultiplied in, premultiplied out).
std::uint32_t Disabled(std::uint32_t p)
{
    const std::uint32_t a = p >> 24;
    const std::uint32_t grey = (((p >> 16) & 0xFF) * 77 + ((p >> 8) & 0xFF) * 150 + (p & 0xFF) * 29) >> 8;
    const std::uint32_t g = grey / 2;
    return ((a / 2) << 24) | (g << 16) | (g << 8) | g;
}

}  // namespace

const TClassInfo& TCustomImageList::StaticClass()
{
    static const TClassInfo& info = DefineClass<TCustomImageList, TComponent>("TCustomImageList")
                                        .Int("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight, 16)
                                        .Int("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth, 16)
                                        .Register();
    return info;
}

const TClassInfo& TImageList::StaticClass()
{
    static const TClassInfo& info = DefineClass<TImageList, TCustomImageList>("TImageList").Register();
    return info;
}
FW_REGISTER_CLASS(TImageList)

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::SetWidth(int value)
{
    value = std::max(value, 1);
    if (value == m_width)
        return;
    m_width = value;
    Clear();
}

void TCustomImageList::SetHeight(int value)
{
    value = std::max(value, 1);
    if (value == m_height)
        return;
    m_height = value;
    Clear();
}

int TCustomImageList::Add(TBitmap& image) { return AddPictures(image, false, 0); }

int TCustomImageList::AddMasked(TBitmap& image, TColor maskColor) { return AddPictures(image, true, maskColor); }

int TCustomImageList::AddPictures(TBitmap& image, bool masked, TColor maskColor)
{
    const int first = Count();
    if (image.Empty())
        return -1;
    const int iw = image.Width();
    const int ih = image.Height();
    // The source's pixels as 32-bit values, alpha included for 32-bit images.
    std::vector<std::uint32_t> source(static_cast<size_t>(iw) * static_cast<size_t>(ih));
    BITMAPINFO info = TopDownDibInfo(iw, ih, 32);
    {
        ScopedGetDC screen(nullptr);
        if (!::GetDIBits(screen.Get(), image.Handle(), 0, static_cast<UINT>(ih), source.data(), &info, DIB_RGB_COLORS))
            return -1;
    }
    const bool hasAlpha = image.PixelFormat() == pf32bit &&
                          std::any_of(source.begin(), source.end(), [](std::uint32_t p) { return (p >> 24) != 0; });
    const COLORREF mask = ColorToRGB(maskColor);
    const std::uint32_t maskPixel = (GetRValue(mask) << 16) | (GetGValue(mask) << 8) | GetBValue(mask);
    const int pieces = std::max(1, iw / m_width);
    const int pieceWidth = std::min(iw, m_width);
    for (int piece = 0; piece < pieces; ++piece) {
        std::uint32_t* bits = nullptr;
        ScopedBitmap dib = NewDib(m_width, m_height, bits);
        // Nearest pixel when the piece's size differs from the list's.
        for (int y = 0; y < m_height; ++y) {
            const int sy = y * ih / m_height;
            for (int x = 0; x < m_width; ++x) {
                const int sx = piece * pieceWidth + x * pieceWidth / m_width;
                std::uint32_t p = source[static_cast<size_t>(sy) * static_cast<size_t>(iw) + static_cast<size_t>(sx)];
                if (!hasAlpha)
                    p |= 0xFF000000u;
                if (masked && (p & 0x00FFFFFFu) == maskPixel)
                    p = 0;
                bits[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)] = Premultiplied(p);
            }
        }
        ::GdiFlush();
        m_images.push_back(std::move(dib));
    }
    Changed();
    return first;
}

void TCustomImageList::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_images.erase(m_images.begin() + index);
    Changed();
}

void TCustomImageList::Clear()
{
    if (m_images.empty())
        return;
    m_images.clear();
    Changed();
}

void TCustomImageList::Changed()
{
    if (m_onChange)
        m_onChange(this);
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled)
{
    if (index < 0 || index >= Count())
        return;
    HDC target = canvas.Handle();
    if (target == nullptr)
        return;
    HBITMAP picture = m_images[static_cast<size_t>(index)].Get();
    ScopedBitmap grey;
    if (!enabled) {
        std::uint32_t* bits = nullptr;
        grey = NewDib(m_width, m_height, bits);
        BITMAPINFO info = TopDownDibInfo(m_width, m_height, 32);
        ScopedGetDC screen(nullptr);
        ::GetDIBits(screen.Get(), picture, 0, static_cast<UINT>(m_height), bits, &info, DIB_RGB_COLORS);
        for (int i = 0; i < m_width * m_height; ++i)
            bits[i] = Disabled(bits[i]);
        picture = grey.Get();
    }
    ScopedCreateDC memory(target);
    ScopedSelectObject selected(memory.Get(), picture);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    SystemAlphaBlend(target, x, y, m_width, m_height, memory.Get(), 0, 0, m_width, m_height, blend);
}

}  // namespace fw
