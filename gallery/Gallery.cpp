#include "gallery/Gallery.h"

#include "gallery/ConfigWatch_win.h"

#include "framework/TypInfo.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>

TFormGallery* FormGallery = nullptr;

const fw::TClassInfo& TFormGallery::StaticClass()
{
    static const fw::TClassInfo& info = fw::DefineClass<TFormGallery, fw::TForm>("TFormGallery")
                                            .Field("KsSkinForm1", &TFormGallery::KsSkinForm1)
                                            .Field("KsFormLayerBorder1", &TFormGallery::KsFormLayerBorder1)
                                            .Field("KsSkinRes1", &TFormGallery::KsSkinRes1)
                                            .Field("CloseButton", &TFormGallery::CloseButton)
                                            .Field("MaximizeButton", &TFormGallery::MaximizeButton)
                                            .Field("MinimizeButton", &TFormGallery::MinimizeButton)
                                            .Field("TitleLabel", &TFormGallery::TitleLabel)
                                            .Field("MainMenu1", &TFormGallery::MainMenu1)
                                            .Field("PopupMenu1", &TFormGallery::PopupMenu1)
                                            .Field("KsSkinMenu1", &TFormGallery::KsSkinMenu1)
                                            .Field("MenuImages", &TFormGallery::MenuImages)
                                            .Method("ExitClick", &TFormGallery::ExitClick)
                                            .Method("AboutClick", &TFormGallery::AboutClick)
                                            .Register();
    return info;
}
FW_REGISTER_CLASS(TFormGallery)

TFormGallery::TFormGallery(fw::TComponent* owner) : fw::TForm(owner)
{
    InitFromLayout();
    if (MenuImages != nullptr)
        AddGalleryIcons(*MenuImages);
    if (KsSkinRes1 != nullptr)
        new TConfigWatch(this, KsSkinRes1);
}

void TFormGallery::ExitClick(fw::TObject*) { Close(); }

void TFormGallery::AboutClick(fw::TObject*)
{
    ::MessageBoxW(Handle(), L"Skin engine gallery\nEvery picture in this window is drawn by the skin engine.",
                  L"About the gallery", MB_OK | MB_ICONINFORMATION);
}

void TFormGallery::Dispatch(fw::TMessage& message)
{
    if (message.Msg == WM_CONTEXTMENU && PopupMenu1 != nullptr && HandleAllocated()) {
        // The point of a mouse request is where the button went up; keyboard
        // requests (Shift+F10, the menu key) carry -1 and open at the cursor.
        POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        if (message.LParam == -1)
            ::GetCursorPos(&at);
        POINT client = at;
        ::ScreenToClient(Handle(), &client);
        RECT area{};
        ::GetClientRect(Handle(), &area);
        if (::PtInRect(&area, client)) {
            PopupMenu1->SetPopupComponent(this);
            PopupMenu1->Popup(at.x, at.y);
            message.Result = 0;
            return;
        }
    }
    fw::TForm::Dispatch(message);
}

// ---------------------------------------------------------------------------
// The icons

namespace {

constexpr int kIconSize = 16;
using Shape = std::function<bool(double x, double y)>;

struct Icon {
    std::array<std::uint32_t, kIconSize * kIconSize> Pixels{};  // straight-alpha BGRA

    // Paints colour (0xRRGGBB) over the pixels the shape covers, each pixel
    // sampled 4 x 4 times so that edges are smooth.
    void Fill(const Shape& inside, std::uint32_t rgb)
    {
        for (int y = 0; y < kIconSize; ++y) {
            for (int x = 0; x < kIconSize; ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4) ? 1 : 0;
                if (hits > 0)
                    Over(Pixels[static_cast<size_t>(y * kIconSize + x)], rgb, hits * 255 / 16);
            }
        }
    }

    static void Over(std::uint32_t& pixel, std::uint32_t rgb, int alpha)
    {
        const int backAlpha = static_cast<int>(pixel >> 24);
        const int outAlpha = alpha + backAlpha * (255 - alpha) / 255;
        if (outAlpha == 0)
            return;
        std::uint32_t out = static_cast<std::uint32_t>(outAlpha) << 24;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int front = static_cast<int>((rgb >> shift) & 0xFF);
            const int back = static_cast<int>((pixel >> shift) & 0xFF);
            const int mixed = (front * alpha + back * backAlpha * (255 - alpha) / 255) / outAlpha;
            out |= static_cast<std::uint32_t>(std::clamp(mixed, 0, 255)) << shift;
        }
        pixel = out;
    }
};

Shape Box(double left, double top, double right, double bottom)
{
    return [=](double x, double y) { return x >= left && x < right && y >= top && y < bottom; };
}

Shape Disc(double cx, double cy, double r)
{
    return [=](double x, double y) { return std::hypot(x - cx, y - cy) <= r; };
}

// A ring from angle `from` to `to` (degrees, counter-clockwise from the right,
// screen y downwards).
Shape Arc(double cx, double cy, double r, double width, double from, double to)
{
    return [=](double x, double y) {
        const double d = std::hypot(x - cx, y - cy);
        if (std::abs(d - r) > width / 2)
            return false;
        double a = std::atan2(cy - y, x - cx) * 180 / 3.14159265358979;
        if (a < 0)
            a += 360;
        return from <= to ? (a >= from && a <= to) : (a >= from || a <= to);
    };
}

Shape Segment(double x1, double y1, double x2, double y2, double width)
{
    return [=](double x, double y) {
        const double dx = x2 - x1, dy = y2 - y1;
        const double t = std::clamp(((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        return std::hypot(x - (x1 + t * dx), y - (y1 + t * dy)) <= width / 2;
    };
}

Shape Triangle(double ax, double ay, double bx, double by, double cx, double cy)
{
    return [=](double x, double y) {
        const auto side = [&](double px, double py, double qx, double qy) {
            return (qx - px) * (y - py) - (qy - py) * (x - px);
        };
        const double s1 = side(ax, ay, bx, by), s2 = side(bx, by, cx, cy), s3 = side(cx, cy, ax, ay);
        return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
    };
}

void Page(Icon& icon, double dx, double dy)
{
    icon.Fill(Box(3 + dx, 1 + dy, 13 + dx, 15 + dy), 0x6A7380);
    icon.Fill(Box(4 + dx, 2 + dy, 12 + dx, 14 + dy), 0xFFFFFF);
    for (int row = 0; row < 3; ++row)
        icon.Fill(Box(5 + dx, 5 + dy + row * 3, 11 + dx, 6 + dy + row * 3), 0x5B8FD6);
}

std::array<Icon, 8> DrawIcons()
{
    std::array<Icon, 8> icons;
    Page(icons[0], 0, 0);

    Icon& folder = icons[1];
    folder.Fill(Box(1, 3, 7, 6), 0xC8901E);
    folder.Fill(Box(1, 5, 15, 14), 0xC8901E);
    folder.Fill(Box(2, 6, 14, 13), 0xF6C445);

    Icon& disk = icons[2];
    disk.Fill(Box(2, 2, 14, 14), 0x2F5FA8);
    disk.Fill(Box(4, 3, 12, 8), 0xF2F5FA);
    disk.Fill(Box(5, 10, 11, 14), 0x1A2F55);
    disk.Fill(Box(8, 11, 10, 13), 0xC9D3E3);

    Page(icons[3], -2, -1);
    Page(icons[3], 2, 1);

    Icon& scissors = icons[4];
    scissors.Fill(Segment(4, 1, 10.5, 10, 1.4), 0x7A8594);
    scissors.Fill(Segment(12, 1, 5.5, 10, 1.4), 0x7A8594);
    scissors.Fill(Arc(4.5, 12, 2.3, 1.4, 0, 360), 0xC0392B);
    scissors.Fill(Arc(11.5, 12, 2.3, 1.4, 0, 360), 0xC0392B);

    Icon& back = icons[5];
    back.Fill(Arc(8.5, 9, 5, 2, 270, 150), 0x2E9E4F);
    back.Fill(Triangle(0.5, 5, 7.5, 1.5, 6.5, 8.5), 0x2E9E4F);

    Icon& info = icons[6];
    info.Fill(Disc(8, 8, 7.2), 0x2F6FD0);
    info.Fill(Disc(8, 4.5, 1.3), 0xFFFFFF);
    info.Fill(Box(7, 7, 9.2, 12.5), 0xFFFFFF);

    Icon& refresh = icons[7];
    refresh.Fill(Arc(8, 8.5, 5.2, 2.2, 120, 60), 0xE07A10);
    refresh.Fill(Triangle(10, 0.5, 15.5, 5.5, 9, 7), 0xE07A10);
    return icons;
}

}  // namespace

void AddGalleryIcons(fw::TCustomImageList& images)
{
    const std::array<Icon, 8> icons = DrawIcons();
    const int count = static_cast<int>(icons.size());
    fw::TBitmap strip(kIconSize * count, kIconSize, fw::pf32bit);
    for (int y = 0; y < kIconSize; ++y) {
        auto* row = static_cast<std::uint32_t*>(strip.ScanLine(y));
        if (row == nullptr)
            return;
        for (int i = 0; i < count; ++i)
            std::copy_n(icons[static_cast<size_t>(i)].Pixels.begin() + y * kIconSize, kIconSize, row + i * kIconSize);
    }
    images.SetWidth(kIconSize);
    images.SetHeight(kIconSize);
    images.Add(strip);
}
