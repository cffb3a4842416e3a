// Owners for GDI objects, device contexts and the USER and kernel handles we
// free ourselves (cursors, menus, files).
//
// Every GDI object and every device context the framework and the skin engine
// create is held by one of these wrappers, so that it is released on every path,
// including when an exception passes. Raw DeleteObject, ReleaseDC, DeleteDC,
// DestroyCursor, DestroyMenu and CloseHandle appear only in this header.
//
// The wrappers keep a count of the handles they currently own
// (fw::gdi::LiveObjectCount()). Tests compare it, and the process's own count
// of GDI objects, before and after a thousand paints to prove that nothing
// leaks. Everything runs on the GUI thread, so a plain integer is enough.
#pragma once

#include <windows.h>

#include <utility>

namespace fw::gdi {

namespace detail {
inline long& LiveCounter() noexcept
{
    static long count = 0;
    return count;
}
inline void Acquired() noexcept { ++LiveCounter(); }
inline void Released() noexcept { --LiveCounter(); }
}  // namespace detail

// Number of GDI objects and device contexts currently owned by the wrappers below.
inline long LiveObjectCount() noexcept { return detail::LiveCounter(); }

// Owns one GDI object (bitmap, region, font, brush, pen) and deletes it with
// DeleteObject. Never wrap a stock object.
template <typename Handle>
class ScopedGdiObject {
public:
    ScopedGdiObject() noexcept = default;
    explicit ScopedGdiObject(Handle h) noexcept : m_handle(h)
    {
        if (m_handle)
            detail::Acquired();
    }
    ~ScopedGdiObject() { Reset(); }

    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    ScopedGdiObject(ScopedGdiObject&& other) noexcept : m_handle(other.m_handle) { other.m_handle = nullptr; }
    ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_handle = other.m_handle;
            other.m_handle = nullptr;
        }
        return *this;
    }

    Handle Get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != nullptr; }

    // Deletes the held object (if any) and takes ownership of h.
    void Reset(Handle h = nullptr) noexcept
    {
        if (h == m_handle)
            return;
        if (m_handle) {
            ::DeleteObject(m_handle);
            detail::Released();
        }
        m_handle = h;
        if (m_handle)
            detail::Acquired();
    }

    // Gives up ownership, e.g. when the system takes the object over
    // (SetWindowRgn owns the region it is given).
    [[nodiscard]] Handle Release() noexcept
    {
        Handle h = m_handle;
        if (h)
            detail::Released();
        m_handle = nullptr;
        return h;
    }

private:
    Handle m_handle = nullptr;
};

using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedRegion = ScopedGdiObject<HRGN>;
using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedPen = ScopedGdiObject<HPEN>;

// GetDC(window) / ReleaseDC. A null window gives the screen's context.
class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND window) noexcept : m_window(window), m_dc(::GetDC(window))
    {
        if (m_dc)
            detail::Acquired();
    }
    ~ScopedGetDC()
    {
        if (m_dc) {
            ::ReleaseDC(m_window, m_dc);
            detail::Released();
        }
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;

    HDC Get() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// GetWindowDC(window) / ReleaseDC: the whole window including the non-client area.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window) noexcept : m_window(window), m_dc(::GetWindowDC(window))
    {
        if (m_dc)
            detail::Acquired();
    }
    ~ScopedWindowDC()
    {
        if (m_dc) {
            ::ReleaseDC(m_window, m_dc);
            detail::Released();
        }
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;

    HDC Get() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// BeginPaint / EndPaint for one WM_PAINT.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) noexcept : m_window(window), m_paint{}
    {
        m_dc = ::BeginPaint(window, &m_paint);
        if (m_dc)
            detail::Acquired();
    }
    ~ScopedPaint()
    {
        if (m_dc) {
            ::EndPaint(m_window, &m_paint);
            detail::Released();
        }
    }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;

    HDC Get() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }
    const PAINTSTRUCT& PaintStruct() const noexcept { return m_paint; }
    const RECT& PaintRect() const noexcept { return m_paint.rcPaint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint;
    HDC m_dc = nullptr;
};

// CreateCompatibleDC(reference) / DeleteDC. A null reference gives a context
// compatible with the screen.
class ScopedCreateDC {
public:
    explicit ScopedCreateDC(HDC reference) noexcept : m_dc(::CreateCompatibleDC(reference))
    {
        if (m_dc)
            detail::Acquired();
    }
    ScopedCreateDC() noexcept : ScopedCreateDC(nullptr) {}
    ~ScopedCreateDC() { Reset(); }

    ScopedCreateDC(const ScopedCreateDC&) = delete;
    ScopedCreateDC& operator=(const ScopedCreateDC&) = delete;
    ScopedCreateDC(ScopedCreateDC&& other) noexcept : m_dc(other.m_dc) { other.m_dc = nullptr; }
    ScopedCreateDC& operator=(ScopedCreateDC&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_dc = other.m_dc;
            other.m_dc = nullptr;
        }
        return *this;
    }

    HDC Get() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }

    // Deletes the context now; objects selected into it must have been
    // deselected by their ScopedSelectObject guards already.
    void Reset() noexcept
    {
        if (m_dc) {
            ::DeleteDC(m_dc);
            detail::Released();
            m_dc = nullptr;
        }
    }

private:
    HDC m_dc;
};

// SaveDC / RestoreDC around a block that changes a context's state.
class ScopedSaveDC {
public:
    explicit ScopedSaveDC(HDC dc) noexcept : m_dc(dc), m_saved(dc ? ::SaveDC(dc) : 0) {}
    ~ScopedSaveDC()
    {
        if (m_saved)
            ::RestoreDC(m_dc, m_saved);
    }
    ScopedSaveDC(const ScopedSaveDC&) = delete;
    ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;

    explicit operator bool() const noexcept { return m_saved != 0; }

private:
    HDC m_dc;
    int m_saved;
};

// SelectObject(dc, object) and, on leaving the scope, selects back what was
// there before. Declare it after the owner of the object, so the object is
// deselected before it is deleted.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) noexcept : m_dc(dc), m_old(nullptr)
    {
        if (dc && object) {
            m_old = ::SelectObject(dc, object);
            if (m_old == HGDI_ERROR)
                m_old = nullptr;
        }
    }
    ~ScopedSelectObject()
    {
        if (m_old)
            ::SelectObject(m_dc, m_old);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

    // False when the object could not be selected.
    explicit operator bool() const noexcept { return m_old != nullptr; }
    HGDIOBJ Previous() const noexcept { return m_old; }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Owns one USER or kernel handle and frees it with Traits::Free. Traits name
// the handle type and the value that means "none". These handles are not
// counted by LiveObjectCount, which is about GDI.
template <class Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() noexcept = default;
    explicit ScopedHandle(Handle h) noexcept : m_handle(h) {}
    ~ScopedHandle() { Reset(); }

    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : m_handle(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    Handle Get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != Traits::None(); }

    void Reset(Handle h = Traits::None()) noexcept
    {
        if (h == m_handle)
            return;
        if (m_handle != Traits::None())
            Traits::Free(m_handle);
        m_handle = h;
    }
    [[nodiscard]] Handle Release() noexcept { return std::exchange(m_handle, Traits::None()); }

private:
    Handle m_handle = Traits::None();
};

struct CursorTraits {
    using Handle = HCURSOR;
    static Handle None() noexcept { return nullptr; }
    static void Free(Handle h) noexcept { ::DestroyCursor(h); }
};
struct MenuTraits {
    using Handle = HMENU;
    static Handle None() noexcept { return nullptr; }
    static void Free(Handle h) noexcept { ::DestroyMenu(h); }
};
struct FileTraits {
    using Handle = HANDLE;
    static Handle None() noexcept { return INVALID_HANDLE_VALUE; }
    static void Free(Handle h) noexcept { ::CloseHandle(h); }
};

using ScopedCursor = ScopedHandle<CursorTraits>;
using ScopedMenu = ScopedHandle<MenuTraits>;
// CreateFileW answers INVALID_HANDLE_VALUE, not null, when it fails.
using ScopedFile = ScopedHandle<FileTraits>;

}  // namespace fw::gdi

namespace fw {
using gdi::ScopedBitmap;
using gdi::ScopedBrush;
using gdi::ScopedCreateDC;
using gdi::ScopedCursor;
using gdi::ScopedFile;
using gdi::ScopedFont;
using gdi::ScopedGetDC;
using gdi::ScopedMenu;
using gdi::ScopedPaint;
using gdi::ScopedPen;
using gdi::ScopedRegion;
using gdi::ScopedSaveDC;
using gdi::ScopedSelectObject;
using gdi::ScopedWindowDC;
}  // namespace fw
