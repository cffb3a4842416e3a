// Pushing a popup-menu window's composed bitmap to the layered window: the
// visual-styles and composition tests, and the two routes to a device
// context (the bitmap itself, or a PNG read back through GDI+). dwmapi and
// GDI+ are loaded at run time from the system folder only.
#include "skin/controls/uKsSkinMenu.h"

#include "framework/Dib_win.h"
#include "framework/SystemLibrary_win.h"
#include "skin/render/BitmapHelpers.h"

#include <objidl.h>
#include <shlwapi.h>

#include <cstdint>

namespace ks {

namespace {

std::optional<SkinMenuPushRoute> g_forcedRoute;

// A top-down 32-bit DIB section with its own memory device context.
class TDibSource : public TLayeredSource {
public:
    TDibSource(int width, int height)
    {
        BITMAPINFO info = fw::TopDownDibInfo(width, height, 32);
        void* bits = nullptr;
        m_bitmap.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<TColor32*>(bits);
        Select();
    }
    // Takes over a bitmap made elsewhere (GDI+).
    explicit TDibSource(HBITMAP bitmap) : m_bitmap(bitmap) { Select(); }
    ~TDibSource() override
    {
        if (m_old != nullptr)
            ::SelectObject(m_dc.Get(), m_old);
    }
    HDC DC() const override { return m_dc.Get(); }
    TColor32* Bits() const { return m_bits; }
    bool Ok() const { return m_bitmap && m_old != nullptr; }

private:
    void Select()
    {
        if (m_bitmap && m_dc)
            m_old = ::SelectObject(m_dc.Get(), m_bitmap.Get());
        if (m_old == HGDI_ERROR)
            m_old = nullptr;
    }
    fw::ScopedBitmap m_bitmap;
    fw::ScopedCreateDC m_dc;
    HGDIOBJ m_old = nullptr;
    TColor32* m_bits = nullptr;
};

std::unique_ptr<TLayeredSource> DirectSource(const TBitmap32& background)
{
    auto source = std::make_unique<TDibSource>(background.Width(), background.Height());
    if (!source->Ok() || source->Bits() == nullptr)
        return nullptr;
    // The layered push takes premultiplied pixels; the background stays straight.
    const TColor32* from = background.Bits();
    TColor32* to = source->Bits();
    const size_t n = static_cast<size_t>(background.Width()) * static_cast<size_t>(background.Height());
    for (size_t i = 0; i < n; ++i)
        to[i] = PremultipliedPixel(from[i]);
    ::GdiFlush();
    return source;
}

// --- GDI+ through its flat interface ------------------------------------------------
struct GdiplusStartupInput {
    UINT32 GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = FALSE;
    BOOL SuppressExternalCodecs = FALSE;
};
using GpStartup = int(WINAPI*)(ULONG_PTR*, const GdiplusStartupInput*, void*);
using GpShutdown = void(WINAPI*)(ULONG_PTR);
using GpFromStream = int(WINAPI*)(IStream*, void**);
using GpToHBitmap = int(WINAPI*)(void*, HBITMAP*, DWORD);
using GpDispose = int(WINAPI*)(void*);

struct GdiPlus {
    HMODULE Module = nullptr;
    ULONG_PTR Token = 0;
    GpShutdown Shutdown = nullptr;
    GpFromStream FromStream = nullptr;
    GpToHBitmap ToHBitmap = nullptr;
    GpDispose Dispose = nullptr;
    bool Tried = false;
};

GdiPlus& Gdip()
{
    static GdiPlus g;
    return g;
}

// GDI+ started once, on the first push that needs it; null when unavailable.
GdiPlus* StartedGdiPlus()
{
    GdiPlus& g = Gdip();
    if (g.Tried)
        return g.Token != 0 ? &g : nullptr;
    g.Tried = true;
    g.Module = fw::LoadSystemLibrary(L"gdiplus.dll");
    if (g.Module == nullptr)
        return nullptr;
    auto startup = reinterpret_cast<GpStartup>(reinterpret_cast<void*>(::GetProcAddress(g.Module, "GdiplusStartup")));
    g.Shutdown = reinterpret_cast<GpShutdown>(reinterpret_cast<void*>(::GetProcAddress(g.Module, "GdiplusShutdown")));
    g.FromStream = reinterpret_cast<GpFromStream>(
        reinterpret_cast<void*>(::GetProcAddress(g.Module, "GdipCreateBitmapFromStream")));
    g.ToHBitmap = reinterpret_cast<GpToHBitmap>(
        reinterpret_cast<void*>(::GetProcAddress(g.Module, "GdipCreateHBITMAPFromBitmap")));
    g.Dispose = reinterpret_cast<GpDispose>(reinterpret_cast<void*>(::GetProcAddress(g.Module, "GdipDisposeImage")));
    GdiplusStartupInput input;
    if (startup == nullptr || g.Shutdown == nullptr || g.FromStream == nullptr || g.ToHBitmap == nullptr ||
        g.Dispose == nullptr || startup(&g.Token, &input, nullptr) != 0) {
        g.Token = 0;
        return nullptr;
    }
    return &g;
}

std::unique_ptr<TLayeredSource> GdiPlusSource(const TBitmap32& background)
{
    GdiPlus* g = StartedGdiPlus();
    if (g == nullptr)
        return nullptr;
    std::optional<std::vector<std::uint8_t>> png = BitmapToPng(&background);
    if (!png)
        return nullptr;
    IStream* stream = ::SHCreateMemStream(png->data(), static_cast<UINT>(png->size()));
    if (stream == nullptr)
        return nullptr;
    void* image = nullptr;
    HBITMAP bitmap = nullptr;
    if (g->FromStream(stream, &image) == 0 && image != nullptr) {
        // GDI+ hands out its bitmaps premultiplied (PARGB), as the push takes them.
        if (g->ToHBitmap(image, &bitmap, 0) != 0)
            bitmap = nullptr;
        g->Dispose(image);
    }
    stream->Release();
    if (bitmap == nullptr)
        return nullptr;
    auto source = std::make_unique<TDibSource>(bitmap);
    return source->Ok() ? std::move(source) : nullptr;
}

}  // namespace

bool ThemesOff()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", 0, KEY_READ,
                        &key) != ERROR_SUCCESS)
        return false;
    wchar_t value[16] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    DWORD type = 0;
    const bool present = ::RegQueryValueExW(key, L"ThemeActive", nullptr, &type, reinterpret_cast<BYTE*>(value),
                                            &size) == ERROR_SUCCESS &&
                         type == REG_SZ;
    ::RegCloseKey(key);
    return ThemesOffByValue(present, value);
}

bool CompositionEnabled()
{
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&version) || version.dwMajorVersion <= 5)
        return false;
#pragma GCC diagnostic pop
    HMODULE dwm = fw::LoadSystemLibrary(L"dwmapi.dll");
    if (dwm == nullptr)
        return false;
    using IsEnabled = HRESULT(WINAPI*)(BOOL*);
    auto isEnabled =
        reinterpret_cast<IsEnabled>(reinterpret_cast<void*>(::GetProcAddress(dwm, "DwmIsCompositionEnabled")));
    BOOL enabled = FALSE;
    const bool on = isEnabled != nullptr && isEnabled(&enabled) == S_OK && enabled;
    ::FreeLibrary(dwm);
    return on;
}

std::unique_ptr<TLayeredSource> MakeLayeredSource(const TBitmap32& background, SkinMenuPushRoute route)
{
    if (background.IsEmpty())
        return nullptr;
    return route == SkinMenuPushRoute::Direct ? DirectSource(background) : GdiPlusSource(background);
}

void PushMenuWindow(HWND window, const fw::TRect& screenRect, const TBitmap32& background)
{
    const SkinMenuPushRoute route =
        g_forcedRoute ? *g_forcedRoute : ChooseSkinMenuPushRoute(ThemesOff(), CompositionEnabled());
    std::unique_ptr<TLayeredSource> source = MakeLayeredSource(background, route);
    if (!source)
        return;  // nothing new shows
    POINT at{screenRect.Left, screenRect.Top};
    SIZE size{screenRect.Width(), screenRect.Height()};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(window, nullptr, &at, &size, source->DC(), &origin, 0, &blend, ULW_ALPHA);
}

void SetSkinMenuPushRoute(std::optional<SkinMenuPushRoute> route) { g_forcedRoute = route; }

void ShutdownMenuGdiPlus()
{
    GdiPlus& g = Gdip();
    if (g.Token != 0 && g.Shutdown != nullptr)
        g.Shutdown(g.Token);
    if (g.Module != nullptr)
        ::FreeLibrary(g.Module);
    g = GdiPlus{};
}

}  // namespace ks
