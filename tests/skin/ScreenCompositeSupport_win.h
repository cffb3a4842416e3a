// Shared set-up of the screen read-back tests: a half-transparent picture
// the resource manager serves under a name, and a black window below the
// layered window under test, so that what the screen shows is the straight-
// alpha composite of the picture over black.
#pragma once

#include "framework/Forms_win.h"
#include "skin/render/Bitmap32.h"
#include "skin/resources/uKsSkinResManager.h"
#include "tests/framework/WinTestSupport_win.h"

#include <string>
#include <utility>

namespace screentest {

// Alpha 128 over red 200, green 90, blue 40.
inline constexpr ks::TColor32 kHalfTransparentPixel = 0x80C85A28;

// A 30 x 30 picture of kHalfTransparentPixel, served under `name` while this
// object lives; the manager's previous handler comes back after it.
class ServedHalfTransparentImage {
public:
    explicit ServedHalfTransparentImage(std::string name)
        : m_name(std::move(name)),
          m_manager(ks::SkinResManager()),
          m_previous(m_manager.OnGetBitmap)
    {
        m_image.Resize(30, 30);
        m_image.Clear(kHalfTransparentPixel);
        m_manager.OnGetBitmap = [this](ks::TKsSkinResManager*, const std::string& name, const ks::TBitmap32*& bitmap) {
            if (name == m_name)
                bitmap = &m_image;
        };
    }
    ~ServedHalfTransparentImage() { m_manager.OnGetBitmap = m_previous; }
    ServedHalfTransparentImage(const ServedHalfTransparentImage&) = delete;
    ServedHalfTransparentImage& operator=(const ServedHalfTransparentImage&) = delete;

    ks::TBitmap32& Image() { return m_image; }

private:
    std::string m_name;
    ks::TKsSkinResManager& m_manager;
    ks::TGetBitmapEvent m_previous;
    ks::TBitmap32 m_image;
};

// Shows `black` as a borderless black window at the given bounds and waits
// until it is visible.
inline bool ShowBlackWindow(fw::TForm& black, int left, int top, int width, int height)
{
    black.SetBorderStyle(fw::bsNone);
    black.SetColor(0);
    black.SetBounds(left, top, width, height);
    black.Show();
    return fwtest::PumpUntil([&] { return ::IsWindowVisible(black.Handle()) != 0; });
}

}  // namespace screentest
