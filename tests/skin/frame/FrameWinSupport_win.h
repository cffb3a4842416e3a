// Helpers for the skinned-frame tests under Wine: a test form, window pixel
// capture, and the expected colours of the default colour skin.
#pragma once

#include "skin/frame/FrameGeometry.h"
#include "skin/frame/uKsSkinForm.h"
#include "skin/frame/uKsSkinHelper.h"

#include "framework/Forms_win.h"
#include "framework/ScopedGdi_win.h"
#include "skin/render/Blend.h"
#include "tests/framework/WinTestSupport_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace frametest {

// The pixels of a whole window (non-client area included), as 0x00RRGGBB.
struct WindowPixels {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;
    std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x] & 0xFFFFFFu; }
};

inline WindowPixels CaptureWindow(HWND window)
{
    WindowPixels out;
    RECT r{};
    ::GetWindowRect(window, &r);
    out.Width = r.right - r.left;
    out.Height = r.bottom - r.top;
    if (out.Width <= 0 || out.Height <= 0)
        return out;
    fw::ScopedWindowDC windowDC(window);
    fw::ScopedCreateDC memory(windowDC.Get());
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = out.Width;
    bi.bmiHeader.biHeight = -out.Height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fw::ScopedBitmap dib(::CreateDIBSection(windowDC.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || bits == nullptr)
        return out;
    {
        fw::ScopedSelectObject selected(memory.Get(), dib.Get());
        ::BitBlt(memory.Get(), 0, 0, out.Width, out.Height, windowDC.Get(), 0, 0, SRCCOPY);
        ::GdiFlush();
    }
    const auto* p = static_cast<const std::uint32_t*>(bits);
    out.Pixels.assign(p, p + static_cast<std::size_t>(out.Width) * out.Height);
    return out;
}

// 0x00RRGGBB of a TColor32.
constexpr std::uint32_t Rgb(ks::TColor32 c) { return c & 0xFFFFFFu; }

// Channels equal within tol.
inline bool Near(std::uint32_t a, std::uint32_t b, int tol = 0)
{
    for (int shift : {0, 8, 16}) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > tol)
            return false;
    }
    return true;
}

// The engine's globals that tests change, put back whatever a test did.
class EngineGlobals {
public:
    EngineGlobals()
        : m_h(ks::SkinHsbH),
          m_s(ks::SkinHsbS),
          m_b(ks::SkinHsbB),
          m_cursorSet(ks::ElementCursorSet),
          m_drag(ks::SavedDragFullWindows)
    {}
    ~EngineGlobals()
    {
        ks::SkinHsbH = m_h;
        ks::SkinHsbS = m_s;
        ks::SkinHsbB = m_b;
        ks::ElementCursorSet = m_cursorSet;
        ks::SavedDragFullWindows = m_drag;
    }
    EngineGlobals(const EngineGlobals&) = delete;
    EngineGlobals& operator=(const EngineGlobals&) = delete;

private:
    std::int32_t m_h, m_s, m_b;
    bool m_cursorSet;
    std::uint8_t m_drag;
};

// Runs the messages already queued (none is waited for).
inline void Drain() { fw::Application->ProcessMessages(); }

// Whether every controller of form has put its first-show alpha back.
inline bool Settled(fw::TCustomForm* form)
{
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* skin = dynamic_cast<ks::TKsSkinForm*>(form->Components(i));
            skin != nullptr && !skin->FirstShowSettled())
            return false;
    return true;
}

// A 330 x 100 form at (100, 100), the launcher's size, destroyed with the
// test, before anything else of the test goes: handlers the test set on the
// form or its components may use the test's members, never its locals.
class SkinFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<fw::TForm>(nullptr);
        form->SetBounds(100, 100, 330, 100);
    }
    void TearDown() override
    {
        form.reset();
        Drain();
    }

    ks::TKsSkinForm* AddSkin() { return new ks::TKsSkinForm(form.get()); }

    // Shows the form and waits until the first-show fade is over and the
    // posted registrations are in.
    void ShowAndSettle()
    {
        form->Show();
        ASSERT_TRUE(fwtest::PumpUntil([&] { return Settled(form.get()); }, 5000));
        Drain();
    }

    HWND Window() { return form->Handle(); }

    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageW(Window(), msg, wp, lp); }

    // A screen point relative to the window's top-left corner, packed for a
    // non-client mouse message.
    LPARAM ScreenPoint(int x, int y)
    {
        RECT r{};
        ::GetWindowRect(Window(), &r);
        return MAKELPARAM(r.left + x, r.top + y);
    }

    EngineGlobals globals;
    std::unique_ptr<fw::TForm> form;
};

}  // namespace frametest
